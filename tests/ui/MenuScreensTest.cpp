#include "ui/MenuScreensFixture.h"

namespace {

using menutest::MenuScreensTest;

TEST_F(MenuScreensTest, MainMenuHasItsButtonsWhereTheyBelong)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    EXPECT_NE(ctx.background, nullptr);
    EXPECT_NE(ctx.font, nullptr);
    EXPECT_EQ(widgets.GetCount(), 8);
    ExpectAt(kCmdPlay, 616, 300);
    ExpectAt(kCmdHighscores, 616, 350);
    ExpectAt(kCmdHelp, 616, 400);
    ExpectAt(kCmdOptions, 616, 450);
    ExpectAt(kCmdExit, 616, 500);
    ExpectAt(kCmdProfiles, 616, 249);
    ExpectAt(kCmdPortal, 109.3f, 540.3f);
    ExpectAt(0, 261, 595);
    EXPECT_STREQ(FindWidget(&widgets, kCmdPlay)->GetImageName(1), "Menu\\PlayBtnI.img");
    EXPECT_STREQ(FindWidget(&widgets, kCmdPlay)->GetImageName(0), "Menu\\PlayBtnH.img");
    EXPECT_STREQ(FindWidget(&widgets, kCmdPortal)->GetImageName(0), "Halvenport\\logo_a.img");
}

TEST_F(MenuScreensTest, MainMenuGoesOnWithoutLogoButFailsWithoutAButtonOrBackground)
{
    data.Remove("Halvenport\\logo_a.img");
    data.Remove("Halvenport\\copyright.img");
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    EXPECT_EQ(widgets.GetCount(), 6);
    EXPECT_EQ(FindWidget(&widgets, kCmdPortal), nullptr);
    DiscardMenuInterface(ctx);
    manager.ReleaseAll();

    data.Remove("Menu\\HelpBtnH.img");
    EXPECT_EQ(BuildMainMenu(ctx), 2);
    DiscardMenuInterface(ctx);
    manager.ReleaseAll();
    data.Remove("Menu\\MainMenuBk.img");
    EXPECT_EQ(BuildMainMenu(ctx), 2);
    EXPECT_EQ(widgets.GetCount(), 0);
}

TEST_F(MenuScreensTest, DialogsOpenOverTheMainMenuAndDisableIt)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    ASSERT_EQ(BuildNewGameQuestion(ctx), 0);
    ExpectAt(kCmdContinueWindow, 400, 300);
    ExpectAt(kCmdContinue, 400, 370);
    ExpectAt(kCmdNewGame, 400, 420);
    auto all = Widgets();
    EXPECT_FALSE(all[kCmdPlay].enabled);
    EXPECT_FALSE(all[kCmdContinueWindow].enabled);
    EXPECT_TRUE(all[kCmdContinue].enabled);
    EXPECT_TRUE(all[kCmdNewGame].enabled);

    SetDialogGroup(kDialogClose, &widgets, kGroupContinue);
    ASSERT_EQ(BuildExitQuestion(ctx), 0);
    ExpectAt(kCmdExitWindow, 400, 300);
    ExpectAt(kCmdExitNo, 322, 336);
    ExpectAt(kCmdQuit, 522, 336);
    EXPECT_TRUE(Widgets()[kCmdQuit].enabled);

    data.Remove("Menu\\YesBtnI.img");
    manager.ReleaseAll();
    SetDialogGroup(kDialogClose, &widgets, kGroupExit);
    EXPECT_EQ(BuildExitQuestion(ctx), 2);
}

