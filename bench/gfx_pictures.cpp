// Picture decoding, template loading and sprite/glyph drawing, headless.
// Prints figures; run: build/bench/bench_gfx_pictures
#include "gfx/GMImage.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

uint32_t PixelAt(int x, int y, int seed)
{
    uint32_t r = uint32_t((x * 7 + seed * 13) & 0xFF), g = uint32_t((y * 5 + seed) & 0xFF);
    uint32_t b = uint32_t(((x ^ y) + seed) & 0xFF);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

bool WritePng(const std::string& path, int w, int h, int seed)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> row(size_t(w) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t c = PixelAt(x, y, seed);
            bool inside = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < w * h / 4;
            row[size_t(x) * 4] = uint8_t(c >> 16);
            row[size_t(x) * 4 + 1] = uint8_t(c >> 8);
            row[size_t(x) * 4 + 2] = uint8_t(c);
            row[size_t(x) * 4 + 3] = inside ? 255 : 0;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool WriteJpeg(const std::string& path, int w, int h)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(w) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t c = PixelAt(x, y, 1);
            row[size_t(x) * 3] = uint8_t(c >> 16);
            row[size_t(x) * 3 + 1] = uint8_t(c >> 8);
            row[size_t(x) * 3 + 2] = uint8_t(c);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(f) == 0;
}

bool WriteGif(const std::string& path, int w, int h)
{
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i)
        colors[size_t(i)] = GifColorType{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)};
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif)
        return false;
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, map) != GIF_ERROR &&
              EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) != GIF_ERROR;
    std::vector<GifPixelType> line(static_cast<size_t>(w));
    for (int y = 0; y < h && ok; ++y) {
        for (int x = 0; x < w; ++x)
            line[size_t(x)] = GifPixelType((x + y) & 0xFF);
        ok = EGifPutLine(gif, line.data(), w) != GIF_ERROR;
    }
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
    return ok;
}

bool WriteBmp(const std::string& path, int w, int h)
{
    int stride = (w * 3 + 3) / 4 * 4;
    std::string s = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += char((v >> (8 * i)) & 0xFF);
    };
    put32(uint32_t(54 + stride * h));
    put32(0);
    put32(54);
    put32(40);
    put32(uint32_t(w));
    put32(uint32_t(h));
    s += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i)
        put32(0);
    s += std::string(size_t(stride) * size_t(h), '\x5a');
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(s.data(), 1, s.size(), f);
    return std::fclose(f) == 0;
}

// Loads one picture `rounds` times into a fresh cache and reports ms per load.
double TimeLoads(const char* name, DisplayDevice* device, int rounds)
{
    auto t = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        GMImageManager manager;
        if (manager.LoadSurface(name, nullptr, device) < 0) {
            std::printf("  %s did not load\n", name);
            return -1.0;
        }
    }
    return MsSince(t) / rounds;
}

}  // namespace

