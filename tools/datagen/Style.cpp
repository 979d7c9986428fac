#include "datagen/Style.h"

#include <cmath>
#include <vector>

void DrawShadow(Canvas& c, double x, double y, double w, double h, double r, double alpha)
{
    Canvas s(c.Width(), c.Height());
    s.FillRoundRect(x, y, w, h, r, {0x1A0E06, alpha});
    s.BlurAlpha(3);
    c.Paint(s, 0, 0);
}

void DrawButton(Canvas& c, const std::string& label, bool hover, ButtonKind kind, double fontSize)
{
    double W = c.Width(), H = c.Height();
    double r = std::min(H / 2, 16.0);
    uint32_t body = Pal::Cream, lip = Pal::CreamShade, text = Pal::Ink;
    if (kind == ButtonKind::Accent) {
        body = Pal::Brick;
        lip = Pal::BrickShade;
        text = Pal::Cream;
    } else if (kind == ButtonKind::Quiet) {
        body = Pal::Teal;
        lip = Pal::TealShade;
        text = Pal::Cream;
    }
    if (hover) {
        body = Pal::Gold;
        lip = Pal::GoldShade;
        text = Pal::Ink;
    }
    double lipH = std::max(3.0, std::round(H * 0.1));
    c.FillRoundRect(1, 1, W - 2, H - 2, r, {lip});
    c.FillRoundRect(1, 1, W - 2, H - 2 - lipH, r, {body});
    // A light band on the upper half gives the flat pill a little volume.
    c.FillRoundRect(r * 0.6, 3, W - r * 1.2, (H - lipH) * 0.32, r * 0.5, {0xFFFFFF, hover ? 0.35 : 0.22});
    c.StrokeRoundRect(1, 1, W - 2, H - 2, r, 2, {Pal::Ink});
    if (fontSize <= 0)
        fontSize = std::min(H * 0.52, 18.0);
    double tw = c.TextWidth(label, Face::SansBold, fontSize);
    while (tw > W - 2 * r && fontSize > 9) {
        fontSize -= 1;
        tw = c.TextWidth(label, Face::SansBold, fontSize);
    }
    double baseline = (H - lipH) / 2 + fontSize * 0.36 + 1;
    // A label that cannot shrink enough is cut rather than spilt over the ends.
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_rectangle(cr, r * 0.75, 0, W - r * 1.5, H);
    cairo_clip(cr);
    c.Text(label, W / 2, baseline, Face::SansBold, fontSize, {text}, Align::Centre);
    cairo_restore(cr);
}

