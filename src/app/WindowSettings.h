#pragma once
#include <cstdint>

// How the window shows the game, kept in "window.cfg" beside "option.cfg" so
// that file keeps its four lines. Plain text, one "name value" a line:
//   scale 2        the window is the frame times this whole number (1 to 8)
//   filter sharp   a scaled picture is drawn sharp (nearest) or smooth (linear)
// Unknown names and values that do not read are ignored (the default stays);
// each such line is named in the error log, and the file is left as it is.
struct WindowSettings {
    int32_t scale = 1;
    bool smooth = true;
};

constexpr int32_t kMaxWindowScale = 8;

// False (settings untouched) when the file cannot be opened. A line that is
// not understood gets one record in `errorLog` (null: none).
bool ReadWindowSettings(const char* path, WindowSettings* settings, const char* errorLog = nullptr);
// Through a temporary file; false when nothing was written.
bool WriteWindowSettings(const char* path, const WindowSettings& settings);

// A scale given on the command line or in the file: 1 to 8, else 0.
int32_t ParseWindowScale(const char* text);
// "sharp" -> 0, "smooth" -> 1, else -1.
int32_t ParseWindowFilter(const char* text);
