#include "app/Settings.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"

#include <cmath>
#include <cstdio>

namespace {

// A volume from the file, read into 0..1: hand-edited or damaged values must
// neither reach the options screen's digits nor stick there (NaN never
// compares, so it would stay forever): NaN gives the default.
float VolumeFromFile(float value, float fallback)
{
    if (std::isnan(value))
        return fallback;
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

}  // namespace

bool ReadSettings(const char* path, Settings* settings)
{
    FILE* f = OpenFile(path, "rt");
    if (!f)
        return false;
    int32_t windowed = 0;
    if (!ReadPlainInt(f, &windowed))
        windowed = 0;
    char name[kValueBufferSize];
    if (ReadQuoted(f, '"', '"', name, nullptr) < 0)
        name[0] = 0;
    // A value that does not convert becomes 1.0; at the end of the file the
    // music volume keeps its default, as a scan that meets the end converts nothing.
    float value = 0.0f;
    int got = std::fscanf(f, "%f", &value);
    if (got == 1)
        settings->musicVolume = VolumeFromFile(value, Settings{}.musicVolume);
    else if (got != EOF)
        settings->musicVolume = 1.0f;
    got = std::fscanf(f, "%f", &value);
    settings->effectsVolume = got == 1 ? VolumeFromFile(value, Settings{}.effectsVolume) : 1.0f;
    std::fclose(f);
    settings->windowed = windowed != 0;
    settings->profileFile = name;
    return true;
}

bool WriteSettings(const char* path, const Settings& settings)
{
    return WriteFileAtomically(path, "wt", [&](FILE* f) {
        return std::fprintf(f, "%i\n\"%s\"\n%f\n%f\n", settings.windowed ? 1 : 0, settings.profileFile.c_str(),
                            static_cast<double>(settings.musicVolume),
                            static_cast<double>(settings.effectsVolume)) > 0;
    });
}

float SteppedVolume(float volume, float step)
{
    volume += step;
    if (volume < 0.02f)
        volume = 0.0f;
    if (volume > 1.0f)
        volume = 1.0f;
    return volume;
}
