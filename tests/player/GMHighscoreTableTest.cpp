#include "player/GMHighscoreTable.h"
#include "player/GMPlayerStore.h"
#include "core/TaggedFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class Highscores : public ::testing::Test {
protected:
    void SetUp() override { GMPlayerStore::ResetNotices(); }
    void TearDown() override { GMPlayerStore::ResetNotices(); }

    // Entries as the tools read them, and whether the file read back whole.
    std::vector<GMHighscoreTable::Entry> ReadFile(const std::string& name, bool* whole)
    {
        std::vector<GMHighscoreTable::Entry> rows;
        EXPECT_TRUE(ReadHighscoreFile(
            name.c_str(), table.GetKey(), GMHighscoreTable::kKeyLength,
            [](void* context, const char* n, int32_t score) {
                static_cast<std::vector<GMHighscoreTable::Entry>*>(context)->push_back({n, score});
            },
            &rows, nullptr, whole));
        return rows;
    }

    // The file's plain bytes, descrambled with the table's key.
    std::string PlainFile(const std::string& name)
    {
        std::string bytes = dir.Read(name);
        std::string plain;
        const uint8_t* key = table.GetKey();
        int k = 0;
        size_t i = 0;
        while (i + 4 <= bytes.size()) {
            auto len = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8 |
                                             static_cast<uint8_t>(bytes[i + 2]) << 16 |
                                             static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 3])) << 24);
            plain += "[" + std::to_string(len) + "]";
            i += 4;
            for (uint32_t j = 0; j < len && i < bytes.size(); ++j, ++i) {
                plain += static_cast<char>(static_cast<uint8_t>(bytes[i]) - key[k]);
                k = (k + 1) % GMHighscoreTable::kKeyLength;
            }
        }
        return plain;
    }

    TempDir dir;
    ScopedChdir cd{dir.Path()};
    GMHighscoreTable table;
};

std::string Le(int32_t v)
{
    auto u = static_cast<uint32_t>(v);
    return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16), static_cast<char>(u >> 24)};
}

TEST_F(Highscores, WithoutAFileTheDefaultTableHasTenEntries)
{
    ASSERT_EQ(table.LoadHighscores("highscores.dat", nullptr, nullptr), 0);
    ASSERT_EQ(table.GetCount(), 10);
    EXPECT_EQ(table.GetHighlighted(), -1);
    for (int32_t row = 0; row < 10; ++row) {
        const auto* e = table.GetEntry(row);
        EXPECT_EQ(e->score, (10 - row) * 1000);
        EXPECT_LE(e->name.size(), 10u);
        for (char c : e->name)
            EXPECT_TRUE(c >= 'A' && c <= 'Z') << e->name;
    }
    EXPECT_EQ(table.DrawHighscores(nullptr), 1);  // no font without a device
}

TEST_F(Highscores, ScoreOf4000OnAFreshTableRanksSeventhAndPushesOut1000)
{
    ASSERT_EQ(table.LoadHighscores("highscores.dat", nullptr, nullptr), 0);
    EXPECT_EQ(table.InsertHighscore("Ada", 4000), 6);
    EXPECT_EQ(table.GetHighlighted(), 6);
    EXPECT_EQ(table.GetCount(), 11);
    EXPECT_EQ(table.GetEntry(5)->score, 5000);
    EXPECT_EQ(table.GetEntry(6)->name, "Ada");
    EXPECT_EQ(table.GetEntry(7)->score, 4000);
    EXPECT_EQ(table.GetEntry(10)->score, 1000);

    ASSERT_EQ(table.SaveHighscores("highscores.dat"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("highscores.dat.tmp")));
    GMHighscoreTable again;
    ASSERT_EQ(again.LoadHighscores("highscores.dat", nullptr, nullptr), 0);
    ASSERT_EQ(again.GetCount(), 10);
    EXPECT_EQ(again.GetEntry(6)->name, "Ada");
    EXPECT_EQ(again.GetEntry(9)->score, 2000);
    EXPECT_EQ(again.GetHighlighted(), -1);
}

