#pragma once
#include <string>

// Renders every screen this data set serves (start-up, menus, dialogs, help
// pages, HUD panels) from the generated data into outDir as PNG files.
// Returns the number of screens written, or -1 when a picture is missing.
int RenderPreviewScreens(const std::string& dataRoot, const std::string& outDir);

// Writes a contact sheet per town picture family ("sheet_<family>.png") and
// composed samples of a town, a story screen and the mini-game. Returns the
// number of pictures written, or -1 when one cannot be written.
int RenderTownSheets(const std::string& dataRoot, const std::string& outDir);
