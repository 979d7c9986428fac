#pragma once
#include <cstdint>

// The executable's own pictures (icons 108 and 110, cursors 111 and 116) are
// drawn by the data generator and compiled into the game; the executable hands
// them to the platform at start. Without them (tests, tools) the platform
// falls back to plain shapes of its own.
struct ResourcePicture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t hotX = 0;
    int32_t hotY = 0;
    const uint8_t* rgba = nullptr;  // straight RGBA, rows top to bottom
};

using ResourcePictureLookup = bool (*)(int32_t resourceId, ResourcePicture* out);

void SetResourcePictures(ResourcePictureLookup lookup);
bool FindResourcePicture(int32_t resourceId, ResourcePicture* out);
// The picture as 0xAARRGGBB pixels.
void ResourcePictureToArgb(const ResourcePicture& picture, uint32_t* out);
