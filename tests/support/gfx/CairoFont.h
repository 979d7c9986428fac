#pragma once
#include <string>
#include <vector>

#include "support/gfx/PictureWriters.h"

// A real font for screenshots: DejaVu Sans rendered with cairo, white on
// transparent, written into the current directory as "<name>.img" with its
// per-frame size file. Frame i is the character 32 + i (96 frames); each frame
// picture is the glyph's advance plus `pad` on both sides wide and ascent +
// descent high, the baseline at row `ascent`; the template shifts every frame
// left by pad ("IMX").
struct CairoFont {
    int ascent = 0;
    int descent = 0;
    int pad = 0;
    std::vector<int> advance;         // per frame
    std::vector<TestPicture> glyphs;  // per frame, as written

    bool Write(const std::string& name, double pixelSize);
    // The digit picture of DrawNumber: "0".."9", "-", "$", "x", ":".
    bool WriteDigits(const std::string& name, double pixelSize);
};