TEST_F(MenuScreensTest, OptionsHaveTheFullScreenBoxUnlessTheDesktopIsExactly800x600)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    ASSERT_EQ(BuildOptions(ctx), 0);
    EXPECT_FLOAT_EQ(progress, 0.375f);
    ExpectAt(kCmdOptionsWindow, 400, 300);
    ExpectAt(kCmdOptionsDone, 400, 354);
    ExpectAt(kCmdMusicDown, 395, 187);
    ExpectAt(kCmdMusicUp, 499, 187);
    ExpectAt(kCmdEffectsDown, 395, 242);
    ExpectAt(kCmdEffectsUp, 499, 242);
    ExpectAt(kCmdFullScreen, 333, 297);
    EXPECT_STREQ(FindWidget(&widgets, kCmdFullScreen)->GetImageName(1), "Menu\\UnCheckBtnI.img");
    EXPECT_FALSE(Widgets()[kCmdPlay].enabled);
    EXPECT_TRUE(Widgets()[kCmdFullScreen].enabled);

    SetDialogGroup(kDialogClose, &widgets, kGroupOptions);
    ctx.windowed = false;
    ASSERT_EQ(BuildOptions(ctx), 0);
    EXPECT_STREQ(FindWidget(&widgets, kCmdFullScreen)->GetImageName(0), "Menu\\CheckBtnH.img");

    for (auto [w, h] : {std::pair{800, 600}, std::pair{800, 768}, std::pair{1024, 600}}) {
        SetDialogGroup(kDialogClose, &widgets, kGroupOptions);
        ctx.desktopWidth = w;
        ctx.desktopHeight = h;
        ASSERT_EQ(BuildOptions(ctx), 0);
        EXPECT_EQ(FindWidget(&widgets, kCmdFullScreen) == nullptr, w == 800 && h == 600) << w << " x " << h;
    }
}

TEST_F(MenuScreensTest, OptionsOverThePauseMenuBringTheirOwnFont)
{
    ASSERT_EQ(BuildPause(ctx), 0);
    EXPECT_EQ(ctx.font, nullptr);
    ASSERT_EQ(BuildOptions(ctx), 0);
    EXPECT_NE(ctx.font, nullptr);
    data.Remove("FontStd.img");
    manager.ReleaseAll();
    SafeRelease(ctx.font);
    SetDialogGroup(kDialogClose, &widgets, kGroupOptions);
    EXPECT_EQ(BuildOptions(ctx), 2);
}

TEST_F(MenuScreensTest, VolumeDigitsRoundAsShown)
{
    EXPECT_EQ(VolumeDigit(0.3f), 3);
    EXPECT_EQ(VolumeDigit(0.3f - 0.1f), 2);
    EXPECT_EQ(VolumeDigit(0.8f), 8);
    EXPECT_EQ(VolumeDigit(1.0f), 10);
    EXPECT_EQ(VolumeDigit(0.0f), 0);
    float v = 0.8f;
    for (int i = 0; i < 7; ++i)
        v -= 0.1f;
    EXPECT_EQ(VolumeDigit(v), 1);  // 0.0999..., which must not show as 0
}

TEST_F(MenuScreensTest, NewProfileDialogHasNoCancelForTheVeryFirstPlayer)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    ASSERT_EQ(BuildNewProfile(ctx), 0);
    EXPECT_EQ(FindWidget(&widgets, kCmdNewProfileCancel), nullptr);
    ExpectAt(kCmdNewProfileWindow, 400, 300);
    ExpectAt(kCmdNewProfileOk, 503, 333);
    EXPECT_FALSE(Widgets()[kCmdPlay].enabled);

    CloseNewProfileDialog(ctx);
    EXPECT_EQ(FindWidget(&widgets, kCmdNewProfileOk), nullptr);
    profile.SetDisplayName("Ada");
    ASSERT_EQ(profile.SaveProfile("Ada.prf"), 0);
    ASSERT_EQ(BuildNewProfile(ctx), 0);
    ExpectAt(kCmdNewProfileCancel, 342, 333);
}

TEST_F(MenuScreensTest, ProfileDialogRowsAndButtons)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    ASSERT_EQ(BuildProfiles(ctx), 0);
    const float rows[5] = {229, 284, 339, 394, 449};
    for (int r = 0; r < 5; ++r)
        ExpectAt(kCmdProfileRow0 + r, 400, rows[r]);
    ExpectAt(kCmdProfilesWindow, 400, 300);
    ExpectAt(kCmdProfilesDone, 553, 509);
    ExpectAt(kCmdProfileDelete, 262, 509);
    ExpectAt(kCmdProfileCreate, 400, 183);
    ExpectAt(kCmdProfileScrollDown, 590, 451);
    ExpectAt(kCmdProfileScrollUp, 590, 227);

    // Three profiles: rows 3 and 4 take no clicks until the input is done.
    for (const char* n : {"Ann", "Bo", "Cy"}) {
        GMProfile p;
        p.SetDisplayName(n);
        p.SaveProfile((std::string(n) + ".prf").c_str());
    }
    ASSERT_EQ(profileList.FillProfileList("Bo.prf", "Menu\\ScrollThumb.img", &manager, device), 0);
    EXPECT_NE(profileList.GetFont(), nullptr);
    EXPECT_NE(profileList.GetThumb(), nullptr);
    ProfileDialogBeforeInput(ctx);
    auto all = Widgets();
    EXPECT_TRUE(all[kCmdProfileRow0 + 2].enabled);
    EXPECT_FALSE(all[kCmdProfileRow0 + 3].enabled);
    EXPECT_FALSE(all[kCmdProfileRow0 + 4].enabled);
    ProfileDialogAfterInput(ctx, 0, 0, 0);
    EXPECT_TRUE(Widgets()[kCmdProfileRow0 + 4].enabled);
    EXPECT_TRUE(FindWidget(&widgets, kCmdProfileRow0 + 1)->IsHighlighted());
    EXPECT_FALSE(FindWidget(&widgets, kCmdProfileRow0)->IsHighlighted());
}

