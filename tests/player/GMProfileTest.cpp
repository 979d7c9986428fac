#include "player/GMPlayerStore.h"
#include "player/GMProfile.h"
#include "player/PlayerFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override { GMPlayerStore::ResetNotices(); }
    void TearDown() override { GMPlayerStore::ResetNotices(); }

    std::vector<std::string> Notices()
    {
        std::vector<std::string> all;
        for (std::string text; GMPlayerStore::TakeNotice(&text);)
            all.push_back(text);
        return all;
    }

    TempDir dir;
    ScopedChdir cd{dir.Path()};
};

const char* const kWholeFile = "\"LVL\" \"level1.lvl\"\n\"LLI\" 0\n\"NAM\" \"Cut\"\n\"SCO\" 300\n\"STA\" 4\n\"MON\" 123\n";

TEST_F(ProfileFile, SavedWithoutCurrentLevelWritesExactlyTheFixedLines)
{
    GMProfile p;
    p.SetDisplayName("Ada");
    p.SetMoney(5);
    p.SetScore(0);
    p.AddLevel("level1.lvl");
    p.AddLevel("level2.lvl");
    p.AddBonus(3, 2500.0f, 40, 1.5f, 2);
    ASSERT_EQ(p.SaveProfile("Ada.prf"), 0);
    EXPECT_STREQ(p.GetFileName(), "Ada.prf");
    EXPECT_EQ(ReadScrambled(dir, "Ada.prf"),
              "\"BON\" 3 40 2.500000 1.500000 2\n"
              "\"LVL\" \"level1.lvl\"\n"
              "\"LVL\" \"level2.lvl\"\n"
              "\"LLI\" 0\n"
              "\"NAM\" \"Ada\"\n"
              "\"SCO\" 0\n"
              "\"STA\" 0\n"
              "\"MON\" 5\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Ada.prf.tmp")));
}

TEST_F(ProfileFile, CurrentLevelLineComesBetweenLevelsAndIndex)
{
    GMProfile p;
    p.SetDisplayName("Bo");
    p.AddLevel("level1.lvl");
    p.SetCurrentLevel("level1.lvl");
    p.SetCurrentLevelIndex(0);
    p.SetScore(1234);
    p.SetRatingPoints(17);
    ASSERT_EQ(p.SaveProfile("Bo.prf"), 0);
    EXPECT_EQ(ReadScrambled(dir, "Bo.prf"),
              "\"LVL\" \"level1.lvl\"\n\"LLN\" \"level1.lvl\"\n\"LLI\" 0\n\"NAM\" \"Bo\"\n"
              "\"SCO\" 1234\n\"STA\" 17\n\"MON\" 0\n");
}

TEST_F(ProfileFile, RoundTripKeepsEveryField)
{
    GMProfile p;
    p.SetDisplayName("Quinn 7");
    p.AddLevel("level1.lvl");
    p.AddLevel("level2.lvl");
    p.SetCurrentLevel("level2.lvl");
    p.SetCurrentLevelIndex(1);
    p.SetScore(4200);
    p.SetRatingPoints(3);
    p.SetMoney(77);
    p.AddBonus(0, 10000.0f, 100, 2.0f, 1);
    p.AddBonus(5, 0.0f, 250, 0.25f, 3);
    ASSERT_EQ(p.SaveProfile("Quinn 7.prf"), 0);

    GMProfile q;
    ASSERT_EQ(q.LoadProfile("QUINN 7.PRF"), 0);  // the key ignores letter case
    EXPECT_STREQ(q.GetDisplayName(), "Quinn 7");
    ASSERT_EQ(q.GetLevelCount(), 2);
    EXPECT_STREQ(q.GetLevel(1), "level2.lvl");
    EXPECT_STREQ(q.GetCurrentLevel(), "level2.lvl");
    EXPECT_EQ(q.GetCurrentLevelIndex(), 1);
    EXPECT_EQ(q.GetScore(), 4200);
    EXPECT_EQ(q.GetRatingPoints(), 3);
    EXPECT_EQ(q.GetMoney(), 77);
    EXPECT_EQ(q.GetBonusRecordCount(), 2);
    EXPECT_EQ(q.GetMatchingBonusCount(0, 10000.0f, 2.0f), 1);
    EXPECT_EQ(q.GetMatchingBonusCount(5, 0.0f, 0.25f), 3);
    EXPECT_STREQ(q.GetFileName(), "QUINN 7.PRF");
}

