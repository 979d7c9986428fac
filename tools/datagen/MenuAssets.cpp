// Every menu picture: the screen backgrounds, the dialog windows (texts painted
// in, since the game writes no captions on them), the I/H button pairs, check
// boxes, arrows, the scroll thumb, the studio's portal widgets and the level
// markers on the level map. Sizes follow the widget positions of the screens.
#include "datagen/Generator.h"
#include "datagen/Style.h"

#include <cmath>

namespace {

constexpr int kScreenW = 800;
constexpr int kScreenH = 600;

// Dialog windows are 512 x 512 canvases centred on the screen, so a screen
// position (sx, sy) is (sx - 144, sy - 44) on the canvas.
constexpr double kWinX = 144;
constexpr double kWinY = 44;

struct ButtonDef {
    const char* stem;
    const char* label;
    int w, h;
    ButtonKind kind;
    int inset = 0;  // transparent margin left and right (buttons near the screen edge)
};

bool WriteButtonPair(DataDir& dir, const ButtonDef& b)
{
    for (int hover = 0; hover < 2; ++hover) {
        Canvas c(b.w, b.h);
        if (b.inset > 0) {
            Canvas body(b.w - 2 * b.inset, b.h);
            DrawButton(body, b.label, hover != 0, b.kind);
            c.Paint(body, b.inset, 0);
        } else {
            DrawButton(c, b.label, hover != 0, b.kind);
        }
        std::string stem = std::string("Menu\\") + b.stem + (hover ? "H" : "I");
        if (!dir.WriteSingle(stem, c))
            return false;
        dir.AddPreload(stem + ".img");
    }
    return true;
}

bool WriteIconPair(DataDir& dir, const char* stem, Icon icon, int size, bool square)
{
    for (int hover = 0; hover < 2; ++hover) {
        Canvas c(size, size);
        DrawIconButton(c, icon, hover != 0, square);
        std::string path = std::string("Menu\\") + stem + (hover ? "H" : "I");
        if (!dir.WriteSingle(path, c))
            return false;
        dir.AddPreload(path + ".img");
    }
    return true;
}

bool WriteWindow(DataDir& dir, const std::string& stem, Canvas& c)
{
    if (!dir.WriteSingle(stem, c))
        return false;
    dir.AddPreload(stem + ".img");
    return true;
}

// Lines of body text centred at x, first baseline at y.
void BodyText(Canvas& c, const std::vector<std::string>& lines, double cx, double y, double size, double step,
              uint32_t colour = Pal::Cream)
{
    for (const auto& l : lines) {
        c.Text(l, cx, y, Face::SansBold, size, {colour}, Align::Centre);
        y += step;
    }
}

bool ContinueWindow(DataDir& dir)
{
    Canvas c(512, 512);
    double x = 200 - kWinX, y = 175 - kWinY, w = 400, h = 275;
    DrawPanel(c, x, y, w, h, "Welcome back!");
    BodyText(c, {"Carry on with your saved day,", "or start a new game from day one?"}, 256, y + 58, 16, 24);
    BodyText(c, {"A new game clears your progress."}, 256, y + 122, 14, 20, 0xF2B9A0);
    return WriteWindow(dir, "Menu\\ContinueWindow", c);
}

bool OptionsWindow(DataDir& dir)
{
    Canvas c(512, 512);
    double x = 252 - kWinX, y = 128 - kWinY, w = 296, h = 266;
    DrawPanel(c, x, y, w, h, "Options");
    // Value fields under the numbers the game writes at x 445.
    DrawInset(c, 420 - kWinX, 176 - kWinY, 50, 26);
    DrawInset(c, 420 - kWinX, 230 - kWinY, 50, 26);
    // Faint guide lines under the labels.
    c.FillRect(290 - kWinX, 210 - kWinY, 225, 1.5, {Pal::PanelLine});
    c.FillRect(290 - kWinX, 264 - kWinY, 225, 1.5, {Pal::PanelLine});
    c.FillRect(290 - kWinX, 318 - kWinY, 225, 1.5, {Pal::PanelLine});
    return WriteWindow(dir, "Menu\\OptionsWindow", c);
}

bool ExitWindow(DataDir& dir)
{
    Canvas c(512, 512);
    double x = 180 - kWinX, y = 205 - kWinY, w = 440, h = 170;
    DrawPanel(c, x, y, w, h, "Leaving so soon?");
    BodyText(c, {"Do you really want to close Brimvale?"}, 256, y + 62, 16, 22);
    BodyText(c, {"The town will wait for you."}, 256, y + 86, 14, 20, 0xE9D3A8);
    return WriteWindow(dir, "Menu\\ExitWindow", c);
}

bool ProfileWindow(DataDir& dir)
{
    Canvas c(512, 512);
    double x = 176 - kWinX, y = 138 - kWinY, w = 460, h = 404;
    DrawPanel(c, x, y, w, h, "Players");
    // The list area behind the five rows, and the scroll track between the arrows.
    DrawInset(c, 226 - kWinX, 202 - kWinY, 348, 274, 0x35200F);
    DrawInset(c, 583 - kWinX, 246 - kWinY, 14, 186, 0x2A180C);
    return WriteWindow(dir, "Menu\\ProfileWindow", c);
}

bool NewProfileWindow(DataDir& dir)
{
    Canvas c(512, 512);
    double x = 205 - kWinX, y = 212 - kWinY, w = 390, h = 160;
    DrawPanel(c, x, y, w, h, "New player");
    BodyText(c, {"Please type your name:"}, 400 - kWinX, 268 - kWinY, 16, 20);
    // The name field: mid brown, so the gold name and the black caret both show.
    DrawInset(c, 279 - kWinX, 283 - kWinY, 242, 28, 0x8A5B3B);
    return WriteWindow(dir, "Menu\\NewProfWindow", c);
}

bool PausePanel(DataDir& dir)
{
    Canvas c(512, 512);
    double x = 250 - kWinX, y = 222 - kWinY, w = 300, h = 202;
    DrawPanel(c, x, y, w, h, "Paused");
    return WriteWindow(dir, "Menu\\PauseBk", c);
}

// The main menu's scene (a JPEG; the board with its holes is a PNG layer on top).
void MainScene(Canvas& c)
{
    DrawSky(c, 430, 0x86C9E2, 0xFFE2B0);
    DrawSun(c, 660, 110, 38);
    DrawCloud(c, 120, 70, 1.0);
    DrawCloud(c, 420, 120, 0.8);
    DrawCloud(c, 300, 40, 0.6, 0.8);
    DrawHills(c, 330, 0xA9CF86, 26, 0.4, 1.3);
    DrawTown(c, 0, 800, 350, 1.0, 17);
    DrawHills(c, 380, 0x8CBF63, 14, 2.0, 1.8);
    DrawTown(c, -20, 800, 410, 1.35, 91);
    c.FillRect(0, 408, 800, 176, {0x7DB357});
    // The road and its dashes, winding up from the bottom left.
    cairo_t* cr = c.Cr();
    cairo_move_to(cr, -10, 470);
    cairo_curve_to(cr, 200, 440, 330, 520, 520, 470);
    cairo_curve_to(cr, 640, 440, 720, 460, 810, 450);
    c.Colour({0xD8C39A});
    cairo_set_line_width(cr, 34);
    cairo_stroke_preserve(cr);
    c.Colour({0xFFF6E0});
    cairo_set_line_width(cr, 3);
    double dashes[] = {14, 12};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    for (int i = 0; i < 9; ++i)
        DrawTree(c, 30 + i * 52 + (i % 2) * 14, 540 + (i % 3) * 10, 1.2);
    // Title on the left.
    DrawGameTitle(c, 230, 200, 84);
    c.OutlinedText("Deliveries with a smile", 230, 240, Face::SansBold, 20, {Pal::Cream}, {Pal::Ink, 0.8}, 2.5,
                   Align::Centre);
    // Bottom bar for the footer and the version text.
    c.FillRect(0, 584, 800, 16, {0x2E1A0F});
}

void MainBoard(Canvas& c)
{
    double x = 474, y = 186, w = 284, h = 338;
    // Two posts holding the board.
    c.FillRect(x + 40, y + h - 10, 14, 600 - (y + h) - 6, {Pal::WoodShade});
    c.FillRect(x + w - 54, y + h - 10, 14, 600 - (y + h) - 6, {Pal::WoodShade});
    DrawPanel(c, x, y, w, h, "");
    // Name plate under the player's name (centre x 616, baseline 230).
    DrawInset(c, 616 - 118, 207, 236, 26, 0x2E1A0F);
}

bool Backgrounds(DataDir& dir)
{
    {
        Canvas scene(kScreenW, kScreenH), board(kScreenW, kScreenH);
        MainScene(scene);
        MainBoard(board);
        if (!dir.WritePicture("Menu\\MainMenuScene.jpg", scene, PictureFormat::Jpeg) ||
            !dir.WritePicture("Menu\\MainMenuBoard.png", board))
            return false;
        TemplateSpec spec;
        spec.frames = {"Menu\\MainMenuBoard.png", "Menu\\MainMenuScene.jpg"};
        spec.imw = kScreenW;
        spec.imh = kScreenH;
        if (!dir.WriteTemplate("Menu\\MainMenuBk.img", spec))
            return false;
        dir.AddPreload("Menu\\MainMenuBk.img");
    }
    {
        // Highscores: flat colours, stored as a GIF.
        Canvas c(kScreenW, kScreenH);
        c.Clear({0xF6D9A0});
        for (int i = 0; i < 20; ++i)
            c.FillRect(i * 40, 0, 20, 600, {0xF2CF8E});
        DrawHills(c, 520, 0x9CC878, 16, 1.0, 1.2);
        DrawTown(c, 540, 800, 540, 1.2, 5);
        c.FillRect(0, 540, 800, 60, {0x7DB357});
        DrawPanel(c, 40, 70, 460, 340, "Highscores");
        c.Text("Player", 115, 123, Face::SansBold, 14, {0xE9C48A});
        c.Text("Score", 355, 123, Face::SansBold, 14, {0xE9C48A});
        c.Text("#", 75, 123, Face::SansBold, 14, {0xE9C48A});
        for (int row = 0; row < 10; ++row)
            if (row % 2 == 0)
                c.FillRoundRect(62, 132 + row * 26, 416, 25, 5, {0xFFFFFF, 0.06});
        // A trophy.
        double tx = 650, ty = 250;
        c.FillRect(tx - 40, ty + 90, 80, 18, {Pal::WoodShade});
        c.FillRect(tx - 8, ty + 50, 16, 42, {Pal::GoldShade});
        cairo_t* cr = c.Cr();
        cairo_arc(cr, tx, ty, 55, 0, M_PI);
        cairo_close_path(cr);
        c.Colour({Pal::Gold});
        cairo_fill(cr);
        c.FillRect(tx - 55, ty - 30, 110, 32, {Pal::Gold});
        c.StrokeCircle(tx - 60, ty, 16, 8, {Pal::Gold});
        c.StrokeCircle(tx + 60, ty, 16, 8, {Pal::Gold});
        c.FillRect(tx - 35, ty - 24, 12, 60, {0xFFFFFF, 0.4});
        c.OutlinedText("1", tx, ty + 25, Face::SerifBold, 54, {Pal::Cream}, {Pal::GoldShade}, 2, Align::Centre);
        if (!dir.WriteSingle("Menu\\HighscoresBk", c, {}, PictureFormat::Gif))
            return false;
        dir.AddPreload("Menu\\HighscoresBk.img");
    }
    {
        // Help: a wooden frame around a dark board where white text reads well.
        Canvas c(kScreenW, kScreenH);
        c.Clear({Pal::WoodShade});
        DrawPanel(c, 8, 8, 784, 530, "");
        c.FillRect(0, 540, 800, 60, {0x3A2213});
        c.FillRect(0, 540, 800, 2, {0x000000, 0.3});
        if (!dir.WriteSingle("Menu\\HelpBk", c))
            return false;
        dir.AddPreload("Menu\\HelpBk.img");
    }
    return true;
}

// Where the level markers sit on the level map, level 1 first.
const double kLevelSpots[14][2] = {{110, 175}, {215, 135}, {325, 170}, {435, 135}, {545, 170}, {655, 135},
                                   {720, 255}, {610, 300}, {500, 265}, {390, 300}, {280, 265}, {170, 310},
                                   {260, 430}, {400, 455}};

bool LevelMap(DataDir& dir)
{
    Canvas map(kScreenW, kScreenH);
    map.Clear({0x8CC063});
    Dice d(2024);
    for (int i = 0; i < 260; ++i)
        map.FillCircle(d.Range(0, 800), d.Range(0, 600), d.Range(2, 6), {0x7DB357, 0.7});
    // A river down the right side with a bridge.
    cairo_t* cr = map.Cr();
    cairo_move_to(cr, 770, -10);
    cairo_curve_to(cr, 700, 200, 800, 380, 690, 610);
    map.Colour({0x5FA8C9});
    cairo_set_line_width(cr, 40);
    cairo_stroke_preserve(cr);
    map.Colour({0x8FCBE0});
    cairo_set_line_width(cr, 20);
    cairo_stroke(cr);
    // The road through every spot to the town square.
    cairo_move_to(cr, kLevelSpots[0][0] - 60, kLevelSpots[0][1] + 20);
    for (int i = 0; i < 14; ++i) {
        double px = i ? kLevelSpots[i - 1][0] : kLevelSpots[0][0] - 60;
        double py = i ? kLevelSpots[i - 1][1] : kLevelSpots[0][1] + 20;
        double x = kLevelSpots[i][0], y = kLevelSpots[i][1];
        cairo_curve_to(cr, px + (x - px) * 0.5, py, px + (x - px) * 0.5, y, x, y);
    }
    cairo_curve_to(cr, 480, 455, 500, 430, 560, 430);
    map.Colour({0xB89A6A});
    cairo_set_line_width(cr, 22);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    map.Colour({0xE9D6AE});
    cairo_set_line_width(cr, 16);
    cairo_stroke(cr);
    // Little houses and trees between the rows of the road.
    for (int i = 0; i < 6; ++i)
        DrawHouse(map, 150 + i * 105, 232, 30, 22, 0xF4D9A8, i % 2 ? Pal::Brick : 0x3F7F8C);
    for (int i = 0; i < 5; ++i)
        DrawTree(map, 210 + i * 110, 378, 1.0);
    for (int i = 0; i < 8; ++i)
        DrawTree(map, 40 + i * 18, 420 + (i % 2) * 14, 0.9);
    // The town square at the end of the road.
    DrawHouse(map, 540, 420, 60, 44, 0xF2E6CF, Pal::Brick, true);
    map.FillRect(598, 360, 3, 60, {Pal::Ink});
    map.FillPolygon({601, 360, 626, 368, 601, 376}, {Pal::Gold});
    // Title ribbon.
    DrawPanel(map, 250, 20, 300, 56, "");
    map.Text("Choose your day", 400, 57, Face::SansBold, 24, {Pal::Cream}, Align::Centre);
    // Bottom strip behind the Menu and Start buttons.
    map.FillRect(0, 536, 800, 64, {0x3A2213, 0.85});

    // Top layer: soft clouds around the edges; a JPEG with its alpha companion.
    Canvas clouds(kScreenW, kScreenH);
    Dice cd(77);
    for (int i = 0; i < 9; ++i) {
        DrawCloud(clouds, cd.Range(-20, 820), cd.Range(-10, 30), cd.Range(0.9, 1.6), 0.9);
        DrawCloud(clouds, i < 5 ? cd.Range(-40, 20) : cd.Range(780, 840), cd.Range(60, 520), cd.Range(0.8, 1.3),
                  0.8);
    }
    clouds.BlurAlpha(2);
    if (!dir.WritePicture("Menu\\LevelMap.png", map) ||
        !dir.WritePicture("Menu\\LevelClouds.jpg", clouds, PictureFormat::JpegWithAlpha))
        return false;
    TemplateSpec spec;
    spec.frames = {"Menu\\LevelClouds.jpg", "Menu\\LevelMap.png"};
    spec.imw = kScreenW;
    spec.imh = kScreenH;
    if (!dir.WriteTemplate("Menu\\LevelBk.img", spec))
        return false;
    dir.AddPreload("Menu\\LevelBk.img");
    return true;
}

// Level markers: a round badge with a dark middle for the number the game
// writes over it; the frame offsets put it on its spot of the map.
bool LevelMarkers(DataDir& dir)
{
    for (int hover = 0; hover < 2; ++hover) {
        // The game writes the number with its baseline half a line below the
        // marker's centre, so the badge sits a few pixels low to stay around it.
        Canvas c(64, 64);
        const double cy = 34;
        if (hover)
            c.FillCircle(32, cy - 1, 30, {0xFFF1A8, 0.55});
        c.FillCircle(32, cy + 2, 25, {0x1E1208, 0.35});
        c.FillCircle(32, cy, 25, {hover ? Pal::Gold : Pal::Cream});
        c.FillCircle(32, cy, 19, {hover ? 0x6B3A1E : Pal::Panel});
        c.StrokeCircle(32, cy, 25, 2.5, {Pal::Ink});
        // A little roof on top: every day is a house call.
        c.FillPolygon({20, cy - 20, 32, cy - 30, 44, cy - 20}, {hover ? Pal::GoldShade : Pal::Brick});
        c.StrokeCircle(32, cy, 19, 1.5, {0x000000, 0.35});
        std::string pic = hover ? "Levels\\MarkerH.png" : "Levels\\MarkerI.png";
        if (!dir.WritePicture(pic, c))
            return false;
    }
    for (int level = 1; level <= 14; ++level) {
        for (int hover = 0; hover < 2; ++hover) {
            TemplateSpec spec;
            spec.frames = {hover ? "Levels\\MarkerH.png" : "Levels\\MarkerI.png"};
            spec.imw = 64;
            spec.imh = 64;
            spec.imx = kLevelSpots[level - 1][0];
            spec.imy = kLevelSpots[level - 1][1];
            std::string path = "Levels\\level" + std::to_string(level) + (hover ? "H.img" : "I.img");
            if (!dir.WriteTemplate(path, spec))
                return false;
        }
    }
    return true;
}

bool ProfileRows(DataDir& dir)
{
    // 336 x 44: wide enough for names from x 244, clear of the scroll bar at 590.
    for (int hover = 0; hover < 2; ++hover) {
        Canvas c(336, 44);
        if (hover) {
            c.FillRoundRect(1, 1, 334, 42, 10, {Pal::Gold, 0.22});
            c.StrokeRoundRect(1.5, 1.5, 333, 41, 10, 2.5, {Pal::Gold});
        } else {
            c.FillRoundRect(1, 1, 334, 42, 10, {0xFFFFFF, 0.05});
            c.StrokeRoundRect(1.5, 1.5, 333, 41, 10, 1, {0xFFFFFF, 0.12});
        }
        std::string stem = hover ? "Menu\\ProfileBtnH" : "Menu\\ProfileBtnI";
        if (!dir.WriteSingle(stem, c))
            return false;
        dir.AddPreload(stem + ".img");
    }
    return true;
}

bool SmallWidgets(DataDir& dir)
{
    if (!WriteIconPair(dir, "LeftArrowBtn", Icon::Left, 32, false) ||
        !WriteIconPair(dir, "RightArrowBtn", Icon::Right, 32, false) ||
        !WriteIconPair(dir, "UpArrowBtn", Icon::Up, 32, false) ||
        !WriteIconPair(dir, "DownArrowBtn", Icon::Down, 32, false) ||
        !WriteIconPair(dir, "CheckBtn", Icon::Tick, 32, true) ||
        !WriteIconPair(dir, "UnCheckBtn", Icon::Empty, 32, true))
        return false;
    Canvas thumb(16, 32);
    thumb.FillRoundRect(1, 1, 14, 30, 7, {Pal::Gold});
    thumb.StrokeRoundRect(1, 1, 14, 30, 7, 2, {Pal::Ink});
    for (int i = 0; i < 3; ++i)
        thumb.FillRect(5, 11 + i * 4, 6, 1.5, {Pal::Ink, 0.6});
    if (!dir.WriteSingle("Menu\\ScrollThumb", thumb))
        return false;
    dir.AddPreload("Menu\\ScrollThumb.img");
    return true;
}

bool PortalWidgets(DataDir& dir)
{
    for (int lit = 0; lit < 2; ++lit) {
        Canvas c(128, 64);
        c.FillRoundRect(2, 4, 124, 56, 12, {0x2E1A0F, lit ? 0.85 : 0.7});
        if (lit)
            c.StrokeRoundRect(2, 4, 124, 56, 12, 2, {Pal::Gold});
        DrawStudioMark(c, 26, 40, 0.42, lit != 0);
        c.Text("Halvenport", 78, 31, Face::SansBold, 13, {lit ? 0xFFE9A0 : Pal::Cream}, Align::Centre);
        c.Text("more games", 78, 47, Face::Sans, 11, {lit ? Pal::Gold : 0xC9A57A}, Align::Centre);
        std::string stem = lit ? "Halvenport\\logo_a" : "Halvenport\\logo_na";
        if (!dir.WriteSingle(stem, c))
            return false;
        dir.AddPreload(stem + ".img");
    }
    // The footer is opaque and matches the menu's bottom bar: a BMP.
    Canvas foot(256, 16);
    foot.Clear({0x2E1A0F});
    foot.Text("(c) 2026 Halvenport. All rights reserved.", 128, 12, Face::Sans, 10, {0xC9A57A}, Align::Centre);
    if (!dir.WriteSingle("Halvenport\\copyright", foot, {}, PictureFormat::Bmp))
        return false;
    dir.AddPreload("Halvenport\\copyright.img");
    return true;
}

} // namespace

