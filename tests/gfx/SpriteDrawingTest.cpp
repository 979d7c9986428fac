// Sprite drawing read back from the headless back buffer.
#include "support/gfx/GfxTestSupport.h"
#include "gfx/GMImage.h"
#include "gfx/GMImageTemplate.h"

#include <cmath>

namespace {

class SpriteDrawingTest : public DeviceTest {
protected:
    void Image(GMImage& image, const std::string& img, const std::string& body)
    {
        WriteText(img, body);
        ASSERT_EQ(image.LoadTemplate(img.c_str(), m_manager.get(), m_device), 0);
    }
};

// Texel (x, y) of the ramp: red 2x, green 16y, so any sampling slip shows.
TestPicture Ramp(int w, int h)
{
    TestPicture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = 0xFF000000u | uint32_t((2 * x) & 0xFF) << 16 | uint32_t((16 * y) & 0xFF) << 8 | 0x40u;
    return p;
}

}  // namespace

TEST_F(SpriteDrawingTest, DrawCroppedRoundsToWholePixelsAndCutsTheTexture)
{
    TestPicture ramp = Ramp(128, 16);
    ASSERT_TRUE(WritePng("ramp.png", ramp));
    GMImage image;
    Image(image, "ramp.img", "\"FR\" 1 \"ramp.png\"");
    BeginFrame();
    EXPECT_EQ(image.DrawCropped(100.0f, 100.0f, 99.5f, 10.2f, m_device), 0);
    EndFrame();
    // 100 x 10 pixels, texel for texel: u runs to 100/128, v to 10/16.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(Pixel(100 + x, 100 + y), ramp.At(x, y)) << x << "," << y;
    for (int y = 99; y <= 111; ++y)
        EXPECT_EQ(Pixel(200, y), 0xFF000000u) << y;
    for (int x = 99; x <= 201; ++x)
        EXPECT_EQ(Pixel(x, 110), 0xFF000000u) << x;
    EXPECT_EQ(Pixel(99, 105), 0xFF000000u);
}

TEST_F(SpriteDrawingTest, DrawColoredWithAlpha128IsHalfTransparent)
{
    ASSERT_TRUE(WritePng("white.png", TestPicture(16, 16, 0xFFFFFFFFu)));
    GMImage image;
    Image(image, "white.img", "\"FR\" 1 \"white.png\"");
    BeginFrame(0xFF0000C8u);
    EXPECT_EQ(image.DrawColored(10.0f, 10.0f, 0x80FFFFFFu, m_device), 0);
    EXPECT_EQ(image.DrawColored(40.0f, 10.0f, 0xFF00FF00u, m_device), 0);  // tint
    EndFrame();
    uint32_t half = Pixel(15, 15);
    EXPECT_NEAR(Red(half), 128, 1);
    EXPECT_NEAR(Green(half), 128, 1);
    EXPECT_NEAR(Blue(half), (200 * 127 + 255 * 128) / 255, 2);
    EXPECT_EQ(Pixel(45, 15), 0xFF00FF00u);
    EXPECT_EQ(Pixel(26, 15), 0xFF0000C8u);
}

TEST_F(SpriteDrawingTest, DrawFadeCoversEverythingAtFullAlphaAndNothingAtZero)
{
    BeginFrame(0xFF808080u);
    FillRect(100.0f, 100.0f, 50.0f, 20.0f, 0xFFFF0000u, m_device);
    DrawFade(m_device, 0.0f);
    DrawFade(m_device, 0.4f);  // rounds to 0
    EndFrame();
    EXPECT_EQ(Pixel(120, 110), 0xFFFF0000u);
    EXPECT_EQ(Pixel(99, 110), 0xFF808080u);
    EXPECT_EQ(Pixel(150, 110), 0xFF808080u);
    EXPECT_EQ(Pixel(799, 599), 0xFF808080u);

    BeginFrame(0xFF808080u);
    FillRect(100.0f, 100.0f, 50.0f, 20.0f, 0xFFFF0000u, m_device);
    DrawFade(m_device, 255.0f);
    EndFrame();
    for (int y = 0; y < 600; y += 37)
        for (int x = 0; x < 800; x += 41)
            ASSERT_EQ(Pixel(x, y), 0xFF000000u) << x << "," << y;
    EXPECT_EQ(Pixel(799, 599), 0xFF000000u);

    BeginFrame(0xFFFFFFFFu);
    DrawFade(m_device, 127.6f);  // 128
    EndFrame();
    EXPECT_NEAR(Red(Pixel(400, 300)), 127, 1);
}

