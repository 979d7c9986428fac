#include "app/WindowSettings.h"

#include "core/FileSys.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t ParseWindowScale(const char* text)
{
    if (!text || *text < '0' || *text > '9')
        return 0;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end || v < 1 || v > kMaxWindowScale)
        return 0;
    return static_cast<int32_t>(v);
}

int32_t ParseWindowFilter(const char* text)
{
    if (text && !std::strcmp(text, "sharp"))
        return 0;
    if (text && !std::strcmp(text, "smooth"))
        return 1;
    return -1;
}

bool ReadWindowSettings(const char* path, WindowSettings* settings)
{
    FILE* f = OpenFile(path, "rt");
    if (!f)
        return false;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        char name[32], value[32];
        if (std::sscanf(line, "%31s %31s", name, value) != 2)
            continue;
        if (!std::strcmp(name, "scale")) {
            if (int32_t scale = ParseWindowScale(value))
                settings->scale = scale;
        } else if (!std::strcmp(name, "filter")) {
            int32_t smooth = ParseWindowFilter(value);
            if (smooth >= 0)
                settings->smooth = smooth != 0;
        }
    }
    std::fclose(f);
    return true;
}

bool WriteWindowSettings(const char* path, const WindowSettings& settings)
{
    return WriteFileAtomically(path, "wt", [&](FILE* f) {
        return std::fprintf(f, "scale %i\nfilter %s\n", settings.scale, settings.smooth ? "smooth" : "sharp") > 0;
    });
}
