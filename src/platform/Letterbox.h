#pragma once
#include <cstdint>

// Fitting the game's frame into a larger output with its aspect kept.
struct LetterboxRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// The largest rectangle of the frame's aspect inside the output, centred.
LetterboxRect ComputeLetterbox(int32_t frameWidth, int32_t frameHeight, int32_t outputWidth, int32_t outputHeight);

// Output pixel (x, y) to frame coordinates (rounded down; outside the bars the
// result lies outside the frame).
void MapOutputToFrame(const LetterboxRect& box, int32_t frameWidth, int32_t frameHeight, int32_t x, int32_t y,
                      int32_t* frameX, int32_t* frameY);

// The largest whole scale, at most `requested` and at least 1, at which the
// frame fits an area (the desktop's usable part).
int32_t FitWindowScale(int32_t requested, int32_t frameWidth, int32_t frameHeight, int32_t areaWidth,
                       int32_t areaHeight);

// Where a window of `size` pixels starts along one axis of the desktop's usable
// area (start, length): at `wanted` when it lies wholly inside, else moved in
// as little as needed; at the area's start when it is larger than the area.
int32_t PlaceWithin(int32_t wanted, int32_t size, int32_t areaStart, int32_t areaLength);
