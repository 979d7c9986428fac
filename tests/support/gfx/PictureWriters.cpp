#include "support/gfx/PictureWriters.h"

#include <csetjmp>
#include <cstdio>
#include <gif_lib.h>
#include <jpeglib.h>
#include <map>
#include <png.h>

namespace {

uint8_t R(uint32_t c) { return uint8_t(c >> 16); }
uint8_t G(uint32_t c) { return uint8_t(c >> 8); }
uint8_t B(uint32_t c) { return uint8_t(c); }
uint8_t A(uint32_t c) { return uint8_t(c >> 24); }

void Put16(std::string& s, uint32_t v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

}  // namespace

bool WritePng(const std::string& path, const TestPicture& pic, PngKind kind)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::vector<uint8_t>> rows(size_t(pic.height));
    std::vector<png_bytep> rowPointers(size_t(pic.height));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA, depth = 8;
    switch (kind) {
    case PngKind::Rgb: colorType = PNG_COLOR_TYPE_RGB; break;
    case PngKind::Rgba:
    case PngKind::RgbaInterlaced: colorType = PNG_COLOR_TYPE_RGB_ALPHA; break;
    case PngKind::Gray: colorType = PNG_COLOR_TYPE_GRAY; break;
    case PngKind::Palette:
    case PngKind::PaletteTrns: colorType = PNG_COLOR_TYPE_PALETTE; break;
    case PngKind::Rgb16: colorType = PNG_COLOR_TYPE_RGB; depth = 16; break;
    }
    int interlace = kind == PngKind::RgbaInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    png_set_IHDR(png, info, png_uint_32(pic.width), png_uint_32(pic.height), depth, colorType, interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::map<uint32_t, int> indexOf;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> palette;
        std::vector<png_byte> trns;
        for (uint32_t c : pic.pixels) {
            if (indexOf.count(c) || indexOf.size() >= 256)
                continue;
            indexOf[c] = int(palette.size());
            palette.push_back(png_color{R(c), G(c), B(c)});
            trns.push_back(A(c));
        }
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
        if (kind == PngKind::PaletteTrns)
            png_set_tRNS(png, info, trns.data(), int(trns.size()), nullptr);
    }
    png_write_info(png, info);
    for (int y = 0; y < pic.height; ++y) {
        auto& row = rows[size_t(y)];
        for (int x = 0; x < pic.width; ++x) {
            uint32_t c = pic.At(x, y);
            switch (kind) {
            case PngKind::Rgb: row.insert(row.end(), {R(c), G(c), B(c)}); break;
            case PngKind::Rgba:
            case PngKind::RgbaInterlaced: row.insert(row.end(), {R(c), G(c), B(c), A(c)}); break;
            case PngKind::Gray: row.push_back(R(c)); break;
            case PngKind::Palette:
            case PngKind::PaletteTrns: row.push_back(uint8_t(indexOf[c])); break;
            case PngKind::Rgb16: row.insert(row.end(), {R(c), R(c), G(c), G(c), B(c), B(c)}); break;
            }
        }
        rowPointers[size_t(y)] = row.data();
    }
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool WriteJpeg(const std::string& path, const TestPicture& pic, int quality)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = JDIMENSION(pic.width);
    info.image_height = JDIMENSION(pic.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // No chroma subsampling, so flat colours come back within a step or two.
    for (int i = 0; i < info.num_components; ++i) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(pic.width) * 3);
    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            uint32_t c = pic.At(x, y);
            row[size_t(x) * 3] = R(c);
            row[size_t(x) * 3 + 1] = G(c);
            row[size_t(x) * 3 + 2] = B(c);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(f) == 0;
}

bool WriteGif(const std::string& path, const TestPicture& pic, bool interlaced, int transparentIndex)
{
    std::map<uint32_t, int> indexOf;
    std::vector<GifColorType> colors;
    for (uint32_t c : pic.pixels) {
        uint32_t rgb = c & 0xFFFFFFu;
        if (indexOf.count(rgb))
            continue;
        if (colors.size() >= 256)
            return false;
        indexOf[rgb] = int(colors.size());
        colors.push_back(GifColorType{R(c), G(c), B(c)});
    }
    int mapSize = 2;
    while (mapSize < int(colors.size()))
        mapSize *= 2;
    colors.resize(size_t(mapSize), GifColorType{0, 0, 0});
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    ColorMapObject* map = GifMakeMapObject(mapSize, colors.data());
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, pic.width, pic.height, 8, 0, map) != GIF_ERROR;
    if (ok && transparentIndex >= 0) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) != GIF_ERROR;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, pic.width, pic.height, interlaced, nullptr) != GIF_ERROR;
    std::vector<GifPixelType> line(size_t(pic.width));
    auto putRow = [&](int y) {
        for (int x = 0; x < pic.width; ++x)
            line[size_t(x)] = GifPixelType(indexOf[pic.At(x, y) & 0xFFFFFFu]);
        return EGifPutLine(gif, line.data(), pic.width) != GIF_ERROR;
    };
    if (interlaced) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int p = 0; p < 4 && ok; ++p)
            for (int y = start[p]; y < pic.height && ok; y += step[p])
                ok = putRow(y);
    } else {
        for (int y = 0; y < pic.height && ok; ++y)
            ok = putRow(y);
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        ok = false;
    return ok;
}

