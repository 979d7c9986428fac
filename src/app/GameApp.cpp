#include "app/GameApp.h"

#include "app/GameBot.h"
#include "app/GameDirectories.h"
#include "app/InputRecorder.h"
#include "app/LevelTryout.h"
#include "app/ScriptRunner.h"
#include "app/ShutdownSave.h"
#include "app/SplashPages.h"
#include "app/StartupFailure.h"
#include "core/DataDirectories.h"
#include "core/FileSys.h"
#include "core/Log.h"
#include "core/TaggedFile.h"
#include "core/Version.h"
#include "gfx/DisplayDevice.h"
#include "gfx/Filtering.h"
#include "gfx/GMImage.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/PreloadList.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Messages.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "player/GMPlayerStore.h"
#include "ui/Widgets.h"
#include "world/GMInteractiveObj.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <new>
#include <unistd.h>

namespace {

// The sounds loaded at start-up, in order, with the loading bar's progress
// after each (negative: unchanged) and whether the screen is redrawn before it.
struct StartupSound {
    const char* file;
    uint8_t group;
    uint32_t flags;
    bool silent;
    float progressAfter;
    bool redrawBefore;
};

constexpr uint32_t kVolumeControl = 128;
constexpr uint32_t kStaticBuffer = 130;
constexpr uint32_t kDeferred = 0x40080;

const StartupSound kStartupSounds[] = {
    {"sfx\\ButtonHover.ogg", kGroupInterface, kVolumeControl, false, 0.902f, true},
    {"sfx\\ButtonClick.ogg", kGroupInterface, kVolumeControl, false, 0.904f, false},
    {"sfx\\MGBtnHover.ogg", kGroupEffects, kVolumeControl, false, -1.0f, false},
    {"sfx\\JobPerfect.ogg", kGroupEffects, kVolumeControl, false, 0.906f, false},
    {"sfx\\JobGood.ogg", kGroupEffects, kVolumeControl, false, 0.908f, false},
    {"sfx\\JobTerrible.ogg", kGroupEffects, kVolumeControl, false, 0.91f, true},
    {"sfx\\Combo1.ogg", kGroupEffects, kVolumeControl, false, -1.0f, false},
    {"sfx\\Combo2.ogg", kGroupEffects, kVolumeControl, false, -1.0f, false},
    {"sfx\\Combo3.ogg", kGroupEffects, kVolumeControl, false, 0.912f, false},
    {"sfx\\Police.ogg", kGroupEffects, kVolumeControl, false, 0.914f, false},
    {"sfx\\Thief.ogg", kGroupEffects, kDeferred, false, 0.916f, false},
    {"sfx\\ThiefCatch.ogg", kGroupEffects, kDeferred, false, 0.918f, true},
    {"sfx\\Mayor.ogg", kGroupEffects, kDeferred, false, 0.92f, false},
    {"sfx\\TVReporter.ogg", kGroupEffects, kDeferred, false, 0.922f, false},
    {"sfx\\Cafe.ogg", kGroupEffects, kDeferred, false, 0.924f, false},
    {"sfx\\MayorShow.ogg", kGroupEffects, kDeferred, false, -1.0f, true},
    {"sfx\\TVShow.ogg", kGroupEffects, kDeferred, false, -1.0f, false},
    {"sfx\\CafeShow.ogg", kGroupEffects, kDeferred, false, 0.926f, false},
    {"sfx\\ThiefShow.ogg", kGroupEffects, kDeferred, false, 0.928f, false},
    {"sfx\\OrderShow.ogg", kGroupEffects, kDeferred, false, 0.93f, false},
    {"sfx\\OrderComplete.ogg", kGroupEffects, kDeferred, false, 0.932f, true},
    {"sfx\\OrderFail.ogg", kGroupEffects, kVolumeControl, false, -1.0f, false},
    {"sfx\\OrderWarning.ogg", kGroupEffects, kVolumeControl, false, 0.934f, false},
    {"sfx\\RatingWarning.ogg", kGroupEffects, kVolumeControl, false, 0.936f, false},
    {"sfx\\RatingRise.ogg", kGroupEffects, kVolumeControl, false, 0.938f, false},
    {"sfx\\BonusFreeze.ogg", kGroupEffects, kVolumeControl, false, 0.94f, false},
    {"sfx\\BonusSpeed.ogg", kGroupEffects, kVolumeControl, false, 0.942f, true},
    {"sfx\\BonusSupply.ogg", kGroupEffects, kVolumeControl, false, 0.944f, false},
    {"sfx\\BonusTolerance.ogg", kGroupEffects, kVolumeControl, false, 0.946f, false},
    {"sfx\\BonusEnd.ogg", kGroupEffects, kVolumeControl, false, 0.948f, false},
    {"sfx\\UFOWarning.ogg", kGroupEffects, kVolumeControl, false, 0.95f, false},
    {"sfx\\UFO.ogg", kGroupEffects, kVolumeControl, false, 0.952f, true},
    {"sfx\\UFOClick.ogg", kGroupEffects, kVolumeControl, false, 0.954f, false},
    {"sfx\\MGMotor.ogg", kGroupEffects, kVolumeControl, false, 0.956f, false},
    {"sfx\\MGTurn.ogg", kGroupEffects, kVolumeControl, false, 0.958f, false},
    {"sfx\\mainmenu.ogg", kGroupMusic, kStaticBuffer, true, 0.98f, true},
    {"sfx\\ingame.ogg", kGroupMusic, kStaticBuffer, true, 1.0f, true},
};

// The widget loop's hover and click effects.
class MenuSounds : public WidgetSounds {
public:
    MenuSounds(GMSoundSystem& sound, SoundBuffer* hover, SoundBuffer* click)
        : m_sound(sound), m_hover(hover), m_click(click)
    {
    }
    void PlayHover() override { m_sound.PlayOnce(m_hover); }
    void PlayClick() override { m_sound.PlayOnce(m_click); }

private:
    GMSoundSystem& m_sound;
    SoundBuffer* m_hover;
    SoundBuffer* m_click;
};

void Release(GMImage*& image)
{
    if (image) {
        image->Release();
        image = nullptr;
    }
}

}  // namespace

