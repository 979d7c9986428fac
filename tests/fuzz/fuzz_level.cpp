// A level file, given unscrambled and scrambled here under its own name as the
// game stores it, loaded through the day's loader over the generated data set
// (so the pictures, templates and story layouts it names are real), then a
// few seconds of the day are played with a wandering, clicking pointer and
// the last frame is drawn.
#include "FuzzSupport.h"

#include "game/GMLevelRun.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "player/GMProfile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The data set from BRIMVALE_FUZZ_DATA, else the default build's; every
// entry is linked into the work directory beside the fuzzed level.
void LinkDataSet()
{
    const char* env = std::getenv("BRIMVALE_FUZZ_DATA");
    std::filesystem::path data = env && *env ? env : BRIMVALE_FUZZ_DEFAULT_DATA;
    std::error_code error;
    if (!std::filesystem::exists(data / "level1.lvl", error)) {
        std::fprintf(stderr, "fuzz_level: no generated data set in %s (run `make data` or set BRIMVALE_FUZZ_DATA)\n",
                     data.c_str());
        std::exit(1);
    }
    for (const auto& entry : std::filesystem::directory_iterator(data, error)) {
        const std::filesystem::path name = entry.path().filename();
        // The shipped days themselves stay out: only the fuzzed one is loaded.
        if (name.extension() == ".lvl")
            continue;
        std::filesystem::create_symlink(entry.path(), name, error);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One cache for the whole run: the data set's pictures are read once.
    static GMImageManager* manager = nullptr;
    if (!manager) {
        fuzz::Device();
        LinkDataSet();
        manager = new GMImageManager;
        manager->SetErrorLogPath("");
    }
    DisplayDevice* device = fuzz::Device();
    fuzz::WriteScrambled("level5.lvl", data, size);

    GMProfile profile;
    profile.SetDisplayName("Fuzz");
    profile.SetFileName("FUZZ.prf");
    GMLevelRun run;
    run.SetProfile(&profile);
    run.FixSeed(static_cast<uint32_t>(size));
    float progress = 0.0f;
    LevelLoadNotes notes;
    if (run.LoadLevel("level5.lvl", manager, device, nullptr, &progress, &notes) == kLoadOk) {
        for (int i = 0; i < 24; ++i) {
            const float x = static_cast<float>((i * 137) % 820) - 10.0f;
            const float y = static_cast<float>((i * 71) % 620) - 10.0f;
            run.Frame(x, y, i % 3 == 2 ? 1u : 0u, 160.0f);
        }
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        run.Draw(device);
        device->EndScene();
    }
    run.Reset();
    return 0;
}
