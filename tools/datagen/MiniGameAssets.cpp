// The driving mini-game: traffic cars seen from behind and above (foot at the
// rear bumper), a road background that tiles top to bottom with its lanes on
// the grid's columns, and the lane-cell picture the road nodes load.
#include "datagen/Town.h"

#include <cmath>

namespace {

// Lanes are grid columns 6 to 10: x from 6 x 45 - 22 to 11 x 45 - 22.
constexpr int kFirstLane = 6, kLanes = 5;

struct Car {
    const char* name;
    uint32_t body, roof;
    double w, len;
    bool van, taxi;
};

const Car kCars[] = {
    {"Hatchback", 0xD8323C, 0xF06A6A, 24, 38, false, false},
    {"Taxi", 0xF2C534, 0xFFE27A, 25, 44, false, true},
    {"Sedan", 0x3F6FB8, 0x6C96D6, 25, 46, false, false},
    {"GreenVan", 0x4F8F4A, 0xF4F1EC, 27, 52, true, false},
    {"Lorry", 0xE07A2E, 0xD8D2C4, 29, 60, true, false},
};

void DrawCar(Canvas& c, const Car& k, int frame)
{
    const double cx = 16, bottom = 63, top = bottom - k.len;
    double bob = frame % 2 ? 0.5 : 0;
    DrawGroundShadow(c, cx + 1, bottom - k.len / 2, k.w / 2 + 1, k.len / 2, 0.22);
    // Wheels peek out at the sides.
    for (double y : {top + 7.0, bottom - 11.0}) {
        c.FillRoundRect(cx - k.w / 2 - 1.5, y, 3.5, 7, 1.5, {0x2E2A2A});
        c.FillRoundRect(cx + k.w / 2 - 2, y, 3.5, 7, 1.5, {0x2E2A2A});
    }
    c.FillRoundRect(cx - k.w / 2, top + bob, k.w, k.len - 1, 5, {k.body});
    c.StrokeRoundRect(cx - k.w / 2, top + bob, k.w, k.len - 1, 5, 1.3, {Pal::Ink});
    if (k.van) {
        // Cab at the front (top), long box behind.
        c.FillRoundRect(cx - k.w / 2 + 2, top + 2 + bob, k.w - 4, 7, 2, {0xBFE3F0});
        c.FillRoundRect(cx - k.w / 2 + 1, top + 11 + bob, k.w - 2, k.len - 17, 2, {k.roof});
        c.StrokeRoundRect(cx - k.w / 2 + 1, top + 11 + bob, k.w - 2, k.len - 17, 2, 1, {Pal::Ink});
        c.FillRect(cx - 0.5, bottom - 8 + bob, 1, 6, {Pal::Ink});
    } else {
        double roofTop = top + k.len * 0.3, roofLen = k.len * 0.42;
        c.FillRoundRect(cx - k.w / 2 + 3, roofTop - 5 + bob, k.w - 6, 5, 2, {0xBFE3F0});
        c.FillRoundRect(cx - k.w / 2 + 3, roofTop + bob, k.w - 6, roofLen, 3, {k.roof});
        c.StrokeRoundRect(cx - k.w / 2 + 3, roofTop + bob, k.w - 6, roofLen, 3, 1, {Pal::Ink});
        c.FillRoundRect(cx - k.w / 2 + 3, roofTop + roofLen + bob, k.w - 6, 6, 2, {0x9CCBE0});
        if (k.taxi) {
            c.FillRoundRect(cx - 5, roofTop + roofLen / 2 - 2.5 + bob, 10, 5, 1.5, {0xFFFBEF});
            c.StrokeRoundRect(cx - 5, roofTop + roofLen / 2 - 2.5 + bob, 10, 5, 1.5, 0.8, {Pal::Ink});
        }
    }
    // Tail lights and number plate at the rear.
    c.FillRect(cx - k.w / 2 + 1.5, bottom - 5 + bob, 4, 2.5, {0xFF3030});
    c.FillRect(cx + k.w / 2 - 5.5, bottom - 5 + bob, 4, 2.5, {0xFF3030});
    c.FillRect(cx - 3.5, bottom - 4.5 + bob, 7, 2.5, {0xFFFBEF});
}

void DrawLaneCell(Canvas& c)
{
    const double x0 = 9, x1 = 55, top = 18.5;
    c.FillRect(x0, top, x1 - x0, 64 - top, {0x6A6573});
    for (double x : {x0 + 0.5, x1 - 1.5})
        for (double y = top + 4; y < 64; y += 22.5)
            c.FillRect(x, y, 1.5, 11, {0xF6EBC8});
}

// Drawn in screen units (800 x 600) on a 1024 x 1024 canvas: the game
// stretches it back, so the lanes land on the grid's columns.
void DrawRoadBackground(Canvas& c)
{
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_scale(cr, 1024.0 / 800, 1024.0 / 600);
    const double left = kFirstLane * kCellW + kOriginX, right = (kFirstLane + kLanes) * kCellW + kOriginX;
    c.FillRect(0, 0, 800, 600, {0x86BA5E});
    Dice d(31);
    // Everything repeats every 600 px down the screen, so the picture tiles.
    auto tiled = [&](double y, const std::function<void(double)>& draw) {
        draw(y);
        draw(y - 600);
        draw(y + 600);
    };
    for (int i = 0; i < 140; ++i) {
        double x = d.Range(0, 800), y = d.Range(0, 600), r = d.Range(8, 26);
        if (x > left - 40 - r && x < right + 40 + r)
            continue;
        tiled(y, [&](double yy) { c.FillCircle(x, yy, r, {i % 2 ? 0x94C46Au : 0x79AE53u, 0.6}); });
    }
    // Pavements, kerbs, asphalt.
    c.FillRect(left - 26, 0, right - left + 52, 600, {0xE3D5B8});
    for (double y = 0; y < 600; y += 20) {
        c.FillRect(left - 26, y, 22, 1, {0xB9A684});
        c.FillRect(right + 4, y, 22, 1, {0xB9A684});
    }
    c.FillRect(left - 4, 0, right - left + 8, 600, {0xA8977A});
    c.FillRect(left - 2, 0, right - left + 4, 600, {0x6A6573});
    c.FillRect(left + 3, 0, 3, 600, {0xF6EBC8});
    c.FillRect(right - 6, 0, 3, 600, {0xF6EBC8});
    for (int lane = 1; lane < kLanes; ++lane) {
        double x = left + lane * kCellW;
        for (double y = 0; y < 600; y += 50)
            c.FillRect(x - 1.5, y + 10, 3, 25, {0xF6EBC8});
    }
    // Trees and lamps along both verges, evenly spaced so they repeat.
    for (int i = 0; i < 4; ++i) {
        double y = 75 + i * 150;
        for (double x : {left - 70.0, right + 70.0, left - 170.0, right + 180.0}) {
            double yy = y + (x < left - 100 || x > right + 100 ? 75 : 0);
            tiled(yy, [&](double ty) {
                DrawGroundShadow(c, x + 4, ty + 4, 26, 20, 0.2);
                c.FillCircle(x, ty, 24, {Pal::LeafShade});
                c.FillCircle(x - 6, ty - 6, 15, {Pal::Leaf});
                c.StrokeCircle(x, ty, 24, 2, {Pal::Ink});
            });
        }
        for (double x : {left - 34.0, right + 34.0})
            tiled(y + 40, [&](double ty) {
                c.FillCircle(x, ty, 6, {0x3E4A5A});
                c.FillCircle(x, ty, 3.5, {0xFFE27A});
            });
    }
    cairo_restore(cr);
}

TownPicture MiniGame(const std::string& path, const std::string& role, Anchor anchor, int w, int h, int frames,
                     double fps, std::function<void(Canvas&, int)> draw)
{
    TownPicture p;
    p.path = path;
    p.family = TownFamily::MiniGame;
    p.anchor = anchor;
    p.width = w;
    p.height = h;
    p.frames = frames;
    p.fps = fps;
    p.role = role;
    p.draw = std::move(draw);
    return p;
}

} // namespace

void AddMiniGamePictures(TownList& out)
{
    for (const Car& k : kCars) {
        const Car* car = &k;
        out.push_back(MiniGame(std::string("MiniGame\\Car") + k.name + ".img", "traffic car", Anchor::Foot, 32, 64, 2,
                               6, [car](Canvas& c, int f) { DrawCar(c, *car, f); }));
    }
    out.push_back(MiniGame("MiniGame\\Road.img", "mini-game road background, lanes on columns 6-10", Anchor::Stretched, 1024,
                           1024, 1, 0, [](Canvas& c, int) { DrawRoadBackground(c); }));
    out.push_back(MiniGame("MiniGame\\Lane.img", "lane cell", Anchor::Cell, 64, 64, 1, 0,
                           [](Canvas& c, int) { DrawLaneCell(c); }));
}