GameApp::GameApp() = default;

GameApp::~GameApp()
{
    Release(m_logo);
    Release(m_loading);
    DiscardMenuInterface(m_menu);
}

DisplayDevice* GameApp::GetDevice() const
{
    return GetDisplayState().device;
}

// ---- Start-up ---------------------------------------------------------------

int32_t GameApp::RunApplication(const RunOptions& options)
{
    m_options = options;
    std::snprintf(m_versionText, sizeof m_versionText, "ver. %lu.%02lu", BRIMVALE_VERSION_MAJOR,
                  BRIMVALE_VERSION_MINOR);
    uint32_t savedSmoothing = GetFontSmoothing();
    SetFontSmoothing(1);

    if (!StartPlatform()) {
        ShowMessageBox(nullptr, "Can't create game windows", "Creation Error", MB_ICONERROR);
        return 1;
    }
    m_gameCursor = Cursor::Load(IDC_GAME_CURSOR);
    m_secondCursor = Cursor::Load(IDC_SECOND_CURSOR);
    m_widgets.Reserve(10);

    if (!m_options.tryPath.empty())
        m_tryout = std::make_unique<LevelTryout>(m_options.tryPath);
    if (!EnterDataDirectory()) {
        ReportFatalError("Data Error", "Data Directory Not Found\n" + MissingPathAdvice(MissingDataDirectory()),
                         "Error.log");
        StopPlatform();
        return 1;
    }
    if (!m_options.headless && PlatformShowsNothing()) {
        ReportFatalError("Display Error", NoDisplayText(), "..\\Error.log");
        StopPlatform();
        return 1;
    }
    if (!m_options.scriptPath.empty()) {
        m_script = std::make_unique<ScriptRunner>();
        if (!m_script->Load(m_options.scriptPath.c_str(), m_options.stepMs, m_options.shotsDir)) {
            StopPlatform();
            return 1;
        }
        std::string why;
        const std::string here = InputRecorder::DigestStart(m_options.scriptPath);
        if (!InputRecorder::MatchesStart(m_script->DataDigest(), here, &why)) {
            std::fprintf(stderr, "brimvale: %s: %s\n", m_options.scriptPath.c_str(), why.c_str());
            StopPlatform();
            return 1;
        }
        if (m_script->Seed() >= 0)
            m_options.seed = m_script->Seed();  // a recording's own
    } else if (m_options.bot) {
        BotOptions bot;
        bot.levels = m_options.botLevels;
        bot.repeat = m_options.botRepeat > 0 ? m_options.botRepeat : 1;
        bot.careless = m_options.careless;
        bot.stepMs = m_options.stepMs > 0 ? m_options.stepMs : 16;
        bot.seed = static_cast<uint32_t>(m_options.seed >= 0 ? m_options.seed : 1);
        m_bot = std::make_unique<GameBot>(bot);
        m_script = std::make_unique<ScriptRunner>();
        m_script->Begin(bot.stepMs, m_options.shotsDir, m_bot.get());
    }
    // Frames nobody looks at need no drawing: a bot run draws only its shots.
    if (m_script && (m_options.draw == 0 || (m_options.draw < 0 && m_bot)))
        m_script->SetDrawing(false);
    if (!m_options.recordPath.empty()) {
        // A recording replays only with the day's random numbers fixed: a run
        // without a seed of its own gets one from the clock, as a day would.
        if (m_options.seed < 0) {
            std::time_t t = std::time(nullptr);
            std::tm utc{};
            gmtime_r(&t, &utc);
            m_options.seed = utc.tm_hour + utc.tm_min + utc.tm_sec;
        }
        m_recorder = std::make_unique<InputRecorder>();
        uint32_t step = m_script ? m_script->Step() : 16;
        if (!m_recorder->Open(m_options.recordPath, static_cast<uint32_t>(m_options.seed), step,
                              InputRecorder::DigestStart(m_options.recordPath))) {
            std::fprintf(stderr, "brimvale: cannot write the recording \"%s\"\n", m_options.recordPath.c_str());
            StopPlatform();
            return 1;
        }
    }

    m_sound.SetFloor(-5000);
    m_active = false;
    m_modes.RequestResetTiming();
    m_settings.windowed = false;
    m_desktopMatches = false;
    GetDisplayState().deviceReady = false;

    GMPlayerStore::ResetNotices();
    if (ReadSettings("option.cfg", &m_settings) && !m_settings.profileFile.empty())
        m_profile.OpenProfile(m_settings.profileFile.c_str());
    // The player's own setting is what "option.cfg" keeps; --windowed and
    // --fullscreen choose for this run only.
    m_savedWindowed = m_settings.windowed;
    if (m_options.windowOverride >= 0)
        m_settings.windowed = m_options.windowOverride != 0;
    // Said once, at once: in a folder that cannot be written nothing is kept.
    GMPlayerStore::CheckFolderWritable(PlayerFilesDirectory().c_str());

    if (!CreateGameWindow(false)) {
        ReportFatalError("Creation Error",
                         "Can't create game windows\nThe desktop must be at least 800 x 600 at 32 bits a pixel.",
                         "..\\Error.log");
        StopPlatform();
        return 1;
    }
    m_window->SetClassCursor(m_gameCursor);

    DisplayState& display = GetDisplayState();
    display.window = m_window;
    display.windowed = m_settings.windowed;
    display.displayWidth = 800;
    display.displayHeight = 600;
    display.displayBits = 32;
    SetRestoreImagesHandler(&GMImageManager::RestoreImages, &m_images);
    if (CreateDisplayDevice(false) != 0) {
        SaveSettings();
        SetFontSmoothing(savedSmoothing);
        Shutdown();
        ReportFatalError("Creation Error",
                         "Can't initialize DirectDraw\nNo renderer could draw in the window; \"direct.log\" says "
                         "which step failed.",
                         "..\\Error.log");
        StopPlatform();
        return 1;
    }
    // The texture loaders need no library set-up of their own here.

    display.deviceReady = true;
    m_window->Show(SW_SHOW);
    m_window->Update();
    m_window->SetForeground();

    m_sound.CreateSoundDevice(m_window);
    ApplyVolumes();

    ShowSplashPages(
        GetDevice(), &m_images, [this] { EndScene(); },
        [this](int page) {
            if (m_script && m_script->ShotsEnabled())
                RequestShot(m_script->ShotPath(page == 1 ? "startup-splash1" : "startup-splash2"));
        });
    LoadStartupData();

    m_modes.SetTransition(1);
    if (m_tryout)
        m_tryout->Start(*this);
    else
        SetGameMode(kModeLogo);
    m_window->Show(SW_SHOW);
    int32_t quitCode = MainLoop();
    SaveWhatWasShown(m_modes.GetCurrentMode(), m_levelRun.get());
    if (m_recorder)
        m_recorder->Close(m_frames);
    if (!m_options.statePath.empty())
        WriteFinalState();

    SaveSettings();
    SetFontSmoothing(savedSmoothing);
    Shutdown();
    delete m_window;
    m_window = nullptr;
    display.window = nullptr;
    if (quitCode != 0)
        ReportFatalError("Error", "Application rise error.\nContact your technical support" +
                                      (LastFatalError().empty() ? std::string() : "\n" + LastFatalError()),
                         nullptr);
    OpenLink("..\\play.url");

    bool scriptFailed = m_script && !m_script->Succeeded();
    if (m_script)
        m_script->Report(quitCode);
    StopPlatform();
    if (m_bot) {
        m_bot->PrintSummary();
        return m_bot->ExitStatus(quitCode != 0 || scriptFailed);
    }
    if (quitCode != 0 || scriptFailed)
        return 1;
    // A scripted run answers for its expectations alone.
    return !m_script && m_tryout && m_tryout->Failed() ? 1 : 0;
}

