#include "app/StartupFailure.h"

#include "core/Log.h"
#include "platform/System.h"

#include <cstdlib>

void ReportFatalError(const char* caption, const std::string& text, const char* logPath)
{
    ShowMessageBox(nullptr, text.c_str(), caption, MB_ICONERROR);
    if (logPath) {
        // One record a line, so the log stays readable.
        std::string line = text;
        for (char& c : line)
            if (c == '\n')
                c = ' ';
        AppendErrorLog(logPath, line.c_str());
    }
}

std::string MissingPathAdvice(const std::string& path)
{
    return "\"" + path +
           "\" is missing. Reinstall the game; in a source tree, \"make build\" generates the data again.";
}

std::string NoDisplayText()
{
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    std::string which = (x && *x) || (wl && *wl) ? "the display named in DISPLAY or WAYLAND_DISPLAY does not answer"
                                                  : "neither DISPLAY nor WAYLAND_DISPLAY is set";
    return "Brimvale needs a graphical desktop, and none was found (" + which +
           "). Start the game from a desktop session; scripted runs use --headless.";
}

namespace {
std::string s_lastFatal;
}

void NoteFatalError(const std::string& text) { s_lastFatal = text; }

const std::string& LastFatalError() { return s_lastFatal; }
