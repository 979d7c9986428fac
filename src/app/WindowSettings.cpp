#include "app/WindowSettings.h"

#include "core/FileSys.h"
#include "core/Log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

bool ReadWindowSettings(const char* path, WindowSettings* settings, const char* errorLog)
{
    FILE* f = OpenFile(path, "rt");
    if (!f)
        return false;
    char line[256];
    int number = 0;
    while (std::fgets(line, sizeof line, f)) {
        ++number;
        char name[32], value[32];
        int fields = std::sscanf(line, "%31s %31s", name, value);
        bool understood = fields <= 0 || name[0] == '#';  // blank lines and comments
        if (fields == 2 && !std::strcmp(name, "scale")) {
            if (int32_t scale = ParseWindowScale(value)) {
                settings->scale = scale;
                understood = true;
            }
        } else if (fields == 2 && !std::strcmp(name, "filter")) {
            int32_t smooth = ParseWindowFilter(value);
            if (smooth >= 0) {
                settings->smooth = smooth != 0;
                understood = true;
            }
        }
        if (!understood && errorLog) {
            std::string text(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            char where[64];
            std::snprintf(where, sizeof where, "\" line %d not understood, ignored: \"", number);
            AppendErrorLog(errorLog, (std::string("\"") + path + where + text +
                                      "\" (expected \"scale 1\" to \"scale 8\", \"filter sharp\" or \"filter smooth\")")
                                         .c_str());
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
