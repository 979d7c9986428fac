// Decorations: trees, hedges, fences, lamps, benches, a fountain, flower beds,
// water and a few animated touches. Each stands on its foot point, the bottom
// centre of a power-of-two canvas.
#include "datagen/Town.h"

#include <cmath>

namespace {

void Trunk(Canvas& c, double x, double bottom, double w, double h, uint32_t colour = 0x7A4E2D)
{
    c.FillRect(x - w / 2, bottom - h, w, h, {colour});
    cairo_rectangle(c.Cr(), x - w / 2, bottom - h, w, h);
    InkStroke(c, 1.2);
}

// A round crown from overlapping blobs, outlined once as a whole.
void Crown(Canvas& c, const std::vector<double>& blobs, uint32_t dark, uint32_t light)
{
    cairo_t* cr = c.Cr();
    for (size_t i = 0; i + 2 < blobs.size(); i += 3) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, blobs[i], blobs[i + 1], blobs[i + 2], 0, 2 * M_PI);
    }
    cairo_set_line_width(cr, 2.8);
    c.Colour({Pal::Ink});
    cairo_stroke_preserve(cr);
    c.Colour({dark});
    cairo_fill(cr);
    for (size_t i = 0; i + 2 < blobs.size(); i += 3)
        c.FillCircle(blobs[i] - blobs[i + 2] * 0.25, blobs[i + 1] - blobs[i + 2] * 0.3, blobs[i + 2] * 0.6, {light});
}

void TreeOak(Canvas& c, int)
{
    DrawGroundShadow(c, 33, 61, 16, 3.5);
    Trunk(c, 32, 63, 7, 20);
    Crown(c, {32, 28, 17, 20, 36, 11, 44, 36, 11, 26, 18, 10, 39, 19, 11}, Pal::LeafShade, Pal::Leaf);
}

void TreeApple(Canvas& c, int)
{
    DrawGroundShadow(c, 33, 61, 15, 3.5);
    Trunk(c, 32, 63, 6, 18);
    Crown(c, {32, 30, 15, 21, 36, 10, 43, 36, 10, 32, 20, 11}, 0x5E9A3E, 0x86BD5A);
    const double apples[] = {24, 34, 36, 26, 41, 38, 29, 22, 31, 40, 45, 30};
    for (int i = 0; i < 6; ++i) {
        c.FillCircle(apples[2 * i], apples[2 * i + 1], 2.4, {0xD8323C});
        c.FillCircle(apples[2 * i] - 0.7, apples[2 * i + 1] - 0.8, 0.8, {0xFFFFFF, 0.7});
    }
}

void TreePine(Canvas& c, int)
{
    DrawGroundShadow(c, 17, 61, 10, 3);
    Trunk(c, 16, 63, 5, 10, 0x6B4226);
    for (int i = 0; i < 3; ++i) {
        double base = 55 - i * 14, half = 14 - i * 3;
        std::vector<double> pts = {16 - half, base, 16, base - 22, 16 + half, base};
        c.FillPolygon(pts, {i % 2 ? 0x3E7A4Au : 0x2F6A3Du});
        cairo_move_to(c.Cr(), pts[0], pts[1]);
        cairo_line_to(c.Cr(), pts[2], pts[3]);
        cairo_line_to(c.Cr(), pts[4], pts[5]);
        cairo_close_path(c.Cr());
        InkStroke(c, 1.3);
        c.FillPolygon({16, base - 20, 16 - half * 0.5, base - 3, 16 - half * 0.15, base - 3}, {0x5E9A5E});
    }
}

void TreeBirch(Canvas& c, int)
{
    DrawGroundShadow(c, 17, 61, 9, 3);
    Trunk(c, 16, 63, 4.5, 30, 0xF4F1EC);
    for (double y : {40.0, 47.0, 55.0})
        c.FillRect(14, y, 3, 1.5, {0x3B2416});
    Crown(c, {16, 24, 11, 10, 30, 7, 22, 31, 7, 16, 14, 8}, 0x8DBE55, 0xB5D978);
}

