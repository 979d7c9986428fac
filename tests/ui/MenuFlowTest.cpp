// The profile screens driven the way the mode machine drives them: real
// widgets, clicks at their positions, files on disk.
#include "ui/MenuScreensFixture.h"

namespace {

class MenuFlow : public menutest::MenuScreensTest {
protected:
    // One frame of the common menu input with a left click at (x, y).
    int32_t Click(float x, float y)
    {
        return UpdateScreenObjects(&widgets, x, y, 1, 10.0f, nullptr);
    }
    // The profile dialog's frame: rows gated around the common input.
    int32_t ProfileDialogClick(float x, float y)
    {
        ProfileDialogBeforeInput(ctx);
        int32_t command = Click(x, y);
        if (command >= kCmdProfileRow0 && command <= kCmdProfileRow4)
            profileList.SelectRow(command - kCmdProfileRow0);
        ProfileDialogAfterInput(ctx, x, y, 1);
        return command;
    }
    void EnterProfiles() { ASSERT_EQ(EnterProfileDialog(ctx), 0); }
    int32_t EnterNewProfile(bool fromProfiles)
    {
        int32_t index = -1;
        EXPECT_EQ(EnterNewProfileDialog(ctx, fromProfiles, &index), 0);
        EXPECT_EQ(profileList.GetSelected(), -1);
        return index;
    }
    void Type(const std::string& keys)
    {
        for (char c : keys)
            GMProfileList::EditName(static_cast<unsigned char>(c), typed);
        ctx.typedName = typed.empty() ? nullptr : typed.c_str();
    }
    void LeaveNewProfile(int32_t newIndex)
    {
        LeaveNewProfileDialog(ctx, newIndex, typed.c_str());
        typed.clear();
        ctx.typedName = nullptr;
    }

    std::string typed;
};

TEST_F(MenuFlow, FirstStartAsksForANameWithoutCancelAndWritesTheProfile)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    ASSERT_EQ(profileList.FillProfileList(profile.GetFileName(), "Menu\\ScrollThumb.img", &manager, device), 0);
    profileList.Select(0);
    ASSERT_EQ(profileList.LoadSelectedProfile(&profile), 1);  // no profile at all

    typed = "Player";
    ctx.typedName = typed.c_str();
    int32_t newIndex = EnterNewProfile(false);
    EXPECT_EQ(FindWidget(&widgets, kCmdNewProfileCancel), nullptr);
    EXPECT_EQ(Click(342.0f, 333.0f), 0);  // where Cancel would be
    EXPECT_EQ(Click(616.0f, 300.0f), 0);  // Play lies under the dialog

    Type("\b\b\b\b\b\bMia");
    EXPECT_EQ(typed, "Mia");
    EXPECT_EQ(Click(503.0f, 333.0f), kCmdNewProfileOk);
    LeaveNewProfile(newIndex);

    EXPECT_TRUE(std::filesystem::exists(dir.File("Mia.prf")));
    EXPECT_STREQ(profile.GetDisplayName(), "Mia");
    EXPECT_STREQ(profile.GetFileName(), "Mia.prf");
    EXPECT_EQ(FindWidget(&widgets, kCmdNewProfileWindow), nullptr);
    EXPECT_EQ(widgets.GetCount(), 8);  // the main menu's own widgets remain
}

