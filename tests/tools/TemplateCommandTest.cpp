// brimvale-data template: the game's own loader, printed.
#include "tools/RunTool.h"
#include "support/TempDir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A 24-bit bottom-up BMP of one colour.
std::string Bmp(int w, int h)
{
    auto put32 = [](std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += char((v >> (8 * i)) & 0xFF);
    };
    int stride = (w * 3 + 3) / 4 * 4;
    std::string s = "BM";
    put32(s, uint32_t(54 + stride * h));
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, uint32_t(w));
    put32(s, uint32_t(h));
    s += char(1);
    s += char(0);
    s += char(24);
    s += char(0);
    for (int i = 0; i < 6; ++i)
        put32(s, 0);
    s += std::string(size_t(stride * h), '\x7f');
    return s;
}

std::string RunTool(std::vector<std::string> args, int* status)
{
    ToolResult r = ::RunTool(std::move(args));
    *status = r.status;
    return r.out + r.err;
}

}  // namespace

TEST(TemplateCommand, PrintsFramesSpeedLoopStartAndBlending)
{
    TempDir dir;
    dir.Write("pic.bmp", Bmp(10, 6));
    dir.Write("wide.gif", Bmp(300, 20));  // bitmap content under ".gif": power-of-two texture
    dir.Write("t.img", "\"FR\" 2 \"pic.bmp\" \"wide.gif\" \"SP\" 12 \"FF\" 1 \"INT\" \"IMX\" -5 \"IMY\" -6 \"SIY\" 2");
    int status = -1;
    std::string text = RunTool({"template", "-C", dir.Path(), "t.img"}, &status);
    EXPECT_EQ(status, 0) << text;
    EXPECT_NE(text.find("template \"t.img\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("frames 2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("speed 12 frames/s"), std::string::npos) << text;
    EXPECT_NE(text.find("loop start 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("additive yes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("frame 0: \"pic.bmp\" texture 10x6 image 10x6 offset -5,-6 extra 0,2\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("frame 1: \"wide.gif\" texture 512x32 image 300x20 offset -5,-6 extra 0,2\n"),
              std::string::npos)
        << text;
}

TEST(TemplateCommand, ReportsATemplateThatDoesNotLoad)
{
    TempDir dir;
    int status = -1;
    std::string text = RunTool({"template", "-C", dir.Path(), "missing.img"}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(text.find("did not load"), std::string::npos) << text;
    RunTool({"template"}, &status);
    EXPECT_EQ(status, 2);
}