TEST_F(MenuScreensTest, DeletingIsRefusedWhileOnlyOneProfileExists)
{
    GMProfile p;
    p.SetDisplayName("Solo");
    p.SaveProfile("Solo.prf");
    ASSERT_EQ(profileList.FillProfileList("Solo.prf", nullptr, &manager, device), 0);
    EXPECT_FALSE(DeleteSelectedProfile(ctx));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Solo.prf")));

    p.SetDisplayName("Duo");
    p.SaveProfile("Duo.prf");
    ASSERT_EQ(profileList.FillProfileList("", nullptr, &manager, device), 0);
    EXPECT_FALSE(DeleteSelectedProfile(ctx));  // nothing selected
    profileList.Select(profileList.FindName("Solo"));
    EXPECT_TRUE(DeleteSelectedProfile(ctx));
    EXPECT_FALSE(std::filesystem::exists(dir.File("Solo.prf")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("Duo.prf")));
    EXPECT_FALSE(DeleteSelectedProfile(ctx));
}

TEST_F(MenuScreensTest, LevelButtonsComeFromTheProfileWithTheHighestPreselected)
{
    profile.AddLevel("level1.lvl");
    profile.AddLevel("level2.lvl");
    ASSERT_EQ(BuildSelectLevel(ctx), 0);
    EXPECT_FLOAT_EQ(progress, 1.0f);
    ExpectAt(-1, 0, 0);
    ExpectAt(-2, 0, 0);
    ExpectAt(kCmdMainMenu, 56, 560);
    ExpectAt(kCmdStartLevel, 743, 560);
    EXPECT_STREQ(FindWidget(&widgets, -2)->GetImageName(1), "Levels\\level2I.img");
    ASSERT_NE(ctx.selectedLevel, nullptr);
    EXPECT_EQ(ctx.selectedLevel->GetMark(), -2);
    EXPECT_TRUE(ctx.selectedLevel->IsHighlighted());
    EXPECT_EQ(ctx.selectedLevel->GetRefCount(), 2);  // the list's and the selection's
    EXPECT_EQ(LevelNumber(profile.GetLevel(1)), 2);

    // A click on the other button moves the selection.
    EXPECT_TRUE(SelectLevelButton(ctx, -1));
    EXPECT_EQ(ctx.selectedLevel->GetMark(), -1);
    EXPECT_FALSE(FindWidget(&widgets, -2)->IsHighlighted());
    EXPECT_FALSE(SelectLevelButton(ctx, -9));
}

TEST_F(MenuScreensTest, OneLevelSelectsNothingAndMissingPicturesAreSkipped)
{
    profile.AddLevel("level1.lvl");
    ASSERT_EQ(BuildSelectLevel(ctx), 0);
    EXPECT_EQ(ctx.selectedLevel, nullptr);
    DiscardMenuInterface(ctx);

    // level2 has no pictures: only level1 and level3 get buttons.
    data.Remove("Levels\\level2H.img");
    profile.AddLevel("level2.lvl");
    profile.AddLevel("level3.lvl");
    ASSERT_EQ(BuildSelectLevel(ctx), 0);
    EXPECT_EQ(FindWidget(&widgets, -2), nullptr);
    ASSERT_NE(ctx.selectedLevel, nullptr);
    EXPECT_EQ(ctx.selectedLevel->GetMark(), -3);
    DiscardMenuInterface(ctx);

    // Out of order, the highest number still wins.
    GMProfile other;
    other.AddLevel("level3.lvl");
    other.AddLevel("level1.lvl");
    ctx.profile = &other;
    ASSERT_EQ(BuildSelectLevel(ctx), 0);
    ASSERT_NE(ctx.selectedLevel, nullptr);
    EXPECT_EQ(ctx.selectedLevel->GetMark(), -1);
    ctx.profile = &profile;
}