int main()
{
    if (!StartPlatform()) {
        std::printf("no display\n");
        return 1;
    }
    DisplayDevice* device = nullptr;
    if (DisplayDevice::CreateOffscreen(800, 600, &device) != DD_OK) {
        std::printf("no headless device\n");
        return 1;
    }
    char tmpl[] = "/tmp/brimvale-bench-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir || ::chdir(dir) != 0)
        return 1;

    std::printf("Decoding 256 x 256 pictures into textures (ms per picture, mean of 50):\n");
    WritePng("p.png", 256, 256, 1);
    WriteJpeg("p.jpg", 256, 256);
    WriteGif("p.gif", 256, 256);
    WriteBmp("p.bmp", 256, 256);
    WriteBmp("p_A.jpg", 256, 256);
    std::printf("  PNG (RGBA)            %.3f\n", TimeLoads("p.png", device, 50));
    std::printf("  JPEG + BMP alpha      %.3f\n", TimeLoads("p.jpg", device, 50));
    std::printf("  GIF (no alpha file)   %.3f\n", TimeLoads("p.gif", device, 50));
    std::printf("  BMP (24-bit)          %.3f\n", TimeLoads("p.bmp", device, 50));

    // 200 templates with 300 PNG frames between them (every other template has two).
    int frame = 0;
    for (int t = 0; t < 200; ++t) {
        int frames = t % 2 ? 2 : 1;
        std::string body = "\"FR\" " + std::to_string(frames);
        for (int i = 0; i < frames; ++i, ++frame) {
            std::string pic = "f" + std::to_string(frame) + ".png";
            WritePng(pic, 48 + frame % 32, 48, frame);
            body += " \"" + pic + "\"";
        }
        body += " \"SP\" 12 \"IMX\" -24 \"IMY\" -48\n";
        FILE* f = std::fopen(("t" + std::to_string(t) + ".img").c_str(), "wb");
        std::fputs(body.c_str(), f);
        std::fclose(f);
    }
    GMImageManager manager;
    auto start = Clock::now();
    int loaded = 0;
    for (int t = 0; t < 200; ++t)
        loaded += manager.LoadTemplate(("t" + std::to_string(t) + ".img").c_str(), device) >= 0;
    double loadMs = MsSince(start);
    std::printf("Loading 200 templates with %d PNG frames (48 x 48 to 79 x 48): %.1f ms (%d loaded, %d surfaces)\n",
                frame, loadMs, loaded, manager.GetSurfaceCount());

    // A font of 96 glyph frames, 8 to 15 wide and 16 high.
    std::string fontBody = "\"FR\" 96";
    for (int i = 0; i < 96; ++i) {
        std::string pic = "g" + std::to_string(i) + ".png";
        WritePng(pic, 8 + i % 8, 16, i);
        fontBody += " \"" + pic + "\"";
    }
    FILE* f = std::fopen("font.img", "wb");
    std::fputs(fontBody.c_str(), f);
    std::fclose(f);
    GMImage font;
    font.LoadTemplate("font.img", &manager, device);
    std::vector<GMImage> sprites(200);
    for (int i = 0; i < 200; ++i)
        sprites[size_t(i)].LoadTemplate(("t" + std::to_string(i) + ".img").c_str(), &manager, device);
    // 2,000 glyphs: 40 lines of 50 characters.
    std::string line(50, ' ');
    for (int i = 0; i < 50; ++i)
        line[size_t(i)] = char('A' + i % 26);

    auto frameOnce = [&](bool spritesOn, bool textOn) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        if (spritesOn) {
            for (int i = 0; i < 1000; ++i) {
                GMImage& s = sprites[size_t(i % 200)];
                s.Advance(10.0f);
                s.Draw(float(40 + (i * 37) % 720), float(60 + (i * 53) % 520), device);
            }
        }
        if (textOn) {
            for (int l = 0; l < 40; ++l)
                font.DrawText(10.0f, float(16 + l * 14), 0.0f, 1.0f, 0xFFFFFFFFu, line.c_str(), device);
        }
        device->EndScene();
        std::vector<uint32_t> pixels;
        uint32_t w, h;
        device->ReadBackBuffer(&pixels, &w, &h);  // forces the queued drawing through
    };
    const int frames = 30;
    for (int mode = 0; mode < 4; ++mode) {
        bool spritesOn = mode == 1 || mode == 3, textOn = mode >= 2;
        frameOnce(spritesOn, textOn);  // warm-up
        auto t = Clock::now();
        for (int i = 0; i < frames; ++i)
            frameOnce(spritesOn, textOn);
        static const char* names[] = {"empty frame (clear + read back)", "1,000 sprites", "2,000 glyphs",
                                      "1,000 sprites + 2,000 glyphs"};
        std::printf("Headless frame, software renderer, %-32s %.2f ms (mean of %d)\n", names[mode], MsSince(t) / frames,
                    frames);
    }

    std::error_code ec;
    ::chdir("/");
    std::filesystem::remove_all(dir, ec);
    device->Release();
    return 0;
}
