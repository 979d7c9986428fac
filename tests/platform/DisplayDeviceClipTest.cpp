#include "DeviceTestSupport.h"

#include <cmath>
#include <limits>

namespace {

constexpr uint32_t kTopLeft = 0xFFFF0000u, kTopRight = 0xFF00FF00u, kBottomLeft = 0xFF0000FFu,
                   kBottomRight = 0xFFFFFF00u;

// Draws far larger than the screen (a scale read from a damaged file) show
// what falls on the screen, without SDL stretching them whole first.
class ClipTest : public DeviceTest {
protected:
    // 2 x 2 texels of four colours.
    Texture* Quarters()
    {
        Texture* t = MakeTexture(2, 2, 0);
        SetTexel(t, 0, 0, kTopLeft);
        SetTexel(t, 1, 0, kTopRight);
        SetTexel(t, 0, 1, kBottomLeft);
        SetTexel(t, 1, 1, kBottomRight);
        return t;
    }
    // A strip with its corners given, for turned and mirrored quads.
    DisplayResult Corners(const float xy[8], Texture* tex, uint32_t colour = 0xFFFFFFFFu)
    {
        TLVertex q[4];
        const float uv[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        for (int i = 0; i < 4; ++i)
            q[i] = {xy[2 * i], xy[2 * i + 1], 0.9999f, 1, colour, 0xFF000000u, uv[2 * i], uv[2 * i + 1]};
        device->SetTexture(0, tex);
        return device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0);
    }
};

}  // namespace

TEST_F(ClipTest, HugeStretchedCopyShowsTheTexelsOnScreen)
{
    // Texel edges fall at x = 32 and y = 24; each texel is 100032 pixels wide.
    ASSERT_EQ(Quad(-100000, -100008, 200064, 200064, 0xFFFFFFFFu, Quarters()), DD_OK);
    auto px = Read();
    EXPECT_EQ(px[0], kTopLeft);
    EXPECT_EQ(px[23 * 64 + 31], kTopLeft);
    EXPECT_EQ(px[23 * 64 + 32], kTopRight);
    EXPECT_EQ(px[24 * 64 + 31], kBottomLeft);
    EXPECT_EQ(px[63 * 64 + 63], kBottomRight);
}

TEST_F(ClipTest, HugeCopyWithOneTexelOverTheScreenAndAnotherBeyond)
{
    // Two texels of 10^6 pixels: the screen lies in the top-left one.
    ASSERT_EQ(Quad(-500000, -500000, 2000000, 2000000, 0xFFFFFFFFu, Quarters()), DD_OK);
    auto px = Read();
    EXPECT_EQ(px[0], kTopLeft);
    EXPECT_EQ(px[63 * 64 + 63], kTopLeft);
}

TEST_F(ClipTest, HugeMirroredAndTurnedQuadsStillCoverTheScreen)
{
    Texture* grey = MakeTexture(4, 4, 0xFF808080u);
    const float mirrored[8] = {1e5f, -1e5f, -1e5f, -1e5f, 1e5f, 1e5f, -1e5f, 1e5f};
    const float turned[8] = {-3e5f, -3e5f, 3e5f, -2.9e5f, -3.1e5f, 3e5f, 2.9e5f, 3.1e5f};
    for (const float* corners : {mirrored, turned}) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        ASSERT_EQ(Corners(corners, grey), DD_OK);
        auto px = Read();
        EXPECT_EQ(px[0], 0xFF808080u);
        EXPECT_EQ(px[32 * 64 + 32], 0xFF808080u);
        EXPECT_EQ(px[63 * 64 + 63], 0xFF808080u);
    }
}

TEST_F(ClipTest, HugeFillIsCutToTheScreen)
{
    ASSERT_EQ(Quad(-3e9f, -3e9f, 6e9f, 6e9f, 0xFF204060u, nullptr), DD_OK);
    auto px = Read();
    EXPECT_EQ(px[0], 0xFF204060u);
    EXPECT_EQ(px[63 * 64 + 63], 0xFF204060u);
}

TEST_F(ClipTest, DrawsOffTheScreenOrAtNoPlaceDrawNothing)
{
    Texture* white = MakeTexture(8, 8, 0xFFFFFFFFu);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    ASSERT_EQ(Quad(1e30f, 10, 8, 8, 0xFFFFFFFFu, white), DD_OK);
    ASSERT_EQ(Quad(-4e9f, 0, 8e8f, 64, 0xFFFFFFFFu, white), DD_OK);  // ends 3.2e9 left of the screen
    ASSERT_EQ(Quad(nan, 0, 64, 64, 0xFFFFFFFFu, white), DD_OK);
    ASSERT_EQ(Quad(0, 0, inf, 64, 0xFFFFFFFFu, nullptr), DD_OK);
    const float turned[8] = {70, 0, 200, 10, 66, 64, 196, 74};  // right of the screen
    ASSERT_EQ(Corners(turned, white), DD_OK);
    auto px = Read();
    for (size_t i = 0; i < px.size(); ++i)
        ASSERT_EQ(px[i], 0xFF000000u) << i;
}
