#pragma once
#include "app/DamagedDayGuard.h"
#include "app/FrameTimer.h"
#include "app/GameModeMachine.h"
#include "app/Input.h"
#include "app/NoticeBanner.h"
#include "app/Settings.h"
#include "app/WindowSettings.h"
#include "game/GMLevelRun.h"
#include "gfx/GMImageManager.h"
#include "player/GMHighscoreTable.h"
#include "player/GMProfile.h"
#include "player/GMProfileList.h"
#include "sound/GMSoundSystem.h"
#include "ui/HelpPages.h"
#include "ui/MenuScreens.h"
#include "world/GMObjectArray.h"

#include <cstdint>
#include <memory>
#include <string>

class Cursor;
class DisplayDevice;
class GMImage;
class GameBot;
class GMInteractiveObj;
class InputRecorder;
class LevelTryout;
class ScriptRunner;
class Window;
struct Message;

// How this run was started (command line).
struct RunOptions {
    int windowOverride = -1;  // -1 the setting, 0 full screen, 1 windowed
    bool headless = false;
    std::string scriptPath;
    uint32_t stepMs = 16;
    std::string shotsDir;
    int32_t scale = 0;    // window scale for this run; 0: "window.cfg"
    int32_t smooth = -1;  // filter for this run; -1: "window.cfg"
    int64_t seed = -1;  // fixes the day's random numbers when not negative
    bool bot = false;       // the bot plays (headless)
    int32_t botLevels = 0;  // days the bot plays, 0 the whole game
    int32_t botRepeat = 1;  // whole games in one process
    bool careless = false;
    int32_t draw = -1;      // -1: every frame is drawn, but not in a bot run; 0 none but shots; 1 all
    std::string recordPath;  // every input goes there as a replayable script
    std::string statePath;   // the final state of the run goes there as text
    std::string tryPath;     // a level source to compile and play at once
};

// The application: start-up, the main loop, the mode switches with their
// leave and entry actions, the window procedure and the menu commands.
class GameApp : public GameModeHost {
    friend class LevelTryout;  // starts and restarts the tried day in place of the menus

public:
    GameApp();
    ~GameApp() override;
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // The process entry. Returns the exit status: 0, or 1 after a failure
    // (a script's failed expectation included).
    int32_t RunApplication(const RunOptions& options);

    // Mode requests.
    uint8_t SetGameMode(uint8_t mode) { return m_modes.SetGameMode(mode, 0); }
    void PostGameMode(uint8_t mode) { m_modes.PostGameMode(mode); }
    void FadeToGameMode(uint8_t mode) { m_modes.FadeToGameMode(mode); }
    GameModeMachine& Modes() { return m_modes; }

    // Input.
    intptr_t WindowProc(const Message& message);
    int32_t FilterMessage(const Message& message);
    int32_t HandleMenuInput(float x, float y, uint32_t clickFlags, float elapsedMs);

    // Settings and the options screen.
    bool CreateGameWindow(bool visible);
    void ToggleWindowMode(GMInteractiveObj* checkBox);
    // The options screen's full-screen check box, when it is shown.
    GMInteractiveObj* WindowModeCheckBox();
    void ChangeMusicVolume(float step);
    void ChangeEffectsVolume(float step);

    Window* GetWindow() const { return m_window; }
    bool IsActive() const { return m_active; }
    // The window setting the player chose, written to "option.cfg" at exit;
    // the command line's choice is for one run only.
    bool GetSavedWindowed() const { return m_savedWindowed; }
    bool IsRunWindowed() const { return m_settings.windowed; }
    // The notice shown to the player now, empty when none.
    std::string GetShownNotice() const { return m_notice.IsShowing() ? m_notice.Text() : std::string(); }
    DisplayDevice* GetDevice() const;
    // The running game as scripts see it (GamePlay.cpp): named values ("mode",
    // "cash", "profile-score", ...) and where an object is on screen ("goods" n,
    // "order" n, "bonus" kind, "police", "widget" id, "button" name).
    bool QueryValue(const std::string& name, double* value) const;
    bool FindClickTarget(const std::string& what, const std::string& arg, float* x, float* y) const;

