// brimvale-data check: every problem a level maker needs to know before
// playing a day, for a level source (compiled first, as `brimvale --try`
// does) or a built level.
#include "Commands.h"

#include "core/FileSys.h"
#include "game/GMLevelCheck.h"
#include "gfx/GMImageManager.h"
#include "world/LevelSource.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// The data set a source's pictures are looked up in when no -C names one: the
// build tree's beside this tool, else an installation's.
std::string DefaultDataSet()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    for (const char* rel : {"../game/data", "../share/games/brimvale/data"})
        if (std::filesystem::is_directory(exe / rel, ec))
            return (exe / rel).lexically_normal().string();
    return "data";
}

int Report(const std::string& file, const std::vector<std::string>& problems, FILE* out)
{
    for (const std::string& p : problems)
        std::fprintf(out, "%s: %s\n", file.c_str(), p.c_str());
    if (problems.empty())
        std::fprintf(out, "%s: no problems found\n", file.c_str());
    else
        std::fprintf(out, "%s: %zu problem%s\n", file.c_str(), problems.size(), problems.size() == 1 ? "" : "s");
    return problems.empty() ? 0 : 1;
}

}  // namespace

int CmdCheck(int argc, char** argv, FILE* out, FILE* err)
{
    std::string dataDir, file;
    if (!ReadDataDirAndFile(argc, argv, "usage: brimvale-data check [-C DATADIR] FILE\n", err, dataDir, file))
        return 2;
    const std::string shown = std::filesystem::path(file).filename().string();
    const bool source = std::filesystem::path(file).extension() == ".txt";
    std::stringstream text;
    const bool served = !source && !dataDir.empty() && std::filesystem::path(file).has_parent_path();
    if (source || served) {
        // Read where it is; a built level from elsewhere is served under its
        // own name inside the data set (its key is that name).
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(out, "%s: the file cannot be opened\n", shown.c_str());
            return 1;
        }
        text << in.rdbuf();
    }
    if (!source) {
        if (served)
            file = shown;
        return InDataDirectory(dataDir, file, err, [&](DisplayDevice* device) {
            if (served)
                SetMemoryFile(shown.c_str(), text.str());
            GMImageManager manager;
            manager.SetErrorLogPath("");
            int status = Report(shown, GMLevelCheck::Check(file.c_str(), &manager, device), out);
            if (served)
                ForgetMemoryFile(shown.c_str());
            return status;
        });
    }
    if (dataDir.empty())
        dataDir = DefaultDataSet();
    return InDataDirectory(dataDir, file, err, [&](DisplayDevice* device) {
        GMImageManager manager;
        manager.SetErrorLogPath("");
        CompiledLevel level;
        std::string error;
        if (!CompileLevelSource(shown, text.str(), DataSetPictureSize, level, error,
                                GMLevelCheck::Measures(&manager, device)))
            return Report(shown, {"the compiler refuses it: " + error}, out);
        const std::string name = shown.substr(0, shown.find_last_of('.')) + ".lvl";
        SetMemoryFile(name.c_str(), ScrambleForFile(name.c_str(), level.levelText));
        if (!level.storyFile.empty())
            SetMemoryFile(level.storyFile.c_str(), ScrambleForFile(level.storyFile.c_str(), level.storyText));
        int status = Report(shown, GMLevelCheck::Check(name.c_str(), &manager, device), out);
        ForgetMemoryFile(name.c_str());
        if (!level.storyFile.empty())
            ForgetMemoryFile(level.storyFile.c_str());
        return status;
    });
}
