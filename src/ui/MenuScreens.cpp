#include "ui/MenuScreens.h"

#include "core/TaggedFile.h"
#include "gfx/GMImage.h"
#include "platform/DisplayDevice.h"
#include "player/GMHighscoreTable.h"
#include "player/GMProfile.h"
#include "player/GMProfileList.h"
#include "ui/HelpPages.h"
#include "ui/Widgets.h"
#include "world/GMInteractiveObj.h"
#include "world/GMObjectArray.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

constexpr uint32_t kOrange = 0xFFFFB600;
constexpr uint32_t kOrangeOverlay = 0x60FFB600;
constexpr uint32_t kVersionGrey = 0xFF808080;
constexpr uint32_t kLevelNumberHighlight = 0xFFFEEEAF;

void SetProgress(MenuContext& ctx, float value)
{
    if (ctx.progress)
        *ctx.progress = value;
}

// Fills an image slot with a template, creating the image when the slot is empty.
int32_t LoadSlot(MenuContext& ctx, GMImage*& slot, const char* file)
{
    if (!slot) {
        slot = new (std::nothrow) GMImage;
        if (!slot)
            return kWidgetNotCreated;
    }
    return slot->LoadTemplate(file, ctx.manager, ctx.device) == 0 ? kWidgetOk : kWidgetPictureFailed;
}

// A menu button from the I/H picture pair of `stem`.
int32_t Button(MenuContext& ctx, const char* stem, float x, float y, int32_t id, GMInteractiveObj** out = nullptr)
{
    std::string idle = std::string(stem) + "I.img";
    std::string hover = std::string(stem) + "H.img";
    return CreateMenuButton(ctx.widgets, idle.c_str(), hover.c_str(), x, y, id, ctx.manager, ctx.device, out);
}

void SetLinearFilter(DisplayDevice* device, bool linear)
{
    if (!device)
        return;
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
}

float TextWidth(GMImage* font, const char* text, float scale = 1.0f, float* lineHeight = nullptr)
{
    float width = 0.0f;
    font->DrawText(0.0f, 0.0f, 0.0f, scale, 0, text, nullptr, &width, nullptr, lineHeight);
    return width;
}

void DrawCentredText(GMImage* font, float centreX, float baseline, uint32_t colour, const char* text,
                     DisplayDevice* device)
{
    font->DrawText(centreX - TextWidth(font, text) / 2, baseline, 0.0f, 1.0f, colour, text, device);
}

void DrawBackground(MenuContext& ctx)
{
    if (ctx.background)
        ctx.background->DrawAllFrames(0.0f, 0.0f, ctx.device);
}

}  // namespace

int32_t VolumeDigit(float volume)
{
    return static_cast<int32_t>(volume * 10.0f + 0.02f);
}

int32_t LevelNumber(const char* levelFile)
{
    if (!levelFile)
        return 0;
    return static_cast<int32_t>(std::strtol(FindFirstDigit(levelFile), nullptr, 10));
}

GMInteractiveObj* FindWidget(GMObjectArray* list, int32_t commandId)
{
    if (!list)
        return nullptr;
    int32_t cursor = -1;
    while (auto* obj = static_cast<GMObject*>(list->GetNext(cursor))) {
        if (obj->GetMark() == commandId)
            return AsInteractive(obj);
    }
    return nullptr;
}

void DiscardMenuInterface(MenuContext& ctx)
{
    SafeRelease(ctx.selectedLevel);
    if (ctx.widgets)
        ctx.widgets->ReleaseItems();
    SafeRelease(ctx.background);
    SafeRelease(ctx.font);
}

// ---- builders ----

