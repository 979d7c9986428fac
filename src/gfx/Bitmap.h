#pragma once
#include "gfx/ImageResult.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A device-independent bitmap as the picture decoders hand it over: rows padded
// to a multiple of 4 bytes, stored top-down or bottom-up, 1 to 32 bits per pixel.
// 24-bit pixels are blue, green, red; 32-bit pixels blue, green, red, x.
struct Bitmap {
    // The largest side any texture gets; decoders refuse larger pictures
    // before they allocate anything.
    static constexpr int32_t kLargestSide = 16384;

    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t stride = 0;     // bytes per stored row, a multiple of 4
    bool bottomUp = false;  // true: the first stored row is the bottom row
    std::vector<uint8_t> bits;
    std::vector<uint32_t> palette;  // 0xAARRGGBB entries for 1, 4 and 8 bits
    // 16- and 32-bit channel masks; 16-bit defaults to 5-5-5.
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    // Set by the caller before decoding: sides above it are refused.
    int32_t maxSide = kLargestSide;
    // Why the last decode failed.
    PictureFault fault = PictureFault::None;

    // Fails the decode with a reason; returns false for the caller to pass on.
    bool Fail(PictureFault why)
    {
        fault = why;
        return false;
    }
    // Refuses sizes that are not positive or exceed maxSide.
    bool SizeAllowed(int64_t w, int64_t h)
    {
        if (w <= 0 || h <= 0)
            return Fail(PictureFault::Damaged);
        if (w > maxSide || h > maxSide)
            return Fail(PictureFault::TooLarge);
        return true;
    }

    static int32_t StrideFor(int32_t width, int32_t bitsPerPixel)
    {
        return ((width * bitsPerPixel + 31) / 32) * 4;
    }

    // Sizes the pixel memory (zeroed) for width x height at the given depth;
    // false (and fault set) for sizes above maxSide or when memory runs out.
    bool Allocate(int32_t w, int32_t h, int32_t bpp, bool storedBottomUp);

    // Row y counted from the top of the picture, whatever the stored order.
    uint8_t* Row(int32_t y) { return bits.data() + static_cast<size_t>(StoredRow(y)) * static_cast<size_t>(stride); }
    const uint8_t* Row(int32_t y) const
    {
        return bits.data() + static_cast<size_t>(StoredRow(y)) * static_cast<size_t>(stride);
    }

    // Pixel (x, y) from the top as opaque 0xFFRRGGBB, the way a copy onto a
    // texture sees it.
    uint32_t ColorAt(int32_t x, int32_t y) const;

private:
    int32_t StoredRow(int32_t y) const { return bottomUp ? height - 1 - y : y; }
};
