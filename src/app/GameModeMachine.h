#pragma once
#include <cstdint>
#include <functional>

enum GameMode : uint8_t {
    kModeStartup = 1,
    kModeMainMenu = 2,
    kModeSelectLevel = 3,
    kModePause = 4,
    kModeResume = 5,
    kModeContinueGame = 7,
    kModePlaying = 8,
    kModeHighscores = 9,
    kModeProfiles = 10,
    kModeNewProfile = 11,
    kModeMenuOptions = 12,
    kModePauseOptions = 13,
    kModeExitQuestion = 14,
    kModeQuit = 15,
    kModeLogo = 16,
    kModeNewGameQuestion = 17,
    kModeHelp = 20,
};

// The window message that carries a posted mode change (mode in wParam).
constexpr uint32_t kModeChangeMessage = 1025;

using UpdateHandler = std::function<int32_t(float x, float y, uint32_t clickFlags, float elapsedMs)>;
using DrawHandler = std::function<int32_t()>;

// What an entry action did.
struct EntryOutcome {
    enum Kind { Entered, Failed, Switched } kind = Entered;
    const char* failure = nullptr;  // the error-log line of a failure (null: none)
    uint8_t switchedTo = 0;         // the result of a switch made by the entry action itself
};

// The application side of mode switches: leave and entry actions, and the
// messages and logs a switch produces. Tests put stand-ins here.
class GameModeHost {
public:
    virtual ~GameModeHost() = default;
    virtual void LeaveMode(uint8_t current, uint8_t next) = 0;
    virtual void DiscardInterface() = 0;
    // The entry action of `mode` (a transient mode rewrites it); sets the
    // handlers through the machine on success.
    virtual EntryOutcome EnterMode(uint8_t& mode, uint8_t previous) = 0;
    virtual void PostModeMessage(uint8_t mode) = 0;
    virtual void PostQuit(int32_t code) = 0;
    virtual void WriteErrorLog(const char* text) = 0;
};

// Which screen is current, the fades between screens, and the handlers the
// main loop calls every frame.
class GameModeMachine {
public:
    static constexpr int32_t kMaxRetries = 20;
    static constexpr float kFadeRate = 0.7f;  // fade levels per millisecond

    explicit GameModeMachine(GameModeHost* host) : m_host(host) {}

    uint8_t SetGameMode(uint8_t mode, int32_t depth = 0);
    void PostGameMode(uint8_t mode) { m_host->PostModeMessage(mode); }
    void FadeToGameMode(uint8_t mode);

    // Fade steps and the current mode's update; the click flags are consumed.
    void FrameUpdate(float x, float y, uint32_t* clickFlags, float elapsedMs);
    // Calls the draw handler; true when the fade overlay is to be drawn over it.
    bool FrameDraw();

    void SetHandlers(UpdateHandler update, DrawHandler draw)
    {
        m_update = std::move(update);
        m_draw = std::move(draw);
    }

    uint8_t GetCurrentMode() const { return m_current; }
    uint8_t GetPendingMode() const { return m_pending; }
    uint8_t GetTransition() const { return m_transition; }
    float GetFadeLevel() const { return m_fadeLevel; }
    void StartFadeIn()
    {
        m_transition = 2;
        m_fadeLevel = 255.0f;
    }
    void SetTransition(uint8_t transition) { m_transition = transition; }
    // Set by every switch: the next frame measures no elapsed time.
    bool TakeResetTiming()
    {
        bool r = m_resetTiming;
        m_resetTiming = false;
        return r;
    }
    void RequestResetTiming() { m_resetTiming = true; }

private:
    GameModeHost* m_host;
    uint8_t m_current = kModeStartup;
    uint8_t m_pending = kModeStartup;
    uint8_t m_transition = 0;
    float m_fadeLevel = 0.0f;
    bool m_resetTiming = true;
    UpdateHandler m_update;
    DrawHandler m_draw;
};
