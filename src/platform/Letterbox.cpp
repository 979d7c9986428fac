#include "platform/Letterbox.h"

#include <algorithm>
#include <cmath>

LetterboxRect ComputeLetterbox(int32_t frameWidth, int32_t frameHeight, int32_t outputWidth, int32_t outputHeight)
{
    LetterboxRect box;
    if (frameWidth <= 0 || frameHeight <= 0 || outputWidth <= 0 || outputHeight <= 0)
        return box;
    // Compare aspects in integers so exact fits stay exact.
    if (int64_t(outputWidth) * frameHeight <= int64_t(outputHeight) * frameWidth) {
        box.width = outputWidth;
        box.height = static_cast<int32_t>(int64_t(outputWidth) * frameHeight / frameWidth);
    } else {
        box.height = outputHeight;
        box.width = static_cast<int32_t>(int64_t(outputHeight) * frameWidth / frameHeight);
    }
    box.x = (outputWidth - box.width) / 2;
    box.y = (outputHeight - box.height) / 2;
    return box;
}

void MapOutputToFrame(const LetterboxRect& box, int32_t frameWidth, int32_t frameHeight, int32_t x, int32_t y,
                      int32_t* frameX, int32_t* frameY)
{
    if (box.width <= 0 || box.height <= 0) {
        *frameX = x;
        *frameY = y;
        return;
    }
    *frameX = static_cast<int32_t>(std::floor(double(x - box.x) * frameWidth / box.width));
    *frameY = static_cast<int32_t>(std::floor(double(y - box.y) * frameHeight / box.height));
}

int32_t FitWindowScale(int32_t requested, int32_t frameWidth, int32_t frameHeight, int32_t areaWidth,
                       int32_t areaHeight)
{
    int32_t scale = requested;
    if (frameWidth > 0 && frameHeight > 0 && areaWidth > 0 && areaHeight > 0)
        scale = std::min({scale, areaWidth / frameWidth, areaHeight / frameHeight});
    return std::max<int32_t>(1, scale);
}

int32_t PlaceWithin(int32_t wanted, int32_t size, int32_t areaStart, int32_t areaLength)
{
    if (size >= areaLength)
        return areaStart;
    return std::clamp(wanted, areaStart, areaStart + areaLength - size);
}
