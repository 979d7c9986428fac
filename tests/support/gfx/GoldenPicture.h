#pragma once
// Golden pictures: a drawn frame compared pixel for pixel (colour only) with
// a PNG kept in tests/golden, shared by the unit tests and the end-to-end runs.
#include <cstdint>
#include <string>
#include <vector>

// Reads a PNG into 0xAARRGGBB pixels; false when it cannot be read.
bool ReadPngPixels(const std::string& path, uint32_t* width, uint32_t* height, std::vector<uint32_t>* pixels);

// True when BRIMVALE_GOLDEN_UPDATE asks for the golden pictures to be rewritten.
bool GoldenUpdating();

// Compares the frame with the golden PNG (or, while updating, writes it).
// Returns an empty string when they agree; otherwise what differs, after
// writing NAME.actual.png and NAME.diff.png (changed pixels red over a dimmed
// copy of the golden one) into outDir.
std::string CompareWithGolden(const std::string& goldenPath, const std::string& name, const uint32_t* pixels,
                              uint32_t width, uint32_t height, const std::string& outDir);
