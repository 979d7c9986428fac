// Goods and orders: the goods icons (normal and highlighted), the plates under
// them, the police post (also the police goods icon), the order bubble pair
// and the patience icons. Icons are centred widgets on 64 x 64 canvases; a
// copy of the goods is drawn at 0.65 inside the 64 x 64 bubble.
#include "datagen/Town.h"

#include <cmath>

namespace {

void Apples(Canvas& c, double cx, double cy, double k)
{
    for (int i = 0; i < 2; ++i) {
        double x = cx + (i ? 7 : -7) * k, y = cy + (i ? 3 : 0) * k, r = 10.5 * k;
        c.FillCircle(x, y, r, {i ? 0x8BC34Au : 0xD8323Cu});
        c.StrokeCircle(x, y, r, 1.6 * k, {Pal::Ink});
        c.FillCircle(x - 4 * k, y - 4 * k, 2.8 * k, {0xFFFFFF, 0.6});
        c.FillRect(x - 0.9 * k, y - r - 3 * k, 1.8 * k, 5 * k, {Pal::WoodShade});
    }
    c.FillPolygon({cx - 6 * k, cy - 13 * k, cx + 2 * k, cy - 18 * k, cx - 1 * k, cy - 11 * k}, {Pal::Leaf});
}

void Fish(Canvas& c, double cx, double cy, double k)
{
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_translate(cr, cx - 3 * k, cy);
    cairo_scale(cr, 14 * k, 9 * k);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    c.Colour({0x7FB5D5});
    cairo_fill_preserve(cr);
    InkStroke(c, 1.6 * k);
    c.FillPolygon({cx + 9 * k, cy, cx + 19 * k, cy - 8 * k, cx + 19 * k, cy + 8 * k}, {0x5A92B8});
    cairo_move_to(cr, cx + 9 * k, cy);
    cairo_line_to(cr, cx + 19 * k, cy - 8 * k);
    cairo_line_to(cr, cx + 19 * k, cy + 8 * k);
    cairo_close_path(cr);
    InkStroke(c, 1.6 * k);
    c.FillRect(cx - 6 * k, cy - 1 * k, 10 * k, 1.5 * k, {0xFFFFFF, 0.6});
    c.FillCircle(cx - 11 * k, cy - 2 * k, 2 * k, {0xFFFFFF});
    c.FillCircle(cx - 11 * k, cy - 2 * k, 1 * k, {Pal::Ink});
}

void Books(Canvas& c, double cx, double cy, double k)
{
    const uint32_t covers[] = {0x7D4E8C, Pal::Teal, Pal::Brick};
    for (int i = 0; i < 3; ++i) {
        double y = cy + (6 - i * 8) * k, x = cx + (i == 1 ? 2 : -1) * k;
        c.FillRoundRect(x - 15 * k, y - 4 * k, 30 * k, 8 * k, 1.5 * k, {covers[i]});
        c.FillRect(x + 10 * k, y - 3 * k, 4 * k, 6 * k, {0xFFF8E8});
        c.StrokeRoundRect(x - 15 * k, y - 4 * k, 30 * k, 8 * k, 1.5 * k, 1.4 * k, {Pal::Ink});
    }
}

void GlowBehind(Canvas& c, const std::function<void(Canvas&)>& shape, uint32_t colour)
{
    Canvas glow(c.Width(), c.Height());
    shape(glow);
    cairo_t* cr = glow.Cr();
    cairo_set_operator(cr, CAIRO_OPERATOR_IN);
    glow.Colour({colour});
    cairo_paint(cr);
    glow.BlurAlpha(3);
    c.Paint(glow, 0, 0);
    c.Paint(glow, 0, 0);
}

void GoodsIcon(Canvas& c, int goods, bool highlight)
{
    auto art = [goods](Canvas& k) { DrawTownGoods(k, goods, 32, 32, 38); };
    if (highlight)
        GlowBehind(c, art, 0xFFF2A0);
    art(c);
    if (highlight)
        c.StrokeCircle(32, 32, 25, 2, {Pal::Gold, 0.8});
}

void Plate(Canvas& c, bool highlight)
{
    c.FillCircle(32, 34, 24, {0x000000, 0.25});
    c.FillCircle(32, 32, 24, {highlight ? Pal::GoldShade : Pal::WoodShade});
    c.FillCircle(32, 31, 21.5, {highlight ? Pal::Gold : Pal::CreamShade});
    c.FillCircle(32, 31, 16, {highlight ? 0xFFE27Au : Pal::Cream});
    c.StrokeCircle(32, 32, 24, 2, {Pal::Ink});
}

void PolicePost(Canvas& c, bool highlight)
{
    auto badge = [](Canvas& k) {
        k.FillPolygon({32, 6, 54, 14, 52, 36, 32, 58, 12, 36, 10, 14}, {0x2B4C8C});
    };
    if (highlight)
        GlowBehind(c, badge, 0x9CC8FF);
    badge(c);
    cairo_t* cr = c.Cr();
    cairo_move_to(cr, 32, 6);
    const double pts[] = {54, 14, 52, 36, 32, 58, 12, 36, 10, 14};
    for (int i = 0; i < 5; ++i)
        cairo_line_to(cr, pts[2 * i], pts[2 * i + 1]);
    cairo_close_path(cr);
    InkStroke(c, 2);
    // Gold star.
    std::vector<double> star;
    for (int i = 0; i < 10; ++i) {
        double r = i % 2 ? 6 : 14, a = -M_PI / 2 + i * M_PI / 5;
        star.push_back(32 + r * std::cos(a));
        star.push_back(29 + r * std::sin(a));
    }
    c.FillPolygon(star, {highlight ? 0xFFF2A0u : Pal::Gold});
    cairo_move_to(cr, star[0], star[1]);
    for (size_t i = 2; i < star.size(); i += 2)
        cairo_line_to(cr, star[i], star[i + 1]);
    cairo_close_path(cr);
    InkStroke(c, 1.2);
    c.FillRoundRect(20, 45, 24, 7, 2, {0xFFFFFF});
    c.Text("POLICE", 32, 50.5, Face::SansCondBold, 6.5, {0x2B4C8C}, Align::Centre);
}

void Bubble(Canvas& c, bool highlight)
{
    // Body from the top to 8 px above the bottom; its tail points at the house.
    uint32_t fill = highlight ? 0xFFF6CC : 0xFFFFFF;
    c.FillRoundRect(3, 4, 58, 52, 14, {0x000000, 0.2});
    cairo_t* cr = c.Cr();
    c.RoundRectPath(2, 2, 60, 52, 14);
    cairo_move_to(cr, 26, 53);
    cairo_line_to(cr, 32, 62);
    cairo_line_to(cr, 38, 53);
    cairo_close_path(cr);
    c.Colour({fill});
    cairo_fill(cr);
    c.RoundRectPath(2, 2, 60, 52, 14);
    c.Colour({highlight ? Pal::GoldShade : Pal::Ink});
    cairo_set_line_width(cr, highlight ? 3 : 2);
    cairo_stroke(cr);
    // The tail's sides over the outline, then a cover for the outline inside it.
    c.FillRect(27.5, 52, 9, 3, {fill});
    cairo_move_to(cr, 26, 54);
    cairo_line_to(cr, 32, 62);
    cairo_line_to(cr, 38, 54);
    c.Colour({highlight ? Pal::GoldShade : Pal::Ink});
    cairo_set_line_width(cr, highlight ? 3 : 2);
    cairo_stroke(cr);
}

void Patience(Canvas& c, bool lit)
{
    c.FillCircle(5, 5, 4.5, {Pal::Ink});
    c.FillCircle(5, 5, 3.5, {lit ? 0x5DBB4Du : 0xCFCFCFu});
    if (lit)
        c.FillCircle(4, 4, 1.3, {0xFFFFFF, 0.7});
}

TownPicture Item(const std::string& path, const std::string& role, Anchor anchor, int w, int h,
                 std::function<void(Canvas&, int)> draw)
{
    return SinglePicture(TownFamily::Goods, path, role, anchor, w, h, std::move(draw));
}

} // namespace

