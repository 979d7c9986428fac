#include "support/gfx/CairoFont.h"

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <fontconfig/fontconfig.h>

namespace {

struct Glyph {
    int advance = 0;
    TestPicture picture;
};

Glyph Render(cairo_t* measure, const char* text, int ascent, int descent, int pad, double pixelSize)
{
    cairo_text_extents_t ext;
    cairo_text_extents(measure, text, &ext);
    Glyph g;
    g.advance = int(std::lround(ext.x_advance));
    int w = g.advance + 2 * pad;
    int h = ascent + descent;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, pixelSize);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_move_to(cr, pad, ascent);
    cairo_show_text(cr, text);
    cairo_surface_flush(s);
    g.picture = TestPicture(w, h, 0);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t a = row[x] >> 24;  // premultiplied white: alpha is all we need
            g.picture.At(x, y) = (a << 24) | (a ? 0xFFFFFFu : 0u);
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return g;
}

cairo_t* MeasuringContext(double pixelSize, cairo_surface_t** surface)
{
    *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(*surface);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, pixelSize);
    return cr;
}

// cairo and fontconfig keep their font caches for the process; the leak checker
// would report them.
void ReleaseFontCaches()
{
    cairo_debug_reset_static_data();
    FcFini();
}

bool WriteFile(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool CairoFont::Write(const std::string& name, double pixelSize)
{
    cairo_surface_t* surface;
    cairo_t* cr = MeasuringContext(pixelSize, &surface);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    ascent = int(std::ceil(fe.ascent));
    descent = int(std::ceil(fe.descent));
    pad = int(std::ceil(pixelSize / 8));
    advance.clear();
    glyphs.clear();
    std::string img = "\"FR\" 96\n", sizes;
    bool ok = true;
    for (int i = 0; i < 96; ++i) {
        char text[2] = {char(32 + i), 0};
        Glyph g = Render(cr, text, ascent, descent, pad, pixelSize);
        std::string file = name + "_" + std::to_string(i) + ".png";
        ok = ok && WritePng(file, g.picture, PngKind::Rgba);
        img += "\"" + file + "\"\n";
        sizes += "\"IMW\" " + std::to_string(i) + " " + std::to_string(g.advance) + "\n";
        sizes += "\"IMH\" " + std::to_string(i) + " " + std::to_string(ascent) + "\n";
        advance.push_back(g.advance);
        glyphs.push_back(g.picture);
    }
    img += "\"IMX\" -" + std::to_string(pad) + "\n\"IMF\" \"" + name + ".siz\"\n";
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    ReleaseFontCaches();
    return ok && WriteFile(name + ".img", img) && WriteFile(name + ".siz", sizes);
}

bool CairoFont::WriteDigits(const std::string& name, double pixelSize)
{
    cairo_surface_t* surface;
    cairo_t* cr = MeasuringContext(pixelSize, &surface);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    ascent = int(std::ceil(fe.ascent));
    descent = 0;
    pad = 0;
    advance.clear();
    glyphs.clear();
    const char* chars = "0123456789-$x:";
    std::string img = "\"FR\" 14\n";
    bool ok = true;
    for (int i = 0; i < 14; ++i) {
        char text[2] = {chars[i], 0};
        Glyph g = Render(cr, text, ascent, 0, 0, pixelSize);
        std::string file = name + "_" + std::to_string(i) + ".png";
        ok = ok && WritePng(file, g.picture, PngKind::Rgba);
        img += "\"" + file + "\"\n";
        advance.push_back(g.advance);
        glyphs.push_back(g.picture);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    ReleaseFontCaches();
    return ok && WriteFile(name + ".img", img);
}
