#include "DeviceTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The blend the game is drawn for: src x a + dst x (1 - a), rounded.
int Exact(int src, int dst, int alpha)
{
    return static_cast<int>(std::lround((src * alpha + dst * (255 - alpha)) / 255.0));
}

// Draws a 256 x 1 ramp (texel i has alpha i) in the ways the sprite code does.
class BlendTest : public DeviceTest {
protected:
    uint32_t Width() const override { return 256; }
    uint32_t Height() const override { return 8; }

    Texture* Ramp(uint32_t rgb)
    {
        Texture* t = MakeTexture(256, 1, 0);
        LockedRect rect;
        EXPECT_EQ(t->Lock(&rect), DD_OK);
        for (uint32_t a = 0; a < 256; ++a)
            static_cast<uint32_t*>(rect.bits)[a] = (a << 24) | rgb;
        t->Unlock();
        return t;
    }

    // Largest distance of a row's red channel from the exact blend.
    static int WorstError(const std::vector<uint32_t>& px, int row, int src, int dst)
    {
        int worst = 0;
        for (int a = 0; a < 256; ++a)
            worst = std::max(worst, std::abs(Red(px[size_t(row) * 256 + a]) - Exact(src, dst, a)));
        return worst;
    }
};

}  // namespace

TEST_F(BlendTest, WhiteTexelAtHalfAlphaOverWhiteStaysWhite)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFFu, 1.0f, 0);
    Texture* t = MakeTexture(4, 4, 0x80FFFFFFu);
    ASSERT_EQ(Quad(10, 2, 4, 4, 0xFFFFFFFFu, t), DD_OK);
    EXPECT_EQ(Pixel(11, 3) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(BlendTest, UnscaledScaledAndClippedDrawsBlendAlike)
{
    for (uint32_t bg : {0xFFFFFFFFu, 0xFF000000u, 0xFF808080u}) {
        for (uint32_t fg : {0xFFFFFFu, 0x000000u, 0x404040u}) {
            SCOPED_TRACE(testing::Message() << std::hex << "background " << bg << ", texel " << fg);
            device->Clear(0, nullptr, D3DCLEAR_TARGET, bg, 1.0f, 0);
            Texture* t = Ramp(fg);
            ASSERT_EQ(Quad(0, 0, 256, 1, 0xFFFFFFFFu, t), DD_OK);  // texel for texel
            ASSERT_EQ(Quad(0, 2, 256, 2, 0xFFFFFFFFu, t), DD_OK);  // stretched
            ASSERT_EQ(Quad(0, 6, 256, 4, 0xFFFFFFFFu, t), DD_OK);  // stretched past the bottom edge
            const auto px = Read();
            const int src = fg & 0xFF, dst = bg & 0xFF;
            EXPECT_LE(WorstError(px, 0, src, dst), 1) << "unscaled";
            EXPECT_LE(WorstError(px, 3, src, dst), 1) << "scaled";
            EXPECT_LE(WorstError(px, 7, src, dst), 1) << "scaled and clipped";
        }
    }
}
