// Bitmap-font text: markup, measuring, several lines, numbers.
#include "support/gfx/GfxTestSupport.h"
#include "gfx/GMImage.h"

#include <cmath>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// Glyphs: A 10, B 12, C 8, D 9, % 7, space 5, the last (code 127) 3, the rest 6
// wide; 20 high over the baseline.
class TextLayoutTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        WriteBlockFont("Font", {{'A', 10}, {'B', 12}, {'C', 8}, {'D', 9}, {'%', 7}, {' ', 5}, {'\x7f', 3}});
        ASSERT_EQ(m_font.LoadTemplate("Font.img", m_manager.get(), m_device), 0);
    }

    struct Measure {
        float width = -1, height = -1, lineHeight = -1, scale = -1;
        const char* next = reinterpret_cast<const char*>(1);
    };
    Measure Layout(const char* text, float scale = 1.0f, bool stopAtBreak = false, DisplayDevice* device = nullptr,
                   float x = 0.0f, float y = 0.0f, uint32_t color = kWhite)
    {
        Measure m;
        m_font.DrawText(x, y, 0.0f, scale, color, text, device, &m.width, &m.height, &m.lineHeight,
                        stopAtBreak ? &m.next : nullptr, &m.scale);
        return m;
    }
    // True when the column x is lit somewhere between rows y0 and y1 (exclusive).
    bool Lit(int x, int y0, int y1) const
    {
        for (int y = y0; y < y1; ++y)
            if (Pixel(x, y) != kBlack)
                return true;
        return false;
    }

    GMImage m_font;
};

}  // namespace

TEST_F(TextLayoutTest, FontTemplateTakesItsSizesFromThePerFrameFile)
{
    EXPECT_EQ(m_font.GetFrameCount(), 96);
    EXPECT_EQ(m_font.GetTemplateHeight(), 20.0f);
    m_font.SetFrame('A' - 32);
    EXPECT_EQ(m_font.GetImageWidth(), 10.0f);
    EXPECT_EQ(m_font.GetImageHeight(), 20.0f);
}

TEST_F(TextLayoutTest, TwoPercentSignsDrawOnePercentSign)
{
    Measure m = Layout("A%%B");
    EXPECT_EQ(m.width, 10.0f + 7.0f + 12.0f);
    EXPECT_EQ(m.height, 20.0f);
    EXPECT_EQ(m.lineHeight, 20.0f);
    EXPECT_EQ(m.scale, 1.0f);

    BeginFrame();
    m_font.DrawText(100.0f, 200.0f, 0.0f, 1.0f, kWhite, "A%%B", m_device);
    EndFrame();
    // A at 100..109, % at 110..116, B at 117..128; rows 180..199 above the baseline.
    EXPECT_EQ(Pixel(100, 180), kWhite);
    EXPECT_EQ(Pixel(113, 199), kWhite);
    EXPECT_EQ(Pixel(128, 190), kWhite);
    EXPECT_EQ(Pixel(129, 190), kBlack);
    EXPECT_EQ(Pixel(100, 179), kBlack);
    EXPECT_EQ(Pixel(100, 200), kBlack);
}

TEST_F(TextLayoutTest, NegativeMoveGoesLeftByTheScale)
{
    // A (10) then back 20: B starts 10 left of the origin; at scale 2 everything doubles.
    EXPECT_EQ(Layout("A%-20xB").width, 2.0f);
    EXPECT_EQ(Layout("A%-20xB", 2.0f).width, 4.0f);
    BeginFrame();
    // A at 100..119, back 60 from 120: B at 60..83.
    m_font.DrawText(100.0f, 100.0f, 0.0f, 2.0f, kWhite, "A%-30xB", m_device);
    EndFrame();
    EXPECT_EQ(Pixel(60, 90), kWhite);
    EXPECT_EQ(Pixel(59, 90), kBlack);
    EXPECT_EQ(Pixel(83, 90), kWhite);
    EXPECT_EQ(Pixel(84, 90), kBlack);
    EXPECT_EQ(Pixel(99, 90), kBlack);
    EXPECT_EQ(Pixel(100, 90), kWhite);
    EXPECT_TRUE(Lit(70, 60, 100));  // scaled glyphs are 40 high
    EXPECT_FALSE(Lit(70, 0, 60));
}