void DrawIcon(Canvas& c, Icon icon, double cx, double cy, double s, Rgb colour)
{
    cairo_t* cr = c.Cr();
    switch (icon) {
    case Icon::Left:
        c.FillPolygon({cx - s * 0.45, cy, cx + s * 0.3, cy - s * 0.42, cx + s * 0.3, cy + s * 0.42}, colour);
        break;
    case Icon::Right:
        c.FillPolygon({cx + s * 0.45, cy, cx - s * 0.3, cy - s * 0.42, cx - s * 0.3, cy + s * 0.42}, colour);
        break;
    case Icon::Up:
        c.FillPolygon({cx, cy - s * 0.45, cx - s * 0.42, cy + s * 0.3, cx + s * 0.42, cy + s * 0.3}, colour);
        break;
    case Icon::Down:
        c.FillPolygon({cx, cy + s * 0.45, cx - s * 0.42, cy - s * 0.3, cx + s * 0.42, cy - s * 0.3}, colour);
        break;
    case Icon::Tick:
        cairo_move_to(cr, cx - s * 0.4, cy);
        cairo_line_to(cr, cx - s * 0.1, cy + s * 0.32);
        cairo_line_to(cr, cx + s * 0.45, cy - s * 0.38);
        c.Colour(colour);
        cairo_set_line_width(cr, s * 0.2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
        break;
    case Icon::Plus:
    case Icon::Cross: {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        if (icon == Icon::Cross)
            cairo_rotate(cr, M_PI / 4);
        cairo_move_to(cr, -s * 0.4, 0);
        cairo_line_to(cr, s * 0.4, 0);
        cairo_move_to(cr, 0, -s * 0.4);
        cairo_line_to(cr, 0, s * 0.4);
        c.Colour(colour);
        cairo_set_line_width(cr, s * 0.18);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        cairo_restore(cr);
        break;
    }
    case Icon::Empty:
        break;
    }
}

void DrawIconButton(Canvas& c, Icon icon, bool hover, bool square)
{
    double W = c.Width(), H = c.Height();
    uint32_t body = hover ? Pal::Gold : Pal::Cream;
    uint32_t lip = hover ? Pal::GoldShade : Pal::CreamShade;
    double r = square ? 6 : std::min(W, H) / 2 - 1;
    c.FillRoundRect(1, 1, W - 2, H - 2, r, {lip});
    c.FillRoundRect(1, 1, W - 2, H - 5, r, {body});
    c.StrokeRoundRect(1, 1, W - 2, H - 2, r, 2, {Pal::Ink});
    Rgb mark = {Pal::Ink};
    if (icon == Icon::Tick)
        mark = {0x2E7D32};
    DrawIcon(c, icon, W / 2, (H - 3) / 2 + 0.5, std::min(W, H) * 0.62, mark);
}

void DrawPanel(Canvas& c, double x, double y, double w, double h, const std::string& title)
{
    DrawShadow(c, x + 4, y + 8, w, h, 22, 0.55);
    c.FillRoundRect(x, y, w, h, 22, {Pal::Wood});
    // Wood grain: a few soft darker lines along the frame.
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    c.RoundRectPath(x, y, w, h, 22);
    cairo_clip(cr);
    Dice d(static_cast<uint32_t>(x * 7 + y * 13 + w));
    for (int i = 0; i < 14; ++i) {
        double gy = y + d.Range(0, h);
        cairo_move_to(cr, x, gy);
        cairo_curve_to(cr, x + w * 0.3, gy + d.Range(-4, 4), x + w * 0.6, gy + d.Range(-4, 4), x + w, gy);
        c.Colour({Pal::WoodShade, 0.35});
        cairo_set_line_width(cr, d.Range(1, 2.5));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    c.StrokeRoundRect(x + 1.5, y + 1.5, w - 3, h - 3, 21, 3, {Pal::Ink});
    double inset = 12;
    c.FillRoundRect(x + inset, y + inset, w - 2 * inset, h - 2 * inset, 14, {Pal::Panel});
    c.StrokeRoundRect(x + inset, y + inset, w - 2 * inset, h - 2 * inset, 14, 2, {0x2A180D});
    // Nail heads in the corners.
    for (int i = 0; i < 4; ++i) {
        double nx = (i & 1) ? x + w - 6.5 : x + 6.5, ny = (i & 2) ? y + h - 6.5 : y + 6.5;
        c.FillCircle(nx, ny, 2.5, {0xD9B98A});
    }
    if (!title.empty()) {
        double tw = c.TextWidth(title, Face::SansBold, 20) + 48;
        double tx = x + (w - tw) / 2, ty = y - 14;
        c.FillPolygon({tx - 14, ty + 6, tx + 4, ty + 6, tx + 4, ty + 34, tx - 14, ty + 34, tx - 6, ty + 20}, {Pal::BrickShade});
        c.FillPolygon({tx + tw + 14, ty + 6, tx + tw - 4, ty + 6, tx + tw - 4, ty + 34, tx + tw + 14, ty + 34,
                       tx + tw + 6, ty + 20},
                      {Pal::BrickShade});
        c.FillRoundRect(tx, ty, tw, 34, 8, {Pal::Brick});
        c.StrokeRoundRect(tx, ty, tw, 34, 8, 2, {Pal::Ink});
        c.Text(title, x + w / 2, ty + 24, Face::SansBold, 20, {Pal::Cream}, Align::Centre);
    }
}

void DrawInset(Canvas& c, double x, double y, double w, double h, uint32_t fill)
{
    c.FillRoundRect(x, y, w, h, 8, {fill});
    c.FillRoundRect(x, y, w, 3, 2, {0x000000, 0.25});
    c.StrokeRoundRect(x, y, w, h, 8, 1.5, {0x8A5A3A, 0.8});
}

void DrawSky(Canvas& c, double height, uint32_t top, uint32_t low)
{
    c.VerticalGradientRect(0, 0, c.Width(), height, {top}, {low});
}

void DrawSun(Canvas& c, double x, double y, double r)
{
    c.FillCircle(x, y, r * 1.8, {0xFFF0C0, 0.25});
    c.FillCircle(x, y, r * 1.35, {0xFFE7A0, 0.35});
    c.FillCircle(x, y, r, {Pal::Sun});
}

void DrawCloud(Canvas& c, double x, double y, double s, double alpha)
{
    Rgb white = {0xFFFBF2, alpha};
    c.FillRoundRect(x - 46 * s, y - 10 * s, 92 * s, 24 * s, 12 * s, white);
    c.FillCircle(x - 18 * s, y - 10 * s, 18 * s, white);
    c.FillCircle(x + 10 * s, y - 16 * s, 22 * s, white);
    c.FillCircle(x + 32 * s, y - 4 * s, 13 * s, white);
}

void DrawHills(Canvas& c, double baseY, uint32_t colour, double amplitude, double phase, double waves)
{
    cairo_t* cr = c.Cr();
    double W = c.Width();
    cairo_move_to(cr, 0, c.Height());
    for (int x = 0; x <= W; x += 8) {
        double t = x / W;
        double y = baseY - amplitude * (0.6 * std::sin(t * waves * 2 * M_PI + phase) +
                                        0.4 * std::sin(t * waves * 3.7 * M_PI + phase * 1.7));
        cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, W, c.Height());
    cairo_close_path(cr);
    c.Colour({colour});
    cairo_fill(cr);
}

void DrawHouse(Canvas& c, double x, double ground, double w, double h, uint32_t wall, uint32_t roof, bool lit)
{
    double top = ground - h;
    c.FillRect(x, top, w, h, {wall});
    c.FillRect(x + w - w * 0.18, top, w * 0.18, h, {0x000000, 0.10});
    // Roof with an overhang, and a chimney.
    c.FillRect(x + w * 0.65, top - h * 0.55, w * 0.12, h * 0.4, {0x8A4B3A});
    c.FillPolygon({x - w * 0.1, top + 1, x + w / 2, top - h * 0.55, x + w * 1.1, top + 1}, {roof});
    c.FillPolygon({x + w / 2, top - h * 0.55, x + w * 1.1, top + 1, x + w * 0.8, top + 1}, {0x000000, 0.12});
    // Door and windows.
    double dw = w * 0.22, dh = h * 0.45;
    c.FillRoundRect(x + w * 0.39, ground - dh, dw, dh, dw * 0.4, {0x6B3E24});
    Rgb glass = lit ? Rgb{0xFFD66B} : Rgb{0xCFEAF2};
    double ww = w * 0.2;
    c.FillRect(x + w * 0.1, top + h * 0.22, ww, ww, glass);
    c.FillRect(x + w * 0.7, top + h * 0.22, ww, ww, glass);
    c.FillRect(x + w * 0.1 + ww / 2 - 0.75, top + h * 0.22, 1.5, ww, {0xFFFFFF, 0.7});
    c.FillRect(x + w * 0.7 + ww / 2 - 0.75, top + h * 0.22, 1.5, ww, {0xFFFFFF, 0.7});
}

void DrawTree(Canvas& c, double x, double ground, double s)
{
    c.FillRect(x - 2.5 * s, ground - 14 * s, 5 * s, 14 * s, {0x6B4226});
    c.FillCircle(x, ground - 22 * s, 12 * s, {Pal::LeafShade});
    c.FillCircle(x - 5 * s, ground - 26 * s, 9 * s, {Pal::Leaf});
    c.FillCircle(x + 4 * s, ground - 29 * s, 7 * s, {0x8BC063});
}

void DrawTown(Canvas& c, double x0, double x1, double ground, double s, uint32_t seed, bool lit)
{
    static const uint32_t walls[] = {0xF4D9A8, 0xE9B97A, 0xF2E6CF, 0xD9896A, 0xBFD8C8, 0xF0C987};
    static const uint32_t roofs[] = {Pal::Brick, 0x8E5C9A, 0x3F7F8C, 0xB8452F, 0x6D4C3D, 0xD07A2E};
    Dice d(seed);
    double x = x0;
    while (x < x1) {
        if (d.Unit() < 0.3) {
            DrawTree(c, x + 10 * s, ground, s * d.Range(0.8, 1.2));
            x += 22 * s;
            continue;
        }
        double w = d.Range(34, 52) * s, h = d.Range(26, 40) * s;
        DrawHouse(c, x, ground, w, h, walls[d.Next() % 6], roofs[d.Next() % 6], lit && d.Unit() < 0.7);
        x += w + d.Range(6, 14) * s;
    }
}

void DrawGameTitle(Canvas& c, double cx, double baseline, double size)
{
    const std::string name = "Brimvale";
    cairo_t* cr = c.Cr();
    double w = c.TextWidth(name, Face::SerifBold, size);
    // Shadow, thick dark outline, then the warm gradient letters.
    cairo_move_to(cr, cx - w / 2 + size * 0.04, baseline + size * 0.06);
    cairo_text_path(cr, name.c_str());
    c.Colour({0x1E1208, 0.45});
    cairo_set_line_width(cr, size * 0.16);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_move_to(cr, cx - w / 2, baseline);
    cairo_text_path(cr, name.c_str());
    c.Colour({Pal::Ink});
    cairo_set_line_width(cr, size * 0.14);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, baseline - size * 0.75, 0, baseline);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.93, 0.62);
    cairo_pattern_add_color_stop_rgb(p, 0.55, 1.0, 0.74, 0.22);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.90, 0.45, 0.16);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void DrawStudioMark(Canvas& c, double cx, double cy, double s, bool lit)
{
    cairo_t* cr = c.Cr();
    // Light beams when lit.
    if (lit) {
        c.FillPolygon({cx, cy - 44 * s, cx - 70 * s, cy - 66 * s, cx - 70 * s, cy - 30 * s}, {0xFFE9A0, 0.45});
        c.FillPolygon({cx, cy - 44 * s, cx + 70 * s, cy - 66 * s, cx + 70 * s, cy - 30 * s}, {0xFFE9A0, 0.45});
    }
    // Waves.
    c.FillRoundRect(cx - 40 * s, cy + 14 * s, 80 * s, 12 * s, 6 * s, {0x3F8CB0});
    // Tower with stripes.
    std::vector<double> tower = {cx - 14 * s, cy + 16 * s, cx - 9 * s, cy - 34 * s, cx + 9 * s, cy - 34 * s,
                                 cx + 14 * s, cy + 16 * s};
    c.FillPolygon(tower, {Pal::Cream});
    cairo_save(cr);
    cairo_move_to(cr, tower[0], tower[1]);
    for (size_t i = 2; i < tower.size(); i += 2)
        cairo_line_to(cr, tower[i], tower[i + 1]);
    cairo_close_path(cr);
    cairo_clip(cr);
    c.FillRect(cx - 20 * s, cy - 20 * s, 40 * s, 10 * s, {Pal::Brick});
    c.FillRect(cx - 20 * s, cy + 0 * s, 40 * s, 10 * s, {Pal::Brick});
    cairo_restore(cr);
    c.FillRect(cx - 11 * s, cy - 50 * s, 22 * s, 16 * s, {lit ? 0xFFD54Au : 0xF6E7B5u});
    c.FillPolygon({cx - 14 * s, cy - 50 * s, cx, cy - 62 * s, cx + 14 * s, cy - 50 * s}, {Pal::Brick});
    c.FillRect(cx - 16 * s, cy - 36 * s, 32 * s, 3 * s, {Pal::Ink});
    cairo_set_line_width(cr, 2 * s);
    c.Colour({Pal::Ink});
    cairo_rectangle(cr, cx - 11 * s, cy - 50 * s, 22 * s, 16 * s);
    cairo_stroke(cr);
}

