// The HUD set of a level look: the screen frame (FRI), the money panel (SBK),
// the job-queue mark (TSM) and the town background (BAK), for a summer and an
// autumn look, plus the HUD label font (TFI) they share. The digit picture
// (SFI) is "Hud\Digits.img" from the fonts.
#include "datagen/Generator.h"
#include "datagen/Town.h"

#include <cmath>

namespace {

struct Look {
    const char* name;
    uint32_t grass, grassLight, grassDark, plank, plankDark, trim, leaf;
};

const Look kLooks[] = {
    {"Summer", 0x8CC063, 0xA2D174, 0x74A84E, 0x9A6A40, 0x6E4527, Pal::Teal, 0xF2C534},
    {"Autumn", 0xA8B458, 0xC2C46A, 0x8C9A44, 0x8A4B32, 0x5E2F1E, Pal::Brick, 0xE07A2E},
};

void Plank(Canvas& c, double x, double y, double w, double h, const Look& look)
{
    c.FillRect(x, y, w, h, {look.plank});
    Dice d(static_cast<uint32_t>(x + y * 3 + w));
    for (int i = 0; i < 10; ++i) {
        double gy = y + d.Range(3, h - 3);
        c.FillRect(x, gy, w, 1, {look.plankDark, 0.35});
    }
    c.FillRect(x, y, w, 2, {0xFFFFFF, 0.2});
}

// 800 x 600, transparent over the town. The bottom strip carries the combo
// box (224, 567), the rating bar from (283, 535) and the menu button
// (743, 560); the money panel is drawn over (0, 400)-(200, 600); the level
// number stands at (768, 55) on a badge.
void DrawFrame(Canvas& c, const Look& look)
{
    cairo_t* cr = c.Cr();
    // A thin border round the screen with rounded inner corners.
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 0, 0, 800, 600);
    c.RoundRectPath(6, 6, 788, 600, 14);
    c.Colour({look.plankDark});
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    c.StrokeRoundRect(6, 6, 788, 600, 14, 1.5, {Pal::Ink, 0.6});
    // Bottom strip, with a shadow on the town above it.
    c.VerticalGradientRect(0, 506, 800, 10, {0x000000, 0}, {0x000000, 0.3});
    Plank(c, 0, 516, 800, 84, look);
    c.FillRect(0, 516, 800, 2, {Pal::Ink});
    // The money panel's lip.
    c.FillRoundRect(-10, 392, 218, 230, 12, {look.plankDark});
    c.StrokeRoundRect(-10, 392, 218, 230, 12, 2, {Pal::Ink});
    // Rating bar trough and its label.
    DrawInset(c, 278, 530, 346, 34, 0x2E1A0F);
    c.OutlinedText("TOWN RATING", 283, 527.5, Face::SansBold, 9.5, {Pal::Cream}, {Pal::Ink}, 1.2);
    // Combo box seat and menu button seat.
    c.FillRoundRect(176, 542, 96, 52, 10, {look.plankDark});
    c.FillRoundRect(672, 540, 142, 40, 12, {look.plankDark});
    // Trim line along the strip.
    c.FillRect(0, 520, 800, 2, {look.trim, 0.8});
    // Level badge.
    c.FillCircle(768, 46, 30, {0x000000, 0.3});
    c.FillCircle(768, 44, 29, {look.plankDark});
    c.FillCircle(768, 44, 25, {Pal::Cream});
    c.StrokeCircle(768, 44, 29, 2, {Pal::Ink});
    c.StrokeCircle(768, 44, 25, 1.5, {look.trim});
    c.Text("DAY", 768, 31, Face::SansBold, 9, {look.trim}, Align::Centre);
}

// 256 x 256, stretched into 200 x 200 at (0, 400): drawn in those 200 units.
// The game writes "CASH", the cash, "Needed", the target, "Orders left" and
// the count on it in black and red, so the paper is light.
void DrawMoney(Canvas& c, const Look& look)
{
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_scale(cr, 256.0 / 200, 256.0 / 200);
    c.FillRoundRect(0, 0, 200, 200, 10, {look.plank});
    c.StrokeRoundRect(1, 1, 198, 198, 10, 2, {Pal::Ink});
    c.FillRoundRect(12, 22, 176, 170, 4, {0xFFFBEF});
    for (double y = 60; y < 190; y += 20)
        c.FillRect(18, y + 33, 164, 0.8, {0x9CCBE0, 0.6});
    c.FillRect(28, 22, 1.2, 170, {0xE8A0A0, 0.7});
    c.StrokeRoundRect(12, 22, 176, 170, 4, 1.2, {Pal::Ink, 0.7});
    // The clip holding the paper.
    c.FillRoundRect(70, 10, 60, 18, 5, {0xC9CDD6});
    c.StrokeRoundRect(70, 10, 60, 18, 5, 1.5, {Pal::Ink});
    c.FillRoundRect(86, 4, 28, 10, 4, {0xA9AEB8});
    c.StrokeRoundRect(86, 4, 28, 10, 4, 1.2, {Pal::Ink});
    // A coin in the corner.
    c.FillCircle(165, 172, 10, {Pal::Gold});
    c.StrokeCircle(165, 172, 10, 1.3, {Pal::Ink});
    c.Text("$", 165, 176.5, Face::SansBold, 12, {Pal::GoldShade}, Align::Centre);
    cairo_restore(cr);
}

