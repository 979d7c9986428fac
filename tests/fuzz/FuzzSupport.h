#pragma once
// What every fuzz target shares: a private working directory, a headless
// display device, small pictures and a block font to point files at, and the
// file writing the readers expect (plain or scrambled with the file's name).
#include <cstddef>
#include <cstdint>
#include <string>

class DisplayDevice;

namespace fuzz {

// Creates a fresh directory under TMPDIR and makes it the working directory,
// once per process. Also routes SDL to its dummy drivers.
void EnterWorkDir();
// A headless 800 x 600 device (made on first use).
DisplayDevice* Device();

// Writes bytes to a file in the working directory.
void WriteFile(const char* name, const uint8_t* data, size_t size);
// The same, scrambled with the key the game derives from the name.
void WriteScrambled(const char* name, const uint8_t* data, size_t size);

// A small opaque 24-bit BMP of w x h pixels (also what the alpha target
// puts in front of an "_A" companion).
std::string MakeBmp(int w, int h, uint32_t seed);
// Writes "g.bmp" (8 x 12), "a.png" (4 x 4) and "Font.img", a 96-frame block
// font over g.bmp, into the working directory.
void WriteFixturePictures();
// The device, with the fixture pictures written on first use.
DisplayDevice* DeviceWithPictures();

// Links every entry of the generated data set (BRIMVALE_FUZZ_DATA, else
// `defaultDir`) into the working directory, except those whose name ends in
// `leaveOut` (so the fuzzed file of that name is the only one); exits when
// there is no data set.
void LinkDataSet(const char* defaultDir, const char* leaveOut);

// Splits data at the first "\n--\n" line: before and after (after is empty without one).
void SplitAtMarker(const uint8_t* data, size_t size, std::string* first, std::string* second);

}  // namespace fuzz
