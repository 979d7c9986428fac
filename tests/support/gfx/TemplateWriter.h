#pragma once
#include <cstdint>
#include <string>

// Writes "<name>.img" into the current directory: `frames` solid pictures of
// w x h in `color` (each its own PNG, so frames can be told apart by colour
// when `stepColor` is set: frame i has its red channel raised by 16 * i),
// followed by the template lines in `extra` (e.g. "\"IMW\" 40\n\"SP\" 10\n").
void WriteSolidTemplate(const std::string& name, int frames, int w, int h, uint32_t color,
                        const std::string& extra = "", bool stepColor = false);