void DrawTownGoods(Canvas& c, int goods, double cx, double cy, double size)
{
    double k = size / 40.0;
    if (goods >= 1 && goods <= 5)
        DrawGoods(c, goods - 1, cx, cy, size);
    else if (goods == 6)
        Apples(c, cx, cy + 2 * k, k);
    else if (goods == 7)
        Fish(c, cx, cy, k);
    else if (goods == 8)
        Books(c, cx, cy, k);
}

void AddGoodsPictures(TownList& out)
{
    for (int g = 1; g <= kGoodsKinds; ++g)
        for (int h = 0; h < 2; ++h)
            out.push_back(Item(GoodsIcon(g, h != 0), "goods " + std::to_string(g) + (h ? " highlight" : ""),
                               Anchor::Centre, 64, 64, [g, h](Canvas& c, int) { GoodsIcon(c, g, h != 0); }));
    out.push_back(Item("Town\\Goods\\Plate.img", "plate (SHB)", Anchor::Centre, 64, 64,
                       [](Canvas& c, int) { Plate(c, false); }));
    out.push_back(Item("Town\\Goods\\PlateH.img", "plate highlight (SHH)", Anchor::Centre, 64, 64,
                       [](Canvas& c, int) { Plate(c, true); }));
    out.push_back(Item("Town\\Police\\PostI.img", "police post", Anchor::Centre, 64, 64,
                       [](Canvas& c, int) { PolicePost(c, false); }));
    out.push_back(Item("Town\\Police\\PostH.img", "police post highlight", Anchor::Centre, 64, 64,
                       [](Canvas& c, int) { PolicePost(c, true); }));
    out.push_back(Item("Town\\Order\\BubbleI.img", "order bubble (OIT)", Anchor::Centre, 64, 64,
                       [](Canvas& c, int) { Bubble(c, false); }));
    out.push_back(Item("Town\\Order\\BubbleH.img", "order bubble highlight (OHT)", Anchor::Centre, 64, 64,
                       [](Canvas& c, int) { Bubble(c, true); }));
    out.push_back(Item("Town\\Order\\PatienceLit.img", "patience lit (ASI)", Anchor::TopLeft, 10, 10,
                       [](Canvas& c, int) { Patience(c, true); }));
    out.push_back(Item("Town\\Order\\PatienceOff.img", "patience unlit (GSI)", Anchor::TopLeft, 10, 10,
                       [](Canvas& c, int) { Patience(c, false); }));
}