TEST_F(MenuFlow, ProfilesCreateSelectAndDelete)
{
    profile.SetDisplayName("Mia");
    ASSERT_EQ(profile.SaveProfile("Mia.prf"), 0);
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    EnterProfiles();
    ASSERT_EQ(profileList.GetCount(), 1);
    EXPECT_EQ(profileList.GetSelected(), 0);

    // Deleting the only profile is refused.
    EXPECT_EQ(ProfileDialogClick(262.0f, 509.0f), kCmdProfileDelete);
    EXPECT_FALSE(DeleteSelectedProfile(ctx));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Mia.prf")));
    // A row without a profile takes no click.
    EXPECT_EQ(ProfileDialogClick(400.0f, 339.0f), 0);

    // Create: the new-profile dialog over the list, this time with Cancel.
    EXPECT_EQ(ProfileDialogClick(400.0f, 183.0f), kCmdProfileCreate);
    int32_t newIndex = EnterNewProfile(true);
    EXPECT_NE(FindWidget(&widgets, kCmdNewProfileCancel), nullptr);
    Type("Ned");
    EXPECT_EQ(Click(503.0f, 333.0f), kCmdNewProfileOk);
    LeaveNewProfile(newIndex);
    EXPECT_STREQ(profile.GetFileName(), "Ned.prf");

    // Back in the profile dialog: both are listed, the new one selected.
    EnterProfiles();
    ASSERT_EQ(profileList.GetCount(), 2);
    EXPECT_STREQ(profileList.GetName(profileList.GetSelected()), "Ned");
    EXPECT_EQ(ProfileDialogClick(400.0f, 229.0f), kCmdProfileRow0);
    EXPECT_STREQ(profileList.GetName(profileList.GetSelected()), "Mia");
    EXPECT_TRUE(FindWidget(&widgets, kCmdProfileRow0)->IsHighlighted());

    EXPECT_EQ(ProfileDialogClick(262.0f, 509.0f), kCmdProfileDelete);
    EXPECT_TRUE(DeleteSelectedProfile(ctx));
    EXPECT_FALSE(std::filesystem::exists(dir.File("Mia.prf")));
    EXPECT_EQ(profileList.GetCount(), 1);

    // Done: the selected entry becomes the current profile.
    EXPECT_EQ(ProfileDialogClick(553.0f, 509.0f), kCmdProfilesDone);
    LeaveProfileDialog(ctx);
    EXPECT_STREQ(profile.GetDisplayName(), "Ned");
    EXPECT_STREQ(profile.GetFileName(), "Ned.prf");
    EXPECT_EQ(profileList.GetCount(), 0);
}

TEST_F(MenuFlow, CancelKeepsTheCurrentProfileAndWritesNothing)
{
    profile.SetDisplayName("Mia");
    ASSERT_EQ(profile.SaveProfile("Mia.prf"), 0);
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    EnterProfiles();
    int32_t newIndex = EnterNewProfile(true);
    Type("Zed");
    EXPECT_EQ(Click(342.0f, 333.0f), kCmdNewProfileCancel);
    typed.clear();  // cancel discards the typed name
    LeaveNewProfile(newIndex);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Zed.prf")));
    EXPECT_STREQ(profile.GetDisplayName(), "Mia");
    EXPECT_EQ(FindWidget(&widgets, kCmdProfilesWindow), nullptr);
}

TEST_F(MenuFlow, ScrollArrowsAndThumbFollowALongList)
{
    for (const char* n : {"Ann", "Bo", "Cy", "Di", "Ed", "Flo", "Gus", "Hal"}) {
        GMProfile p;
        p.SetDisplayName(n);
        ASSERT_EQ(p.SaveProfile((std::string(n) + ".prf").c_str()), 0);
    }
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    EnterProfiles();
    EXPECT_EQ(ProfileDialogClick(590.0f, 451.0f), kCmdProfileScrollDown);
    profileList.ScrollTo(profileList.GetFirstVisible() + 1);
    EXPECT_EQ(profileList.GetFirstVisible(), 1);
    EXPECT_EQ(ProfileDialogClick(400.0f, 449.0f), kCmdProfileRow4);
    EXPECT_STREQ(profileList.GetName(profileList.GetSelected()), "Flo");
    // A click at the bottom of the track scrolls to the end.
    ProfileDialogClick(590.0f, 419.0f);
    EXPECT_EQ(profileList.GetFirstVisible(), 3);
    float x = 0.0f, y = 0.0f;
    profileList.GetThumbCentre(&x, &y);
    EXPECT_FLOAT_EQ(y, 419.0f);
}

}  // namespace
