// Update and draw time per frame of the busiest day: every order slot open,
// the van driving with the speed bonus running (ghost trail drawn), floating
// texts rising; then the day is ended as won and, when this build has it, the
// UFO game of a perfect day is measured too. Prints the median and the 99th
// percentile of each. The device is the game's own (a real window, presented
// every frame), so the renderer is whatever SDL is told:
//   headless, software:  build/bench/bench_day_frame [DATA_DIR]
//   (BENCH_SHOT=FILE.png keeps the last busy frame as a picture)
//   a real X11 window with OpenGL under Xvfb:
//     xvfb-run -a -s "-screen 0 1024x768x24" env SDL_VIDEODRIVER=x11 SDL_RENDER_DRIVER=opengl
//       build/bench/bench_day_frame   (one command line)
//   the renderers side by side in one run (the game's own choice, OpenGL named,
//   software named), each on a window of its own:
//     xvfb-run -a -s "-screen 0 1920x1440x24" env SDL_VIDEODRIVER=x11
//       build/bench/bench_day_frame --renderers
#include "core/TaggedFile.h"
#include "game/GMHud.h"
#include "game/GMLevelRun.h"
#include "game/GoldenTown.h"
#include "gfx/DisplayDevice.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "platform/Messages.h"
#include "platform/RendererChoice.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "world/GMBonusObj.h"
#include "player/GMProfile.h"
#include "world/GMOrderObj.h"
#include "world/GMTransportObj.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The thread's own CPU time: on a loaded machine the wall clock also counts
// the time other processes had the core.
double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

bool WriteLevel(const std::string& name, const std::string& text)
{
    FileKey key(name.c_str());
    std::string bytes = text;
    for (char& c : bytes)
        c = static_cast<char>(static_cast<uint8_t>(c) + key.Next());
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

struct Figures {
    double median, p99, mean;
};

Figures Summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v)
        sum += x;
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], sum / double(v.size())};
}

// Per-frame wall-clock and thread-CPU times of update, draw (with the present) and both.
struct Timings {
    std::vector<double> update, draw, total, cpuUpdate, cpuDraw, cpuTotal;
    void Add(double u, double d, double cu, double cd)
    {
        update.push_back(u);
        draw.push_back(d);
        total.push_back(u + d);
        cpuUpdate.push_back(cu);
        cpuDraw.push_back(cd);
        cpuTotal.push_back(cu + cd);
    }
    void Print(const char* what, const char* renderer) const
    {
        if (update.empty())
            return;
        Figures fu = Summarise(update), fd = Summarise(draw), ft = Summarise(total);
        std::printf("%s, %zu frames\n", what, update.size());
        std::printf("wall clock            median      p99     mean  (ms per frame)\n");
        std::printf("  update            %8.3f %8.3f %8.3f   goal < 0.5\n", fu.median, fu.p99, fu.mean);
        std::printf("  draw + present    %8.3f %8.3f %8.3f   [%s]\n", fd.median, fd.p99, fd.mean, renderer);
        std::printf("  update + draw     %8.3f %8.3f %8.3f   goal < 5 median, < 10 p99\n", ft.median, ft.p99, ft.mean);
        Figures cu = Summarise(cpuUpdate), cd = Summarise(cpuDraw), ct = Summarise(cpuTotal);
        std::printf("thread CPU time\n");
        std::printf("  update            %8.3f %8.3f %8.3f\n", cu.median, cu.p99, cu.mean);
        std::printf("  draw + present    %8.3f %8.3f %8.3f\n", cd.median, cd.p99, cd.mean);
        std::printf("  update + draw     %8.3f %8.3f %8.3f\n", ct.median, ct.p99, ct.mean);
    }
};

// What the main loop does with the window's messages between frames.
void PumpMessages()
{
    Message message;
    while (MessageQueue::Peek(&message, true)) {
    }
}