bool WriteBmp(const std::string& path, const TestPicture& pic, int bpp, bool topDown)
{
    int stride = ((pic.width * bpp + 31) / 32) * 4;
    int paletteSize = bpp == 8 ? 256 * 4 : 0;
    uint32_t pixelOffset = 14 + 40 + uint32_t(paletteSize);
    std::string s = "BM";
    Put32(s, pixelOffset + uint32_t(stride * pic.height));
    Put32(s, 0);
    Put32(s, pixelOffset);
    Put32(s, 40);
    Put32(s, uint32_t(pic.width));
    Put32(s, uint32_t(topDown ? -pic.height : pic.height));
    Put16(s, 1);
    Put16(s, uint32_t(bpp));
    Put32(s, 0);
    Put32(s, uint32_t(stride * pic.height));
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, bpp == 8 ? 256 : 0);
    Put32(s, 0);
    for (int i = 0; i < paletteSize / 4; ++i) {
        s += char(i);
        s += char(i);
        s += char(i);
        s += char(0);
    }
    for (int row = 0; row < pic.height; ++row) {
        int y = topDown ? row : pic.height - 1 - row;
        std::string line;
        for (int x = 0; x < pic.width; ++x) {
            uint32_t c = pic.At(x, y);
            switch (bpp) {
            case 8: line += char(R(c)); break;
            case 16: Put16(line, uint32_t((R(c) >> 3) << 10 | (G(c) >> 3) << 5 | (B(c) >> 3))); break;
            case 24: line += char(B(c)); line += char(G(c)); line += char(R(c)); break;
            case 32: line += char(B(c)); line += char(G(c)); line += char(R(c)); line += char(A(c)); break;
            }
        }
        line.resize(size_t(stride), '\0');
        s += line;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    return std::fclose(f) == 0 && ok;
}

bool WriteBmpRle(const std::string& path, const TestPicture& pic, int bpp)
{
    bool four = bpp == 4;
    auto index = [&](int x, int y) { return four ? R(pic.At(x, y)) >> 4 : R(pic.At(x, y)); };
    auto rowIsZero = [&](int y) {
        for (int x = 0; x < pic.width; ++x)
            if (index(x, y))
                return false;
        return true;
    };
    std::string data;
    int pendingRows = 0;  // all-zero rows, skipped with a delta
    for (int row = 0; row < pic.height; ++row) {
        int y = pic.height - 1 - row;
        if (rowIsZero(y) && row + 1 < pic.height) {
            ++pendingRows;
            continue;
        }
        if (pendingRows) {
            data += char(0);
            data += char(2);
            data += char(0);
            data += char(pendingRows);
            pendingRows = 0;
        }
        int x = 0;
        while (x < pic.width) {
            int run = 1;
            while (x + run < pic.width && run < 255 && index(x + run, y) == index(x, y))
                ++run;
            if (run >= 2) {
                data += char(run);
                data += char(four ? (index(x, y) << 4 | index(x, y)) : index(x, y));
                x += run;
                continue;
            }
            // Absolute run of differing pixels (at least 3, else plain runs of 1).
            int n = 1;
            while (x + n < pic.width && n < 255 && index(x + n, y) != index(x + n - 1, y))
                ++n;
            if (n < 3) {
                data += char(1);
                data += char(four ? (index(x, y) << 4) : index(x, y));
                x += 1;
                continue;
            }
            data += char(0);
            data += char(n);
            std::string bytes;
            for (int i = 0; i < n; ++i) {
                if (four) {
                    if (i % 2 == 0)
                        bytes += char(index(x + i, y) << 4);
                    else
                        bytes.back() = char(uint8_t(bytes.back()) | index(x + i, y));
                } else {
                    bytes += char(index(x + i, y));
                }
            }
            if (bytes.size() % 2)
                bytes += char(0);
            data += bytes;
            x += n;
        }
        data += char(0);
        data += char(0);
    }
    data += char(0);
    data += char(1);

    int colors = four ? 16 : 256;
    uint32_t pixelOffset = 14 + 40 + uint32_t(colors * 4);
    std::string s = "BM";
    Put32(s, pixelOffset + uint32_t(data.size()));
    Put32(s, 0);
    Put32(s, pixelOffset);
    Put32(s, 40);
    Put32(s, uint32_t(pic.width));
    Put32(s, uint32_t(pic.height));
    Put16(s, 1);
    Put16(s, uint32_t(bpp));
    Put32(s, four ? 2 : 1);
    Put32(s, uint32_t(data.size()));
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, uint32_t(colors));
    Put32(s, 0);
    for (int i = 0; i < colors; ++i) {
        char v = char(four ? i * 17 : i);
        s += v;
        s += v;
        s += v;
        s += char(0);
    }
    s += data;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    return std::fclose(f) == 0 && ok;
}