bool GameApp::EnterDataDirectory()
{
    if (!EnterGameDirectories() || (m_tryout && !m_tryout->UseScratchFiles()))
        return false;
    // Beside "option.cfg": a file the player can find and edit; the game itself
    // never changes it.
    if (!ReadWindowSettings("window.cfg", &m_windowSettings, "..\\Error.log"))
        WriteWindowSettings("window.cfg", m_windowSettings);
    return true;
}

void GameApp::ApplyVolumes()
{
    m_sound.ApplyGroupVolume(m_settings.musicVolume, kGroupMusic);
    m_sound.ApplyGroupVolume(m_settings.effectsVolume, kGroupEffects);
    m_sound.ApplyGroupVolume(m_settings.effectsVolume, kGroupInterface);
    m_sound.SetGroupVolume(m_settings.musicVolume, kGroupMusic);
    m_sound.SetGroupVolume(m_settings.effectsVolume, kGroupEffects);
    m_sound.SetGroupVolume(m_settings.effectsVolume, kGroupInterface);
}

void GameApp::EndScene()
{
    DisplayDevice* device = GetDevice();
    device->EndScene();
    if (!m_pendingShot.empty()) {
        device->SaveBackBufferPng(m_pendingShot.c_str());
        m_pendingShot.clear();
    }
    PresentFrame();
}

void GameApp::SaveSettings()
{
    Settings saved = m_settings;
    saved.windowed = m_savedWindowed;
    saved.profileFile = m_profile.GetFileName() ? m_profile.GetFileName() : "";
    WriteSettings("option.cfg", saved);
}

// The shell's "open" of a link file. A scripted run opens no browser: the
// address is recorded instead.
void GameApp::OpenLink(const char* linkFile)
{
    if (m_script)
        m_script->RecordLink(linkFile);
    else
        OpenLinkFile(linkFile);
}

void GameApp::DrawLoadingScreen(bool first)
{
    DisplayDevice* device = GetDevice();
    if (first)
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    if (m_loading) {
        if (first)
            m_loading->DrawAllFrames(0.0f, 0.0f, device);
        m_loading->SetFrame(m_loading->GetFrameCount() - 1);
        SetLinearFiltering(device, true);
        m_loading->DrawCropped(0.0f, 0.0f, m_loading->GetImageWidth() * m_progress, m_loading->GetTextureHeight(),
                               device);
        SetLinearFiltering(device, false);
    }
    EndScene();
}

void GameApp::LoadStartupData()
{
    DisplayDevice* device = GetDevice();
    m_loading = new (std::nothrow) GMImage;
    if (m_loading && m_loading->LoadTemplate("Loading.img", &m_images, device) == 0)
        m_loading->SetFrame(m_loading->GetFrameCount() - 1);
    m_progress = 0.0f;
    DrawLoadingScreen(true);
    DrawLoadingScreen(true);
    SetCursor(Cursor::Load(IDC_WAIT));

    auto progress = [](float fill, void* context) {
        auto* app = static_cast<GameApp*>(context);
        app->m_progress = fill;
        app->DrawLoadingScreen(false);
    };
    if (PreloadTemplates("preload.cfg", &m_images, device, progress, this) >= 0) {
        if (!m_logo)
            m_logo = new (std::nothrow) GMImage;
        if (m_logo && m_logo->LoadTemplate("Logo.img", &m_images, device) != 0)
            Release(m_logo);

        m_progress = 0.9f;
        DrawLoadingScreen(false);
        for (size_t i = 0; i < sizeof kStartupSounds / sizeof kStartupSounds[0]; ++i) {
            const StartupSound& s = kStartupSounds[i];
            if (s.redrawBefore && i > 0)
                DrawLoadingScreen(false);
            SoundBuffer* sound = m_sound.LoadSound(s.file, s.group, false, s.flags, s.silent);
            if (i == 0)
                m_hoverSound = sound;
            else if (i == 1)
                m_clickSound = sound;
            if (s.progressAfter >= 0.0f)
                m_progress = s.progressAfter;
        }
        DrawLoadingScreen(false);
    }
    if (m_script && m_script->ShotsEnabled()) {
        RequestShot(m_script->ShotPath("startup-loading"));
        DrawLoadingScreen(false);
    }
    if (m_loading) {
        GMImageTemplate* tmpl = m_loading->GetTemplate();
        Release(m_loading);
        if (tmpl) {
            m_images.RemoveTemplate(tmpl);
            tmpl->Release();
        }
    }
}

