#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

// The typefaces the data set is drawn with (DejaVu, shipped by Debian).
enum class Face { Sans, SansBold, SansCondBold, SerifBold };

// Text placement relative to the x given to Text().
enum class Align { Left, Centre, Right };

// A colour as 0xRRGGBB plus an alpha 0..1.
struct Rgb {
    uint32_t rgb;
    double a = 1.0;
};

// One picture being drawn: a cairo ARGB32 surface with the few shape and text
// helpers that the asset families share, so every picture has the same style.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    cairo_t* Cr() { return m_cr; }
    cairo_surface_t* Surface() { return m_surface; }

    // Straight (not premultiplied) RGBA rows, top to bottom.
    std::vector<uint8_t> Rgba();

    void Colour(Rgb c);
    void Clear(Rgb c);
    void RoundRectPath(double x, double y, double w, double h, double r);
    void FillRoundRect(double x, double y, double w, double h, double r, Rgb c);
    void StrokeRoundRect(double x, double y, double w, double h, double r, double lineWidth, Rgb c);
    void FillCircle(double cx, double cy, double r, Rgb c);
    void StrokeCircle(double cx, double cy, double r, double lineWidth, Rgb c);
    void FillRect(double x, double y, double w, double h, Rgb c);
    void VerticalGradientRect(double x, double y, double w, double h, Rgb top, Rgb bottom);
    void FillPolygon(const std::vector<double>& xy, Rgb c);

    // Text with its baseline at y; returns the advance width.
    double Text(const std::string& text, double x, double y, Face face, double size, Rgb c,
                Align align = Align::Left);
    // Text with a dark outline under it, for labels on busy pictures.
    double OutlinedText(const std::string& text, double x, double y, Face face, double size, Rgb fill,
                        Rgb outline, double outlineWidth, Align align = Align::Left);
    double TextWidth(const std::string& text, Face face, double size);
    void SetFont(Face face, double size);

    // A soft blur of what is drawn so far in the alpha channel (shadows, glows).
    void BlurAlpha(int radius);

    // Draws another canvas onto this one at (x, y), optionally scaled.
    void Paint(Canvas& other, double x, double y, double scale = 1.0, double alpha = 1.0);

private:
    int m_width;
    int m_height;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

// The cairo font face of one typeface (loaded once, kept for the whole run).
cairo_font_face_t* GetFace(Face face);
// Whether every typeface file could be loaded.
bool FacesAvailable();