TEST_F(Highscores, FileIsACountBlockThenNameAndScoreBlocks)
{
    table.InsertHighscore("Bo", 70);
    table.InsertHighscore("Cy", 900);
    ASSERT_EQ(table.SaveHighscores("highscores.dat"), 0);
    EXPECT_EQ(PlainFile("highscores.dat"), "[4]" + Le(2) + "[2]Cy[4]" + Le(900) + "[2]Bo[4]" + Le(70));
    // The names are scrambled on disk.
    EXPECT_EQ(dir.Read("highscores.dat").find("Cy"), std::string::npos);
}

TEST_F(Highscores, NewScoreRanksAboveOlderEqualScores)
{
    EXPECT_EQ(table.InsertHighscore("A", 500), 0);
    EXPECT_EQ(table.InsertHighscore("B", 500), 0);
    EXPECT_EQ(table.InsertHighscore("C", 100), 2);
    EXPECT_EQ(table.InsertHighscore("D", 800), 0);
    EXPECT_EQ(table.GetEntry(1)->name, "B");
    EXPECT_EQ(table.GetEntry(2)->name, "A");
}

TEST_F(Highscores, EmptyOrMissingNameIsStoredAsPlayer)
{
    table.InsertHighscore("", 10);
    table.InsertHighscore(nullptr, 5);
    EXPECT_EQ(table.GetEntry(0)->name, "Player");
    EXPECT_EQ(table.GetEntry(1)->name, "Player");
}

TEST_F(Highscores, LowestScoreGoesBelowRowTenAndIsNotSaved)
{
    table.LoadHighscores("highscores.dat", nullptr, nullptr);
    EXPECT_EQ(table.InsertHighscore("Low", 10), 10);
    ASSERT_EQ(table.SaveHighscores("highscores.dat"), 0);
    GMHighscoreTable again;
    again.LoadHighscores("highscores.dat", nullptr, nullptr);
    EXPECT_EQ(again.GetCount(), 10);
    EXPECT_EQ(again.GetEntry(9)->score, 1000);
}

TEST_F(Highscores, ACutShortFileIsKeptAsideAndTheDefaultTableShown)
{
    table.InsertHighscore("Alpha", 300);
    table.InsertHighscore("Beta", 200);
    table.InsertHighscore("Gamma", 100);
    ASSERT_EQ(table.SaveHighscores("full.dat"), 0);
    std::string full = dir.Read("full.dat");
    // Count block 8 bytes, then each entry: 4 + 5 or 4 + 4 name bytes, 8 score bytes.
    const size_t afterFirst = 8 + 9 + 8, afterSecond = afterFirst + 8 + 8;
    struct Cut {
        size_t length;
        size_t entries;
    };
    for (Cut cut : {Cut{0, 0}, Cut{3, 0}, Cut{8, 0}, Cut{14, 0}, Cut{afterFirst - 1, 0}, Cut{afterFirst, 1},
                    Cut{afterFirst + 6, 1}, Cut{afterSecond, 2}, Cut{full.size() - 1, 2}}) {
        dir.Write("highscores.dat", full.substr(0, cut.length));
        bool whole = true;
        // The tools still see the entries read completely before the cut.
        std::vector<GMHighscoreTable::Entry> rows = ReadFile("highscores.dat", &whole);
        EXPECT_FALSE(whole) << "cut at " << cut.length;
        EXPECT_EQ(rows.size(), cut.entries) << "cut at " << cut.length;

        GMHighscoreTable t;
        ASSERT_EQ(t.LoadHighscores("highscores.dat", nullptr, nullptr), 0);
        ASSERT_EQ(t.GetCount(), 10) << "cut at " << cut.length;
        EXPECT_EQ(t.GetEntry(0)->score, 10000);
        EXPECT_FALSE(std::filesystem::exists(dir.File("highscores.dat")));
        std::string text;
        ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
        EXPECT_EQ(text, "The highscore table was damaged. It is kept aside as \"highscores.dat.damaged\". "
                        "The default table is shown instead.");
        EXPECT_EQ(dir.Read("highscores.dat.damaged"), full.substr(0, cut.length));
        std::filesystem::remove(dir.File("highscores.dat.damaged"));
        GMPlayerStore::ResetNotices();  // the same text is told only once a run
    }
    bool whole = false;
    EXPECT_EQ(ReadFile("full.dat", &whole).size(), 3u);
    EXPECT_TRUE(whole);
    GMHighscoreTable t;
    t.LoadHighscores("full.dat", nullptr, nullptr);
    EXPECT_EQ(t.GetCount(), 3);
    EXPECT_TRUE(std::filesystem::exists(dir.File("full.dat")));
}

