#include "datagen/PreviewScreens.h"

#include "datagen/Preview.h"

#include "core/TaggedFile.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

const char* kStd = "FontStd.img";
std::string g_root;

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

void ShotShop(Preview& p)
{
    p.Clear(0x7DB357);
    p.DrawAllFrames("Menu\\MainMenuBk.img", 0, 0);
    p.Draw("BonusBuyBk.img", 0, 12, 28);
    const char* names[] = {"Speed Up", "Time Delay", "Extra Order", "Time Reset", "Supply All"};
    for (int i = 0; i < 5; ++i) {
        double y = 100 + 75 * i;
        p.Text(kStd, 181, y - 12, 1, 0xFFFBEA2A, names[i]);
        p.Text(kStd, 181, y + 9, 1, 0xFFFBC72A, "Price:");
        std::string price = "$" + std::to_string(150 + 50 * i);
        p.Text(kStd, 374 - p.TextWidth(kStd, 1, price), y + 9, 1, 0xFFFBC72A, price);
        p.DrawCentred(i == 1 ? "BuyBtnH.img" : "BuyBtnI.img", 231, y);
    }
    p.Text(kStd, 86, 418, 1, 0xFFFBEA2A, "Your van drives twice as fast for a while.");
    p.Text(kStd, 465, 413, 1, 0xFFFBEA2A, "MONEY:");
    p.Text(kStd, 749 - p.TextWidth(kStd, 1, "$1250"), 413, 1, 0xFFFBEA2A, "$1250");
    p.DrawCentred("DiaryBtnI.img", 668, 476);
}

void ShotReport(Preview& p)
{
    p.Clear(0x7DB357);
    p.DrawAllFrames("Menu\\MainMenuBk.img", 0, 0);
    double x0 = 144, y0 = 44;
    p.Draw("EndLevelBk.img", 0, x0, y0);
    p.Text("FontBig.img", x0 + 84, y0 + 134, 0.63, 0xFFFFB600, "D%75zAILY%100z R%75zEPORT");
    const char* labels[] = {"Daily receipts:", "Extra pay:", "Total receipts:", "Level time:", "Level rating:",
                            "TOTAL SCORE:"};
    const char* values[] = {"$840", "$120", "$960", "4:07", "Great", "5960"};
    const double ys[] = {167, 200, 233, 299, 332, 398};
    for (int i = 0; i < 6; ++i) {
        p.Text(kStd, x0 + 84, y0 + ys[i], 1, 0xFFFBF42A, labels[i]);
        p.Text(kStd, x0 + 386 - p.TextWidth(kStd, 1, values[i]), y0 + ys[i], 1, i == 5 ? 0xFFFF7800 : 0xFFFBF42A,
               values[i]);
    }
    p.DrawCentred("DiaryBtnH.img", 449, 506);
}

void ShotMessage(Preview& p)
{
    p.Clear(0x7DB357);
    p.DrawAllFrames("Menu\\LevelBk.img", 0, 0);
    p.DrawCentred("CongratulationBk.img", 400, 300);
    std::string t = "W%75zELL%100z D%75zONE%100z!";
    double w = p.TextWidth("FontBig.img", 0.6, t);
    double h = p.LineHeight("FontBig.img") * 0.6;
    p.Text("FontBig.img", 400 - w / 2, 300 - h / 2 + h, 0.6, 0xFFFFB600, t);
    // HUD pieces along the bottom.
    for (int i = 0; i < 7; ++i) {
        p.Draw("RatingBk.img", 0, 283 + 48 * i, 535);
        if (i < 4)
            p.Draw("Rating.img", 0, 283 + 48 * i, 534);
    }
    p.Draw("ComboBk.img", 0, 224 - 64 * 0.7, 567 - 32 * 0.7, 1, 0.7);
    p.Number("Hud\\Digits.img", 40, 80, 0xFF000000, "$1250");
    p.Number("Hud\\Digits.img", 40, 110, 0xFFFF3030, "-12:05x");
    p.DrawCentred("Menu\\MainBtnI.img", 743, 560);
    p.DrawCentred("UfoI.img", 120, 200);
    p.DrawCentred("UfoH.img", 680, 160);
    p.DrawCentred("Zzz.img", 600, 420);
    p.DrawCentred("PathMarker.img", 560, 420);
    p.DrawCentred("FlashStar.img", 520, 420);
    p.Draw("MGRangeBk.img", 0, 100, 6);
    p.Draw("MGRange.img", 0, 99.5, 5.5);
    p.DrawCentred("RoadLineBtnI.img", 700, 480);
    p.DrawCentred("RoadLineBtnH.img", 740, 480);
}

struct HelpEntry {
    bool picture;
    float x, y, scale;
    int page;
    std::string value;
};

// Reads the scrambled help file the way the help screen does.
std::vector<HelpEntry> ReadHelp(const std::string& root)
{
    std::vector<HelpEntry> out;
    FILE* f = std::fopen((root + "/Help.txt").c_str(), "rb");
    if (!f)
        return out;
    FileKey key("Help.txt");
    char tag[kValueBufferSize];
    while (ReadQuoted(f, '"', '"', tag, &key) >= 0) {
        bool img = std::string(tag) == "IMG", txt = std::string(tag) == "TXT";
        if (!img && !txt)
            continue;
        HelpEntry e{img, 0, 0, 1, 0, {}};
        int32_t page = 0;
        char value[kValueBufferSize];
        if (!ReadTokenFloat(f, &key, &e.x) || !ReadTokenFloat(f, &key, &e.y) || !ReadTokenInt(f, &key, &page) ||
            !ReadTokenFloat(f, &key, &e.scale) || ReadQuoted(f, '"', '"', value, &key) < 0)
            break;
        e.page = page;
        e.value = value;
        out.push_back(e);
    }
    std::fclose(f);
    return out;
}

int g_helpPage = 0;

void ShotHelp(Preview& p)
{
    p.Clear(0);
    p.DrawAllFrames("Menu\\HelpBk.img", 0, 0);
    for (const auto& e : ReadHelp(g_root))
        if (e.picture && (e.page == g_helpPage || e.page == -1))
            p.Draw(e.value, 0, e.x, e.y, 1, e.scale);
    for (const auto& e : ReadHelp(g_root))
        if (!e.picture && (e.page == g_helpPage || e.page == -1))
            p.Text(kStd, e.x, e.y, e.scale, 0xFFFFFFFF, e.value);
    p.DrawCentred("Menu\\MainBtnI.img", 56, 560);
    p.DrawCentred("Menu\\LeftArrowBtnI.img", 160, 561);
    p.DrawCentred("Menu\\RightArrowBtnH.img", 231, 561);
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
        {"shop.png", ShotShop}, {"report.png", ShotReport}, {"message_hud.png", ShotMessage},
        {"splash1.png", ShotSplash1}, {"splash2.png", ShotSplash2}, {"loading.png", ShotLoading},
        {"logo0.png", ShotLogo0}, {"logo1.png", ShotLogo1},
    };
    int count = 0;
    g_root = root;
    for (g_helpPage = 0; g_helpPage < 8; ++g_helpPage) {
        Preview p(root);
        ShotHelp(p);
        if (!p.Save(outDir + "/help" + std::to_string(g_helpPage + 1) + ".png"))
            return -1;
        ++count;
    }
    for (const auto& s : screens) {
        Preview p(root);
        s.draw(p);
        if (!p.Save(outDir + "/" + s.file))
            return -1;
        ++count;
    }
    int town = RenderTownSheets(root, outDir);
    return town < 0 ? -1 : count + town;
}