void DrawVan(Canvas& c, double x, double ground, double s)
{
    // Body, cab, window, stripe, wheels.
    c.FillRoundRect(x - 60 * s, ground - 62 * s, 82 * s, 50 * s, 6 * s, {Pal::Cream});
    c.FillRoundRect(x + 16 * s, ground - 46 * s, 44 * s, 34 * s, 8 * s, {Pal::Brick});
    c.FillPolygon({x + 20 * s, ground - 46 * s, x + 40 * s, ground - 46 * s, x + 56 * s, ground - 30 * s,
                   x + 20 * s, ground - 30 * s},
                  {0xCFEAF2});
    c.FillRect(x - 60 * s, ground - 34 * s, 78 * s, 7 * s, {Pal::Brick});
    c.StrokeRoundRect(x - 60 * s, ground - 62 * s, 82 * s, 50 * s, 6 * s, 2.2 * s, {Pal::Ink});
    c.StrokeRoundRect(x + 16 * s, ground - 46 * s, 44 * s, 34 * s, 8 * s, 2.2 * s, {Pal::Ink});
    c.Text("B", x - 20 * s, ground - 39 * s, Face::SerifBold, 20 * s, {Pal::Brick}, Align::Centre);
    for (double wx : {x - 38 * s, x + 38 * s}) {
        c.FillCircle(wx, ground - 10 * s, 11 * s, {Pal::Ink});
        c.FillCircle(wx, ground - 10 * s, 5 * s, {0xD8D2C4});
    }
    c.FillRect(x + 56 * s, ground - 24 * s, 6 * s, 5 * s, {Pal::Gold});
}

