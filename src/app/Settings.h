#pragma once
#include <string>

// The four settings kept between runs in "option.cfg".
struct Settings {
    bool windowed = false;
    std::string profileFile;
    float musicVolume = 0.8f;
    float effectsVolume = 1.0f;
};

// Reads the file into settings; false (settings untouched) when it cannot be
// opened. Volumes are read into 0..1; NaN gives the default.
bool ReadSettings(const char* path, Settings* settings);
// Writes the four lines through a temporary file; false when nothing was written.
bool WriteSettings(const char* path, const Settings& settings);

// A volume step of the options screen: below 0.02 becomes 0, above 1 becomes 1.
float SteppedVolume(float volume, float step);
