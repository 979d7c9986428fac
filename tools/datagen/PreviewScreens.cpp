#include "datagen/PreviewScreens.h"

#include "datagen/Preview.h"

#include "core/TaggedFile.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

const char* kStd = "FontStd.img";

void MainMenu(Preview& p, bool widgets = true)
{
    p.Clear(0x000000);
    p.DrawAllFrames("Menu\\MainMenuBk.img", 0, 0);
    std::string name = "Annabel";
    double w = p.TextWidth(kStd, 1, name);
    p.Text(kStd, 616 - w / 2, 230, 1, 0xFFFFB600, name);
    if (!widgets)
        return;
    const char* stems[] = {"ProfileMenuBtn", "PlayBtn", "HighBtn", "HelpBtn", "OptionsBtn", "ExitBtn"};
    const double ys[] = {249, 300, 350, 400, 450, 500};
    for (int i = 0; i < 6; ++i)
        p.DrawCentred(std::string("Menu\\") + stems[i] + (i == 2 ? "H.img" : "I.img"), 616, ys[i]);
    p.DrawCentred("Halvenport\\logo_na.img", 109.3, 540.3);
    p.DrawCentred("Halvenport\\copyright.img", 261, 595);
    p.Text(kStd, 725.5, 598.5, 0.7, 0xFF808080, "ver. 0.10");
}

struct Screen {
    const char* file;
    void (*draw)(Preview&);
};

void ShotMain(Preview& p) { MainMenu(p); }

void ShotOptions(Preview& p)
{
    MainMenu(p);
    p.DrawCentred("Menu\\OptionsWindow.img", 400, 300);
    p.DrawCentred("Menu\\DoneBtnI.img", 400, 354);
    p.DrawCentred("Menu\\LeftArrowBtnI.img", 395, 187);
    p.DrawCentred("Menu\\RightArrowBtnH.img", 499, 187);
    p.DrawCentred("Menu\\LeftArrowBtnI.img", 395, 242);
    p.DrawCentred("Menu\\RightArrowBtnI.img", 499, 242);
    p.DrawCentred("Menu\\CheckBtnI.img", 333, 297);
    p.Text(kStd, 445 - p.TextWidth(kStd, 1, "8") / 2, 195, 1, 0xFFFFB600, "8");
    p.Text(kStd, 445 - p.TextWidth(kStd, 1, "10") / 2, 249, 1, 0xFFFFB600, "10");
    p.Text(kStd, 295, 195, 1, 0xFFFFB600, "Music");
    p.Text(kStd, 295, 249, 1, 0xFFFFB600, "Sound");
    p.Text(kStd, 353, 303, 1, 0xFFFFB600, "Fullscreen");
}

void ShotProfiles(Preview& p)
{
    MainMenu(p);
    p.DrawCentred("Menu\\ProfileWindow.img", 400, 300);
    const char* names[] = {"Annabel", "Grandpa Joe", "Mia", "Theo", "Player"};
    for (int i = 0; i < 5; ++i) {
        p.DrawCentred(i == 1 ? "Menu\\ProfileBtnH.img" : "Menu\\ProfileBtnI.img", 400, 229 + 55 * i);
        p.Text(kStd, 244, 237 + 55 * i, 1, i == 1 ? 0xFFFF2020 : 0xFFFFD800, names[i]);
    }
    p.DrawCentred("Menu\\ProfileCreateBtnI.img", 400, 183);
    p.DrawCentred("Menu\\ProfileDeleteBtnI.img", 262, 509);
    p.DrawCentred("Menu\\DoneBtnH.img", 553, 509);
    p.DrawCentred("Menu\\UpArrowBtnI.img", 590, 227);
    p.DrawCentred("Menu\\DownArrowBtnI.img", 590, 451);
    p.DrawCentred("Menu\\ScrollThumb.img", 590, 258 + 0.3 * (419 - 258));
}

void ShotNewProfile(Preview& p)
{
    MainMenu(p);
    p.DrawCentred("Menu\\NewProfWindow.img", 400, 300);
    p.DrawCentred("Menu\\CancelBtnI.img", 342, 333);
    p.DrawCentred("Menu\\OkBtnH.img", 503, 333);
    double w = p.Text(kStd, 289, 305, 1, 0xFFFFD800, "Player");
    p.Screen().FillRect(289 + w, 289, 2, 16, {0x000000});
}

void ShotExit(Preview& p)
{
    MainMenu(p);
    p.DrawCentred("Menu\\ExitWindow.img", 400, 300);
    p.DrawCentred("Menu\\NoBtnI.img", 322, 336);
    p.DrawCentred("Menu\\YesBtnH.img", 522, 336);
}