// ---- Main loop ----------------------------------------------------------------

int32_t GameApp::MainLoop()
{
    Message msg;
    MessageQueue::Peek(&msg, false);
    m_timer.Start(timeGetTime());
    for (;;) {
        if (!m_active) {
            if (MessageQueue::Get(&msg) == 0)
                break;
            if (m_recorder)
                m_recorder->Note(msg, m_frames);
            if (msg.type == WM_NULL) {
                // Nothing can arrive (time stands still): the script brings the
                // window back; without one the game comes back itself rather
                // than wait for nothing.
                if (m_script)
                    m_script->WhileInactive(*this);
                else
                    MessageQueue::Post(m_window, WM_ACTIVATEAPP, 1, 0);
                continue;
            }
            if (FilterMessage(msg))
                WindowProc(msg);
            m_timer.Skip(timeGetTime());
            continue;
        }
        if (MessageQueue::Peek(&msg, true)) {
            if (msg.type == WM_QUIT)
                break;
            if (m_recorder)
                m_recorder->Note(msg, m_frames);
            if (FilterMessage(msg))
                WindowProc(msg);
            continue;
        }
        if (m_script && !m_script->BeforeIdle(*this))
            continue;  // the script queued input: take it before the frame
        float step = 0.0f;
        if (m_timer.Tick(timeGetTime(), m_modes.TakeResetTiming(), &step)) {
            if (m_recorder)
                m_recorder->NoteStep(m_frames, step);
            FrameUpdate(step);
            // The same update either way; only a frame nobody looks at goes undrawn.
            if (!m_script || m_script->WantsDraw() || !m_pendingShot.empty())
                FrameDraw();
            ++m_frames;
            if (m_script)
                m_script->AfterFrame(step);
        } else if (!m_script) {
            // Nothing to do until the next message or the next frame is due.
            MessageQueue::Wait(m_timer.DueIn(timeGetTime()));
        }
    }
    return static_cast<int32_t>(msg.wParam);
}

void GameApp::FrameUpdate(float elapsedMs)
{
    int32_t x = 0, y = 0;
    if (m_window)
        m_window->GetCursorPos(&x, &y);
    m_sound.UpdateSounds(elapsedMs);
    m_notice.Update(elapsedMs);
    std::string notice;
    if (!m_notice.IsShowing() && GMPlayerStore::TakeNotice(&notice)) {
        m_notice.Show(notice);
        if (m_script)
            m_script->NoticeShown(notice);
    }
    uint32_t flags = m_input.ClickFlags();
    m_modes.FrameUpdate(static_cast<float>(x), static_cast<float>(y), &flags, elapsedMs);
    m_input.ClearClicks();
}

void GameApp::FrameDraw()
{
    if (!GetDisplayState().deviceReady)
        return;
    DisplayDevice* device = GetDevice();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    bool fading = m_modes.FrameDraw();
    m_notice.Draw(device, &m_images);
    if (fading)
        DrawFade(device, m_modes.GetFadeLevel());
    EndScene();
}

// The state a run ended in, as text (and, with a shots directory, the last
// frame drawn once more), so two runs can be compared: a replay with its recording.
void GameApp::WriteFinalState()
{
    FILE* f = std::fopen(m_options.statePath.c_str(), "w");
    if (!f) {
        std::fprintf(stderr, "brimvale: cannot write \"%s\"\n", m_options.statePath.c_str());
        return;
    }
    std::fprintf(f, "frames %lld\n", static_cast<long long>(m_frames));
    static const char* const kNames[] = {"mode", "level", "state", "cash", "extra", "rating", "ratio", "points",
                                         "delivered", "orders-left", "orders-total", "elapsed", "score",
                                         "profile-score", "profile-points", "profile-money", "profile-level-index"};
    for (const char* name : kNames) {
        double v = 0.0;
        if (QueryValue(name, &v))
            std::fprintf(f, "%s %.9g\n", name, v);
    }
    std::fclose(f);
    if (m_script && m_script->ShotsEnabled() && GetDisplayState().deviceReady) {
        RequestShot(m_script->ShotPath("last-frame"));
        FrameDraw();
    }
}

void GameApp::Shutdown()
{
    DiscardInterface();
    // Everything that holds pictures lets go before the device goes.
    m_help.Clear();
    m_profileList.ClearList();
    m_highscores.ClearHighscores();
    m_notice.ReleaseFont();
    Release(m_logo);
    Release(m_loading);
    m_images.ReleaseAll();
    ReleaseDisplayDevice(false);
    m_sound.DestroySoundSystem();
}

// ---- Mode switches ------------------------------------------------------------

void GameApp::MenuMusic()
{
    m_sound.ChangeMusic("sfx\\mainmenu.ogg");
}

MenuContext& GameApp::Menu()
{
    m_menu.widgets = &m_widgets;
    m_menu.manager = &m_images;
    m_menu.device = GetDevice();
    m_menu.progress = &m_progress;
    m_menu.profile = &m_profile;
    m_menu.profileList = &m_profileList;
    m_menu.highscores = &m_highscores;
    m_menu.help = &m_help;
    m_menu.desktopWidth = m_desktopWidth;
    m_menu.desktopHeight = m_desktopHeight;
    m_menu.windowed = m_settings.windowed;
    m_menu.musicVolume = m_settings.musicVolume;
    m_menu.effectsVolume = m_settings.effectsVolume;
    m_menu.versionText = m_versionText;
    m_menu.typedName = m_hasTypedName ? m_typedName.c_str() : nullptr;
    // The pause menu lies over the day as it was left.
    m_menu.levelContext = m_levelRun.get();
    m_menu.drawLevel = [](void* run, DisplayDevice* device) { static_cast<GMLevelRun*>(run)->Draw(device); };
    return m_menu;
}

