// Start-up time: from launch to the logo, headless (software renderer), on
// the script's virtual clock. The splash pages are left out of the scratch
// data (a page that does not load is skipped), so what is measured is the
// loading phase: the preload list, the logo and the start-up sounds. A second
// set of runs keeps the pages: the virtual clock does not wait through them,
// but each of their fades is still drawn frame by frame. Each run is a fresh
// process in a scratch directory with links into the data set; the figures
// are the median and the spread of several runs.
// run: build/bench/bench_startup [RUNS] [DATA_DIR]
#include "app/GameApp.h"
#include "app/GameModeMachine.h"
#include "platform/InputInjection.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

double NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);  // one clock for every process
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

double CpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// The game, noting when the logo is entered: loading is over and the logo's
// first frame is the next one drawn.
class TimedGame : public GameApp {
public:
    double logoAt = 0.0, logoCpu = 0.0;
    EntryOutcome EnterMode(uint8_t& mode, uint8_t previous) override
    {
        EntryOutcome outcome = GameApp::EnterMode(mode, previous);
        if (mode == kModeLogo && logoAt == 0.0) {
            logoAt = NowMs();
            logoCpu = CpuMs();
        }
        return outcome;
    }
};

// One start-up in this process; prints "logo-wall logo-cpu end-wall end-cpu"
// (ms, wall times on the monotonic clock).
int RunOnce(const fs::path& data, bool splash)
{
    char tmpl[] = "/tmp/brimvale-bench-start-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir)
        return 1;
    fs::path work = dir;
    std::error_code ec;
    fs::create_directory(work / "data", ec);
    for (const auto& entry : fs::directory_iterator(data, ec)) {
        const fs::path name = entry.path().filename();
        if (!splash && name == "Halvenport") {
            fs::create_directory(work / "data" / name, ec);
            for (const auto& page : fs::directory_iterator(entry.path(), ec))
                if (page.path().filename().string().rfind("splash", 0) != 0)
                    fs::create_symlink(page.path(), work / "data" / name / page.path().filename(), ec);
            continue;
        }
        fs::create_symlink(entry.path(), work / "data" / name, ec);
    }
    {
        std::ofstream script(work / "start.txt");
        script << "frames 1\nexpect mode == " << int(kModeLogo) << "\nquit\n";
    }
    // Player files go to the scratch directory, not the user's own.
    setenv("HOME", dir, 1);
    setenv("XDG_DATA_HOME", dir, 1);
    if (::chdir(dir) != 0)
        return 1;
    UseHeadlessDrivers();
    RunOptions options;
    options.headless = true;
    options.windowOverride = 1;
    options.scriptPath = (work / "start.txt").string();
    int result = 0;
    double logoAt = 0, logoCpu = 0;
    {
        TimedGame game;
        result = game.RunApplication(options);
        logoAt = game.logoAt;
        logoCpu = game.logoCpu;
    }
    std::printf("%.3f %.3f %.3f %.3f %d\n", logoAt, logoCpu, NowMs(), CpuMs(), result);
    std::fflush(stdout);
    fs::remove_all(work, ec);
    return result;
}

struct Spread {
    double median, low, high;
};

Spread Summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

// Several start-ups, each in a process of its own; prints their figures.
bool Measure(const char* self, const fs::path& data, int runs, bool splash)
{
    std::vector<double> logoWall, logoCpu, endWall, endCpu;
    for (int i = 0; i < runs; ++i) {
        int out[2];
        if (::pipe(out) != 0)
            return false;
        const double launched = NowMs();
        pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::execl("/proc/self/exe", self, "--once", data.c_str(), splash ? "splash" : "no-splash",
                    static_cast<char*>(nullptr));
            _exit(127);
        }
        ::close(out[1]);
        std::string text;
        char buf[256];
        for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
            text.append(buf, static_cast<size_t>(n));
        ::close(out[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        double a = 0, b = 0, c = 0, d = 0;
        int result = 1;
        // The game's own lines may come first; the figures are the last line.
        size_t last = text.find_last_of('\n', text.size() >= 2 ? text.size() - 2 : 0);
        std::string line = last == std::string::npos ? text : text.substr(last + 1);
        if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %d", &a, &b, &c, &d, &result) != 5 || result != 0 || a == 0) {
            std::printf("run %d failed: %s\n", i + 1, text.c_str());
            return false;
        }
        logoWall.push_back(a - launched);
        logoCpu.push_back(b);
        endWall.push_back(c - launched);
        endCpu.push_back(d);
    }
    Spread lw = Summarise(logoWall), lc = Summarise(logoCpu), ew = Summarise(endWall), ec = Summarise(endCpu);
    std::printf("%s, %d runs          median   (min - max) ms\n",
                splash ? "with the splash pages drawn on the virtual clock" : "start-up, splash pages left out", runs);
    std::printf("  launch to the logo, wall clock           %8.1f   (%.1f - %.1f)   %s\n", lw.median,
                lw.low, lw.high, splash ? "" : "goal < 300");
    std::printf("  launch to the logo, process CPU time     %8.1f   (%.1f - %.1f)\n", lc.median, lc.low, lc.high);
    std::printf("  with the first logo frame, quit and exit %8.1f   (%.1f - %.1f), CPU %.1f\n", ew.median, ew.low,
                ew.high, ec.median);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 3 && !std::strcmp(argv[1], "--once"))
        return RunOnce(argv[2], !std::strcmp(argv[3], "splash"));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    fs::path data = argc > 2 ? fs::path(argv[2]) : fs::path(BRIMVALE_BENCH_DATA_DIR);
    if (!fs::exists(data / "preload.cfg")) {
        std::printf("no data set at %s (build brimvale_gamedata, or name the directory)\n", data.c_str());
        return 1;
    }
    data = fs::absolute(data);
    if (!Measure(argv[0], data, runs, false) || !Measure(argv[0], data, runs, true))
        return 1;
    double load[1] = {0.0};
    if (getloadavg(load, 1) == 1)
        std::printf("load average %.1f on %ld cores\n", load[0], sysconf(_SC_NPROCESSORS_ONLN));
    return 0;
}