    // Frames run since the main loop started (recordings name frames by it).
    int64_t FrameCount() const { return m_frames; }
    // The day in play, read-only (what the player sees); null when none.
    const GMLevelRun* GetLevelRun() const { return m_levelRun.get(); }

    // Screenshot of the frame being drawn, taken just before it is presented.
    void RequestShot(const std::string& path) { m_pendingShot = path; }

    // GameModeHost
    void LeaveMode(uint8_t current, uint8_t next) override;
    void DiscardInterface() override;
    EntryOutcome EnterMode(uint8_t& mode, uint8_t previous) override;
    void PostModeMessage(uint8_t mode) override;
    void PostQuit(int32_t code) override;
    void WriteErrorLog(const char* text) override;

private:
    bool EnterDataDirectory();
    void ApplyVolumes();
    void SaveSettings();
    void OpenLink(const char* linkFile);
    void LoadStartupData();
    void DrawLoadingScreen(bool first);
    int32_t MainLoop();
    void FrameUpdate(float elapsedMs);
    void FrameDraw();
    void EndScene();
    void Shutdown();
    void WriteFinalState();
    void MenuMusic();
    void StopEffects() { m_sound.StopGroup(kGroupEffects, false); }
    void PauseEffects(bool pause) { m_sound.PauseGroup(pause, kGroupEffects); }

    int32_t LogoUpdate(float x, float y, uint32_t clickFlags, float elapsedMs);
    int32_t LogoDraw();
    void DeveloperKey(uint32_t vk);

    // The menu screens' shared state, refreshed from the application's.
    MenuContext& Menu();
    // Sets the handlers of a menu screen: its draw, and the common update
    // (background animation, then the widgets and their commands).
    void SetMenuHandlers(void (*draw)(GameApp& app));
    int32_t MenuUpdate(float x, float y, uint32_t clickFlags, float elapsedMs);
    int32_t SelectLevelUpdate(float x, float y, uint32_t clickFlags, float elapsedMs);
    int32_t ProfilesUpdate(float x, float y, uint32_t clickFlags, float elapsedMs);
    void ProfileCommand(int32_t command);
    void SetTypedName(const char* name);
    bool EnterPlay(uint8_t mode);
    void SetPlayingHandlers();
    int32_t PlayingUpdate(float x, float y, uint32_t clickFlags, float elapsedMs);
    bool LoadLevelInto(GMLevelRun& run, const char* fileName, float* progress);

    RunOptions m_options;
    Settings m_settings;  // windowed: this run's mode
    bool m_savedWindowed = false;
    NoticeBanner m_notice;
    GameModeMachine m_modes{this};
    InputState m_input;
    FrameTimer m_timer;
    GMImageManager m_images;
    GMSoundSystem m_sound;
    GMObjectArray m_widgets;
    Window* m_window = nullptr;
    Cursor* m_gameCursor = nullptr;
    Cursor* m_secondCursor = nullptr;
    SoundBuffer* m_hoverSound = nullptr;
    SoundBuffer* m_clickSound = nullptr;
    GMImage* m_logo = nullptr;
    GMImage* m_loading = nullptr;
    MenuContext m_menu;
    GMProfile m_profile;
    GMProfileList m_profileList;
    GMHighscoreTable m_highscores;
    HelpPages m_help;
    std::unique_ptr<GMLevelRun> m_levelRun;
    DamagedDayGuard m_dayGuard;
    std::string m_typedName;
    bool m_hasTypedName = false;
    int32_t m_newEntryIndex = -1;
    int32_t m_desktopWidth = 0;
    int32_t m_desktopHeight = 0;
    float m_progress = 0.0f;
    char m_versionText[20] = {};
    bool m_active = false;
    bool m_desktopMatches = false;
    std::string m_pendingShot;
    std::unique_ptr<ScriptRunner> m_script;
    std::unique_ptr<GameBot> m_bot;
    std::unique_ptr<InputRecorder> m_recorder;
    std::unique_ptr<LevelTryout> m_tryout;
    int64_t m_frames = 0;
    KeyCode m_winCode{"BRIMW", 0};
    KeyCode m_jumpCode{"JUMP", 2};
    WindowSettings m_windowSettings;  // "window.cfg"
};