void GameApp::SetTypedName(const char* name)
{
    m_hasTypedName = name != nullptr;
    m_typedName = name ? name : "";
}

void GameApp::SetMenuHandlers(void (*draw)(GameApp& app))
{
    m_modes.SetHandlers([this](float x, float y, uint32_t f, float dt) { return MenuUpdate(x, y, f, dt); },
                        [this, draw] {
                            draw(*this);
                            return 0;
                        });
}

int32_t GameApp::MenuUpdate(float x, float y, uint32_t clickFlags, float elapsedMs)
{
    if (m_menu.background)
        m_menu.background->Advance(elapsedMs);
    return HandleMenuInput(x, y, clickFlags, elapsedMs);
}

int32_t GameApp::SelectLevelUpdate(float x, float y, uint32_t clickFlags, float elapsedMs)
{
    int32_t command = MenuUpdate(x, y, clickFlags, elapsedMs);
    if (command < 0) {
        SelectLevelButton(Menu(), command);
    } else if (command == kCmdStartLevel && m_menu.selectedLevel) {
        int32_t k = -m_menu.selectedLevel->GetMark();
        m_menu.selectedLevel->SetHighlight(true);
        SafeRelease(m_menu.selectedLevel);
        m_profile.ResetProgress();
        if (m_profile.GetFileName())
            m_profile.SaveProfile(m_profile.GetFileName());
        m_profile.SetCurrentLevel(m_profile.GetLevel(k - 1));
        FadeToGameMode(kModeContinueGame);
    }
    return command;
}

int32_t GameApp::ProfilesUpdate(float x, float y, uint32_t clickFlags, float elapsedMs)
{
    ProfileDialogBeforeInput(Menu());
    int32_t command = MenuUpdate(x, y, clickFlags, elapsedMs);
    ProfileDialogAfterInput(Menu(), x, y, static_cast<int32_t>(clickFlags));
    return command;
}

void GameApp::LeaveMode(uint8_t current, uint8_t next)
{
    switch (current) {
    case kModePlaying:
        // Menus over a UFO game show the ordinary pointer.
        if (m_window && m_gameCursor)
            m_window->SetClassCursor(m_gameCursor);
        break;
    case kModeHighscores:
        m_highscores.SaveHighscores("highscores.dat");
        m_highscores.ClearHighscores();
        break;
    case kModeLogo:
        if (next != kModeLogo)
            Release(m_logo);
        break;
    case kModeProfiles:
        if (next != kModeNewProfile)
            LeaveProfileDialog(Menu());
        break;
    case kModeNewProfile:
        LeaveNewProfileDialog(Menu(), m_newEntryIndex, m_hasTypedName ? m_typedName.c_str() : nullptr);
        SetTypedName(nullptr);
        break;
    default:
        break;
    }
}

void GameApp::DiscardInterface()
{
    DiscardMenuInterface(m_menu);
}

