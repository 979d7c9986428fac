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

// A decoded picture: straight RGBA rows, top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Reads a PNG, JPEG (with its "_A" companion as alpha when present), GIF or
// BMP by its signature, the way the game tells them apart. False when the file
// is missing or not a picture of those kinds.
bool ReadPictureFile(const std::string& path, Picture& out);
