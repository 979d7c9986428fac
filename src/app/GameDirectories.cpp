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
    // Without a directory of its own the game writes beside the data, as
    // before; the saves then fail where the data is read-only and say so.
    SetWritableDirectory(!dirs.writable.empty() && MakeDirectories(dirs.writable) ? dirs.writable : std::string());
    if (description) {
        *description = "data: " + dirs.data + (dirs.installed ? " (installed)" : "") + "\nwrites: " +
                       (GetWritableDirectory().empty() ? dirs.data + " and the directory above it"
                                                        : GetWritableDirectory());
    }
    return true;
}
