// CPU use of the real game in a real window, on the real clock: while a day
// is played and while the pause menu shows, against a busy loop measured the
// same way on the same machine. The game runs as a player starts it (logo,
// a new profile typed in, "Play"); a second thread gives it the player's
// input through the window's event stream and samples the process's CPU time.
// The first day is replaced, in the scratch copy of the data, by the busiest
// shipped day without its story and tutorial.
// run under Xvfb, e.g.
//   xvfb-run -a -s "-screen 0 1024x768x24" env SDL_AUDIODRIVER=dummy build/bench/bench_cpu_window [SECONDS]
// (SDL_RENDER_DRIVER=software or opengl chooses the renderer; OpenGL is SDL's default on X11)
#include "app/GameApp.h"
#include "app/GameModeMachine.h"
#include "core/TaggedFile.h"
#include "platform/InputInjection.h"
#include "platform/Messages.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::atomic<int> g_mode{0};
std::atomic<float> g_playX{-1.0f}, g_playY{-1.0f};

double WallSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class WatchedGame : public GameApp {
public:
    EntryOutcome EnterMode(uint8_t& mode, uint8_t previous) override
    {
        EntryOutcome outcome = GameApp::EnterMode(mode, previous);
        if (outcome.kind == EntryOutcome::Entered) {
            float x = 0, y = 0;
            if (mode == kModeMainMenu && FindClickTarget("widget", "2", &x, &y)) {
                g_playX = x;
                g_playY = y;
            }
            g_mode = mode;
        }
        return outcome;
    }
};

bool WaitForMode(int mode, double seconds)
{
    for (double end = WallSeconds() + seconds; WallSeconds() < end; std::this_thread::sleep_for(20ms))
        if (g_mode == mode)
            return true;
    return false;
}

void Click(Window* window, int x, int y)
{
    InjectMouseMove(window, x, y);
    std::this_thread::sleep_for(50ms);
    InjectMouseButton(window, 1, true, x, y);
    std::this_thread::sleep_for(50ms);
    InjectMouseButton(window, 1, false, x, y);
}

void Key(Window* window, uint32_t key)
{
    InjectKey(window, key, true);
    std::this_thread::sleep_for(30ms);
    InjectKey(window, key, false);
    std::this_thread::sleep_for(30ms);
}

// Share of one core the whole process used over `seconds` of wall time.
double ProcessShare(double seconds)
{
    double c0 = CpuSeconds(RUSAGE_SELF), w0 = WallSeconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 100.0 * (CpuSeconds(RUSAGE_SELF) - c0) / (WallSeconds() - w0);
}

// Share of one core a thread spinning without pause gets here now.
double BusyLoopShare(double seconds)
{
    double c0 = CpuSeconds(RUSAGE_THREAD), w0 = WallSeconds();
    volatile uint64_t n = 0;
    while (WallSeconds() - w0 < seconds)
        n = n + 1;
    return 100.0 * (CpuSeconds(RUSAGE_THREAD) - c0) / (WallSeconds() - w0);
}

void Fail(const char* what)
{
    std::printf("cpu_window: %s (mode %d)\n", what, g_mode.load());
    std::fflush(stdout);
    std::_Exit(1);
}

