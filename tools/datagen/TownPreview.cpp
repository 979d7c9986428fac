// Contact sheets of the town's picture families and a composed sample town,
// drawn from the generated files the way the game places them.
#include "datagen/PreviewScreens.h"

#include "datagen/Preview.h"
#include "datagen/Town.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kSheetBack = 0xF4EEDC, kItemBack = 0x8CC063;

bool IsBig(const TownPicture& p)
{
    return p.width > 320 || p.height > 320;
}

struct Placed {
    const TownPicture* p;
    double x, y, w, h;
};

// Width and height of one entry: every frame at 1x, frame 0 at 2x, the name below.
void Measure(Canvas& probe, const TownPicture& p, double& w, double& h)
{
    double label = probe.TextWidth(p.path, Face::Sans, 10) + 8;
    if (p.anchor == Anchor::Font) {
        w = 560;
        h = 80;
    } else if (IsBig(p)) {
        double thumb = 320.0 / std::max(p.width, p.height);
        w = p.width * thumb + 8;
        h = p.height * thumb + 8;
    } else {
        int shown = std::min(p.frames, 6);
        w = shown * (p.width + 6) + 2 * p.width + 16;
        h = 2 * p.height + 8;
    }
    w = std::max(w, label);
    h += 18;
}

void Cross(Canvas& c, double x, double y)
{
    c.FillRect(x - 4, y - 0.5, 8, 1, {0xFF2020});
    c.FillRect(x - 0.5, y - 4, 1, 8, {0xFF2020});
}

void CellBox(Canvas& c, const TownPicture& p, double px, double py, double s)
{
    if (p.anchor != Anchor::Cell && p.anchor != Anchor::Vehicle && p.anchor != Anchor::Foot)
        return;
    if (p.anchor != Anchor::Foot)
        c.StrokeRoundRect(px + (p.width / 2.0 - kCellW / 2) * s, py + (p.height - kCellH) * s, kCellW * s,
                          kCellH * s, 0, 1, {0xFFFFFF, 0.7});
    Cross(c, px + p.width / 2.0 * s, py + p.height * s);
}

void DrawEntry(Preview& pv, const Placed& e)
{
    Canvas& c = pv.Screen();
    const TownPicture& p = *e.p;
    c.FillRect(e.x, e.y, e.w, e.h - 18, {kItemBack});
    c.Text(p.path, e.x + 2, e.y + e.h - 6, Face::Sans, 10, {Pal::Ink});
    bool police = p.role.rfind("police car", 0) == 0;
    if (p.anchor == Anchor::Font) {
        c.FillRect(e.x, e.y, e.w, e.h - 18, {0xFFFBEF});
        pv.Text(p.path, e.x + 6, e.y + 22, 1, 0xFF000000, "CASH  Needed  Orders left  0123456789 $");
        pv.Text(p.path, e.x + 6, e.y + 56, 2, 0xFFFF3030, "Needed $420");
        return;
    }
    if (IsBig(p)) {
        double thumb = 320.0 / std::max(p.width, p.height);
        pv.DrawEx(p.path, 0, e.x + 4, e.y + 4, p.width * thumb, p.height * thumb, 0xFFFFFFFF, false);
        return;
    }
    double x = e.x + 4, y = e.y + 4 + p.height;
    int shown = std::min(p.frames, 6);
    for (int f = 0; f < shown; ++f) {
        pv.DrawEx(p.path, f, x, y, 0, 0, 0xFFFFFFFF, false);
        if (police)
            pv.DrawEx(p.path, f, x, y, 0, 0, 0xFFFFFFFF, true);
        CellBox(c, p, x, y, 1);
        x += p.width + 6;
    }
    x += 6;
    pv.DrawEx(p.path, 0, x, e.y + 4, 0, 0, 0xFFFFFFFF, false, 2);
    if (police)
        pv.DrawEx(p.path, 0, x, e.y + 4, 0, 0, 0xFFFFFFFF, true, 2);
    CellBox(c, p, x, e.y + 4, 2);
}

