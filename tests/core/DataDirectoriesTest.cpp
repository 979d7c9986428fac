#include "core/DataDirectories.h"
#include "core/FileSys.h"
#include "core/Log.h"
#include "core/TaggedFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void MakeDir(const std::string& p) { ASSERT_TRUE(MakeDirectories(p)) << p; }

// The file as the game would read it; empty when it does not open.
std::string ReadWholeFileForTest(const char* path)
{
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return std::string();
    std::string s;
    for (int c; (c = std::fgetc(f)) != EOF;)
        s.push_back(static_cast<char>(c));
    std::fclose(f);
    return s;
}

// Redirection is process-wide: every test that sets it puts it back.
struct ScopedWritable {
    explicit ScopedWritable(const std::string& dir) { SetWritableDirectory(dir); }
    ~ScopedWritable() { SetWritableDirectory(std::string()); }
};

}  // namespace

TEST(DataDirectories, PlayerDirectoryFollowsTheXdgRules)
{
    EXPECT_EQ(UserDataDirectory("/x/share", "/home/mia"), "/x/share/brimvale");
    EXPECT_EQ(UserDataDirectory("/x/share/", "/home/mia"), "/x/share/brimvale");
    // Unset, empty or relative XDG_DATA_HOME: the default below HOME.
    EXPECT_EQ(UserDataDirectory(nullptr, "/home/mia"), "/home/mia/.local/share/brimvale");
    EXPECT_EQ(UserDataDirectory("", "/home/mia"), "/home/mia/.local/share/brimvale");
    EXPECT_EQ(UserDataDirectory("share", "/home/mia"), "/home/mia/.local/share/brimvale");
    EXPECT_EQ(UserDataDirectory(nullptr, nullptr), "");
    EXPECT_EQ(UserDataDirectory(nullptr, "relative"), "");
}

TEST(DataDirectories, InstalledDataWinsAndWritesGoToThePlayer)
{
    TempDir dir;
    MakeDir(dir.File("usr/bin"));
    MakeDir(dir.File("usr/share/brimvale/data"));
    MakeDir(dir.File("start/data"));  // some other "data" where the game was started
    DataDirectories d;
    ASSERT_TRUE(ChooseDataDirectories(dir.File("start"), dir.File("usr/bin"), "../share/brimvale/data", "/xdg",
                                      "/home/mia", &d));
    EXPECT_TRUE(d.installed);
    EXPECT_EQ(d.data, dir.File("usr/share/brimvale/data"));
    // Even when the installation could be written to (a user prefix, root).
    EXPECT_EQ(d.writable, "/xdg/brimvale");
}

TEST(DataDirectories, BuildTreeKeepsEverythingBesideTheData)
{
    TempDir dir;
    MakeDir(dir.File("game/Data"));
    DataDirectories d;
    // No installation beside the executable: "data" below the start directory,
    // found without regard to case.
    ASSERT_TRUE(ChooseDataDirectories(dir.File("game"), dir.File("game"), "../share/brimvale/data", "/xdg",
                                      "/home/mia", &d));
    EXPECT_FALSE(d.installed);
    EXPECT_EQ(d.data, dir.File("game/Data"));
    EXPECT_EQ(d.writable, "");
    // No data anywhere.
    EXPECT_FALSE(ChooseDataDirectories(dir.Path(), dir.File("game"), "", "/xdg", "/home/mia", &d));
    EXPECT_FALSE(ChooseDataDirectories(dir.Path(), "", "../share/brimvale/data", "/xdg", "/home/mia", &d));
}

TEST(DataDirectories, ReadOnlyUnpackedDataStaysBesideTheData)
{
    TempDir dir;
    MakeDir(dir.File("data"));
    ASSERT_EQ(::chmod(dir.File("data").c_str(), 0555), 0);
    DataDirectories d;
    ASSERT_TRUE(ChooseDataDirectories(dir.Path(), dir.Path(), "../share/games/brimvale/data", nullptr, "/home/mia",
                                      &d));
    EXPECT_FALSE(d.installed);
    EXPECT_EQ(d.writable, "") << "only an installed game moves the player's files";
    ::chmod(dir.File("data").c_str(), 0755);
}

