// The fixed pictures every level loads: UFOs, the bonus shop, the rating bar,
// flashes, marks, the end-of-day report, the big message banner, the combo box
// and the mini-game's lane buttons and progress bar.
#include "datagen/Generator.h"
#include "datagen/Style.h"

#include <cmath>

namespace {

bool Single(DataDir& dir, const std::string& stem, Canvas& c, TemplateSpec spec = {})
{
    if (!dir.WriteSingle(stem, c, spec))
        return false;
    dir.AddPreload(stem + ".img");
    return true;
}

bool Ufos(DataDir& dir)
{
    for (int hover = 0; hover < 2; ++hover) {
        Canvas c(128, 64);
        if (hover) {
            c.FillRoundRect(6, 10, 116, 48, 24, {0xB8FFB0, 0.45});
            c.BlurAlpha(3);
        }
        // Glass dome, saucer body, rim lights.
        c.FillCircle(64, 30, 20, {0xA9E4F5, 0.9});
        c.FillCircle(58, 24, 6, {0xFFFFFF, 0.7});
        c.FillCircle(64, 34, 7, {0x6BCB5A});
        c.FillCircle(61, 32, 1.5, {Pal::Ink});
        c.FillCircle(67, 32, 1.5, {Pal::Ink});
        cairo_t* cr = c.Cr();
        cairo_save(cr);
        cairo_translate(cr, 64, 40);
        cairo_scale(cr, 56, 13);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        c.Colour({hover ? 0xD4C6F0u : 0xB9AED6u});
        cairo_fill_preserve(cr);
        c.Colour({Pal::Ink});
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        for (int i = 0; i < 5; ++i)
            c.FillCircle(30 + i * 17, 42, 3.5, {hover ? 0xFFE45Cu : 0xF2A6D8u});
        c.FillRect(50, 51, 28, 4, {0x7F739E});
        std::string stem = hover ? "UfoH" : "UfoI";
        if (!Single(dir, stem, c))
            return false;
    }
    return true;
}

bool ShopPictures(DataDir& dir)
{
    // Buy button: a frame around a bonus row (icon at x 131, name and price
    // from x 181 to 374), centred at x 231. PNG textures keep the picture's size.
    for (int hover = 0; hover < 2; ++hover) {
        const double w = 316, h = 66;
        Canvas c(static_cast<int>(w), static_cast<int>(h));
        if (hover) {
            c.FillRoundRect(2, 2, w - 4, h - 4, 12, {Pal::Gold, 0.18});
            c.StrokeRoundRect(2, 2, w - 4, h - 4, 12, 3, {Pal::Gold});
        } else {
            c.StrokeRoundRect(2, 2, w - 4, h - 4, 12, 1.5, {Pal::Cream, 0.35});
        }
        c.FillRoundRect(w - 52, h - 20, 44, 16, 6, {hover ? Pal::Gold : Pal::Brick});
        c.Text("BUY", w - 30, h - 7.5, Face::SansBold, 11, {hover ? Pal::Ink : Pal::Cream}, Align::Centre);
        if (!Single(dir, hover ? "BuyBtnH" : "BuyBtnI", c))
            return false;
    }
    // The shop panel, drawn from (x, 28) with x sliding in to 12.
    Canvas p(748, 492);
    DrawPanel(p, 2, 18, 744, 470, "Bonus shop");
    // Lines between the five rows (rows centred at screen y 100 + 75 i).
    for (int i = 0; i < 4; ++i)
        p.FillRect(40, 137.5 - 28 + 75 * i, 668, 1.5, {Pal::PanelLine});
    // The money box is drawn by the game: where it goes depends on the rows in use.
    return Single(dir, "BonusBuyBk", p);
}

bool RatingPictures(DataDir& dir)
{
    // Both are tinted by the game, so they are drawn white and light grey.
    Canvas bk(48, 24);
    bk.FillRoundRect(1, 1, 46, 22, 6, {0x000000, 0.45});
    bk.FillRoundRect(3, 3, 42, 18, 5, {0xE6E6E6, 0.9});
    bk.FillRoundRect(4, 4, 40, 4, 2, {0xFFFFFF});
    bk.StrokeRoundRect(1, 1, 46, 22, 6, 1.5, {0x2A2A2A});
    Canvas fill(48, 24);
    fill.FillRoundRect(3, 4, 42, 17, 5, {0xF2F2F2});
    fill.FillRoundRect(5, 5, 38, 5, 2.5, {0xFFFFFF});
    fill.FillRect(3, 17, 42, 3, {0xBDBDBD});
    Canvas flash(336, 28);
    flash.FillRoundRect(2, 4, 332, 20, 10, {0xFFFFFF, 0.9});
    flash.BlurAlpha(3);
    TemplateSpec additive;
    additive.additive = true;
    Canvas star(32, 32);
    cairo_t* cr = star.Cr();
    for (int i = 0; i < 2; ++i) {
        cairo_save(cr);
        cairo_translate(cr, 16, 16);
        cairo_rotate(cr, i * M_PI / 4);
        double len = i ? 10 : 15;
        star.FillPolygon({0, -len, 3, -3, len, 0, 3, 3, 0, len, -3, 3, -len, 0, -3, -3}, {0xFFF4C0, i ? 0.6 : 1.0});
        cairo_restore(cr);
    }
    star.FillCircle(16, 16, 4, {0xFFFFFF});
    return Single(dir, "RatingBk", bk) && Single(dir, "Rating", fill) && Single(dir, "FlashRating", flash, additive) &&
           Single(dir, "FlashStar", star, additive);
}

bool Marks(DataDir& dir)
{
    Canvas zzz(32, 32);
    zzz.OutlinedText("Z", 4, 28, Face::SansBold, 20, {0xEAF4FF}, {0x2B4A6B}, 1.5);
    zzz.OutlinedText("z", 19, 14, Face::SansBold, 13, {0xEAF4FF}, {0x2B4A6B}, 1.2);
    Canvas dot(16, 16);
    dot.FillCircle(8, 8, 6, {Pal::Cream});
    dot.StrokeCircle(8, 8, 6, 2, {Pal::Brick});
    dot.FillCircle(8, 8, 2, {Pal::Brick});
    return Single(dir, "Zzz", zzz) && Single(dir, "PathMarker", dot);
}

bool ReportPictures(DataDir& dir)
{
    for (int hover = 0; hover < 2; ++hover) {
        Canvas c(128, 32);
        DrawButton(c, "Continue", hover != 0, ButtonKind::Accent);
        if (!Single(dir, hover ? "DiaryBtnH" : "DiaryBtnI", c))
            return false;
    }
    // End-of-day report: a diary, 512 x 512, zoomed in to (144, 44).
    Canvas r(512, 512);
    DrawShadow(r, 40, 64, 440, 440, 24, 0.5);
    r.FillRoundRect(36, 56, 440, 440, 24, {Pal::BrickShade});
    r.FillRoundRect(42, 62, 428, 428, 20, {Pal::Brick});
    r.StrokeRoundRect(36, 56, 440, 440, 24, 2.5, {Pal::Ink});
    r.FillRoundRect(60, 84, 392, 392, 12, {Pal::Panel});
    for (int i = 0; i < 8; ++i)
        r.FillRect(76, 178 + i * 33, 360, 1, {Pal::PanelLine, 0.8});
    // Bookmark ribbon.
    r.FillPolygon({400, 50, 426, 50, 426, 120, 413, 108, 400, 120}, {Pal::Gold});
    r.FillRoundRect(150, 44, 212, 26, 8, {Pal::Gold});
    r.StrokeRoundRect(150, 44, 212, 26, 8, 2, {Pal::Ink});
    r.Text("Brimvale Deliveries", 256, 62, Face::SansBold, 14, {Pal::Ink}, Align::Centre);
    if (!Single(dir, "EndLevelBk", r))
        return false;

    // Big message banner, centred on the screen.
    Canvas b(512, 128);
    b.FillPolygon({6, 40, 70, 40, 70, 110, 6, 110, 28, 75}, {Pal::BrickShade});
    b.FillPolygon({506, 40, 442, 40, 442, 110, 506, 110, 484, 75}, {Pal::BrickShade});
    DrawShadow(b, 40, 18, 432, 92, 18, 0.4);
    b.FillRoundRect(40, 14, 432, 92, 18, {Pal::Cream});
    b.StrokeRoundRect(40, 14, 432, 92, 18, 3, {Pal::Ink});
    b.StrokeRoundRect(48, 22, 416, 76, 12, 1.5, {Pal::Gold});
    if (!Single(dir, "CongratulationBk", b))
        return false;

    // Combo box, drawn at 70 %.
    Canvas cb(128, 64);
    cb.FillRoundRect(2, 2, 124, 60, 14, {Pal::Panel});
    cb.StrokeRoundRect(2, 2, 124, 60, 14, 3, {Pal::Gold});
    cb.StrokeRoundRect(7, 7, 114, 50, 10, 1.5, {Pal::Gold, 0.4});
    return Single(dir, "ComboBk", cb);
}

bool MiniGamePictures(DataDir& dir)
{
    for (int hover = 0; hover < 2; ++hover) {
        Canvas c(32, 32);
        c.FillRoundRect(1, 1, 30, 30, 8, {hover ? Pal::Gold : Pal::Cream, hover ? 1.0 : 0.75});
        c.StrokeRoundRect(1, 1, 30, 30, 8, 2, {Pal::Ink});
        DrawIcon(c, Icon::Up, 16, 16, 18, {Pal::Ink});
        if (!Single(dir, hover ? "RoadLineBtnH" : "RoadLineBtnI", c))
            return false;
    }
    Canvas bk(608, 24);
    bk.FillRoundRect(1, 1, 606, 22, 11, {0x2E1A0F, 0.85});
    bk.StrokeRoundRect(1, 1, 606, 22, 11, 2, {Pal::Cream});
    // Finish flag at the right end.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 2; ++j)
            bk.FillRect(586 + i * 4, 6 + j * 6 + (i % 2) * 3, 4, 3, {(i + j) % 2 ? 0xFFFFFFu : 0x222222u});
    Canvas fill(608, 24);
    fill.FillRoundRect(2, 3, 604, 18, 9, {Pal::Gold});
    fill.FillRoundRect(8, 5, 592, 5, 2.5, {0xFFFFFF, 0.45});
    return Single(dir, "MGRangeBk", bk) && Single(dir, "MGRange", fill);
}

} // namespace

bool GenerateLevelHud(DataDir& dir)
{
    return Ufos(dir) && ShopPictures(dir) && RatingPictures(dir) && Marks(dir) && ReportPictures(dir) &&
           MiniGamePictures(dir);
}
