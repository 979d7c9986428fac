// Bonus pictures for the eight bonus kinds (HUD button, its lit/running
// state and the shop's large icon) and the tutorial pointers.
#include "datagen/Town.h"

#include <cmath>

namespace {

const char* const kBonusNames[8] = {"SpeedUp", "TimeDelay", "AddTime", "TimeReset",
                                    "SupplyAll", "ShowOrders", "WhoIsNext", "Capacity"};

void Clock(Canvas& c, double cx, double cy, double r)
{
    c.FillCircle(cx, cy, r, {0xFFFFFF});
    c.StrokeCircle(cx, cy, r, r * 0.14, {Pal::Ink});
    for (int i = 0; i < 12; i += 3)
        c.FillCircle(cx + std::cos(i * M_PI / 6) * r * 0.75, cy + std::sin(i * M_PI / 6) * r * 0.75, r * 0.07,
                     {Pal::Ink});
    cairo_t* cr = c.Cr();
    cairo_move_to(cr, cx, cy - r * 0.6);
    cairo_line_to(cr, cx, cy);
    cairo_line_to(cr, cx + r * 0.45, cy + r * 0.2);
    InkStroke(c, r * 0.12);
}

// The pictogram of one bonus kind, about `s` across, centred on (cx, cy).
void Pictogram(Canvas& c, int kind, double cx, double cy, double s)
{
    double k = s / 40;
    cairo_t* cr = c.Cr();
    switch (kind) {
    case 0: {  // Speed Up: a lightning bolt with speed lines
        for (int i = 0; i < 3; ++i)
            c.FillRoundRect(cx - 19 * k, cy - 8 * k + i * 7 * k, (10 - i * 2) * k, 2.5 * k, 1.2 * k, {Pal::Teal});
        std::vector<double> bolt = {cx + 4 * k, cy - 19 * k, cx - 8 * k, cy + 3 * k, cx, cy + 3 * k,
                                    cx - 4 * k, cy + 19 * k, cx + 12 * k, cy - 4 * k, cx + 3 * k, cy - 4 * k};
        c.FillPolygon(bolt, {Pal::Gold});
        cairo_move_to(cr, bolt[0], bolt[1]);
        for (size_t i = 2; i < bolt.size(); i += 2)
            cairo_line_to(cr, bolt[i], bolt[i + 1]);
        cairo_close_path(cr);
        InkStroke(c, 1.8 * k);
        break;
    }
    case 1:  // Time Delay: a sleeping clock
        Clock(c, cx - 3 * k, cy + 3 * k, 14 * k);
        c.OutlinedText("z", cx + 12 * k, cy - 8 * k, Face::SansBold, 13 * k, {0x7FB2FF}, {Pal::Ink}, 1.2 * k,
                       Align::Centre);
        c.OutlinedText("z", cx + 17 * k, cy - 16 * k, Face::SansBold, 9 * k, {0x7FB2FF}, {Pal::Ink}, 1 * k,
                       Align::Centre);
        break;
    case 2:  // Add level time: a clock with a plus
        Clock(c, cx - 3 * k, cy + 2 * k, 14 * k);
        c.FillCircle(cx + 12 * k, cy - 11 * k, 7 * k, {Pal::Leaf});
        c.StrokeCircle(cx + 12 * k, cy - 11 * k, 7 * k, 1.4 * k, {Pal::Ink});
        DrawIcon(c, Icon::Plus, cx + 12 * k, cy - 11 * k, 10 * k, {0xFFFFFF});
        break;
    case 3: {  // Time Reset: an hourglass
        c.FillRect(cx - 12 * k, cy - 18 * k, 24 * k, 4 * k, {Pal::Wood});
        c.FillRect(cx - 12 * k, cy + 14 * k, 24 * k, 4 * k, {Pal::Wood});
        std::vector<double> glass = {cx - 9 * k, cy - 14 * k, cx + 9 * k, cy - 14 * k, cx + 1.5 * k, cy,
                                     cx + 9 * k, cy + 14 * k, cx - 9 * k, cy + 14 * k, cx - 1.5 * k, cy};
        c.FillPolygon(glass, {0xCFEAF2});
        c.FillPolygon({cx - 6 * k, cy - 10 * k, cx + 6 * k, cy - 10 * k, cx, cy - 2 * k}, {Pal::Gold});
        c.FillPolygon({cx - 8 * k, cy + 14 * k, cx + 8 * k, cy + 14 * k, cx, cy + 6 * k}, {Pal::Gold});
        cairo_move_to(cr, glass[0], glass[1]);
        for (size_t i = 2; i < glass.size(); i += 2)
            cairo_line_to(cr, glass[i], glass[i + 1]);
        cairo_close_path(cr);
        InkStroke(c, 1.6 * k);
        c.StrokeRoundRect(cx - 12 * k, cy - 18 * k, 24 * k, 4 * k, 1, 1.4 * k, {Pal::Ink});
        c.StrokeRoundRect(cx - 12 * k, cy + 14 * k, 24 * k, 4 * k, 1, 1.4 * k, {Pal::Ink});
        break;
    }
    case 4:  // Supply All: a crate full of goods
        DrawTownGoods(c, 1, cx - 8 * k, cy - 9 * k, 18 * k);
        DrawTownGoods(c, 3, cx + 8 * k, cy - 10 * k, 18 * k);
        DrawTownGoods(c, 6, cx, cy - 12 * k, 16 * k);
        c.FillRect(cx - 17 * k, cy - 3 * k, 34 * k, 20 * k, {0xC99A5B});
        c.FillRect(cx - 17 * k, cy + 5 * k, 34 * k, 2 * k, {0x9A6B35});
        c.StrokeRoundRect(cx - 17 * k, cy - 3 * k, 34 * k, 20 * k, 2 * k, 1.6 * k, {Pal::Ink});
        break;
    case 5: {  // Show orders: an open eye
        cairo_move_to(cr, cx - 18 * k, cy);
        cairo_curve_to(cr, cx - 8 * k, cy - 14 * k, cx + 8 * k, cy - 14 * k, cx + 18 * k, cy);
        cairo_curve_to(cr, cx + 8 * k, cy + 14 * k, cx - 8 * k, cy + 14 * k, cx - 18 * k, cy);
        cairo_close_path(cr);
        c.Colour({0xFFFFFF});
        cairo_fill_preserve(cr);
        InkStroke(c, 1.8 * k);
        c.FillCircle(cx, cy, 7 * k, {Pal::Teal});
        c.FillCircle(cx, cy, 3.5 * k, {Pal::Ink});
        c.FillCircle(cx - 2 * k, cy - 2 * k, 1.5 * k, {0xFFFFFF});
        break;
    }
    case 6:  // Who is next: a question in a speech bubble
        c.FillRoundRect(cx - 16 * k, cy - 17 * k, 32 * k, 26 * k, 8 * k, {0xFFFFFF});
        c.FillPolygon({cx - 8 * k, cy + 8 * k, cx - 12 * k, cy + 17 * k, cx, cy + 8 * k}, {0xFFFFFF});
        c.StrokeRoundRect(cx - 16 * k, cy - 17 * k, 32 * k, 26 * k, 8 * k, 1.8 * k, {Pal::Ink});
        c.Text("?", cx, cy + 4 * k, Face::SansBold, 22 * k, {Pal::Brick}, Align::Centre);
        break;
    default:  // Capacity: a van with an extra box on top
        DrawVan(c, cx - 1 * k, cy + 16 * k, 0.3 * k);
        c.FillRect(cx - 12 * k, cy - 17 * k, 16 * k, 12 * k, {0xC99A5B});
        c.StrokeRoundRect(cx - 12 * k, cy - 17 * k, 16 * k, 12 * k, 1, 1.4 * k, {Pal::Ink});
        c.FillCircle(cx + 12 * k, cy - 13 * k, 6 * k, {Pal::Leaf});
        DrawIcon(c, Icon::Plus, cx + 12 * k, cy - 13 * k, 9 * k, {0xFFFFFF});
        break;
    }
}

void Badge(Canvas& c, int kind, bool lit)
{
    if (lit) {
        Canvas glow(64, 64);
        glow.FillCircle(32, 32, 30, {0xFFE27A});
        glow.BlurAlpha(2);
        c.Paint(glow, 0, 0);
    }
    c.FillCircle(32, 34, 26, {0x000000, 0.3});
    c.FillCircle(32, 32, 26, {lit ? Pal::GoldShade : Pal::CreamShade});
    c.FillCircle(32, 31, 24, {lit ? Pal::Gold : Pal::Cream});
    c.StrokeCircle(32, 32, 26, 2.2, {Pal::Ink});
    Pictogram(c, kind, 32, 31, 36);
}

void ShopIcon(Canvas& c, int kind)
{
    c.FillRoundRect(3, 5, 58, 58, 12, {0x000000, 0.3});
    c.FillRoundRect(2, 2, 60, 58, 12, {Pal::TealShade});
    c.FillRoundRect(2, 2, 60, 54, 12, {Pal::Teal});
    c.FillRoundRect(7, 6, 50, 46, 9, {Pal::Cream});
    c.StrokeRoundRect(2, 2, 60, 58, 12, 2, {Pal::Ink});
    Pictogram(c, kind, 32, 29, 40);
}

void Pointer(Canvas& c, int frame, bool hand, uint32_t colour = Pal::Brick)
{
    // Points down at what it hints at; bobs over four frames.
    const double bob[4] = {0, 2.5, 5, 2};
    double y = 3 + bob[frame % 4];
    cairo_t* cr = c.Cr();
    if (!hand) {
        std::vector<double> arrow = {32, y + 56, 10, y + 30, 23, y + 30, 23, y + 2, 41, y + 2, 41, y + 30, 54, y + 30};
        Canvas glow(64, 64);
        glow.FillPolygon(arrow, {0xFFFFFF});
        glow.BlurAlpha(2);
        c.Paint(glow, 0, 0);
        c.FillPolygon(arrow, {colour});
        c.FillPolygon({26, y + 5, 30, y + 5, 30, y + 30, 26, y + 30}, {0xFFFFFF, 0.35});
        cairo_move_to(cr, arrow[0], arrow[1]);
        for (size_t i = 2; i < arrow.size(); i += 2)
            cairo_line_to(cr, arrow[i], arrow[i + 1]);
        cairo_close_path(cr);
        InkStroke(c, 2.2);
        return;
    }
    // A gloved hand, index finger down.
    c.FillRoundRect(18, y + 2, 28, 10, 3, {Pal::Brick});
    c.StrokeRoundRect(18, y + 2, 28, 10, 3, 1.8, {Pal::Ink});
    c.FillRoundRect(17, y + 10, 30, 22, 9, {0xFFFFFF});
    c.StrokeRoundRect(17, y + 10, 30, 22, 9, 1.8, {Pal::Ink});
    c.FillRoundRect(27, y + 26, 10, 30, 5, {0xFFFFFF});
    c.StrokeRoundRect(27, y + 26, 10, 30, 5, 1.8, {Pal::Ink});
    for (double x : {20.0, 26.0, 32.0})
        c.FillRect(x + 4, y + 16, 1.2, 8, {Pal::Ink, 0.5});
}

// The number badge Show orders puts on a goods icon: a red disc with a white rim.
void CountBadge(Canvas& c)
{
    c.FillCircle(16, 17, 13, {0x000000, 0.3});
    c.FillCircle(16, 16, 13, {0xFFFFFF});
    c.FillCircle(16, 16, 10.5, {0xD23A2E});
    c.StrokeCircle(16, 16, 13, 1.6, {Pal::Ink});
}

// The glow Who is next puts behind the order that runs out first: a soft
// golden frame round portrait, bubble and patience row.
void NextGlow(Canvas& c)
{
    Canvas glow(128, 128);
    glow.StrokeRoundRect(8, 24, 112, 80, 22, 7, {0xFFD23C});
    glow.BlurAlpha(4);
    c.Paint(glow, 0, 0);
    c.StrokeRoundRect(8, 24, 112, 80, 22, 3, {0xFFF1A8});
}

TownPicture Item(const std::string& path, const std::string& role, std::function<void(Canvas&, int)> draw,
                 int frames = 1, double fps = 0, int width = 64, int height = 64)
{
    TownPicture p;
    p.path = path;
    p.family = TownFamily::Bonuses;
    p.anchor = Anchor::Centre;
    p.width = width;
    p.height = height;
    p.frames = frames;
    p.fps = fps;
    p.role = role;
    p.draw = std::move(draw);
    return p;
}

} // namespace