TEST_F(SpriteDrawingTest, OffsetsAnchorTheQuadAndRotationTurnsAboutTheAnchoredCorner)
{
    TestPicture p(8, 8, 0xFFFF0000u);
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            p.At(x, y) = 0xFF00FF00u;  // right half green
    ASSERT_TRUE(WritePng("half.png", p));
    GMImage image;
    Image(image, "half.img", "\"FR\" 1 \"half.png\" \"IMX\" -16 \"IMY\" -16");
    BeginFrame();
    EXPECT_EQ(image.Draw(100.0f, 100.0f, m_device), 0);
    EndFrame();
    EXPECT_EQ(Pixel(84, 84), 0xFFFF0000u);
    EXPECT_EQ(Pixel(91, 91), 0xFF00FF00u);
    EXPECT_EQ(Pixel(83, 84), 0xFF000000u);
    EXPECT_EQ(Pixel(84, 83), 0xFF000000u);
    EXPECT_EQ(Pixel(92, 91), 0xFF000000u);

    // A quarter turn clockwise about (84, 84): the picture's x axis points down
    // the screen, so red lies above green, left of the corner.
    BeginFrame();
    EXPECT_EQ(image.DrawRotated(100.0f, 100.0f, float(M_PI / 2), 0xFFFFFFFFu, m_device), 0);
    EndFrame();
    EXPECT_EQ(Pixel(80, 85), 0xFFFF0000u);
    EXPECT_EQ(Pixel(78, 86), 0xFFFF0000u);
    EXPECT_EQ(Pixel(80, 90), 0xFF00FF00u);
    EXPECT_EQ(Pixel(88, 88), 0xFF000000u);  // where the unturned picture would be
    EXPECT_EQ(Pixel(80, 82), 0xFF000000u);
    EXPECT_EQ(Pixel(80, 93), 0xFF000000u);
    EXPECT_EQ(Pixel(74, 88), 0xFF000000u);
}

TEST_F(SpriteDrawingTest, ScaledAndSizedDrawingsStretchTheWholeTexture)
{
    TestPicture ramp = Ramp(4, 4);
    ASSERT_TRUE(WritePng("r4.png", ramp));
    GMImage image;
    Image(image, "r4.img", "\"FR\" 1 \"r4.png\"");
    BeginFrame();
    EXPECT_EQ(image.DrawScaled(10.0f, 10.0f, 2.0f, 3.0f, m_device), 0);
    EXPECT_EQ(image.DrawSized(100.0f, 10.0f, 16.0f, 4.0f, m_device), 0);
    EXPECT_EQ(image.DrawSizedColored(200.0f, 10.0f, 4.0f, 8.0f, 0xFF000000u | 0x00FFFFu, m_device), 0);
    EndFrame();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(Pixel(10 + x, 10 + y), ramp.At(x / 2, y / 3)) << x << "," << y;
    EXPECT_EQ(Pixel(18, 10), 0xFF000000u);
    EXPECT_EQ(Pixel(10, 22), 0xFF000000u);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(Pixel(100 + x, 11), ramp.At(x / 4, 1)) << x;
    EXPECT_EQ(Red(Pixel(201, 15)), 0);  // red modulated away
    EXPECT_EQ(Green(Pixel(201, 15)), Green(ramp.At(1, 2)));
}

