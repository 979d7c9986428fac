// The data set's days: every level source compiled against the town
// catalogue and written scrambled under its own name.
#include "datagen/Town.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

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
        if (!CompileLevelSource(n, text.str(), TownPictureSize, level, error))
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