int32_t BuildMainMenu(MenuContext& ctx)
{
    int32_t r;
    if ((r = LoadSlot(ctx, ctx.background, "Menu\\MainMenuBk.img")) != 0)
        return r;
    if ((r = LoadSlot(ctx, ctx.font, "FontStd.img")) != 0)
        return r;
    if ((r = Button(ctx, "Menu\\PlayBtn", 616.0f, 300.0f, kCmdPlay)) != 0 ||
        (r = Button(ctx, "Menu\\HighBtn", 616.0f, 350.0f, kCmdHighscores)) != 0 ||
        (r = Button(ctx, "Menu\\HelpBtn", 616.0f, 400.0f, kCmdHelp)) != 0 ||
        (r = Button(ctx, "Menu\\OptionsBtn", 616.0f, 450.0f, kCmdOptions)) != 0 ||
        (r = Button(ctx, "Menu\\ExitBtn", 616.0f, 500.0f, kCmdExit)) != 0 ||
        (r = Button(ctx, "Menu\\ProfileMenuBtn", 616.0f, 249.0f, kCmdProfiles)) != 0)
        return r;
    // The portal logo and the footer are optional: without their pictures the
    // menu simply goes without them.
    r = CreateMenuButton(ctx.widgets, "Halvenport\\logo_na.img", "Halvenport\\logo_a.img", 109.3f, 540.3f, kCmdPortal,
                         ctx.manager, ctx.device);
    if (r != 0 && r != kWidgetPictureFailed)
        return r;
    r = CreateMenuButton(ctx.widgets, "Halvenport\\copyright.img", "Halvenport\\copyright.img", 261.0f, 595.0f, 0,
                         ctx.manager, ctx.device);
    if (r != 0 && r != kWidgetPictureFailed)
        return r;
    return kWidgetOk;
}

int32_t BuildNewGameQuestion(MenuContext& ctx)
{
    int32_t r;
    if ((r = CreateDialogWindow(ctx.widgets, "Menu\\ContinueWindow.img", kCmdContinueWindow, ctx.manager,
                                ctx.device)) != 0 ||
        (r = Button(ctx, "Menu\\ContinueBtn", 400.0f, 370.0f, kCmdContinue)) != 0 ||
        (r = Button(ctx, "Menu\\NewGameBtn", 400.0f, 420.0f, kCmdNewGame)) != 0)
        return r;
    SetDialogGroup(kDialogOpen, ctx.widgets, kGroupContinue);
    return kWidgetOk;
}

int32_t BuildHighscores(MenuContext& ctx)
{
    int32_t r;
    if ((r = LoadSlot(ctx, ctx.background, "Menu\\HighscoresBk.img")) != 0)
        return r;
    if ((r = Button(ctx, "Menu\\MainBtn", 56.0f, 560.0f, kCmdMainMenu)) != 0)
        return r;
    SetProgress(ctx, 0.5f);
    SetProgress(ctx, 1.0f);
    return kWidgetOk;
}

int32_t BuildHelp(MenuContext& ctx)
{
    int32_t r;
    if ((r = LoadSlot(ctx, ctx.background, "Menu\\HelpBk.img")) != 0)
        return r;
    SetProgress(ctx, 0.2f);
    if ((r = LoadSlot(ctx, ctx.font, "FontStd.img")) != 0)
        return r;
    SetProgress(ctx, 0.4f);
    if ((r = Button(ctx, "Menu\\MainBtn", 56.0f, 560.0f, kCmdMainMenu)) != 0)
        return r;
    SetProgress(ctx, 0.6f);
    if ((r = Button(ctx, "Menu\\LeftArrowBtn", 160.0f, 561.0f, kCmdHelpPrevious)) != 0)
        return r;
    SetProgress(ctx, 0.8f);
    if ((r = Button(ctx, "Menu\\RightArrowBtn", 231.0f, 561.0f, kCmdHelpNext)) != 0)
        return r;
    SetProgress(ctx, 1.0f);
    if (ctx.help)
        ctx.help->SetFont(ctx.font);
    return kWidgetOk;
}