TEST_F(Highscores, CountsOutsideZeroToTenAreDamaged)
{
    for (int32_t count : {-1, 11, 0x7fffffff}) {
        FileKey key;
        key.SetRaw(table.GetKey(), GMHighscoreTable::kKeyLength);
        std::string plain = Le(count);
        std::string bytes = Le(4);
        for (char c : plain)
            bytes += static_cast<char>(static_cast<uint8_t>(c) + key.Next());
        dir.Write("odd.dat", bytes);
        bool whole = true;
        ReadFile("odd.dat", &whole);
        EXPECT_FALSE(whole) << count;
        EXPECT_FALSE(IsWholeHighscoreFile("odd.dat")) << count;
    }
    ASSERT_EQ(GMHighscoreTable().SaveHighscores("empty.dat"), 0);
    EXPECT_TRUE(IsWholeHighscoreFile("empty.dat"));  // a count of 0 is a table
}

TEST_F(Highscores, SavingOverADamagedFileKeepsItAsideFirst)
{
    dir.Write("highscores.dat", "not a table");
    table.InsertHighscore("A", 1);
    ASSERT_EQ(table.SaveHighscores("highscores.dat"), 0);
    EXPECT_EQ(dir.Read("highscores.dat.damaged"), "not a table");
    EXPECT_TRUE(IsWholeHighscoreFile("highscores.dat"));
}

TEST_F(Highscores, AFailedSaveKeepsTheOldTableAndTellsThePlayerOnce)
{
    table.InsertHighscore("A", 1);
    ASSERT_EQ(table.SaveHighscores("highscores.dat"), 0);
    std::string before = dir.Read("highscores.dat");
    std::filesystem::create_directory(dir.File("highscores.dat.tmp"));
    table.InsertHighscore("B", 2);
    EXPECT_EQ(table.SaveHighscores("highscores.dat"), 2);
    EXPECT_EQ(table.SaveHighscores("highscores.dat"), 2);
    EXPECT_EQ(dir.Read("highscores.dat"), before);
    std::string text;
    ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
    EXPECT_NE(text.find("Progress cannot be saved"), std::string::npos);
    EXPECT_FALSE(GMPlayerStore::TakeNotice(&text));
}

TEST_F(Highscores, GarbageOrForeignKeyNeverCrashes)
{
    std::string junk;
    for (int i = 0; i < 3000; ++i)
        junk += static_cast<char>((i * 7919) >> 3);
    dir.Write("highscores.dat", junk);
    GMHighscoreTable t;
    EXPECT_EQ(t.LoadHighscores("highscores.dat", nullptr, nullptr), 0);
    EXPECT_EQ(t.GetCount(), 10);  // the default table
    EXPECT_EQ(dir.Read("highscores.dat.damaged"), junk);
    for (int32_t row = 0; row < t.GetCount(); ++row)
        EXPECT_LT(t.GetEntry(row)->name.size(), 260u);
}

TEST_F(Highscores, SavingNeedsAWritablePlaceAndANonEmptyName)
{
    table.InsertHighscore("A", 1);
    EXPECT_EQ(table.SaveHighscores(""), 0);
    EXPECT_EQ(table.SaveHighscores("missing-dir/highscores.dat"), 2);
    EXPECT_EQ(table.LoadHighscores("", nullptr, nullptr), 0);
    EXPECT_EQ(table.GetCount(), 1);  // an empty name leaves the table alone
}

TEST_F(Highscores, ClearEmptiesTheTable)
{
    table.LoadHighscores("highscores.dat", nullptr, nullptr);
    table.InsertHighscore("A", 1);
    table.ClearHighscores();
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(table.GetHighlighted(), -1);
}

}  // namespace
