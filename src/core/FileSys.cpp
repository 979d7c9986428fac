#include "core/FileSys.h"

#include "core/DataDirectories.h"
#include "core/TaggedFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

static bool Exists(const std::string& p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

// Finds an entry of dir whose name equals name without regard to case.
static bool MatchInDirectory(const std::string& dir, const std::string& name, std::string& found)
{
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return false;
    bool ok = false;
    while (dirent* e = ::readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            ok = true;
            break;
        }
    }
    ::closedir(d);
    return ok;
}

std::string ResolvePath(const char* path)
{
    if (!path)
        return std::string();
    std::string p(path);
    for (char& c : p) {
        if (c == '\\')
            c = '/';
    }
    if (p.empty() || Exists(p))
        return p;

    std::string out;
    size_t pos = 0;
    if (p[0] == '/') {
        out = "/";
        pos = 1;
    }
    while (pos <= p.size()) {
        size_t slash = p.find('/', pos);
        if (slash == std::string::npos)
            slash = p.size();
        std::string part = p.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty())
            continue;
        std::string candidate = out + part;
        if (part != "." && part != ".." && !Exists(candidate)) {
            std::string found;
            if (MatchInDirectory(out, part, found))
                candidate = out + found;
        }
        out = candidate;
        if (slash < p.size())
            out += '/';
    }
    return out;
}

static std::string s_lastMissing;

static std::string TargetFor(const char* path, bool writing) { return ResolveDataPath(path, writing); }

namespace {

std::map<std::string, std::string>& MemoryFiles()
{
    static std::map<std::string, std::string> files;
    return files;
}

std::string MemoryName(const char* path)
{
    std::string p(path);
    for (char& c : p)
        c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return p;
}

}  // namespace

void SetMemoryFile(const char* path, std::string bytes)
{
    if (path)
        MemoryFiles()[MemoryName(path)] = std::move(bytes);
}

void ForgetMemoryFile(const char* path)
{
    if (path)
        MemoryFiles().erase(MemoryName(path));
}

std::string ScrambleForFile(const char* path, const std::string& text)
{
    FileKey key(path);
    std::string out(text);
    if (key.length > 0)
        for (char& c : out)
            c = static_cast<char>(static_cast<uint8_t>(c) + key.Next());
    return out;
}

FILE* OpenFile(const char* path, const char* mode)
{
    if (!path || !mode)
        return nullptr;
    char m[8];
    size_t n = 0;
    for (const char* c = mode; *c && n + 1 < sizeof m; ++c) {
        if (*c != 't')
            m[n++] = *c;
    }
    m[n] = 0;
    bool writing = std::strpbrk(m, "wa+") != nullptr;
    if (!MemoryFiles().empty() && !writing) {
        auto found = MemoryFiles().find(MemoryName(path));
        if (found != MemoryFiles().end()) {
            std::string& bytes = found->second;
            return bytes.empty() ? std::fopen("/dev/null", m) : ::fmemopen(bytes.data(), bytes.size(), m);
        }
    }
    FILE* f = std::fopen(TargetFor(path, writing).c_str(), m);
    if (!f && !writing && errno == ENOENT) {
        s_lastMissing = path;
        std::replace(s_lastMissing.begin(), s_lastMissing.end(), '\\', '/');
    }
    return f;
}

const std::string& LastMissingFile() { return s_lastMissing; }

void ForgetMissingFile() { s_lastMissing.clear(); }

bool DeleteFile(const char* path)
{
    std::string mine = WritableCopyPath(path);
    if (!mine.empty()) {
        std::string p = ResolvePath(mine.c_str());
        if (std::remove(p.c_str()) != 0 && errno != ENOENT)
            return false;
    }
    std::string p = ResolvePath(path);
    return !p.empty() && (std::remove(p.c_str()) == 0 || errno == ENOENT);
}

FILE* OpenTempFor(const char* path, const char* mode, std::string& tempPath, std::string& finalPath)
{
    if (!path)
        return nullptr;
    finalPath = TargetFor(path, true);
    tempPath = finalPath + ".tmp";
    return OpenFile(tempPath.c_str(), mode);
}

bool CommitTempFile(FILE* f, const std::string& tempPath, const std::string& finalPath, bool ok)
{
    ok = ok && std::fflush(f) == 0 && !std::ferror(f) && ::fsync(::fileno(f)) == 0;
    ok = (std::fclose(f) == 0) && ok;
    if (ok)
        ok = std::rename(tempPath.c_str(), finalPath.c_str()) == 0;
    if (!ok)
        std::remove(tempPath.c_str());
    return ok;
}