bool Sheet(const std::string& root, const std::string& file, TownFamily family)
{
    std::vector<const TownPicture*> list;
    for (const auto& p : TownCatalogue())
        if (p.family == family)
            list.push_back(&p);
    const double width = 1400, margin = 12;
    Canvas probe(4, 4);
    std::vector<Placed> placed;
    double x = margin, y = 40, rowH = 0;
    for (const TownPicture* p : list) {
        double w, h;
        Measure(probe, *p, w, h);
        if (x + w > width - margin && x > margin) {
            x = margin;
            y += rowH + 10;
            rowH = 0;
        }
        placed.push_back({p, x, y, w, h});
        x += w + 10;
        rowH = std::max(rowH, h);
    }
    // The HUD's digit picture comes from the fonts; show it with its look.
    bool digits = family == TownFamily::Hud;
    int height = static_cast<int>(y + rowH + margin + (digits ? 50 : 0));
    Preview pv(root, static_cast<int>(width), height);
    pv.Clear(kSheetBack);
    char title[160];
    std::snprintf(title, sizeof title, "%s: %zu pictures (each frame at game size, frame 0 at 2x; white box: the cell, "
                  "red cross: the foot point)", TownFamilyName(family), list.size());
    pv.Screen().Text(title, margin, 26, Face::SansBold, 15, {Pal::Ink});
    for (const auto& e : placed)
        DrawEntry(pv, e);
    if (digits) {
        double dy = y + rowH + 10;
        pv.Screen().FillRect(margin, dy, 320, 28, {0xFFFBEF});
        pv.Number("Hud\\Digits.img", margin + 6, dy + 24, 0xFF000000, "0123456789-$x:");
        pv.Number("Hud\\Digits.img", margin + 220, dy + 24, 0xFFFF3030, "$2000");
        pv.Screen().Text("Hud\\Digits.img (SFI, from the fonts)", margin + 2, dy + 40, Face::Sans, 10, {Pal::Ink});
    }
    return pv.Save(file);
}

// The sample town: 17 x 13 cells, '#' road, letters buildings (see kKeys).
const char* const kMap[13] = {
    ".................",
    ".abcdPefghiSjk...",
    ".###############.",
    ".#lm..#.....#..#.",
    ".#....#..#..#..#.",
    ".#....#..#..#..#.",
    ".#nopq#rs#tu#..#.",
    "#############..##",
    "......#.....#..#.",
    "...vwx#yz...#AB#.",
    "..##############.",
    "..###....#.......",
    ".................",
};

struct Key {
    char key;
    const char* tpl;
};

const Key kKeys[] = {
    {'a', "Town\\House\\Cottage.img"},     {'b', "Town\\House\\BlueHouse.img"},   {'c', "Town\\Shop\\BreadShop.img"},
    {'d', "Town\\Shop\\MilkShop.img"},     {'P', "Town\\Police\\Station.img"},    {'e', "Town\\House\\Townhouse.img"},
    {'f', "Town\\Shop\\FlowersShop.img"},  {'g', "Town\\Shop\\ParcelShop.img"},   {'h', "Town\\House\\YellowHouse.img"},
    {'i', "Town\\House\\FlagHouse.img"},   {'S', "Town\\Shop\\CakeShop.img"},     {'j', "Town\\House\\PinkHouse.img"},
    {'k', "Town\\House\\TimberHouse.img"}, {'n', "Town\\House\\Bungalow.img"},    {'o', "Town\\House\\BrickHouse.img"},
    {'p', "Town\\Shop\\ApplesShop.img"},   {'q', "Town\\House\\Cottage.img"},     {'r', "Town\\Shop\\FishShop.img"},
    {'s', "Town\\House\\BlueHouse.img"},   {'t', "Town\\Shop\\BooksShop.img"},    {'u', "Town\\House\\FlagHouse.img"},
    {'v', "Town\\House\\PinkHouse.img"},   {'w', "Town\\House\\YellowHouse.img"}, {'x', "Town\\House\\Townhouse.img"},
    {'y', "Town\\House\\TimberHouse.img"}, {'z', "Town\\House\\BrickHouse.img"},  {'A', "Town\\House\\Bungalow.img"},
    {'B', "Town\\House\\Cottage.img"},
};