EntryOutcome GameApp::EnterMode(uint8_t& mode, uint8_t previous)
{
    auto failed = [](const char* line) { return EntryOutcome{EntryOutcome::Failed, line, 0}; };
    auto switched = [](uint8_t result) { return EntryOutcome{EntryOutcome::Switched, nullptr, result}; };
    ForgetMissingFile();  // a failure below names the file it missed
    switch (mode) {
    case kModeMainMenu:
        StopEffects();
        if (!m_levelRun)
            m_levelRun.reset(new (std::nothrow) GMLevelRun);
        else
            m_levelRun->Reset();
        if (!m_levelRun)
            return failed("Level class not be created");
        if (m_options.seed >= 0)
            m_levelRun->FixSeed(static_cast<uint32_t>(m_options.seed));
        m_levelRun->Initialise();
        MenuMusic();
        if (BuildMainMenu(Menu()) != 0)
            return failed("Can't initialize main menu interface");
        SetMenuHandlers([](GameApp& app) { DrawMainMenu(app.Menu()); });
        if (!m_profile.GetFileName()) {
            m_profileList.FillProfileList(nullptr, "Menu\\ScrollThumb.img", &m_images, GetDevice());
            m_profileList.Select(0);
            if (m_profileList.LoadSelectedProfile(&m_profile) != 0) {
                SetTypedName("Player");
                return switched(m_modes.SetGameMode(kModeNewProfile, 0));
            }
        }
        return {};
    case kModeSelectLevel:
        StopEffects();
        MenuMusic();
        if (BuildSelectLevel(Menu()) != 0)
            return failed("Can't initialize select level interface");
        if (!m_menu.selectedLevel)
            return switched(m_modes.SetGameMode(kModePlaying, 0));
        m_modes.SetHandlers(
            [this](float x, float y, uint32_t f, float dt) { return SelectLevelUpdate(x, y, f, dt); },
            [this] {
                DrawSelectLevel(Menu());
                return 0;
            });
        return {};
    case kModePause:
        PauseEffects(true);
        if (BuildPause(Menu()) != 0)
            return failed("Can't initialize pause interface");
        SetMenuHandlers([](GameApp& app) { DrawPause(app.Menu()); });
        return {};
    case kModeResume:
        PauseEffects(false);
        mode = kModePlaying;
        if (!m_levelRun)
            return failed(nullptr);
        SetPlayingHandlers();  // the day goes on as it was
        return {};
    case kModeContinueGame:
    case kModePlaying: {
        uint8_t requested = mode;
        mode = kModePlaying;
        if (!EnterPlay(requested)) {
            // A level that does not load takes the player back to the menu
            // (the reason is in the error log) instead of ending the game. The
            // menu may still be the current mode, so the way back is posted.
            m_modes.SetHandlers([](float, float, uint32_t, float) { return 0; }, [] { return 0; });
            PostGameMode(kModeMainMenu);
        }
        return {};
    }
    case kModeHighscores:
        StopEffects();
        MenuMusic();
        if (BuildHighscores(Menu()) != 0)
            return failed("Can't initialize highscores interface");
        m_highscores.LoadHighscores("highscores.dat", &m_images, GetDevice());
        if (previous == kModePlaying && m_levelRun) {
            const char* name = m_profile.GetDisplayName();
            m_highscores.InsertHighscore(name ? name : "", m_levelRun->Score());
            m_highscores.SaveHighscores("highscores.dat");  // shown, so kept at once
        }
        SetMenuHandlers([](GameApp& app) { DrawHighscoresScreen(app.Menu()); });
        return {};
    case kModeProfiles:
        StopEffects();
        MenuMusic();
        if (EnterProfileDialog(Menu()) != 0)
            return failed("Can't initialize profile interface");
        m_modes.SetHandlers([this](float x, float y, uint32_t f, float dt) { return ProfilesUpdate(x, y, f, dt); },
                            [this] {
                                DrawProfilesScreen(Menu());
                                return 0;
                            });
        return {};
    case kModeNewProfile:
        StopEffects();
        MenuMusic();
        if (EnterNewProfileDialog(Menu(), previous == kModeProfiles, &m_newEntryIndex) != 0)
            return failed("Can't initialize new profile interface");
        SetMenuHandlers([](GameApp& app) { DrawNewProfile(app.Menu(), timeGetTime()); });
        return {};
    case kModeMenuOptions:
    case kModePauseOptions:
        if (previous == kModePause) {
            mode = kModePauseOptions;
        } else {
            mode = kModeMenuOptions;
            MenuMusic();
        }
        if (BuildOptions(Menu()) != 0)
            return failed(nullptr);
        if (mode == kModePauseOptions)
            SetMenuHandlers([](GameApp& app) { DrawOptions(app.Menu(), true); });
        else
            SetMenuHandlers([](GameApp& app) { DrawOptions(app.Menu(), false); });
        return {};
    case kModeExitQuestion:
        PauseEffects(true);
        if (BuildExitQuestion(Menu()) != 0)
            return switched(m_modes.SetGameMode(kModeQuit, 0));
        SetMenuHandlers([](GameApp& app) { DrawMainMenu(app.Menu()); });
        return {};
    case kModeLogo:
        MenuMusic();
        if (!m_logo)
            return switched(m_modes.SetGameMode(kModeMainMenu, 0));
        m_logo->SetFramePosition(m_logo->GetFramePosition() + m_logo->GetSpeed());
        m_modes.SetHandlers([this](float x, float y, uint32_t f, float dt) { return LogoUpdate(x, y, f, dt); },
                            [this] { return LogoDraw(); });
        return {};
    case kModeNewGameQuestion:
        MenuMusic();
        if (BuildNewGameQuestion(Menu()) != 0)
            return failed("Can't initialize question interface");
        SetMenuHandlers([](GameApp& app) { DrawMainMenu(app.Menu()); });
        return {};
    case kModeHelp:
        StopEffects();
        MenuMusic();
        if (m_help.LoadFromFile("Help.txt", &m_images, GetDevice()) != 0)
            return failed("Can't load help file");
        if (BuildHelp(Menu()) != 0)
            return failed("Can't initialize help interface");
        m_help.SetFont(m_menu.font);
        SetMenuHandlers([](GameApp& app) { DrawHelpScreen(app.Menu()); });
        return {};
    default:
        return {};  // not a mode: the switch retries and gives up
    }
}

void GameApp::PostModeMessage(uint8_t mode)
{
    MessageQueue::Post(m_window, kModeChangeMessage, mode, 0);
}

void GameApp::PostQuit(int32_t code)
{
    MessageQueue::PostQuit(code);
}

void GameApp::WriteErrorLog(const char* text)
{
    std::string line = text ? text : "";
    if (!LastMissingFile().empty())
        line += ": " + MissingPathAdvice(LastMissingFile());
    NoteFatalError(line);
    AppendErrorLog("..\\Error.log", line.c_str());
}

int32_t GameApp::LogoUpdate(float, float, uint32_t clickFlags, float elapsedMs)
{
    if (!m_logo)
        return 0;
    float s = m_logo->GetSpeed();
    float advance = m_modes.GetTransition() != 0 ? 0.0f : elapsedMs;
    if (clickFlags != 0 && s > 0.0f)
        advance = 1.0f / s;
    float before = m_logo->GetFramePosition();
    int32_t page = static_cast<int32_t>(before);
    if (m_logo->Advance(advance)) {
        m_logo->SetFrame(page);
        FadeToGameMode(kModeMainMenu);
    } else if (static_cast<int32_t>(m_logo->GetFramePosition()) != page) {
        // Keep the old page on screen while it fades out; re-entering the mode
        // moves on to the new one.
        m_logo->SetFramePosition(std::floor(m_logo->GetFramePosition()) - s);
        FadeToGameMode(kModeLogo);
    }
    return 0;
}

int32_t GameApp::LogoDraw()
{
    if (m_logo)
        m_logo->Draw(400.0f - m_logo->GetTextureWidth() / 2, 300.0f - m_logo->GetTextureHeight() / 2, GetDevice());
    return 0;
}

// ---- Input --------------------------------------------------------------------

