#include "DeviceTestSupport.h"

#include <cmath>

TEST_F(DeviceTest, OpaqueTextureLandsTexelForTexel)
{
    Texture* t = MakeTexture(32, 32, 0xFFFF0000u);
    SetTexel(t, 3, 5, 0xFF00FF00u);
    ASSERT_EQ(Quad(10, 10, 32, 32, 0xFFFFFFFFu, t), DD_OK);
    auto px = Read();
    EXPECT_EQ(px[10 * 64 + 10], 0xFFFF0000u);
    EXPECT_EQ(px[15 * 64 + 13], 0xFF00FF00u);  // texel (3, 5) at (10+3, 10+5)
    EXPECT_EQ(px[15 * 64 + 12], 0xFFFF0000u);
    EXPECT_EQ(Red(px[9 * 64 + 10]), 0);  // just above the quad
    EXPECT_EQ(Red(px[41 * 64 + 41]), 255);
    EXPECT_EQ(Red(px[42 * 64 + 42]), 0);
}

TEST_F(DeviceTest, HalfAlphaOverBlackGivesHalfBrightness)
{
    Texture* t = MakeTexture(16, 16, 0xFFFFFFFFu);
    ASSERT_EQ(Quad(0, 0, 16, 16, 0x80FFFFFFu, t), DD_OK);
    uint32_t p = Pixel(8, 8);
    EXPECT_NEAR(Red(p), 128, 1);
    EXPECT_NEAR(Green(p), 128, 1);
    // Texture alpha fades the same way.
    Texture* half = MakeTexture(16, 16, 0x80FFFFFFu);
    ASSERT_EQ(Quad(20, 0, 16, 16, 0xFFFFFFFFu, half), DD_OK);
    EXPECT_NEAR(Red(Pixel(28, 8)), 128, 1);
}

TEST_F(DeviceTest, AdditiveDestinationOneAddsOntoTheTarget)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF646464u, 1.0f, 0);  // grey 100
    Texture* t = MakeTexture(16, 16, 0xFFFFFFFFu);
    uint32_t saved = 0;
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_DESTBLEND, &saved), DD_OK);
    EXPECT_EQ(saved, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    ASSERT_EQ(Quad(0, 0, 16, 16, 0x80FFFFFFu, t), DD_OK);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, saved);
    EXPECT_NEAR(Red(Pixel(8, 8)), 228, 1);
    // Back to normal blending: the same quad mixes instead of adding.
    ASSERT_EQ(Quad(20, 0, 16, 16, 0x80FFFFFFu, t), DD_OK);
    EXPECT_NEAR(Red(Pixel(28, 8)), 178, 1);
}

TEST_F(DeviceTest, VertexColourModulatesTexture)
{
    Texture* t = MakeTexture(16, 16, 0xFFFFFF80u);
    ASSERT_EQ(Quad(0, 0, 16, 16, 0xFF80FF40u, t), DD_OK);
    uint32_t p = Pixel(4, 4);
    EXPECT_NEAR(Red(p), 128, 1);
    EXPECT_NEAR(Green(p), 255, 1);
    EXPECT_NEAR(Blue(p), 32, 1);  // 0x80 * 0x40 / 255
}

TEST_F(DeviceTest, SelectVertexColourDrawsFlatSilhouetteWithTextureAlpha)
{
    Texture* t = MakeTexture(16, 16, 0x00000000u);
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            SetTexel(t, x, y, x < 4 ? 0xFF102030u : 0x80405060u);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    ASSERT_EQ(Quad(0, 0, 16, 16, 0xFFFFB600u, t), DD_OK);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    EXPECT_EQ(Pixel(1, 1), 0xFFFFB600u);           // opaque texels: the flat colour
    uint32_t half = Pixel(5, 1);                    // half-transparent texels: half of it
    EXPECT_NEAR(Red(half), 128, 1);
    EXPECT_NEAR(Green(half), 91, 1);
    EXPECT_EQ(Red(Pixel(12, 1)), 0);                // clear texels stay clear
    // Modulation again draws the texture's own colour.
    ASSERT_EQ(Quad(20, 0, 16, 16, 0xFFFFFFFFu, t), DD_OK);
    EXPECT_EQ(Pixel(21, 1), 0xFF102030u);
}