TEST_F(ProfileFile, NegativeNumbersReadAsZero)
{
    WriteScrambled(dir, "Neg.prf", "\"SCO\" -5\n\"STA\" -1\n\"MON\" -300\n\"LLI\" -2\n\"NAM\" \"Neg\"\n");
    GMProfile p;
    p.SetScore(9);
    ASSERT_EQ(p.LoadProfile("Neg.prf"), 0);
    EXPECT_EQ(p.GetScore(), 0);
    EXPECT_EQ(p.GetRatingPoints(), 0);
    EXPECT_EQ(p.GetMoney(), 0);
    EXPECT_EQ(p.GetCurrentLevelIndex(), 0);
    EXPECT_STREQ(p.GetDisplayName(), "Neg");
}

TEST_F(ProfileFile, BonusDurationIsSecondsInFileAndMillisecondsInMemory)
{
    WriteScrambled(dir, "B.prf", "\"BON\" 2 50 2.5 1.25 4\n\"NAM\" \"B\"\n");
    GMProfile p;
    ASSERT_EQ(p.LoadProfile("B.prf"), 0);
    ASSERT_EQ(p.GetBonusRecordCount(), 1);
    const GMBonusObj* b = p.GetBonus(0);
    EXPECT_EQ(b->GetKind(), kKindBonus);
    EXPECT_EQ(b->GetBonusKind(), 2);
    EXPECT_EQ(b->GetPrice(), 50);
    EXPECT_FLOAT_EQ(b->GetDuration(), 2500.0f);
    EXPECT_FLOAT_EQ(b->GetValue(), 1.25f);
    EXPECT_EQ(b->GetCount(), 4);
    ASSERT_EQ(p.SaveProfile("B.prf"), 0);
    EXPECT_NE(ReadScrambled(dir, "B.prf").find("\"BON\" 2 50 2.500000 1.250000 4\n"), std::string::npos);
}

TEST_F(ProfileFile, SameKindWithDifferentDurationsStaysTwoRecords)
{
    WriteScrambled(dir, "Two.prf", "\"BON\" 1 10 5 1 1\n\"BON\" 1 10 8 1 2\n");
    GMProfile p;
    ASSERT_EQ(p.LoadProfile("Two.prf"), 0);
    EXPECT_EQ(p.GetBonusRecordCount(), 2);
    EXPECT_EQ(p.GetBonusCount(1), 1);  // the first record of the kind
    EXPECT_EQ(p.GetMatchingBonusCount(1, 5000.0f, 1.0f), 1);
    EXPECT_EQ(p.GetMatchingBonusCount(1, 8000.0f, 1.0f), 2);
    EXPECT_EQ(p.GetMatchingBonusCount(1, 8000.0f, 2.0f), 0);  // value differs
    ASSERT_EQ(p.SaveProfile("Two.prf"), 0);
    GMProfile q;
    ASSERT_EQ(q.LoadProfile("Two.prf"), 0);
    EXPECT_EQ(q.GetBonusRecordCount(), 2);
}

