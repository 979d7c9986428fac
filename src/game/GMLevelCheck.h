#pragma once
#include "world/LevelSource.h"

#include <string>
#include <vector>

class DisplayDevice;
class GMImageManager;
class GMLevelRun;

// What a level maker needs to know before playing a day: every line the loader
// refuses (or why it refuses the whole file), a day that can never end, and an
// order bubble that would cover another house's bubble or a shop's goods.
class GMLevelCheck {
public:
    // Loads `fileName` from the working directory the way the game does and
    // lists every problem in words; empty when there is none.
    static std::vector<std::string> Check(const char* fileName, GMImageManager* manager, DisplayDevice* device);
    // The problems of a day that loaded.
    static std::vector<std::string> CheckLoaded(const GMLevelRun& run);
    // What the data set's house pictures and panel font measure, for
    // compiling a source as the generator does: without it the compiler
    // guesses every roof halfway down, keeps goods icons clear of bubbles that
    // are not where the day puts them (the check then finds icons under the
    // real ones), and wraps story text by a guessed glyph width.
    static LevelMeasures Measures(GMImageManager* manager, DisplayDevice* device);
};