TEST_F(TextLayoutTest, SizeCommandIsAPercentageOfTheBaseScale)
{
    Measure m = Layout("%75zA", 2.0f);
    EXPECT_EQ(m.scale, 1.5f);
    EXPECT_EQ(m.width, 15.0f);
    m = Layout("%75zA%100zB", 2.0f);
    EXPECT_EQ(m.scale, 2.0f);
    EXPECT_EQ(m.width, 15.0f + 24.0f);
    EXPECT_EQ(m.height, 40.0f);  // the bottom of the line at the final scale
    // Small capitals as the level messages write them.
    m = Layout("D%75zAILY%100z R%75zEPORT");
    EXPECT_EQ(m.scale, 0.75f);
}

TEST_F(TextLayoutTest, SizesFromMarkupAndCallersAreHeldToTheLimit)
{
    // A damaged story line asked for 2222 times the size.
    Measure m = Layout("%222222zA");
    EXPECT_EQ(m.scale, kMaxDrawScale);
    EXPECT_EQ(m.width, 10.0f * kMaxDrawScale);
    m = Layout("%-222222zA%-50zB", 2.0f);
    EXPECT_EQ(m.scale, -1.0f) << "a size within the limit is kept, sign and all";
    m = Layout("%99999999999zA");  // digits past 32 bits wrap as they always did
    EXPECT_LE(std::fabs(m.scale), kMaxDrawScale);
    m = Layout("A", 8944.0f);
    EXPECT_EQ(m.scale, kMaxDrawScale);
    EXPECT_EQ(m.height, 20.0f * kMaxDrawScale);
    m = Layout("A", std::nanf(""));
    EXPECT_EQ(m.scale, 1.0f);

    // Drawn, the limited glyph stays within its limited box.
    BeginFrame();
    m_font.DrawText(0.0f, 400.0f, 0.0f, 1.0f, kWhite, "%222222zA", m_device);
    EndFrame();
    EXPECT_TRUE(Lit(150, 100, 400));
    EXPECT_FALSE(Lit(170, 0, 600)) << "10 pixels at scale 16 end at x 160";
}

TEST_F(TextLayoutTest, ColourCommandsSetAndRestoreTheColour)
{
    BeginFrame();
    // Red with alpha 0: A is invisible; %R brings back the white given.
    m_font.DrawText(100.0f, 100.0f, 0.0f, 1.0f, kWhite, "%16711680CA%RB", m_device);
    // AND with 0xFF0000FF leaves blue.
    m_font.DrawText(100.0f, 200.0f, 0.0f, 1.0f, kWhite, "%4278190335cC", m_device);
    EndFrame();
    EXPECT_EQ(Pixel(105, 90), kBlack);
    EXPECT_EQ(Pixel(115, 90), kWhite);
    EXPECT_EQ(Pixel(104, 190), 0xFF0000FFu);
}

TEST_F(TextLayoutTest, APercentSignAtTheEndEndsTheText)
{
    EXPECT_EQ(Layout("AB%").width, 22.0f);
    EXPECT_EQ(Layout("AB%-12").width, 22.0f);
    EXPECT_EQ(Layout("AB%q").width, 22.0f);  // an unknown command is consumed
    EXPECT_EQ(Layout("").width, 0.0f);
    EXPECT_EQ(Layout(nullptr).height, 20.0f);
}

TEST_F(TextLayoutTest, NextLineStopsAtTheFirstBreak)
{
    const char* text = "AB\nCD";
    Measure m = Layout(text, 1.0f, true);
    EXPECT_EQ(m.next, text + 3);
    EXPECT_STREQ(m.next, "CD");
    EXPECT_EQ(m.width, 22.0f);
    EXPECT_EQ(m.height, 20.0f);
    m = Layout("ABCD", 1.0f, true);
    EXPECT_EQ(m.next, nullptr);

    // Without it the break moves the pen down a line height plus one.
    m = Layout("A\r\nB");
    EXPECT_EQ(m.width, 12.0f);
    EXPECT_EQ(m.height, 41.0f);
}