void ShotContinue(Preview& p)
{
    MainMenu(p);
    p.DrawCentred("Menu\\ContinueWindow.img", 400, 300);
    p.DrawCentred("Menu\\ContinueBtnH.img", 400, 370);
    p.DrawCentred("Menu\\NewGameBtnI.img", 400, 420);
}

void ShotLevels(Preview& p)
{
    p.Clear(0);
    p.DrawAllFrames("Menu\\LevelBk.img", 0, 0);
    for (int level = 1; level <= 14; ++level) {
        bool lit = level == 9;
        std::string tpl = "Levels\\level" + std::to_string(level) + (lit ? "H.img" : "I.img");
        p.DrawCentred(tpl, 0, 0);
        const TemplateFrame* fr = p.Frame(tpl);
        if (!fr)
            continue;
        // The game centres the number on the offsets, baseline half a glyph lower.
        std::string n = std::to_string(level);
        double w = p.TextWidth(kStd, 1, n);
        p.Text(kStd, fr->offsetX - w / 2, fr->offsetY + p.LineHeight(kStd) / 2, 1, lit ? 0xFFFEEEAF : 0xFFFFB600, n);
    }
    p.DrawCentred("Menu\\MainBtnI.img", 56, 560);
    p.DrawCentred("Menu\\StartBtnH.img", 743, 560);
}

void ShotPause(Preview& p)
{
    p.Clear(0x7DB357);
    p.DrawAllFrames("Menu\\MainMenuBk.img", 0, 0);
    p.Screen().FillRect(0, 0, 800, 600, {0x000000, 40 / 255.0});
    p.DrawCentred("Menu\\PauseBk.img", 400, 300);
    p.DrawCentred("Menu\\ResumeBtnI.img", 400, 280);
    p.DrawCentred("Menu\\OptionsBtnH.img", 400, 334);
    p.DrawCentred("Menu\\ExitBtnI.img", 400, 388);
}

void ShotHighscores(Preview& p)
{
    p.Clear(0);
    p.DrawAllFrames("Menu\\HighscoresBk.img", 0, 0);
    const char* names[] = {"ANNABEL", "GRANDPA", "MIA", "THEO", "ROSIE", "FINN", "OSKAR", "LOTTE", "JUNE", "BEN"};
    double y = 150;
    double lineH = p.LineHeight("Font16.img");
    for (int i = 0; i < 10; ++i) {
        uint32_t c = i == 2 ? 0xFFFFFC00 : 0xFFFFFFFF;
        p.Text("Font16.img", 75, y, 1, c, std::to_string(i + 1));
        p.Text("Font16.img", 115, y, 1, c, names[i]);
        p.Text("Font16.img", 355, y, 1, c, std::to_string(10000 - i * 1000));
        y += lineH + 10;
    }
    p.DrawCentred("Menu\\MainBtnI.img", 56, 560);
}

void ShotSplash1(Preview& p)
{
    p.Clear(0);
    p.Draw("Halvenport\\splash1.img", 0, 0, 0);
}

void ShotSplash2(Preview& p)
{
    p.Clear(0);
    p.Draw("Halvenport\\splash2.img", 0, 0, 0);
}

void ShotLoading(Preview& p)
{
    p.Clear(0);
    p.DrawAllFrames("Loading.img", 0, 0);
    // The bar itself is drawn cropped to 60 % by the game; here it is whole.
}

void ShotLogo0(Preview& p)
{
    p.Clear(0);
    p.Draw("Logo.img", 0, 400 - 256, 300 - 256);
}

void ShotLogo1(Preview& p)
{
    p.Clear(0);
    p.Draw("Logo.img", 1, 400 - 256, 300 - 256);
}

} // namespace

int RenderPreviewScreens(const std::string& root, const std::string& outDir)
{
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    const Screen screens[] = {
        {"main_menu.png", ShotMain},          {"options.png", ShotOptions},   {"profiles.png", ShotProfiles},
        {"new_profile.png", ShotNewProfile},  {"exit.png", ShotExit},         {"continue.png", ShotContinue},
        {"pause.png", ShotPause},             {"highscores.png", ShotHighscores}, {"levels.png", ShotLevels},
    };
    int count = 0;
    for (const auto& s : screens) {
        Preview p(root);
        s.draw(p);
        if (!p.Save(outDir + "/" + s.file))
            return -1;
        ++count;
    }
    (void)ShotSplash1;
    (void)ShotSplash2;
    (void)ShotLoading;
    (void)ShotLogo0;
    (void)ShotLogo1;
    return count;
}