// The game's own device in a framed 800 x 600 window, as a windowed game makes it.
DisplayDevice* CreateWindowDevice()
{
    DisplayMode desktop;
    WindowRect rect{0, 0, 800, 600};
    if (GetDesktopDisplayMode(&desktop) && desktop.width > 800 && desktop.height > 600)
        rect = {(desktop.width - 800) / 2, (desktop.height - 600) / 2, (desktop.width + 800) / 2,
                (desktop.height + 600) / 2};
    Window* window = Window::Create("Brimvale bench", WindowStyle::Framed, rect, true);
    if (!window)
        return nullptr;
    DisplayState& display = GetDisplayState();
    display.window = window;
    display.windowed = true;
    display.displayWidth = 800;
    display.displayHeight = 600;
    display.displayBits = 32;
    if (CreateDisplayDevice(false) != 0)
        return nullptr;
    display.deviceReady = true;
    window->Show(SW_SHOW);
    // Frames reach a window only while it has the focus, as in the game.
    window->SetForeground();
    for (int i = 0; i < 300 && Window::GetForegroundWindow() != window; ++i) {
        PumpMessages();
        usleep(10000);
    }
    if (Window::GetForegroundWindow() != window) {
        std::printf("the window did not get the focus: frames would not be presented\n");
        return nullptr;
    }
    return display.device;
}

// Keeps the speed bonus running: clicked as a player would, else started
// directly (with the van's speed and trail set as the bonus sets them).
void KeepSpeedBonus(GMLevelRun& run, float baseSpeed, bool* clicked)
{
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.Bonuses().GetNext(c));) {
        auto* bonus = static_cast<GMBonusObj*>(o);
        if (bonus->GetBonusKind() != 0 || bonus->IsRunning())
            continue;
        float x = 0, y = 0;
        if (!*clicked && run.FindBonusButton(0, &x, &y)) {
            run.Frame(x, y, 0, 16.0f);
            run.Frame(x, y, 1, 16.0f);
            *clicked = true;
        }
        if (!bonus->IsRunning())
            bonus->Activate(true);
    }
    if (GMTransportObj* van = run.GetVehicle()) {
        if (van->GetSpeed() <= baseSpeed)
            van->SetSpeed(baseSpeed * 2.0f);
        van->SetGhostOn(true);
    }
}

// The busy day's frames: the van kept busy, the speed bonus running, floating
// texts added; each frame timed by `timedFrame`.
template <class TimedFrame>
void PlayBusyDay(GMLevelRun& run, int frames, TimedFrame&& timedFrame, Timings* day)
{
    const float baseSpeed = run.GetVehicle() ? run.GetVehicle()->GetSpeed() : 0.0f;
    bool clicked = false;
    int driving = 0, texts = 0, ghostFrames = 0;
    for (int i = 0; i < frames; ++i) {
        KeepSpeedBonus(run, baseSpeed, &clicked);
        // Keep the van busy: pick up goods and send it to the order furthest down the list.
        float x = -500.0f, y = -500.0f;
        uint32_t buttons = 0;
        int phase = i % 60;
        GMOrderObj* order = nullptr;
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.Orders().GetNext(c));) {
            if (!static_cast<GMOrderObj*>(o)->IsTaken())
                order = static_cast<GMOrderObj*>(o);
        }
        if (order && run.Jobs().empty() && phase == 0 && run.FindGoodsIcon(order->GetGoodsNumber(), &x, &y)) {
            buttons = 1;
        } else if (order && run.GetHeldIcon() && phase >= 1 && phase < 10) {
            x = order->GetX();
            y = order->GetY();
            buttons = phase == 9 ? 1 : 0;
        }
        if (i % 15 == 0) {
            run.AddFloatingText("$25", 120.0f + float(i % 500), 300.0f, 3000.0f, 0xFDEB58, true, true, 0);
            ++texts;
        }
        timedFrame(*day, x, y, buttons);
        GMTransportObj* van = run.GetVehicle();
        driving += van && van->IsMoving() ? 1 : 0;
        ghostFrames += van && van->IsMoving() && van->IsGhostOn() ? 1 : 0;
    }
    std::printf("%d frames of 16 ms; van driving in %d (with its trail in %d), %d floating texts added, "
                "%d delivered, %d open at the end\n",
                frames, driving, ghostFrames, texts, run.GetDelivered(), run.Orders().GetCount());
}


