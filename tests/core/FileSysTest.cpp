#include "core/FileSys.h"
#include "core/Log.h"
#include "core/TaggedFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

TEST(FileSys, BackslashPathsFindFilesWithoutRegardToCase)
{
    TempDir dir;
    ::mkdir(dir.File("Data").c_str(), 0755);
    ::mkdir(dir.File("Data/SFX").c_str(), 0755);
    dir.Write("Data/SFX/Click.ogg", "ogg");
    ScopedChdir cd(dir.Path());
    EXPECT_TRUE(FileExists("Data\\SFX\\Click.ogg"));
    EXPECT_TRUE(FileExists("data\\sfx\\click.OGG"));
    EXPECT_FALSE(FileExists("data\\sfx\\missing.ogg"));
    EXPECT_EQ(ResolvePath("data\\sfx\\new.snd"), "Data/SFX/new.snd") << "a new file keeps its own name";

    ScopedChdir inData(dir.File("Data"));
    FILE* f = OpenFile("..\\data\\sfx\\CLICK.ogg", "rt");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
}

TEST(FileSys, MemoryFilesAreReadInPlaceOfTheDiskAndNeverWritten)
{
    TempDir dir;
    ScopedChdir cd(dir.Path());
    dir.Write("level3.lvl", "disk");
    SetMemoryFile("Level3.LVL", ScrambleForFile("level3.lvl", "\"LOR\" 4"));
    SetMemoryFile("empty.sto", "");

    FILE* f = OpenFile("level3.lvl", "rb");
    ASSERT_NE(f, nullptr);
    FileKey key("level3.lvl");
    int32_t orders = 0;
    char tag[kValueBufferSize];
    EXPECT_EQ(ReadQuoted(f, '"', '"', tag, &key), 3);
    EXPECT_TRUE(ReadTokenInt(f, &key, &orders));
    EXPECT_EQ(orders, 4) << "the memory copy, descrambled, wins over the file on disk";
    std::fclose(f);

    f = OpenFile("EMPTY.sto", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fgetc(f), EOF);
    std::fclose(f);

    // Writing goes to the disk, and a forgotten file is read from it again.
    f = OpenFile("level3.lvl", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("new", f);
    std::fclose(f);
    ForgetMemoryFile("LEVEL3.lvl");
    ForgetMemoryFile("empty.sto");
    std::ifstream in(dir.File("level3.lvl"));
    std::string text;
    in >> text;
    EXPECT_EQ(text, "new");
    EXPECT_EQ(OpenFile("empty.sto", "rb"), nullptr);
}

TEST(FileSys, AtomicWriteReplacesWholeOrNotAtAll)
{
    TempDir dir;
    dir.Write("option.cfg", "old");
    const std::string path = dir.File("option.cfg");
    EXPECT_FALSE(WriteFileAtomically(path.c_str(), "wt", [](FILE* f) {
        std::fputs("half", f);
        return false;  // the writer gives up: the old file must survive
    }));
    EXPECT_EQ(dir.Read("option.cfg"), "old");
    EXPECT_FALSE(FileExists((path + ".tmp").c_str()));
    EXPECT_TRUE(WriteFileAtomically(path.c_str(), "wt", [](FILE* f) { return std::fputs("new", f) >= 0; }));
    EXPECT_EQ(dir.Read("option.cfg"), "new");
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/dir/x").c_str(), "wt", [](FILE*) { return true; }));
}

TEST(Log, RecordsHaveDateTimeAndText)
{
    TempDir dir;
    ::mkdir(dir.File("data").c_str(), 0755);
    ScopedChdir cd(dir.File("data"));
    EXPECT_EQ(AppendErrorLog("..\\Error.log", "Can't load level from file"), 0);
    EXPECT_EQ(AppendErrorLog("..\\Error.log", "OK\n"), 0);
    std::string text = dir.Read("Error.log");
    std::regex record(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d -- Can't load level from file\n)"
                      R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d -- OK\n\n)");
    EXPECT_TRUE(std::regex_match(text, record)) << text;
    WriteLogRecord(nullptr, "nothing happens");
}

TEST(Log, ALogThatCannotBeOpenedIsSkippedSilently)
{
    // Root ignores read-only directories, so block the log with a directory of its name.
    TempDir dir;
    ::mkdir(dir.File("data").c_str(), 0755);
    ::mkdir(dir.File("Error.log").c_str(), 0755);
    ScopedChdir cd(dir.File("data"));
    EXPECT_NE(AppendErrorLog("..\\Error.log", "x"), 0);
    FILE* f = OpenFile("..\\direct.log", "wt");
    WriteLogRecord(f, "written");
    if (f)
        std::fclose(f);
    EXPECT_TRUE(FileExists("..\\direct.log"));
}

TEST(Log, AMissingDirectoryReportsTheOpenError)
{
    TempDir dir;
    ScopedChdir cd(dir.Path());
    EXPECT_NE(AppendErrorLog("no\\such\\dir\\Error.log", "x"), 0);
}