intptr_t GameApp::WindowProc(const Message& msg)
{
    switch (msg.type) {
    case WM_CLOSE:
        MessageQueue::PostQuit(0);
        return 0;
    case WM_ACTIVATEAPP:
        if (msg.wParam) {
            m_active = true;
            if (GetDisplayState().deviceReady)
                OnDisplayActivated();
        } else {
            m_active = false;
            // In a window the game only pauses: on Linux the focus follows the
            // pointer on many desktops, and minimising would fight the player.
            if (m_window && !m_settings.windowed && GetDisplayState().deviceReady)
                OnDisplayDeactivated();
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        uint32_t latch = msg.type == WM_LBUTTONDOWN ? 1 : msg.type == WM_RBUTTONDOWN ? 2 : 4;
        if (m_input.ButtonDown(latch) && m_window)
            m_window->SetCapture();
        break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        uint32_t latch = msg.type == WM_LBUTTONUP ? 1 : msg.type == WM_RBUTTONUP ? 2 : 4;
        if (m_input.ButtonUp(latch))
            Window::ReleaseCapture();
        break;
    }
    default:
        break;
    }
    return DefaultWindowProc(msg);
}

int32_t GameApp::FilterMessage(const Message& msg)
{
    if (msg.type > kModeChangeMessage)
        return 1;
    uint32_t vk = static_cast<uint32_t>(msg.wParam);
    switch (msg.type) {
    case WM_KEYDOWN: {
        uint8_t mode = m_modes.GetCurrentMode();
        if (m_input.KeyDown(vk)) {
            if (vk == VK_ESCAPE) {
                switch (mode) {
                case kModeMainMenu:
                    PostGameMode(kModeExitQuestion);
                    break;
                case kModeSelectLevel:
                case kModeHighscores:
                case kModeHelp:
                    FadeToGameMode(kModeMainMenu);
                    break;
                case kModePause:
                    PostGameMode(kModeResume);
                    break;
                case kModeProfiles:
                case kModeMenuOptions:
                case kModeExitQuestion:
                    PostGameMode(kModeMainMenu);
                    break;
                case kModePauseOptions:
                    PostGameMode(kModePause);
                    break;
                case kModeNewProfile:
                    ProfileCommand(20);  // as the cancel button
                    break;
                case kModePlaying:
                    if (m_levelRun && m_levelRun->GetStateWord() == 0)
                        PostGameMode(kModePause);
                    break;
                default:
                    break;
                }
            } else if (mode == kModeNewProfile && vk == VK_RETURN) {
                ProfileCommand(21);  // as the OK button
            } else if (mode == kModeNewProfile) {
                std::string name = m_typedName;
                if (GMProfileList::EditName(TranslateKey(vk, m_input.IsDown(VK_SHIFT)), name))
                    SetTypedName(name.empty() ? nullptr : name.c_str());
            }
        }
        DeveloperKey(vk);
        if (vk == VK_F5 && mode == kModeHelp) {
            // Reload the help text for whoever is writing it, on the same page.
            int32_t page = m_help.GetPage();
            m_help.LoadFromFile("Help.txt", &m_images, GetDevice());
            m_help.SetPage(page);
            m_help.SetFont(m_menu.font);
        }
        if (vk == VK_F5 && mode == kModePlaying && m_tryout)
            m_tryout->Reload(*this);
        else if (vk == VK_F5 && mode == kModePlaying && m_levelRun)
            m_levelRun->ReloadStory(&m_images, GetDevice());
        return 1;
    }
    case WM_KEYUP:
        m_input.KeyUp(vk);
        return 0;
    case WM_SYSKEYDOWN:
        if (vk == VK_F10 || (vk == VK_F4 && (msg.lParam & (1 << 29))))
            return 0;
        // Alt+Enter does what the options screen's full-screen check box does
        // (once per press, not on key repeat).
        if (vk == VK_RETURN && (msg.lParam & (1 << 29))) {
            if (!(msg.lParam & (1 << 30)) && GetDisplayState().deviceReady)
                ToggleWindowMode(WindowModeCheckBox());
            return 0;
        }
        return 1;
    case WM_SYSKEYUP:
        return 0;
    case kModeChangeMessage:
        SetGameMode(static_cast<uint8_t>(msg.wParam & 0xFF));
        return 0;
    default:
        return 1;
    }
}

int32_t GameApp::HandleMenuInput(float x, float y, uint32_t clickFlags, float elapsedMs)
{
    MenuSounds sounds(m_sound, m_hoverSound, m_clickSound);
    int32_t command =
        UpdateScreenObjects(&m_widgets, x, y, static_cast<int32_t>(clickFlags), elapsedMs, &sounds);
    switch (command) {
    case 1:
        FadeToGameMode(kModeContinueGame);
        break;
    case 2:
        if (m_profile.GetCurrentLevel() && *m_profile.GetCurrentLevel())
            PostGameMode(kModeNewGameQuestion);
        else
            FadeToGameMode(kModeSelectLevel);
        break;
    case 4:
        FadeToGameMode(kModeSelectLevel);
        break;
    case 5:
        FadeToGameMode(kModeHighscores);
        break;
    case 6:
        PostGameMode(kModeExitQuestion);
        break;
    case 36:
        FadeToGameMode(kModeQuit);
        break;
    case 8:
        FadeToGameMode(kModeMainMenu);
        break;
    case 14:
        PostGameMode(kModeProfiles);
        break;
    case 15:
        PostGameMode(kModeResume);
        break;
    case 17:
    case 37:
        PostGameMode(kModeMainMenu);
        break;
    case 18:
        PostGameMode(kModeNewProfile);
        break;
    case 25:
        PostGameMode(kModeMenuOptions);
        break;
    case 27:
        if (m_modes.GetCurrentMode() == kModePauseOptions)
            PostGameMode(kModePause);
        else if (m_modes.GetCurrentMode() == kModeMenuOptions)
            PostGameMode(kModeMainMenu);
        break;
    case 28:
    case 29:
        ChangeMusicVolume(command == 28 ? -0.1f : 0.1f);
        break;
    case 30:
    case 31:
        ChangeEffectsVolume(command == 30 ? -0.1f : 0.1f);
        break;
    case 32:
        ToggleWindowMode(WindowModeCheckBox());
        break;
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
        ProfileCommand(command);
        break;
    case 39:
        FadeToGameMode(kModeHelp);
        break;
    case 40:
        m_help.SetPage(m_help.GetPage() + 1);
        break;
    case 41:
        m_help.SetPage(m_help.GetPage() - 1);
        break;
    case 42:
        m_active = false;
        if (m_window)
            m_window->Show(SW_SHOWMINIMIZED);
        RestoreDisplayMode();
        OpenLink("..\\website.url");
        break;
    default:
        break;
    }
    return command;
}