TEST_F(MenuScreensTest, LevelNumbersStartAtTheFirstDigit)
{
    EXPECT_EQ(LevelNumber("level12.lvl"), 12);
    EXPECT_EQ(LevelNumber("lvl7b.lvl"), 7);
    EXPECT_EQ(LevelNumber("bonus.lvl"), 0);
    EXPECT_EQ(LevelNumber(nullptr), 0);
}

TEST_F(MenuScreensTest, HighscoresHelpAndPauseScreens)
{
    ASSERT_EQ(BuildHighscores(ctx), 0);
    EXPECT_FLOAT_EQ(progress, 1.0f);
    ExpectAt(kCmdMainMenu, 56, 560);
    EXPECT_EQ(widgets.GetCount(), 1);
    DiscardMenuInterface(ctx);

    progress = 0;
    ASSERT_EQ(BuildHelp(ctx), 0);
    EXPECT_FLOAT_EQ(progress, 1.0f);
    ExpectAt(kCmdMainMenu, 56, 560);
    ExpectAt(kCmdHelpPrevious, 160, 561);
    ExpectAt(kCmdHelpNext, 231, 561);
    DiscardMenuInterface(ctx);

    data.Remove("Menu\\RightArrowBtnI.img");
    manager.ReleaseAll();
    progress = 0;
    EXPECT_EQ(BuildHelp(ctx), 2);
    EXPECT_FLOAT_EQ(progress, 0.8f);
    DiscardMenuInterface(ctx);

    ASSERT_EQ(BuildPause(ctx), 0);
    ExpectAt(0, 400, 300);
    ExpectAt(kCmdResume, 400, 280);
    ExpectAt(kCmdOptions, 400, 334);
    ExpectAt(kCmdMainMenu, 400, 388);
}

TEST_F(MenuScreensTest, MainMenuDrawsThePlayersNameInOrange)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    Frame([&] { DrawMainMenu(ctx); });
    uint32_t without = Pixel(616, 224);
    EXPECT_EQ(without, 0x102010u);
    profile.SetDisplayName("Ada");
    Frame([&] { DrawMainMenu(ctx); });
    EXPECT_TRUE(Orange(Pixel(616, 224))) << std::hex << Pixel(616, 224);
    EXPECT_EQ(Pixel(616, 214), 0x102010u);  // above the glyphs
    EXPECT_EQ(Pixel(616, 300), 0x606060u);  // the Play button
}

TEST_F(MenuScreensTest, OptionsDrawTheVolumesAndTheFullScreenLabelOnlyWithTheBox)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    ASSERT_EQ(BuildOptions(ctx), 0);
    Frame([&] { DrawOptions(ctx, false); });
    EXPECT_TRUE(Orange(Pixel(445, 190)));  // music digit
    EXPECT_TRUE(Orange(Pixel(445, 244)));  // effects digit
    EXPECT_TRUE(Orange(Pixel(300, 190)));  // "Music"
    EXPECT_TRUE(Orange(Pixel(358, 298)));  // "Fullscreen"

    SetDialogGroup(kDialogClose, &widgets, kGroupOptions);
    ctx.desktopWidth = 800;
    ctx.desktopHeight = 600;
    ASSERT_EQ(BuildOptions(ctx), 0);
    Frame([&] { DrawOptions(ctx, false); });
    EXPECT_FALSE(Orange(Pixel(358, 298)));
    EXPECT_TRUE(Orange(Pixel(300, 190)));
}

TEST_F(MenuScreensTest, SelectedLevelNumberIsDrawnOverItsButton)
{
    profile.AddLevel("level1.lvl");
    profile.AddLevel("level2.lvl");
    ASSERT_EQ(BuildSelectLevel(ctx), 0);
    Frame([&] { DrawSelectLevel(ctx); });
    // level2's picture is centred on (200, 300); its number sits on the centre.
    EXPECT_EQ(Pixel(200, 300) & 0xFFFFFF, 0xFEEEAFu);
    EXPECT_TRUE(Orange(Pixel(100, 300)));
    EXPECT_EQ(Pixel(200, 290), 0x808000u);  // the picture above the number
}

