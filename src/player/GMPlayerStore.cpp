#include "player/GMPlayerStore.h"

#include "core/DataDirectories.h"
#include "core/TaggedFile.h"

#include <cerrno>
#include <deque>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Notices {
    std::deque<std::string> pending;
    std::set<std::string> told;  // each text is shown once per run
    bool toldCannotSave = false;
};

Notices& State()
{
    static Notices notices;
    return notices;
}

void Add(const std::string& text)
{
    Notices& n = State();
    if (n.told.insert(text).second)
        n.pending.push_back(text);
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

bool GMPlayerStore::SetAsideDamaged(const char* pathIn, std::string* keptAs)
{
    if (!pathIn || !*pathIn)
        return false;
    // The player's own copy: an installed game writes (and so replaces) only there.
    std::string path = ResolveDataPath(pathIn, true);
    if (!Exists(path))
        return false;
    // Never over an older damaged copy: the first free name wins.
    std::string target = path + ".damaged";
    for (int n = 2; Exists(target); ++n) {
        if (n > 999)
            return false;
        target = path + "." + std::to_string(n) + ".damaged";
    }
    if (std::rename(path.c_str(), target.c_str()) != 0)
        return false;
    if (keptAs)
        *keptAs = target;
    return true;
}

bool GMPlayerStore::PrepareReplace(const char* path, bool (*isWhole)(const char* path))
{
    if (!isWhole || !Exists(ResolveDataPath(path, true)) || isWhole(path))
        return true;
    std::string keptAs;
    if (!SetAsideDamaged(path, &keptAs))
        return false;  // what cannot be kept is not overwritten
    std::string what = std::string("The file \"") + BaseName(path) + "\"";
    ReportDamaged(what.c_str(), keptAs.c_str(), nullptr);
    return true;
}

bool GMPlayerStore::CheckFolderWritable(const char* dir)
{
    std::string probe = std::string(dir && *dir ? dir : ".") + "/.brimvale-write-check";
    probe = ResolvePath(probe.c_str());
    FILE* f = std::fopen(probe.c_str(), "wb");
    bool ok = f != nullptr;
    if (f) {
        ok = std::fputc('.', f) != EOF;
        ok = std::fclose(f) == 0 && ok;
        std::remove(probe.c_str());
    }
    if (!ok)
        ReportCannotSave();
    return ok;
}

void GMPlayerStore::ReportDamaged(const char* what, const char* keptAs, const char* outcome)
{
    std::string text = std::string(what ? what : "A saved file") + " was damaged.";
    if (keptAs && *keptAs)
        text += std::string(" It is kept aside as \"") + BaseName(keptAs) + "\".";
    if (outcome && *outcome)
        text += std::string(" ") + outcome;
    Add(text);
}

void GMPlayerStore::ReportCannotSave()
{
    Notices& n = State();
    if (n.toldCannotSave)
        return;
    n.toldCannotSave = true;
    Add("Progress cannot be saved: the game's folder cannot be written. You can play, but nothing will be kept.");
}

void GMPlayerStore::ReportNotice(const std::string& text)
{
    // Told each time: the same damaged day met again is news again.
    State().pending.push_back(text);
}

bool GMPlayerStore::TakeNotice(std::string* text)
{
    Notices& n = State();
    if (n.pending.empty())
        return false;
    if (text)
        *text = n.pending.front();
    n.pending.pop_front();
    return true;
}

void GMPlayerStore::ResetNotices()
{
    State() = Notices{};
}
