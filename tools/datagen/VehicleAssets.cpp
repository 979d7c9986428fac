// The delivery van and the police car, each seen from four sides. The car sits
// in the middle of its cell (64 x 64 canvas, foot at the bottom centre, the cell
// the bottom 45 rows), so it drives on the road, not on the kerb below it.
// The police car is drawn twice by the game, the second time additively: its
// colours are painted at half strength so that the sum looks right.
#include "datagen/Town.h"

#include <cmath>

namespace {

struct Colours {
    uint32_t outline, body, roof, cab, glass, wheel, hub, light;
};

// Van: cream box, brick cab. Police: navy and white at half strength.
const Colours kVan = {Pal::Ink, 0xFFF3D6, 0xFFFBEF, Pal::Brick, 0xBFE3F0, 0x2E2A2A, 0xD8D2C4, Pal::Gold};
const Colours kPolice = {0x141414, 0x1A2C58, 0x7C7C7C, 0x7C7C7C, 0x4E6878, 0x161616, 0x6C6C6C, 0x7C7030};

void Stroke(Canvas& c, const Colours& k, double w)
{
    c.Colour({k.outline});
    cairo_set_line_width(c.Cr(), w);
    cairo_set_line_join(c.Cr(), CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(c.Cr());
}

void Box(Canvas& c, const Colours& k, double x, double y, double w, double h, double r, uint32_t fill)
{
    c.RoundRectPath(x, y, w, h, r);
    c.Colour({fill});
    cairo_fill_preserve(c.Cr());
    Stroke(c, k, 1.3);
}

void Wheel(Canvas& c, const Colours& k, double x, double y, double r, int frame)
{
    c.FillCircle(x, y, r, {k.wheel});
    c.FillCircle(x, y, r * 0.45, {k.hub});
    double a = frame * M_PI / 4;
    cairo_move_to(c.Cr(), x + std::cos(a) * r * 0.85, y + std::sin(a) * r * 0.85);
    cairo_line_to(c.Cr(), x - std::cos(a) * r * 0.85, y - std::sin(a) * r * 0.85);
    c.Colour({k.hub, 0.8});
    cairo_set_line_width(c.Cr(), 1);
    cairo_stroke(c.Cr());
}

// Light bar on the police car's roof: red and blue take turns.
void LightBar(Canvas& c, double cx, double y, double w, int frame)
{
    bool redLit = frame % 2 == 0;
    c.FillRoundRect(cx - w / 2, y, w / 2, 3.5, 1.5, {redLit ? 0x7F2020u : 0x401010u});
    c.FillRoundRect(cx, y, w / 2, 3.5, 1.5, {redLit ? 0x102050u : 0x2040A0u});
    c.StrokeRoundRect(cx - w / 2, y, w, 3.5, 1.5, 0.9, {0x141414});
}

void SideView(Canvas& c, const Colours& k, bool police, double cx, double cy, int frame)
{
    // Facing right; the caller mirrors for left. Wheels on cy + 8.
    double bob = frame % 2 ? 0.5 : 0;
    DrawGroundShadow(c, cx, cy + 11, 20, 3);
    if (police) {
        Box(c, k, cx - 19, cy - 4 + bob, 38, 11, 3, k.body);
        c.FillRect(cx - 8, cy - 3 + bob, 16, 9, {k.roof});
        Box(c, k, cx - 10, cy - 12 + bob, 20, 9, 3, k.roof);
        c.FillRect(cx - 8, cy - 10 + bob, 7, 5, {k.glass});
        c.FillRect(cx + 1, cy - 10 + bob, 7, 5, {k.glass});
        LightBar(c, cx, cy - 15.5 + bob, 12, frame);
        c.FillRect(cx + 16, cy - 2 + bob, 3, 2.5, {k.light});
    } else {
        Box(c, k, cx - 19, cy - 14 + bob, 26, 21, 2.5, k.body);
        c.FillRect(cx - 18, cy - 13 + bob, 24, 3, {k.roof});
        c.FillRect(cx - 18, cy - 1 + bob, 24, 3, {Pal::Brick});
        c.Text("B", cx - 6, cy - 2.5 + bob, Face::SerifBold, 9, {Pal::Brick}, Align::Centre);
        Box(c, k, cx + 6, cy - 7 + bob, 13, 14, 3, k.cab);
        c.FillPolygon({cx + 9, cy - 5 + bob, cx + 14, cy - 5 + bob, cx + 18, cy + bob, cx + 9, cy + bob}, {k.glass});
        c.FillRect(cx + 17, cy + 3 + bob, 2.5, 2, {k.light});
    }
    Wheel(c, k, cx - 11, cy + 8, 4.2, frame);
    Wheel(c, k, cx + 11, cy + 8, 4.2, frame);
}

// The wheels seen end-on: a tread line runs down them as they turn.
void EndOnWheels(Canvas& c, const Colours& k, double cx, double wy, int frame)
{
    for (double x : {cx - 14.5, cx + 10.5}) {
        c.FillRoundRect(x, wy - 1, 4, 7, 1.5, {k.wheel});
        c.FillRect(x + 0.5, wy + (frame % 4) * 1.5 - 0.5, 3, 1, {k.hub, 0.8});
    }
}

void BackView(Canvas& c, const Colours& k, bool police, double cx, double cy, int frame)
{
    // Driving up the screen: the roof from above, the back doors at the bottom.
    double bob = frame % 2 ? 0.5 : 0;
    DrawGroundShadow(c, cx, cy + 13, 14, 3);
    EndOnWheels(c, k, cx, cy + 8 + (frame % 2), frame);
    if (police) {
        Box(c, k, cx - 12, cy - 16 + bob, 24, 30, 5, k.body);
        Box(c, k, cx - 9, cy - 8 + bob, 18, 12, 3, k.roof);
        c.FillRect(cx - 7, cy + 5 + bob, 14, 3, {k.glass});
        LightBar(c, cx, cy - 3 + bob, 14, frame);
        c.FillRect(cx - 11, cy + 10 + bob, 3, 2, {0x601010});
        c.FillRect(cx + 8, cy + 10 + bob, 3, 2, {0x601010});
    } else {
        Box(c, k, cx - 12, cy - 18 + bob, 24, 8, 3, k.cab);
        Box(c, k, cx - 12, cy - 12 + bob, 24, 20, 2.5, k.roof);
        c.FillRect(cx - 11, cy - 5 + bob, 22, 2.5, {Pal::Brick, 0.8});
        Box(c, k, cx - 12, cy + 7 + bob, 24, 8, 2, k.body);
        c.FillRect(cx - 0.5, cy + 7.5 + bob, 1, 7, {k.outline});
        c.FillRect(cx - 11, cy + 9 + bob, 2.5, 3, {0xD8323C});
        c.FillRect(cx + 8.5, cy + 9 + bob, 2.5, 3, {0xD8323C});
    }
}

void FrontView(Canvas& c, const Colours& k, bool police, double cx, double cy, int frame)
{
    // Driving down the screen: roof at the top, windscreen and lamps below.
    double bob = frame % 2 ? 0.5 : 0;
    DrawGroundShadow(c, cx, cy + 13, 14, 3);
    EndOnWheels(c, k, cx, cy + 8 + (frame % 2), frame);
    if (police) {
        Box(c, k, cx - 12, cy - 16 + bob, 24, 30, 5, k.body);
        Box(c, k, cx - 9, cy - 12 + bob, 18, 12, 3, k.roof);
        LightBar(c, cx, cy - 7 + bob, 14, frame);
        c.FillRect(cx - 8, cy + 1 + bob, 16, 5, {k.glass});
        c.FillRect(cx - 10, cy + 9 + bob, 4, 2.5, {k.light});
        c.FillRect(cx + 6, cy + 9 + bob, 4, 2.5, {k.light});
    } else {
        Box(c, k, cx - 12, cy - 18 + bob, 24, 18, 2.5, k.roof);
        c.FillRect(cx - 11, cy - 10 + bob, 22, 2.5, {Pal::Brick, 0.8});
        Box(c, k, cx - 12, cy - 1 + bob, 24, 15, 3, k.cab);
        c.FillRect(cx - 9, cy + 1 + bob, 18, 5, {k.glass});
        c.FillRect(cx - 10, cy + 9 + bob, 4, 2.5, {k.light});
        c.FillRect(cx + 6, cy + 9 + bob, 4, 2.5, {k.light});
        c.FillRect(cx - 3, cy + 9.5 + bob, 6, 1.5, {k.outline});
    }
}

TownPicture Vehicle(const std::string& path, const std::string& role, int facing, bool police)
{
    TownPicture p;
    p.path = path;
    p.family = TownFamily::Vehicles;
    p.anchor = Anchor::Vehicle;
    p.width = p.height = 64;
    p.frames = 4;
    p.fps = 12;
    p.role = role;
    p.draw = [facing, police](Canvas& c, int f) { DrawTownVan(c, facing, 32, 64 - kCellH / 2, f, police); };
    // The size the game reads as the vehicle's own (collision in the mini-game,
    // traffic spacing) is the car's, not the canvas's.
    bool across = facing == 0 || facing == 2;
    p.extra.imw = across ? 42 : 30;
    p.extra.imh = 40;
    return p;
}

} // namespace

void DrawTownVan(Canvas& c, int facing, double cx, double cy, int frame, bool police)
{
    const Colours& k = police ? kPolice : kVan;
    cairo_t* cr = c.Cr();
    if (facing == 0 || facing == 2) {
        cairo_save(cr);
        if (facing == 0) {
            cairo_translate(cr, 2 * cx, 0);
            cairo_scale(cr, -1, 1);
        }
        SideView(c, k, police, cx, cy, frame);
        cairo_restore(cr);
        if (!police && facing == 0) {
            // The mirrored letter would read backwards: paint it again.
            double bob = frame % 2 ? 0.5 : 0;
            c.FillRect(cx + 2, cy - 11 + bob, 8, 9.5, {k.body});
            c.Text("B", cx + 6, cy - 2.5 + bob, Face::SerifBold, 9, {Pal::Brick}, Align::Centre);
        }
    } else if (facing == 1) {
        BackView(c, k, police, cx, cy, frame);
    } else {
        FrontView(c, k, police, cx, cy, frame);
    }
}

void AddVehiclePictures(TownList& out)
{
    const char* sides[4] = {"Left", "Up", "Right", "Down"};
    for (int f = 0; f < 4; ++f)
        out.push_back(Vehicle(std::string("Town\\Vehicle\\Van") + sides[f] + ".img", std::string("van ") + sides[f], f,
                              false));
    for (int f = 0; f < 4; ++f)
        out.push_back(Vehicle(std::string("Town\\Vehicle\\Police") + sides[f] + ".img",
                              std::string("police car ") + sides[f], f, true));
}
