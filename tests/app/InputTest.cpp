#include "app/FrameTimer.h"
#include "app/Input.h"
#include "app/Settings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

TEST(TranslateKey, LettersDigitsAndTheUsSymbols)
{
    EXPECT_EQ(TranslateKey('A', false), 'a');
    EXPECT_EQ(TranslateKey('Z', true), 'Z');
    EXPECT_EQ(TranslateKey('2', true), '@');
    EXPECT_EQ(TranslateKey('0', true), ')');
    EXPECT_EQ(TranslateKey('9', false), '9');
    EXPECT_EQ(TranslateKey(96 + 7, false), '7');
    EXPECT_EQ(TranslateKey(96 + 1, true), '!');
    EXPECT_EQ(TranslateKey(8, false), 8);
    EXPECT_EQ(TranslateKey(13, true), 13);
    EXPECT_EQ(TranslateKey(32, false), ' ');
    EXPECT_EQ(TranslateKey(106, false), '*');
    EXPECT_EQ(TranslateKey(111, false), '/');
    EXPECT_EQ(TranslateKey(186, true), ':');
    EXPECT_EQ(TranslateKey(189, true), '_');
    EXPECT_EQ(TranslateKey(192, true), '~');
    EXPECT_EQ(TranslateKey(220, false), 92);
    EXPECT_EQ(TranslateKey(220, true), 124);
    EXPECT_EQ(TranslateKey(222, true), '"');
    EXPECT_EQ(TranslateKey(112, false), 0) << "F1 has no character";
    EXPECT_EQ(TranslateKey(16, false), 0);
}

TEST(InputState, AHeldKeyActsOnceUntilReleased)
{
    InputState in;
    EXPECT_TRUE(in.KeyDown(27));
    EXPECT_FALSE(in.KeyDown(27)) << "a repeat is not a new press";
    EXPECT_TRUE(in.IsDown(27));
    in.KeyUp(27);
    EXPECT_TRUE(in.KeyDown(27));
    EXPECT_FALSE(in.KeyDown(300));
}

TEST(InputState, ClicksLatchUntilTheFrameTakesThem)
{
    InputState in;
    EXPECT_TRUE(in.ButtonDown(1));
    EXPECT_FALSE(in.ButtonDown(1)) << "a latched button is not pressed again";
    EXPECT_TRUE(in.ButtonUp(1));
    EXPECT_TRUE(in.ButtonDown(1)) << "released and pressed again";
    EXPECT_EQ(in.ClickFlags(), kClickLeft) << "two clicks in one frame count once";
    EXPECT_TRUE(in.ButtonUp(1));
    in.ClearClicks();
    EXPECT_EQ(in.ClickFlags(), 0u) << "a release reports nothing";

    EXPECT_TRUE(in.ButtonDown(2));
    in.ClearClicks();
    EXPECT_TRUE(in.ButtonDown(1)) << "a left click while the right button is held";
    EXPECT_EQ(in.ClickFlags(), kClickLeft);
    EXPECT_FALSE(in.ButtonUp(1)) << "the right button still holds the capture";
    EXPECT_TRUE(in.ButtonUp(2)) << "released once every button is up";
    EXPECT_TRUE(in.ButtonDown(4));
    EXPECT_EQ(in.ClickFlags(), kClickLeft | kClickMiddle);
}

TEST(KeyCode, LettersThenDigits)
{
    KeyCode win("BRIMW", 0);
    for (char c : std::string("BRIM"))
        EXPECT_FALSE(win.Feed(static_cast<uint32_t>(c)));
    EXPECT_TRUE(win.Feed('W'));

    KeyCode jump("JUMP", 2);
    for (char c : std::string("JUMX"))
        jump.Feed(static_cast<uint32_t>(c));
    for (char c : std::string("JUMP0"))
        EXPECT_FALSE(jump.Feed(static_cast<uint32_t>(c))) << "a wrong key starts the code over";
    EXPECT_TRUE(jump.Feed('7'));
    EXPECT_STREQ(jump.Digits(), "7") << "a first digit 0 is dropped";
    jump.Reset();
    for (char c : std::string("JUMP1"))
        jump.Feed(static_cast<uint32_t>(c));
    EXPECT_TRUE(jump.Feed(96 + 2));
    EXPECT_STREQ(jump.Digits(), "12");
}

