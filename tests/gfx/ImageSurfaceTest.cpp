// Picture files into textures: formats, sizes, alpha companions, restoring.
#include "gfx/BitmapTexture.h"
#include "support/gfx/GfxTestSupport.h"
#include "gfx/GMImageSurface.h"
#include "gfx/ImageFrameInfo.h"
#include "gfx/ImageResult.h"
#include "platform/DisplayDriver.h"
#include "platform/Texture.h"

#include <filesystem>

namespace {

class ImageSurfaceTest : public DeviceTest {
protected:
    // A fresh surface, as the manager makes them; released by the test.
    GMImageSurface* NewSurface()
    {
        auto* s = new GMImageSurface;
        s->AddRef();
        return s;
    }
    static uint32_t Texel(const GMImageSurface* s, int x, int y)
    {
        const Texture* t = s->GetTexture();
        return t->GetPixels()[size_t(y) * t->GetWidth() + size_t(x)];
    }
};

TestPicture Checker(int w, int h, uint32_t a, uint32_t b)
{
    TestPicture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = ((x / 4 + y / 4) & 1) ? a : b;
    return p;
}

}  // namespace

TEST_F(ImageSurfaceTest, APngNamedJpgLoadsAsPngAtItsOwnSize)
{
    TestPicture p = Checker(30, 10, 0x80FF0000u, 0xFF00FF00u);
    ASSERT_TRUE(WritePng("pic.jpg", p, PngKind::Rgba));
    GMImageSurface* s = NewSurface();
    ImageFrameInfo info;
    ASSERT_EQ(s->Load("pic.jpg", &info, m_device), 0);
    EXPECT_EQ(info.textureWidth, 30.0f);
    EXPECT_EQ(info.textureHeight, 10.0f);
    EXPECT_EQ(info.imageWidth, 30.0f);
    EXPECT_EQ(info.imageHeight, 10.0f);
    EXPECT_EQ(info.offsetX, 0.0f);
    EXPECT_EQ(info.extraY, 0.0f);
    // PNG alpha is the picture's own, not a companion's.
    EXPECT_EQ(Texel(s, 0, 0), p.At(0, 0));
    EXPECT_EQ(Texel(s, 5, 0), p.At(5, 0));
    EXPECT_STREQ(s->GetName(), "pic.jpg");
    s->Release();
}

TEST_F(ImageSurfaceTest, AGifOf300x20GetsA512x32TextureOpaqueOverThePictureOnly)
{
    TestPicture p = Checker(300, 20, 0xFF102030u, 0xFFC0B0A0u);
    ASSERT_TRUE(WriteGif("wide.gif", p, false, 1));  // its own transparent index stays unused
    GMImageSurface* s = NewSurface();
    ImageFrameInfo info;
    ASSERT_EQ(s->Load("wide.gif", &info, m_device), 0);
    EXPECT_EQ(info.textureWidth, 512.0f);
    EXPECT_EQ(info.textureHeight, 32.0f);
    EXPECT_EQ(info.imageWidth, 300.0f);
    EXPECT_EQ(info.imageHeight, 20.0f);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 512; x += (x < 296 ? 7 : 1)) {
            uint32_t t = Texel(s, x, y);
            if (x < 300 && y < 20)
                ASSERT_EQ(t, p.At(x, y)) << x << "," << y;
            else
                ASSERT_EQ(Alpha(t), 0) << x << "," << y;
        }
    }
    s->Release();
}

TEST_F(ImageSurfaceTest, JpegTakesAlphaFromItsCompanionAsTheMeanOfThreeBytes)
{
    ASSERT_TRUE(WriteJpeg("sky.jpg", TestPicture(20, 12, 0xFF4080C0u)));
    // A 24-bit BMP companion under the picture's extension: pixel (30, 60, 90).
    TestPicture alpha(20, 12, 0xFF1E3C5Au);
    alpha.At(19, 11) = 0xFFFFFFFFu;
    ASSERT_TRUE(WriteBmp("sky_A.jpg", alpha, 24));
    GMImageSurface* s = NewSurface();
    ImageFrameInfo info;
    ASSERT_EQ(s->Load("sky.jpg", &info, m_device), 0);
    EXPECT_EQ(info.textureWidth, 32.0f);
    EXPECT_EQ(info.textureHeight, 16.0f);
    EXPECT_EQ(Alpha(Texel(s, 0, 0)), 60);
    EXPECT_EQ(Alpha(Texel(s, 19, 11)), 255);
    EXPECT_EQ(Alpha(Texel(s, 20, 0)), 0);  // outside the picture
    EXPECT_NEAR(Red(Texel(s, 3, 3)), 0x40, 3);
    EXPECT_NEAR(Blue(Texel(s, 3, 3)), 0xC0, 3);
    s->Release();
}

