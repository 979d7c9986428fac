#include "core/TaggedFile.h"
#include "tools/RunTool.h"
#include "gfx/GMImage.h"
#include "support/gfx/CairoFont.h"
#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "ui/GMStoryLayout.h"
#include "ui/HelpPages.h"
#include "world/GMInteractiveObj.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

// Writes a layout file scrambled with its own name, as the game reads it.
void WriteScrambled(const std::string& name, const std::string& text)
{
    FILE* f = std::fopen(name.c_str(), "wb");
    FileKey key(name.c_str());
    WriteText(f, text.c_str(), &key);
    std::fclose(f);
}

// Scrambles a damaged file found by fuzzing under the given name.
void WriteScrambledFuzzInput(const std::string& input, const std::string& name)
{
    std::string bytes;
    FILE* in = std::fopen((std::string(BRIMVALE_FUZZ_DIR) + "/" + input).c_str(), "rb");
    ASSERT_NE(in, nullptr) << input;
    for (int c; (c = std::fgetc(in)) != EOF;)
        bytes.push_back(static_cast<char>(c));
    std::fclose(in);
    FILE* out = std::fopen(name.c_str(), "wb");
    FileKey key(name.c_str());
    WriteBytes(out, bytes.data(), static_cast<int>(bytes.size()), &key);
    std::fclose(out);
}

// Where the screenshots of this suite go: kept beside the build for people to look at.
std::string ShotPath(const std::string& name)
{
    std::string dir = BRIMVALE_SHOT_DIR;
    ::mkdir(dir.c_str(), 0755);
    return dir + "/" + name + ".png";
}

// Rows of the frame that hold a pixel of the given colour between x0 and x1.
int LitRows(const std::vector<uint32_t>& px, int x0, int x1, int y0, int y1, uint32_t colour)
{
    int rows = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (px[size_t(y) * 800 + size_t(x)] == colour) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

class LayoutTest : public DeviceTest {};

}  // namespace

TEST_F(LayoutTest, HelpPagesCountAndClampPages)
{
    WriteSolidTemplate("pic", 1, 32, 16, 0xFFFF0000);
    WriteScrambled("Help.txt", "remarks are skipped\n"
                               "\"TXT\" 20 40 2 1.5 \"third page\"\n"
                               "\"IMG\" 5 6 -1 1 \"pic.img\"\n"
                               "\"IMG\" 5 6 0 1 \"missing.img\"\n"
                               "\"XYZ\" 1 2 3\n"
                               "\"TXT\" 1 2 0 1 \"first #34page#34\"\n");
    HelpPages help;
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    EXPECT_GE(help.GetPageCount(), 3);
    ASSERT_EQ(help.Texts().size(), 2u);
    EXPECT_EQ(help.Texts()[0].page, 2);
    EXPECT_FLOAT_EQ(help.Texts()[0].scale, 1.5f);
    EXPECT_FLOAT_EQ(help.Texts()[0].x, 20.0f);
    EXPECT_EQ(help.Texts()[1].text, "first \"page\"");
    EXPECT_EQ(help.Pictures().size(), 1u) << "a picture that fails to load is dropped";
    EXPECT_EQ(help.SetPage(7), help.GetPageCount() - 1);
    EXPECT_EQ(help.SetPage(-3), 0);
    EXPECT_EQ(help.LoadFromFile("nothing.txt", m_manager.get(), m_device), 1);
    EXPECT_EQ(help.GetPageCount(), 0);

    WriteScrambled("every.txt", "\"TXT\" 1 2 -1 1 \"everywhere\"\n\"IMG\" 1 2 -1 1 \"pic.img\"\n");
    ASSERT_EQ(help.LoadFromFile("every.txt", m_manager.get(), m_device), 0);
    EXPECT_EQ(help.GetPageCount(), 0) << "entries on every page make no page";
    EXPECT_EQ(help.SetPage(1), 0);
}