TEST(FrameTimer, StepsOfAtLeastTenMsAndLongGapsCountTwentyFive)
{
    FrameTimer t;
    t.Start(1000);
    float step = 0;
    EXPECT_FALSE(t.Tick(1004, false, &step));
    EXPECT_EQ(t.DueIn(1004), 6u);
    EXPECT_TRUE(t.Tick(1013, false, &step));
    EXPECT_FLOAT_EQ(step, 13.0f);
    EXPECT_TRUE(t.Tick(6013, false, &step));
    EXPECT_FLOAT_EQ(step, 25.0f) << "a stall of five seconds advances the game 25 ms";
    EXPECT_FALSE(t.Tick(6030, true, &step)) << "the first tick after a mode switch counts nothing";
    EXPECT_TRUE(t.Tick(6040, false, &step));
    EXPECT_FLOAT_EQ(step, 10.0f);
}

TEST(Settings, DefaultsAndPartialFiles)
{
    TempDir dir;
    Settings s;
    EXPECT_FALSE(ReadSettings(dir.File("option.cfg").c_str(), &s));
    EXPECT_FALSE(s.windowed);
    EXPECT_FLOAT_EQ(s.musicVolume, 0.8f);

    dir.Write("option.cfg", "1");
    Settings one;
    ASSERT_TRUE(ReadSettings(dir.File("option.cfg").c_str(), &one));
    EXPECT_TRUE(one.windowed);
    EXPECT_EQ(one.profileFile, "");
    EXPECT_FLOAT_EQ(one.musicVolume, 0.8f);
    EXPECT_FLOAT_EQ(one.effectsVolume, 1.0f);

    dir.Write("option.cfg", "0\n\"mia.prf\"\nloud\n");
    Settings bad;
    bad.effectsVolume = 0.3f;
    ASSERT_TRUE(ReadSettings(dir.File("option.cfg").c_str(), &bad));
    EXPECT_EQ(bad.profileFile, "mia.prf");
    EXPECT_FLOAT_EQ(bad.musicVolume, 1.0f) << "a value that does not convert becomes 1";
    EXPECT_FLOAT_EQ(bad.effectsVolume, 1.0f);
}

TEST(Settings, WrittenAsFourLinesAndReadBack)
{
    TempDir dir;
    dir.Write("option.cfg", "1\n\"player1.prf\"\n5\n0.25\n");
    Settings s;
    ASSERT_TRUE(ReadSettings(dir.File("option.cfg").c_str(), &s));
    EXPECT_FLOAT_EQ(s.musicVolume, 1.0f) << "5 plays at full volume";
    ASSERT_TRUE(WriteSettings(dir.File("option.cfg").c_str(), s));
    EXPECT_EQ(dir.Read("option.cfg"), "1\n\"player1.prf\"\n1.000000\n0.250000\n");
}

TEST(Settings, VolumesOutOfRangeAreReadIntoZeroToOne)
{
    TempDir dir;
    struct Case {
        const char* text;
        float music;
        float effects;
    };
    const Case cases[] = {
        {"-0.5\n1.5\n", 0.0f, 1.0f},
        {"-49\n-2147483648\n", 0.0f, 0.0f},
        {"inf\n-inf\n", 1.0f, 0.0f},
        {"1e39\n-1e39\n", 1.0f, 0.0f},
        {"nan\nNAN\n", 0.8f, 1.0f},
        {"0.3\n0.7\n", 0.3f, 0.7f},
    };
    for (const Case& c : cases) {
        dir.Write("option.cfg", std::string("0\n\"\"\n") + c.text);
        Settings s;
        ASSERT_TRUE(ReadSettings(dir.File("option.cfg").c_str(), &s));
        EXPECT_FLOAT_EQ(s.musicVolume, c.music) << c.text;
        EXPECT_FLOAT_EQ(s.effectsVolume, c.effects) << c.text;
        // What is read shows as a digit of the options screen and steps normally.
        EXPECT_GE(SteppedVolume(s.musicVolume, 0.1f), 0.0f);
        EXPECT_LE(SteppedVolume(s.musicVolume, 0.1f), 1.0f);
    }
}

TEST(Settings, EightStepsDownFromPointEightReachExactlyZero)
{
    float v = 0.8f;
    for (int i = 0; i < 8; ++i)
        v = SteppedVolume(v, -0.1f);
    EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(SteppedVolume(0.95f, 0.1f), 1.0f);
    EXPECT_FLOAT_EQ(SteppedVolume(0.5f, 0.1f), 0.6f);
}
