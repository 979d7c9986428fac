#pragma once
#include <string>
#include <vector>

// Where the game finds its data and where it keeps the player's files.
//
// From a build tree or an unpacked folder everything stays beside the data, as
// it always has. Installed system-wide the data directory is read-only, so the
// files the game writes (settings, profiles, highscores, logs) go to a
// directory of the player's own, and are read from there first.
struct DataDirectories {
    std::string data;      // the data directory; the working directory while the game runs
    std::string writable;  // the player's directory; empty: beside the data
    bool installed = false;
};

// The player's directory under the XDG rules: $XDG_DATA_HOME/brimvale when that
// is an absolute path, else $HOME/.local/share/brimvale; empty without either.
std::string UserDataDirectory(const char* xdgDataHome, const char* home);

// Chooses the directories.
//   startDir       the directory the game was started in
//   exeDir         the executable's directory (may be empty)
//   installedData  an installation's data directory relative to the executable
//                  ("../share/games/brimvale/data"; may be empty)
// An existing installed data directory wins, so an installed game never picks
// up some other "data" folder from where it was started; otherwise "data" below
// startDir (matched without regard to case). The player's directory is used
// for an installed game only: a build tree or an unpacked folder keeps its
// files beside the data, even where that cannot be written (the game then
// runs without saving and says so). False when no data directory exists.
bool ChooseDataDirectories(const std::string& startDir, const std::string& exeDir, const std::string& installedData,
                           const char* xdgDataHome, const char* home, DataDirectories* out);

// Makes the directory and its missing parents (new ones private to the user).
bool MakeDirectories(const std::string& path);

// The redirection that the file helpers (OpenFile, DeleteFile, the atomic
// writes) apply. Off (empty) by default.
void SetWritableDirectory(const std::string& dir);
const std::string& GetWritableDirectory();

// A data-relative path ("option.cfg", "..\\Error.log") as it lies in the
// writable directory: the data directory and the one above it both map to its
// top. Empty when redirection is off or the path is absolute or leaves the
// tree ("..\\..\\x").
std::string WritableCopyPath(const char* path);

// The file a data-relative path opens as, for reading (the player's copy when
// there is one, else the data directory's) or for writing (always the
// player's directory while redirection is on). Code that handles files itself
// (rename, stat) uses this in place of ResolvePath.
std::string ResolveDataPath(const char* path, bool forWriting);

// Where the player's files are written: the writable directory, or "." (the
// data directory, today's layout).
std::string PlayerFilesDirectory();

// Files matching a pattern ("*.prf", relative to the data directory), from the
// data directory and the writable one, each name once, sorted.
std::vector<std::string> FindDataFiles(const char* pattern);
