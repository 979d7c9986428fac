#pragma once
#include <cstdint>

// Volumes are hundredths of a decibel, as DirectSound had them.
constexpr int32_t kVolumeSilent = -10000;
constexpr int32_t kVolumeFull = 0;

// Linear gain for a volume: 0 at -10000 and below, else 10^(volume / 2000).
float VolumeToGain(int32_t volume);
