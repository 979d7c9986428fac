// The level compiler's numbers: every value that becomes a whole number in the
// level file is checked before the cast, and refused with its file and line.
// Pictures are answered by a stand-in catalogue that knows every name.
#include "world/LevelSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

bool AnyPicture(const std::string&, int& w, int& h)
{
    w = 64, h = 48;
    return true;
}

const char* kDay =
    "name: Test day\n"          // 1
    "next: -\n"                  // 2
    "orders: 4\n"                // 3
    "target: 100\n"              // 4
    "open: 1\n"                  // 5
    "customer: Anna 0 30 1 1 1\n"  // 6
    "goods: 1 20 1\n"            // 7
    "map:\n"                     // 8
    "..H.1.\n"
    ".@###.\n"
    ".#..#.\n"
    ".####.\n";

// The day with one header line replaced (or appended when `key` is absent).
std::string With(const std::string& key, const std::string& line)
{
    std::string text = kDay;
    size_t at = text.find("\n" + key + ":");
    if (at == std::string::npos)
        return line + "\n" + text;
    size_t end = text.find('\n', at + 1);
    return text.substr(0, at + 1) + line + text.substr(end);
}

bool Compile(const std::string& name, const std::string& text, std::string& error, CompiledLevel* level = nullptr)
{
    CompiledLevel out;
    bool ok = CompileLevelSource(name, text, AnyPicture, out, error);
    if (level)
        *level = out;
    return ok;
}

TEST(LevelSource, NumbersOutsideTheirRangeAreRefusedWithTheirLine)
{
    struct Case {
        std::string text;
        const char* message;
    } cases[] = {
        {With("orders", "orders: 1e10"), "level1.txt:3: orders: 1e+10 is not a whole number from 0 to 1000"},
        {With("orders", "orders: -1"), "level1.txt:3: orders: -1 is not"},
        {With("orders", "orders: 2.5"), "level1.txt:3: orders: 2.5 is not a whole number"},
        {With("open", "open: 1e300"), "level1.txt:5: open: 1e+300 is not a whole number from 1 to 50"},
        {With("open", "open: 0"), "level1.txt:5: open: 0 is not"},
        {With("open", "open: 1 2"), "level1.txt:5: open: 2 is not a whole number from 0 to 1"},
        {With("goods", "goods: 3e9 1 1"), "level1.txt:7: goods: the kind: 3000000000 is not a whole number from 1 to 8"},
        {With("goods", "goods: 1 1e300 1"), "level1.txt:7: goods: the price: 1e+300 is outside"},
        {With("customer", "customer: Anna -3e9 30 1 1 1"), "level1.txt:6: customer: the kind"},
        {With("customer", "customer: Anna 0 1e39 1 1 1"), "level1.txt:6: customer: the patience: 1e+39 is outside 0 to 600"},
        {With("target", "target: 1e308"), "level1.txt:4: target: 1e+308 is outside"},
        {With("timing", "timing: 1 1e39 1"), "level1.txt:1: timing: 1e+39 is outside 0 to 600"},
        {With("combo", "combo: 10 20 3e9 2 3 4"), "level1.txt:1: combo: 3000000000 is not a whole number"},
        {With("tutorial", "tutorial: 1e10"), "level1.txt:1: tutorial: the hint kind: 1e+10 is not"},
        {With("bonus", "bonus: SpeedUp 120 1e20 1.6"), "level1.txt:1: bonus: the duration: 1e+20 is outside"},
        {With("course", "course: -5"), "level1.txt:1: course: -5 is outside"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Compile("level1.txt", c.text, error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << "got \"" << error << "\" for " << c.message;
    }
    // The bounds themselves still compile.
    std::string error;
    CompiledLevel level;
    ASSERT_TRUE(Compile("level1.txt", With("orders", "orders: 1000"), error, &level)) << error;
    EXPECT_NE(level.levelText.find("\"LOR\" 1000 "), std::string::npos);
    // Written whole, as the loader reads it back.
    ASSERT_TRUE(Compile("level1.txt", With("target", "target: 80 10000000"), error, &level)) << error;
    EXPECT_NE(level.levelText.find("\"LSC\" 80 \"LST\" 10000000\n"), std::string::npos) << level.levelText;
}

#ifdef BRIMVALE_FUZZ_DIR
std::string Found(const char* name)
{
    std::ifstream in(std::string(BRIMVALE_FUZZ_DIR) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name;
    return text.str();
}

// Sources that once compiled into "-2147483648" or cast out of range.
TEST(LevelSource, FoundSourcesAreRefusedAtTheirLine)
{
    struct Case {
        const char* file;
        const char* message;
    } cases[] = {
        {"levelsource-orders-1e10.txt", "levelsource-orders-1e10.txt:1: orders: 1e+10 is not a whole number"},
        {"levelsource-goods-3e9.txt", "levelsource-goods-3e9.txt:1: goods: the kind: 3000000000 is not a whole number"},
        {"level1-orders-1e10.txt", "level1-orders-1e10.txt:5: orders: 1e+10 is not a whole number"},
        {"level1-open-1e300.txt", "level1-open-1e300.txt:7: open: 1e+300 is not a whole number"},
    };
    for (const Case& c : cases) {
        std::string error;
        CompiledLevel level;
        EXPECT_FALSE(Compile(c.file, Found(c.file), error, &level)) << c.file;
        EXPECT_NE(error.find(c.message), std::string::npos) << "got \"" << error << "\"";
        EXPECT_TRUE(level.levelText.empty());
    }
}
#endif

}  // namespace