void Bush(Canvas& c, int)
{
    DrawGroundShadow(c, 16, 29, 12, 2.5);
    Crown(c, {16, 21, 9, 9, 24, 6, 23, 24, 6}, Pal::LeafShade, Pal::Leaf);
}

void Hedge(Canvas& c, int)
{
    DrawGroundShadow(c, 32, 29, 24, 3);
    c.FillRoundRect(10, 12, 44, 18, 5, {Pal::LeafShade});
    c.FillRoundRect(10, 12, 44, 7, 4, {Pal::Leaf});
    Dice d(17);
    for (int i = 0; i < 14; ++i)
        c.FillCircle(d.Range(13, 51), d.Range(15, 27), 1.3, {0x3E6A28});
    c.StrokeRoundRect(10, 12, 44, 18, 5, 1.4, {Pal::Ink});
}

void FenceH(Canvas& c, int)
{
    const double x0 = 9.5, x1 = 54.5;
    c.FillRect(x0, 19, x1 - x0, 2.5, {0xF4EEDC});
    c.FillRect(x0, 25, x1 - x0, 2.5, {0xF4EEDC});
    for (double x = x0 + 1; x < x1; x += 6.4) {
        c.FillPolygon({x, 31, x, 15, x + 2, 12.5, x + 4, 15, x + 4, 31}, {0xFFFBF0});
        cairo_move_to(c.Cr(), x, 31);
        cairo_line_to(c.Cr(), x, 15);
        cairo_line_to(c.Cr(), x + 2, 12.5);
        cairo_line_to(c.Cr(), x + 4, 15);
        cairo_line_to(c.Cr(), x + 4, 31);
        InkStroke(c, 1);
    }
}

void FenceV(Canvas& c, int)
{
    // A fence running up the screen, seen from above: a rail with posts on it.
    c.FillRect(6.5, 19, 3, 44, {0xF4EEDC});
    cairo_rectangle(c.Cr(), 6.5, 19, 3, 44);
    InkStroke(c, 1);
    for (double y = 22; y <= 63; y += 9) {
        c.FillRoundRect(5, y - 4, 6, 6, 1.5, {0xFFFBF0});
        c.StrokeRoundRect(5, y - 4, 6, 6, 1.5, 1, {Pal::Ink});
    }
}

void Lamp(Canvas& c, int frame, bool lit)
{
    if (lit)
        c.FillCircle(8, 12, frame ? 7.5 : 8.5, {0xFFE27A, frame ? 0.35 : 0.45});
    DrawGroundShadow(c, 8, 62, 5, 1.5);
    c.FillRect(6.5, 16, 3, 47, {0x3E4A5A});
    c.FillRect(5, 58, 6, 5, {0x3E4A5A});
    c.FillPolygon({3, 10, 13, 10, 11, 17, 5, 17}, {lit ? 0xFFE27Au : 0xF6EBC8u});
    c.FillPolygon({2, 10, 14, 10, 8, 5}, {0x3E4A5A});
    cairo_rectangle(c.Cr(), 5, 10, 6, 7);
    InkStroke(c, 1);
}

void Bench(Canvas& c, int)
{
    DrawGroundShadow(c, 16, 29, 13, 2);
    c.FillRect(5, 24, 2, 7, {0x3E4A5A});
    c.FillRect(25, 24, 2, 7, {0x3E4A5A});
    c.FillRoundRect(3, 12, 26, 4, 1.5, {Pal::Wood});
    c.FillRoundRect(3, 17, 26, 4, 1.5, {Pal::Wood});
    c.FillRoundRect(2, 22, 28, 4, 1.5, {0xA0683F});
    for (double y : {12.0, 17.0, 22.0})
        c.StrokeRoundRect(y == 22 ? 2 : 3, y, y == 22 ? 28 : 26, 4, 1.5, 1, {Pal::Ink});
}