TEST_F(ProfileFile, SetMatchingBonusCountUpdatesOrAdds)
{
    GMProfile p;
    p.SetMatchingBonusCount(2, 4, 3000.0f, 60, 0.5f);
    EXPECT_EQ(p.GetBonusRecordCount(), 1);
    p.SetMatchingBonusCount(5, 4, 3000.0f, 60, 0.5f);
    EXPECT_EQ(p.GetBonusRecordCount(), 1);
    EXPECT_EQ(p.GetMatchingBonusCount(4, 3000.0f, 0.5f), 5);
    p.SetMatchingBonusCount(1, 4, 6000.0f, 60, 0.5f);
    EXPECT_EQ(p.GetBonusRecordCount(), 2);
    EXPECT_EQ(p.GetBonusCount(4), 5);
    EXPECT_EQ(p.GetBonus(1)->GetPrice(), 60);

    // Matched against a level's bonus object: kind, duration and value.
    GMBonusObj* level = new GMBonusObj;
    level->SetBonusKind(4);
    level->SetDuration(6000.0f);
    level->SetValue(0.5f);
    level->SetPrice(99);
    EXPECT_EQ(p.GetMatchingBonusCount(*level), 1);
    p.SetMatchingBonusCount(7, *level);
    EXPECT_EQ(p.GetMatchingBonusCount(4, 6000.0f, 0.5f), 7);
    level->SetValue(0.75f);
    EXPECT_EQ(p.GetMatchingBonusCount(*level), 0);
    p.SetMatchingBonusCount(2, *level);
    ASSERT_EQ(p.GetBonusRecordCount(), 3);
    EXPECT_EQ(p.GetBonus(2)->GetPrice(), 99) << "a new record takes the level bonus's price";
    level->Release();

    // Negative counts and prices are stored as 0.
    int32_t index = p.AddBonus(6, 1000.0f, -10, 1.0f, -3);
    EXPECT_EQ(p.GetBonus(index)->GetCount(), 0);
    EXPECT_EQ(p.GetBonus(index)->GetPrice(), 0);
}

// A level's bonus with more digits than the file keeps (six decimals) still
// finds the units bought with it after the profile was saved and read back;
// two records the file cannot tell apart are one, their units added.
TEST_F(ProfileFile, BonusRecordsMatchAsTheFileWritesThem)
{
    GMProfile p;
    p.SetDisplayName("Ada");
    p.SetMatchingBonusCount(3, 2, 12345.6789f, 40, 1.23456789f);
    ASSERT_EQ(p.SaveProfile("Ada.prf"), 0);
    GMProfile q;
    ASSERT_EQ(q.LoadProfile("Ada.prf"), 0);
    EXPECT_EQ(q.GetMatchingBonusCount(2, 12345.6789f, 1.23456789f), 3) << "no bought unit lost";
    EXPECT_EQ(q.GetMatchingBonusCount(2, 12345.6789f, 1.2345f), 0) << "another value is another record";
    EXPECT_EQ(q.GetMatchingBonusCount(3, 12345.6789f, 1.23456789f), 0) << "another kind is another record";
    q.SetMatchingBonusCount(1, 2, 12345.6789f, 40, 1.23456789f);
    EXPECT_EQ(q.GetBonusRecordCount(), 1) << "the count is set on the record read back";
    EXPECT_TRUE(GMProfile::SameBonus(2, 8000.0f, 1.0f, 2, 8000.0000001f, 1.0000001f));
    EXPECT_FALSE(GMProfile::SameBonus(2, 8000.0f, 1.0f, 2, 8001.0f, 1.0f));

    WriteScrambled(dir, "Two.prf", "\"BON\" 1 10 5.0000001 1 1\n\"BON\" 1 10 5 1.0000000 2\n\"BON\" 1 10 5 1.5 4\n");
    GMProfile r;
    ASSERT_EQ(r.LoadProfile("Two.prf"), 0);
    EXPECT_EQ(r.GetBonusRecordCount(), 2);
    EXPECT_EQ(r.GetMatchingBonusCount(1, 5000.0f, 1.0f), 3);
    EXPECT_EQ(r.GetMatchingBonusCount(1, 5000.0f, 1.5f), 4);
}

TEST_F(ProfileFile, RenamedFileReadsAsEmptyProfile)
{
    GMProfile p;
    p.SetDisplayName("Ada");
    p.SetMoney(99);
    p.AddLevel("level1.lvl");
    ASSERT_EQ(p.SaveProfile("Ada.prf"), 0);
    std::filesystem::rename(dir.File("Ada.prf"), dir.File("Eve.prf"));

    GMProfile q;
    ASSERT_EQ(q.LoadProfile("Eve.prf"), 0);
    EXPECT_EQ(q.GetDisplayName(), nullptr);
    EXPECT_EQ(q.GetLevelCount(), 0);
    EXPECT_EQ(q.GetMoney(), 0);
    EXPECT_STREQ(q.GetFileName(), "Eve.prf");
}

