#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Test sounds are made here, never committed: interleaved 16-bit samples are
// encoded into an Ogg Vorbis file with libvorbisenc. Files chained one after
// another need streams of different serial numbers.
bool WriteOggFile(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate,
                  float quality = 0.5f, int serial = 1);

// A sine tone of the given length and peak, the same on every channel.
std::vector<int16_t> MakeTone(int frames, int channels, int rate, double hz, double peak);