TEST_F(LayoutTest, AnUnknownTagIsSkippedWithTheTokenAfterIt)
{
    // The quoted value after an unknown tag is not taken for a tag.
    WriteScrambled("Help.txt", "\"NOTE\" \"TXT\"\n\"TXT\" 1 2 0 1 \"shown\"\n"
                               "\"AUTHOR\" 7 \"TXT\" 3 4 1 1 \"second\"\n\"XYZ\"");
    HelpPages help;
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    ASSERT_EQ(help.Texts().size(), 2u);
    EXPECT_EQ(help.Texts()[0].text, "shown");
    EXPECT_FLOAT_EQ(help.Texts()[0].x, 1.0f);
    EXPECT_EQ(help.Texts()[1].text, "second");
    EXPECT_EQ(help.Texts()[1].page, 1);

    WriteSolidTemplate("btn", 1, 16, 16, 0xFF808080);
    WriteScrambled("s.sto", "\"NOTE\" \"BTN\"\n\"TXT\" \"line\"\n\"MUSIC\" \"TOX\"\n\"TOY\" 40\n"
                            "\"BTN\" \"btn.img\" \"btn.img\" 700 550\n");
    GMStoryLayout story;
    ASSERT_EQ(story.Load("s.sto", m_manager.get(), m_device), 0);
    ASSERT_EQ(story.GetLines().GetCount(), 1);
    EXPECT_STREQ(static_cast<const char*>(story.GetLines().GetAt(0)), "line");
    EXPECT_FLOAT_EQ(story.GetTextX(), 0.0f) << "the value of an unknown tag is not a tag";
    EXPECT_FLOAT_EQ(story.GetTextY(), 40.0f);
}

TEST_F(LayoutTest, HelpEntriesPastTheLastPageOrScaledBeyondTheLimit)
{
    WriteSolidTemplate("pic", 1, 16, 16, 0xFF00FF00);
    WriteScrambled("Help.txt", "\"TXT\" 1 2 999 1 \"last page\"\n"
                               "\"TXT\" 1 2 1000 1 \"past it\"\n"
                               "\"IMG\" 1 2 2147483647 1 \"pic.img\"\n"
                               "\"TXT\" 1 2 0 -40 \"huge mirrored\"\n"
                               "\"IMG\" 1 2 0 9999 \"pic.img\"\n");
    HelpPages help;
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    EXPECT_EQ(help.GetPageCount(), 1000);
    ASSERT_EQ(help.Texts().size(), 2u);
    EXPECT_EQ(help.Texts()[0].text, "last page");
    EXPECT_FLOAT_EQ(help.Texts()[1].scale, -kMaxDrawScale);
    ASSERT_EQ(help.Pictures().size(), 1u);
    EXPECT_FLOAT_EQ(help.Pictures()[0].scale, kMaxDrawScale);
    EXPECT_EQ(help.SetPage(help.GetPageCount() + 5), 999);
}