TEST_F(ProfileFile, MissingFileLeavesProfileEmptyWithoutFileName)
{
    GMProfile p;
    p.SetDisplayName("Old");
    p.SetFileName("Old.prf");
    p.AddLevel("level1.lvl");
    EXPECT_EQ(p.LoadProfile("Nobody.prf"), 1);
    EXPECT_EQ(p.GetFileName(), nullptr);
    EXPECT_EQ(p.GetDisplayName(), nullptr);
    EXPECT_EQ(p.GetLevelCount(), 0);
    EXPECT_EQ(p.LoadProfile(nullptr), 1);
}

TEST_F(ProfileFile, DamagedFileKeepsWhatWasReadBefore)
{
    // The money value is cut off by the end of the file.
    WriteScrambled(dir, "Cut.prf", "\"LVL\" \"level1.lvl\"\n\"NAM\" \"Cut\"\n\"SCO\" 300\n\"MON\"");
    GMProfile p;
    ASSERT_EQ(p.LoadProfile("Cut.prf"), 0);
    EXPECT_STREQ(p.GetDisplayName(), "Cut");
    EXPECT_EQ(p.GetScore(), 300);
    EXPECT_EQ(p.GetLevelCount(), 1);
    EXPECT_EQ(p.GetMoney(), 0);

    // A string that never closes ends the reading too.
    WriteScrambled(dir, "Open.prf", "\"SCO\" 12\n\"NAM\" \"Ope");
    ASSERT_EQ(p.LoadProfile("Open.prf"), 0);
    EXPECT_EQ(p.GetScore(), 12);
    EXPECT_EQ(p.GetDisplayName(), nullptr);
}

TEST_F(ProfileFile, EntriesInAnyOrderAndTagsWithoutRegardToCase)
{
    WriteScrambled(dir, "Mix.prf",
                   "remark line\n\"mon\" 8\n\"Nam\" \"Mix\"\n\"XYZ\" 1 2 3\n\"lvl\" \"a.lvl\"\n\"sco\" 12abc\n");
    GMProfile p;
    ASSERT_EQ(p.LoadProfile("Mix.prf"), 0);
    EXPECT_EQ(p.GetMoney(), 8);
    EXPECT_STREQ(p.GetDisplayName(), "Mix");
    EXPECT_STREQ(p.GetLevel(0), "a.lvl");
    EXPECT_EQ(p.GetScore(), 12);
}

TEST_F(ProfileFile, ANumberCutShortIsDamagedAndNotRead)
{
    std::string whole = kWholeFile;
    WriteScrambled(dir, "Cut.prf", whole);
    GMProfile p;
    ASSERT_EQ(p.LoadProfile("Cut.prf"), 0);
    EXPECT_TRUE(p.IsWhole());
    EXPECT_EQ(p.GetMoney(), 123);

    // "123" cut to "12": the shorter number is not taken.
    WriteScrambled(dir, "Cut.prf", whole.substr(0, whole.size() - 2));
    ASSERT_EQ(p.LoadProfile("Cut.prf"), 0);
    EXPECT_FALSE(p.IsWhole());
    EXPECT_EQ(p.GetMoney(), 0);
    EXPECT_EQ(p.GetScore(), 300);
    EXPECT_STREQ(p.GetDisplayName(), "Cut");

    // Inside a bonus record as well: no record from a cut count.
    WriteScrambled(dir, "Cut.prf", "\"NAM\" \"Cut\"\n\"BON\" 3 40 2.5 1.5 12");
    ASSERT_EQ(p.LoadProfile("Cut.prf"), 0);
    EXPECT_FALSE(p.IsWhole());
    EXPECT_EQ(p.GetBonusRecordCount(), 0);
}

TEST_F(ProfileFile, WholeOnlyWithEveryEntryTheWriterWritesAndNothingCut)
{
    std::string whole = kWholeFile;
    struct Case {
        std::string text;
        bool whole;
    };
    const Case cases[] = {
        {whole, true},
        {whole + "\n\n", true},                                   // blank lines after the last entry
        {whole + "\"XYZ\" 1\n", true},                              // unknown tags are skipped
        {whole.substr(0, whole.find("\"MON\"")), false},          // cut at a line: MON is missing
        {whole.substr(0, whole.find("\"NAM\"") + 9), false},      // cut inside the name
        {whole.substr(0, whole.find("\"STA\"") + 2), false},      // cut inside a tag
        {whole.substr(0, whole.find("\"MON\"") + 5), false},      // a tag without its value
        {"", false},
        {"garbage without a single quote", false},
    };
    for (const Case& c : cases) {
        WriteScrambled(dir, "Whole.prf", c.text);
        GMProfile p;
        ASSERT_EQ(p.LoadProfile("Whole.prf"), 0);
        EXPECT_EQ(p.IsWhole(), c.whole) << c.text;
        EXPECT_EQ(GMProfile::IsWholeFile("Whole.prf"), c.whole) << c.text;
    }
    EXPECT_FALSE(GMProfile::IsWholeFile("Missing.prf"));
}

