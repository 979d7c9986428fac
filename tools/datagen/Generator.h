#pragma once
#include "datagen/DataDir.h"

// One generator per asset family; each writes its files into the data
// directory and returns false on the first failure (the DataDir keeps why).
bool GenerateFonts(DataDir& dir);
bool GenerateStartup(DataDir& dir);
bool GenerateMenus(DataDir& dir);
bool GenerateLevelHud(DataDir& dir);
bool GenerateHelp(DataDir& dir);
bool GenerateSounds(DataDir& dir);

// Every family, then "preload.cfg" from what they registered.
bool GenerateAll(DataDir& dir);
