#pragma once
#include <cstdio>
#include <string>

// Data files name paths the Windows way ("sfx\\click.ogg", "..\\Error.log") and
// were made on a file system that ignores letter case. These helpers turn such a
// path into one that opens here.

// Backslashes become slashes. When the exact path does not exist, each component
// is matched without regard to case; a component with no match is kept as given
// (so a file about to be created keeps its name).
std::string ResolvePath(const char* path);

// fopen on the resolved path. The Windows text-mode letter "t" is dropped.
FILE* OpenFile(const char* path, const char* mode);

// The last file OpenFile was asked to read and did not find (data-relative,
// with slashes), so a failure can name it; empty after ForgetMissingFile.
const std::string& LastMissingFile();
void ForgetMissingFile();

// Files held in memory that OpenFile serves for reading in place of the disk
// (a level compiled in the game, a fuzzed input), named as the data names
// them, without regard to case. Setting empty bytes keeps an empty file;
// ForgetMemoryFile drops one. Replace a file only while none of it is open.
void SetMemoryFile(const char* path, std::string bytes);
void ForgetMemoryFile(const char* path);
// The bytes of `text` scrambled with the key of the file name `path`, as the
// game stores its data files.
std::string ScrambleForFile(const char* path, const std::string& text);

// Deletes a file named the data way; true when it is gone.
bool DeleteFile(const char* path);

// Writes a whole file through a temporary file in the same directory, renamed
// over the old one, so a crash or a full disk never leaves a half-written file.
// `write` fills the stream and returns false to abandon the change.
template <class Fn>
bool WriteFileAtomically(const char* path, const char* mode, Fn&& write);

bool CommitTempFile(FILE* f, const std::string& tempPath, const std::string& finalPath, bool ok);
FILE* OpenTempFor(const char* path, const char* mode, std::string& tempPath, std::string& finalPath);

template <class Fn>
bool WriteFileAtomically(const char* path, const char* mode, Fn&& write)
{
    std::string tempPath, finalPath;
    FILE* f = OpenTempFor(path, mode, tempPath, finalPath);
    if (!f)
        return false;
    bool ok = write(f);
    return CommitTempFile(f, tempPath, finalPath, ok);
}