TEST_F(SpriteDrawingTest, AdditiveTemplatesAddAndPutTheBlendBack)
{
    ASSERT_TRUE(WritePng("white.png", TestPicture(16, 16, 0xFFFFFFFFu)));
    GMImage glow, plain;
    Image(glow, "glow.img", "\"FR\" 1 \"white.png\" \"INT\"");
    Image(plain, "plain.img", "\"FR\" 1 \"white.png\"");
    BeginFrame(0xFF646464u);
    EXPECT_EQ(glow.DrawColored(0.0f, 0.0f, 0x80FFFFFFu, m_device), 0);
    uint32_t blend = 0;
    ASSERT_EQ(m_device->GetRenderState(D3DRENDERSTATE_DESTBLEND, &blend), DD_OK);
    EXPECT_EQ(blend, uint32_t(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(plain.DrawColored(20.0f, 0.0f, 0x80FFFFFFu, m_device), 0);
    EndFrame();
    EXPECT_NEAR(Red(Pixel(8, 8)), 228, 1);  // 100 + 128
    EXPECT_NEAR(Red(Pixel(28, 8)), (100 * 127 + 255 * 128) / 255, 1);
}

TEST_F(SpriteDrawingTest, DrawAllFramesDrawsTheLastFrameFirstAndEndsOnFrameZero)
{
    ASSERT_TRUE(WritePng("s10.png", TestPicture(10, 10, 0xFFFF0000u)));
    ASSERT_TRUE(WritePng("s20.png", TestPicture(20, 20, 0xFF00FF00u)));
    ASSERT_TRUE(WritePng("s30.png", TestPicture(30, 30, 0xFF0000FFu)));
    GMImage layers;
    Image(layers, "layers.img", "\"FR\" 3 \"s10.png\" \"s20.png\" \"s30.png\"");
    layers.SetFrame(2);
    BeginFrame();
    EXPECT_EQ(layers.DrawAllFrames(0.0f, 0.0f, m_device), 0);
    EXPECT_EQ(layers.DrawAllFramesColored(100.0f, 0.0f, 0x80FFFFFFu, m_device), 0);
    EndFrame();
    EXPECT_EQ(layers.GetFramePosition(), 0.0f);
    EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(Pixel(15, 15), 0xFF00FF00u);
    EXPECT_EQ(Pixel(25, 25), 0xFF0000FFu);
    EXPECT_EQ(Pixel(30, 30), 0xFF000000u);
    EXPECT_NEAR(Red(Pixel(105, 5)), 128, 2);  // red over half green over half blue
    EXPECT_GT(Green(Pixel(105, 5)), 20);
}

TEST_F(SpriteDrawingTest, AnImageWithoutFrameDrawsNothingAndReportsOne)
{
    GMImage empty;
    BeginFrame();
    EXPECT_EQ(empty.Draw(0, 0, m_device), 1);
    EXPECT_EQ(empty.DrawColored(0, 0, 0xFFFFFFFFu, m_device), 1);
    EXPECT_EQ(empty.DrawSized(0, 0, 5, 5, m_device), 1);
    EXPECT_EQ(empty.DrawSizedColored(0, 0, 5, 5, 0xFFFFFFFFu, m_device), 1);
    EXPECT_EQ(empty.DrawScaled(0, 0, 2, 2, m_device), 1);
    EXPECT_EQ(empty.DrawCropped(0, 0, 5, 5, m_device), 1);
    EXPECT_EQ(empty.DrawCroppedColored(0, 0, 5, 5, 0xFFFFFFFFu, m_device), 1);
    EXPECT_EQ(empty.DrawRotated(0, 0, 1.0f, 0xFFFFFFFFu, m_device), 1);
    EXPECT_EQ(empty.DrawAllFrames(0, 0, m_device), 1);
    EXPECT_EQ(empty.DrawAllFramesColored(0, 0, 0xFFFFFFFFu, m_device), 1);
    EndFrame();
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(Pixel(x, x), 0xFF000000u);
}

TEST_F(SpriteDrawingTest, FillRectIsUntexturedAfterATexturedDraw)
{
    ASSERT_TRUE(WritePng("white.png", TestPicture(16, 16, 0xFFFFFFFFu)));
    GMImage image;
    Image(image, "white.img", "\"FR\" 1 \"white.png\"");
    BeginFrame();
    image.Draw(0.0f, 0.0f, m_device);
    FillRect(300.0f, 200.0f, 100.0f, 50.0f, 0xFF3366FFu, m_device);
    EXPECT_EQ(m_device->GetTexture(0), nullptr);
    EndFrame();
    EXPECT_EQ(Pixel(300, 200), 0xFF3366FFu);
    EXPECT_EQ(Pixel(399, 249), 0xFF3366FFu);
    EXPECT_EQ(Pixel(400, 249), 0xFF000000u);
    EXPECT_EQ(Pixel(399, 250), 0xFF000000u);
}

TEST_F(SpriteDrawingTest, EverySpriteCostsOneTextureAndOnePrimitive)
{
    ASSERT_TRUE(WritePng("white.png", TestPicture(16, 16, 0xFFFFFFFFu)));
    GMImage image, glow;
    Image(image, "white.img", "\"FR\" 2 \"white.png\" \"white.png\"");
    Image(glow, "glow.img", "\"FR\" 1 \"white.png\" \"INT\"");
    BeginFrame();
    DisplayDevice::CallCounts before = m_device->GetCallCounts();
    image.Draw(0, 0, m_device);
    image.DrawColored(0, 0, 0x80FFFFFFu, m_device);
    image.DrawSized(0, 0, 5, 5, m_device);
    image.DrawSizedColored(0, 0, 5, 5, 0x80FFFFFFu, m_device);
    image.DrawScaled(0, 0, 2, 2, m_device);
    image.DrawCropped(0, 0, 5, 5, m_device);
    image.DrawCroppedColored(0, 0, 5, 5, 0x80FFFFFFu, m_device);
    image.DrawRotated(0, 0, 1, 0x80FFFFFFu, m_device);
    glow.Draw(0, 0, m_device);
    FillRect(0, 0, 5, 5, 0xFFFFFFFFu, m_device);
    DrawFade(m_device, 10);
    DisplayDevice::CallCounts after = m_device->GetCallCounts();
    EXPECT_EQ(after.setTexture - before.setTexture, 11u);
    EXPECT_EQ(after.drawPrimitive - before.drawPrimitive, 11u);
    image.DrawAllFrames(0, 0, m_device);  // two frames
    DisplayDevice::CallCounts all = m_device->GetCallCounts();
    EXPECT_EQ(all.drawPrimitive - after.drawPrimitive, 2u);
    EndFrame();
}