void DrawGoods(Canvas& c, int kind, double cx, double cy, double s)
{
    cairo_t* cr = c.Cr();
    double k = s / 40.0;
    switch (kind) {
    case 0:  // bread
        c.FillRoundRect(cx - 18 * k, cy - 10 * k, 36 * k, 22 * k, 11 * k, {0xD9913F});
        c.FillRoundRect(cx - 16 * k, cy - 12 * k, 32 * k, 16 * k, 8 * k, {0xEDB566});
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, cx + (i * 9 - 3) * k, cy - 8 * k);
            cairo_line_to(cr, cx + (i * 9 + 3) * k, cy - 1 * k);
        }
        c.Colour({0xB06A24});
        cairo_set_line_width(cr, 2 * k);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        c.StrokeRoundRect(cx - 18 * k, cy - 12 * k, 36 * k, 24 * k, 11 * k, 1.8 * k, {Pal::Ink});
        break;
    case 1:  // milk
        c.FillRoundRect(cx - 10 * k, cy - 8 * k, 20 * k, 26 * k, 5 * k, {0xFAFAF5});
        c.FillRect(cx - 6 * k, cy - 17 * k, 12 * k, 10 * k, {0xFAFAF5});
        c.FillRect(cx - 7 * k, cy - 20 * k, 14 * k, 4 * k, {0x4A90C8});
        c.FillRect(cx - 10 * k, cy + 2 * k, 20 * k, 8 * k, {0x4A90C8});
        c.StrokeRoundRect(cx - 10 * k, cy - 8 * k, 20 * k, 26 * k, 5 * k, 1.8 * k, {Pal::Ink});
        break;
    case 2:  // flowers
        c.FillRect(cx - 1 * k, cy - 2 * k, 2 * k, 20 * k, {Pal::LeafShade});
        c.FillRect(cx - 9 * k, cy + 2 * k, 2 * k, 16 * k, {Pal::LeafShade});
        c.FillRect(cx + 7 * k, cy + 2 * k, 2 * k, 16 * k, {Pal::LeafShade});
        for (int i = 0; i < 3; ++i) {
            double fx = cx + (i - 1) * 9 * k, fy = cy - (i == 1 ? 8 : 2) * k;
            uint32_t col = i == 1 ? 0xE8577Bu : 0xF2B134u;
            for (int p = 0; p < 5; ++p)
                c.FillCircle(fx + 5 * k * std::cos(p * 1.2566), fy + 5 * k * std::sin(p * 1.2566), 3.6 * k, {col});
            c.FillCircle(fx, fy, 2.6 * k, {0xFFF3D6});
        }
        c.FillPolygon({cx - 13 * k, cy + 8 * k, cx + 13 * k, cy + 8 * k, cx + 8 * k, cy + 19 * k, cx - 8 * k,
                       cy + 19 * k},
                      {Pal::Brick});
        break;
    case 3:  // parcel
        c.FillRect(cx - 16 * k, cy - 12 * k, 32 * k, 26 * k, {0xC99A5B});
        c.FillRect(cx - 3 * k, cy - 12 * k, 6 * k, 26 * k, {0xE9D3A8});
        c.StrokeRoundRect(cx - 16 * k, cy - 12 * k, 32 * k, 26 * k, 2 * k, 1.8 * k, {Pal::Ink});
        break;
    default:  // cake
        c.FillRoundRect(cx - 16 * k, cy - 4 * k, 32 * k, 20 * k, 4 * k, {0xF4C2D2});
        c.FillRoundRect(cx - 16 * k, cy - 8 * k, 32 * k, 8 * k, 4 * k, {0xFFF8F0});
        c.FillCircle(cx, cy - 12 * k, 4 * k, {0xD8323C});
        c.StrokeRoundRect(cx - 16 * k, cy - 8 * k, 32 * k, 24 * k, 4 * k, 1.8 * k, {Pal::Ink});
        break;
    }
}

void DrawOrderBubble(Canvas& c, double cx, double cy, double s, int goods, int lit)
{
    c.FillPolygon({cx - 8 * s, cy + 24 * s, cx + 6 * s, cy + 24 * s, cx - 12 * s, cy + 40 * s}, {0xFFFFFF});
    c.FillRoundRect(cx - 34 * s, cy - 30 * s, 68 * s, 56 * s, 16 * s, {0xFFFFFF});
    c.StrokeRoundRect(cx - 34 * s, cy - 30 * s, 68 * s, 56 * s, 16 * s, 2 * s, {Pal::Ink});
    DrawGoods(c, goods, cx, cy - 8 * s, 36 * s);
    for (int i = 0; i < 6; ++i)
        c.FillCircle(cx - 25 * s + i * 10 * s, cy + 16 * s, 3.6 * s, {i < lit ? 0x5DBB4Du : 0xCFCFCFu});
}
