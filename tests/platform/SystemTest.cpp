#include "platform/System.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sys/stat.h>
#include <thread>

TEST(FindFiles, MatchesPatternsWithoutRegardToCase)
{
    TempDir dir;
    ScopedChdir here(dir.Path());
    dir.Write("anna.prf", "x");
    dir.Write("Bob.PRF", "x");
    dir.Write("notes.txt", "x");
    dir.Write("prf", "x");
    ::mkdir((dir.Path() + "/Profiles").c_str(), 0755);
    dir.Write("Profiles/carl.prf", "x");
    EXPECT_EQ(FindFiles("*.prf"), (std::vector<std::string>{"Bob.PRF", "anna.prf"}));
    EXPECT_EQ(FindFiles("Profiles\\*.prf"), (std::vector<std::string>{"Profiles/carl.prf"}));
    EXPECT_EQ(FindFiles("a?na.*"), (std::vector<std::string>{"anna.prf"}));
    EXPECT_TRUE(FindFiles("*.lvl").empty());
    EXPECT_TRUE(FindFiles("missing\\*.prf").empty());
}

TEST(FindFiles, RemoveFileDeletesAndReportsGone)
{
    TempDir dir;
    dir.Write("old.prf", "x");
    std::string path = dir.File("old.prf");
    EXPECT_TRUE(RemoveFile(path.c_str()));
    EXPECT_TRUE(FindFiles((dir.Path() + "/*.prf").c_str()).empty());
    EXPECT_TRUE(RemoveFile(path.c_str()));  // already gone
}

TEST(MessageBox, HeadlessTextGoesToStandardError)
{
    ASSERT_TRUE(StartPlatform());
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessageBox(nullptr, "Can't create game windows", "Creation Error", MB_ICONERROR), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Creation Error: Can't create game windows\n");
}

TEST(MessageBox, HookSeesEveryBox)
{
    std::string seen;
    SetMessageBoxHook([&](const char* text, const char* caption, uint32_t style) {
        seen = std::string(caption) + "|" + text + "|" + std::to_string(style);
    });
    ShowMessageBox(nullptr, "GENERIC", "SetDisplayMode", MB_ICONERROR);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(seen, "SetDisplayMode|GENERIC|16");
}

namespace {
bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 200; ++i) {
        std::ifstream f(path);
        std::string line;
        if (f && std::getline(f, line) && !line.empty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
}  // namespace

TEST(OpenLinkFile, HandsTheUrlToTheOpener)
{
    TempDir dir;
    std::string out = dir.File("opened.txt");
    dir.Write("opener.sh", "#!/bin/sh\necho \"$1\" > " + out + "\n");
    ::chmod(dir.File("opener.sh").c_str(), 0755);
    ::mkdir((dir.Path() + "/data").c_str(), 0755);
    dir.Write("website.url", "[InternetShortcut]\r\nURL=https://example.org/brimvale\r\n");
    SetLinkOpener(dir.File("opener.sh").c_str());
    {
        ScopedChdir inData(dir.Path() + "/data");
        EXPECT_TRUE(OpenLinkFile("..\\website.url"));
        EXPECT_FALSE(OpenLinkFile("..\\play.url"));  // missing: nothing happens
    }
    ASSERT_TRUE(WaitForFile(out));
    EXPECT_EQ(dir.Read("opened.txt"), "https://example.org/brimvale\n");

    dir.Write("empty.url", "[InternetShortcut]\n");
    EXPECT_FALSE(OpenLinkFile(dir.File("empty.url").c_str()));
    SetLinkOpener("/nonexistent/opener");
    EXPECT_FALSE(OpenLinkFile(dir.File("website.url").c_str()));
    SetLinkOpener(nullptr);
}

TEST(SystemInfo, ExecutablePathAndFontSmoothing)
{
    std::string self = GetExecutablePath();
    EXPECT_NE(self.find("test_platform"), std::string::npos);
    uint32_t saved = GetFontSmoothing();
    SetFontSmoothing(0);
    EXPECT_EQ(GetFontSmoothing(), 0u);
    SetFontSmoothing(7);
    EXPECT_EQ(GetFontSmoothing(), 1u);
    SetFontSmoothing(saved);
}
