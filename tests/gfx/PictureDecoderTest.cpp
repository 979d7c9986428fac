// Decoders on pictures the tests write themselves.
#include "gfx/Bitmap.h"
#include "gfx/BmpDecoder.h"
#include "gfx/GifDecoder.h"
#include "gfx/JpegDecoder.h"
#include "support/gfx/PictureWriters.h"
#include "gfx/PngDecoder.h"
#include "support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Decodes into plain memory with a pitch wider than the rows, as a texture's would be.
class MemoryTarget : public PngTarget {
public:
    uint8_t* Begin(uint32_t width, uint32_t height, Format format, int32_t* pitch, int32_t* result) override
    {
        if (refuse) {
            *result = -7;
            return nullptr;
        }
        w = width;
        h = height;
        fmt = format;
        stride = int32_t(width) + 3;
        memory.assign(size_t(stride) * height, 0xDEADBEEFu);
        *pitch = stride * 4;
        return reinterpret_cast<uint8_t*>(memory.data());
    }
    void End() override { ++ended; }
    uint32_t At(uint32_t x, uint32_t y) const { return memory[size_t(y) * size_t(stride) + x]; }

    bool refuse = false;
    uint32_t w = 0, h = 0;
    int32_t stride = 0;
    Format fmt = Format::Unknown;
    std::vector<uint32_t> memory;
    int ended = 0;
};

int32_t DecodePngFile(const std::string& path, MemoryTarget& target)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return -100;
    uint8_t sig[8] = {};
    size_t got = std::fread(sig, 1, 8, f);
    int32_t r = IsPngSignature(sig, int(got)) ? DecodePng(f, target) : -200;
    std::fclose(f);
    return r;
}

TestPicture Gradient(int w, int h)
{
    TestPicture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = 0xFF000000u | uint32_t((x * 37) & 0xFF) << 16 | uint32_t((y * 53) & 0xFF) << 8 |
                         uint32_t((x + y) * 11 & 0xFF);
    return p;
}

}  // namespace

