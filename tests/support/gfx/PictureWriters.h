#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writers for the test pictures: every test makes its own files.
// Pixels are 0xAARRGGBB, row by row from the top.
struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    TestPicture() = default;
    TestPicture(int w, int h, uint32_t fill = 0xFF000000u) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    uint32_t& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

enum class PngKind { Rgb, Rgba, Gray, Palette, PaletteTrns, Rgb16, RgbaInterlaced };

bool WritePng(const std::string& path, const TestPicture& picture, PngKind kind = PngKind::Rgba);
bool WriteJpeg(const std::string& path, const TestPicture& picture, int quality = 100);
// Colours are taken as given; at most 256 distinct ones. transparentIndex >= 0
// writes a graphics control extension naming that index transparent.
bool WriteGif(const std::string& path, const TestPicture& picture, bool interlaced = false, int transparentIndex = -1);
// Uncompressed BMP of 8 (grey palette from the red channel), 16 (5-5-5), 24 or
// 32 bits; bottom-up unless topDown.
bool WriteBmp(const std::string& path, const TestPicture& picture, int bitsPerPixel, bool topDown = false);
// Run-length BMP of 8 bits (index = red) or 4 bits (index = red / 16), grey
// palette, with repeated runs, absolute runs and a position jump (delta) over
// rows that are all index 0.
bool WriteBmpRle(const std::string& path, const TestPicture& picture, int bitsPerPixel);