int32_t BuildOptions(MenuContext& ctx)
{
    int32_t r;
    if ((r = CreateDialogWindow(ctx.widgets, "Menu\\OptionsWindow.img", kCmdOptionsWindow, ctx.manager,
                                ctx.device)) != 0 ||
        (r = Button(ctx, "Menu\\DoneBtn", 400.0f, 354.0f, kCmdOptionsDone)) != 0 ||
        (r = Button(ctx, "Menu\\LeftArrowBtn", 395.0f, 187.0f, kCmdMusicDown)) != 0 ||
        (r = Button(ctx, "Menu\\RightArrowBtn", 499.0f, 187.0f, kCmdMusicUp)) != 0 ||
        (r = Button(ctx, "Menu\\LeftArrowBtn", 395.0f, 242.0f, kCmdEffectsDown)) != 0 ||
        (r = Button(ctx, "Menu\\RightArrowBtn", 499.0f, 242.0f, kCmdEffectsUp)) != 0)
        return r;
    SetProgress(ctx, 0.375f);
    // On an 800 x 600 desktop the game always runs full screen: nothing to switch.
    if (!(ctx.desktopWidth == 800 && ctx.desktopHeight == 600)) {
        bool fullScreen = !ctx.windowed;
        r = Button(ctx, fullScreen ? "Menu\\CheckBtn" : "Menu\\UnCheckBtn", 333.0f, 297.0f, kCmdFullScreen);
        if (r != 0)
            return r;
    }
    if ((r = LoadSlot(ctx, ctx.font, "FontStd.img")) != 0)
        return r;
    SetDialogGroup(kDialogOpen, ctx.widgets, kGroupOptions);
    return kWidgetOk;
}

int32_t BuildExitQuestion(MenuContext& ctx)
{
    int32_t r;
    if ((r = CreateDialogWindow(ctx.widgets, "Menu\\ExitWindow.img", kCmdExitWindow, ctx.manager, ctx.device)) != 0 ||
        (r = Button(ctx, "Menu\\NoBtn", 322.0f, 336.0f, kCmdExitNo)) != 0 ||
        (r = Button(ctx, "Menu\\YesBtn", 522.0f, 336.0f, kCmdQuit)) != 0)
        return r;
    SetDialogGroup(kDialogOpen, ctx.widgets, kGroupExit);
    return kWidgetOk;
}

int32_t BuildProfiles(MenuContext& ctx)
{
    int32_t r;
    if ((r = CreateDialogWindow(ctx.widgets, "Menu\\ProfileWindow.img", kCmdProfilesWindow, ctx.manager,
                                ctx.device)) != 0)
        return r;
    const float rowY[5] = {229.0f, 284.0f, 339.0f, 394.0f, 449.0f};
    for (int32_t row = 0; row < 5; ++row) {
        if ((r = Button(ctx, "Menu\\ProfileBtn", 400.0f, rowY[row], kCmdProfileRow0 + row)) != 0)
            return r;
    }
    if ((r = Button(ctx, "Menu\\DoneBtn", 553.0f, 509.0f, kCmdProfilesDone)) != 0 ||
        (r = Button(ctx, "Menu\\ProfileDeleteBtn", 262.0f, 509.0f, kCmdProfileDelete)) != 0 ||
        (r = Button(ctx, "Menu\\ProfileCreateBtn", 400.0f, 183.0f, kCmdProfileCreate)) != 0 ||
        (r = Button(ctx, "Menu\\DownArrowBtn", 590.0f, 451.0f, kCmdProfileScrollDown)) != 0 ||
        (r = Button(ctx, "Menu\\UpArrowBtn", 590.0f, 227.0f, kCmdProfileScrollUp)) != 0)
        return r;
    SetDialogGroup(kDialogOpen, ctx.widgets, kGroupProfiles);
    return kWidgetOk;
}

int32_t BuildNewProfile(MenuContext& ctx)
{
    int32_t r;
    if ((r = CreateDialogWindow(ctx.widgets, "Menu\\NewProfWindow.img", kCmdNewProfileWindow, ctx.manager,
                                ctx.device)) != 0)
        return r;
    // The very first player has no profile to go back to.
    bool hasProfile = ctx.profile && ctx.profile->GetFileName();
    if (hasProfile && (r = Button(ctx, "Menu\\CancelBtn", 342.0f, 333.0f, kCmdNewProfileCancel)) != 0)
        return r;
    if ((r = Button(ctx, "Menu\\OkBtn", 503.0f, 333.0f, kCmdNewProfileOk)) != 0)
        return r;
    if ((r = LoadSlot(ctx, ctx.font, "FontStd.img")) != 0)
        return r;
    SetDialogGroup(kDialogOpen, ctx.widgets, kGroupNewProfile);
    return kWidgetOk;
}

