#include "datagen/Generator.h"

bool GenerateAll(DataDir& dir)
{
    // Fonts first: the menus and the help pages measure text with them.
    bool ok = GenerateFonts(dir) && GenerateStartup(dir) && GenerateMenus(dir) && GenerateLevelHud(dir) &&
              GenerateHelp(dir) && GenerateSounds(dir);
    if (!ok)
        return false;
    std::string list = "Templates loaded into the image cache while the loading screen shows.\n";
    for (const auto& t : dir.Preload())
        list += "\"" + t + "\"\n";
    return dir.WriteText("preload.cfg", list);
}