TEST(PngDecoder, RgbaLandsAsBgraWithItsAlphaAndLeavesThePitchPaddingAlone)
{
    TempDir dir;
    TestPicture p = Gradient(5, 3);
    p.At(1, 1) = 0x80112233u;
    p.At(4, 2) = 0x00FFFFFFu;
    ASSERT_TRUE(WritePng(dir.File("a.png"), p, PngKind::Rgba));
    MemoryTarget t;
    ASSERT_EQ(DecodePngFile(dir.File("a.png"), t), 0);
    EXPECT_EQ(t.fmt, PngTarget::Format::Argb);
    EXPECT_EQ(t.w, 5u);
    EXPECT_EQ(t.h, 3u);
    EXPECT_EQ(t.ended, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(t.At(uint32_t(x), uint32_t(y)), p.At(x, y)) << x << "," << y;
    EXPECT_EQ(t.At(5, 0), 0xDEADBEEFu);  // past the row: untouched
}

TEST(PngDecoder, InterlacedPicturesComeOutWhole)
{
    TempDir dir;
    TestPicture p = Gradient(13, 9);
    ASSERT_TRUE(WritePng(dir.File("i.png"), p, PngKind::RgbaInterlaced));
    MemoryTarget t;
    ASSERT_EQ(DecodePngFile(dir.File("i.png"), t), 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(t.At(uint32_t(x), uint32_t(y)), p.At(x, y)) << x << "," << y;
}

TEST(PngDecoder, RgbGreyAndSixteenBitBecomeOpaqueEightBit)
{
    TempDir dir;
    TestPicture p = Gradient(4, 4);
    for (PngKind kind : {PngKind::Rgb, PngKind::Rgb16}) {
        ASSERT_TRUE(WritePng(dir.File("c.png"), p, kind));
        MemoryTarget t;
        ASSERT_EQ(DecodePngFile(dir.File("c.png"), t), 0);
        EXPECT_EQ(t.fmt, PngTarget::Format::Rgb);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(t.At(uint32_t(x), uint32_t(y)), p.At(x, y));
    }
    TestPicture g(3, 1);
    g.At(0, 0) = 0xFF000000u;
    g.At(1, 0) = 0xFF808080u;
    g.At(2, 0) = 0xFFFFFFFFu;
    ASSERT_TRUE(WritePng(dir.File("g.png"), g, PngKind::Gray));
    MemoryTarget t;
    ASSERT_EQ(DecodePngFile(dir.File("g.png"), t), 0);
    EXPECT_EQ(t.At(0, 0), 0xFF000000u);
    EXPECT_EQ(t.At(1, 0), 0xFF808080u);
    EXPECT_EQ(t.At(2, 0), 0xFFFFFFFFu);
}

TEST(PngDecoder, PaletteExpandsAndItsTransparencyBecomesAlpha)
{
    TempDir dir;
    TestPicture p(3, 2, 0xFF0000FFu);
    p.At(0, 0) = 0x00FF0000u;
    p.At(2, 1) = 0x4000FF00u;
    ASSERT_TRUE(WritePng(dir.File("p.png"), p, PngKind::Palette));
    MemoryTarget opaque;
    ASSERT_EQ(DecodePngFile(dir.File("p.png"), opaque), 0);
    EXPECT_EQ(opaque.fmt, PngTarget::Format::Rgb);
    EXPECT_EQ(opaque.At(0, 0), 0xFFFF0000u);  // no tRNS: opaque filler
    ASSERT_TRUE(WritePng(dir.File("t.png"), p, PngKind::PaletteTrns));
    MemoryTarget t;
    ASSERT_EQ(DecodePngFile(dir.File("t.png"), t), 0);
    EXPECT_EQ(t.fmt, PngTarget::Format::Argb);
    EXPECT_EQ(t.At(0, 0), 0x00FF0000u);
    EXPECT_EQ(t.At(2, 1), 0x4000FF00u);
    EXPECT_EQ(t.At(1, 0), 0xFF0000FFu);
}

TEST(PngDecoder, RefusedMemoryAndBrokenFilesFailCleanly)
{
    TempDir dir;
    ASSERT_TRUE(WritePng(dir.File("a.png"), Gradient(4, 4)));
    MemoryTarget refusing;
    refusing.refuse = true;
    EXPECT_EQ(DecodePngFile(dir.File("a.png"), refusing), -7);
    EXPECT_EQ(refusing.ended, 0);

    // Cut the file short inside its pixel data.
    std::string bytes = dir.Read("a.png");
    dir.Write("cut.png", bytes.substr(0, bytes.size() - 30));
    MemoryTarget cut;
    EXPECT_EQ(DecodePngFile(dir.File("cut.png"), cut), -1);
    EXPECT_EQ(cut.ended, 1);  // the memory it was given is handed back
}

TEST(BmpDecoder, ReadsEveryDepthInBothRowOrders)
{
    TempDir dir;
    TestPicture p = Gradient(7, 5);
    for (int bpp : {8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            ASSERT_TRUE(WriteBmp(dir.File("b.bmp"), p, bpp, topDown));
            FILE* f = std::fopen(dir.File("b.bmp").c_str(), "rb");
            Bitmap b;
            ASSERT_TRUE(DecodeBmp(f, b)) << bpp;
            std::fclose(f);
            EXPECT_EQ(b.width, 7);
            EXPECT_EQ(b.height, 5);
            EXPECT_EQ(b.bitsPerPixel, bpp);
            EXPECT_EQ(b.bottomUp, !topDown);
            EXPECT_EQ(b.stride % 4, 0);
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 7; ++x) {
                    uint32_t want = p.At(x, y);
                    if (bpp == 8) {
                        uint32_t r = (want >> 16) & 0xFF;  // the writer's grey palette
                        want = 0xFF000000u | r << 16 | r << 8 | r;
                    }
                    uint32_t got = b.ColorAt(x, y);
                    if (bpp == 16) {
                        for (int shift : {0, 8, 16})
                            EXPECT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), 8);
                    } else {
                        EXPECT_EQ(got, want) << bpp << " " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(BmpDecoder, RunLengthBitmapsOfEightAndFourBits)
{
    TempDir dir;
    TestPicture p(21, 7, 0xFF000000u);
    for (int x = 0; x < 21; ++x) {
        p.At(x, 0) = 0xFF000000u | uint32_t(x < 12 ? 0x40 : 0xC0) << 16;  // two long runs
        p.At(x, 1) = 0xFF000000u | uint32_t(x * 12) << 16;                // all different: absolute
        p.At(x, 6) = 0xFF000000u | uint32_t((x % 3) * 0x50) << 16;        // short mixed runs
    }
    // Rows 2 to 5 stay index 0 and are skipped with a delta.
    for (int bpp : {8, 4}) {
        ASSERT_TRUE(WriteBmpRle(dir.File("r.bmp"), p, bpp));
        FILE* f = std::fopen(dir.File("r.bmp").c_str(), "rb");
        Bitmap b;
        ASSERT_TRUE(DecodeBmp(f, b)) << bpp;
        std::fclose(f);
        EXPECT_EQ(b.bitsPerPixel, bpp);
        EXPECT_TRUE(b.bottomUp);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 21; ++x) {
                int red = int((p.At(x, y) >> 16) & 0xFF);
                int want = bpp == 8 ? red : (red >> 4) * 17;
                uint32_t grey = 0xFF000000u | uint32_t(want) << 16 | uint32_t(want) << 8 | uint32_t(want);
                EXPECT_EQ(b.ColorAt(x, y), grey) << bpp << " " << x << "," << y;
            }
        }
    }
}

TEST(BmpDecoder, RejectsWhatIsNotAnUncompressedBitmap)
{
    TempDir dir;
    dir.Write("x.bmp", "BMxx");
    FILE* f = std::fopen(dir.File("x.bmp").c_str(), "rb");
    Bitmap b;
    EXPECT_FALSE(DecodeBmp(f, b));
    std::fclose(f);

    ASSERT_TRUE(WriteBmp(dir.File("r.bmp"), Gradient(4, 4), 24));
    std::string bytes = dir.Read("r.bmp");
    bytes[30] = 4;  // compression: embedded JPEG
    dir.Write("rle.bmp", bytes);
    f = std::fopen(dir.File("rle.bmp").c_str(), "rb");
    EXPECT_FALSE(DecodeBmp(f, b));
    std::fclose(f);
}

TEST(JpegDecoder, GivesATopDownTwentyFourBitBitmapCloseToThePicture)
{
    TempDir dir;
    TestPicture p(16, 8, 0xFF2040C0u);
    for (int x = 8; x < 16; ++x)
        for (int y = 0; y < 8; ++y)
            p.At(x, y) = 0xFFE0E0E0u;
    ASSERT_TRUE(WriteJpeg(dir.File("j.jpg"), p));
    FILE* f = std::fopen(dir.File("j.jpg").c_str(), "rb");
    Bitmap b;
    ASSERT_TRUE(DecodeJpeg(f, b));
    std::fclose(f);
    EXPECT_EQ(b.width, 16);
    EXPECT_EQ(b.height, 8);
    EXPECT_EQ(b.bitsPerPixel, 24);
    EXPECT_FALSE(b.bottomUp);
    for (int shift : {0, 8, 16}) {
        EXPECT_NEAR(int((b.ColorAt(2, 2) >> shift) & 0xFF), int((p.At(2, 2) >> shift) & 0xFF), 3);
        EXPECT_NEAR(int((b.ColorAt(13, 6) >> shift) & 0xFF), int((p.At(13, 6) >> shift) & 0xFF), 3);
    }
}

TEST(JpegDecoder, ATruncatedOrForeignFileFails)
{
    TempDir dir;
    dir.Write("bad.jpg", std::string("\xFF\xD8\xFF\xE0garbage", 11));
    FILE* f = std::fopen(dir.File("bad.jpg").c_str(), "rb");
    Bitmap b;
    EXPECT_FALSE(DecodeJpeg(f, b));
    std::fclose(f);
}

TEST(GifDecoder, FirstImageInDisplayOrderBottomUpWithTransparencyIgnored)
{
    TempDir dir;
    TestPicture p(9, 11, 0xFF000000u);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 9; ++x)
            p.At(x, y) = 0xFF000000u | uint32_t(y * 20) << 16 | uint32_t(x * 25);
    for (bool interlaced : {false, true}) {
        ASSERT_TRUE(WriteGif(dir.File("g.gif"), p, interlaced, 0));
        Bitmap b;
        ASSERT_TRUE(DecodeGif(dir.File("g.gif").c_str(), b));
        EXPECT_EQ(b.width, 9);
        EXPECT_EQ(b.height, 11);
        EXPECT_EQ(b.bitsPerPixel, 24);
        EXPECT_TRUE(b.bottomUp);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(b.ColorAt(x, y), p.At(x, y)) << interlaced << " " << x << "," << y;
    }
    Bitmap none;
    EXPECT_FALSE(DecodeGif(dir.File("missing.gif").c_str(), none));
}