int32_t BuildSelectLevel(MenuContext& ctx)
{
    int32_t r;
    if ((r = LoadSlot(ctx, ctx.background, "Menu\\LevelBk.img")) != 0)
        return r;
    if ((r = LoadSlot(ctx, ctx.font, "FontStd.img")) != 0)
        return r;
    SafeRelease(ctx.selectedLevel);

    int32_t levels = ctx.profile ? ctx.profile->GetLevelCount() : 0;
    int32_t made = 0;
    int32_t best = 0;
    for (int32_t k = 0; k < levels; ++k) {
        const char* file = ctx.profile->GetLevel(k);
        if (!file)
            continue;
        std::string stem = std::string("Levels\\") + file;
        if (const char* dot = FindExtension(file))
            stem.resize(stem.size() - std::string(dot).size());
        GMInteractiveObj* button = nullptr;
        r = Button(ctx, stem.c_str(), 0.0f, 0.0f, -(k + 1), &button);
        if (r == kWidgetPictureFailed)
            continue;
        if (r != 0)
            return r;
        SetProgress(ctx, 0.8f * static_cast<float>(k + 1) / static_cast<float>(levels));
        // The highest level is preselected (the later one of equal numbers);
        // a single level selects nothing, so play starts at once.
        int32_t number = LevelNumber(file);
        if (made == 0 || number >= best) {
            best = number;
            ReplaceObject(ctx.selectedLevel, button);
        }
        ++made;
    }
    if (made < 2)
        SafeRelease(ctx.selectedLevel);
    if (ctx.selectedLevel)
        ctx.selectedLevel->SetHighlight(true);
    SetProgress(ctx, 0.8f);
    if ((r = Button(ctx, "Menu\\MainBtn", 56.0f, 560.0f, kCmdMainMenu)) != 0 ||
        (r = Button(ctx, "Menu\\StartBtn", 743.0f, 560.0f, kCmdStartLevel)) != 0)
        return r;
    SetProgress(ctx, 1.0f);
    return kWidgetOk;
}

int32_t BuildPause(MenuContext& ctx)
{
    int32_t r;
    if ((r = CreateMenuButton(ctx.widgets, "Menu\\PauseBk.img", "Menu\\PauseBk.img", 400.0f, 300.0f, 0, ctx.manager,
                              ctx.device)) != 0 ||
        (r = Button(ctx, "Menu\\ResumeBtn", 400.0f, 280.0f, kCmdResume)) != 0 ||
        (r = Button(ctx, "Menu\\OptionsBtn", 400.0f, 334.0f, kCmdOptions)) != 0 ||
        (r = Button(ctx, "Menu\\ExitBtn", 400.0f, 388.0f, kCmdMainMenu)) != 0)
        return r;
    return kWidgetOk;
}

// ---- draw handlers ----

void DrawMainMenu(MenuContext& ctx)
{
    DisplayDevice* device = ctx.device;
    DrawBackground(ctx);
    const char* name = ctx.profile ? ctx.profile->GetDisplayName() : nullptr;
    if (name && ctx.font) {
        float x = 616.0f - TextWidth(ctx.font, name) / 2;
        // A flat orange silhouette of the glyphs, then the glyphs tinted over it.
        if (device)
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        ctx.font->DrawText(x, 230.0f, 0.0f, 1.0f, kOrange, name, device);
        if (device)
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        ctx.font->DrawText(x, 230.0f, 0.0f, 1.0f, kOrangeOverlay, name, device);
    }
    DrawScreenObjects(ctx.widgets, device);
    if (ctx.font && ctx.versionText && *ctx.versionText) {
        SetLinearFilter(device, true);
        ctx.font->DrawText(725.5f, 598.5f, 0.0f, 0.7f, kVersionGrey, ctx.versionText, device);
        SetLinearFilter(device, false);
    }
}

void DrawProfilesScreen(MenuContext& ctx)
{
    DrawMainMenu(ctx);
    if (ctx.profileList)
        ctx.profileList->DrawProfileList(ctx.device);
}