TEST_F(TextLayoutTest, MeasuringWithoutDeviceMatchesDrawingAtTheOrigin)
{
    const char* texts[] = {"A%%B", "AB\nCDC%50x%-3yD", "%20X%10YAB\nC", "%30iA%5jB", "%40IA%60JB\nC", "%150zAB%R"};
    for (const char* text : texts) {
        Measure measured = Layout(text, 1.5f);
        BeginFrame();
        Measure drawn = Layout(text, 1.5f, false, m_device, 0.0f, 0.0f, kWhite);
        EndFrame();
        EXPECT_EQ(measured.width, drawn.width) << text;
        EXPECT_EQ(measured.height, drawn.height) << text;
        EXPECT_EQ(measured.lineHeight, drawn.lineHeight) << text;
        EXPECT_EQ(measured.scale, drawn.scale) << text;
    }
    // Measuring ignores the position given.
    Measure far = Layout("AB\nC", 1.0f, false, nullptr, 300.0f, 200.0f);
    EXPECT_EQ(far.width, 22.0f);
    EXPECT_EQ(far.height, 41.0f);
}

TEST_F(TextLayoutTest, PositionCommands)
{
    // X moves the margin: the next line starts there too.
    Measure m = Layout("%20XA\nB");
    EXPECT_EQ(m.width, 12.0f);
    // I and i are absolute, scaled.
    BeginFrame();
    m_font.DrawText(300.0f, 100.0f, 0.0f, 1.0f, kWhite, "%50iA", m_device);
    m_font.DrawText(300.0f, 300.0f, 0.0f, 1.0f, kWhite, "%25JA", m_device);
    m_font.DrawText(300.0f, 400.0f, 0.0f, 1.0f, kWhite, "A%5yB", m_device);
    EndFrame();
    EXPECT_EQ(Pixel(50, 85), kWhite);
    EXPECT_EQ(Pixel(49, 85), kBlack);
    EXPECT_EQ(Pixel(305, 5), kWhite);  // baseline at y 25
    EXPECT_EQ(Pixel(305, 25), kBlack);
    EXPECT_EQ(Pixel(312, 404), kWhite);  // B five lower
    EXPECT_EQ(Pixel(305, 404), kBlack);
}

TEST_F(TextLayoutTest, CharactersOutsideTheFontAreClamped)
{
    // Code 200 takes the last frame, code 7 the space.
    Measure m = Layout("\xC8\x07");
    EXPECT_EQ(m.width, 3.0f + 5.0f);
}

TEST_F(TextLayoutTest, DrawTextLinesCentresTheBlockOnThePoint)
{
    BeginFrame();
    m_font.DrawTextLines(400.0f, 300.0f, 0.0f, 1.0f, kWhite, "AAA\nBB\nC", m_device, 5.0f);
    EndFrame();
    // First baseline 300 - (2 x 5 + 60) / 2 + 20 = 285: rows 265..284.
    EXPECT_EQ(Pixel(400, 265), kWhite);
    EXPECT_EQ(Pixel(400, 264), kBlack);
    EXPECT_EQ(Pixel(400, 284), kWhite);
    // Each line centred: AAA spans 385..414, BB 388..411, C 396..403.
    EXPECT_EQ(Pixel(385, 270), kWhite);
    EXPECT_EQ(Pixel(384, 270), kBlack);
    EXPECT_EQ(Pixel(414, 270), kWhite);
    EXPECT_EQ(Pixel(415, 270), kBlack);
    // Second baseline 310, third 335.
    EXPECT_EQ(Pixel(388, 290), kWhite);
    EXPECT_EQ(Pixel(388, 289), kBlack);
    EXPECT_EQ(Pixel(387, 300), kBlack);
    EXPECT_EQ(Pixel(396, 315), kWhite);
    EXPECT_EQ(Pixel(396, 334), kWhite);
    EXPECT_EQ(Pixel(396, 335), kBlack);
    EXPECT_EQ(Pixel(395, 320), kBlack);
}