TEST_F(DeviceTest, SilhouetteFollowsTextureChanges)
{
    Texture* t = MakeTexture(8, 8, 0xFF000000u);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    ASSERT_EQ(Quad(0, 0, 8, 8, 0xFF00FF00u, t), DD_OK);
    EXPECT_EQ(Pixel(2, 2), 0xFF00FF00u);
    SetTexel(t, 2, 2, 0x00000000u);  // punch a hole
    ASSERT_EQ(Quad(10, 0, 8, 8, 0xFF00FF00u, t), DD_OK);
    EXPECT_EQ(Pixel(12, 2), 0xFF000000u);
    EXPECT_EQ(Pixel(13, 2), 0xFF00FF00u);
}

TEST_F(DeviceTest, CroppedTextureCoordinatesShowOnlyThatPart)
{
    // 128 x 16 texture: left 100 columns red, the rest blue.
    Texture* t = MakeTexture(128, 16, 0xFF0000FFu);
    LockedRect rect;
    ASSERT_EQ(t->Lock(&rect), DD_OK);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 100; ++x)
            static_cast<uint32_t*>(rect.bits)[y * (rect.pitch / 4) + x] = 0xFFFF0000u;
    t->Unlock();
    // 25 x 10 quad over u 0..25/128: only red, no stretching.
    ASSERT_EQ(Quad(0, 0, 25, 10, 0xFFFFFFFFu, t, 0, 0, 25.0f / 128, 10.0f / 16), DD_OK);
    auto px = Read();
    for (int x = 0; x < 25; ++x)
        EXPECT_EQ(px[5 * 64 + x], 0xFFFF0000u) << x;
    EXPECT_EQ(Red(px[5 * 64 + 25]), 0);
    // u 96/128..104/128 straddles the edge: 4 red then 4 blue texels.
    ASSERT_EQ(Quad(0, 20, 8, 4, 0xFFFFFFFFu, t, 96.0f / 128, 0, 104.0f / 128, 4.0f / 16), DD_OK);
    px = Read();
    EXPECT_EQ(px[21 * 64 + 3], 0xFFFF0000u);
    EXPECT_EQ(px[21 * 64 + 4], 0xFF0000FFu);
}

TEST_F(DeviceTest, PointAndLinearSamplingOfMagnifiedTexture)
{
    Texture* t = MakeTexture(2, 1, 0xFF000000u);
    SetTexel(t, 1, 0, 0xFFFFFFFFu);
    ASSERT_EQ(Quad(0, 0, 64, 8, 0xFFFFFFFFu, t), DD_OK);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    ASSERT_EQ(Quad(0, 16, 64, 8, 0xFFFFFFFFu, t), DD_OK);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    auto px = Read();
    // Point: a hard edge in the middle.
    EXPECT_EQ(Red(px[4 * 64 + 31]), 0);
    EXPECT_EQ(Red(px[4 * 64 + 32]), 255);
    // Linear: a ramp between the two texel centres.
    int mid = Red(px[20 * 64 + 31]);
    EXPECT_GT(mid, 60);
    EXPECT_LT(mid, 200);
    EXPECT_LT(Red(px[20 * 64 + 20]), Red(px[20 * 64 + 40]));
    // The earlier point draw was not changed by the later filter switch.
    EXPECT_EQ(Red(px[4 * 64 + 31]), 0);
}

TEST_F(DeviceTest, UntexturedFillCoversExactlyItsRectangle)
{
    ASSERT_EQ(Quad(4, 6, 10, 3, 0xFF00FF00u, nullptr), DD_OK);
    auto px = Read();
    EXPECT_EQ(px[6 * 64 + 4], 0xFF00FF00u);
    EXPECT_EQ(px[8 * 64 + 13], 0xFF00FF00u);
    EXPECT_EQ(px[9 * 64 + 13], 0xFF000000u);
    EXPECT_EQ(px[8 * 64 + 14], 0xFF000000u);
    EXPECT_EQ(px[5 * 64 + 4], 0xFF000000u);
}

