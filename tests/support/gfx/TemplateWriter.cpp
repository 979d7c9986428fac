#include "support/gfx/TemplateWriter.h"

#include "support/gfx/PictureWriters.h"

#include <cstdio>

void WriteSolidTemplate(const std::string& name, int frames, int w, int h, uint32_t color, const std::string& extra,
                        bool stepColor)
{
    std::string img = "\"FR\" " + std::to_string(frames) + "\n";
    for (int i = 0; i < frames; ++i) {
        std::string png = name + "_" + std::to_string(i) + ".png";
        uint32_t c = stepColor ? color + (static_cast<uint32_t>(16 * i) << 16) : color;
        WritePng(png, TestPicture(w, h, c), PngKind::Rgba);
        img += "\"" + png + "\"\n";
    }
    img += extra;
    FILE* f = std::fopen((name + ".img").c_str(), "wb");
    if (f) {
        std::fputs(img.c_str(), f);
        std::fclose(f);
    }
}