void DrawNewProfile(MenuContext& ctx, uint32_t systemMs)
{
    if (ctx.profileList && ctx.profileList->GetCount() > 1)
        DrawProfilesScreen(ctx);
    else
        DrawMainMenu(ctx);
    if (ctx.widgets) {
        int32_t cursor = -1;
        while (auto* obj = static_cast<GMObject*>(ctx.widgets->GetNext(cursor))) {
            if (obj->GetMark() >= kCmdNewProfileWindow && obj->GetMark() <= kCmdNewProfileOk)
                obj->Draw(0.0f, 0.0f, ctx.device);
        }
    }
    DrawTextEntry(ctx.font, ctx.typedName, systemMs, ctx.device);
}

void DrawOptions(MenuContext& ctx, bool overPause)
{
    if (overPause)
        DrawPause(ctx);
    else
        DrawMainMenu(ctx);
    if (!ctx.font)
        return;
    char digit[16];
    std::snprintf(digit, sizeof digit, "%d", VolumeDigit(ctx.musicVolume));
    DrawCentredText(ctx.font, 445.0f, 195.0f, kOrange, digit, ctx.device);
    std::snprintf(digit, sizeof digit, "%d", VolumeDigit(ctx.effectsVolume));
    DrawCentredText(ctx.font, 445.0f, 249.0f, kOrange, digit, ctx.device);
    ctx.font->DrawText(295.0f, 195.0f, 0.0f, 1.0f, kOrange, "Music", ctx.device);
    ctx.font->DrawText(295.0f, 249.0f, 0.0f, 1.0f, kOrange, "Sound", ctx.device);
    if (FindWidget(ctx.widgets, kCmdFullScreen))
        ctx.font->DrawText(353.0f, 303.0f, 0.0f, 1.0f, kOrange, "Fullscreen", ctx.device);
}

void DrawHighscoresScreen(MenuContext& ctx)
{
    DrawBackground(ctx);
    DrawScreenObjects(ctx.widgets, ctx.device);
    if (ctx.highscores)
        ctx.highscores->DrawHighscores(ctx.device);
}

void DrawHelpScreen(MenuContext& ctx)
{
    DrawBackground(ctx);
    if (ctx.help)
        ctx.help->Draw(0.0f, 0.0f, ctx.device);
    DrawScreenObjects(ctx.widgets, ctx.device);
}

void DrawSelectLevel(MenuContext& ctx)
{
    DrawBackground(ctx);
    if (!ctx.widgets)
        return;
    int32_t cursor = -1;
    while (auto* obj = static_cast<GMObject*>(ctx.widgets->GetNext(cursor))) {
        obj->Draw(0.0f, 0.0f, ctx.device);
        GMInteractiveObj* button = AsInteractive(obj);
        if (!button || obj->GetMark() >= 0 || !ctx.font || !ctx.profile)
            continue;
        char number[16];
        std::snprintf(number, sizeof number, "%d", LevelNumber(ctx.profile->GetLevel(-obj->GetMark() - 1)));
        float glyphHeight = 0.0f;
        float width = TextWidth(ctx.font, number, 1.0f, &glyphHeight);
        GMImage& shown = button->GetImage(button->IsHighlighted() ? 0 : 1);
        float x = button->GetX() + shown.GetOffsetX() - width / 2;
        float y = button->GetY() + shown.GetOffsetY() + glyphHeight / 2;
        uint32_t colour = button->IsHighlighted() ? kLevelNumberHighlight : kOrange;
        ctx.font->DrawText(x, y, 0.0f, 1.0f, colour, number, ctx.device);
    }
}

void DrawPause(MenuContext& ctx)
{
    if (ctx.drawLevel && ctx.levelContext)
        ctx.drawLevel(ctx.levelContext, ctx.device);
    DrawFade(ctx.device, 40.0f);
    DrawBackground(ctx);
    DrawScreenObjects(ctx.widgets, ctx.device);
}

// ---- profile dialog and level selection input ----

void ProfileDialogBeforeInput(MenuContext& ctx)
{
    int32_t count = ctx.profileList ? ctx.profileList->GetCount() : 0;
    for (int32_t row = 0; row < 5; ++row) {
        if (GMInteractiveObj* w = FindWidget(ctx.widgets, kCmdProfileRow0 + row))
            w->SetEnabled(row < count);
    }
}

