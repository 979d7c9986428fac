#include "datagen/PictureFiles.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <csetjmp>

#include <fcntl.h>
#include <unistd.h>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace {


bool CloseChecked(FILE*& f)
{
    bool ok = std::ferror(f) == 0;
    ok = (std::fclose(f) == 0) && ok;
    f = nullptr;
    return ok;
}

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

bool WriteJpeg(const std::string& path, const std::vector<uint8_t>& pixels, int width, int height, int components,
               int quality)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct cinfo;
    JpegError jerr;
    cinfo.err = jpeg_std_error(&jerr.mgr);
    jerr.mgr.error_exit = JpegErrorExit;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::fclose(f);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + static_cast<size_t>(cinfo.next_scanline) * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return CloseChecked(f);
}

} // namespace

bool WritePngFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgba.data() + static_cast<size_t>(y) * width * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return CloseChecked(f);
}

bool WriteJpegFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height, int quality)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i)
        std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);
    return WriteJpeg(path, rgb, width, height, 3, quality);
}

bool WriteJpegAlphaFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
                        int quality)
{
    std::vector<uint8_t> grey(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = rgba[i * 4 + 3];
    return WriteJpeg(path, grey, width, height, 1, quality);
}

bool WriteGifFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height)
{
    size_t n = static_cast<size_t>(width) * height;
    std::vector<GifByteType> r(n), g(n), b(n), index(n);
    for (size_t i = 0; i < n; ++i) {
        r[i] = rgba[i * 4];
        g[i] = rgba[i * 4 + 1];
        b[i] = rgba[i * 4 + 2];
    }
    int colours = 256;
    GifColorType palette[256];
    std::memset(palette, 0, sizeof palette);
    if (GifQuantizeBuffer(static_cast<unsigned>(width), static_cast<unsigned>(height), &colours, r.data(), g.data(),
                          b.data(), index.data(), palette) == GIF_ERROR)
        return false;
    // giflib creates files readable by their owner only; data files must be readable by every player.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    int error = 0;
    GifFileType* gif = EGifOpenFileHandle(fd, &error);
    if (!gif) {
        ::close(fd);
        return false;
    }
    ColorMapObject* map = GifMakeMapObject(256, palette);
    bool ok = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, index.data() + static_cast<size_t>(y) * width, width) == GIF_OK;
    if (map)
        GifFreeMapObject(map);
    int closeErr = 0;
    ok = (EGifCloseFile(gif, &closeErr) == GIF_OK) && ok;
    return ok;
}

bool WriteBmpFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height)
{
    int rowBytes = (width * 3 + 3) & ~3;
    uint32_t imageSize = static_cast<uint32_t>(rowBytes) * height;
    uint8_t header[54] = {};
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    header[26] = 1;
    header[28] = 24;
    put32(34, imageSize);
    put32(38, 2835);
    put32(42, 2835);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(header, 1, sizeof header, f);
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes), 0);
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* src = rgba.data() + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = src[x * 4 + 2];
            row[x * 3 + 1] = src[x * 4 + 1];
            row[x * 3 + 2] = src[x * 4 + 0];
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return CloseChecked(f);
}

