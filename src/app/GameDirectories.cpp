#include "app/GameDirectories.h"

#include "core/DataDirectories.h"
#include "platform/System.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

#ifndef BRIMVALE_INSTALLED_DATA
#define BRIMVALE_INSTALLED_DATA ""
#endif

bool EnterGameDirectories(std::string* description)
{
    char cwd[PATH_MAX];
    std::string start = ::getcwd(cwd, sizeof cwd) ? cwd : ".";
    std::string exe = GetExecutablePath();
    std::string exeDir = exe.substr(0, exe.rfind('/') == std::string::npos ? 0 : exe.rfind('/'));
    DataDirectories dirs;
    if (!ChooseDataDirectories(start, exeDir, BRIMVALE_INSTALLED_DATA, std::getenv("XDG_DATA_HOME"),
                               std::getenv("HOME"), &dirs) ||
        ::chdir(dirs.data.c_str()) != 0)
        return false;
    // Without a directory of its own a build tree writes beside the data, as
    // before; the saves then fail where the data is read-only and say so.
    // An installed game never writes into its data, even where it could (as
    // root): without a player's directory it plays without saving.
    std::string writable;
    bool saving = true;
    if (dirs.installed) {
        saving = !dirs.writable.empty() && MakeDirectories(dirs.writable);
        // A place no one can make (procfs refuses even root): every write fails.
        writable = saving ? dirs.writable : std::string("/proc/brimvale-cannot-save");
    } else if (!dirs.writable.empty() && MakeDirectories(dirs.writable)) {
        writable = dirs.writable;
    }
    SetWritableDirectory(writable);
    if (description) {
        std::string writes;
        if (!saving)
            writes = "nothing, the game runs without saving (" +
                     (dirs.writable.empty() ? std::string("neither XDG_DATA_HOME nor HOME names a directory")
                                            : "\"" + dirs.writable + "\" cannot be made") +
                     ")";
        else
            writes = writable.empty() ? dirs.data + " and the directory above it" : writable;
        *description = "data: " + dirs.data + (dirs.installed ? " (installed)" : "") + "\nwrites: " + writes;
    }
    return true;
}

std::string MissingDataDirectory()
{
    char cwd[PATH_MAX];
    std::string start = ::getcwd(cwd, sizeof cwd) ? cwd : ".";
    return (start == "/" ? "" : start) + "/data";
}
