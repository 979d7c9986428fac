#include "gfx/BmpDecoder.h"

#include "gfx/Bitmap.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

uint32_t U16(const uint8_t* p) { return p[0] | (static_cast<uint32_t>(p[1]) << 8); }
uint32_t U32(const uint8_t* p)
{
    return p[0] | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint64_t kMostRlePixelsPerByte = 4096;

// Run-length pixels (8 or 4 bits) into the bottom-up bitmap; a run that leaves
// the picture is cut, and data that ends early leaves the rest at index 0.
void DecodeRle(const uint8_t* p, const uint8_t* end, bool fourBits, Bitmap& out)
{
    int32_t x = 0, y = 0;  // y counts stored rows, from the bottom
    auto put = [&](uint32_t index) {
        if (x < out.width && y < out.height) {
            uint8_t* row = out.bits.data() + static_cast<size_t>(y) * static_cast<size_t>(out.stride);
            if (fourBits) {
                uint8_t& b = row[x >> 1];
                b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (index & 15)) : static_cast<uint8_t>((b & 0x0F) | (index << 4));
            } else {
                row[x] = static_cast<uint8_t>(index);
            }
        }
        if (x <= out.width)
            ++x;
    };
    while (end - p >= 2 && y < out.height) {
        uint32_t n = p[0], c = p[1];
        p += 2;
        if (n > 0) {
            for (uint32_t i = 0; i < n; ++i)
                put(fourBits ? ((i & 1) ? (c & 15) : (c >> 4)) : c);
        } else if (c == 0) {
            x = 0;
            ++y;
        } else if (c == 1) {
            break;
        } else if (c == 2) {
            if (end - p < 2)
                break;
            x += p[0];
            y += p[1];
            p += 2;
        } else {
            // Absolute run: c pixels, padded to a 16-bit boundary.
            uint32_t bytes = fourBits ? (c + 1) / 2 : c;
            if (static_cast<uint32_t>(end - p) < bytes)
                break;
            for (uint32_t i = 0; i < c; ++i)
                put(fourBits ? ((i & 1) ? (p[i / 2] & 15) : (p[i / 2] >> 4)) : p[i]);
            size_t step = bytes + (bytes & 1);
            if (step > static_cast<size_t>(end - p))
                break;
            p += step;
        }
    }
}

}  // namespace

bool DecodeBmp(FILE* stream, Bitmap& out)
{
    if (!stream)
        return out.Fail(PictureFault::NotFound);
    std::vector<uint8_t> file;
    uint8_t chunk[65536];
    size_t got;
    try {
        while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
            file.insert(file.end(), chunk, chunk + got);
    } catch (const std::bad_alloc&) {
        return out.Fail(PictureFault::OutOfMemory);
    }
    return DecodeBmp(file.data(), file.size(), out);
}

bool DecodeBmp(const uint8_t* data, size_t size, Bitmap& out)
{
    if (!data || size < 14 + 12 || data[0] != 'B' || data[1] != 'M')
        return out.Fail(PictureFault::Damaged);

    const uint8_t* info = data + 14;
    size_t available = size - 14;
    uint32_t headerSize = U32(info);
    if (headerSize < 12 || headerSize > available)
        return out.Fail(PictureFault::Damaged);

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
            return out.Fail(PictureFault::Damaged);
        width = static_cast<int32_t>(U32(info + 4));
        height = static_cast<int32_t>(U32(info + 8));
        bpp = U16(info + 14);
        compression = U32(info + 16);
        colorsUsed = U32(info + 32);
    }
    bool rle = (compression == kRle8 && bpp == 8) || (compression == kRle4 && bpp == 4);
    if (compression != kRgb && compression != kBitFields && !rle)
        return out.Fail(PictureFault::Damaged);
    if (rle && height < 0)
        return out.Fail(PictureFault::Damaged);  // run-length bitmaps are always stored bottom-up
    bool bottomUp = height > 0;
    if (height < 0) {
        if (height == INT32_MIN)
            return out.Fail(PictureFault::Damaged);
        height = -height;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return out.Fail(PictureFault::Damaged);
    if (width <= 0 || height <= 0)
        return out.Fail(PictureFault::Damaged);

    uint32_t pixelOffset = U32(data + 10);
    if (pixelOffset >= size)
        return out.Fail(PictureFault::Damaged);
    uint64_t have = size - pixelOffset;
    uint64_t stride = (static_cast<uint64_t>(width) * bpp + 31) / 32 * 4;
    uint64_t need = stride * static_cast<uint64_t>(height);
    // What the header claims must be in the file before memory is spent on it.
    // Plain rows must all be there (the last one may lack its padding); run
    // codes reach down at most 255 rows per 4-byte jump.
    if (rle) {
        if (static_cast<uint64_t>(height) > 64u * static_cast<uint64_t>(have) + 1u)
            return out.Fail(PictureFault::Oversized);
        // A real encoder ends every row with a code of its own, so its rows
        // are narrower than 4096 pixels per byte of data; past that, a few
        // hundred bytes could ask for a picture of hundreds of megabytes.
        if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMostRlePixelsPerByte * have)
            return out.Fail(PictureFault::Oversized);
    } else {
        uint64_t lastRowPadding = stride - (static_cast<uint64_t>(width) * bpp + 7) / 8;
        if (have + lastRowPadding < need)
            return out.Fail(PictureFault::Oversized);
    }
    if (!out.SizeAllowed(width, height))
        return false;

    size_t paletteOffset = 14 + headerSize;
    if (compression == kBitFields) {
        // The masks follow the first 40 bytes of the header: after a 40-byte
        // header, inside a larger one. They must lie within the file.
        if (size < 14 + 40 + 12)
            return out.Fail(PictureFault::Damaged);
        const uint8_t* masks = info + 40;
        if (headerSize == 40)
            paletteOffset += 12;
        out.redMask = U32(masks);
        out.greenMask = U32(masks + 4);
        out.blueMask = U32(masks + 8);
    }

    if (!out.Allocate(width, height, static_cast<int32_t>(bpp), bottomUp))
        return false;

    if (bpp <= 8) {
        uint32_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > 256)
            count = 256;
        out.palette.assign(count, 0);
        for (uint32_t i = 0; i < count; ++i) {
            size_t at = paletteOffset + i * paletteEntrySize;
            if (at + 3 > size)
                break;
            out.palette[i] = 0xFF000000u | (static_cast<uint32_t>(data[at + 2]) << 16) |
                             (static_cast<uint32_t>(data[at + 1]) << 8) | data[at];
        }
    }

    if (rle) {
        DecodeRle(data + pixelOffset, data + size, bpp == 4, out);
        return true;
    }
    std::memcpy(out.bits.data(), data + pixelOffset, static_cast<size_t>(have < need ? have : need));
    return true;
}
