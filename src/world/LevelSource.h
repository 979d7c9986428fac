#pragma once
#include <functional>
#include <string>
#include <vector>

// A level maker's source (data-src/levels/levelN.txt): a readable header and
// the town as text grids, compiled into the tagged level file the game reads
// and, when the day has one, its story layout. data-src/levels/README.md
// describes the format.

struct CompiledLevel {
    std::string levelText;                // the level file, unscrambled
    std::string storyFile;                // "levelN.sto" or empty
    std::string storyText;                // its layout, unscrambled
    std::vector<std::string> pictures;    // every template the two name
    std::vector<std::string> nextLevels;  // the `LVL` name (empty for the last day)
};

// The field grid the town is drawn for (the level files' defaults).
constexpr double kCellW = 45;
constexpr double kCellH = 45;
constexpr double kOriginX = -22;
constexpr double kOriginY = -22;

// Road sides, as the level files link them.
enum RoadSide { kRoadT = 1, kRoadL = 2, kRoadB = 4, kRoadR = 8 };
// "Town\\Road\\Road<sides>.img" with the sides in the order T, L, B, R.
std::string RoadTemplate(int sides);

// Goods kinds 1..8 with their shop and icon names.
constexpr int kGoodsKinds = 8;
const char* GoodsName(int goods);  // "Bread", "Milk", ...
std::string GoodsIcon(int goods, bool highlight);
std::string ShopTemplate(int goods);

// Whether a template exists, and the canvas size of its frames. The data
// generator answers from its catalogue, the game from the data directory.
using LevelPictureLookup = std::function<bool(const std::string& tpl, int& width, int& height)>;
// The lookup of a built data set: the template file as the game opens it
// (the working directory is the data directory), its size from IMW and IMH.
bool DataSetPictureSize(const std::string& tpl, int& width, int& height);

// `sourceName` names the source in messages ("level3.txt:14: ..."); the level
// file takes the same stem with ".lvl". False with `error` set when the
// source breaks a rule; nothing is half written then.
// What placing bubbles and flowing story text measure beyond a picture's
// size: the first solid row of a house (its roof) and a line's width in the
// panel font. The generator measures its own drawing; left empty, a roof is
// taken halfway down and a character at kStoryGlyphWidth.
struct LevelMeasures {
    std::function<double(const std::string& tpl)> solidTop;
    std::function<double(const std::string& text)> textWidth;
};

// The paper the story screens write on, and the margin text keeps to its edge.
constexpr double kStoryPaperX = 340, kStoryPaperY = 60, kStoryPaperW = 430, kStoryPaperH = 340;
constexpr double kStoryPaperMargin = 20;
constexpr double kStoryLineStep = 20;  // a line of the panel font, with the game's 1 px between lines
constexpr double kStoryGlyphWidth = 9;
// The panel font a compiled day names ("TFI"), in which its story is written.
constexpr const char* kLevelPanelFont = "Hud\\HudFont.img";

bool CompileLevelSource(const std::string& sourceName, const std::string& text, const LevelPictureLookup& pictures,
                        CompiledLevel& out, std::string& error, const LevelMeasures& measures = {});
