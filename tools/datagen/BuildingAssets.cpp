// Houses, shops and the police station. Every building stands in its cell
// (64 x 128 canvas, foot at the bottom centre) with its front and door facing
// down, toward the road in the cell below, and rises over the rows above.
#include "datagen/Town.h"

#include <cmath>

namespace {

constexpr int kW = 64, kH = 128;
constexpr double kCx = kW / 2.0;
constexpr double kGround = kH - 2;  // bottom of the front wall; the doorstep reaches the foot

enum class Roof { Gable, Eaves, Flat };
enum class Animation { None, Smoke, Flag, Lights };

struct House {
    const char* name;
    double wallW, wallH;
    uint32_t wall, roof, door, trim;
    Roof roofKind;
    double roofH;
    int storeys;
    Animation anim;
    bool timber = false;
    bool roundWindow = false;
    bool plants = false;
};

void Outline(Canvas& c, double x, double y, double w, double h)
{
    cairo_rectangle(c.Cr(), x, y, w, h);
    InkStroke(c, 1.4);
}

void Window(Canvas& c, double x, double y, double w, double h, bool lit, uint32_t trim)
{
    c.FillRect(x - 1, y - 1, w + 2, h + 2, {trim});
    c.FillRect(x, y, w, h, {lit ? 0xFFD66Bu : 0x9CCBE0u});
    if (!lit)
        c.FillPolygon({x, y + h * 0.6, x + w * 0.6, y, x + w * 0.9, y, x, y + h * 0.95}, {0xFFFFFF, 0.35});
    c.FillRect(x + w / 2 - 0.5, y, 1, h, {trim});
    Outline(c, x - 1, y - 1, w + 2, h + 2);
}

void Door(Canvas& c, double cx, double w, double h, uint32_t colour)
{
    double x = cx - w / 2, y = kGround - h;
    c.FillRect(cx - w / 2 - 3, kGround, w + 6, kH - kGround, {0xCFC3AA});
    cairo_t* cr = c.Cr();
    cairo_move_to(cr, x, kGround);
    cairo_line_to(cr, x, y + w / 2);
    cairo_arc(cr, cx, y + w / 2, w / 2, M_PI, 2 * M_PI);
    cairo_line_to(cr, x + w, kGround);
    cairo_close_path(cr);
    c.Colour({colour});
    cairo_fill_preserve(cr);
    InkStroke(c, 1.4);
    c.FillCircle(cx + w * 0.25, kGround - h * 0.45, 1, {Pal::Gold});
}

void Smoke(Canvas& c, double x, double y, int frame, int frames)
{
    for (int i = 0; i < 3; ++i) {
        double t = std::fmod(static_cast<double>(frame) / frames + i / 3.0, 1.0);
        // Each puff sways its own way, so the frames differ, not just swap puffs.
        double px = x + std::sin(t * 5 + i * 2.1) * 3 + t * 6, py = y - 4 - t * 30;
        c.FillCircle(px, py, 2.5 + t * 4, {0xF4F1EC, 0.85 * (1 - t)});
    }
}

void Flag(Canvas& c, double x, double y, int frame, uint32_t colour)
{
    c.FillRect(x - 0.75, y - 22, 1.5, 22, {Pal::Ink});
    c.FillCircle(x, y - 22, 1.5, {Pal::Gold});
    cairo_t* cr = c.Cr();
    double ph = frame * M_PI / 2;
    cairo_move_to(cr, x, y - 21);
    for (int i = 0; i <= 12; ++i)
        cairo_line_to(cr, x + i, y - 21 + std::sin(ph + i * 0.5) * 1.6);
    for (int i = 12; i >= 0; --i)
        cairo_line_to(cr, x + i, y - 13 + std::sin(ph + i * 0.5) * 1.6);
    cairo_close_path(cr);
    c.Colour({colour});
    cairo_fill_preserve(cr);
    InkStroke(c, 1);
}

void DrawRoof(Canvas& c, double x0, double x1, double top, Roof kind, double h, uint32_t colour)
{
    cairo_t* cr = c.Cr();
    if (kind == Roof::Gable) {
        c.FillPolygon({x0 - 4, top + 1, kCx, top - h, x1 + 4, top + 1}, {colour});
        c.FillPolygon({kCx, top - h, x1 + 4, top + 1, kCx + (x1 - x0) * 0.18, top + 1}, {0x000000, 0.12});
        cairo_move_to(cr, x0 - 4, top + 1);
        cairo_line_to(cr, kCx, top - h);
        cairo_line_to(cr, x1 + 4, top + 1);
        cairo_close_path(cr);
        InkStroke(c, 1.4);
    } else if (kind == Roof::Eaves) {
        std::vector<double> pts = {x0 - 4, top + 2, x1 + 4, top + 2, x1 - 3, top - h, x0 + 3, top - h};
        c.FillPolygon(pts, {colour});
        // Tile rows, darker toward the eaves.
        for (double y = top - h + 5; y < top; y += 5) {
            double f = (y - (top - h)) / h;
            double xa = x0 + 3 - f * 7, xb = x1 - 3 + f * 7;
            c.FillRect(xa, y, xb - xa, 1, {0x000000, 0.12 + 0.08 * f});
        }
        c.FillPolygon({x0 + 3, top - h, x1 - 3, top - h, x1 - 4, top - h + 2, x0 + 4, top - h + 2}, {0xFFFFFF, 0.25});
        cairo_move_to(cr, pts[0], pts[1]);
        for (size_t i = 2; i < pts.size(); i += 2)
            cairo_line_to(cr, pts[i], pts[i + 1]);
        cairo_close_path(cr);
        InkStroke(c, 1.4);
    } else {
        c.FillRect(x0 - 2, top - h, x1 - x0 + 4, h + 1, {colour});
        c.FillRect(x0 - 2, top - h, x1 - x0 + 4, 2, {0xFFFFFF, 0.3});
        Outline(c, x0 - 2, top - h, x1 - x0 + 4, h + 1);
    }
}

void DrawHouse(Canvas& c, const House& h, int frame, int frames)
{
    double x0 = kCx - h.wallW / 2, x1 = kCx + h.wallW / 2, top = kGround - h.wallH;
    DrawGroundShadow(c, kCx + 2, kGround, h.wallW / 2 + 4, 3.5);
    double chimneyX = x1 - 11;
    bool chimney = h.roofKind != Roof::Flat;
    double roofTop = top - h.roofH;
    if (chimney) {
        double chTop = roofTop + h.roofH * 0.35 - 6;
        c.FillRect(chimneyX, chTop, 6, top - chTop, {0x9A5544});
        Outline(c, chimneyX, chTop, 6, top - chTop);
        c.FillRect(chimneyX - 1, chTop - 2, 8, 3, {0x6F3B2E});
    }
    // Wall with a shaded right end.
    c.FillRect(x0, top, h.wallW, h.wallH, {h.wall});
    c.FillRect(x1 - h.wallW * 0.14, top, h.wallW * 0.14, h.wallH, {0x000000, 0.1});
    if (h.timber) {
        for (double x : {x0 + 1, kCx - 0.75, x1 - 2.5})
            c.FillRect(x, top, 1.5, h.wallH, {0x6B4226});
        c.FillRect(x0, top + h.wallH / 2, h.wallW, 1.5, {0x6B4226});
        cairo_move_to(c.Cr(), x0 + 2, top + h.wallH / 2);
        cairo_line_to(c.Cr(), kCx, top + 1);
        cairo_line_to(c.Cr(), x1 - 2, top + h.wallH / 2);
        c.Colour({0x6B4226});
        cairo_set_line_width(c.Cr(), 1.5);
        cairo_stroke(c.Cr());
    }
    Outline(c, x0, top, h.wallW, h.wallH);
    // Windows: one row per storey, lights walk along them when animated.
    double storeyH = h.wallH / h.storeys;
    int index = 0;
    for (int s = 0; s < h.storeys; ++s) {
        double wy = top + s * storeyH + storeyH * 0.22;
        double ww = 8, wh = std::min(10.0, storeyH * 0.5);
        bool ground = s == h.storeys - 1;
        for (double wx : {x0 + 4.5, x1 - 4.5 - ww}) {
            bool lit = h.anim == Animation::Lights && ((index + frame) % 3 == 0);
            Window(c, wx, wy, ww, wh, lit, h.trim);
            ++index;
        }
        if (!ground) {
            if (h.roundWindow) {
                c.FillCircle(kCx, wy + wh / 2, 4.5, {h.trim});
                c.FillCircle(kCx, wy + wh / 2, 3.5, {0x9CCBE0});
                cairo_arc(c.Cr(), kCx, wy + wh / 2, 4.5, 0, 2 * M_PI);
                InkStroke(c, 1.2);
            } else {
                bool lit = h.anim == Animation::Lights && ((index + frame) % 3 == 0);
                Window(c, kCx - 3.5, wy, 7, wh, lit, h.trim);
                ++index;
            }
        }
    }
    Door(c, kCx, 9, std::min(16.0, storeyH * 0.7), h.door);
    DrawRoof(c, x0, x1, top, h.roofKind, h.roofH, h.roof);
    if (h.plants) {
        for (int i = 0; i < 4; ++i)
            c.FillCircle(x0 + 5 + i * (h.wallW - 10) / 3, roofTop - 2, 3.5, {i % 2 ? Pal::Leaf : Pal::LeafShade});
        c.FillCircle(x0 + 8, roofTop - 4, 1.5, {0xE8577B});
        c.FillCircle(x1 - 9, roofTop - 4, 1.5, {0xF2B134});
    }
    if (h.anim == Animation::Smoke && chimney)
        Smoke(c, chimneyX + 3, roofTop + h.roofH * 0.35 - 8, frame, frames);
    if (h.anim == Animation::Flag)
        Flag(c, kCx, h.roofKind == Roof::Gable ? roofTop + 1 : roofTop, frame, Pal::Brick);
}

const House kHouses[] = {
    {"Cottage", 40, 28, 0xF6E6C4, Pal::Brick, 0x7A4A2A, 0xFFFFFF, Roof::Gable, 24, 1, Animation::Smoke},
    {"BlueHouse", 42, 30, 0xA9CFE0, 0x4B5A73, 0x2E4A6B, 0xFFFFFF, Roof::Eaves, 22, 1, Animation::None},
    {"Townhouse", 40, 46, 0xC9704F, 0x5E5A66, 0x3F7F8C, 0xF3E6CF, Roof::Eaves, 18, 2, Animation::None},
    {"YellowHouse", 42, 32, 0xF7D774, 0x4F7F33, 0x8E5C9A, 0xFFFFFF, Roof::Gable, 26, 1, Animation::Lights},
    {"PinkHouse", 40, 44, 0xF2B5C4, 0x7D4E8C, 0x5A341D, 0xFFFFFF, Roof::Gable, 20, 2, Animation::None, false, true},
    {"TimberHouse", 42, 34, 0xFBF4E6, 0x8A4B3A, 0x6B4226, 0xFBF4E6, Roof::Eaves, 24, 1, Animation::Smoke, true},
    {"FlagHouse", 38, 50, 0xE9B97A, 0x3F7F8C, 0x8A4B3A, 0xFFFFFF, Roof::Gable, 22, 2, Animation::Flag},
    {"Bungalow", 44, 28, 0xBFE3CF, 0xCDBFA6, 0xB8452F, 0xFFFFFF, Roof::Flat, 5, 1, Animation::None, false, false,
     true},
    {"BrickHouse", 42, 34, 0xB8452F, 0x6D4C3D, 0x2E4A6B, 0xF3E6CF, Roof::Gable, 22, 1, Animation::Lights},
};

struct ShopLook {
    uint32_t wall, awning, stripe;
};

const ShopLook kShops[kGoodsKinds] = {
    {0xF4D9A8, 0xD88A1C, 0xFFF3D6},  // bakery
    {0xE6F0F5, 0x4A90C8, 0xFFFFFF},  // dairy
    {0xFBE3EA, 0xE8577B, 0xFFFFFF},  // florist
    {0xF2E6CF, Pal::Brick, Pal::Gold},  // post office
    {0xFFF3F6, 0xF09AB4, 0xFFFFFF},  // cake shop
    {0xEAF2D9, Pal::Leaf, 0xFFFFFF},  // greengrocer
    {0xDDEFF0, Pal::Teal, 0xFFFFFF},  // fishmonger
    {0xEEE3F2, 0x7D4E8C, 0xF3E6CF},  // bookshop
};

void DrawShop(Canvas& c, int goods)
{
    const ShopLook& look = kShops[goods - 1];
    const double w = 44, wallH = 36, x0 = kCx - w / 2, x1 = kCx + w / 2, top = kGround - wallH;
    DrawGroundShadow(c, kCx + 2, kGround, w / 2 + 4, 3.5);
    // A flat roof with a sign board standing on it, the goods painted on the sign.
    DrawRoof(c, x0, x1, top, Roof::Flat, 6, 0xB7A58C);
    c.FillRect(x0, top, w, wallH, {look.wall});
    c.FillRect(x1 - 6, top, 6, wallH, {0x000000, 0.1});
    Outline(c, x0, top, w, wallH);
    const double signW = 34, signH = 22, signY = top - 6 - signH + 2;
    c.FillRect(kCx - 12, signY + signH, 2, 6, {Pal::Ink});
    c.FillRect(kCx + 10, signY + signH, 2, 6, {Pal::Ink});
    c.FillRoundRect(kCx - signW / 2, signY, signW, signH, 4, {Pal::Cream});
    c.StrokeRoundRect(kCx - signW / 2, signY, signW, signH, 4, 1.4, {Pal::Ink});
    DrawTownGoods(c, goods, kCx, signY + signH / 2, 19);
    // Display windows either side of the door.
    for (double wx : {x0 + 3, x1 - 16}) {
        c.FillRect(wx, top + 14, 13, 16, {0x9CCBE0});
        c.FillPolygon({wx, top + 24, wx + 8, top + 14, wx + 11, top + 14, wx, top + 28}, {0xFFFFFF, 0.35});
        DrawTownGoods(c, goods, wx + 6.5, top + 25, 9);
        Outline(c, wx, top + 14, 13, 16);
    }
    Door(c, kCx, 10, 18, Pal::WoodShade);
    // Striped awning over the windows.
    cairo_t* cr = c.Cr();
    const double ay = top + 4, ah = 8;
    for (int i = 0; i < 8; ++i) {
        double sx = x0 - 2 + i * (w + 4) / 8;
        c.FillRect(sx, ay, (w + 4) / 8 + 0.3, ah, {i % 2 ? look.stripe : look.awning});
    }
    for (int i = 0; i < 8; ++i) {
        double sx = x0 - 2 + i * (w + 4) / 8, sw = (w + 4) / 8;
        cairo_arc(cr, sx + sw / 2, ay + ah, sw / 2, 0, M_PI);
        c.Colour({i % 2 ? look.stripe : look.awning});
        cairo_fill(cr);
    }
    Outline(c, x0 - 2, ay, w + 4, ah);
}

void DrawPoliceStation(Canvas& c, int frame)
{
    const double w = 46, wallH = 44, x0 = kCx - w / 2, x1 = kCx + w / 2, top = kGround - wallH;
    DrawGroundShadow(c, kCx + 2, kGround, w / 2 + 4, 3.5);
    DrawRoof(c, x0, x1, top, Roof::Eaves, 16, 0x3D4A63);
    c.FillRect(x0, top, w, wallH, {0xD8DCE3});
    for (double y = top + 6; y < kGround; y += 6)
        c.FillRect(x0, y, w, 0.8, {0x9AA3B2, 0.6});
    c.FillRect(x1 - 6, top, 6, wallH, {0x000000, 0.1});
    Outline(c, x0, top, w, wallH);
    // Sign band.
    c.FillRect(x0 + 3, top + 3, w - 6, 10, {0x2B4C8C});
    Outline(c, x0 + 3, top + 3, w - 6, 10);
    c.Text("POLICE", kCx, top + 11.5, Face::SansCondBold, 8.5, {0xFFFFFF}, Align::Centre);
    for (double wx : {x0 + 4, x1 - 13})
        Window(c, wx, top + 18, 9, 10, false, 0xFFFFFF);
    // Blue lamp over the door, blinking.
    bool on = frame == 0;
    if (on)
        c.FillCircle(kCx, top + 19, 7, {0x7FB2FF, 0.45});
    c.FillRoundRect(kCx - 3, top + 15, 6, 7, 2, {on ? 0x5FA0FFu : 0x2B4C8Cu});
    c.StrokeRoundRect(kCx - 3, top + 15, 6, 7, 2, 1.2, {Pal::Ink});
    // Double door.
    c.FillRect(kCx - 8, kGround, 16, kH - kGround, {0xCFC3AA});
    c.FillRect(kCx - 7, kGround - 17, 14, 17, {0x2B4C8C});
    c.FillRect(kCx - 0.5, kGround - 17, 1, 17, {Pal::Ink});
    Outline(c, kCx - 7, kGround - 17, 14, 17);
    c.FillCircle(kCx - 2.5, kGround - 8, 0.9, {Pal::Gold});
    c.FillCircle(kCx + 2.5, kGround - 8, 0.9, {Pal::Gold});
}

TownPicture Building(const std::string& path, const std::string& role, int frames, double fps,
                     std::function<void(Canvas&, int)> draw)
{
    TownPicture p;
    p.path = path;
    p.family = TownFamily::Buildings;
    p.anchor = Anchor::Cell;
    p.width = kW;
    p.height = kH;
    p.frames = frames;
    p.fps = fps;
    p.role = role;
    p.draw = std::move(draw);
    return p;
}

} // namespace

void AddBuildingPictures(TownList& out)
{
    for (const House& h : kHouses) {
        int frames = h.anim == Animation::Smoke ? 6 : h.anim == Animation::Flag ? 4 : h.anim == Animation::Lights ? 3 : 1;
        double fps = h.anim == Animation::Smoke ? 6 : h.anim == Animation::Flag ? 8 : h.anim == Animation::Lights ? 0.5 : 0;
        const House* house = &h;
        out.push_back(Building(std::string("Town\\House\\") + h.name + ".img", "house", frames, fps,
                               [house, frames](Canvas& c, int f) { DrawHouse(c, *house, f, frames); }));
    }
    for (int g = 1; g <= kGoodsKinds; ++g)
        out.push_back(Building(ShopTemplate(g), "shop " + std::to_string(g), 1, 0,
                               [g](Canvas& c, int) { DrawShop(c, g); }));
    out.push_back(Building("Town\\Police\\Station.img", "police station", 2, 2,
                           [](Canvas& c, int f) { DrawPoliceStation(c, f); }));
}
