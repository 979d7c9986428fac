#include "gfx/PngDecoder.h"

#include <csetjmp>
#include <cstdlib>
#include <new>
#include <png.h>

bool IsPngSignature(const uint8_t* bytes, int count)
{
    return count >= 8 && png_sig_cmp(bytes, 0, 8) == 0;
}

namespace {

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
};

void Finish(DecodeState* s, PngTarget& target)
{
    std::free(s->rows);
    png_destroy_read_struct(&s->png, s->info ? &s->info : nullptr, nullptr);
    if (s->began)
        target.End();
    delete s;
}

}  // namespace

int32_t DecodePng(FILE* stream, PngTarget& target)
{
    if (!stream)
        return -1;
    // On the heap so that its fields are in memory, not registers, when
    // libpng jumps back.
    DecodeState* s = new (std::nothrow) DecodeState;
    if (!s)
        return -1;
    s->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!s->png)
        return -1;
    s->info = png_create_info_struct(s->png);
    if (!s->info) {
        Finish(s, target);
        return -1;
    }
    if (setjmp(png_jmpbuf(s->png))) {
        Finish(s, target);
        return -1;
    }
    png_init_io(s->png, stream);
    png_set_sig_bytes(s->png, 8);
    png_read_info(s->png, s->info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(s->png, s->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);

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
        Finish(s, target);
        return result ? result : -1;
    }
    s->began = true;
    if (png_get_rowbytes(s->png, s->info) > static_cast<size_t>(pitch)) {
        Finish(s, target);
        return -1;
    }
    s->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * (height ? height : 1)));
    if (!s->rows) {
        Finish(s, target);
        return -1;
    }
    for (png_uint_32 i = 0; i < height; ++i)
        s->rows[i] = pixels + static_cast<size_t>(i) * static_cast<size_t>(pitch);
    png_read_image(s->png, s->rows);
    png_read_end(s->png, nullptr);
    Finish(s, target);
    return 0;
}
