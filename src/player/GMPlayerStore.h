#pragma once
#include "core/FileSys.h"

#include <cstdio>
#include <string>

// The one place that writes the player's files (profiles, highscores) and
// decides what happens when one is damaged or cannot be written:
//  - a file that does not read back whole is never overwritten: it is renamed
//    aside with a ".damaged" suffix first (never deleted);
//  - a write that fails keeps the old file and the player is told, once per
//    run, that progress cannot be saved;
//  - every such event leaves a notice in plain words for the screen.
// Readers decide what "whole" means for their format; the store only acts.
class GMPlayerStore {
public:
    // Renames path aside to "path.damaged" (or "path.2.damaged", ... when that
    // name is taken). True when the file is gone from path; keptAs gets the new
    // name. False (and nothing changes) when it cannot be renamed.
    static bool SetAsideDamaged(const char* path, std::string* keptAs);

    // Replaces path with what `write` puts into the stream, through a temporary
    // file. An existing file for which isWhole(path) is false is set aside first
    // (a file that cannot be set aside is not overwritten). False when nothing
    // was written; the player is then told that progress cannot be saved.
    template <class Fn>
    static bool ReplaceFile(const char* path, const char* mode, bool (*isWhole)(const char* path), Fn&& write);

    // Tries to create and remove a file in dir. False (and the player is told
    // that progress cannot be saved) when the folder cannot be written.
    static bool CheckFolderWritable(const char* dir);

    // Notices for the player.
    // "<what> was damaged. It is kept aside as "<name>". <outcome>" (keptAs
    // null or empty: the file could not be moved and stays as it is).
    static void ReportDamaged(const char* what, const char* keptAs, const char* outcome);
    static void ReportCannotSave();
    // Any other notice in plain words, told each time it is reported.
    static void ReportNotice(const std::string& text);
    // The oldest notice not yet shown; false when there is none.
    static bool TakeNotice(std::string* text);
    // Forgets every notice and what was already told (a new run, a test).
    static void ResetNotices();

private:
    static bool PrepareReplace(const char* path, bool (*isWhole)(const char* path));
};

template <class Fn>
bool GMPlayerStore::ReplaceFile(const char* path, const char* mode, bool (*isWhole)(const char* path), Fn&& write)
{
    if (!path || !*path)
        return false;
    bool ok = PrepareReplace(path, isWhole) && WriteFileAtomically(path, mode, write);
    if (!ok)
        ReportCannotSave();
    return ok;
}