// The busy day's town, with a profile that holds speed bonuses and a fixed seed.
bool LoadBusyTown(GMLevelRun& run, GMProfile& profile, GMImageManager& manager, DisplayDevice* device)
{
    profile.AddBonus(0, 10000.0f, 100, 1.5f, 2);
    run.SetProfile(&profile);
    run.FixSeed(3);
    return run.LoadLevel("bench1.lvl", &manager, device, nullptr, nullptr) == kLoadOk;
}

// The frame's update, draw and present, timed as one.
double FrameMs(GMLevelRun& run, DisplayDevice* device, float x, float y, uint32_t buttons)
{
    PumpMessages();
    auto t0 = Clock::now();
    run.Frame(x, y, buttons, 16.0f);
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    run.Draw(device);
    device->EndScene();
    PresentFrame();
    return MsSince(t0);
}

// The busy day once with each renderer, each on a window and device of its
// own, in one process: the game's own choice, OpenGL named, software named.
int CompareRenderers(const char* dir)
{
    struct Row {
        const char* label;
        const char* request;
        std::string chosen;
        Figures total{}, cpu{};
        bool ran = false;
        double draws = 0, switches = 0, flushes = 0;  // per frame
    } rows[] = {{"default choice", "", {}, {}, {}, false, 0, 0, 0},
                {"OpenGL named", "opengl", {}, {}, {}, false, 0, 0, 0},
                {"software named", "software", {}, {}, {}, false, 0, 0, 0}};
    const int frames = 3000;
    for (Row& row : rows) {
        if (!RequestRenderer(row.request)) {
            row.chosen = std::string("no ") + row.request + " renderer here";
            continue;
        }
        DisplayDevice* device = CreateWindowDevice();
        row.chosen = RendererChoiceText();
        if (!device)
            continue;
        GMImageManager manager;
        GMProfile profile;
        GMLevelRun run;
        if (LoadBusyTown(run, profile, manager, device)) {
            for (int i = 0; i < 2000 && !(run.GetStateWord() == 0 && run.Orders().GetCount() >= 8); ++i)
                FrameMs(run, device, -500.0f, -500.0f, 0);
            Timings day;
            const DisplayDevice::RendererCounts before = device->GetRendererCounts();
            PlayBusyDay(run, frames, [&](Timings& into, float x, float y, uint32_t buttons) {
                double c0 = CpuMs();
                double ms = FrameMs(run, device, x, y, buttons);
                into.Add(0.0, ms, 0.0, CpuMs() - c0);
            }, &day);
            const DisplayDevice::RendererCounts after = device->GetRendererCounts();
            row.draws = double(after.draws - before.draws) / frames;
            row.switches = double(after.textureSwitches - before.textureSwitches) / frames;
            row.flushes = double(after.flushes - before.flushes) / frames;
            row.total = Summarise(day.total);
            row.cpu = Summarise(day.cpuTotal);
            row.ran = true;
        }
        run.Reset();
        manager.ReleaseAll();
        ReleaseDisplayDevice(false);
        delete GetDisplayState().window;
        GetDisplayState().window = nullptr;
    }
    RequestRenderer("");
    std::printf("\nbusiest day, update + draw + present per frame, %d frames each (ms)\n", frames);
    std::printf("%-16s %8s %8s %8s %8s %7s %8s %7s  %s\n", "renderer", "median", "p99", "CPU med", "CPU p99",
                "draws", "textures", "flushes", "what drew");
    for (const Row& row : rows) {
        if (row.ran)
            std::printf("%-16s %8.2f %8.2f %8.2f %8.2f %7.0f %8.0f %7.1f  %s\n", row.label, row.total.median,
                        row.total.p99, row.cpu.median, row.cpu.p99, row.draws, row.switches, row.flushes,
                        row.chosen.c_str());
        else
            std::printf("%-16s %8s %8s %8s %8s %7s %8s %7s  %s\n", row.label, "-", "-", "-", "-", "-", "-", "-",
                        row.chosen.c_str());
    }
    std::printf("(draws, textures, flushes: per frame, what reached SDL's renderer)\n");
    double load[1] = {0.0};
    if (getloadavg(load, 1) == 1)
        std::printf("load average %.1f on %ld cores\n", load[0], sysconf(_SC_NPROCESSORS_ONLN));
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool compare = argc > 1 && !std::strcmp(argv[1], "--renderers");
    const int dataArg = compare ? 2 : 1;
    fs::path data = argc > dataArg ? fs::path(argv[dataArg]) : fs::path(BRIMVALE_BENCH_DATA_DIR);
    if (!fs::exists(data / "FontStd.img")) {
        std::printf("no data set at %s (build brimvale_gamedata, or name the directory)\n", data.c_str());
        return 1;
    }
    if (!StartPlatform()) {
        std::printf("no display\n");
        return 1;
    }
    char tmpl[] = "/tmp/brimvale-bench-day-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir || ::chdir(dir) != 0)
        return 1;
    for (const auto& entry : fs::directory_iterator(data)) {
        std::error_code ec;
        fs::create_symlink(entry.path(), fs::current_path() / entry.path().filename(), ec);
    }
    const std::string customers =
        "\"CUS\" \"Town\\People\\AnnaI.img\" \"Town\\People\\AnnaH.img\" 0 600 1 1 1\n"
        "\"CUS\" \"Town\\People\\BenI.img\" \"Town\\People\\BenH.img\" 0 600 1 1 1\n"
        "\"CUS\" \"Town\\People\\GrandmaI.img\" \"Town\\People\\GrandmaH.img\" 0 600 1 1 1\n"
        "\"CUS\" \"Town\\People\\OmarI.img\" \"Town\\People\\OmarH.img\" 0 600 1 1 1\n"
        "\"CUS\" \"Town\\People\\LucyI.img\" \"Town\\People\\LucyH.img\" 0 600 1 1 1\n"
        "\"CUS\" \"Town\\People\\FinnI.img\" \"Town\\People\\FinnH.img\" 0 600 1 1 1\n"
        "\"CUS\" \"Town\\People\\RosaI.img\" \"Town\\People\\RosaH.img\" 0 600 1 1 1\n"
        "\"CUS\" \"Town\\People\\GrandpaI.img\" \"Town\\People\\GrandpaH.img\" 0 600 1 1 1\n";
    if (!WriteLevel("bench1.lvl", golden::GoldenTown(customers, "\"LOR\" 500 \"LSC\" 100 \"OSG\" 8 \"OMG\" 7 "
                                                                "\"OTD\" 0.1 \"OTM\" 0.1 \"OTI\" 0 "
                                                                "\"CMB\" 10 20 30 2 3 4\n")))
        return 1;
    // The same town with as many orders as slots: every one delivered makes the perfect day.
    if (!WriteLevel("bench2.lvl", golden::GoldenTown(customers, "\"LOR\" 8 \"LSC\" 100 \"OSG\" 8 \"OMG\" 7 "
                                                                "\"OTD\" 0.1 \"OTM\" 0.1 \"OTI\" 0 "
                                                                "\"CMB\" 10 20 30 2 3 4\n")))
        return 1;

    if (compare)
        return CompareRenderers(dir);
    DisplayDevice* device = CreateWindowDevice();
    if (!device) {
        std::printf("no display device\n");
        return 1;
    }
    DeviceDesc caps{};
    device->GetCaps(&caps);
    const char* driver = std::getenv("SDL_RENDER_DRIVER");
    char renderer[64];
    std::snprintf(renderer, sizeof renderer, "%s, %s", (caps.devCaps & D3DDEVCAPS_HWRASTERIZATION) ? "accelerated" : "software",
                  driver && *driver ? driver : "default driver");
    std::printf("renderer: %s; video driver %s\n", renderer,
                std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "default");
    GMImageManager manager;
    GMProfile profile;
    GMLevelRun run;
    if (!LoadBusyTown(run, profile, manager, device)) {
        std::printf("the town did not load\n");
        return 1;
    }
    auto draw = [&]() {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        run.Draw(device);
        device->EndScene();
        PresentFrame();
    };
    // One frame, its update and its draw timed apart, wall clock and CPU.
    auto timedFrame = [&](Timings& into, float x, float y, uint32_t buttons) {
        PumpMessages();
        double c0 = CpuMs();
        auto t0 = Clock::now();
        run.Frame(x, y, buttons, 16.0f);
        double u = MsSince(t0);
        double c1 = CpuMs();
        auto t1 = Clock::now();
        draw();
        double d = MsSince(t1);
        into.Add(u, d, c1 - c0, CpuMs() - c1);
    };
    // Into play with every slot open.
    for (int i = 0; i < 2000 && !(run.GetStateWord() == 0 && run.Orders().GetCount() >= 8); ++i) {
        run.Frame(-500.0f, -500.0f, 0, 16.0f);
        draw();
    }
    std::printf("Busy day: %d orders open, state %u\n", run.Orders().GetCount(), run.GetStateWord());

    const int frames = 3000;
    Timings day;
    PlayBusyDay(run, frames, timedFrame, &day);
    day.Print("busy day, speed bonus running", renderer);
    if (const char* shot = std::getenv("BENCH_SHOT")) {
        // The last busy frame once more, kept as a picture to look at.
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        run.Draw(device);
        device->EndScene();
        device->SaveBackBufferPng(shot);
    }

    // A perfect day ends in the UFO game where this build has one: every order of
    // a short day in the same town open, then all delivered.
    if (run.LoadLevel("bench2.lvl", &manager, device, nullptr, nullptr) != kLoadOk) {
        std::printf("the second town did not load\n");
        return 1;
    }
    for (int i = 0; i < 2000 && !(run.GetStateWord() == 0 && run.GetOrdersLeft() == 0); ++i) {
        run.Frame(-500.0f, -500.0f, 0, 16.0f);
        draw();
    }
    run.EndTheDay();
    for (int i = 0; i < 600 && !(run.GetStateWord() & kStateUfoGame); ++i) {
        if (run.GetStateWord() & kStateReport)
            break;
        run.Frame(-500.0f, -500.0f, 0, 16.0f);
        draw();
    }
    if (run.GetStateWord() & kStateUfoGame) {
        Timings ufo;
        int clicks = 0;
        for (int i = 0; i < frames && (run.GetStateWord() & kStateUfoGame); ++i) {
            // A player chasing UFOs: the pointer on the first one in sight, a click every third of a second.
            float x = -500.0f, y = -500.0f;
            const bool seen = run.FindUfo(1, &x, &y);
            const uint32_t buttons = seen && i % 20 == 0 ? 1u : 0u;
            clicks += buttons != 0;
            timedFrame(ufo, x, y, buttons);
        }
        std::printf("UFO game: %d clicks at UFOs in sight\n", clicks);
        ufo.Print("UFO game", renderer);
    } else {
        std::printf("UFO game: not in this build (the perfect day went straight to its report)\n");
    }
    double load[1] = {0.0};
    if (getloadavg(load, 1) == 1)
        std::printf("load average %.1f on %ld cores (the wall clock's p99 is mostly other processes)\n", load[0],
                    sysconf(_SC_NPROCESSORS_ONLN));
    run.Reset();
    ReleaseDisplayDevice(false);
    delete GetDisplayState().window;
    GetDisplayState().window = nullptr;
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