void Fountain(Canvas& c, int frame)
{
    DrawGroundShadow(c, 32, 60, 27, 4);
    cairo_t* cr = c.Cr();
    // Basin: an ellipse rim around the water.
    auto ellipse = [&](double cx, double cy, double rx, double ry) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    };
    c.FillRect(7, 48, 50, 8, {0xB9AC96});
    ellipse(32, 56, 25, 6);
    c.Colour({0xB9AC96});
    cairo_fill(cr);
    ellipse(32, 48, 25, 8);
    c.Colour({0xD9CDB6});
    cairo_fill_preserve(cr);
    InkStroke(c, 1.3);
    ellipse(32, 48, 21, 6);
    c.Colour({0x6FB7D9});
    cairo_fill(cr);
    // Ripples move outward frame by frame.
    for (int i = 0; i < 2; ++i) {
        double t = std::fmod(frame / 4.0 + i * 0.5, 1.0);
        ellipse(32, 48, 5 + t * 14, 1.5 + t * 4);
        c.Colour({0xFFFFFF, 0.7 * (1 - t)});
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    c.FillRect(29, 28, 6, 20, {0xD9CDB6});
    cairo_rectangle(cr, 29, 28, 6, 20);
    InkStroke(c, 1.2);
    ellipse(32, 28, 9, 3);
    c.Colour({0xD9CDB6});
    cairo_fill_preserve(cr);
    InkStroke(c, 1.2);
    // The jet: drops arcing out to both sides, shifting with the frame.
    for (int i = 0; i < 6; ++i) {
        double t = std::fmod(frame / 4.0 + i / 6.0, 1.0);
        double side = i % 2 ? 1 : -1;
        double x = 32 + side * t * 16, y = 24 - 14 * std::sin(t * M_PI) + t * 20;
        c.FillCircle(x, y, 1.6, {0xCFEFFF});
    }
    c.FillRoundRect(30.5, 12, 3, 14, 1.5, {0xCFEFFF, 0.9});
    c.FillCircle(32, 12, 3 + (frame % 2), {0xE8F8FF, 0.9});
}

void FlowerBed(Canvas& c, int, uint32_t bloom, uint32_t centre)
{
    DrawGroundShadow(c, 32, 29, 23, 2.5);
    c.FillRoundRect(10, 16, 44, 14, 6, {0x8A5A3A});
    c.FillRoundRect(12, 17, 40, 10, 5, {0x6B4226});
    c.StrokeRoundRect(10, 16, 44, 14, 6, 1.3, {Pal::Ink});
    Dice d(bloom);
    for (int i = 0; i < 9; ++i) {
        double x = 15 + i * 4.3, y = 18 + (i % 3) * 3;
        c.FillCircle(x, y + 2, 2.5, {Pal::LeafShade});
        for (int p = 0; p < 5; ++p)
            c.FillCircle(x + 2.2 * std::cos(p * 1.2566), y + 2.2 * std::sin(p * 1.2566), 1.6, {bloom});
        c.FillCircle(x, y, 1, {centre});
    }
}

// A duck swimming to and fro and bobbing: its body's left end near x, its top at y.
void Duck(Canvas& c, int frame, double x, double y)
{
    double bob = frame % 2 ? 0.8 : 0;
    double dx = x + (frame < 2 ? frame : 4 - frame) * 1.5;
    c.FillRoundRect(dx - 5, y + bob, 10, 5, 2.5, {0xFFFFFF});
    c.FillCircle(dx + 4, y - 2 + bob, 2.6, {0x3F8C5A});
    c.FillPolygon({dx + 6, y - 2.5 + bob, dx + 9, y - 1.5 + bob, dx + 6, y - 0.5 + bob}, {Pal::Gold});
    c.StrokeRoundRect(dx - 5, y + bob, 10, 5, 2.5, 0.9, {Pal::Ink});
}