void Drive(WatchedGame* game, double seconds, fs::path work)
{
    if (!WaitForMode(kModeLogo, 60.0))
        Fail("the logo did not come");
    // Past the logo pages to the new-profile dialog.
    for (int i = 0; i < 20 && g_mode != kModeNewProfile; ++i) {
        std::this_thread::sleep_for(800ms);
        Click(game->GetWindow(), 400, 300);
    }
    if (!WaitForMode(kModeNewProfile, 10.0))
        Fail("no new-profile dialog");
    std::this_thread::sleep_for(1500ms);
    Window* window = game->GetWindow();
    for (int i = 0; i < 8; ++i)
        Key(window, VK_BACK);
    for (char c : std::string("MIA"))
        Key(window, static_cast<uint32_t>(c));
    Click(window, 503, 333);
    if (!WaitForMode(kModeMainMenu, 10.0))
        Fail("no main menu after the profile");
    std::this_thread::sleep_for(1000ms);
    Click(window, static_cast<int>(g_playX.load()), static_cast<int>(g_playY.load()));
    if (!WaitForMode(kModePlaying, 30.0))
        Fail("the day did not start");
    std::this_thread::sleep_for(4000ms);  // the fade-in and the day's title

    const double playing = ProcessShare(seconds);
    if (g_mode != kModePlaying)
        Fail("the day ended while measured");
    Key(window, VK_ESCAPE);
    if (!WaitForMode(kModePause, 10.0))
        Fail("no pause menu");
    std::this_thread::sleep_for(1000ms);
    const double paused = ProcessShare(seconds);
    const double busy = BusyLoopShare(seconds);
    const char* renderer = std::getenv("SDL_RENDER_DRIVER");
    double load[1] = {0.0};
    getloadavg(load, 1);
    std::printf("CPU use of the game in a real window (%s renderer), %.0f s each, share of one core:\n",
                renderer && *renderer ? renderer : "SDL's default", seconds);
    std::printf("  playing the busiest day   %6.1f %%\n", playing);
    std::printf("  pause menu                %6.1f %%\n", paused);
    std::printf("  a busy loop, for scale    %6.1f %%   (load average %.1f on %ld cores)\n", busy, load[0],
                sysconf(_SC_NPROCESSORS_ONLN));
    std::fflush(stdout);
    std::error_code ec;
    fs::remove_all(work, ec);
    std::_Exit(0);  // the game is mid-frame on its own thread: leave at once
}

// The busiest day as the first one, without its story and tutorial.
bool WriteBusyFirstDay(const fs::path& data, const fs::path& into)
{
    std::ifstream in(data / "level14.lvl", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    if (text.empty())
        return false;
    FileKey from("level14.lvl");
    for (char& c : text)
        c = static_cast<char>(static_cast<uint8_t>(c) - from.Next());
    text = std::regex_replace(text, std::regex("\"STO\" \"[^\"]*\""), "");
    text = std::regex_replace(text, std::regex("\"TUT\" [0-9]+ \"[^\"]*\" \"[^\"]*\""), "");
    text = std::regex_replace(text, std::regex("\"LVL\" \"[^\"]*\""), "\"LVL\" \"\"");
    FileKey to("level1.lvl");
    for (char& c : text)
        c = static_cast<char>(static_cast<uint8_t>(c) + to.Next());
    std::ofstream(into / "level1.lvl", std::ios::binary) << text;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    fs::path data = argc > 2 ? fs::path(argv[2]) : fs::path(BRIMVALE_BENCH_DATA_DIR);
    if (!fs::exists(data / "level14.lvl") || !std::getenv("DISPLAY")) {
        std::printf("needs the data set (%s) and a display (run it under xvfb-run)\n", data.c_str());
        return 1;
    }
    data = fs::absolute(data);
    char tmpl[] = "/tmp/brimvale-bench-cpu-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir)
        return 1;
    fs::path work = dir;
    std::error_code ec;
    fs::create_directory(work / "data", ec);
    for (const auto& entry : fs::directory_iterator(data, ec))
        if (entry.path().filename() != "level1.lvl")
            fs::create_symlink(entry.path(), work / "data" / entry.path().filename(), ec);
    if (!WriteBusyFirstDay(data, work / "data"))
        return 1;
    setenv("HOME", dir, 1);
    setenv("XDG_DATA_HOME", dir, 1);
    if (::chdir(dir) != 0)
        return 1;
    RunOptions options;
    options.windowOverride = 1;
    WatchedGame game;
    std::thread driver(Drive, &game, seconds, work);
    driver.detach();
    game.RunApplication(options);
    std::printf("cpu_window: the game ended before the measurement did\n");
    return 1;
}
