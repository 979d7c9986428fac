#include "datagen/Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstring>

namespace {

struct FaceSet {
    FT_Library library = nullptr;
    cairo_font_face_t* faces[4] = {};
    bool ok = false;

    FaceSet()
    {
        static const char* files[4] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansCondensed-Bold.ttf",
                                       "DejaVuSerif-Bold.ttf"};
        if (FT_Init_FreeType(&library) != 0)
            return;
        ok = true;
        for (int i = 0; i < 4; ++i) {
            std::string path = std::string(BRIMVALE_FONT_DIR) + "/" + files[i];
            FT_Face ft = nullptr;
            if (FT_New_Face(library, path.c_str(), 0, &ft) != 0) {
                ok = false;
                continue;
            }
            faces[i] = cairo_ft_font_face_create_for_ft_face(ft, 0);
        }
    }
};

FaceSet& Faces()
{
    static FaceSet set;
    return set;
}

void ApplyFontOptions(cairo_t* cr)
{
    // Fixed options so the glyphs come out the same on every machine.
    cairo_font_options_t* opt = cairo_font_options_create();
    cairo_font_options_set_antialias(opt, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(opt, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(opt, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, opt);
    cairo_font_options_destroy(opt);
}

} // namespace

cairo_font_face_t* GetFace(Face face)
{
    return Faces().faces[static_cast<int>(face)];
}

bool FacesAvailable()
{
    return Faces().ok;
}

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height)
{
    m_surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    m_cr = cairo_create(m_surface);
    ApplyFontOptions(m_cr);
}

Canvas::~Canvas()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

std::vector<uint8_t> Canvas::Rgba()
{
    cairo_surface_flush(m_surface);
    const uint8_t* data = cairo_image_surface_get_data(m_surface);
    int stride = cairo_image_surface_get_stride(m_surface);
    std::vector<uint8_t> out(static_cast<size_t>(m_width) * m_height * 4);
    for (int y = 0; y < m_height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        uint8_t* dst = out.data() + static_cast<size_t>(y) * m_width * 4;
        for (int x = 0; x < m_width; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24;
            uint32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            if (a > 0 && a < 255) {
                r = (r * 255 + a / 2) / a;
                g = (g * 255 + a / 2) / a;
                b = (b * 255 + a / 2) / a;
            }
            dst[x * 4 + 0] = static_cast<uint8_t>(r > 255 ? 255 : r);
            dst[x * 4 + 1] = static_cast<uint8_t>(g > 255 ? 255 : g);
            dst[x * 4 + 2] = static_cast<uint8_t>(b > 255 ? 255 : b);
            dst[x * 4 + 3] = static_cast<uint8_t>(a);
        }
    }
    return out;
}

void Canvas::Colour(Rgb c)
{
    cairo_set_source_rgba(m_cr, ((c.rgb >> 16) & 255) / 255.0, ((c.rgb >> 8) & 255) / 255.0, (c.rgb & 255) / 255.0,
                          c.a);
}

void Canvas::Clear(Rgb c)
{
    cairo_save(m_cr);
    cairo_set_operator(m_cr, CAIRO_OPERATOR_SOURCE);
    Colour(c);
    cairo_paint(m_cr);
    cairo_restore(m_cr);
}