namespace {

bool ReadPng(FILE* f, Picture& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    out.width = static_cast<int>(png_get_image_width(png, info));
    out.height = static_cast<int>(png_get_image_height(png, info));
    out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 0);
    std::vector<png_bytep> rows(static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        rows[y] = out.rgba.data() + static_cast<size_t>(y) * out.width * 4;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool ReadJpeg(FILE* f, std::vector<uint8_t>& pixels, int& width, int& height, int& components)
{
    jpeg_decompress_struct cinfo;
    JpegError jerr;
    cinfo.err = jpeg_std_error(&jerr.mgr);
    jerr.mgr.error_exit = JpegErrorExit;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    components = cinfo.output_components;
    pixels.assign(static_cast<size_t>(width) * height * components, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + static_cast<size_t>(cinfo.output_scanline) * width * components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool ReadGif(const std::string& path, Picture& out)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return false;
    bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    if (ok) {
        const SavedImage& img = gif->SavedImages[0];
        ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
        out.width = gif->SWidth;
        out.height = gif->SHeight;
        out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 255);
        for (int y = 0; y < img.ImageDesc.Height && ok; ++y)
            for (int x = 0; x < img.ImageDesc.Width; ++x) {
                int idx = img.RasterBits[y * img.ImageDesc.Width + x];
                if (!map || idx >= map->ColorCount) {
                    ok = false;
                    break;
                }
                uint8_t* p = &out.rgba[(static_cast<size_t>(y + img.ImageDesc.Top) * out.width + x + img.ImageDesc.Left) * 4];
                p[0] = map->Colors[idx].Red;
                p[1] = map->Colors[idx].Green;
                p[2] = map->Colors[idx].Blue;
            }
    }
    DGifCloseFile(gif, &error);
    return ok;
}

bool ReadBmp(FILE* f, Picture& out)
{
    uint8_t h[54];
    if (std::fread(h, 1, 54, f) != 54 || h[0] != 'B' || h[1] != 'M')
        return false;
    auto get32 = [&](int at) {
        return static_cast<int32_t>(h[at] | (h[at + 1] << 8) | (h[at + 2] << 16) | (static_cast<uint32_t>(h[at + 3]) << 24));
    };
    int offset = get32(10), w = get32(18), hgt = get32(22), bpp = h[28] | (h[29] << 8);
    if (bpp != 24 || w <= 0 || hgt == 0)
        return false;
    bool bottomUp = hgt > 0;
    if (hgt < 0)
        hgt = -hgt;
    int rowBytes = (w * 3 + 3) & ~3;
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    out.width = w;
    out.height = hgt;
    out.rgba.assign(static_cast<size_t>(w) * hgt * 4, 255);
    std::fseek(f, offset, SEEK_SET);
    for (int i = 0; i < hgt; ++i) {
        if (std::fread(row.data(), 1, row.size(), f) != row.size())
            return false;
        int y = bottomUp ? hgt - 1 - i : i;
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &out.rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = row[x * 3 + 2];
            p[1] = row[x * 3 + 1];
            p[2] = row[x * 3];
        }
    }
    return true;
}

} // namespace

bool ReadPictureFile(const std::string& path, Picture& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    uint8_t sig[8] = {};
    size_t got = std::fread(sig, 1, 8, f);
    std::rewind(f);
    bool ok = false;
    if (got == 8 && png_sig_cmp(sig, 0, 8) == 0) {
        ok = ReadPng(f, out);
    } else if (got >= 2 && sig[0] == 0xFF && sig[1] == 0xD8) {
        std::vector<uint8_t> px;
        int comps = 0;
        ok = ReadJpeg(f, px, out.width, out.height, comps);
        if (ok) {
            out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 255);
            for (size_t i = 0, n = static_cast<size_t>(out.width) * out.height; i < n; ++i)
                for (int ch = 0; ch < 3; ++ch)
                    out.rgba[i * 4 + ch] = px[i * comps + (comps == 3 ? ch : 0)];
        }
    } else if (got >= 3 && std::memcmp(sig, "GIF", 3) == 0) {
        std::fclose(f);
        f = nullptr;
        ok = ReadGif(path, out);
    } else if (got >= 2 && sig[0] == 'B' && sig[1] == 'M') {
        ok = ReadBmp(f, out);
    }
    if (f)
        std::fclose(f);
    if (!ok)
        return false;
    // A JPEG or GIF takes its alpha from "<name>_A<ext>" when that exists.
    size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot);
    for (char& ch : ext)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == ".jpg" || ext == ".gif") {
        Picture alpha;
        std::string alphaPath = path.substr(0, dot) + "_A" + path.substr(dot);
        FILE* probe = std::fopen(alphaPath.c_str(), "rb");
        if (probe) {
            std::fclose(probe);
            if (ReadPictureFile(alphaPath, alpha) && alpha.width > 0 && alpha.height > 0) {
                for (int y = 0; y < out.height; ++y)
                    for (int x = 0; x < out.width; ++x) {
                        const uint8_t* a = &alpha.rgba[(static_cast<size_t>(y * alpha.height / out.height) * alpha.width +
                                                         x * alpha.width / out.width) * 4];
                        out.rgba[(static_cast<size_t>(y) * out.width + x) * 4 + 3] =
                            static_cast<uint8_t>((a[0] + a[1] + a[2]) / 3);
                    }
            }
        }
    }
    return true;
}
