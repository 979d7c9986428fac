#pragma once
#include "datagen/DataDir.h"
#include "world/LevelSource.h"

#include <string>

// One generator per asset family; each writes its files into the data
// directory and returns false on the first failure (the DataDir keeps why).
bool GenerateFonts(DataDir& dir);
bool GenerateStartup(DataDir& dir);
bool GenerateMenus(DataDir& dir);
bool GenerateLevelHud(DataDir& dir);
bool GenerateHelp(DataDir& dir);
bool GenerateSounds(DataDir& dir);

// The town's pictures (roads, buildings, people, HUD looks, story screens,
// mini-game), from the catalogue in Town.h, and "cars.lst".
bool GenerateTown(DataDir& dir);

// A bitmap font: one white glyph picture per character 32..126 and an IMF
// file with advance, height above the baseline and left overhang.
struct FontStyle {
    const char* name;      // template stem, e.g. "FontStd"
    const char* folder;    // picture folder
    Face face;
    double size;
    double outline;        // dark outline width, 0 for none
    double outlineAlpha;
    double shadow;         // shadow offset, 0 for none
    int leading;           // empty rows above every glyph: the line step grows by this
};
bool WriteFont(DataDir& dir, const FontStyle& style);
// The width of a text in a generated font as the game measures it: the sum of
// its glyphs' advances (each rounded, as WriteFont stores them).
double FontTextWidth(const FontStyle& style, const std::string& text);
// The level's HUD and story font (TFI).
extern const FontStyle kHudFontStyle;

// Every family, then "preload.cfg" from what they registered.
bool GenerateAll(DataDir& dir);
