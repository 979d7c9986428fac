// Start-up pictures: the studio's two splash pages, the loading screen with its
// bar, the logo pages shown before the main menu.
#include "datagen/Generator.h"
#include "datagen/Style.h"

#include <cmath>

namespace {

bool SplashStudio(DataDir& dir)
{
    Canvas c(800, 600);
    DrawSky(c, 600, 0x2D3E66, 0xF2A66B);
    Dice d(11);
    for (int i = 0; i < 60; ++i)
        c.FillCircle(d.Range(0, 800), d.Range(0, 260), d.Range(0.6, 1.6), {0xFFF6DC, d.Range(0.3, 0.9)});
    // Sea and the harbour wall.
    c.VerticalGradientRect(0, 430, 800, 170, {0x3C6E8F}, {0x23465E});
    for (int i = 0; i < 14; ++i)
        c.FillRoundRect(d.Range(0, 760), d.Range(450, 590), d.Range(30, 80), 3, 1.5, {0xFFE0A8, 0.35});
    c.FillRect(0, 420, 330, 24, {0x6B5A4E});
    c.FillRect(0, 418, 330, 4, {0x8A776A});
    DrawStudioMark(c, 230, 372, 1.6, true);
    c.OutlinedText("Halvenport", 520, 330, Face::SerifBold, 64, {Pal::Cream}, {0x1E1208, 0.6}, 3, Align::Centre);
    c.Text("games for cosy evenings", 520, 370, Face::SansBold, 22, {0xFFD9A0}, Align::Centre);
    if (!dir.WriteSingle("Halvenport\\splash1", c))
        return false;
    return true;
}

bool SplashFamily(DataDir& dir)
{
    // Opaque and flat: stored as a BMP.
    Canvas c(800, 600);
    c.Clear({Pal::Cream});
    for (int i = 0; i < 16; ++i)
        c.FillRect(0, i * 40, 800, 20, {0xFBEBC8});
    c.FillCircle(400, 250, 150, {Pal::Gold, 0.35});
    cairo_t* cr = c.Cr();
    cairo_move_to(cr, 0, 390);
    cairo_curve_to(cr, 250, 360, 550, 360, 800, 385);
    cairo_line_to(cr, 800, 600);
    cairo_line_to(cr, 0, 600);
    cairo_close_path(cr);
    c.Colour({Pal::Leaf});
    cairo_fill(cr);
    DrawVan(c, 400, 372, 1.7);
    c.Text("A Halvenport game", 400, 470, Face::SansBold, 30, {Pal::Ink}, Align::Centre);
    c.Text("Made with care, for players of every age", 400, 506, Face::Sans, 18, {Pal::Ink}, Align::Centre);
    return dir.WriteSingle("Halvenport\\splash2", c, {}, PictureFormat::Bmp);
}

bool LoadingScreen(DataDir& dir)
{
    // Frame 0: the opaque backdrop with an empty trough; frame 1: the full bar,
    // placed on the trough by its frame offsets and cropped by the game.
    const double barX = 144, barY = 520;
    Canvas back(800, 600);
    DrawSky(back, 600, 0x86C9E2, 0xFFE2B0);
    DrawCloud(back, 150, 90, 1.1);
    DrawCloud(back, 640, 60, 0.9);
    DrawHills(back, 380, 0xA9CF86, 22, 0.9, 1.4);
    DrawTown(back, 0, 800, 400, 1.3, 33);
    back.FillRect(0, 398, 800, 202, {0x7DB357});
    DrawGameTitle(back, 400, 250, 110);
    DrawVan(back, 400, 470, 0.9);
    back.FillRoundRect(barX - 8, barY - 8, 512 + 16, 32 + 16, 22, {Pal::Wood});
    back.StrokeRoundRect(barX - 8, barY - 8, 512 + 16, 32 + 16, 22, 2.5, {Pal::Ink});
    back.FillRoundRect(barX, barY, 512, 32, 16, {0x2E1A0F});
    back.Text("Loading the town...", 400, barY - 18, Face::SansBold, 18, {Pal::Ink}, Align::Centre);

    Canvas bar(512, 32);
    bar.FillRoundRect(0, 0, 512, 32, 16, {Pal::GoldShade});
    bar.FillRoundRect(0, 0, 512, 27, 16, {Pal::Gold});
    bar.FillRoundRect(10, 4, 492, 8, 4, {0xFFFFFF, 0.35});
    if (!dir.WritePicture("Loading\\Backdrop.png", back) || !dir.WritePicture("Loading\\Bar.png", bar))
        return false;
    TemplateSpec spec;
    spec.frames = {"Loading\\Backdrop.png", "Loading\\Bar.png"};
    spec.imf = "Loading\\Sizes.imf";
    FrameSizes f0, f1;
    f0.frame = 0;
    f0.imw = 800;
    f0.imh = 600;
    f1.frame = 1;
    f1.imw = 512;
    f1.imh = 32;
    f1.imx = barX;
    f1.imy = barY;
    spec.perFrame = {f0, f1};
    return dir.WriteTemplate("Loading.img", spec);
}

bool LogoPages(DataDir& dir)
{
    // Pages are drawn centred on their texture over black: 512 x 512 each.
    Canvas studio(512, 512);
    DrawStudioMark(studio, 256, 240, 2.0, true);
    studio.OutlinedText("Halvenport", 256, 340, Face::SerifBold, 54, {Pal::Cream}, {0x000000, 0.5}, 2, Align::Centre);
    studio.Text("presents", 256, 380, Face::SansBold, 22, {0xFFD9A0}, Align::Centre);

    Canvas game(512, 512);
    game.FillCircle(256, 250, 190, {0xFFC53D, 0.12});
    DrawVan(game, 256, 320, 1.8);
    DrawGameTitle(game, 256, 180, 92);
    game.Text("Every order counts.", 256, 380, Face::SansBold, 24, {Pal::Cream}, Align::Centre);
    game.Text("Click anywhere to skip", 256, 470, Face::Sans, 14, {0xA89A88}, Align::Centre);
    if (!dir.WritePicture("Logo\\Studio.png", studio) || !dir.WritePicture("Logo\\Game.png", game))
        return false;
    TemplateSpec spec;
    spec.frames = {"Logo\\Studio.png", "Logo\\Game.png"};
    spec.fps = 0.25;  // four seconds a page
    spec.imw = 512;
    spec.imh = 512;
    return dir.WriteTemplate("Logo.img", spec);
}

} // namespace

bool GenerateStartup(DataDir& dir)
{
    return SplashStudio(dir) && SplashFamily(dir) && LoadingScreen(dir) && LogoPages(dir);
}