TEST_F(ImageSurfaceTest, AnAlphaPictureOfAnotherSizeIsStretchedByNearestPixel)
{
    ASSERT_TRUE(WriteGif("big.gif", TestPicture(8, 4, 0xFFFFFFFFu)));
    // 4 x 2 alpha picture, 8-bit: each byte is the alpha; stretched twice.
    TestPicture alpha(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            alpha.At(x, y) = 0xFF000000u | uint32_t(10 + x + 4 * y) << 16;
    ASSERT_TRUE(WriteBmp("big_A.gif", alpha, 8));
    GMImageSurface* s = NewSurface();
    ASSERT_EQ(s->Load("big.gif", nullptr, m_device), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(Alpha(Texel(s, x, y)), 10 + x / 2 + 4 * (y / 2)) << x << "," << y;
    s->Release();
}

TEST_F(ImageSurfaceTest, SixteenAndThirtyTwoBitAlphaPictures)
{
    ASSERT_TRUE(WriteGif("a.gif", TestPicture(4, 4, 0xFFFFFFFFu)));
    ASSERT_TRUE(WriteGif("b.gif", TestPicture(4, 4, 0xFFFFFFFFu)));
    // 16 bits: the high byte of the pixel. Red 0xF8 (31 << 10) gives 0x7C.
    ASSERT_TRUE(WriteBmp("a_A.gif", TestPicture(4, 4, 0xFFF80000u), 16));
    // 32 bits: the mean of blue, green, red; the fourth byte does not count.
    ASSERT_TRUE(WriteBmp("b_A.gif", TestPicture(4, 4, 0x00030609u), 32));
    GMImageSurface* a = NewSurface();
    GMImageSurface* b = NewSurface();
    ASSERT_EQ(a->Load("a.gif", nullptr, m_device), 0);
    ASSERT_EQ(b->Load("b.gif", nullptr, m_device), 0);
    EXPECT_EQ(Alpha(Texel(a, 2, 2)), 0x7C);
    EXPECT_EQ(Alpha(Texel(b, 2, 2)), 6);
    a->Release();
    b->Release();
}

TEST_F(ImageSurfaceTest, UpperCaseExtensionTakesTheBitmapPathWithItsOwnCompanionName)
{
    ASSERT_TRUE(WriteJpeg("Menu.JPG", TestPicture(10, 10, 0xFF808080u)));
    ASSERT_TRUE(WriteBmp("Menu_A.JPG", TestPicture(10, 10, 0xFF646464u), 24));
    GMImageSurface* s = NewSurface();
    ImageFrameInfo info;
    ASSERT_EQ(s->Load("Menu.JPG", &info, m_device), 0);
    EXPECT_EQ(info.textureWidth, 16.0f);  // power of two: the bitmap path
    EXPECT_EQ(info.imageWidth, 10.0f);
    EXPECT_EQ(Alpha(Texel(s, 4, 4)), 100);
    s->Release();
}

TEST_F(ImageSurfaceTest, OtherExtensionsReadBitmapsAtTheirOwnSizeOpaque)
{
    ASSERT_TRUE(WriteBmp("tile.bmp", Checker(6, 3, 0xFF0000FFu, 0xFFFFFF00u), 24));
    ASSERT_TRUE(WriteBmp("tile.dat", Checker(6, 3, 0xFF0000FFu, 0xFFFFFF00u), 32));
    for (const char* name : {"tile.bmp", "tile.dat"}) {
        GMImageSurface* s = NewSurface();
        ImageFrameInfo info;
        ASSERT_EQ(s->Load(name, &info, m_device), 0) << name;
        EXPECT_EQ(info.textureWidth, 6.0f);
        EXPECT_EQ(info.imageHeight, 3.0f);
        EXPECT_EQ(Texel(s, 0, 0), 0xFFFFFF00u);
        EXPECT_EQ(Texel(s, 4, 0), 0xFF0000FFu);
        s->Release();
    }
    // Text under a picture's name has no decoder.
    WriteText("note.tga", "not a picture");
    GMImageSurface* s = NewSurface();
    EXPECT_EQ(s->Load("note.tga", nullptr, m_device), kResultUnsupportedFile);
    EXPECT_EQ(s->GetTexture(), nullptr);
    EXPECT_EQ(s->GetName(), nullptr);
    s->Release();
}

TEST_F(ImageSurfaceTest, FailedLoadsReportTheirCodeAndLeaveTheSurfaceEmpty)
{
    GMImageSurface* s = NewSurface();
    EXPECT_EQ(s->Load("", nullptr, m_device), kResultInvalidParameter);
    EXPECT_EQ(s->Load(nullptr, nullptr, m_device), kResultInvalidParameter);  // nothing to reload
    ASSERT_TRUE(WritePng("ok.png", TestPicture(2, 2)));
    EXPECT_EQ(s->Load("ok.png", nullptr, nullptr), kResultInvalidParameter);
    EXPECT_EQ(s->Load("missing.png", nullptr, m_device), kResultInvalidParameter);
    EXPECT_EQ(s->GetName(), nullptr);
    // A JPEG that does not decode leaves no texture.
    WriteText("broken.jpg", std::string("\xFF\xD8\xFF\xE0 broken", 11));
    EXPECT_NE(s->Load("broken.jpg", nullptr, m_device), 0);
    EXPECT_EQ(s->GetTexture(), nullptr);
    ImageFrameInfo info;
    EXPECT_EQ(s->GetFrameInfo(&info), 1);
    s->Release();
}

TEST_F(ImageSurfaceTest, GetFrameInfoReportsTheTextureSizeAsImageSize)
{
    ASSERT_TRUE(WriteGif("g.gif", TestPicture(300, 20, 0xFF000000u)));
    GMImageSurface* s = NewSurface();
    ASSERT_EQ(s->Load("g.gif", nullptr, m_device), 0);
    ImageFrameInfo info;
    info.offsetX = 5.0f;
    ASSERT_EQ(s->GetFrameInfo(&info), 0);
    EXPECT_EQ(info.imageWidth, 512.0f);
    EXPECT_EQ(info.imageHeight, 32.0f);
    EXPECT_EQ(info.offsetX, 0.0f);
    s->Release();
}

TEST_F(ImageSurfaceTest, RestoreAfterDeviceLossKeepsThePixelsAndReloadRefillsTheTexture)
{
    TestPicture p = Checker(16, 16, 0xFF112233u, 0x80445566u);
    ASSERT_TRUE(WritePng("r.png", p));
    ASSERT_TRUE(WriteJpeg("r.jpg", TestPicture(5, 5, 0xFF204060u)));
    GMImageSurface* png = NewSurface();
    GMImageSurface* jpg = NewSurface();
    ASSERT_EQ(png->Load("r.png", nullptr, m_device), 0);
    ASSERT_EQ(jpg->Load("r.jpg", nullptr, m_device), 0);
    ForceDisplayLoss(m_device->GetDriver());
    EXPECT_EQ(png->GetTexture()->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(png->Restore(m_device), 0);
    EXPECT_EQ(jpg->Restore(m_device), 0);
    EXPECT_EQ(png->GetTexture()->IsLost(), DD_OK);
    EXPECT_EQ(Texel(png, 4, 0), p.At(4, 0));

    // A reload (null name) writes the file into the same texture again.
    Texture* before = png->GetTexture();
    TestPicture q = Checker(16, 16, 0xFF000000u, 0xFFFFFFFFu);
    ASSERT_TRUE(WritePng("r.png", q));
    EXPECT_EQ(png->Load(nullptr, nullptr, m_device), 0);
    EXPECT_EQ(png->GetTexture(), before);
    EXPECT_EQ(Texel(png, 4, 0), q.At(4, 0));
    // A picture that grew meanwhile would not fit: refused, not overrun.
    ASSERT_TRUE(WritePng("r.png", TestPicture(32, 32)));
    EXPECT_NE(png->Load(nullptr, nullptr, m_device), 0);
    // A refill that fails keeps texture and name for the next attempt.
    EXPECT_EQ(png->GetTexture(), before);
    EXPECT_STREQ(png->GetName(), "r.png");
    std::filesystem::remove("r.jpg");
    EXPECT_EQ(jpg->Load(nullptr, nullptr, m_device), kResultInvalidParameter);
    EXPECT_NE(jpg->GetTexture(), nullptr);
    EXPECT_STREQ(jpg->GetName(), "r.jpg");
    png->Release();
    jpg->Release();
}

TEST(BitmapTexture, PowerOfTwoSides)
{
    EXPECT_EQ(BitmapTextureSide(1), 1u);
    EXPECT_EQ(BitmapTextureSide(3), 4u);
    EXPECT_EQ(BitmapTextureSide(300), 512u);
    EXPECT_EQ(BitmapTextureSide(512), 512u);
    EXPECT_EQ(BitmapTextureSide(2048), 2048u);
    EXPECT_EQ(BitmapTextureSide(2049), 4096u);
    EXPECT_EQ(BitmapTextureSide(9000), 4096u);
}
