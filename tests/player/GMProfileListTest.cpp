#include "player/GMPlayerStore.h"
#include "player/GMProfile.h"
#include "player/GMProfileList.h"
#include "player/PlayerFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ProfileList : public ::testing::Test {
protected:
    void SetUp() override { GMPlayerStore::ResetNotices(); }
    void TearDown() override { GMPlayerStore::ResetNotices(); }

    void MakeProfile(const std::string& name, int32_t money = 0)
    {
        GMProfile p;
        p.SetDisplayName(name.c_str());
        p.SetMoney(money);
        ASSERT_EQ(p.SaveProfile((name + ".prf").c_str()), 0);
    }

    TempDir dir;
    ScopedChdir cd{dir.Path()};
    GMProfileList list;
};

TEST_F(ProfileList, FillListsEveryProfileAndSelectsTheCurrentFile)
{
    for (const char* n : {"Ann", "Bert", "Cleo", "Dora", "Emil", "Finn", "Gus", "Hal"})
        MakeProfile(n);
    dir.Write("notes.txt", "not a profile");
    ASSERT_EQ(list.FillProfileList("gus.PRF", nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(list.GetCount(), 8);
    EXPECT_STREQ(list.GetName(0), "Ann");
    EXPECT_STREQ(list.GetName(7), "Hal");
    EXPECT_EQ(list.GetSelected(), 6);
    // Scrolled to put the selection in the middle, limited to count - rows.
    EXPECT_EQ(list.GetFirstVisible(), 3);
    EXPECT_EQ(list.GetVisibleRows(), 5);
    EXPECT_EQ(list.GetFont(), nullptr);  // no device: no font, no failure

    ASSERT_EQ(list.FillProfileList("nobody.prf", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(list.GetSelected(), -1);
    EXPECT_EQ(list.GetFirstVisible(), 0);
}

TEST_F(ProfileList, RenamedOrDamagedProfilesAreKeptAsideAndNotListed)
{
    MakeProfile("Ann");
    MakeProfile("Bert");
    MakeProfile("Cleo", 40);
    // Written under another name: unreadable under this one.
    std::filesystem::rename(dir.File("Bert.prf"), dir.File("Zed.prf"));
    // Cut short inside its money: what was read stays under its name.
    std::string cleo = ReadScrambled(dir, "Cleo.prf");
    WriteScrambled(dir, "Cleo.prf", cleo.substr(0, cleo.size() - 2));
    ASSERT_EQ(list.FillProfileList("", nullptr, nullptr, nullptr), 0);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_STREQ(list.GetName(0), "Ann");
    EXPECT_STREQ(list.GetName(1), "Cleo");
    EXPECT_TRUE(std::filesystem::exists(dir.File("Zed.prf.damaged")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("Zed.prf")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Cleo.prf.damaged")));
    EXPECT_TRUE(GMProfile::IsWholeFile("Cleo.prf"));
    int told = 0;
    for (std::string text; GMPlayerStore::TakeNotice(&text);)
        ++told;
    EXPECT_EQ(told, 2);

    list.Select(1);
    GMProfile p;
    EXPECT_EQ(list.LoadSelectedProfile(&p), 0);
    EXPECT_STREQ(p.GetFileName(), "Cleo.prf");
    EXPECT_EQ(p.GetMoney(), 0);  // the cut number is not read
}

TEST_F(ProfileList, NamesAreTrimmedOfSurroundingSpaces)
{
    MakeProfile("Mia", 12);
    ASSERT_EQ(list.FillProfileList("", nullptr, nullptr, nullptr), 0);
    list.AddBlankEntry(true);
    list.SetSelectedName("  Mia   ");
    EXPECT_STREQ(list.GetName(1), "Mia");
    ASSERT_EQ(list.CreateProfileFile(list.GetSelected()), 0);
    // The same player, with the progress kept: no second "Mia".
    EXPECT_FALSE(std::filesystem::exists(dir.File("  Mia   .prf")));
    GMProfile p;
    ASSERT_EQ(list.LoadSelectedProfile(&p), 0);
    EXPECT_STREQ(p.GetDisplayName(), "Mia");
    EXPECT_EQ(p.GetMoney(), 12);
    EXPECT_EQ(list.FindName(" mia "), 0);
    EXPECT_EQ(list.FindName("   "), -1);
    EXPECT_EQ(GMProfileList::TrimName(" a b "), "a b");
    EXPECT_EQ(GMProfileList::TrimName(nullptr), "");
}

TEST_F(ProfileList, AProfileThatCannotBeWrittenIsPlayedUnderItsNameAndTheFailureTold)
{
    std::filesystem::create_directory(dir.File("Mia.prf.tmp"));  // the write cannot happen
    list.AddBlankEntry(true);
    list.SetSelectedName("Mia");
    ASSERT_EQ(list.CreateProfileFile(list.GetSelected()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Mia.prf")));
    GMProfile p;
    ASSERT_EQ(list.LoadSelectedProfile(&p), 0);
    EXPECT_STREQ(p.GetDisplayName(), "Mia");
    EXPECT_STREQ(p.GetFileName(), "Mia.prf");
    std::string text;
    ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
    EXPECT_NE(text.find("Progress cannot be saved"), std::string::npos);
    EXPECT_FALSE(GMPlayerStore::TakeNotice(&text));
}

TEST_F(ProfileList, SelectAndScrollStayInRange)
{
    list.Select(3);
    EXPECT_EQ(list.GetSelected(), -1);  // no entries
    for (int i = 0; i < 7; ++i)
        ASSERT_NE(list.AddBlankEntry(false), nullptr);
    list.Select(10);
    EXPECT_EQ(list.GetSelected(), 6);
    list.Select(-4);
    EXPECT_EQ(list.GetSelected(), -1);
    list.ScrollTo(9);
    EXPECT_EQ(list.GetFirstVisible(), 2);
    list.ScrollTo(-3);
    EXPECT_EQ(list.GetFirstVisible(), 0);
    list.ScrollTo(1);
    list.SelectRow(4);
    EXPECT_EQ(list.GetSelected(), 5);
    list.AddBlankEntry(true);
    EXPECT_EQ(list.GetSelected(), 7);
}

TEST_F(ProfileList, CreateProfileFileWritesNameDotPrfAndKeepsExistingProgress)
{
    MakeProfile("Ann", 55);
    ASSERT_EQ(list.FillProfileList("", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(list.CreateProfileFile(5), 1);
    list.AddBlankEntry(true);
    EXPECT_EQ(list.CreateProfileFile(list.GetSelected()), 2);  // no name typed
    list.SetSelectedName("Ann");
    EXPECT_EQ(list.CreateProfileFile(list.GetSelected()), 0);
    GMProfile p;
    ASSERT_EQ(p.LoadProfile("Ann.prf"), 0);
    EXPECT_EQ(p.GetMoney(), 55);

    list.AddBlankEntry(true);
    list.SetSelectedName("Nova");
    EXPECT_EQ(list.CreateProfileFile(list.GetSelected()), 0);
    ASSERT_EQ(p.LoadProfile("Nova.prf"), 0);
    EXPECT_STREQ(p.GetDisplayName(), "Nova");
    EXPECT_EQ(list.FindName("NOVA"), 2);
    EXPECT_EQ(list.FindName(""), -1);
    EXPECT_EQ(list.FindName("Zed"), -1);
}

TEST_F(ProfileList, DeleteRemovesEntryAndFileAndClampsIndex)
{
    for (const char* n : {"Ann", "Bert", "Cleo", "Dora", "Emil", "Finn"})
        MakeProfile(n);
    ASSERT_EQ(list.FillProfileList("Finn.prf", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(list.GetSelected(), 5);
    EXPECT_EQ(list.GetFirstVisible(), 1);

    EXPECT_EQ(list.DeleteProfileEntry(list.GetSelected(), true), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Finn.prf")));
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.GetSelected(), 4);      // selection brought back into range
    EXPECT_EQ(list.GetFirstVisible(), 0);  // so is the scroll position

    list.DeleteProfileEntry(-7, false);  // the first entry, file kept
    EXPECT_TRUE(std::filesystem::exists(dir.File("Ann.prf")));
    EXPECT_STREQ(list.GetName(0), "Bert");
    list.DeleteProfileEntry(99, true);  // the last entry
    EXPECT_FALSE(std::filesystem::exists(dir.File("Emil.prf")));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetSelected(), 2);

    GMProfileList empty;
    EXPECT_EQ(empty.DeleteProfileEntry(0, true), 0);
}

TEST_F(ProfileList, ThumbMovesAlongTheTrackWithTheScrollPosition)
{
    for (int i = 0; i < 9; ++i)
        list.AddBlankEntry(false);
    list.SetScrollBar(590.0f, 258.0f, 590.0f, 419.0f);
    float x = 0.0f, y = 0.0f;
    list.GetThumbCentre(&x, &y);
    EXPECT_FLOAT_EQ(y, 258.0f);
    list.ScrollTo(4);
    list.GetThumbCentre(&x, &y);
    EXPECT_FLOAT_EQ(x, 590.0f);
    EXPECT_FLOAT_EQ(y, 419.0f);
    list.ScrollTo(2);
    list.GetThumbCentre(&x, &y);
    EXPECT_FLOAT_EQ(y, 258.0f + 0.5f * 161.0f);

    // A click on the track scrolls there; elsewhere, or a right click, does not.
    EXPECT_TRUE(list.HandleScrollBar(590.0f, 258.0f, 1));
    EXPECT_EQ(list.GetFirstVisible(), 0);
    EXPECT_TRUE(list.HandleScrollBar(591.0f, 400.0f, 1));
    EXPECT_EQ(list.GetFirstVisible(), 4);
    EXPECT_FALSE(list.HandleScrollBar(300.0f, 300.0f, 1));
    EXPECT_FALSE(list.HandleScrollBar(590.0f, 300.0f, 2));
    EXPECT_EQ(list.GetFirstVisible(), 4);
}

TEST_F(ProfileList, ClearListResetsLayout)
{
    list.AddBlankEntry(true);
    list.SetTextLayout(244.0f, 237.0f, 0.0f, 55.0f);
    list.ClearList();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetSelected(), -1);
    EXPECT_EQ(list.GetFirstVisible(), 0);
}

TEST(EditName, TakesLettersDigitsAndSpacesUpToTenCharacters)
{
    std::string name;
    EXPECT_FALSE(GMProfileList::EditName('-', name));
    EXPECT_FALSE(GMProfileList::EditName(8, name));  // backspace on no name
    EXPECT_TRUE(name.empty());
    EXPECT_TRUE(GMProfileList::EditName(' ', name));
    for (char c : std::string("Ab3xyzQw9"))
        EXPECT_TRUE(GMProfileList::EditName(c, name));
    EXPECT_EQ(name, " Ab3xyzQw9");
    EXPECT_FALSE(GMProfileList::EditName('k', name));  // an eleventh character
    EXPECT_EQ(name.size(), 10u);
    EXPECT_TRUE(GMProfileList::EditName(8, name));
    EXPECT_FALSE(GMProfileList::EditName('.', name));
    EXPECT_FALSE(GMProfileList::EditName('-', name));
    EXPECT_FALSE(GMProfileList::EditName('@', name));
    EXPECT_FALSE(GMProfileList::EditName(13, name));
    EXPECT_EQ(name, " Ab3xyzQw");
}

TEST(EditName, BackspaceOnOneCharacterLeavesNoName)
{
    std::string name;
    ASSERT_TRUE(GMProfileList::EditName('Z', name));
    ASSERT_TRUE(GMProfileList::EditName(8, name));
    EXPECT_TRUE(name.empty());
    EXPECT_FALSE(GMProfileList::EditName(0, name));
}

}  // namespace
