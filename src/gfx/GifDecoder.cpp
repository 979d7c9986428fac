#include "gfx/GifDecoder.h"

#include "gfx/Bitmap.h"

#include "core/FileSys.h"

#include <cstdio>
#include <gif_lib.h>
#include <vector>

namespace {

int ReadFromFile(GifFileType* gif, GifByteType* buffer, int count)
{
    return static_cast<int>(std::fread(buffer, 1, static_cast<size_t>(count), static_cast<FILE*>(gif->UserData)));
}

bool ReadFirstImage(GifFileType* gif, Bitmap& out)
{
    GifRecordType record;
    do {
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            return false;
        if (record == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                return false;
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    return false;
            }
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                return false;
            const GifImageDesc& desc = gif->Image;
            const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            int w = desc.Width, h = desc.Height;
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
                        return false;
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
    return false;
}

}  // namespace

bool DecodeGif(const char* path, Bitmap& out)
{
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return false;
    int error = 0;
    GifFileType* gif = DGifOpen(f, ReadFromFile, &error);
    if (!gif) {
        std::fclose(f);
        return false;
    }
    bool ok = ReadFirstImage(gif, out);
    DGifCloseFile(gif, &error);
    std::fclose(f);
    return ok;
}
