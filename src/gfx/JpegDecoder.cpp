#include "gfx/JpegDecoder.h"

#include "gfx/Bitmap.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr, int) {}

// Every 8 x 8 block of a scan costs at least one bit of Huffman code, and
// subsampled components make a block cover up to 16 times as many pixels, so
// a byte of file holds at most 8 x 64 x 16 pixels.
constexpr uint64_t kMostPixelsPerByte = 8 * 64 * 16;

// Kept free of C++ objects with destructors: libjpeg leaves through longjmp.
bool Decode(FILE* stream, uint64_t streamSize, Bitmap* out)
{
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.emit_message = OnMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return out->Fail(err.base.msg_code == JERR_OUT_OF_MEMORY ? PictureFault::OutOfMemory : PictureFault::Damaged);
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, stream);
    jpeg_read_header(&info, TRUE);
    // Sizes are checked before the decoder sets up its buffers.
    if (static_cast<uint64_t>(info.image_width) * info.image_height > kMostPixelsPerByte * streamSize) {
        jpeg_destroy_decompress(&info);
        return out->Fail(PictureFault::Oversized);
    }
    if (!out->SizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    if (!out->Allocate(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height), 24, false)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->Row(static_cast<int32_t>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool DecodeJpeg(FILE* stream, Bitmap& out)
{
    if (!stream)
        return out.Fail(PictureFault::NotFound);
    // A size that cannot be told sets no bound.
    uint64_t size = UINT64_MAX / kMostPixelsPerByte;
    long at = std::ftell(stream);
    if (at >= 0 && std::fseek(stream, 0, SEEK_END) == 0) {
        long end = std::ftell(stream);
        if (end >= at)
            size = static_cast<uint64_t>(end - at);
        std::fseek(stream, at, SEEK_SET);
    }
    return Decode(stream, size, &out);
}
