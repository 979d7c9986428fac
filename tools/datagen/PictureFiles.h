#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writers for the picture formats the game's loaders read. Each takes straight
// RGBA rows (top to bottom) and writes identical bytes for identical input.
// All return false when the file cannot be written.

// 8-bit RGBA PNG, no time stamp or text chunks.
bool WritePngFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height);
// Baseline JPEG of the colour channels at a fixed quality.
bool WriteJpegFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height, int quality);
// Greyscale JPEG whose grey level is the picture's alpha (an "_A" companion).
bool WriteJpegAlphaFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
                        int quality);
// GIF89a with a 256-colour palette quantized from the colours (alpha dropped).
bool WriteGifFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height);
// Bottom-up 24-bit Windows bitmap (alpha dropped).
bool WriteBmpFile(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height);