TEST_F(ProfileFile, NamesWithQuotesHashesAndDigitsReadBackAsThemselves)
{
    for (const char* name : {"Mi\"a", "#1 fan", "a#35b", "x#", "7\"9", "\"", "tab\there", "Zoë"}) {
        GMProfile p;
        p.SetDisplayName(name);
        p.AddLevel(name);
        p.SetCurrentLevel(name);
        ASSERT_EQ(p.SaveProfile("Odd.prf"), 0) << name;
        GMProfile q;
        ASSERT_EQ(q.LoadProfile("Odd.prf"), 0);
        EXPECT_TRUE(q.IsWhole()) << name;
        EXPECT_STREQ(q.GetDisplayName(), name);
        EXPECT_STREQ(q.GetLevel(0), name);
        EXPECT_STREQ(q.GetCurrentLevel(), name);
    }
    EXPECT_EQ(EscapeQuoted("say \"12\" #1"), "say #34#49#50#34 #35#49");
    EXPECT_EQ(EscapeQuoted("plain name"), "plain name");
}

TEST_F(ProfileFile, OpeningADamagedProfileKeepsItAsideAndSavesWhatWasRead)
{
    std::string whole = kWholeFile;
    std::string cut = whole.substr(0, whole.size() - 2);
    WriteScrambled(dir, "Cut.prf", cut);
    GMProfile p;
    ASSERT_EQ(p.OpenProfile("Cut.prf"), 0);
    EXPECT_STREQ(p.GetFileName(), "Cut.prf");
    EXPECT_EQ(p.GetScore(), 300);
    // The damaged bytes are kept as they were, under a new name.
    EXPECT_EQ(ReadScrambled(dir, "Cut.prf.damaged", "Cut.prf"), cut);
    // What was read is the profile again, whole.
    EXPECT_TRUE(GMProfile::IsWholeFile("Cut.prf"));
    std::vector<std::string> told = Notices();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "The profile \"Cut\" was damaged. It is kept aside as \"Cut.prf.damaged\". "
                       "What could be read was loaded.");

    // A second damage never replaces the first damaged copy.
    WriteScrambled(dir, "Cut.prf", cut);
    ASSERT_EQ(p.OpenProfile("Cut.prf"), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File("Cut.prf.damaged")));
    EXPECT_EQ(ReadScrambled(dir, "Cut.prf.2.damaged", "Cut.prf"), cut);

    // No name: kept aside, and the profile cannot be opened; the player is
    // told what was read and is kept in the file.
    Notices();
    WriteScrambled(dir, "Junk.prf", "\"SCO\" 5\n\"NAM\" \"Ju");
    EXPECT_EQ(p.OpenProfile("Junk.prf"), 1);
    EXPECT_EQ(p.GetFileName(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Junk.prf")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Junk.prf.damaged")));
    EXPECT_EQ(Notices(), std::vector<std::string>{"The profile file \"Junk.prf\" was damaged. It is kept aside as "
                                                  "\"Junk.prf.damaged\". 0 days, 0 bonuses and the score could be "
                                                  "read, but not the player's name: the profile cannot be used, and "
                                                  "the kept file holds them as they were."});
    const std::string cutAtName = "\"BON\" 1 10 5 1 2\n\"LVL\" \"level1.lvl\"\n\"LVL\" \"level2.lvl\"\n\"LLN\" "
                                  "\"level2.lvl\"\n\"LLI\" 1\n\"NAM\" \"Ne";
    WriteScrambled(dir, "Ned.prf", cutAtName);
    EXPECT_EQ(p.OpenProfile("Ned.prf"), 1);
    EXPECT_EQ(Notices(), std::vector<std::string>{"The profile file \"Ned.prf\" was damaged. It is kept aside as "
                                                  "\"Ned.prf.damaged\". 2 days and 1 bonus could be read, but not the "
                                                  "player's name: the profile cannot be used, and the kept file "
                                                  "holds them as they were."});
    // The kept copy reads with the key of the name it was written under.
    GMProfile kept;
    ASSERT_EQ(kept.LoadProfile("Ned.prf.damaged"), 0);
    EXPECT_EQ(kept.GetLevelCount(), 2);
    EXPECT_STREQ(kept.GetCurrentLevel(), "level2.lvl");
    EXPECT_EQ(kept.GetMatchingBonusCount(1, 5000.0f, 1.0f), 2);
    WriteScrambled(dir, "Ned.prf", cutAtName);
    EXPECT_EQ(p.OpenProfile("Ned.prf"), 1);
    ASSERT_EQ(kept.LoadProfile("Ned.prf.2.damaged"), 0);
    EXPECT_EQ(kept.GetLevelCount(), 2);
    Notices();
    WriteScrambled(dir, "Nothing.prf", "\"NA");
    EXPECT_EQ(p.OpenProfile("Nothing.prf"), 1);
    EXPECT_EQ(Notices(), std::vector<std::string>{"The profile file \"Nothing.prf\" was damaged. It is kept aside "
                                                  "as \"Nothing.prf.damaged\". Nothing in it could be read."});

    // A whole file is opened as it is, and nothing is told.
    Notices();
    WriteScrambled(dir, "Fine.prf", whole);
    ASSERT_EQ(p.OpenProfile("Fine.prf"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Fine.prf.damaged")));
    EXPECT_TRUE(Notices().empty());
}

TEST_F(ProfileFile, SavingOverADamagedFileKeepsItAsideFirst)
{
    WriteScrambled(dir, "Bo.prf", "\"NAM\" \"Bo\"\n\"SCO\" 77");
    GMProfile p;
    p.SetDisplayName("Bo");
    ASSERT_EQ(p.SaveProfile("Bo.prf"), 0);
    EXPECT_EQ(ReadScrambled(dir, "Bo.prf.damaged", "Bo.prf"), "\"NAM\" \"Bo\"\n\"SCO\" 77");
    EXPECT_TRUE(GMProfile::IsWholeFile("Bo.prf"));
    // A whole file is simply replaced.
    ASSERT_EQ(p.SaveProfile("Bo.prf"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Bo.prf.2.damaged")));
}

TEST_F(ProfileFile, AFailedSaveKeepsTheOldFileAndTellsThePlayerOnce)
{
    GMProfile p;
    p.SetDisplayName("Ro");
    p.SetMoney(10);
    ASSERT_EQ(p.SaveProfile("Ro.prf"), 0);
    EXPECT_TRUE(Notices().empty());
    // The temporary file cannot be made where it has to go.
    std::filesystem::create_directory(dir.File("Ro.prf.tmp"));
    p.SetMoney(20);
    EXPECT_EQ(p.SaveProfile("Ro.prf"), 1);
    EXPECT_EQ(p.SaveProfile("Ro.prf"), 1);
    GMProfile q;
    ASSERT_EQ(q.LoadProfile("Ro.prf"), 0);
    EXPECT_EQ(q.GetMoney(), 10);
    std::vector<std::string> told = Notices();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("Progress cannot be saved"), std::string::npos);
}

TEST_F(ProfileFile, UnwritablePathReportsOneAndKeepsFileName)
{
    GMProfile p;
    p.SetDisplayName("X");
    p.SetFileName("X.prf");
    EXPECT_EQ(p.SaveProfile("no-such-dir/X.prf"), 1);
    EXPECT_STREQ(p.GetFileName(), "X.prf");
    EXPECT_EQ(p.SaveProfile(""), 1);
}

TEST_F(ProfileFile, SavingOverOwnFileNameAndLoadingOwnFileNameWork)
{
    GMProfile p;
    p.SetDisplayName("Self");
    ASSERT_EQ(p.SaveProfile("Self.prf"), 0);
    ASSERT_EQ(p.SaveProfile(p.GetFileName()), 0);
    ASSERT_EQ(p.LoadProfile(p.GetFileName()), 0);
    EXPECT_STREQ(p.GetDisplayName(), "Self");
    EXPECT_STREQ(p.GetFileName(), "Self.prf");
}

TEST(Profile, ResetProgressKeepsMoneyLevelsAndNames)
{
    GMProfile p;
    p.SetDisplayName("R");
    p.SetFileName("R.prf");
    p.AddLevel("level1.lvl");
    p.SetCurrentLevel("level1.lvl");
    p.SetCurrentLevelIndex(3);
    p.SetScore(10);
    p.SetRatingPoints(4);
    p.SetMoney(6);
    p.AddBonus(1, 1000.0f, 1, 1.0f, 1);
    p.ResetProgress();
    EXPECT_EQ(p.GetBonusRecordCount(), 0);
    EXPECT_EQ(p.GetCurrentLevel(), nullptr);
    EXPECT_EQ(p.GetCurrentLevelIndex(), 0);
    EXPECT_EQ(p.GetScore(), 0);
    EXPECT_EQ(p.GetRatingPoints(), 0);
    EXPECT_EQ(p.GetMoney(), 6);
    EXPECT_EQ(p.GetLevelCount(), 1);
    EXPECT_STREQ(p.GetDisplayName(), "R");
    EXPECT_STREQ(p.GetFileName(), "R.prf");

    p.ClearProfile();
    EXPECT_EQ(p.GetLevelCount(), 0);
    EXPECT_EQ(p.GetDisplayName(), nullptr);
    EXPECT_EQ(p.GetFileName(), nullptr);
}

TEST(Profile, SettersRaiseNegativeValuesAndEmptyCurrentLevelIsNone)
{
    GMProfile p;
    p.SetMoney(-1);
    p.SetScore(-2);
    p.SetRatingPoints(-3);
    p.SetCurrentLevelIndex(-4);
    EXPECT_EQ(p.GetMoney() + p.GetScore() + p.GetRatingPoints() + p.GetCurrentLevelIndex(), 0);
    p.SetCurrentLevel("level2.lvl");
    EXPECT_STREQ(p.GetCurrentLevel(), "level2.lvl");
    p.SetCurrentLevel("");
    EXPECT_EQ(p.GetCurrentLevel(), nullptr);
}

TEST(Profile, AddLevelSkipsNamesEqualWithoutRegardToCase)
{
    GMProfile p;
    p.AddLevel("level1.lvl");
    p.AddLevel("LEVEL1.LVL");
    p.AddLevel("level2.lvl");
    EXPECT_EQ(p.GetLevelCount(), 2);
    EXPECT_EQ(p.FindLevel("Level2.LVL"), 1);
}

TEST(Profile, RemoveLevelMovesLaterNamesDownAndFollowsCurrentLevel)
{
    GMProfile p;
    for (const char* n : {"level1.lvl", "level2.lvl", "level3.lvl", "level4.lvl"})
        p.AddLevel(n);
    p.SetCurrentLevelIndex(2);
    p.SetCurrentLevel("level3.lvl");

    p.RemoveLevel("LEVEL1.lvl");  // below the current index: the index follows
    EXPECT_EQ(p.GetLevelCount(), 3);
    EXPECT_STREQ(p.GetLevel(0), "level2.lvl");
    EXPECT_EQ(p.GetCurrentLevelIndex(), 1);
    EXPECT_STREQ(p.GetCurrentLevel(), "level3.lvl");

    p.RemoveLevel("level4.lvl");  // above: nothing moves
    EXPECT_EQ(p.GetCurrentLevelIndex(), 1);

    p.RemoveLevel("level3.lvl");  // the current one: index drops, level follows it
    EXPECT_EQ(p.GetCurrentLevelIndex(), 0);
    EXPECT_STREQ(p.GetCurrentLevel(), "level2.lvl");

    p.RemoveLevel(p.GetLevel(0));  // the last one, passed as the stored string itself
    EXPECT_EQ(p.GetLevelCount(), 0);
    EXPECT_EQ(p.GetCurrentLevelIndex(), 0);
    EXPECT_EQ(p.GetCurrentLevel(), nullptr);

    p.RemoveLevel("absent.lvl");
    EXPECT_EQ(p.GetLevelCount(), 0);
}

}  // namespace
