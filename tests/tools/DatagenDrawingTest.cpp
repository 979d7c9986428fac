// Drawing, formatting and synthesis details the data set relies on.
#ifdef BRIMVALE_DATAGEN_DATA_DIR

#include "datagen/Canvas.h"
#include "datagen/DataDir.h"
#include "datagen/Preview.h"
#include "datagen/Style.h"
#include "datagen/Synth.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DatagenDrawing, CanvasPixelsComeOutStraightNotPremultiplied)
{
    Canvas c(4, 4);
    c.FillRect(0, 0, 2, 4, {0xFF8000, 0.5});
    auto px = c.Rgba();
    EXPECT_NEAR(px[0], 255, 1);
    EXPECT_NEAR(px[1], 128, 2);
    EXPECT_EQ(px[2], 0);
    EXPECT_NEAR(px[3], 128, 1);
    EXPECT_EQ(px[(0 * 4 + 3) * 4 + 3], 0) << "untouched pixels stay transparent";
}

TEST(DatagenDrawing, ButtonLabelsShrinkToFitAndHoverChangesTheBody)
{
    Canvas idle(128, 32), hover(128, 32);
    DrawButton(idle, "A label far too long for a small button", false);
    DrawButton(hover, "A label far too long for a small button", true);
    auto a = idle.Rgba(), b = hover.Rgba();
    // The label shrank to stay off the pill's rounded ends: near the ends the
    // body is plain cream, while the middle has dark letters.
    auto dark = [&](int x, int y) {
        const uint8_t* p = &a[(static_cast<size_t>(y) * 128 + x) * 4];
        return p[3] > 200 && p[0] < 120;
    };
    int endInk = 0, middleInk = 0;
    for (int y = 9; y < 22; ++y) {
        for (int x = 6; x < 12; ++x)
            endInk += dark(x, y) + dark(127 - x, y);
        for (int x = 40; x < 88; ++x)
            middleInk += dark(x, y);
    }
    EXPECT_EQ(endInk, 0);
    EXPECT_GT(middleInk, 20);
    // The body colour differs in the middle of the button's lower half.
    size_t mid = (22 * 128 + 8) * 4;
    EXPECT_GT(std::abs(a[mid + 2] - b[mid + 2]), 60);
}

TEST(DatagenDrawing, TemplateTextWritesOnlyWhatIsSetWithoutOctalTraps)
{
    TemplateSpec spec;
    spec.frames = {"a.png"};
    EXPECT_EQ(FormatTemplate(spec), "\"FR\" 1 \"a.png\"\n");
    spec.imx = 8;
    spec.imy = -0.5;
    spec.fps = 0.25;
    std::string text = FormatTemplate(spec);
    EXPECT_NE(text.find("\"IMX\" 8\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"IMY\" -0.5000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"SP\" 0.2500\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("IMW"), std::string::npos);
    FrameSizes f;
    f.frame = 9;
    f.imh = 10;
    EXPECT_EQ(FormatFrameSizes({f}), "\"IMH\" 9 10\n");
}

TEST(DatagenDrawing, DataDirReportsTheFirstFailure)
{
    DataDir dir("/proc/no-such-root", "/proc");
    Canvas c(2, 2);
    EXPECT_FALSE(dir.WriteText("a\\b.txt", "x"));
    EXPECT_FALSE(dir.WritePicture("c.png", c));
    EXPECT_TRUE(dir.Failed());
    EXPECT_NE(dir.Error().find("a\\b.txt"), std::string::npos) << dir.Error();
}

TEST(DatagenDrawing, SynthesisBasics)
{
    EXPECT_NEAR(NoteHz(69), 440.0, 1e-9);
    EXPECT_NEAR(NoteHz(81), 880.0, 1e-9);
    Signal s(0.1, 8000, false);
    s.Note(0, 0.05, 1000, 1000, 0.3, Wave::Square, Env{});
    s.Normalize(0.5);
    float peak = 0;
    for (size_t i = 0; i < s.Size(); ++i)
        peak = std::max(peak, std::fabs(s.Data()[i]));
    EXPECT_NEAR(peak, 0.5f, 1e-5);
    Signal flat(0.1, 1000, false);
    for (long i = 0; i < 100; ++i)
        flat.Add(i, 1.0f);
    flat.FadeEnds(0.01, 0.02);
    EXPECT_EQ(flat.Data()[0], 0.0f);
    EXPECT_NEAR(flat.Data()[5], 0.5f, 1e-6);
    EXPECT_EQ(flat.Data()[50], 1.0f);
    EXPECT_EQ(flat.Data()[99], 0.0f);

    // Filtering a loop keeps it a loop: no step where the end meets the start.
    Signal loop(0.5, 8000, true);
    loop.Noise(0, 0.5, 0.5, 2000, 0, Env{0, 0, 1, 0}, 5);
    loop.Lowpass(300);
    double largest = 0;
    for (size_t i = 1; i < loop.Size(); ++i)
        largest = std::max(largest, static_cast<double>(std::fabs(loop.Data()[i] - loop.Data()[i - 1])));
    EXPECT_LE(std::fabs(loop.Data()[0] - loop.Data()[loop.Size() - 1]), largest * 1.05);
}

TEST(DatagenDrawing, PreviewTextFollowsTheFontMarkup)
{
    Preview p(BRIMVALE_DATAGEN_DATA_DIR);
    double plain = p.TextWidth("FontStd.img", 1, "ABC");
    ASSERT_GT(plain, 20);
    EXPECT_NEAR(p.TextWidth("FontStd.img", 2, "ABC"), plain * 2, 0.01);
    EXPECT_NEAR(p.TextWidth("FontStd.img", 1, "%50zABC"), plain / 2, 0.01);
    EXPECT_NEAR(p.TextWidth("FontStd.img", 1, "A%-1000CB%RC"), plain, 0.01) << "colour commands take no room";
    EXPECT_NEAR(p.TextWidth("FontStd.img", 1, "%%"), p.TextWidth("FontStd.img", 1, "%"), 0.01);
    p.Clear(0x000000);
    p.Text("FontStd.img", 10, 40, 1, 0xFFFF0000u, "H");
    auto px = p.Screen().Rgba();
    int red = 0;
    for (size_t i = 0; i < px.size(); i += 4)
        red += px[i] > 200 && px[i + 1] < 40;
    EXPECT_GT(red, 10) << "white glyphs take the tint";
}

#endif