TEST_F(LayoutTest, DamagedHelpFilesFoundByFuzzing)
{
    WriteBlockFont("FontStd", {});
    GMImage font;
    ASSERT_EQ(font.LoadTemplate("FontStd.img", m_manager.get(), m_device), 0);

    // A text at scale 8944 (SDL was asked for 77 GB).
    WriteScrambledFuzzInput("help-1.bin", "Help.txt");
    HelpPages help;
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    ASSERT_EQ(help.Texts().size(), 1u);
    EXPECT_FLOAT_EQ(help.Texts()[0].scale, kMaxDrawScale);
    EXPECT_EQ(help.GetPageCount(), 3);
    help.SetFont(&font);
    for (int32_t page = 0; page < help.GetPageCount(); ++page) {
        help.SetPage(page);
        BeginFrame();
        help.Draw(0, 0, m_device);
        EndFrame();
    }
    // Its "8" stands on y 2 at x 9: 6 pixels wide at scale 16 is x 9..104.
    EXPECT_EQ(Pixel(9, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(104, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(106, 1), 0xFF000000u);

    // A page number of 4444444444: the entry is refused, no page counted.
    WriteScrambledFuzzInput("help-2.bin", "Help.txt");
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    EXPECT_TRUE(help.Texts().empty());
    EXPECT_EQ(help.GetPageCount(), 0);
    EXPECT_EQ(help.SetPage(help.GetPage() + 1), 0);
}

TEST_F(LayoutTest, DamagedStoryFoundByFuzzing)
{
    WriteBlockFont("FontStd", {});
    WriteBlockFont("panel", {});
    GMImage panel;
    ASSERT_EQ(panel.LoadTemplate("panel.img", m_manager.get(), m_device), 0);
    // One line "%222222zm" and no button; the line asks for 2222 times the size.
    WriteScrambledFuzzInput("story-1.bin", "story-1.bin");
    GMStoryLayout story;
    EXPECT_EQ(story.Load("story-1.bin", m_manager.get(), m_device), 2);
    ASSERT_EQ(story.GetLines().GetCount(), 1);
    const char* line = static_cast<const char*>(story.GetLines().GetAt(0));
    float height = 0.0f;
    panel.DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0xFF000000u, line, nullptr, nullptr, &height);
    EXPECT_FLOAT_EQ(height, 20.0f * kMaxDrawScale);
    BeginFrame(0xFFFFFFFFu);
    story.Draw(&panel, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(400, 300), 0xFFFFFFFFu) << "the line stands above the top edge";

    // The same line lower down is drawn at the limit, not across the screen.
    WriteScrambled("low.sto", std::string("\"TOY\" 400\n\"TXT\" \"") + line + "\"\n");
    EXPECT_EQ(story.Load("low.sto", m_manager.get(), m_device), 2);
    BeginFrame(0xFFFFFFFFu);
    story.Draw(&panel, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(50, 300), 0xFF000000u);
    EXPECT_EQ(Pixel(200, 300), 0xFFFFFFFFu) << "6 pixels at scale 16 end at x 96";
}

TEST_F(LayoutTest, HelpFileReadUnderAnotherNameIsGarbage)
{
    WriteScrambled("Help.txt", "\"TXT\" 1 2 0 1 \"hello\"\n");
    std::rename("Help.txt", "Other.txt");
    HelpPages help;
    EXPECT_EQ(help.LoadFromFile("Other.txt", m_manager.get(), m_device), 0);
    EXPECT_TRUE(help.Texts().empty());
}

TEST_F(LayoutTest, HelpDrawsTheCurrentPageAndScalesWithTheEntry)
{
    WriteSolidTemplate("sq", 1, 16, 16, 0xFF00FF00);
    WriteSolidTemplate("sq2", 1, 16, 16, 0xFF0000FF);
    WriteScrambled("Help.txt", "\"IMG\" 100 100 0 2 \"sq.img\"\n\"IMG\" 300 100 1 1 \"sq2.img\"\n"
                               "\"IMG\" 500 100 -1 1 \"sq2.img\"\n");
    HelpPages help;
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    BeginFrame();
    help.Draw(0, 0, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(131, 131), 0xFF00FF00u) << "scale 2 draws 32 x 32";
    EXPECT_EQ(Pixel(132, 132), 0xFF000000u);
    EXPECT_EQ(Pixel(300, 100), 0xFF000000u) << "page 1 is not shown on page 0";
    EXPECT_EQ(Pixel(500, 100), 0xFF0000FFu) << "page -1 shows on every page";
    help.SetPage(1);
    BeginFrame();
    help.Draw(10, 0, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(310, 100), 0xFF0000FFu);
    EXPECT_EQ(Pixel(515, 115), 0xFF0000FFu);
    EXPECT_EQ(Pixel(110, 100), 0xFF000000u);
}

TEST_F(LayoutTest, StoryLayoutResults)
{
    ::mkdir("Story", 0755);
    WriteSolidTemplate("Story/BtnI", 1, 64, 32, 0xFF808080, "\"IMW\" 64\n\"IMH\" 32\n");
    WriteSolidTemplate("Story/BtnH", 1, 64, 32, 0xFFC0C0C0, "\"IMW\" 64\n\"IMH\" 32\n");
    GMStoryLayout story;
    EXPECT_EQ(story.Load("nofile.sto", m_manager.get(), m_device), 1);

    WriteScrambled("nobutton.sto", "\"TXT\" \"Hello\"\n\"TOX\" 10\n");
    EXPECT_EQ(story.Load("nobutton.sto", m_manager.get(), m_device), 2) << "a story without a button is refused";

    WriteScrambled("badbutton.sto", "\"BTN\" \"Story\\BtnI.img\" \"Story\\\\Gone.img\" 400 500\n");
    EXPECT_EQ(story.Load("badbutton.sto", m_manager.get(), m_device), 2);
    EXPECT_EQ(story.GetButton(), nullptr);

    WriteScrambled("ok.sto", "\"BKI\" \"missing.img\"\n\"TXT\" \"one\"\n\"TXT\" \"@two\"\n\"TOX\" 30\n\"TOY\" 40\n"
                             "\"BTN\" \"Story\\BtnI.img\" \"Story\\BtnH.img\" 400 500\n\"TXT\" \"three\" \"TOX\"");
    EXPECT_EQ(story.Load("ok.sto", m_manager.get(), m_device), 0) << "an unfinished entry ends the file";
    EXPECT_EQ(story.GetBackground(), nullptr) << "a background that fails to load is dropped";
    EXPECT_EQ(story.GetLines().GetCount(), 3);
    EXPECT_FLOAT_EQ(story.GetTextX(), 30.0f);
    ASSERT_NE(story.GetButton(), nullptr);
    EXPECT_STREQ(story.GetButton()->GetImageName(0), "Story\\BtnH.img");
    EXPECT_FLOAT_EQ(story.GetButton()->GetX(), 400.0f);
}

TEST_F(LayoutTest, StoryLinesUseTheirFontAndTheirOwnHeight)
{
    WriteBlockFont("FontStd", {}, 10);  // standard font: 10 pixels high
    WriteBlockFont("panel", {}, 20);    // the level's panel font: 20 pixels high
    WriteSolidTemplate("btn", 1, 16, 16, 0xFF808080);
    WriteScrambled("s.sto", "\"TOX\" 100\n\"TOY\" 50\n\"TXT\" \"AAAA\"\n\"TXT\" \"@AAAA\"\n\"TXT\" \"A\"\n"
                            "\"BTN\" \"btn.img\" \"btn.img\" 700 550\n");
    GMStoryLayout story;
    ASSERT_EQ(story.Load("s.sto", m_manager.get(), m_device), 0);
    GMImage panel;
    ASSERT_EQ(panel.LoadTemplate("panel.img", m_manager.get(), m_device), 0);
    BeginFrame(0xFFFFFFFF);
    story.Draw(&panel, m_device);
    EndFrame();
    // Black on white, glyphs standing on each baseline. Baselines: 50, then
    // 50 + 20 + 1 = 71 (the line's own height plus one), then 71 + 10 + 1 = 82.
    auto black = [&](int x, int y) { return Pixel(x, y) == 0xFF000000u; };
    EXPECT_TRUE(black(100, 30));
    EXPECT_TRUE(black(100, 49));
    EXPECT_FALSE(black(100, 29));
    EXPECT_FALSE(black(100, 55));
    EXPECT_TRUE(black(100, 61)) << "the second line is 10 pixels high: the standard font";
    EXPECT_TRUE(black(100, 70));
    EXPECT_FALSE(black(100, 60));
    EXPECT_TRUE(black(100, 81));
    EXPECT_FALSE(black(100, 82));
    int lineWidth = 0;
    for (int x = 90; x < 200; ++x)
        lineWidth += black(x, 61) ? 1 : 0;
    EXPECT_EQ(lineWidth, 24) << "four glyphs: the at sign itself is not drawn";
}

TEST_F(LayoutTest, ScreenshotsOfAHelpPageAndAStory)
{
    CairoFont font;
    ASSERT_TRUE(font.Write("FontStd", 18.0));
    ASSERT_TRUE(font.Write("Panel", 22.0));
    WriteSolidTemplate("panel_bg", 1, 512, 256, 0xFF4A6A52);
    WriteSolidTemplate("paper", 1, 512, 256, 0xFFF2E6C8);
    WriteSolidTemplate("stripe", 1, 256, 16, 0xFF6A9A4A);
    WriteSolidTemplate("btnI", 1, 128, 40, 0xFF3C6E9E, "\"IMW\" 128\n\"IMH\" 40\n");
    WriteSolidTemplate("btnH", 1, 128, 40, 0xFF5A94C8, "\"IMW\" 128\n\"IMH\" 40\n");
    WriteScrambled("Help.txt",
                   "\"IMG\" 144 120 -1 1 \"panel_bg.img\"\n"
                   "\"IMG\" 272 150 0 1 \"stripe.img\"\n"
                   "\"TXT\" 170 180 0 1 \"How to play: pick up goods at a shop,\"\n"
                   "\"TXT\" 170 210 0 1 \"then click the orders they are for.\"\n"
                   "\"TXT\" 170 260 0 1.5 \"Page one\"\n"
                   "\"TXT\" 170 180 1 1 \"The second page.\"\n");
    GMImage std;  // outlives the panel, which holds a reference to it
    ASSERT_EQ(std.LoadTemplate("FontStd.img", m_manager.get(), m_device), 0);
    HelpPages help;
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    help.SetFont(&std);
    BeginFrame(0xFF2E4A62);
    help.Draw(0, 0, m_device);
    EndFrame();
    EXPECT_TRUE(m_device->SaveBackBufferPng(ShotPath("help-page").c_str()));
    EXPECT_GT(LitRows(m_pixels, 170, 600, 180, 230, 0xFFFFFFFF), 10) << "the help text is drawn";

    WriteScrambled("day1.sto", "\"IMG\" \"paper.img\" 400 500\n\"TOX\" 170\n\"TOY\" 280\n"
                               "\"TXT\" \"Good morning, Brimvale!\"\n\"TXT\" \"@The bakery needs bread by noon.\"\n"
                               "\"BTN\" \"btnI.img\" \"btnH.img\" 400 470\n");
    GMStoryLayout story;
    ASSERT_EQ(story.Load("day1.sto", m_manager.get(), m_device), 0);
    GMImage panel;
    ASSERT_EQ(panel.LoadTemplate("Panel.img", m_manager.get(), m_device), 0);
    BeginFrame(0xFF2E4A62);
    story.Draw(&panel, m_device);
    EndFrame();
    EXPECT_TRUE(m_device->SaveBackBufferPng(ShotPath("story").c_str()));
    EXPECT_GT(LitRows(m_pixels, 170, 600, 280, 340, 0xFF000000), 10) << "the story text is drawn in black";
}

TEST_F(LayoutTest, TheDataToolPrintsHelpAndStoryFiles)
{
    WriteScrambled("Help.txt", "\"TXT\" 20 40 2 1.5 \"hello\"\n\"IMG\" 1 2 -1 1 \"pic.img\"\n");
    WriteScrambled("s.sto", "\"TXT\" \"@hi\"\n");
    auto run = [](std::vector<std::string> args, std::string* out) {
        ToolResult r = RunTool(std::move(args));
        *out = r.out;
        return r.status;
    };
    std::string out;
    EXPECT_EQ(run({"help", "Help.txt"}, &out), 0);
    EXPECT_NE(out.find("3 pages"), std::string::npos) << out;
    EXPECT_NE(out.find("every page:"), std::string::npos);
    EXPECT_NE(out.find("text at (20, 40) scale 1.5: \"hello\""), std::string::npos) << out;
    EXPECT_EQ(run({"story", "s.sto"}, &out), 1) << "a story without a button is reported";
    EXPECT_NE(out.find("text (standard font) \"hi\""), std::string::npos) << out;
    EXPECT_EQ(run({"help", "none.txt"}, &out), 1);
    WriteScrambledFuzzInput("help-2.bin", "Help.txt");  // page 4444444444
    EXPECT_EQ(run({"help", "Help.txt"}, &out), 0);
    EXPECT_NE(out.find("1 entries, 0 pages"), std::string::npos) << out;
    EXPECT_NE(out.find("page 2147483647 (past page 999, left out):"), std::string::npos) << out;
}
