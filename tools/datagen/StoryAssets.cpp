// Story screens: backdrops (800 x 600, drawn at the top-left), figures and a
// van that stand on their foot points, and the continue button pair. Every
// backdrop has the same sheet of paper at (340, 60)-(770, 400) for the story's
// lines, which the game writes in black.
#include "datagen/Generator.h"
#include "datagen/Town.h"

#include <cmath>

namespace {

constexpr double kPaperX = kStoryPaperX, kPaperY = kStoryPaperY, kPaperW = kStoryPaperW, kPaperH = kStoryPaperH;

void Paper(Canvas& c, uint32_t frame)
{
    DrawShadow(c, kPaperX - 8, kPaperY - 4, kPaperW + 16, kPaperH + 16, 12, 0.5);
    c.FillRoundRect(kPaperX - 12, kPaperY - 12, kPaperW + 24, kPaperH + 24, 12, {frame});
    c.StrokeRoundRect(kPaperX - 12, kPaperY - 12, kPaperW + 24, kPaperH + 24, 12, 2.5, {Pal::Ink});
    c.FillRect(kPaperX, kPaperY, kPaperW, kPaperH, {0xFFFBEF});
    c.StrokeRoundRect(kPaperX, kPaperY, kPaperW, kPaperH, 2, 1.2, {Pal::Ink, 0.6});
    for (int i = 0; i < 4; ++i) {
        double x = i % 2 ? kPaperX + kPaperW - 6 : kPaperX + 6, y = i < 2 ? kPaperY + 6 : kPaperY + kPaperH - 6;
        c.FillCircle(x, y, 3.5, {Pal::Brick});
        c.StrokeCircle(x, y, 3.5, 1, {Pal::Ink});
    }
}

void Ground(Canvas& c, double y, uint32_t colour, uint32_t stone)
{
    c.FillRect(0, y, 800, 600 - y, {colour});
    Dice d(static_cast<uint32_t>(y + colour));
    for (double row = y + 8; row < 600; row += 14)
        for (double x = (static_cast<int>(row) % 28 ? 0 : 12) + d.Range(0, 4); x < 800; x += 26)
            c.FillRoundRect(x, row, 22, 10, 4, {stone, 0.45});
}

void TownSquare(Canvas& c)
{
    DrawSky(c, 420, Pal::SkyTop, Pal::SkyLow);
    DrawSun(c, 110, 90, 34);
    DrawCloud(c, 240, 80, 0.8);
    DrawCloud(c, 620, 40, 0.6);
    DrawHills(c, 330, 0x9CC86E, 20, 0.5, 2);
    DrawTown(c, -10, 820, 400, 1.6, 5);
    Ground(c, 400, 0xD9C7A4, 0xB9A684);
    DrawTree(c, 60, 470, 1.6);
    Paper(c, Pal::Wood);
}

void Depot(Canvas& c)
{
    DrawSky(c, 420, 0x8FCBE2, 0xFFEDC4);
    DrawCloud(c, 520, 60, 0.7);
    DrawHills(c, 340, 0xA3CB78, 16, 1.3, 1.5);
    // The depot: a long brick shed with a big door and its name.
    c.FillRect(20, 210, 300, 190, {Pal::Brick});
    for (double y = 220; y < 400; y += 10)
        c.FillRect(20, y, 300, 1, {Pal::BrickShade, 0.5});
    c.FillPolygon({10, 212, 170, 150, 330, 212}, {0x6D4C3D});
    c.StrokeRoundRect(20, 210, 300, 190, 2, 2.5, {Pal::Ink});
    c.FillRect(90, 290, 160, 110, {0x5A341D});
    for (double x = 100; x < 250; x += 20)
        c.FillRect(x, 290, 2, 110, {0x3B2416});
    c.FillRoundRect(60, 232, 220, 36, 8, {Pal::Cream});
    c.StrokeRoundRect(60, 232, 220, 36, 8, 2, {Pal::Ink});
    c.Text("BRIMVALE DELIVERIES", 170, 256, Face::SansBold, 15, {Pal::Brick}, Align::Centre);
    Ground(c, 400, 0xCDBA98, 0xAE9A78);
    for (int i = 0; i < 3; ++i) {
        double x = 40 + i * 34, y = 470 - (i == 1 ? 30 : 0);
        c.FillRect(x, y - 30, 32, 30, {0xC99A5B});
        c.StrokeRoundRect(x, y - 30, 32, 30, 1, 1.5, {Pal::Ink});
        c.FillRect(x + 13, y - 30, 6, 30, {0xE9D3A8});
    }
    Paper(c, Pal::WoodShade);
}

void Evening(Canvas& c)
{
    DrawSky(c, 430, 0x4A3F78, 0xF29A5C);
    c.FillCircle(140, 100, 26, {0xFFF0C0});
    Dice d(9);
    for (int i = 0; i < 40; ++i)
        c.FillCircle(d.Range(0, 800), d.Range(0, 200), d.Range(0.6, 1.5), {0xFFFFFF, 0.8});
    DrawHills(c, 340, 0x5E7A4E, 18, 2.1, 2);
    DrawTown(c, -10, 820, 410, 1.6, 12, true);
    Ground(c, 410, 0x8C7A66, 0x6E5E4E);
    for (double x : {60.0, 280.0}) {
        c.FillCircle(x, 432, 22, {0xFFE27A, 0.35});
        c.FillRect(x - 2.5, 440, 5, 120, {0x2E2E3A});
        c.FillRoundRect(x - 8, 424, 16, 18, 4, {0xFFE27A});
        c.StrokeRoundRect(x - 8, 424, 16, 18, 4, 1.5, {Pal::Ink});
    }
    Paper(c, 0x3D4A63);
}

TownPicture Item(const std::string& path, const std::string& role, Anchor anchor, int w, int h,
                 std::function<void(Canvas&, int)> draw)
{
    return SinglePicture(TownFamily::Story, path, role, anchor, w, h, std::move(draw));
}

TownPicture Figure(const char* person, const char* file)
{
    std::string name = person;
    return Item(std::string("Story\\") + file + ".img", "story figure", Anchor::Foot, 64, 128,
                [name](Canvas& c, int) {
                    if (const Person* p = FindPerson(name))
                        DrawPersonFigure(c, *p, 32, 127, 1.35);
                });
}

} // namespace

