#include "gfx/BmpDecoder.h"

#include "gfx/Bitmap.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

uint32_t U16(const uint8_t* p) { return p[0] | (static_cast<uint32_t>(p[1]) << 8); }
uint32_t U32(const uint8_t* p)
{
    return p[0] | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

}  // namespace

bool DecodeBmp(FILE* stream, Bitmap& out)
{
    if (!stream)
        return false;
    std::vector<uint8_t> file;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
        file.insert(file.end(), chunk, chunk + got);
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M')
        return false;

    const uint8_t* info = file.data() + 14;
    size_t available = file.size() - 14;
    uint32_t headerSize = U32(info);
    if (headerSize < 12 || headerSize > available)
        return false;

    int32_t width, height;
    uint32_t bpp, compression = kRgb, colorsUsed = 0;
    size_t paletteEntrySize = 4;
    if (headerSize == 12) {
        // OS/2 core header: 16-bit sizes and 3-byte palette entries.
        width = static_cast<int32_t>(U16(info + 4));
        height = static_cast<int32_t>(static_cast<int16_t>(U16(info + 6)));
        bpp = U16(info + 10);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40)
            return false;
        width = static_cast<int32_t>(U32(info + 4));
        height = static_cast<int32_t>(U32(info + 8));
        bpp = U16(info + 14);
        compression = U32(info + 16);
        colorsUsed = U32(info + 32);
    }
    if (compression != kRgb && compression != kBitFields)
        return false;
    bool bottomUp = height > 0;
    if (height < 0) {
        if (height == INT32_MIN)
            return false;
        height = -height;
    }
    if (!out.Allocate(width, height, static_cast<int32_t>(bpp), bottomUp))
        return false;

    size_t paletteOffset = 14 + headerSize;
    if (compression == kBitFields) {
        // The masks follow a 40-byte header; larger headers carry them inside.
        const uint8_t* masks = info + 40;
        if (headerSize == 40) {
            if (file.size() < paletteOffset + 12)
                return false;
            paletteOffset += 12;
        }
        out.redMask = U32(masks);
        out.greenMask = U32(masks + 4);
        out.blueMask = U32(masks + 8);
    }

    if (bpp <= 8) {
        uint32_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > 256)
            count = 256;
        out.palette.assign(count, 0);
        for (uint32_t i = 0; i < count; ++i) {
            size_t at = paletteOffset + i * paletteEntrySize;
            if (at + 3 > file.size())
                break;
            out.palette[i] = 0xFF000000u | (static_cast<uint32_t>(file[at + 2]) << 16) |
                             (static_cast<uint32_t>(file[at + 1]) << 8) | file[at];
        }
    }

    uint32_t pixelOffset = U32(file.data() + 10);
    size_t need = out.bits.size();
    if (pixelOffset >= file.size())
        return false;
    // A truncated file keeps the rows that are there; the rest stays black.
    size_t have = file.size() - pixelOffset;
    std::memcpy(out.bits.data(), file.data() + pixelOffset, have < need ? have : need);
    return true;
}