void ProfileDialogAfterInput(MenuContext& ctx, float x, float y, int32_t clickFlags)
{
    int32_t selectedRow = -1;
    if (ctx.profileList && ctx.profileList->GetSelected() >= 0)
        selectedRow = ctx.profileList->GetSelected() - ctx.profileList->GetFirstVisible();
    for (int32_t row = 0; row < 5; ++row) {
        GMInteractiveObj* w = FindWidget(ctx.widgets, kCmdProfileRow0 + row);
        if (!w)
            continue;
        if (row == selectedRow)
            w->SetHighlight(true);
        w->SetEnabled(true);
    }
    if (ctx.profileList)
        ctx.profileList->HandleScrollBar(x, y, clickFlags);
}

bool DeleteSelectedProfile(MenuContext& ctx)
{
    // Only a chosen profile is deleted, and never the last one.
    if (!ctx.profileList || ctx.profileList->GetCount() < 2 || ctx.profileList->GetSelected() < 0)
        return false;
    ctx.profileList->DeleteProfileEntry(ctx.profileList->GetSelected(), true);
    return true;
}

void CloseNewProfileDialog(MenuContext& ctx)
{
    SetDialogGroup(kDialogClose, ctx.widgets, kGroupNewProfile);
    SetDialogGroup(kDialogClose, ctx.widgets, kGroupProfiles);
}

bool SelectLevelButton(MenuContext& ctx, int32_t commandId)
{
    if (ctx.selectedLevel && ctx.selectedLevel->GetMark() == commandId) {
        ctx.selectedLevel->SetHighlight(true);
        return true;
    }
    GMInteractiveObj* button = commandId < 0 ? FindWidget(ctx.widgets, commandId) : nullptr;
    if (!button)
        return false;
    if (ctx.selectedLevel)
        ctx.selectedLevel->SetHighlight(false);
    ReplaceObject(ctx.selectedLevel, button);
    button->SetHighlight(true);
    return true;
}

// ---- profile steps of the mode switch ----

int32_t EnterProfileDialog(MenuContext& ctx)
{
    int32_t r = BuildProfiles(ctx);
    if (r != 0 || !ctx.profileList)
        return r;
    r = ctx.profileList->FillProfileList(ctx.profile ? ctx.profile->GetFileName() : nullptr, "Menu\\ScrollThumb.img",
                                         ctx.manager, ctx.device);
    ctx.profileList->SetTextLayout(244.0f, 237.0f, 0.0f, 55.0f);
    ctx.profileList->SetScrollBar(590.0f, 258.0f, 590.0f, 419.0f);
    return r;
}

int32_t EnterNewProfileDialog(MenuContext& ctx, bool fromProfiles, int32_t* newEntryIndex)
{
    if (newEntryIndex)
        *newEntryIndex = -1;
    if (!fromProfiles && ctx.profileList)
        ctx.profileList->ClearList();
    int32_t r = BuildNewProfile(ctx);
    if (r != 0 || !ctx.profileList)
        return r;
    if (!ctx.profileList->AddBlankEntry(false))
        return kWidgetNotCreated;
    if (newEntryIndex)
        *newEntryIndex = ctx.profileList->GetCount() - 1;
    ctx.profileList->Select(-1);
    return kWidgetOk;
}

void LeaveNewProfileDialog(MenuContext& ctx, int32_t newEntryIndex, const char* typedName)
{
    if (typedName && *typedName && ctx.profileList) {
        ctx.profileList->Select(newEntryIndex);
        ctx.profileList->SetSelectedName(typedName);
        ctx.profileList->CreateProfileFile(ctx.profileList->GetSelected());
        ctx.profileList->LoadSelectedProfile(ctx.profile);
    }
    CloseNewProfileDialog(ctx);
}

void LeaveProfileDialog(MenuContext& ctx)
{
    if (!ctx.profileList)
        return;
    ctx.profileList->Select(ctx.profileList->GetSelected());
    ctx.profileList->LoadSelectedProfile(ctx.profile);
    ctx.profileList->ClearList();
}
