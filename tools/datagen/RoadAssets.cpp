// Road pieces: the fifteen connection shapes, and bridge decks and ramps for
// the layer above. Each piece covers exactly its cell (the bottom 45 rows of a
// 64 x 64 canvas, foot at the bottom centre) and leaves the grass to the town
// background, so pieces join seamlessly whatever their neighbours are.
#include "datagen/Town.h"

#include <cmath>

namespace {

constexpr int kSize = 64;
constexpr double kCx = kSize / 2.0;
constexpr double kCy = kSize - kCellH / 2;
constexpr double kLeft = kCx - kCellW / 2, kRight = kCx + kCellW / 2;
constexpr double kTop = kSize - kCellH, kBottom = kSize;

constexpr uint32_t kPavement = 0xE3D5B8, kPavementEdge = 0xA8977A;
constexpr uint32_t kAsphalt = 0x6A6573, kGutter = 0x57525F, kMarking = 0xF6EBC8;
constexpr double kPavementW = 34, kAsphaltW = 22;

void ClipToCell(Canvas& c)
{
    // Half a pixel over each edge, so neighbours overlap instead of leaving a seam.
    cairo_rectangle(c.Cr(), kLeft - 0.5, kTop - 0.5, kCellW + 1, kCellH + 1);
    cairo_clip(c.Cr());
}

int SideCount(int sides)
{
    int n = 0;
    for (int s = 1; s <= 8; s <<= 1)
        n += (sides & s) != 0;
    return n;
}

// The union of the arms for `sides`, w wide, with rounded inner corners of
// radius r and a turning circle of radius `bulb` at a dead end.
void FillShape(Canvas& c, int sides, double w, double r, double bulb, Rgb colour)
{
    cairo_t* cr = c.Cr();
    const double h = w / 2;
    if (sides & kRoadT)
        cairo_rectangle(cr, kCx - h, kTop - 1, w, kCy - kTop + 1);
    if (sides & kRoadB)
        cairo_rectangle(cr, kCx - h, kCy, w, kBottom - kCy + 1);
    if (sides & kRoadL)
        cairo_rectangle(cr, kLeft - 1, kCy - h, kCx - kLeft + 1, w);
    if (sides & kRoadR)
        cairo_rectangle(cr, kCx, kCy - h, kRight - kCx + 1, w);
    c.Colour(colour);
    cairo_fill(cr);
    c.FillCircle(kCx, kCy, SideCount(sides) == 1 ? bulb : h, colour);
    // Fillets where two arms meet at a right angle.
    const int pairs[4][2] = {{kRoadT, kRoadL}, {kRoadT, kRoadR}, {kRoadB, kRoadL}, {kRoadB, kRoadR}};
    for (const auto& pair : pairs) {
        if (!(sides & pair[0]) || !(sides & pair[1]))
            continue;
        double sx = pair[1] == kRoadL ? -1 : 1, sy = pair[0] == kRoadT ? -1 : 1;
        double x0 = kCx + sx * h, y0 = kCy + sy * h;
        double x1 = x0 + sx * r, y1 = y0 + sy * r;
        cairo_save(cr);
        cairo_rectangle(cr, std::min(x0, x1), std::min(y0, y1), r, r);
        cairo_clip(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_rectangle(cr, std::min(x0, x1), std::min(y0, y1), r, r);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x1, y1, r, 0, 2 * M_PI);
        c.Colour(colour);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

void Dash(Canvas& c, double x0, double y0, double x1, double y1)
{
    cairo_move_to(c.Cr(), x0, y0);
    cairo_line_to(c.Cr(), x1, y1);
    c.Colour({kMarking, 0.9});
    cairo_set_line_width(c.Cr(), 2);
    cairo_set_line_cap(c.Cr(), CAIRO_LINE_CAP_BUTT);
    cairo_stroke(c.Cr());
}

void Markings(Canvas& c, int sides)
{
    cairo_t* cr = c.Cr();
    int n = SideCount(sides);
    if (sides == (kRoadT | kRoadB) || sides == (kRoadL | kRoadR) || n == 1) {
        // Dashes repeat every half cell, so straights read as one long line.
        double from = n == 1 ? 13 : 6;
        for (int s = 1; s <= 8; s <<= 1) {
            if (!(sides & s))
                continue;
            double dx = s == kRoadL ? -1 : s == kRoadR ? 1 : 0, dy = s == kRoadT ? -1 : s == kRoadB ? 1 : 0;
            Dash(c, kCx + dx * from, kCy + dy * from, kCx + dx * 16, kCy + dy * 16);
        }
        return;
    }
    if (n == 2) {
        // A corner: the centre line bends round the cell's outer corner.
        double ox = (sides & kRoadL) ? kLeft : kRight, oy = (sides & kRoadT) ? kTop : kBottom;
        double a0 = (sides & kRoadT) ? 0 : M_PI, a1 = a0 + M_PI / 2;
        if ((sides & kRoadT) && (sides & kRoadR))
            a0 = M_PI / 2, a1 = M_PI;
        if ((sides & kRoadB) && (sides & kRoadL))
            a0 = 3 * M_PI / 2, a1 = 2 * M_PI;
        // Two dashes, clear of both edges like the straights' dashes, so the
        // line meets its neighbours without a stub at the seam.
        const double r = kCellW / 2, length = r * (a1 - a0);
        for (double from : {6.5, length - 14.5}) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, ox, oy, r, a0 + from / r, a0 + (from + 8) / r);
        }
        c.Colour({kMarking, 0.9});
        cairo_set_line_width(cr, 2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_stroke(cr);
        return;
    }
    // Junctions: a stop line across every arm, so the crossing reads at once.
    for (int s = 1; s <= 8; s <<= 1) {
        if (!(sides & s))
            continue;
        if (s == kRoadT || s == kRoadB) {
            double y = kCy + (s == kRoadT ? -14 : 14);
            Dash(c, kCx - 9, y, kCx + 9, y);
        } else {
            double x = kCx + (s == kRoadL ? -14 : 14);
            Dash(c, x, kCy - 9, x, kCy + 9);
        }
    }
}

void DrawRoad(Canvas& c, int sides, bool markings = true)
{
    cairo_save(c.Cr());
    ClipToCell(c);
    FillShape(c, sides, kPavementW + 2, 5, 19, {kPavementEdge});
    FillShape(c, sides, kPavementW, 6, 18, {kPavement});
    FillShape(c, sides, kAsphaltW + 2, 9, 13, {kGutter});
    FillShape(c, sides, kAsphaltW, 10, 12, {kAsphalt});
    if (markings)
        Markings(c, sides);
    cairo_restore(c.Cr());
}

// A deck on the layer above: parapets along the sides, its shadow on the ground
// below, and a glimpse of the pillar, so the level under it stays readable.
void DrawBridge(Canvas& c, bool across)
{
    cairo_save(c.Cr());
    ClipToCell(c);
    const double h = kPavementW / 2;
    if (across) {
        c.FillRect(kLeft - 1, kCy + h - 2, kCellW + 2, 8, {0x1A2A10, 0.3});
        c.FillRect(kCx - 5, kCy + h, 10, 6, {0x9C8C74});
        c.FillRect(kLeft - 1, kCy - h, kCellW + 2, 2 * h, {kPavementEdge});
        c.FillRect(kLeft - 1, kCy - kAsphaltW / 2, kCellW + 2, kAsphaltW, {kAsphalt});
        // Parapets: the top of the far one, the top and face of the near one.
        c.FillRect(kLeft - 1, kCy - h, kCellW + 2, 5, {0xD9C7A4});
        c.FillRect(kLeft - 1, kCy + kAsphaltW / 2, kCellW + 2, 4, {0xD9C7A4});
        c.FillRect(kLeft - 1, kCy + kAsphaltW / 2 + 4, kCellW + 2, 3, {0x9C8C74});
        for (double x = kLeft + 5; x < kRight; x += 11.25)
            c.FillRect(x, kCy + kAsphaltW / 2, 1.2, 7, {0x7E6F5A});
        Dash(c, kCx - 16, kCy, kCx - 6, kCy);
        Dash(c, kCx + 6, kCy, kCx + 16, kCy);
    } else {
        c.FillRect(kCx + h - 2, kTop - 1, 8, kCellH + 2, {0x1A2A10, 0.3});
        c.FillRect(kCx - h, kTop - 1, 2 * h, kCellH + 2, {kPavementEdge});
        c.FillRect(kCx - kAsphaltW / 2, kTop - 1, kAsphaltW, kCellH + 2, {kAsphalt});
        c.FillRect(kCx - h, kTop - 1, 5, kCellH + 2, {0xD9C7A4});
        c.FillRect(kCx + kAsphaltW / 2, kTop - 1, 5, kCellH + 2, {0xD9C7A4});
        c.FillRect(kCx + kAsphaltW / 2 + 5, kTop - 1, 2, kCellH + 2, {0x9C8C74});
        Dash(c, kCx, kCy - 16, kCx, kCy - 6);
        Dash(c, kCx, kCy + 6, kCx, kCy + 16);
    }
    cairo_restore(c.Cr());
}

// A ramp rising toward `high`: the low end meets a ground road, the high end a
// bridge deck. The walls grow and the asphalt lightens toward the high end.
void DrawRamp(Canvas& c, int high)
{
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    ClipToCell(c);
    bool across = high == kRoadL || high == kRoadR;
    DrawRoad(c, across ? (kRoadL | kRoadR) : (kRoadT | kRoadB), false);
    // Shade: darker (lower) at the low end.
    double x0 = kLeft, y0 = kTop, x1 = kLeft, y1 = kTop;
    if (high == kRoadL)
        x0 = kRight;
    else if (high == kRoadR)
        x1 = kRight;
    else if (high == kRoadT)
        y0 = kBottom;
    else
        y1 = kBottom;
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.1, 0.1, 0.15, 0.28);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.12);
    cairo_rectangle(cr, kLeft - 1, kTop - 1, kCellW + 2, kCellH + 2);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Side walls as wedges, thin at the low end.
    const double h = kPavementW / 2;
    auto wedge = [&](bool nearSide) {
        std::vector<double> pts;
        if (across) {
            double y = nearSide ? kCy + kAsphaltW / 2 : kCy - h;
            double lowX = high == kRoadR ? kLeft - 1 : kRight + 1, highX = high == kRoadR ? kRight + 1 : kLeft - 1;
            pts = {lowX, y + 2, highX, y, highX, y + (nearSide ? 8 : 5), lowX, y + 3};
        } else {
            double x = nearSide ? kCx + kAsphaltW / 2 : kCx - h;
            double lowY = high == kRoadT ? kBottom + 1 : kTop - 1, highY = high == kRoadT ? kTop - 1 : kBottom + 1;
            pts = {x + 2, lowY, x, highY, x + 6, highY, x + 3, lowY};
        }
        c.FillPolygon(pts, {nearSide ? 0xB9A684u : 0xD9C7A4u});
    };
    wedge(false);
    wedge(true);
    // Chevrons point uphill.
    double ax = high == kRoadL ? -1 : high == kRoadR ? 1 : 0, ay = high == kRoadT ? -1 : high == kRoadB ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        double d = -6 + i * 10;
        double tx = kCx + ax * (d + 4), ty = kCy + ay * (d + 4);
        double bx = kCx + ax * d, by = kCy + ay * d;
        cairo_move_to(cr, bx - ay * 6, by - ax * 6);
        cairo_line_to(cr, tx, ty);
        cairo_line_to(cr, bx + ay * 6, by + ax * 6);
        c.Colour({kMarking, 0.85});
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

TownPicture Piece(const std::string& path, const std::string& role, std::function<void(Canvas&, int)> draw)
{
    TownPicture p;
    p.path = path;
    p.family = TownFamily::Roads;
    p.anchor = Anchor::Cell;
    p.width = p.height = kSize;
    p.role = role;
    p.draw = std::move(draw);
    return p;
}

} // namespace

void AddRoadPictures(TownList& out)
{
    for (int sides = 1; sides < 16; ++sides) {
        std::string name = RoadTemplate(sides);
        std::string shape = name.substr(name.find("Road", 6) + 4);
        shape = shape.substr(0, shape.size() - 4);
        out.push_back(Piece(name, "road " + shape, [sides](Canvas& c, int) { DrawRoad(c, sides); }));
    }
    out.push_back(Piece("Town\\Road\\BridgeLR.img", "bridge LR", [](Canvas& c, int) { DrawBridge(c, true); }));
    out.push_back(Piece("Town\\Road\\BridgeTB.img", "bridge TB", [](Canvas& c, int) { DrawBridge(c, false); }));
    const struct {
        int side;
        const char* name;
    } ramps[] = {{kRoadT, "T"}, {kRoadL, "L"}, {kRoadB, "B"}, {kRoadR, "R"}};
    for (const auto& r : ramps)
        out.push_back(Piece(std::string("Town\\Road\\RampUp") + r.name + ".img", std::string("ramp ") + r.name,
                            [side = r.side](Canvas& c, int) { DrawRamp(c, side); }));
}
