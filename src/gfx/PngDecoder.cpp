#include "gfx/PngDecoder.h"

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <png.h>

bool IsPngSignature(const uint8_t* bytes, int count)
{
    return count >= 8 && png_sig_cmp(bytes, 0, 8) == 0;
}

namespace {

// Allocations left before the reader's allocations start failing; negative
// means no limit. Only tests set it.
int s_allocationsLeft = -1;
// Set when an allocation of the current decode failed.
bool s_allocationFailed = false;

void* Allocate(size_t bytes)
{
    void* p = nullptr;
    if (s_allocationsLeft != 0)
        p = std::malloc(bytes);
    if (s_allocationsLeft > 0)
        --s_allocationsLeft;
    if (!p)
        s_allocationFailed = true;
    return p;
}

png_voidp OnAllocate(png_structp, png_alloc_size_t bytes)
{
    return Allocate(bytes);
}

void OnFree(png_structp, png_voidp p)
{
    std::free(p);
}

void OnWarning(png_structp, png_const_charp) {}

// Quiet: a picture that does not decode is reported through the result.
[[noreturn]] void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Everything that must survive a longjmp lives in this record.
struct DecodeState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytep* rows = nullptr;
    bool began = false;
    bool imageRead = false;  // every row is in; what follows is not needed
};

// Deflate turns at most 1032 bytes out of one byte of input (a 258-byte match
// in two bits).
constexpr uint64_t kMostBytesPerByte = 1032;

uint32_t BigEndian32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// Bytes of image data (IDAT) present in the stream from its position on,
// walking the chunk headers; the position is kept. UINT64_MAX when the stream
// cannot be walked.
__attribute__((noinline)) uint64_t ImageDataBytes(FILE* stream)
{
    long start = std::ftell(stream);
    if (start < 0 || std::fseek(stream, 0, SEEK_END) != 0)
        return UINT64_MAX;
    int64_t end = std::ftell(stream);
    int64_t at = start;
    uint64_t total = 0;
    uint8_t head[8];
    while (end - at >= 8 && std::fseek(stream, static_cast<long>(at), SEEK_SET) == 0 &&
           std::fread(head, 1, 8, stream) == 8) {
        int64_t length = BigEndian32(head);
        int64_t present = end - at - 8 < length ? end - at - 8 : length;
        if (std::memcmp(head + 4, "IDAT", 4) == 0)
            total += static_cast<uint64_t>(present);
        else if (std::memcmp(head + 4, "IEND", 4) == 0)
            break;
        at += 8 + length + 4;
    }
    std::fseek(stream, start, SEEK_SET);
    return total;
}

PictureFault Reason(PictureFault fault)
{
    return s_allocationFailed ? PictureFault::OutOfMemory : fault;
}

void Finish(DecodeState* s, PngTarget& target)
{
    std::free(s->rows);
    png_destroy_read_struct(&s->png, s->info ? &s->info : nullptr, nullptr);
    if (s->began)
        target.End();
    s->~DecodeState();
    std::free(s);
}

// Nothing here changes after setjmp but the heap state.
int32_t Decode(FILE* stream, PngTarget& target, uint64_t imageData, PictureFault* fault)
{
    // On the heap so that its fields are in memory, not registers, when
    // libpng jumps back.
    void* memory = Allocate(sizeof(DecodeState));
    if (!memory) {
        *fault = PictureFault::OutOfMemory;
        return -1;
    }
    DecodeState* s = new (memory) DecodeState;
    s->png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning, nullptr, OnAllocate,
                                      OnFree);
    if (s->png)
        s->info = png_create_info_struct(s->png);
    if (!s->png || !s->info) {
        *fault = Reason(PictureFault::Damaged);
        Finish(s, target);
        return -1;
    }
    if (setjmp(png_jmpbuf(s->png))) {
        // A picture whose rows all arrived loads even when its end is cut.
        bool whole = s->imageRead;
        *fault = whole ? PictureFault::None : Reason(PictureFault::Damaged);
        Finish(s, target);
        return whole ? 0 : -1;
    }
    png_init_io(s->png, stream);
    png_set_sig_bytes(s->png, 8);
    png_read_info(s->png, s->info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(s->png, s->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    // The pixels the header claims, even packed without row filters, must fit
    // in the image data the file holds once inflated.
    uint64_t packedBytes = static_cast<uint64_t>(width) * height * png_get_channels(s->png, s->info) *
                           static_cast<uint64_t>(bitDepth) / 8;
    if (imageData != UINT64_MAX && packedBytes > kMostBytesPerByte * (imageData + 1)) {
        *fault = PictureFault::Oversized;
        Finish(s, target);
        return -1;
    }

    // Everything becomes 8-bit blue, green, red, alpha; pictures without alpha
    // get an opaque filler byte.
    if (bitDepth == 16)
        png_set_strip_16(s->png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(s->png);
    if (png_get_valid(s->png, s->info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(s->png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(s->png);
        png_set_gray_to_rgb(s->png);
    }
    double fileGamma = 0.0;
    if (!png_get_gAMA(s->png, s->info, &fileGamma))
        fileGamma = 0.45455;
    png_set_gamma(s->png, 2.2, fileGamma);
    png_set_filler(s->png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(s->png);
    png_set_interlace_handling(s->png);
    png_read_update_info(s->png, s->info);
    png_get_IHDR(s->png, s->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);

    PngTarget::Format format = colorType == PNG_COLOR_TYPE_RGB         ? PngTarget::Format::Rgb
                               : colorType == PNG_COLOR_TYPE_RGB_ALPHA ? PngTarget::Format::Argb
                                                                       : PngTarget::Format::Unknown;
    int32_t pitch = 0, result = -1;
    uint8_t* pixels = target.Begin(width, height, format, &pitch, &result);
    if (!pixels) {
        *fault = PictureFault::NoTexture;
        Finish(s, target);
        return result ? result : -1;
    }
    s->began = true;
    if (png_get_rowbytes(s->png, s->info) > static_cast<size_t>(pitch)) {
        *fault = PictureFault::NoTexture;
        Finish(s, target);
        return -1;
    }
    s->rows = static_cast<png_bytep*>(Allocate(sizeof(png_bytep) * (height ? height : 1)));
    if (!s->rows) {
        *fault = PictureFault::OutOfMemory;
        Finish(s, target);
        return -1;
    }
    for (png_uint_32 i = 0; i < height; ++i)
        s->rows[i] = pixels + static_cast<size_t>(i) * static_cast<size_t>(pitch);
    png_read_image(s->png, s->rows);
    s->imageRead = true;
    png_read_end(s->png, nullptr);
    Finish(s, target);
    return 0;
}

}  // namespace

int32_t DecodePng(FILE* stream, PngTarget& target, PictureFault* fault)
{
    PictureFault ignored;
    PictureFault* why = fault ? fault : &ignored;
    *why = PictureFault::None;
    if (!stream) {
        *why = PictureFault::NotFound;
        return -1;
    }
    s_allocationFailed = false;
    return Decode(stream, target, ImageDataBytes(stream), why);
}

void LimitPngAllocationsForTest(int count)
{
    s_allocationsLeft = count;
}