void AddBonusPictures(TownList& out)
{
    for (int kind = 0; kind < 8; ++kind) {
        std::string stem = std::string("Town\\Bonus\\") + kBonusNames[kind];
        std::string k = std::to_string(kind);
        out.push_back(Item(stem + "I.img", "bonus " + k + " button", [kind](Canvas& c, int) { Badge(c, kind, false); }));
        out.push_back(Item(stem + "H.img", "bonus " + k + " running/highlight",
                           [kind](Canvas& c, int) { Badge(c, kind, true); }));
        out.push_back(Item(stem + "Shop.img", "bonus " + k + " shop icon", [kind](Canvas& c, int) { ShopIcon(c, kind); }));
    }
    out.push_back(Item("Town\\Tutorial\\Arrow.img", "tutorial pointer", [](Canvas& c, int f) { Pointer(c, f, false); },
                       4, 6));
    out.push_back(Item("Town\\Tutorial\\Hand.img", "tutorial pointer", [](Canvas& c, int f) { Pointer(c, f, true); },
                       4, 6));
    out.push_back(Item("Town\\Bonus\\OrderCount.img", "show orders count badge", [](Canvas& c, int) { CountBadge(c); },
                       1, 0, 32, 32));
    out.push_back(Item("Town\\Bonus\\NextGlow.img", "who is next glow", [](Canvas& c, int) { NextGlow(c); }, 1, 0,
                       128, 128));
    out.push_back(Item("Town\\Bonus\\NextArrow.img", "who is next pointer",
                       [](Canvas& c, int f) { Pointer(c, f, false, Pal::Gold); }, 4, 6));
}
