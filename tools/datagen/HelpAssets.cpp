// The help pages: "Help.txt" comes from data-src/Help.txt (plain text, checked
// and scrambled with its own name here), and the illustrations it shows are
// drawn below, one per page.
#include "datagen/Generator.h"
#include "datagen/Style.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr int kW = 256;
constexpr int kH = 192;

void Card(Canvas& c)
{
    c.FillRoundRect(2, 2, kW - 4, kH - 4, 16, {0xFFF3D6});
    c.StrokeRoundRect(2, 2, kW - 4, kH - 4, 16, 3, {Pal::Gold});
}

void Orders(Canvas& c)
{
    Card(c);
    c.FillRect(4, 150, kW - 8, 38, {0xA9CF86});
    DrawHouse(c, 40, 160, 70, 56, 0xF4D9A8, Pal::Brick);
    DrawOrderBubble(c, 170, 70, 1.3, 0, 4);
}

void Goods(Canvas& c)
{
    Card(c);
    c.FillRect(4, 150, kW - 8, 38, {0xA9CF86});
    // A little bakery with its goods resting in front.
    DrawHouse(c, 30, 150, 90, 70, 0xE9B97A, 0x8E5C9A);
    c.FillRoundRect(24, 70, 102, 18, 4, {Pal::Brick});
    c.Text("BAKERY", 75, 84, Face::SansBold, 12, {Pal::Cream}, Align::Centre);
    for (int i = 0; i < 3; ++i) {
        c.FillCircle(160 + i * 34, 130, 17, {0xFFFFFF});
        c.StrokeCircle(160 + i * 34, 130, 17, 2, {Pal::Ink});
        DrawGoods(c, i, 160 + i * 34, 131, 26);
    }
    // The bread is picked up: a gold ring and the pointer.
    c.StrokeCircle(160, 130, 21, 2.5, {Pal::Gold});
    std::vector<double> arrow = {168, 136, 168, 166, 176, 158, 183, 172, 188, 169, 181, 156, 192, 155};
    c.FillPolygon(arrow, {0xFFFFFF});
    cairo_t* cr = c.Cr();
    cairo_move_to(cr, arrow[0], arrow[1]);
    for (size_t i = 2; i < arrow.size(); i += 2)
        cairo_line_to(cr, arrow[i], arrow[i + 1]);
    cairo_close_path(cr);
    c.Colour({Pal::Ink});
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void Van(Canvas& c)
{
    Card(c);
    c.FillRect(4, 120, kW - 8, 44, {0xB7B0A3});
    for (int i = 0; i < 6; ++i)
        c.FillRect(14 + i * 44, 140, 22, 4, {0xFFFFFF});
    DrawVan(c, 100, 150, 1.05);
    for (int i = 0; i < 4; ++i) {
        c.FillCircle(180 + i * 18, 150, 5, {Pal::Cream});
        c.StrokeCircle(180 + i * 18, 150, 5, 2, {Pal::Brick});
    }
    DrawHouse(c, 180, 110, 50, 40, 0xF2E6CF, 0x3F7F8C);
}

void Rating(Canvas& c)
{
    Card(c);
    for (int i = 0; i < 7; ++i) {
        double x = 22 + i * 31;
        c.FillRoundRect(x, 70, 28, 26, 6, {0xE6E6E6});
        c.StrokeRoundRect(x, 70, 28, 26, 6, 1.5, {0x2A2A2A});
        if (i < 4 || i == 4)
            c.FillRoundRect(x + 2, 73, i == 4 ? 12 : 24, 20, 5, {0xD3D93C});
    }
    for (int i = 0; i < 3; ++i) {
        double sx = 86 + i * 42, sy = 136;
        std::vector<double> star;
        for (int k = 0; k < 10; ++k) {
            double r = k % 2 ? 8 : 18, a = -M_PI / 2 + k * M_PI / 5;
            star.push_back(sx + r * std::cos(a));
            star.push_back(sy + r * std::sin(a));
        }
        c.FillPolygon(star, {Pal::Gold});
    }
    c.Text("Happy customers fill the bar", 128, 176, Face::SansBold, 12, {Pal::Ink}, Align::Centre);
}

void Combo(Canvas& c)
{
    Card(c);
    for (int i = 0; i < 3; ++i)
        DrawOrderBubble(c, 50 + i * 70, 80, 0.85, 1, 6 - i);
    c.FillRoundRect(70, 130, 116, 44, 14, {Pal::Panel});
    c.StrokeRoundRect(70, 130, 116, 44, 14, 3, {Pal::Gold});
    c.OutlinedText("COMBO x3", 128, 160, Face::SansBold, 18, {0xFDEB58}, {Pal::Ink}, 1.5, Align::Centre);
}

void Visitors(Canvas& c)
{
    Card(c);
    const char* names[] = {"Mayor", "Reporter", "Thief", "Cafe"};
    for (int i = 0; i < 4; ++i) {
        double cx = 36 + i * 61, cy = 80;
        c.FillCircle(cx, cy + 36, 20, {i == 2 ? 0x3A3A4Au : i == 0 ? 0x2E3F6Bu : 0x8A5A3Au});
        c.FillCircle(cx, cy, 18, {0xF5C9A0});
        c.StrokeCircle(cx, cy, 18, 2, {Pal::Ink});
        c.FillCircle(cx - 6, cy - 2, 2, {Pal::Ink});
        c.FillCircle(cx + 6, cy - 2, 2, {Pal::Ink});
        if (i == 0) {  // top hat and chain
            c.FillRect(cx - 12, cy - 40, 24, 24, {0x222222});
            c.FillRect(cx - 18, cy - 18, 36, 5, {0x222222});
            c.FillRect(cx - 12, cy - 24, 24, 4, {Pal::Brick});
            c.StrokeCircle(cx, cy + 34, 9, 2, {Pal::Gold});
        } else if (i == 1) {  // camera
            c.FillRoundRect(cx + 4, cy + 8, 22, 16, 3, {0x333333});
            c.FillCircle(cx + 15, cy + 16, 5, {0x7FB6D6});
        } else if (i == 2) {  // eye mask and cap
            c.FillRoundRect(cx - 16, cy - 6, 32, 8, 4, {0x222222});
            c.FillCircle(cx - 6, cy - 2, 2, {0xFFFFFF});
            c.FillCircle(cx + 6, cy - 2, 2, {0xFFFFFF});
            c.FillRoundRect(cx - 18, cy - 20, 36, 10, 5, {0x3A3A4A});
        } else {  // cup
            c.FillRoundRect(cx + 6, cy + 12, 16, 14, 3, {0xFFFFFF});
            c.StrokeRoundRect(cx + 6, cy + 12, 16, 14, 3, 1.5, {Pal::Ink});
            c.FillRect(cx - 16, cy - 16, 32, 6, {0xFFFFFF});
        }
        c.Text(names[i], cx, 182, Face::SansBold, 11, {Pal::Ink}, Align::Centre);
    }
}

void Bonuses(Canvas& c)
{
    Card(c);
    const uint32_t colours[] = {Pal::Brick, 0x4A90C8, Pal::Leaf, 0x8E5C9A, Pal::GoldShade};
    const char* labels[] = {"Speed", "Delay", "Reset", "Supply", "Extra"};
    for (int i = 0; i < 5; ++i) {
        double cx = 32 + i * 48, cy = 86;
        c.FillCircle(cx, cy, 20, {colours[i]});
        c.StrokeCircle(cx, cy, 20, 2, {Pal::Ink});
        cairo_t* cr = c.Cr();
        c.Colour({0xFFFFFF});
        cairo_set_line_width(cr, 3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        switch (i) {
        case 0:
            c.FillPolygon({cx + 3, cy - 14, cx - 8, cy + 2, cx, cy + 2, cx - 3, cy + 14, cx + 8, cy - 2, cx, cy - 2},
                          {0xFFFFFF});
            break;
        case 1:
            for (int k = 0; k < 3; ++k) {
                double a = k * M_PI / 3;
                cairo_move_to(cr, cx - 12 * std::cos(a), cy - 12 * std::sin(a));
                cairo_line_to(cr, cx + 12 * std::cos(a), cy + 12 * std::sin(a));
            }
            cairo_stroke(cr);
            break;
        case 2:
            c.StrokeCircle(cx, cy, 11, 3, {0xFFFFFF});
            cairo_move_to(cr, cx, cy - 7);
            cairo_line_to(cr, cx, cy);
            cairo_line_to(cr, cx + 6, cy + 3);
            cairo_stroke(cr);
            break;
        case 3:
            c.FillRect(cx - 10, cy - 8, 20, 16, {0xFFFFFF});
            c.FillRect(cx - 2, cy - 8, 4, 16, {colours[i]});
            break;
        default:
            DrawIcon(c, Icon::Plus, cx, cy, 26, {0xFFFFFF});
            break;
        }
        c.Text(labels[i], cx, 128, Face::SansBold, 11, {Pal::Ink}, Align::Centre);
    }
    c.Text("Buy them after a good day", 128, 170, Face::SansBold, 12, {Pal::Ink}, Align::Centre);
}

void MiniGame(Canvas& c)
{
    Card(c);
    c.FillRect(60, 6, 136, 180, {0x8A8A86});
    for (int lane = 1; lane < 3; ++lane)
        for (int k = 0; k < 6; ++k)
            c.FillRect(60 + lane * 45 - 1.5, 12 + k * 30, 3, 16, {0xFFFFFF});
    // Cars from above: ours in red, traffic in blue and green.
    auto car = [&](double cx, double cy, uint32_t col) {
        c.FillRoundRect(cx - 13, cy - 22, 26, 44, 7, {col});
        c.FillRoundRect(cx - 10, cy - 12, 20, 10, 3, {0xCFEAF2});
        c.StrokeRoundRect(cx - 13, cy - 22, 26, 44, 7, 2, {Pal::Ink});
    };
    car(82, 60, 0x4A90C8);
    car(172, 100, Pal::Leaf);
    car(127, 150, Pal::Brick);
    DrawIcon(c, Icon::Left, 30, 150, 26, {Pal::Brick});
    DrawIcon(c, Icon::Right, 226, 150, 26, {Pal::Brick});
}

struct Illustration {
    const char* stem;
    void (*draw)(Canvas&);
};

const Illustration kPictures[] = {
    {"Help\\Orders", Orders},   {"Help\\Goods", Goods},       {"Help\\Van", Van},         {"Help\\Rating", Rating},
    {"Help\\Combo", Combo},     {"Help\\Visitors", Visitors}, {"Help\\Bonuses", Bonuses}, {"Help\\MiniGame", MiniGame},
};

} // namespace

bool GenerateHelp(DataDir& dir)
{
    for (const auto& p : kPictures) {
        Canvas c(kW, kH);
        p.draw(c);
        if (!dir.WriteSingle(p.stem, c))
            return false;
    }
    std::string source = dir.SourceDir() + "/Help.txt";
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return dir.Fail("cannot read " + source);
    std::stringstream text;
    text << in.rdbuf();
    std::string help = text.str();
    // The game reads each quoted string into a 260-byte buffer: longer texts
    // would be cut short on screen.
    for (size_t q = help.find('"'); q != std::string::npos;) {
        size_t end = help.find('"', q + 1);
        if (end == std::string::npos)
            return dir.Fail("data-src/Help.txt: a quoted string is not closed");
        if (end - q - 1 >= 260)
            return dir.Fail("data-src/Help.txt: a text is longer than 259 bytes: split it into two entries");
        q = help.find('"', end + 1);
    }
    // Every picture the pages name must exist, or the page silently loses it.
    size_t at = 0;
    while ((at = help.find("\"IMG\"", at)) != std::string::npos) {
        size_t q1 = help.find('"', at + 5);
        size_t q2 = q1 == std::string::npos ? q1 : help.find('"', q1 + 1);
        if (q2 == std::string::npos)
            return dir.Fail("data-src/Help.txt: an IMG entry has no template name");
        std::string name = help.substr(q1 + 1, q2 - q1 - 1);
        bool known = false;
        for (const auto& w : dir.Written())
            known = known || w == name;
        if (!known)
            return dir.Fail("data-src/Help.txt names " + name + ", which is not generated");
        at = q2 + 1;
    }
    return dir.WriteScrambled("Help.txt", help);
}