TEST_F(MenuScreensTest, NewProfileDrawsTheTypedNameAndBlinkingCaret)
{
    ASSERT_EQ(BuildMainMenu(ctx), 0);
    ASSERT_EQ(BuildNewProfile(ctx), 0);
    ctx.typedName = "Player";
    Frame([&] { DrawNewProfile(ctx, 100); });
    uint32_t glyph = Pixel(292, 300);
    EXPECT_EQ(glyph, 0xFFD800u);
    uint32_t caretHidden = Pixel(289 + 54, 295);
    Frame([&] { DrawNewProfile(ctx, 400); });
    EXPECT_EQ(Pixel(289 + 54, 295), 0u);
    EXPECT_NE(caretHidden, 0u);
}

}  // namespace

namespace {

using menutest::MenuScreensTest;

TEST_F(MenuScreensTest, HighscoreTableDrawsTenRowsWithTheNewEntryHighlighted)
{
    ASSERT_EQ(BuildHighscores(ctx), 0);
    ASSERT_EQ(highscores.LoadHighscores("highscores.dat", &manager, device), 0);
    ASSERT_NE(highscores.GetFont(), nullptr);
    ASSERT_EQ(highscores.InsertHighscore("Ada", 4000), 6);
    Frame([&] { DrawHighscoresScreen(ctx); });
    // Rows are 12 + 10 pixels apart from baseline 150; rank, name and score columns.
    EXPECT_EQ(Pixel(79, 144), 0xFFFFFFu);
    EXPECT_EQ(Pixel(119, 144), 0xFFFFFFu);
    EXPECT_EQ(Pixel(359, 144), 0xFFFFFFu);
    const int row7 = 150 + 6 * 22 - 6;
    EXPECT_EQ(Pixel(79, row7), 0xFFFC00u);
    EXPECT_EQ(Pixel(359, row7), 0xFFFC00u);
    EXPECT_EQ(Pixel(79, row7 + 22), 0xFFFFFFu);
    EXPECT_EQ(Pixel(79, 150 + 9 * 22 - 6), 0xFFFFFFu);   // row 10
    EXPECT_EQ(Pixel(79, 150 + 10 * 22 - 6), 0x102010u);  // no eleventh row
}

TEST_F(MenuScreensTest, ProfileListDrawsNamesSelectedInRedAndTheThumbOnItsTrack)
{
    for (const char* n : {"Ann", "Bo", "Cy", "Di", "Ed", "Flo", "Gus"}) {
        GMProfile p;
        p.SetDisplayName(n);
        ASSERT_EQ(p.SaveProfile((std::string(n) + ".prf").c_str()), 0);
    }
    ASSERT_EQ(profileList.FillProfileList("Bo.prf", "Menu\\ScrollThumb.img", &manager, device), 0);
    profileList.SetTextLayout(244.0f, 237.0f, 0.0f, 55.0f);
    profileList.SetScrollBar(590.0f, 258.0f, 590.0f, 419.0f);
    EXPECT_EQ(profileList.GetFirstVisible(), 0);
    Frame([&] { profileList.DrawProfileList(device); });
    EXPECT_EQ(Pixel(248, 232), 0xFFD800u);       // "Ann", row 0
    EXPECT_EQ(Pixel(248, 232 + 55), 0xFF2020u);  // "Bo", selected
    EXPECT_EQ(Pixel(248, 232 + 4 * 55), 0xFFD800u);
    EXPECT_EQ(Pixel(248, 232 + 5 * 55), 0u);     // only five rows
    EXPECT_EQ(Pixel(590, 258), 0x606060u);       // thumb at the track's start
    EXPECT_EQ(Pixel(590, 419), 0u);

    profileList.ScrollTo(2);
    Frame([&] { profileList.DrawProfileList(device); });
    EXPECT_EQ(Pixel(248, 232), 0xFFD800u);  // "Cy" now on top
    EXPECT_EQ(Pixel(590, 419), 0x606060u);  // thumb at the end
    EXPECT_EQ(Pixel(590, 258), 0u);
}

}  // namespace
