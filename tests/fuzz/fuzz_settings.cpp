// The player's small settings files, read as the game reads them at start-up
// and written back as the options screen does; what was read must survive
// being written and read again.
//   options: "option.cfg"      window: "window.cfg"
#include "FuzzSupport.h"

#include "app/Settings.h"
#include "app/WindowSettings.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterWorkDir();
#ifdef BRIMVALE_FUZZ_WINDOW
    fuzz::WriteFile("window.cfg", data, size);
    WindowSettings read;
    if (!ReadWindowSettings("window.cfg", &read))
        return 0;
    if (read.scale < 1 || read.scale > kMaxWindowScale)
        std::abort();
    WindowSettings again;
    if (!WriteWindowSettings("window.cfg", read) || !ReadWindowSettings("window.cfg", &again) ||
        again.scale != read.scale || again.smooth != read.smooth)
        std::abort();
#else
    fuzz::WriteFile("option.cfg", data, size);
    Settings read;
    if (!ReadSettings("option.cfg", &read))
        return 0;
    if (!(read.musicVolume >= 0.0f && read.musicVolume <= 1.0f) ||
        !(read.effectsVolume >= 0.0f && read.effectsVolume <= 1.0f))
        std::abort();
    Settings again;
    if (!WriteSettings("option.cfg", read) || !ReadSettings("option.cfg", &again) || again.windowed != read.windowed)
        std::abort();
#endif
    return 0;
}