TEST(DataDirectories, MakeDirectoriesCreatesMissingParents)
{
    TempDir dir;
    EXPECT_TRUE(MakeDirectories(dir.File("a/b/c")));
    struct stat st;
    ASSERT_EQ(::stat(dir.File("a/b").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(MakeDirectories(dir.File("a/b/c")));  // already there
    dir.Write("file", "x");
    EXPECT_FALSE(MakeDirectories(dir.File("file/sub")));
    EXPECT_FALSE(MakeDirectories(""));
}

TEST(DataDirectories, DataPathsMapIntoThePlayerDirectory)
{
    EXPECT_EQ(WritableCopyPath("option.cfg"), "") << "off by default";
    EXPECT_EQ(PlayerFilesDirectory(), ".");
    EXPECT_EQ(ResolveDataPath("sfx\\a.ogg", true), "sfx/a.ogg");
    ScopedWritable on("/w");
    EXPECT_EQ(PlayerFilesDirectory(), "/w");
    EXPECT_EQ(WritableCopyPath("option.cfg"), "/w/option.cfg");
    EXPECT_EQ(WritableCopyPath(".\\Mia.prf"), "/w/Mia.prf");
    // The logs one level up land in the same place.
    EXPECT_EQ(WritableCopyPath("..\\Error.log"), "/w/Error.log");
    EXPECT_EQ(WritableCopyPath("Menu\\..\\..\\direct.log"), "/w/direct.log");
    EXPECT_EQ(WritableCopyPath("Sub\\x.dat"), "/w/Sub/x.dat");
    // Nothing outside the tree, nothing absolute.
    EXPECT_EQ(WritableCopyPath("..\\..\\x"), "");
    EXPECT_EQ(WritableCopyPath(".."), "");
    EXPECT_EQ(WritableCopyPath("/etc/passwd"), "");
    EXPECT_EQ(WritableCopyPath(""), "");
    EXPECT_EQ(WritableCopyPath(nullptr), "");
}

TEST(DataDirectories, WritesGoToThePlayerAndReadsTakeItsCopyFirst)
{
    TempDir dir;
    MakeDir(dir.File("game/data"));
    MakeDir(dir.File("mine"));
    dir.Write("game/data/option.cfg", "shipped");
    dir.Write("game/data/Help.txt", "help");
    ScopedChdir cd(dir.File("game/data"));
    ScopedWritable on(dir.File("mine"));

    // Before the player has a copy, the data directory's file is read.
    EXPECT_EQ(ReadWholeFileForTest("option.cfg"), "shipped");
    EXPECT_EQ(ResolveDataPath("option.cfg", false), "option.cfg");
    EXPECT_EQ(ResolveDataPath("option.cfg", true), dir.File("mine/option.cfg"));
    ASSERT_TRUE(WriteFileAtomically("option.cfg", "wt", [](FILE* f) { return std::fputs("mine", f) >= 0; }));
    EXPECT_EQ(dir.Read("mine/option.cfg"), "mine");
    EXPECT_EQ(dir.Read("game/data/option.cfg"), "shipped") << "the data directory is never written";
    EXPECT_EQ(ReadWholeFileForTest("OPTION.CFG"), "mine") << "the player's copy first, case ignored";
    EXPECT_EQ(ResolveDataPath("Option.Cfg", false), dir.File("mine/option.cfg"));
    EXPECT_TRUE(FileExists("Help.txt"));

    // Logs of the directory above the data.
    EXPECT_EQ(AppendErrorLog("..\\Error.log", "failed"), 0);
    EXPECT_NE(dir.Read("mine/Error.log").find("-- failed"), std::string::npos);
    EXPECT_FALSE(FileExists("..\\..\\game\\Error.log"));

    // Deleting takes both copies, so a deleted profile cannot come back from
    // the data directory.
    EXPECT_TRUE(DeleteFile("option.cfg"));
    EXPECT_FALSE(FileExists("option.cfg"));
    EXPECT_EQ(ReadWholeFileForTest("option.cfg"), "");
}

TEST(DataDirectories, ListingsJoinBothDirectoriesOnce)
{
    TempDir dir;
    MakeDir(dir.File("data"));
    MakeDir(dir.File("mine/Sub"));
    dir.Write("data/Olek.prf", "o");
    dir.Write("data/mia.prf", "old");
    dir.Write("data/notes.txt", "n");
    dir.Write("mine/Mia.prf", "new");
    dir.Write("mine/Zoe.PRF", "z");
    MakeDir(dir.File("mine/Dir.prf"));  // not a file
    ScopedChdir cd(dir.File("data"));

    std::vector<std::string> plain = FindDataFiles("*.prf");
    EXPECT_EQ(plain, (std::vector<std::string>{"Olek.prf", "mia.prf"}));

    ScopedWritable on(dir.File("mine"));
    std::vector<std::string> both = FindDataFiles("*.prf");
    // "Mia.prf" and "mia.prf" are one profile, read from the player's copy.
    EXPECT_EQ(both, (std::vector<std::string>{"Mia.prf", "Olek.prf", "Zoe.PRF"}));
    EXPECT_EQ(ReadWholeFileForTest(both[0].c_str()), "new");
    EXPECT_TRUE(FindDataFiles("Sub\\*.prf").empty());
    EXPECT_TRUE(FindDataFiles(nullptr).empty());
}