bool IsRoad(int r, int c)
{
    return r >= 0 && r < 13 && c >= 0 && c < 17 && kMap[r][c] == '#';
}

int Sides(int r, int c)
{
    return (IsRoad(r - 1, c) ? kRoadT : 0) | (IsRoad(r, c - 1) ? kRoadL : 0) | (IsRoad(r + 1, c) ? kRoadB : 0) |
           (IsRoad(r, c + 1) ? kRoadR : 0);
}

double FootX(double c) { return (c + 0.5) * kCellW + kOriginX; }
double FootY(double r) { return (r + 1) * kCellH + kOriginY; }

struct Car {
    const char* tpl;
    int row, col;
    bool police;
};

bool SampleTown(const std::string& root, const std::string& file)
{
    Preview pv(root);
    pv.Clear(0);
    pv.DrawEx("Hud\\Summer\\Town.img", 0, 0, 0, 800, 600, 0xFFFFFFFF, false);
    // Decoration layer 0, under the grid's first layer.
    struct Deco {
        const char* name;
        double x, y;
    };
    const Deco decos[] = {
        {"Fountain", FootX(9), FootY(3) - 4},  {"TreeOak", FootX(2.5), FootY(4)},    {"TreePine", FootX(4.6), FootY(3.4)},
        {"Bench", FootX(3.6), FootY(4.7)},     {"FlowersRed", FootX(3.5), FootY(5.5)}, {"TreeApple", FootX(7.6), FootY(4.6)},
        {"TreeBirch", FootX(10.7), FootY(5)},  {"Pond", FootX(14), FootY(5.3)},      {"TreeOak", FootX(13.7), FootY(3.7)},
        {"Hedge", FootX(7.5), FootY(8)},       {"FlowersYellow", FootX(10.5), FootY(8)}, {"Bush", FootX(11.6), FootY(8.4)},
        {"FenceH", FootX(3.5), FootY(11)},     {"FenceH", FootX(4.5), FootY(11)},    {"TreePine", FootX(13.5), FootY(8.5)},
        {"Water", FootX(0), FootY(11)},        {"Water", FootX(1), FootY(11)},       {"Water", FootX(0), FootY(10)},
        {"Flagpole", FootX(16.2), FootY(5.6)},  {"Butterfly", FootX(5.3), FootY(4.4)}, {"Signpost", FootX(16.3), FootY(9.5)},
        {"TreeOak", FootX(7.6), FootY(11.3)},  {"Bush", FootX(5.8), FootY(11.6)},
    };
    for (const auto& d : decos)
        pv.DrawFoot(std::string("Town\\Deco\\") + d.name + ".img", 0, d.x, d.y);
    // Vehicles drive on the roads, all four ways.
    const Car cars[] = {
        {"Town\\Vehicle\\VanLeft.img", 2, 4, false},    {"Town\\Vehicle\\VanUp.img", 4, 1, false},
        {"Town\\Vehicle\\VanRight.img", 7, 3, false},   {"Town\\Vehicle\\VanDown.img", 8, 6, false},
        {"Town\\Vehicle\\PoliceLeft.img", 10, 8, true}, {"Town\\Vehicle\\PoliceUp.img", 5, 12, true},
        {"Town\\Vehicle\\PoliceRight.img", 2, 9, true}, {"Town\\Vehicle\\PoliceDown.img", 4, 15, true},
    };
    // Field objects row by row, each car just before the first object after its cell.
    for (int r = 0; r < 13; ++r) {
        for (int c = 0; c < 17; ++c) {
            for (const Car& car : cars)
                if (car.row == r && car.col == c - 1) {
                    pv.DrawFoot(car.tpl, 1, FootX(car.col), FootY(car.row));
                    if (car.police)
                        pv.DrawFoot(car.tpl, 1, FootX(car.col), FootY(car.row), true);
                }
            char k = kMap[r][c];
            if (k == '#') {
                pv.DrawFoot(RoadTemplate(Sides(r, c)), 0, FootX(c), FootY(r));
                continue;
            }
            for (const Key& key : kKeys)
                if (key.key == k)
                    pv.DrawFoot(key.tpl, (r + c) % 2, FootX(c), FootY(r));
        }
    }
    // Lamps along the main street (a later decoration layer, over the grid).
    for (int c : {3, 8, 14})
        pv.DrawFoot("Town\\Deco\\LampLit.img", 0, FootX(c) + 16, FootY(2) + 12);
    // Goods icons on plates by their shops, the police post on its station.
    const struct {
        int goods, row, col;
    } icons[] = {{1, 1, 3}, {2, 1, 4}, {3, 1, 7}, {4, 1, 8}, {5, 1, 11}, {6, 6, 5}, {7, 6, 8}, {8, 6, 11}};
    for (const auto& ic : icons) {
        double x = FootX(ic.col), y = FootY(ic.row) - 34;
        pv.DrawCentred("Town\\Goods\\Plate.img", x, y);
        pv.DrawCentred(GoodsIcon(ic.goods, ic.goods == 3), x, y);
    }
    pv.DrawCentred("Town\\Police\\PostI.img", FootX(5), FootY(1) - 34);
    // An order over a house: bubble, goods at 0.65, portrait at its left, patience row.
    auto order = [&](int row, int col, int goods, const char* person, int lit, bool hover) {
        double x = FootX(col), y = FootY(row) - 100;
        pv.DrawCentred(hover ? "Town\\Order\\BubbleH.img" : "Town\\Order\\BubbleI.img", x, y);
        std::string g = goods == 100 ? "Town\\Police\\PostI.img" : GoodsIcon(goods, false);
        pv.DrawEx(g, 0, x - 32 * 0.65, y - 32 * 0.65, 0, 0, 0xFFFFFFFF, false, 0.65);
        pv.DrawCentred(std::string("Town\\People\\") + person + (hover ? "H.img" : "I.img"), x - 32 - 5, y);
        double step = (64 - 10) / 5.0;
        for (int i = 0; i < 6; ++i)
            pv.Draw(i < lit ? "Town\\Order\\PatienceLit.img" : "Town\\Order\\PatienceOff.img", 0, x - 32 + i * step,
                    y + 32);
    };
    order(6, 2, 3, "Grandma", 4, false);
    order(9, 10, 7, "Mayor", 6, true);
    order(6, 14, 100, "Thief", 2, false);
    // HUD on top.
    pv.Draw("Hud\\Summer\\Frame.img", 0, 0, 0);
    pv.DrawEx("Hud\\Summer\\Money.img", 0, 0, 400, 200, 200, 0xFFFFFFFF, false);
    const char* font = "Hud\\HudFont.img";
    pv.Text(font, 60, 453, 1, 0xFF000000, "CASH");
    pv.Text(font, 56, 505, 1, 0xFFFF3030, "Needed");
    pv.Text(font, 37, 543, 1, 0xFF000000, "Orders left");
    auto number = [&](const std::string& text, double cx, double y, uint32_t colour) {
        double w = 0;
        for (char ch : text) {
            int frame = ch == '$' ? 11 : ch - '0';
            w += pv.FrameWidth("Hud\\Digits.img", frame);
        }
        pv.Number("Hud\\Digits.img", cx - w / 2, y, colour, text);
    };
    number("1250", 91, 487, 0xFF000000);
    number("$2000", 91, 527, 0xFFFF3030);
    number("7", 91, 578, 0xFF000000);
    number("3", 768, 55, 0xFF000000);
    for (int i = 0; i < 7; ++i) {
        pv.DrawEx("RatingBk.img", 0, 283 + 48 * i, 535, 0, 0, 0xFFFFFFFF, false);
        if (i < 4)
            pv.DrawEx("Rating.img", 0, 283 + 48 * i, 534, 0, 0, 0xFFD3D93C, false);
    }
    pv.Draw("ComboBk.img", 0, 224 - 64 * 0.7, 567 - 32 * 0.7, 1, 0.7);
    pv.DrawCentred("Menu\\MainBtnI.img", 743, 560);
    pv.DrawCentred("Town\\Bonus\\SpeedUpI.img", 660, 560);
    pv.DrawCentred("Town\\Bonus\\TimeDelayH.img", 770, 120);
    pv.DrawCentred("Town\\Bonus\\ShowOrdersI.img", 770, 185);
    pv.DrawCentred("Town\\Tutorial\\Arrow.img", FootX(7), FootY(1) - 34 - 56);
    return pv.Save(file);
}

