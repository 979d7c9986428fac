// Customer portraits: eight townsfolk and the special visitors, each normal
// and highlighted. A portrait sits 5 px left of the order bubble's edge, so
// the face keeps to a 44 px ring in the middle of its 64 x 64 canvas and
// leaves the goods in the bubble free.
#include "datagen/Town.h"

#include <cmath>

enum class Hair { Short, Long, Bun, Bald, Curly, Ponytail, Spiky, Bob };
enum class Hat { None, TopHat, Beanie, FlatCap, ChefHat, Cap, Scarf };

struct Person {
    const char* name;
    const char* role;
    uint32_t skin, hair, shirt, backdrop;
    Hair hairStyle;
    Hat hat = Hat::None;
    uint32_t hatColour = 0;
    bool glasses = false, moustache = false, beard = false, earrings = false, mask = false, chain = false,
         headset = false, stripes = false, headphones = false, apron = false;
};

namespace {

const Person kPeople[] = {
    {"Anna", "customer", 0xF6D2B5, 0x7A4A2A, 0x72A84C, 0xCFE8F2, Hair::Long, Hat::None, 0, false, false, false, true},
    {"Ben", "customer", 0x9C6B46, 0x2A1C14, 0x3F6FB8, 0xF7E2B0, Hair::Short},
    {"Grandma", "customer", 0xF2D0BC, 0xD8D8D8, 0x8E5C9A, 0xF6D9E0, Hair::Bun, Hat::None, 0, true},
    {"Grandpa", "customer", 0xEEC7A8, 0xCFCFCF, 0x8A5A3A, 0xDDEBC8, Hair::Bald, Hat::None, 0, true, true},
    {"Lucy", "customer", 0xF8DCC4, 0xF2C534, 0xE8779B, 0xD9E9F7, Hair::Ponytail},
    {"Omar", "customer", 0xC48A5E, 0x2A1C14, Pal::Teal, 0xF9E0C0, Hair::Curly, Hat::None, 0, false, false, true},
    {"Finn", "customer", 0xF4CDB0, 0xD9702E, 0xF2B134, 0xD6E6F5, Hair::Spiky, Hat::None, 0, false, false, false, false,
     false, false, false, false, true},
    {"Rosa", "customer", 0x7A4E34, 0x1E1410, 0xE07A2E, 0xE5F0D5, Hair::Curly, Hat::None, 0, false, false, false, true},
    {"Mayor", "mayor (visitor 1)", 0xF2CBAA, 0x9A9A9A, 0x2E2E3A, 0xF6E3A8, Hair::Short, Hat::TopHat, 0x222228, false,
     true, false, false, false, true},
    {"Reporter", "TV reporter (visitor 2)", 0xF4D0B8, 0x3A2418, 0xC9353B, 0xCFE0F2, Hair::Bob, Hat::None, 0, false,
     false, false, true, false, false, true},
    {"Thief", "thief (visitor 3)", 0xEBC3A3, 0x2A1C14, 0x2A2A2A, 0xC9CDD6, Hair::Short, Hat::Beanie, 0x2A2A2A, false,
     false, false, false, true, false, false, true},
    {"ThiefBoss", "thief, harsher (visitor 4)", 0xD9A982, 0x4A3020, 0x2F4A3A, 0xC6CCBF, Hair::Short, Hat::FlatCap,
     0x5A4A3A, false, false, true, false, true, false, false, true},
    {"CafeChef", "cafe owner, same goods (visitor 5)", 0xF0C8A6, 0x3A2418, 0xFFFFFF, 0xF3DFC8, Hair::Short,
     Hat::ChefHat, 0xFFFFFF, false, true},
    {"CafeHost", "cafe owner, all orders (visitor 7)", 0xE2B08A, 0x6B3A1E, 0xF4E6CF, 0xEFD7C0, Hair::Bun, Hat::Scarf,
     0xC9553B, false, false, false, true, false, false, false, false, false, true},
    {"Mover", "load-clearing visitor (visitor 6)", 0xD6A27C, 0x5A3A22, 0x3F6FB8, 0xE6EEF5, Hair::Short, Hat::Cap,
     Pal::Gold, false, false, true},
};

void Ellipse(Canvas& c, double cx, double cy, double rx, double ry)
{
    cairo_save(c.Cr());
    cairo_translate(c.Cr(), cx, cy);
    cairo_scale(c.Cr(), rx, ry);
    cairo_arc(c.Cr(), 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(c.Cr());
}

} // namespace

// A head and shoulders in unit scale s, the head's centre at (cx, cy).
void DrawPersonBust(Canvas& c, const Person& p, double cx, double cy, double s)
{
    cairo_t* cr = c.Cr();
    auto fillOutlined = [&](uint32_t colour) {
        c.Colour({colour});
        cairo_fill_preserve(cr);
        InkStroke(c, 1.2 * s);
    };
    // Shoulders.
    Ellipse(c, cx, cy + 21 * s, 16 * s, 10 * s);
    fillOutlined(p.shirt);
    if (p.stripes)
        for (int i = 0; i < 3; ++i)
            c.FillRect(cx - 14 * s, cy + (15 + i * 4) * s, 28 * s, 1.8 * s, {0xF4F1EC});
    if (p.apron) {
        c.FillRect(cx - 6 * s, cy + 14 * s, 12 * s, 12 * s, {Pal::Wood});
        c.FillRect(cx - 6 * s, cy + 14 * s, 12 * s, 1.2 * s, {Pal::Ink});
    }
    if (p.chain) {
        cairo_arc(cr, cx, cy + 9 * s, 9 * s, 0.2 * M_PI, 0.8 * M_PI);
        c.Colour({Pal::Gold});
        cairo_set_line_width(cr, 1.8 * s);
        cairo_stroke(cr);
        c.FillCircle(cx, cy + 18 * s, 2.5 * s, {Pal::Gold});
    }
    c.FillRect(cx - 3 * s, cy + 7 * s, 6 * s, 6 * s, {p.skin});
    // Hair behind the head.
    if (p.hairStyle == Hair::Long) {
        c.RoundRectPath(cx - 11 * s, cy - 9 * s, 22 * s, 22 * s, 7 * s);
        fillOutlined(p.hair);
    } else if (p.hairStyle == Hair::Curly) {
        for (int i = 0; i < 8; ++i)
            c.FillCircle(cx + 9.5 * s * std::cos(i * 0.785 - 1.6), cy - 2 * s + 9 * s * std::sin(i * 0.785 - 1.6),
                         4.2 * s, {p.hair});
    } else if (p.hairStyle == Hair::Bun) {
        c.FillCircle(cx, cy - 11 * s, 5 * s, {p.hair});
    } else if (p.hairStyle == Hair::Ponytail) {
        Ellipse(c, cx + 10 * s, cy + 2 * s, 3.5 * s, 7 * s);
        fillOutlined(p.hair);
    }
    // Head.
    Ellipse(c, cx, cy, 9 * s, 10 * s);
    fillOutlined(p.skin);
    // Hair on top.
    switch (p.hairStyle) {
    case Hair::Short:
    case Hair::Long:
    case Hair::Ponytail:
    case Hair::Bun:
        cairo_arc(cr, cx, cy - 1 * s, 9.3 * s, M_PI * 1.02, M_PI * 1.98);
        cairo_close_path(cr);
        c.Colour({p.hair});
        cairo_fill(cr);
        break;
    case Hair::Bald:
        c.FillCircle(cx - 8.5 * s, cy - 1 * s, 2.5 * s, {p.hair});
        c.FillCircle(cx + 8.5 * s, cy - 1 * s, 2.5 * s, {p.hair});
        break;
    case Hair::Curly:
        for (int i = 0; i < 5; ++i)
            c.FillCircle(cx - 7 * s + i * 3.5 * s, cy - 8 * s + (i % 2) * 1.5 * s, 3.2 * s, {p.hair});
        break;
    case Hair::Spiky:
        c.FillPolygon({cx - 9 * s, cy - 2 * s, cx - 8 * s, cy - 13 * s, cx - 4 * s, cy - 8 * s, cx, cy - 15 * s,
                       cx + 3 * s, cy - 8 * s, cx + 8 * s, cy - 13 * s, cx + 9 * s, cy - 2 * s},
                      {p.hair});
        break;
    case Hair::Bob:
        c.RoundRectPath(cx - 11 * s, cy - 11 * s, 22 * s, 17 * s, 8 * s);
        c.Colour({p.hair});
        cairo_fill(cr);
        Ellipse(c, cx + 1 * s, cy + 2 * s, 7.5 * s, 7.5 * s);
        c.Colour({p.skin});
        cairo_fill(cr);
        break;
    }
    // Face.
    double eyeY = cy + 0.5 * s;
    if (p.mask) {
        c.FillRoundRect(cx - 9 * s, eyeY - 3 * s, 18 * s, 5.5 * s, 2.5 * s, {0x141414});
        c.FillCircle(cx - 3.5 * s, eyeY, 1.3 * s, {0xFFFFFF});
        c.FillCircle(cx + 3.5 * s, eyeY, 1.3 * s, {0xFFFFFF});
    } else {
        c.FillCircle(cx - 3.5 * s, eyeY, 1.2 * s, {Pal::Ink});
        c.FillCircle(cx + 3.5 * s, eyeY, 1.2 * s, {Pal::Ink});
    }
    if (p.glasses) {
        c.StrokeCircle(cx - 3.5 * s, eyeY, 2.8 * s, 0.9 * s, {Pal::Ink});
        c.StrokeCircle(cx + 3.5 * s, eyeY, 2.8 * s, 0.9 * s, {Pal::Ink});
    }
    c.FillCircle(cx - 5.5 * s, cy + 4 * s, 1.8 * s, {0xF08C8C, 0.45});
    c.FillCircle(cx + 5.5 * s, cy + 4 * s, 1.8 * s, {0xF08C8C, 0.45});
    if (p.beard) {
        cairo_arc(cr, cx, cy + 1 * s, 9 * s, 0.1 * M_PI, 0.9 * M_PI);
        cairo_close_path(cr);
        c.Colour({p.hair, 0.9});
        cairo_fill(cr);
    }
    if (p.moustache)
        c.FillRoundRect(cx - 4 * s, cy + 3.5 * s, 8 * s, 2.2 * s, 1 * s, {p.hair == 0xFFFFFF ? Pal::Ink : p.hair});
    cairo_arc(cr, cx, cy + 4 * s, 3 * s, 0.15 * M_PI, 0.85 * M_PI);
    c.Colour({p.mask ? 0x7A3030u : Pal::Ink});
    cairo_set_line_width(cr, 1.1 * s);
    cairo_stroke(cr);
    if (p.earrings) {
        c.FillCircle(cx - 9 * s, cy + 4 * s, 1.3 * s, {Pal::Gold});
        c.FillCircle(cx + 9 * s, cy + 4 * s, 1.3 * s, {Pal::Gold});
    }
    if (p.headphones) {
        cairo_arc(cr, cx, cy - 1 * s, 10.5 * s, M_PI, 2 * M_PI);
        c.Colour({0x2E2E3A});
        cairo_set_line_width(cr, 1.8 * s);
        cairo_stroke(cr);
        c.FillRoundRect(cx - 12 * s, cy - 3 * s, 4 * s, 7 * s, 1.5 * s, {0x3F6FB8});
        c.FillRoundRect(cx + 8 * s, cy - 3 * s, 4 * s, 7 * s, 1.5 * s, {0x3F6FB8});
    }
    if (p.headset) {
        // The reporter's microphone, held up beside the chin.
        c.FillRoundRect(cx + 9 * s, cy + 4 * s, 2.5 * s, 10 * s, 1 * s, {0x2E2E3A});
        c.FillCircle(cx + 10.25 * s, cy + 3 * s, 3 * s, {0x555566});
        c.FillRect(cx + 8 * s, cy + 7 * s, 4.5 * s, 2.5 * s, {Pal::Gold});
    }
    // Hats.
    switch (p.hat) {
    case Hat::TopHat:
        c.FillRect(cx - 12 * s, cy - 9 * s, 24 * s, 3 * s, {p.hatColour});
        c.RoundRectPath(cx - 7 * s, cy - 22 * s, 14 * s, 14 * s, 1.5 * s);
        fillOutlined(p.hatColour);
        c.FillRect(cx - 7 * s, cy - 12 * s, 14 * s, 2.5 * s, {Pal::Brick});
        break;
    case Hat::Beanie:
        cairo_arc(cr, cx, cy - 2 * s, 9.8 * s, M_PI, 2 * M_PI);
        cairo_close_path(cr);
        fillOutlined(p.hatColour);
        c.FillRect(cx - 10 * s, cy - 4 * s, 20 * s, 3 * s, {0x444444});
        break;
    case Hat::FlatCap:
        cairo_arc(cr, cx, cy - 3 * s, 9.8 * s, M_PI, 2 * M_PI);
        cairo_close_path(cr);
        fillOutlined(p.hatColour);
        c.FillRoundRect(cx - 3 * s, cy - 5 * s, 15 * s, 3 * s, 1.5 * s, {p.hatColour});
        break;
    case Hat::ChefHat:
        c.FillRect(cx - 8 * s, cy - 12 * s, 16 * s, 5 * s, {0xFFFFFF});
        for (int i = 0; i < 3; ++i)
            c.FillCircle(cx - 5 * s + i * 5 * s, cy - 15 * s, 4.5 * s, {0xFFFFFF});
        c.StrokeRoundRect(cx - 8 * s, cy - 12 * s, 16 * s, 5 * s, 1 * s, 1 * s, {Pal::Ink});
        break;
    case Hat::Cap:
        cairo_arc(cr, cx, cy - 3 * s, 9.5 * s, M_PI, 2 * M_PI);
        cairo_close_path(cr);
        fillOutlined(p.hatColour);
        c.FillRoundRect(cx - 12 * s, cy - 5 * s, 13 * s, 3 * s, 1.5 * s, {p.hatColour});
        c.FillCircle(cx + 1 * s, cy - 8 * s, 2.2 * s, {Pal::Brick});
        break;
    case Hat::Scarf:
        cairo_arc(cr, cx, cy - 2 * s, 9.8 * s, M_PI, 2 * M_PI);
        cairo_close_path(cr);
        fillOutlined(p.hatColour);
        for (int i = 0; i < 3; ++i)
            c.FillCircle(cx - 5 * s + i * 5 * s, cy - 6 * s, 1.1 * s, {0xFFFFFF});
        break;
    case Hat::None:
        break;
    }
}

namespace {

void DrawPortrait(Canvas& c, const Person& p, bool highlight)
{
    const double cx = 32, cy = 32, r = 21;
    if (highlight) {
        Canvas glow(64, 64);
        glow.FillCircle(cx, cy, r + 5, {0xFFE27A, 0.9});
        glow.BlurAlpha(3);
        c.Paint(glow, 0, 0);
    }
    c.FillCircle(cx, cy + 1.5, r + 1, {0x000000, 0.25});
    c.FillCircle(cx, cy, r, {highlight ? 0xFFF6CCu : p.backdrop});
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r - 1, 0, 2 * M_PI);
    cairo_clip(cr);
    DrawPersonBust(c, p, cx, cy + 1, 1.0);
    cairo_restore(cr);
    c.StrokeCircle(cx, cy, r, highlight ? 3.0 : 2.5, {highlight ? Pal::Gold : Pal::Cream});
    c.StrokeCircle(cx, cy, r + 1.5, 1.3, {Pal::Ink});
}

} // namespace

