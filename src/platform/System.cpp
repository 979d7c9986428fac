#include "platform/System.h"

#include "platform/Cursor.h"
#include "platform/SdlBackend.h"
#include "platform/Window.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
bool s_started = false;
uint32_t s_fontSmoothing = 1;
bool s_givesFocus = true;
bool s_invisible = false;
MessageBoxHook s_boxHook;
std::string s_opener = "xdg-open";

std::string Slashes(const char* path)
{
    std::string s = path ? path : "";
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

bool WildMatch(const char* pattern, const char* name)
{
    // Iterative '*' matching with one backtrack point.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' ||
                   std::tolower(static_cast<unsigned char>(*pattern)) == std::tolower(static_cast<unsigned char>(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == 0;
}

bool ProgramExists(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return access(program.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    if (!path)
        return false;
    std::string all = path;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos)
            end = all.size();
        std::string dir = all.substr(start, end - start);
        if (dir.empty())
            dir = ".";
        if (access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}
}  // namespace

bool StartPlatform()
{
    if (s_started)
        return true;
    // The software renderer's picture goes to the window directly (XShm under
    // X11), not through an OpenGL texture as SDL would choose: the same pixels,
    // without a GL upload and draw per present (llvmpipe where there is no GPU).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // SDL batches its draws only when no renderer was named; a named one (a
    // player's --renderer, SDL_RENDER_DRIVER) would otherwise pay a GL call
    // round per draw. We call no graphics API beside SDL's, so batching is safe.
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    bool fellBack = false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        // No display at all: SDL's dummy driver still draws with the software renderer.
        fellBack = true;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
            return false;
    }
    SDL_StopTextInput();  // the game reads keys, never composed text
    const char* driver = SDL_GetCurrentVideoDriver();
    s_givesFocus = !(driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0));
    // SDL falls back to a driver that shows nothing when no display answers;
    // one named on purpose (tests, --headless) is another matter.
    const char* named = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    s_invisible = !s_givesFocus && (fellBack || !(named && *named && driver && SDL_strcasecmp(named, driver) == 0));
    s_started = true;
    return true;
}

void StopPlatform()
{
    if (!s_started)
        return;
    Cursor::FreeAll();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    s_started = false;
}

bool IsPlatformStarted() { return s_started; }

bool PlatformShowsNothing() { return s_started && s_invisible; }

bool PlatformDriverGivesFocus() { return s_givesFocus; }

void SetMessageBoxHook(MessageBoxHook hook) { s_boxHook = std::move(hook); }

int32_t ShowMessageBox(Window* owner, const char* text, const char* caption, uint32_t style)
{
    text = text ? text : "";
    caption = caption ? caption : "";
    if (s_boxHook) {
        s_boxHook(text, caption, style);
        return 1;
    }
    const char* forced = std::getenv("BRIMVALE_MESSAGE_BOX");
    bool toStderr = !s_started || !s_givesFocus || (forced && std::strcmp(forced, "stderr") == 0);
    if (!toStderr) {
        Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
        if ((style & 0xF0) == MB_ICONERROR)
            flags = SDL_MESSAGEBOX_ERROR;
        else if ((style & 0xF0) == MB_ICONWARNING)
            flags = SDL_MESSAGEBOX_WARNING;
        SDL_Window* parent = owner && owner->GetBackend() ? owner->GetBackend()->sdl : nullptr;
        if (SDL_ShowSimpleMessageBox(flags, caption, text, parent) == 0)
            return 1;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return 1;
}

void SetLinkOpener(const char* program) { s_opener = program ? program : "xdg-open"; }

bool OpenLinkFile(const char* path)
{
    FILE* f = std::fopen(Slashes(path).c_str(), "rb");
    if (!f)
        return false;
    std::string url;
    char line[2048];
    while (std::fgets(line, sizeof line, f)) {
        if (strncasecmp(line, "URL=", 4) == 0) {
            url = line + 4;
            while (!url.empty() && (url.back() == '\n' || url.back() == '\r' || url.back() == ' '))
                url.pop_back();
            break;
        }
    }
    std::fclose(f);
    if (url.empty() || !ProgramExists(s_opener))
        return false;
    // Two forks so the opener is never left as our zombie and we never wait for it.
    pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            execlp(s_opener.c_str(), s_opener.c_str(), url.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return true;
}

std::vector<std::string> FindFiles(const char* pattern)
{
    std::vector<std::string> found;
    std::string p = Slashes(pattern);
    size_t slash = p.rfind('/');
    std::string dirPart = slash == std::string::npos ? "" : p.substr(0, slash + 1);
    std::string namePart = slash == std::string::npos ? p : p.substr(slash + 1);
    std::error_code ec;
    fs::directory_iterator it(dirPart.empty() ? fs::path(".") : fs::path(dirPart), ec);
    if (ec)
        return found;
    for (const auto& entry : it) {
        if (!entry.is_regular_file(ec))
            continue;
        std::string name = entry.path().filename().string();
        if (WildMatch(namePart.c_str(), name.c_str()))
            found.push_back(dirPart + name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool RemoveFile(const char* path)
{
    std::string p = Slashes(path);
    if (std::remove(p.c_str()) == 0)
        return true;
    struct stat st;
    return stat(p.c_str(), &st) != 0;
}

std::string GetExecutablePath()
{
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

uint32_t GetFontSmoothing() { return s_fontSmoothing; }

void SetFontSmoothing(uint32_t enabled) { s_fontSmoothing = enabled ? 1 : 0; }

int64_t GetResidentMemoryKb(bool peak)
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    const char* key = peak ? "VmHWM:" : "VmRSS:";
    char line[256];
    int64_t kb = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, std::strlen(key)) == 0) {
            kb = std::strtoll(line + std::strlen(key), nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}