void DrawQueueMark(Canvas& c, const Look& look)
{
    // A pin with a tick: this destination is on the van's list.
    cairo_t* cr = c.Cr();
    cairo_move_to(cr, 16, 30);
    cairo_curve_to(cr, 10, 21, 5, 17, 5, 12);
    cairo_arc(cr, 16, 12, 11, M_PI, 2 * M_PI);
    cairo_curve_to(cr, 27, 17, 22, 21, 16, 30);
    cairo_close_path(cr);
    c.Colour({look.trim});
    cairo_fill_preserve(cr);
    InkStroke(c, 1.6);
    c.FillCircle(16, 12, 7, {0xFFFFFF});
    DrawIcon(c, Icon::Tick, 16, 12, 11, {0x2E7D32});
}

// 1024 x 1024, stretched to 800 x 600: drawn in screen units. Grass with soft
// patches, tufts and a few flowers; roads and buildings come on top.
void DrawTownBackground(Canvas& c, const Look& look)
{
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_scale(cr, 1024.0 / 800, 1024.0 / 600);
    c.FillRect(0, 0, 800, 600, {look.grass});
    Dice d(look.grass);
    for (int i = 0; i < 70; ++i) {
        double x = d.Range(0, 800), y = d.Range(0, 600), r = d.Range(20, 60);
        c.FillCircle(x, y, r, {i % 2 ? look.grassLight : look.grassDark, 0.35});
    }
    for (int i = 0; i < 500; ++i) {
        double x = d.Range(0, 800), y = d.Range(0, 600);
        cairo_move_to(cr, x - 2, y);
        cairo_line_to(cr, x - 1, y - 3);
        cairo_move_to(cr, x + 1, y);
        cairo_line_to(cr, x + 2, y - 3.5);
        c.Colour({look.grassDark, 0.8});
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    for (int i = 0; i < 90; ++i) {
        double x = d.Range(0, 800), y = d.Range(0, 600);
        c.FillCircle(x, y, 1.6, {i % 3 ? 0xFFFBEFu : look.leaf});
    }
    cairo_restore(cr);
}

TownPicture Item(const std::string& path, const std::string& role, Anchor anchor, int w, int h,
                 std::function<void(Canvas&, int)> draw)
{
    return SinglePicture(TownFamily::Hud, path, role, anchor, w, h, std::move(draw));
}

} // namespace

const FontStyle kHudFontStyle = {"Hud\\HudFont", "Fonts\\Hud", Face::SansBold, 15, 0, 0, 0, 2};

void AddTownHudPictures(TownList& out)
{
    for (const Look& look : kLooks) {
        std::string stem = std::string("Hud\\") + look.name + "\\";
        const Look* l = &look;
        out.push_back(Item(stem + "Frame.img", "screen frame (FRI)", Anchor::TopLeft, 800, 600,
                           [l](Canvas& c, int) { DrawFrame(c, *l); }));
        out.push_back(Item(stem + "Money.img", "money panel (SBK)", Anchor::Stretched, 256, 256,
                           [l](Canvas& c, int) { DrawMoney(c, *l); }));
        out.push_back(Item(stem + "QueueMark.img", "job-queue mark (TSM)", Anchor::Centre, 32, 32,
                           [l](Canvas& c, int) { DrawQueueMark(c, *l); }));
        out.push_back(Item(stem + "Town.img", "town background (BAK)", Anchor::Stretched, 1024, 1024,
                           [l](Canvas& c, int) { DrawTownBackground(c, *l); }));
    }
    TownPicture font;
    font.path = "Hud\\HudFont.img";
    font.family = TownFamily::Hud;
    font.anchor = Anchor::Font;
    font.frames = 95;
    font.role = "HUD and story font (TFI)";
    font.writer = [](DataDir& dir) {
        // Plain white glyphs: the game draws them black or red.
        return WriteFont(dir, kHudFontStyle);
    };
    out.push_back(std::move(font));
}
