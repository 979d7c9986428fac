#include "gfx/GifDecoder.h"

#include "gfx/Bitmap.h"

#include "core/FileSys.h"

#include <cstdio>
#include <gif_lib.h>
#include <new>
#include <vector>

namespace {

int ReadFromFile(GifFileType* gif, GifByteType* buffer, int count)
{
    return static_cast<int>(std::fread(buffer, 1, static_cast<size_t>(count), static_cast<FILE*>(gif->UserData)));
}

// An LZW code of at most 12 bits stands for at most 4096 pixels, so a file
// holds no more than 4096 x 8 / 12 pixels per byte; 4096 leaves a margin.
constexpr uint64_t kMostPixelsPerByte = 4096;

bool ReadFirstImage(GifFileType* gif, uint64_t fileSize, Bitmap& out)
{
    GifRecordType record;
    do {
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            return out.Fail(PictureFault::Damaged);
        if (record == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                return out.Fail(PictureFault::Damaged);
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    return out.Fail(PictureFault::Damaged);
            }
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                return out.Fail(PictureFault::Damaged);
            const GifImageDesc& desc = gif->Image;
            const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            int w = desc.Width, h = desc.Height;
            if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMostPixelsPerByte * fileSize)
                return out.Fail(PictureFault::Oversized);
            if (!out.SizeAllowed(w, h))
                return false;
            if (!out.Allocate(w, h, 24, true))
                return false;
            std::vector<GifPixelType> line(static_cast<size_t>(w));
            // Interlaced images arrive in four passes of rows.
            static const int kStart[4] = {0, 4, 2, 1};
            static const int kStep[4] = {8, 8, 4, 2};
            int passes = desc.Interlace ? 4 : 1;
            for (int pass = 0; pass < passes; ++pass) {
                int start = desc.Interlace ? kStart[pass] : 0;
                int step = desc.Interlace ? kStep[pass] : 1;
                for (int y = start; y < h; y += step) {
                    if (DGifGetLine(gif, line.data(), w) == GIF_ERROR)
                        return out.Fail(PictureFault::Damaged);
                    uint8_t* row = out.Row(y);
                    for (int x = 0; x < w; ++x) {
                        int index = line[static_cast<size_t>(x)];
                        uint8_t r = 0, g = 0, b = 0;
                        if (map && index < map->ColorCount) {
                            r = map->Colors[index].Red;
                            g = map->Colors[index].Green;
                            b = map->Colors[index].Blue;
                        }
                        row[3 * x] = b;
                        row[3 * x + 1] = g;
                        row[3 * x + 2] = r;
                    }
                }
            }
            return true;
        }
    } while (record != TERMINATE_RECORD_TYPE);
    return out.Fail(PictureFault::Damaged);
}

}  // namespace

bool DecodeGif(const char* path, Bitmap& out)
{
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return out.Fail(PictureFault::NotFound);
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::rewind(f);
    int error = 0;
    GifFileType* gif = DGifOpen(f, ReadFromFile, &error);
    if (!gif) {
        std::fclose(f);
        return out.Fail(PictureFault::Damaged);
    }
    bool ok;
    try {
        // A size that cannot be told sets no bound.
        uint64_t bound = size >= 0 ? static_cast<uint64_t>(size) : UINT64_MAX / kMostPixelsPerByte;
        ok = ReadFirstImage(gif, bound, out);
    } catch (const std::bad_alloc&) {
        ok = out.Fail(PictureFault::OutOfMemory);
    }
    DGifCloseFile(gif, &error);
    std::fclose(f);
    return ok;
}
