#pragma once
#include <string>

// The executable's own pictures (icons 108 and 110, cursors 111 and 116),
// drawn in the data set's style and written as C++ source with the pixels in
// arrays, plus PNG copies to look at. Returns false when a file cannot be written.
bool WriteExeImages(const std::string& outDir);

// The application icon at the hicolor theme's sizes, as
// outDir/NxN/apps/brimvale.png (16 to 256 pixels), for the desktop menu.
bool WriteDesktopIcons(const std::string& outDir);
