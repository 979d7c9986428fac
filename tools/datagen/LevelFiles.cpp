// The data set's days: every level source compiled against the town
// catalogue and written scrambled under its own name.
#include "datagen/Canvas.h"
#include "datagen/Generator.h"
#include "datagen/Town.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

// Rows above a picture's first with twenty or more nearly opaque texels: where
// the game finds a roof (smoke, flags and chimneys do not count) to stand an order
// bubble on.
double SolidTop(const TownPicture& p)
{
    Canvas c(p.width, p.height);
    if (p.draw)
        p.draw(c, 0);
    cairo_surface_flush(c.Surface());
    const uint8_t* data = cairo_image_surface_get_data(c.Surface());
    const int stride = cairo_image_surface_get_stride(c.Surface());
    for (int y = 0; data && y < p.height; ++y) {
        int solid = 0;
        for (int x = 0; x < p.width; ++x) {
            uint32_t texel;
            std::memcpy(&texel, data + y * stride + x * 4, 4);
            solid += (texel >> 24) >= 0xC0;
        }
        if (solid >= 20)
            return y;
    }
    return p.height;
}

}  // namespace

LevelMeasures TownMeasures()
{
    LevelMeasures m;
    m.solidTop = [](const std::string& tpl) {
        const TownPicture* p = FindTownPicture(tpl);
        return p ? SolidTop(*p) : 0.0;
    };
    m.textWidth = [](const std::string& text) { return FontTextWidth(kHudFontStyle, text); };
    return m;
}

bool GenerateLevels(DataDir& dir)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::path(dir.SourceDir()) / "levels";
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return true;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().extension() == ".txt")
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::set<std::string> made;
    std::vector<std::pair<std::string, std::string>> nexts;
    for (const auto& n : names) {
        std::ifstream in(folder / n, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        CompiledLevel level;
        std::string error;
        if (!CompileLevelSource(n, text.str(), TownPictureSize, level, error, TownMeasures()))
            return dir.Fail("data-src/levels/" + error);
        std::string stem = n.substr(0, n.size() - 4);
        if (!dir.WriteScrambled(stem + ".lvl", level.levelText))
            return false;
        if (!level.storyFile.empty() && !dir.WriteScrambled(level.storyFile, level.storyText))
            return false;
        made.insert(stem + ".lvl");
        for (const auto& next : level.nextLevels)
            nexts.emplace_back(n, next);
    }
    for (const auto& [from, next] : nexts)
        if (!made.count(next))
            return dir.Fail("data-src/levels/" + from + ": next: " + next + " has no source");
    return true;
}
