// A day over the generated data set, as the game plays it: the level file
// (or, for `cars`, the mini-game's traffic list beside a shipped course) is
// served from memory under its own name, loaded through the day's loader,
// clicked through its story screen, played for a few seconds with a
// wandering, clicking pointer and drawn.
//   level: the input is a level file, unscrambled (scrambled here as
//          "level5.lvl").
//   cars:  the input is "cars.lst"; the day is the shipped course level5.lvl.
#include "FuzzSupport.h"

#include "core/FileSys.h"
#include "game/GMLevelRun.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "player/GMProfile.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // One cache for the whole run: the data set's pictures are read once, and
    // a still background is stretched once.
    static GMImageManager* manager = nullptr;
    if (!manager) {
        fuzz::Device();
#ifdef BRIMVALE_FUZZ_CARS
        fuzz::LinkDataSet(BRIMVALE_FUZZ_DEFAULT_DATA, "cars.lst");
#else
        // The shipped days themselves stay out: only the fuzzed one is loaded.
        fuzz::LinkDataSet(BRIMVALE_FUZZ_DEFAULT_DATA, ".lvl");
#endif
        manager = new GMImageManager;
        manager->SetErrorLogPath("");
    }
    DisplayDevice* device = fuzz::Device();
    const std::string input(reinterpret_cast<const char*>(data), size);
#ifdef BRIMVALE_FUZZ_CARS
    SetMemoryFile("cars.lst", input);
#else
    SetMemoryFile("level5.lvl", ScrambleForFile("level5.lvl", input));
#endif

    GMProfile profile;
    profile.SetDisplayName("Fuzz");
    // No file name: a day's saving is not written to disk for every input (the
    // profile target reads what it writes).
    GMLevelRun run;
    run.SetProfile(&profile);
    run.FixSeed(static_cast<uint32_t>(size));
    float progress = 0.0f;
    LevelLoadNotes notes;
    if (run.LoadLevel("level5.lvl", manager, device, nullptr, &progress, &notes) == kLoadOk) {
        // Through the story screen by its button, as a player goes on.
        float bx = 0.0f, by = 0.0f;
        for (int i = 0; i < 12 && (run.GetStateWord() & kStateIntro); ++i)
            if (run.FindButton("story", &bx, &by))
                run.Frame(bx, by, i % 2 == 0 ? 1u : 0u, 160.0f);
            else
                run.Frame(640.0f, 540.0f, 0u, 160.0f);
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