bool SampleStory(const std::string& root, const std::string& file)
{
    Preview pv(root);
    pv.Clear(0);
    pv.Draw("Story\\TownSquare.img", 0, 0, 0);
    pv.DrawFoot("Story\\Mayor.img", 0, 150, 560);
    pv.DrawFoot("Story\\Van.img", 0, 250, 540);
    const char* lines[] = {"Good morning!", "The whole town is waiting for", "its bread and milk today.",
                           "Bring every order in time", "and Brimvale will thank you."};
    double y = 100;
    for (const char* l : lines) {
        pv.Text("Hud\\HudFont.img", 370, y, 1, 0xFF000000, l);
        y += pv.LineHeight("Hud\\HudFont.img") + 1;
    }
    pv.Text("FontStd.img", 370, y + 20, 1, 0xFFFFB600, "@ Day 1");
    pv.DrawCentred("Story\\ContinueBtnH.img", 640, 540);
    return pv.Save(file);
}

bool SampleMiniGame(const std::string& root, const std::string& file)
{
    Preview pv(root);
    pv.Clear(0);
    // Scrolled by 250 px: two copies, 600 px apart.
    pv.DrawEx("MiniGame\\Road.img", 0, 0, 250 - 600, 800, 600, 0xFFFFFFFF, false);
    pv.DrawEx("MiniGame\\Road.img", 0, 0, 250, 800, 600, 0xFFFFFFFF, false);
    pv.Screen().FillRect(FootX(8) - kCellW / 2, FootY(10) - kCellH, kCellW, kCellH, {0xFFFFFF, 0x20 / 255.0});
    const char* cars[] = {"Hatchback", "Taxi", "Sedan", "GreenVan", "Lorry"};
    for (int i = 0; i < 5; ++i)
        pv.DrawFoot(std::string("MiniGame\\Car") + cars[i] + ".img", 0, FootX(6 + i), 120 + 70 * ((i * 3) % 5));
    pv.DrawFoot("Town\\Vehicle\\VanUp.img", 0, FootX(8), FootY(10));
    for (int c = 6; c <= 10; ++c)
        pv.DrawCentred(c == 9 ? "RoadLineBtnH.img" : "RoadLineBtnI.img", FootX(c), 560);
    pv.Draw("MGRangeBk.img", 0, 100, 6);
    pv.DrawEx("MGRange.img", 0, 99.5, 5.5, 0, 0, 0xFFFFFFFF, false);
    pv.DrawCentred("Menu\\MainBtnI.img", 743, 560);
    return pv.Save(file);
}

} // namespace

int RenderTownSheets(const std::string& root, const std::string& outDir)
{
    int count = 0;
    for (int f = 0; f < kTownFamilyCount; ++f) {
        auto family = static_cast<TownFamily>(f);
        if (!Sheet(root, outDir + "/sheet_" + TownFamilyName(family) + ".png", family))
            return -1;
        ++count;
    }
    if (!SampleTown(root, outDir + "/sample_town.png") || !SampleStory(root, outDir + "/sample_story.png") ||
        !SampleMiniGame(root, outDir + "/sample_minigame.png"))
        return -1;
    return count + 3;
}