bool GenerateMenus(DataDir& dir)
{
    const ButtonDef buttons[] = {
        {"PlayBtn", "Play", 256, 32, ButtonKind::Accent},
        {"HighBtn", "Highscores", 256, 32, ButtonKind::Normal},
        {"HelpBtn", "How to play", 256, 32, ButtonKind::Normal},
        {"OptionsBtn", "Options", 256, 32, ButtonKind::Normal},
        {"ExitBtn", "Exit", 256, 32, ButtonKind::Normal},
        {"ProfileMenuBtn", "Change player", 256, 32, ButtonKind::Quiet},
        {"ContinueBtn", "Continue", 256, 32, ButtonKind::Accent},
        {"NewGameBtn", "New game", 256, 32, ButtonKind::Normal},
        {"ResumeBtn", "Resume", 256, 32, ButtonKind::Accent},
        {"ProfileCreateBtn", "New player", 256, 32, ButtonKind::Quiet},
        {"MainBtn", "Menu", 128, 32, ButtonKind::Normal, 12},
        {"StartBtn", "Start", 128, 32, ButtonKind::Accent, 12},
        {"DoneBtn", "Done", 128, 32, ButtonKind::Accent},
        {"NoBtn", "No", 128, 32, ButtonKind::Normal},
        {"YesBtn", "Yes", 128, 32, ButtonKind::Accent},
        {"ProfileDeleteBtn", "Delete", 128, 32, ButtonKind::Normal},
        {"CancelBtn", "Cancel", 128, 32, ButtonKind::Normal},
        {"OkBtn", "OK", 128, 32, ButtonKind::Accent},
    };
    for (const auto& b : buttons)
        if (!WriteButtonPair(dir, b))
            return false;
    return SmallWidgets(dir) && ProfileRows(dir) && ContinueWindow(dir) && OptionsWindow(dir) && ExitWindow(dir) &&
           ProfileWindow(dir) && NewProfileWindow(dir) && PausePanel(dir) && Backgrounds(dir) && LevelMap(dir) &&
           LevelMarkers(dir) && PortalWidgets(dir);
}
