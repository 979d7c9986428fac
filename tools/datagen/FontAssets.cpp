// The bitmap fonts: one picture per character (codes 32 to 126), white glyphs
// that the game tints, with advance, height above the baseline and left
// overhang per frame in an IMF file. Also the HUD digit picture.
#include "datagen/Generator.h"

#include <cmath>

namespace {


} // namespace

// Glyph picture of one character with the baseline at row `above`.
double FontTextWidth(const FontStyle& style, const std::string& text)
{
    Canvas probe(4, 4);
    probe.SetFont(style.face, style.size);
    double width = 0;
    for (char ch : text) {
        char one[2] = {ch, 0};
        cairo_text_extents_t ext;
        cairo_text_extents(probe.Cr(), one, &ext);
        width += std::round(ext.x_advance);
    }
    return width;
}

bool WriteFont(DataDir& dir, const FontStyle& style)
{
    TemplateSpec spec;
    std::string folder = style.folder;
    double pad = std::ceil(style.outline + style.shadow) + 1;
    Canvas probe(4, 4);
    probe.SetFont(style.face, style.size);
    for (int code = 32; code <= 126; ++code) {
        char text[2] = {static_cast<char>(code), 0};
        cairo_text_extents_t ext;
        cairo_text_extents(probe.Cr(), text, &ext);
        double advance = std::round(ext.x_advance);
        int left = static_cast<int>(std::max(0.0, std::ceil(-ext.x_bearing)) + pad);
        int above = static_cast<int>(std::ceil(std::max(0.0, -ext.y_bearing)) + pad);
        int below = static_cast<int>(std::ceil(std::max(0.0, ext.height + ext.y_bearing)) + pad);
        int width = static_cast<int>(std::ceil(std::max(advance, ext.x_bearing + ext.width)) + left + pad);
        above += style.leading;
        if (code == 32) {
            above = 1 + style.leading;
            below = 0;
            width = static_cast<int>(advance);
            left = 0;
        }
        Canvas c(std::max(width, 1), std::max(above + below, 1));
        if (code != 32) {
            if (style.shadow > 0) {
                c.Text(text, left + style.shadow, above + style.shadow, style.face, style.size, {0x1E1208, 0.55});
                c.BlurAlpha(1);
            }
            if (style.outline > 0)
                c.OutlinedText(text, left, above, style.face, style.size, {0xFFFFFF}, {0x2A1A0E, style.outlineAlpha},
                               style.outline);
            else
                c.Text(text, left, above, style.face, style.size, {0xFFFFFF});
        }
        char file[64];
        std::snprintf(file, sizeof file, "%s\\c%03d.png", folder.c_str(), code);
        if (!dir.WritePicture(file, c))
            return false;
        spec.frames.push_back(file);
        FrameSizes fs;
        fs.frame = code - 32;
        fs.imw = advance;
        fs.imh = above;
        if (left != 0)
            fs.imx = -left;
        spec.perFrame.push_back(fs);
    }
    spec.imf = folder + "\\Sizes.imf";
    return dir.WriteTemplate(std::string(style.name) + ".img", spec);
}

namespace {

// Digit picture: 0-9, "-", "$", "x", ":"; every frame's box has the digits'
// height, so a number sits on the y it is drawn at.
bool WriteDigits(DataDir& dir)
{
    const char chars[] = "0123456789-$x:";
    const double size = 22;
    Canvas probe(4, 4);
    probe.SetFont(Face::SansBold, size);
    cairo_text_extents_t zero;
    cairo_text_extents(probe.Cr(), "0", &zero);
    int boxHeight = static_cast<int>(std::ceil(-zero.y_bearing)) + 1;
    TemplateSpec spec;
    for (int i = 0; i < 14; ++i) {
        char text[2] = {chars[i], 0};
        cairo_text_extents_t ext;
        cairo_text_extents(probe.Cr(), text, &ext);
        double advance = std::round(ext.x_advance);
        int below = static_cast<int>(std::ceil(std::max(0.0, ext.height + ext.y_bearing))) + 1;
        int width = static_cast<int>(std::ceil(std::max(advance, ext.x_bearing + ext.width))) + 1;
        Canvas c(width, boxHeight + below);
        c.Text(text, 0, boxHeight, Face::SansBold, size, {0xFFFFFF});
        char file[64];
        std::snprintf(file, sizeof file, "Hud\\Digits\\d%02d.png", i);
        if (!dir.WritePicture(file, c))
            return false;
        spec.frames.push_back(file);
        FrameSizes fs;
        fs.frame = i;
        fs.imw = advance;
        fs.imh = boxHeight;
        spec.perFrame.push_back(fs);
    }
    spec.imf = "Hud\\Digits\\Sizes.imf";
    return dir.WriteTemplate("Hud\\Digits.img", spec);
}

} // namespace

bool GenerateFonts(DataDir& dir)
{
    if (!FacesAvailable())
        return dir.Fail("the DejaVu fonts are missing (fonts-dejavu-core)");
    const FontStyle styles[] = {
        {"FontStd", "Fonts\\Std", Face::SansBold, 17, 1.0, 0.45, 0, 4},
        {"Font16", "Fonts\\F16", Face::SansBold, 16, 0, 0, 1, 0},
        {"FontBig", "Fonts\\Big", Face::SansBold, 48, 3.0, 0.85, 0, 0},
    };
    for (const auto& s : styles) {
        if (!WriteFont(dir, s))
            return false;
        dir.AddPreload(std::string(s.name) + ".img");
    }
    if (!WriteDigits(dir))
        return false;
    dir.AddPreload("Hud\\Digits.img");
    return true;
}
