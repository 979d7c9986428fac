#include "datagen/Generator.h"
#include "datagen/Town.h"

#include <thread>

bool GenerateAll(DataDir& dir)
{
    // Sounds take about as long as all the pictures together: they run on a
    // second core into their own DataDir, merged afterwards in a fixed order,
    // so the output does not depend on timing.
    DataDir soundDir(dir.Root(), dir.SourceDir());
    bool soundsOk = false;
    std::thread sounds([&] { soundsOk = GenerateSounds(soundDir); });
    // Fonts first: the menus and the help pages measure text with them.
    bool ok = GenerateFonts(dir) && GenerateStartup(dir) && GenerateMenus(dir) && GenerateLevelHud(dir) &&
              GenerateHelp(dir) && GenerateTown(dir) && GenerateLevels(dir);
    sounds.join();
    for (const auto& f : soundDir.Written())
        dir.Record(f);
    if (!soundsOk)
        return dir.Fail(soundDir.Failed() ? soundDir.Error() : "the sounds could not be generated");
    if (!ok)
        return false;
    std::string list = "Templates loaded into the image cache while the loading screen shows.\n";
    for (const auto& t : dir.Preload())
        list += "\"" + t + "\"\n";
    return dir.WriteText("preload.cfg", list);
}
