#include "gfx/Bitmap.h"

#include <new>

bool Bitmap::Allocate(int32_t w, int32_t h, int32_t bpp, bool storedBottomUp)
{
    if (!SizeAllowed(w, h))
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return Fail(PictureFault::Damaged);
    width = w;
    height = h;
    bitsPerPixel = bpp;
    stride = StrideFor(w, bpp);
    bottomUp = storedBottomUp;
    try {
        bits.assign(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    } catch (const std::bad_alloc&) {
        bits = std::vector<uint8_t>();
        return Fail(PictureFault::OutOfMemory);
    }
    return true;
}

// Scales a masked channel to 8 bits.
static uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1u))
        ++shift;
    uint32_t max = mask >> shift;
    uint32_t v = (value & mask) >> shift;
    return max ? (v * 255u + max / 2) / max : 0;
}

uint32_t Bitmap::ColorAt(int32_t x, int32_t y) const
{
    const uint8_t* row = Row(y);
    auto fromPalette = [&](uint32_t index) -> uint32_t {
        return index < palette.size() ? (palette[index] | 0xFF000000u) : 0xFF000000u;
    };
    switch (bitsPerPixel) {
    case 1:
        return fromPalette((row[x >> 3] >> (7 - (x & 7))) & 1u);
    case 4:
        return fromPalette((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u);
    case 8:
        return fromPalette(row[x]);
    case 16: {
        uint32_t p = row[2 * x] | (static_cast<uint32_t>(row[2 * x + 1]) << 8);
        uint32_t rm = redMask ? redMask : 0x7C00u;
        uint32_t gm = greenMask ? greenMask : 0x03E0u;
        uint32_t bm = blueMask ? blueMask : 0x001Fu;
        return 0xFF000000u | (Channel(p, rm) << 16) | (Channel(p, gm) << 8) | Channel(p, bm);
    }
    case 24: {
        const uint8_t* p = row + 3 * x;
        return 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
    case 32: {
        const uint8_t* q = row + 4 * x;
        uint32_t p = q[0] | (static_cast<uint32_t>(q[1]) << 8) | (static_cast<uint32_t>(q[2]) << 16) |
                     (static_cast<uint32_t>(q[3]) << 24);
        if (redMask || greenMask || blueMask)
            return 0xFF000000u | (Channel(p, redMask) << 16) | (Channel(p, greenMask) << 8) | Channel(p, blueMask);
        return 0xFF000000u | (p & 0x00FFFFFFu);
    }
    default:
        return 0xFF000000u;
    }
}
