#include "core/DataDirectories.h"

#include "core/FileSys.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string s_writable;

bool IsDirectory(const std::string& p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Join(const std::string& dir, const std::string& rel)
{
    if (dir.empty())
        return rel;
    if (rel.empty())
        return dir;
    return dir.back() == '/' ? dir + rel : dir + "/" + rel;
}

// "a/./b/../c" to "a/c"; leading ".." kept. Purely textual: a symbolic link
// in the installation tree is followed only by the final stat.
std::string Normalise(const std::string& path)
{
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        std::string part = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." && !parts.empty() && parts.back() != "..")
            parts.pop_back();
        else
            parts.push_back(part);
    }
    std::string out = !path.empty() && path[0] == '/' ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i ? "/" : "") + parts[i];
    return out.empty() ? "." : out;
}

// Regular files in dir whose names match the pattern (case ignored).
void ListMatching(const std::string& dir, const std::string& namePattern, std::vector<std::string>& names)
{
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return;
    while (dirent* e = ::readdir(d)) {
        if (::fnmatch(namePattern.c_str(), e->d_name, FNM_CASEFOLD) != 0)
            continue;
        struct stat st;
        if (::stat(Join(dir, e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(e->d_name);
    }
    ::closedir(d);
}

}  // namespace

std::string UserDataDirectory(const char* xdgDataHome, const char* home)
{
    // The XDG rules ignore a relative XDG_DATA_HOME.
    if (xdgDataHome && xdgDataHome[0] == '/')
        return Join(xdgDataHome, "brimvale");
    if (home && home[0] == '/')
        return Join(home, ".local/share/brimvale");
    return std::string();
}

bool ChooseDataDirectories(const std::string& startDir, const std::string& exeDir, const std::string& installedData,
                           const char* xdgDataHome, const char* home, DataDirectories* out)
{
    *out = DataDirectories();
    if (!exeDir.empty() && !installedData.empty()) {
        std::string candidate = Normalise(installedData[0] == '/' ? installedData : Join(exeDir, installedData));
        if (IsDirectory(candidate)) {
            out->data = candidate;
            out->installed = true;
        }
    }
    if (out->data.empty()) {
        std::string candidate = ResolvePath(Join(startDir, "data").c_str());
        if (!IsDirectory(candidate))
            return false;
        out->data = candidate;
    }
    if (out->installed)
        out->writable = UserDataDirectory(xdgDataHome, home);
    return true;
}

bool MakeDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    std::string sofar;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        sofar = path.substr(0, slash);
        pos = slash + 1;
        if (sofar.empty() || IsDirectory(sofar))
            continue;
        if (::mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return IsDirectory(path);
}

void SetWritableDirectory(const std::string& dir) { s_writable = dir; }

const std::string& GetWritableDirectory() { return s_writable; }

std::string WritableCopyPath(const char* path)
{
    if (s_writable.empty() || !path || !*path)
        return std::string();
    std::string p(path);
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p[0] == '/')
        return std::string();
    p = Normalise(p);
    // The data directory and the game's directory above it share one place.
    if (p.rfind("../", 0) == 0)
        p.erase(0, 3);
    if (p == "." || p == ".." || p.rfind("../", 0) == 0)
        return std::string();
    return Join(s_writable, p);
}

std::string ResolveDataPath(const char* path, bool forWriting)
{
    std::string mine = WritableCopyPath(path);
    if (!mine.empty()) {
        std::string resolved = ResolvePath(mine.c_str());
        struct stat st;
        if (forWriting || ::stat(resolved.c_str(), &st) == 0)
            return resolved;
    }
    return ResolvePath(path);
}

std::string PlayerFilesDirectory() { return s_writable.empty() ? std::string(".") : s_writable; }

std::vector<std::string> FindDataFiles(const char* pattern)
{
    std::vector<std::string> found;
    if (!pattern)
        return found;
    std::string p(pattern);
    std::replace(p.begin(), p.end(), '\\', '/');
    size_t slash = p.rfind('/');
    std::string dirPart = slash == std::string::npos ? "" : p.substr(0, slash + 1);
    std::string namePart = slash == std::string::npos ? p : p.substr(slash + 1);

    std::vector<std::string> names;
    std::string mine = s_writable.empty() ? "" : dirPart.empty() ? s_writable : WritableCopyPath(dirPart.c_str());
    if (!mine.empty())
        ListMatching(ResolvePath(mine.c_str()), namePart, names);
    ListMatching(dirPart.empty() ? "" : ResolvePath(dirPart.c_str()), namePart, names);
    // The player's copy and the data directory's may differ in letter case only.
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        bool seen = std::any_of(found.begin(), found.end(), [&](const std::string& f) {
            return strcasecmp(f.c_str() + dirPart.size(), n.c_str()) == 0;
        });
        if (!seen)
            found.push_back(dirPart + n);
    }
    return found;
}