void Pond(Canvas& c, int frame)
{
    cairo_t* cr = c.Cr();
    auto ellipse = [&](double cx, double cy, double rx, double ry) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    };
    ellipse(32, 46, 30, 16);
    c.Colour({0xC9B58E});
    cairo_fill_preserve(cr);
    InkStroke(c, 1.3);
    ellipse(32, 46, 26, 13);
    c.Colour({0x4F9FC4});
    cairo_fill(cr);
    ellipse(32, 44, 22, 9);
    c.Colour({0x6FB7D9});
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        double x = 18 + i * 13 + (frame % 2) * (i % 2 ? 1 : -1), y = 42 + (i % 2) * 6;
        c.FillRect(x, y, 6, 1, {0xFFFFFF, 0.6});
    }
    // Lily pads and a duck that bobs.
    c.FillCircle(18, 50, 3.5, {Pal::Leaf});
    c.FillCircle(45, 39, 3, {Pal::Leaf});
    Duck(c, frame, 34, 40);
}

// A path round a box whose corners are rounded only where both sides meeting
// there are open (no water beyond them).
void WaterPath(cairo_t* cr, double l, double t, double r, double b, double radius, bool top, bool left,
               bool bottom, bool right)
{
    auto corner = [&](bool a, bool b2) { return a && b2 ? radius : 0.0; };
    const double tl = corner(top, left), tr = corner(top, right), br = corner(bottom, right), bl = corner(bottom, left);
    cairo_new_path(cr);
    cairo_move_to(cr, l + tl, t);
    cairo_line_to(cr, r - tr, t);
    if (tr > 0)
        cairo_arc(cr, r - tr, t + tr, tr, -M_PI / 2, 0);
    cairo_line_to(cr, r, b - br);
    if (br > 0)
        cairo_arc(cr, r - br, b - br, br, 0, M_PI / 2);
    cairo_line_to(cr, l + bl, b);
    if (bl > 0)
        cairo_arc(cr, l + bl, b - bl, bl, M_PI / 2, M_PI);
    cairo_line_to(cr, l, t + tl);
    if (tl > 0)
        cairo_arc(cr, l + tl, t + tl, tl, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// One cell of a river or lake. `sides` names the neighbours that are water too
// (T, L, B, R): towards them the water runs on to the cell's edge and meets
// theirs; every other side gets a sandy bank with rounded corners, so cells
// join into one body of water with a shore round it.
void Water(Canvas& c, int frame, const std::string& sides)
{
    const bool top = sides.find('T') == std::string::npos, left = sides.find('L') == std::string::npos;
    const bool bottom = sides.find('B') == std::string::npos, right = sides.find('R') == std::string::npos;
    // The cell is the bottom 45 rows, centred: x 9.5 .. 54.5, y 19 .. 64 (half a
    // pixel more where water goes on, so neighbours meet without a seam).
    const double l = left ? 10.5 : 9, r = right ? 53.5 : 55, t = top ? 20 : 18.5, b = bottom ? 63 : 64;
    cairo_t* cr = c.Cr();
    WaterPath(cr, l, t, r, b, 12, top, left, bottom, right);
    c.Colour({0xD8C493});
    cairo_fill(cr);
    const double bank = 4.5;
    const double wl = left ? l + bank : l, wr = right ? r - bank : r, wt = top ? t + bank : t, wb = bottom ? b - bank : b;
    WaterPath(cr, wl, wt, wr, wb, 8, top, left, bottom, right);
    c.Colour({0x4F9FC4});
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    for (int row = 0; row < 4; ++row) {
        double y = 24 + row * 11;
        double shift = std::fmod(frame * 5.625 + row * 7, 22.5);
        for (double x = 9 - 22.5 + shift; x < 55; x += 22.5)
            c.FillRect(x, y, 9, 1.3, {0xCFEFFF, 0.7});
    }
    cairo_restore(cr);
    // The water's edge, darker along the banks only.
    cairo_set_line_width(cr, 1.2);
    c.Colour({0x2F7FA8, 0.8});
    if (top) {
        cairo_move_to(cr, wl + (left ? 8 : 0), wt);
        cairo_line_to(cr, wr - (right ? 8 : 0), wt);
        cairo_stroke(cr);
    }
    if (bottom) {
        cairo_move_to(cr, wl + (left ? 8 : 0), wb);
        cairo_line_to(cr, wr - (right ? 8 : 0), wb);
        cairo_stroke(cr);
    }
    if (left) {
        cairo_move_to(cr, wl, wt + (top ? 8 : 0));
        cairo_line_to(cr, wl, wb - (bottom ? 8 : 0));
        cairo_stroke(cr);
    }
    if (right) {
        cairo_move_to(cr, wr, wt + (top ? 8 : 0));
        cairo_line_to(cr, wr, wb - (bottom ? 8 : 0));
        cairo_stroke(cr);
    }
}

// Lily pads and a duck on open water: a pond in the middle of a river or lake.
void Lilies(Canvas& c, int frame)
{
    c.FillCircle(20, 52, 3.5, {Pal::Leaf});
    c.FillCircle(46, 36, 3, {Pal::Leaf});
    c.FillCircle(40, 60, 2.8, {Pal::Leaf});
    Duck(c, frame, 30, 42);
}

void Flagpole(Canvas& c, int frame)
{
    DrawGroundShadow(c, 8, 62, 5, 1.5);
    c.FillRect(6.5, 6, 2.5, 57, {0xE6E6E6});
    c.FillRect(6.5, 6, 1, 57, {Pal::Ink, 0.5});
    c.FillCircle(7.75, 5, 2, {Pal::Gold});
    c.FillRect(4, 59, 7.5, 4, {0x8A8478});
    cairo_t* cr = c.Cr();
    double ph = frame * M_PI / 2;
    cairo_move_to(cr, 9, 8);
    for (int i = 0; i <= 20; ++i)
        cairo_line_to(cr, 9 + i, 8 + std::sin(ph + i * 0.4) * 2);
    for (int i = 20; i >= 0; --i)
        cairo_line_to(cr, 9 + i, 22 + std::sin(ph + i * 0.4) * 2);
    cairo_close_path(cr);
    c.Colour({Pal::Brick});
    cairo_fill_preserve(cr);
    InkStroke(c, 1);
    // The town's crest: a gold disc on the red.
    c.FillCircle(19, 15 + std::sin(ph + 4) * 2, 3, {Pal::Gold});
}

void Mailbox(Canvas& c, int)
{
    DrawGroundShadow(c, 8, 30, 5, 1.5);
    c.FillRect(7, 18, 2, 13, {0x3E4A5A});
    c.FillRoundRect(2, 8, 12, 11, 4, {Pal::Brick});
    c.FillRect(4, 12, 8, 1.5, {Pal::Ink});
    c.StrokeRoundRect(2, 8, 12, 11, 4, 1.1, {Pal::Ink});
}

void Signpost(Canvas& c, int)
{
    DrawGroundShadow(c, 16, 62, 6, 1.5);
    c.FillRect(14.5, 14, 3, 49, {Pal::Wood});
    c.FillPolygon({4, 16, 26, 16, 31, 21, 26, 26, 4, 26}, {Pal::Cream});
    c.FillPolygon({28, 30, 6, 30, 1, 35, 6, 40, 28, 40}, {Pal::Cream});
    cairo_move_to(c.Cr(), 4, 16);
    cairo_line_to(c.Cr(), 26, 16);
    cairo_line_to(c.Cr(), 31, 21);
    cairo_line_to(c.Cr(), 26, 26);
    cairo_line_to(c.Cr(), 4, 26);
    cairo_close_path(c.Cr());
    InkStroke(c, 1.1);
    cairo_move_to(c.Cr(), 28, 30);
    cairo_line_to(c.Cr(), 6, 30);
    cairo_line_to(c.Cr(), 1, 35);
    cairo_line_to(c.Cr(), 6, 40);
    cairo_line_to(c.Cr(), 28, 40);
    cairo_close_path(c.Cr());
    InkStroke(c, 1.1);
    c.FillRect(8, 20.5, 14, 1.5, {Pal::Ink, 0.6});
    c.FillRect(10, 34.5, 14, 1.5, {Pal::Ink, 0.6});
}

void Butterfly(Canvas& c, int frame)
{
    // Hovers a little over its foot point; the wings beat.
    const double opens[4] = {1.0, 0.6, 0.25, 0.6}, lifts[4] = {12, 11, 12, 13};
    double open = opens[frame % 4], y = lifts[frame % 4];
    cairo_t* cr = c.Cr();
    for (int side : {-1, 1}) {
        cairo_save(cr);
        cairo_translate(cr, 16, y);
        cairo_scale(cr, side * open, 1);
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, 6, -8, 10, -4, 7, 1);
        cairo_curve_to(cr, 9, 5, 4, 7, 0, 2);
        cairo_close_path(cr);
        cairo_restore(cr);
        c.Colour({0xF2B134});
        cairo_fill_preserve(cr);
        InkStroke(c, 0.9);
    }
    c.FillRoundRect(15.2, y - 3, 1.6, 7, 0.8, {Pal::Ink});
    DrawGroundShadow(c, 16, 30, 4, 1, 0.15);
}

TownPicture Decoration(const std::string& name, int w, int h, int frames, double fps,
                       std::function<void(Canvas&, int)> draw)
{
    TownPicture p;
    p.path = "Town\\Deco\\" + name + ".img";
    p.family = TownFamily::Decorations;
    p.anchor = Anchor::Foot;
    p.width = w;
    p.height = h;
    p.frames = frames;
    p.fps = fps;
    p.role = "decoration";
    p.draw = std::move(draw);
    return p;
}

} // namespace

