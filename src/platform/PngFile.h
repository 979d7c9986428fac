#pragma once
#include <cstdint>

// Writes row-major 0xAARRGGBB pixels as an 8-bit RGB PNG (alpha dropped: a
// screenshot shows what the screen shows). False when the file cannot be written.
bool WritePngFile(const char* path, const uint32_t* pixels, uint32_t width, uint32_t height);
