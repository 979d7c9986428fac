#include "app/ScriptRunner.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

TEST(ScriptRunner, ParsesEveryCommandAndSkipsComments)
{
    ScriptRunner s;
    std::string error;
    EXPECT_TRUE(s.Parse("# start\nframes 3\nwait 500   # half a second\nmove 10 20\nclick 1 2 right\n"
                        "down 5 5\nup 5 5 middle\nkey escape\nkey shift+2\nkey 116\ntype Hi there!\n"
                        "shot menu\nexpect-mode 16\nexpect-file option.cfg\nexpect-notice cannot be saved\n"
                        "expect-link example.org/a b\nquit\n\n",
                        &error))
        << error;
}

TEST(ScriptRunner, RefusesLinesItCannotCarryOut)
{
    for (const char* bad : {"frames", "frames -1", "frames x", "click 1", "click 1 2 thumb", "key nosuchkey",
                            "jump 3", "expect-mode", "quit now", "type \x01", "expect-notice", "expect-link"}) {
        ScriptRunner s;
        std::string error;
        EXPECT_FALSE(s.Parse(std::string("frames 1\n") + bad + "\n", &error)) << bad;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}

TEST(ScriptRunner, KeyNamesAndTypedCharacters)
{
    bool shift = true;
    EXPECT_EQ(ScriptRunner::KeyByName("Escape", &shift), VK_ESCAPE);
    EXPECT_FALSE(shift);
    EXPECT_EQ(ScriptRunner::KeyByName("f5", &shift), VK_F5);
    EXPECT_EQ(ScriptRunner::KeyByName("f10", &shift), VK_F10);
    EXPECT_EQ(ScriptRunner::KeyByName("q", &shift), static_cast<uint32_t>('Q'));
    EXPECT_EQ(ScriptRunner::KeyByName("shift+2", &shift), static_cast<uint32_t>('2'));
    EXPECT_TRUE(shift);
    EXPECT_EQ(ScriptRunner::KeyByName("65", &shift), 65u);

    EXPECT_EQ(ScriptRunner::KeyForChar('a', &shift), static_cast<uint32_t>('A'));
    EXPECT_FALSE(shift);
    EXPECT_EQ(ScriptRunner::KeyForChar('A', &shift), static_cast<uint32_t>('A'));
    EXPECT_TRUE(shift);
    EXPECT_EQ(ScriptRunner::KeyForChar('@', &shift), static_cast<uint32_t>('2'));
    EXPECT_TRUE(shift);
    EXPECT_EQ(ScriptRunner::KeyForChar('7', &shift), static_cast<uint32_t>('7')) << "the main row, not the keypad";
    EXPECT_EQ(ScriptRunner::KeyForChar(' ', &shift), static_cast<uint32_t>(VK_SPACE));
    EXPECT_EQ(ScriptRunner::KeyForChar('\x01', &shift), 0u);
}