TEST_F(DeviceTest, RotatedQuadGoesThroughTriangles)
{
    // A square turned 45 degrees about its top-left corner at (32, 8).
    const float s = std::sin(0.785398f), c = std::cos(0.785398f), w = 20;
    TLVertex q[4] = {
        {32, 8, 0.9999f, 1, 0xFFFF0000u, 0xFF000000u, 0, 0},
        {32 + w * c, 8 + w * s, 0.9999f, 1, 0xFFFF0000u, 0xFF000000u, 1, 0},
        {32 - w * s, 8 + w * c, 0.9999f, 1, 0xFFFF0000u, 0xFF000000u, 0, 1},
        {32 + w * c - w * s, 8 + w * s + w * c, 0.9999f, 1, 0xFFFF0000u, 0xFF000000u, 1, 1},
    };
    device->SetTexture(0, nullptr);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0), DD_OK);
    auto px = Read();
    EXPECT_EQ(Red(px[22 * 64 + 32]), 255);  // the centre of the diamond
    EXPECT_EQ(Red(px[10 * 64 + 40]), 0);    // outside, right of the top corner
    EXPECT_EQ(Red(px[10 * 64 + 24]), 0);
}

TEST_F(DeviceTest, InvertedSourceAlphaBlendsTheOtherWay)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFC8C8C8u, 1.0f, 0);  // grey 200
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_SRCALPHA);
    ASSERT_EQ(Quad(0, 0, 8, 8, 0x40000000u, nullptr), DD_OK);  // black at alpha 64
    // 0 * (1 - 64/255) + 200 * 64/255
    EXPECT_NEAR(Red(Pixel(2, 2)), 50, 1);
}

TEST_F(DeviceTest, DrawingNeedsAScene)
{
    device->EndScene();
    EXPECT_LT(Quad(0, 0, 8, 8, 0xFFFFFFFFu, nullptr), 0);
    EXPECT_LT(device->EndScene(), 0);
    ASSERT_EQ(device->BeginScene(), DD_OK);
    EXPECT_LT(device->BeginScene(), 0);
    TLVertex one[3] = {};
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW, one, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, one, 2, 0), DDERR_INVALIDPARAMS);
}

class FullFrameTest : public DeviceTest {
protected:
    uint32_t Width() const override { return 800; }
    uint32_t Height() const override { return 600; }
};

TEST_F(FullFrameTest, FadeAtFullAlphaIsBlackAndAtZeroChangesNothing)
{
    Texture* t = MakeTexture(64, 64, 0xFF3080F0u);
    Quad(100, 100, 64, 64, 0xFFFFFFFFu, t);
    Quad(0, 0, 800, 600, 0x00000000u, nullptr);  // fade 0
    auto px = Read();
    EXPECT_EQ(px[120 * 800 + 120], 0xFF3080F0u);
    Quad(0, 0, 800, 600, 0xFF000000u, nullptr);  // fade 255
    px = Read();
    for (uint32_t p : px)
        ASSERT_EQ(p & 0xFFFFFFu, 0u);
}

TEST_F(FullFrameTest, ScreenshotOfATestFrameIsWritten)
{
    Texture* t = MakeTexture(32, 32, 0xFFE0C040u);
    for (int i = 0; i < 32; ++i)
        SetTexel(t, i, i, 0xFF203080u);
    for (int i = 0; i < 12; ++i)
        Quad(40.0f + i * 60, 40.0f + i * 30, 32, 32, 0xFFFFFFFFu, t);
    Quad(100, 400, 600, 100, 0xC0208040u, nullptr);
    const char* path = "platform_test_frame.png";
    ASSERT_TRUE(device->SaveBackBufferPng(path));
    FILE* f = std::fopen(path, "rb");
    ASSERT_NE(f, nullptr);
    unsigned char sig[8] = {};
    ASSERT_EQ(std::fread(sig, 1, 8, f), 8u);
    std::fclose(f);
    EXPECT_EQ(sig[1], 'P');
    EXPECT_EQ(sig[2], 'N');
    EXPECT_EQ(sig[3], 'G');
    std::remove(path);
}