void Canvas::RoundRectPath(double x, double y, double w, double h, double r)
{
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(m_cr);
    cairo_arc(m_cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(m_cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(m_cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(m_cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(m_cr);
}

void Canvas::FillRoundRect(double x, double y, double w, double h, double r, Rgb c)
{
    RoundRectPath(x, y, w, h, r);
    Colour(c);
    cairo_fill(m_cr);
}

void Canvas::StrokeRoundRect(double x, double y, double w, double h, double r, double lineWidth, Rgb c)
{
    RoundRectPath(x, y, w, h, r);
    Colour(c);
    cairo_set_line_width(m_cr, lineWidth);
    cairo_stroke(m_cr);
}

void Canvas::FillCircle(double cx, double cy, double r, Rgb c)
{
    cairo_new_sub_path(m_cr);
    cairo_arc(m_cr, cx, cy, r, 0, 2 * M_PI);
    Colour(c);
    cairo_fill(m_cr);
}

void Canvas::StrokeCircle(double cx, double cy, double r, double lineWidth, Rgb c)
{
    cairo_new_sub_path(m_cr);
    cairo_arc(m_cr, cx, cy, r, 0, 2 * M_PI);
    Colour(c);
    cairo_set_line_width(m_cr, lineWidth);
    cairo_stroke(m_cr);
}

void Canvas::FillRect(double x, double y, double w, double h, Rgb c)
{
    cairo_rectangle(m_cr, x, y, w, h);
    Colour(c);
    cairo_fill(m_cr);
}

void Canvas::VerticalGradientRect(double x, double y, double w, double h, Rgb top, Rgb bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(p, 0, ((top.rgb >> 16) & 255) / 255.0, ((top.rgb >> 8) & 255) / 255.0,
                                      (top.rgb & 255) / 255.0, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, ((bottom.rgb >> 16) & 255) / 255.0, ((bottom.rgb >> 8) & 255) / 255.0,
                                      (bottom.rgb & 255) / 255.0, bottom.a);
    cairo_rectangle(m_cr, x, y, w, h);
    cairo_set_source(m_cr, p);
    cairo_fill(m_cr);
    cairo_pattern_destroy(p);
}

void Canvas::FillPolygon(const std::vector<double>& xy, Rgb c)
{
    if (xy.size() < 6)
        return;
    cairo_move_to(m_cr, xy[0], xy[1]);
    for (size_t i = 2; i + 1 < xy.size(); i += 2)
        cairo_line_to(m_cr, xy[i], xy[i + 1]);
    cairo_close_path(m_cr);
    Colour(c);
    cairo_fill(m_cr);
}

void Canvas::SetFont(Face face, double size)
{
    cairo_set_font_face(m_cr, GetFace(face));
    cairo_set_font_size(m_cr, size);
}

double Canvas::TextWidth(const std::string& text, Face face, double size)
{
    SetFont(face, size);
    cairo_text_extents_t ext;
    cairo_text_extents(m_cr, text.c_str(), &ext);
    return ext.x_advance;
}

static double AlignedX(double x, double width, Align align)
{
    if (align == Align::Centre)
        return x - width / 2;
    if (align == Align::Right)
        return x - width;
    return x;
}

double Canvas::Text(const std::string& text, double x, double y, Face face, double size, Rgb c, Align align)
{
    double w = TextWidth(text, face, size);
    cairo_move_to(m_cr, AlignedX(x, w, align), y);
    Colour(c);
    cairo_show_text(m_cr, text.c_str());
    cairo_new_path(m_cr);
    return w;
}

double Canvas::OutlinedText(const std::string& text, double x, double y, Face face, double size, Rgb fill,
                            Rgb outline, double outlineWidth, Align align)
{
    double w = TextWidth(text, face, size);
    cairo_move_to(m_cr, AlignedX(x, w, align), y);
    cairo_text_path(m_cr, text.c_str());
    Colour(outline);
    cairo_set_line_width(m_cr, outlineWidth * 2);
    cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(m_cr);
    Colour(fill);
    cairo_fill(m_cr);
    return w;
}

void Canvas::BlurAlpha(int radius)
{
    if (radius <= 0)
        return;
    cairo_surface_flush(m_surface);
    uint8_t* data = cairo_image_surface_get_data(m_surface);
    int stride = cairo_image_surface_get_stride(m_surface);
    // Two box passes each way approximate a gaussian; premultiplied channels
    // blur together so colours stay consistent with alpha.
    std::vector<int> tmp(static_cast<size_t>(std::max(m_width, m_height)) * 4);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < m_height; ++y) {
            uint8_t* row = data + static_cast<size_t>(y) * stride;
            for (int x = 0; x < m_width; ++x)
                for (int ch = 0; ch < 4; ++ch)
                    tmp[x * 4 + ch] = row[x * 4 + ch];
            for (int x = 0; x < m_width; ++x) {
                for (int ch = 0; ch < 4; ++ch) {
                    int sum = 0;
                    for (int k = -radius; k <= radius; ++k) {
                        int xx = x + k;
                        if (xx >= 0 && xx < m_width)
                            sum += tmp[xx * 4 + ch];
                    }
                    row[x * 4 + ch] = static_cast<uint8_t>((sum + (2 * radius + 1) / 2) / (2 * radius + 1));
                }
            }
        }
        for (int x = 0; x < m_width; ++x) {
            for (int y = 0; y < m_height; ++y)
                for (int ch = 0; ch < 4; ++ch)
                    tmp[y * 4 + ch] = data[static_cast<size_t>(y) * stride + x * 4 + ch];
            for (int y = 0; y < m_height; ++y) {
                for (int ch = 0; ch < 4; ++ch) {
                    int sum = 0;
                    for (int k = -radius; k <= radius; ++k) {
                        int yy = y + k;
                        if (yy < 0 || yy >= m_height)
                            continue;
                        sum += tmp[yy * 4 + ch];
                    }
                    data[static_cast<size_t>(y) * stride + x * 4 + ch] =
                        static_cast<uint8_t>((sum + (2 * radius + 1) / 2) / (2 * radius + 1));
                }
            }
        }
    }
    cairo_surface_mark_dirty(m_surface);
}

void Canvas::Paint(Canvas& other, double x, double y, double scale, double alpha)
{
    cairo_save(m_cr);
    cairo_translate(m_cr, x, y);
    cairo_scale(m_cr, scale, scale);
    cairo_set_source_surface(m_cr, other.Surface(), 0, 0);
    if (scale != 1.0)
        cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_GOOD);
    cairo_paint_with_alpha(m_cr, alpha);
    cairo_restore(m_cr);
}