void AddDecorationPictures(TownList& out)
{
    out.push_back(Decoration("TreeOak", 64, 64, 1, 0, TreeOak));
    out.push_back(Decoration("TreeApple", 64, 64, 1, 0, TreeApple));
    out.push_back(Decoration("TreePine", 32, 64, 1, 0, TreePine));
    out.push_back(Decoration("TreeBirch", 32, 64, 1, 0, TreeBirch));
    out.push_back(Decoration("Bush", 32, 32, 1, 0, Bush));
    out.push_back(Decoration("Hedge", 64, 32, 1, 0, Hedge));
    out.push_back(Decoration("FenceH", 64, 32, 1, 0, FenceH));
    out.push_back(Decoration("FenceV", 16, 64, 1, 0, FenceV));
    out.push_back(Decoration("Lamp", 16, 64, 1, 0, [](Canvas& c, int f) { Lamp(c, f, false); }));
    out.push_back(Decoration("LampLit", 16, 64, 2, 3, [](Canvas& c, int f) { Lamp(c, f, true); }));
    out.push_back(Decoration("Bench", 32, 32, 1, 0, Bench));
    out.push_back(Decoration("Fountain", 64, 64, 4, 8, Fountain));
    out.push_back(Decoration("FlowersRed", 64, 32, 1, 0,
                             [](Canvas& c, int f) { FlowerBed(c, f, 0xE8577B, 0xFFF3D6); }));
    out.push_back(Decoration("FlowersYellow", 64, 32, 1, 0,
                             [](Canvas& c, int f) { FlowerBed(c, f, 0xF2C534, 0xB8452F); }));
    out.push_back(Decoration("Pond", 64, 64, 4, 3, Pond));
    // A water cell for every set of water neighbours, named like the road pieces.
    for (int mask = 0; mask < 16; ++mask) {
        std::string sides;
        for (int i = 0; i < 4; ++i)
            if (mask & (1 << i))
                sides += "TLBR"[i];
        out.push_back(Decoration("Water" + sides, 64, 64, 4, 4,
                                 [sides](Canvas& c, int f) { Water(c, f, sides); }));
    }
    out.push_back(Decoration("Lilies", 64, 64, 4, 3, Lilies));
    out.push_back(Decoration("Flagpole", 32, 64, 4, 8, Flagpole));
    out.push_back(Decoration("Mailbox", 16, 32, 1, 0, Mailbox));
    out.push_back(Decoration("Signpost", 32, 64, 1, 0, Signpost));
    out.push_back(Decoration("Butterfly", 32, 32, 4, 10, Butterfly));
}
