#include "player/GMPlayerStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class PlayerStore : public ::testing::Test {
protected:
    void SetUp() override { GMPlayerStore::ResetNotices(); }
    void TearDown() override { GMPlayerStore::ResetNotices(); }

    int CountNotices()
    {
        int n = 0;
        for (std::string text; GMPlayerStore::TakeNotice(&text);)
            ++n;
        return n;
    }

    TempDir dir;
    ScopedChdir cd{dir.Path()};
};

TEST_F(PlayerStore, DamagedFilesAreRenamedToTheFirstFreeName)
{
    std::string keptAs;
    EXPECT_FALSE(GMPlayerStore::SetAsideDamaged("none.prf", &keptAs));
    EXPECT_FALSE(GMPlayerStore::SetAsideDamaged("", &keptAs));
    for (const char* expected : {"a.prf.damaged", "a.prf.2.damaged", "a.prf.3.damaged"}) {
        dir.Write("a.prf", expected);
        ASSERT_TRUE(GMPlayerStore::SetAsideDamaged("a.prf", &keptAs));
        EXPECT_EQ(std::filesystem::path(keptAs).filename(), expected);
        EXPECT_FALSE(std::filesystem::exists(dir.File("a.prf")));
    }
    // Every earlier copy is still there with its own bytes.
    EXPECT_EQ(dir.Read("a.prf.damaged"), "a.prf.damaged");
    EXPECT_EQ(dir.Read("a.prf.2.damaged"), "a.prf.2.damaged");
}

TEST_F(PlayerStore, ReplaceSetsAsideWhatIsNotWholeAndLeavesWholeFilesAlone)
{
    auto write = [](const char* text) {
        return [text](FILE* f) { return std::fputs(text, f) >= 0; };
    };
    auto wholeWhenOk = [](const char* path) {
        FILE* f = std::fopen(path, "rb");
        char buf[8] = {};
        bool ok = f && std::fgets(buf, sizeof buf, f) && std::string(buf) == "ok";
        if (f)
            std::fclose(f);
        return ok;
    };
    dir.Write("t.dat", "ok");
    ASSERT_TRUE(GMPlayerStore::ReplaceFile("t.dat", "wb", +wholeWhenOk, write("bad")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.dat.damaged")));
    ASSERT_TRUE(GMPlayerStore::ReplaceFile("t.dat", "wb", +wholeWhenOk, write("ok")));
    EXPECT_EQ(dir.Read("t.dat.damaged"), "bad");
    EXPECT_EQ(dir.Read("t.dat"), "ok");
    EXPECT_EQ(CountNotices(), 1);
    EXPECT_FALSE(GMPlayerStore::ReplaceFile("", "wb", +wholeWhenOk, write("ok")));
}

TEST_F(PlayerStore, EachNoticeIsToldOnceAndCannotSaveOncePerRun)
{
    GMPlayerStore::ReportDamaged("The profile \"A\"", "dir/A.prf.damaged", "What could be read was loaded.");
    GMPlayerStore::ReportDamaged("The profile \"A\"", "dir/A.prf.damaged", "What could be read was loaded.");
    GMPlayerStore::ReportDamaged("The highscore table", nullptr, nullptr);
    GMPlayerStore::ReportCannotSave();
    GMPlayerStore::ReportCannotSave();
    std::string text;
    ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
    EXPECT_EQ(text, "The profile \"A\" was damaged. It is kept aside as \"A.prf.damaged\". What could be read was loaded.");
    ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
    EXPECT_EQ(text, "The highscore table was damaged.");
    ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
    EXPECT_NE(text.find("Progress cannot be saved"), std::string::npos);
    EXPECT_FALSE(GMPlayerStore::TakeNotice(&text));
    GMPlayerStore::ReportCannotSave();
    EXPECT_FALSE(GMPlayerStore::TakeNotice(&text));
}

TEST_F(PlayerStore, AFolderThatCannotBeWrittenIsToldOnce)
{
    EXPECT_TRUE(GMPlayerStore::CheckFolderWritable(dir.Path().c_str()));
    EXPECT_EQ(CountNotices(), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 0);  // the probe is gone
    dir.Write("file", "x");
    EXPECT_FALSE(GMPlayerStore::CheckFolderWritable(dir.File("file").c_str()));
    EXPECT_FALSE(GMPlayerStore::CheckFolderWritable(dir.File("missing").c_str()));
    EXPECT_EQ(CountNotices(), 1);
}

}  // namespace