TEST_F(TextLayoutTest, DrawTextLinesHasNoLimitOfTwentyLines)
{
    std::string text;
    for (int i = 0; i < 25; ++i)
        text += i ? "\nA" : "A";
    BeginFrame();
    m_font.DrawTextLines(400.0f, 300.0f, 0.0f, 0.5f, kWhite, text.c_str(), m_device, 2.0f);
    EndFrame();
    // 25 lines of 10 with gaps of 2: 298 high, centred from 151 to 449.
    EXPECT_TRUE(Lit(400, 151, 161));
    EXPECT_FALSE(Lit(400, 140, 151));
    EXPECT_TRUE(Lit(400, 439, 449));
    EXPECT_FALSE(Lit(400, 449, 460));
}

TEST_F(TextLayoutTest, RotatedTextRunsAlongTheAngle)
{
    Measure m;
    m_font.DrawText(0.0f, 0.0f, float(M_PI / 2), 1.0f, kWhite, "AB", nullptr, &m.width, &m.height);
    EXPECT_NEAR(m.width, 0.0f, 1e-3);
    EXPECT_NEAR(m.height, 22.0f + 20.0f, 1e-3);
    BeginFrame();
    m_font.DrawText(400.0f, 100.0f, float(M_PI / 2), 1.0f, kWhite, "AB", m_device);
    EndFrame();
    // Turned a quarter clockwise the glyphs lie between x 400 and 420 and run down.
    EXPECT_TRUE(Lit(410, 100, 122));
    EXPECT_FALSE(Lit(410, 0, 99));
}

TEST_F(TextLayoutTest, DrawNumberUsesTheDigitFrames)
{
    WriteDigitFont("Digits");
    GMImage digits;
    ASSERT_EQ(digits.LoadTemplate("Digits.img", m_manager.get(), m_device), 0);
    float w = -1, h = -1;
    digits.DrawNumber(10.0f, 50.0f, kWhite, "12", nullptr, &w, &h);
    EXPECT_EQ(w, 11.0f + 12.0f);
    EXPECT_EQ(h, 66.0f);
    digits.DrawNumber(0.0f, 0.0f, kWhite, "-$x:", nullptr, &w, &h);
    EXPECT_EQ(w, 20.0f + 21.0f + 22.0f + 23.0f);
    digits.DrawNumber(0.0f, 0.0f, kWhite, "", nullptr, &w, &h);
    EXPECT_EQ(w, 0.0f);
    EXPECT_EQ(h, 0.0f);
    BeginFrame();
    digits.DrawNumber(100.0f, 100.0f, 0xFFFF0000u, "07", m_device, &w, &h);
    EndFrame();
    EXPECT_EQ(w, 10.0f + 17.0f);
    EXPECT_EQ(Pixel(100, 84), 0xFFFF0000u);
    EXPECT_EQ(Pixel(126, 99), 0xFFFF0000u);
    EXPECT_EQ(Pixel(127, 99), kBlack);
    EXPECT_EQ(Pixel(100, 83), kBlack);
}

TEST_F(TextLayoutTest, OnePrimitivePerCharacterAndNoneForMarkup)
{
    BeginFrame();
    DisplayDevice::CallCounts before = m_device->GetCallCounts();
    m_font.DrawText(10.0f, 100.0f, 0.0f, 1.0f, kWhite, "AB%%%75zC%Rx\r\nD%-5x", m_device);
    DisplayDevice::CallCounts after = m_device->GetCallCounts();
    EndFrame();
    // A, B, %, C, x, D: six characters, one quad each.
    EXPECT_EQ(after.drawPrimitive - before.drawPrimitive, 6u);
    EXPECT_EQ(after.setTexture - before.setTexture, 6u);
}
