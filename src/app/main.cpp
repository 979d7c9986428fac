// The game's entry: the command line, then the application.
#include "app/GameApp.h"
#include "app/GameDirectories.h"
#include "app/StartupFailure.h"
#include "app/WindowSettings.h"
#include "core/Version.h"
#include "platform/InputInjection.h"
#include "platform/RendererChoice.h"
#include "platform/System.h"
#include "platform/ResourcePictures.h"

#include "ExeImages.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static std::string Absolute(const char* path)
{
    char buf[PATH_MAX];
    if (path[0] == '/' || !realpath(".", buf))
        return path;
    return std::string(buf) + "/" + path;
}

static void Usage(FILE* to)
{
    std::fprintf(to,
                 "usage: brimvale [--windowed | --fullscreen] [--scale N] [--filter sharp|smooth]\n"
                 "                [--headless --script FILE [--step MS] [--shots DIR]] [--seed S] [--where]\n"
                 "                [--headless --bot [--levels N] [--careless] [--repeat N]] [--record FILE]\n"
                 "                [--state FILE] [--no-draw | --draw] [--renderer NAME] [--try SOURCE]\n"
                 "  --windowed, --fullscreen  override the window setting for this run\n"
                 "  --scale N                 show the window N times its size (1-8) for this run\n"
                 "  --filter sharp|smooth     how a scaled picture is drawn, for this run\n"
                 "  --where                   print where the data is read and files are written, and\n"
                 "                            the renderer a window gets\n"
                 "  --renderer NAME           draw with this SDL renderer (software, opengl, ...); by\n"
                 "                            default the fastest that draws correctly\n"
                 "  --headless                no window or sound device (SDL's dummy drivers)\n"
                 "  --script FILE             play the commands of FILE on a virtual clock\n"
                 "  --step MS                 game time per scripted frame (default 16)\n"
                 "  --shots DIR               where the script's screenshots go\n"
                 "  --seed S                  fix the day's random numbers (tests, replays)\n"
                 "  --bot                     a player program plays the game from the menu to the\n"
                 "                            highscores, one line per day; status 1 when a day is lost\n"
                 "  --levels N                the bot plays N days only\n"
                 "  --careless                the bot plays slowly and now and then gives wrong goods\n"
                 "  --repeat N                the bot plays the whole game N times in one process\n"
                 "  --no-draw, --draw         headless frames undrawn but for shots (a bot's default),\n"
                 "                            or every frame drawn\n"
                 "  --record FILE             write every input to FILE, a script that replays the run\n"
                 "  --state FILE              write the state the run ended in to FILE (and, with\n"
                 "                            --shots, its last frame to last-frame.png)\n"
                 "  --try SOURCE              compile a level source and play its day at once, for a\n"
                 "                            throwaway player (F5 compiles again and restarts the day)\n"
                 "  --version, --help\n"
                 "The game reads its data from the installed data directory, else from \"data\"\n"
                 "below the current directory.\n");
}

int main(int argc, char** argv)
{
    RunOptions options;
    bool where = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "brimvale: %s needs a value\n", a);
                std::exit(2);
            }
            return argv[++i];
        };
        if (!std::strcmp(a, "--windowed")) {
            options.windowOverride = 1;
        } else if (!std::strcmp(a, "--fullscreen")) {
            options.windowOverride = 0;
        } else if (!std::strcmp(a, "--headless")) {
            options.headless = true;
        } else if (!std::strcmp(a, "--script")) {
            options.scriptPath = Absolute(value());
        } else if (!std::strcmp(a, "--step")) {
            options.stepMs = static_cast<uint32_t>(std::strtoul(value(), nullptr, 10));
        } else if (!std::strcmp(a, "--shots")) {
            options.shotsDir = Absolute(value());
        } else if (!std::strcmp(a, "--scale")) {
            const char* v = value();
            if (!(options.scale = ParseWindowScale(v))) {
                std::fprintf(stderr, "brimvale: --scale takes a whole number from 1 to %d, not \"%s\"\n",
                             kMaxWindowScale, v);
                return 2;
            }
        } else if (!std::strcmp(a, "--filter")) {
            const char* v = value();
            if ((options.smooth = ParseWindowFilter(v)) < 0) {
                std::fprintf(stderr, "brimvale: --filter takes sharp or smooth, not \"%s\"\n", v);
                return 2;
            }
        } else if (!std::strcmp(a, "--where")) {
            where = true;
        } else if (!std::strcmp(a, "--renderer")) {
            const char* v = value();
            if (!RequestRenderer(v)) {
                std::fprintf(stderr, "brimvale: --renderer takes one of: %s; not \"%s\"\n",
                             AvailableRenderers().c_str(), v);
                return 2;
            }
        } else if (!std::strcmp(a, "--seed")) {
            options.seed = static_cast<int64_t>(std::strtoul(value(), nullptr, 10) & 0xFFFFFFFFu);
        } else if (!std::strcmp(a, "--bot")) {
            options.bot = true;
        } else if (!std::strcmp(a, "--careless")) {
            options.careless = true;
        } else if (!std::strcmp(a, "--levels") || !std::strcmp(a, "--repeat")) {
            bool levels = !std::strcmp(a, "--levels");
            const char* v = value();
            char* end = nullptr;
            long n = std::strtol(v, &end, 10);
            if (*end || n < 1 || n > 100000) {
                std::fprintf(stderr, "brimvale: %s takes a whole number from 1, not \"%s\"\n", a, v);
                return 2;
            }
            (levels ? options.botLevels : options.botRepeat) = static_cast<int32_t>(n);
        } else if (!std::strcmp(a, "--no-draw")) {
            options.draw = 0;
        } else if (!std::strcmp(a, "--draw")) {
            options.draw = 1;
        } else if (!std::strcmp(a, "--state")) {
            options.statePath = Absolute(value());
        } else if (!std::strcmp(a, "--try")) {
            options.tryPath = Absolute(value());
        } else if (!std::strcmp(a, "--record")) {
            options.recordPath = Absolute(value());
        } else if (!std::strcmp(a, "--version")) {
            std::printf("Brimvale %s\n", BRIMVALE_VERSION_STRING);
            return 0;
        } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            Usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "brimvale: unknown option \"%s\"\n", a);
            Usage(stderr);
            return 2;
        }
    }
    if (options.bot && !options.scriptPath.empty()) {
        std::fprintf(stderr, "brimvale: --bot and --script do not go together\n");
        return 2;
    }
    if (options.bot && !options.headless) {
        std::fprintf(stderr, "brimvale: --bot runs headless (add --headless)\n");
        return 2;
    }
    if (options.headless) {
        UseHeadlessDrivers();
        options.windowOverride = 1;  // script coordinates are the window's own
    }
    if (where) {
        std::string text;
        if (!EnterGameDirectories(&text)) {
            std::fprintf(stderr, "brimvale: no data directory: %s\n", MissingPathAdvice(MissingDataDirectory()).c_str());
            return 1;
        }
        // Tried on the display: the renderer a window would get here.
        std::string renderer = "none (no display)";
        if (StartPlatform() && !PlatformShowsNothing())
            renderer = ProbeRendererChoice();
        StopPlatform();
        std::printf("%s\nrenderer: %s\n", text.c_str(), renderer.c_str());
        return 0;
    }
    SetResourcePictures([](int32_t id, ResourcePicture* out) {
        const ExeImage* image = FindExeImage(id);
        if (!image)
            return false;
        *out = {image->width, image->height, image->hotX, image->hotY, image->rgba};
        return true;
    });
    GameApp app;
    return app.RunApplication(options);
}