void AddStoryPictures(TownList& out)
{
    const char* paper = "story backdrop, text paper (340,60)-(770,400)";
    out.push_back(Item("Story\\TownSquare.img", paper, Anchor::TopLeft, 800, 600, [](Canvas& c, int) { TownSquare(c); }));
    out.push_back(Item("Story\\Depot.img", paper, Anchor::TopLeft, 800, 600, [](Canvas& c, int) { Depot(c); }));
    out.push_back(Item("Story\\Evening.img", paper, Anchor::TopLeft, 800, 600, [](Canvas& c, int) { Evening(c); }));
    out.push_back(Figure("Mayor", "Mayor"));
    out.push_back(Figure("Reporter", "Reporter"));
    out.push_back(Figure("Mover", "Driver"));
    out.push_back(Figure("ThiefBoss", "Thief"));
    out.push_back(Figure("CafeChef", "Chef"));
    out.push_back(Item("Story\\Van.img", "story van", Anchor::Foot, 128, 64,
                       [](Canvas& c, int) {
                           DrawGroundShadow(c, 64, 60, 50, 4);
                           DrawVan(c, 64, 62, 0.75);
                       }));
    for (int h = 0; h < 2; ++h)
        out.push_back(Item(std::string("Story\\ContinueBtn") + (h ? "H.img" : "I.img"), "story continue button",
                           Anchor::Centre, 128, 32, [h](Canvas& c, int) { DrawButton(c, "Continue", h != 0); }));
}
