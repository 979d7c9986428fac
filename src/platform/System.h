#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Window;

// Starts SDL's video and event side (audio starts on its own); true on success.
// The driver comes from SDL_VIDEODRIVER; without a display SDL's dummy driver
// is used, which still draws real pixels with the software renderer.
bool StartPlatform();
void StopPlatform();
bool IsPlatformStarted();
// True when SDL found no display and fell back on its own to a driver that
// shows nothing (offscreen, dummy): a window would be invisible. A driver named
// in SDL_VIDEODRIVER is taken as wanted.
bool PlatformShowsNothing();

// MessageBoxA styles the game uses.
constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONWARNING = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;

// A modal message box (SDL's). Without a display, or when SDL cannot show one,
// "caption: text" goes to standard error. Returns 1 (IDOK).
int32_t ShowMessageBox(Window* owner, const char* text, const char* caption, uint32_t style);
// Tests see every message box here instead (empty: back to normal).
using MessageBoxHook = std::function<void(const char* text, const char* caption, uint32_t style)>;
void SetMessageBoxHook(MessageBoxHook hook);

// The shell's "open" of a ".url" link file: reads its URL= line and hands the URL
// to xdg-open without waiting. False (and nothing happens) when the file is
// missing, has no URL or no opener exists. Backslashes in the path are separators.
bool OpenLinkFile(const char* path);
// The opener program run by OpenLinkFile (tests point it at a script).
void SetLinkOpener(const char* program);

// Files matching a pattern such as "*.prf" or "Profiles\\*.prf" ('*' and '?' in
// the last part, letters compared without regard to case), sorted by name,
// returned as the directory part of the pattern plus the file name.
std::vector<std::string> FindFiles(const char* pattern);

// Deletes a file; true when it is gone.
bool RemoveFile(const char* path);

// The running executable's full path (the game changes into "data" beside it).
std::string GetExecutablePath();

// The system's font-smoothing switch (SystemParametersInfo). Fonts here are our
// own bitmaps, so this only keeps the value the game saves and puts back.
uint32_t GetFontSmoothing();
void SetFontSmoothing(uint32_t enabled);

// Resident memory of this process in KiB (VmRSS, or with `peak` its high-water
// mark VmHWM, from /proc/self/status); 0 where the system does not say.
int64_t GetResidentMemoryKb(bool peak);