void GameApp::ProfileCommand(int32_t command)
{
    switch (command) {
    case 20:
        SetTypedName(nullptr);
        [[fallthrough]];
    case 21: {
        const char* name = m_profile.GetDisplayName();
        int32_t found = m_profileList.FindName(name ? name : "");
        if (found < 0 && !m_hasTypedName)
            break;
        if (found >= 0)
            m_profileList.Select(found);
        PostGameMode(m_profile.GetFileName() ? kModeProfiles : kModeMainMenu);
        break;
    }
    case 22:
        m_profileList.ScrollTo(m_profileList.GetFirstVisible() + 1);
        break;
    case 23:
        m_profileList.ScrollTo(m_profileList.GetFirstVisible() - 1);
        break;
    case 24:
        DeleteSelectedProfile(Menu());
        break;
    default:  // rows 9-13
        m_profileList.SelectRow(command - 9);
        break;
    }
}

// ---- Settings, window, volumes ------------------------------------------------

bool GameApp::CreateGameWindow(bool visible)
{
    DisplayMode desktop;
    if (!GetDesktopDisplayMode(&desktop))
        return false;
    m_desktopWidth = desktop.width;
    m_desktopHeight = desktop.height;
    m_desktopMatches = desktop.width == 800 && desktop.height == 600;
    WindowStyle style = WindowStyle::Popup;
    WindowRect rect{0, 0, 800, 600};
    if (m_settings.windowed) {
        if (desktop.bitsPerPixel < 32 || desktop.width < 800 || desktop.height < 600)
            return false;
        if (desktop.width == 800 || desktop.height == 600) {
            if (m_desktopMatches) {
                // A desktop of exactly 800 x 600 runs full screen; the saved
                // setting follows unless the command line chose this run's mode.
                m_settings.windowed = false;
                if (m_options.windowOverride < 0)
                    m_savedWindowed = false;
            }
        } else {
            style = WindowStyle::Framed;
            rect.left = (desktop.width - 800) / 2;
            rect.top = (desktop.height - 600) / 2;
            rect.right = rect.left + 800;
            rect.bottom = rect.top + 600;
        }
    }
    GetDisplayState().windowed = m_settings.windowed;
    int32_t scale = m_options.scale > 0 ? m_options.scale : m_windowSettings.scale;
    bool smooth = m_options.smooth >= 0 ? m_options.smooth != 0 : m_windowSettings.smooth;
    auto fit = [&](Window* window) {
        int32_t shown = window->SetScale(scale, smooth);
        if (shown < scale && m_settings.windowed)
            std::fprintf(stderr, "brimvale: scale %d does not fit the %d x %d desktop; the window is shown at scale %d\n",
                         scale, desktop.width, desktop.height, shown);
        return shown;
    };
    if (m_window) {
        fit(m_window);
        m_window->SetPlacement(style, rect, true);
        m_window->SetFullScreen(!m_settings.windowed);
        return true;
    }
    m_window = Window::Create("Brimvale", style, rect, visible);
    if (!m_window)
        return false;
    if (fit(m_window) > 1)
        m_window->SetPlacement(style, rect, visible);  // centred at its new size
    m_window->SetFullScreen(!m_settings.windowed);
    m_window->SetIcon(true, IDI_LARGE_ICON);
    m_window->SetIcon(false, IDI_SMALL_ICON);
    return true;
}

GMInteractiveObj* GameApp::WindowModeCheckBox()
{
    GMInteractiveObj* box = nullptr;
    for (int32_t c = -1; GMObject* obj = static_cast<GMObject*>(m_widgets.GetNext(c));) {
        if (obj->GetMark() == 32)
            box = AsInteractive(obj);
    }
    return box;
}

void GameApp::ToggleWindowMode(GMInteractiveObj* checkBox)
{
    m_settings.windowed = !m_settings.windowed;
    m_savedWindowed = m_settings.windowed;  // the player's own choice
    DisplayState& display = GetDisplayState();
    display.windowed = m_settings.windowed;
    RestoreDisplayMode();
    if (m_settings.windowed)
        SetDisplayCooperativeLevel(nullptr);

    Window* old = m_window;
    m_window = nullptr;
    CreateGameWindow(true);
    display.window = m_window;
    ReleaseDisplayDevice(true);
    if (CreateDisplayDevice(true) != 0)
        MessageQueue::PostQuit(0);

    SetCursor(Cursor::Load(IDC_WAIT));
    FILE* log = OpenFile("..\\restore.log", "wt");
    RestoreDisplaySurfaces(log);
    if (log)
        std::fclose(log);
    delete old;
    if (m_window)
        m_window->SetClassCursor(m_gameCursor);
    if (checkBox)
        SetCheckBox(checkBox, !m_settings.windowed, &m_images, GetDevice());
}

void GameApp::ChangeMusicVolume(float step)
{
    m_settings.musicVolume = SteppedVolume(m_settings.musicVolume, step);
    m_sound.ApplyGroupVolume(m_settings.musicVolume, kGroupMusic);
    m_sound.SetGroupVolume(m_settings.musicVolume, kGroupMusic);
}

void GameApp::ChangeEffectsVolume(float step)
{
    m_settings.effectsVolume = SteppedVolume(m_settings.effectsVolume, step);
    for (uint8_t group : {kGroupEffects, kGroupInterface}) {
        m_sound.ApplyGroupVolume(m_settings.effectsVolume, group);
        m_sound.SetGroupVolume(m_settings.effectsVolume, group);
    }
}
