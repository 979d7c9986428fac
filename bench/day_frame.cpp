// Update and draw time per frame of a busy working day, headless on the
// software renderer: every order slot open, the van driving, floating texts
// rising. Prints the median and the 99th percentile of each.
// run: build/bench/bench_day_frame [DATA_DIR]
#include "core/TaggedFile.h"
#include "game/GMHud.h"
#include "game/GMLevelRun.h"
#include "game/GoldenTown.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"
#include "player/GMProfile.h"
#include "world/GMOrderObj.h"
#include "world/GMTransportObj.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
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

}  // namespace

int main(int argc, char** argv)
{
    fs::path data = argc > 1 ? fs::path(argv[1]) : fs::path(BRIMVALE_BENCH_DATA_DIR);
    if (!fs::exists(data / "FontStd.img")) {
        std::printf("no data set at %s (build brimvale_gamedata, or name the directory)\n", data.c_str());
        return 1;
    }
    if (!StartPlatform()) {
        std::printf("no display\n");
        return 1;
    }
    DisplayDevice* device = nullptr;
    if (DisplayDevice::CreateOffscreen(800, 600, &device) != DD_OK) {
        std::printf("no headless device\n");
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

    GMImageManager manager;
    GMProfile profile;
    profile.AddBonus(0, 10000.0f, 100, 1.5f, 2);
    GMLevelRun run;
    run.SetProfile(&profile);
    run.FixSeed(3);
    if (run.LoadLevel("bench1.lvl", &manager, device, nullptr, nullptr) != kLoadOk) {
        std::printf("the town did not load\n");
        return 1;
    }
    auto draw = [&]() {
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        run.Draw(device);
        device->EndScene();
        device->Flush();
    };
    // Into play with every slot open.
    for (int i = 0; i < 2000 && !(run.GetStateWord() == 0 && run.Orders().GetCount() >= 8); ++i) {
        run.Frame(-500.0f, -500.0f, 0, 16.0f);
        draw();
    }
    std::printf("Busy day: %d orders open, state %u\n", run.Orders().GetCount(), run.GetStateWord());

    const int frames = 3000;
    std::vector<double> update, drawing, total, cpuUpdate, cpuDraw, cpuTotal;
    update.reserve(frames);
    drawing.reserve(frames);
    total.reserve(frames);
    int driving = 0, texts = 0;
    for (int i = 0; i < frames; ++i) {
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
        double c0 = CpuMs();
        auto t0 = Clock::now();
        run.Frame(x, y, buttons, 16.0f);
        double u = MsSince(t0);
        double c1 = CpuMs();
        auto t1 = Clock::now();
        draw();
        double d = MsSince(t1);
        double c2 = CpuMs();
        cpuUpdate.push_back(c1 - c0);
        cpuDraw.push_back(c2 - c1);
        cpuTotal.push_back(c2 - c0);
        update.push_back(u);
        drawing.push_back(d);
        total.push_back(u + d);
        driving += run.GetVehicle() && run.GetVehicle()->IsMoving() ? 1 : 0;
    }
    Figures fu = Summarise(update), fd = Summarise(drawing), ft = Summarise(total);
    std::printf("%d frames of 16 ms; van driving in %d, %d floating texts added, %d delivered, %d open at the end\n",
                frames, driving, texts, run.GetDelivered(), run.Orders().GetCount());
    std::printf("wall clock            median      p99     mean  (ms per frame)\n");
    std::printf("  update            %8.3f %8.3f %8.3f   goal < 0.5\n", fu.median, fu.p99, fu.mean);
    std::printf("  draw (software)   %8.3f %8.3f %8.3f\n", fd.median, fd.p99, fd.mean);
    std::printf("  update + draw     %8.3f %8.3f %8.3f   goal < 8\n", ft.median, ft.p99, ft.mean);
    Figures cu = Summarise(cpuUpdate), cd = Summarise(cpuDraw), ct = Summarise(cpuTotal);
    std::printf("thread CPU time\n");
    std::printf("  update            %8.3f %8.3f %8.3f\n", cu.median, cu.p99, cu.mean);
    std::printf("  draw (software)   %8.3f %8.3f %8.3f\n", cd.median, cd.p99, cd.mean);
    std::printf("  update + draw     %8.3f %8.3f %8.3f\n", ct.median, ct.p99, ct.mean);
    double load[1] = {0.0};
    if (getloadavg(load, 1) == 1)
        std::printf("load average %.1f on %ld cores (the wall clock's p99 is mostly other processes)\n", load[0],
                    sysconf(_SC_NPROCESSORS_ONLN));
    run.Reset();
    device->Release();
    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