const Person* FindPerson(const std::string& name)
{
    for (const Person& p : kPeople)
        if (name == p.name)
            return &p;
    return nullptr;
}

void AddPortraitPictures(TownList& out)
{
    for (const Person& p : kPeople) {
        for (int h = 0; h < 2; ++h) {
            TownPicture t;
            t.path = std::string("Town\\People\\") + p.name + (h ? "H.img" : "I.img");
            t.family = TownFamily::Portraits;
            t.anchor = Anchor::Centre;
            t.width = t.height = 64;
            t.role = p.role;
            const Person* person = &p;
            t.draw = [person, h](Canvas& c, int) { DrawPortrait(c, *person, h != 0); };
            out.push_back(std::move(t));
        }
    }
}

void DrawPersonFigure(Canvas& c, const Person& p, double footX, double footY, double s)
{
    DrawGroundShadow(c, footX, footY - 2 * s, 12 * s, 3 * s);
    // Legs, shoes, then a torso the shoulders of the bust sit on.
    for (double side : {-1.0, 1.0}) {
        c.FillRect(footX + side * 4.5 * s - 3 * s, footY - 22 * s, 6 * s, 20 * s, {0x3A3A4A});
        c.FillRoundRect(footX + side * 4.5 * s - 4 * s, footY - 4 * s, 8 * s, 4 * s, 2 * s, {0x2A1C14});
    }
    c.RoundRectPath(footX - 12 * s, footY - 44 * s, 24 * s, 26 * s, 5 * s);
    c.Colour({p.shirt});
    cairo_fill_preserve(c.Cr());
    InkStroke(c, 1.2 * s);
    if (p.apron)
        c.FillRect(footX - 8 * s, footY - 36 * s, 16 * s, 20 * s, {Pal::Wood});
    for (double side : {-1.0, 1.0}) {
        c.RoundRectPath(footX + side * 14 * s - 3 * s, footY - 42 * s, 6 * s, 20 * s, 3 * s);
        c.Colour({p.shirt});
        cairo_fill_preserve(c.Cr());
        InkStroke(c, 1.1 * s);
        c.FillCircle(footX + side * 14 * s, footY - 21 * s, 2.8 * s, {p.skin});
    }
    DrawPersonBust(c, p, footX, footY - 60 * s, s);
}
