#pragma once
#include "platform/Clock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class GameApp;

// Where commands come from once the script's own are used up: a player
// program (the bot) that looks at the game and answers with script lines.
class ScriptSource {
public:
    virtual ~ScriptSource() = default;
    // Appends the next script lines to `commands`; false when it is done
    // (the runner then closes the game).
    virtual bool More(GameApp& app, std::string* commands) = 0;
};

// Drives the real game from a text script on a virtual clock: input as a
// player gives it, screenshots, and checks of the mode and of files. One
// command a line, "#" starts a comment:
//   frames N | wait MS | move X Y | click X Y [left|right|middle]
//   window-click X Y [button] (the window's own pixels, not the frame's)
//   window-shot NAME (the picture as the window shows it: scaled, letterboxed)
//   key alt+NAME (the key with Alt held)
//   down X Y [button] | up X Y [button] | key NAME|CODE | type TEXT
//   shot NAME | expect-mode N | expect-file PATH | expect-notice TEXT
//   expect-link TEXT | quit
//   copy-file FROM TO         (a file replaced between two commands, as a level
//                              maker edits a tried source; paths from the data directory)
//   expect NAME OP VALUE      (OP: == != < <= > >=; NAME: mode, level, state,
//                              cash, extra, rating, ratio, delivered,
//                              orders-left, orders-open, queue, held, score,
//                              profile-score, profile-points, profile-money, ...)
//   click-goods G | click-order N | click-bonus KIND | click-police |
//   click-widget ID | click-button menu|continue|done|story | click-ufo N |
//   click-lane N            (each may end in a button name: left, right, middle)
//   seed S | step MS | no-draw (a recording's header: the day's random numbers,
//                              game time per frame, frames left undrawn)
//   data DIGEST                (a recording's header: what it was made against)
//   at FRAME [move X Y | down X Y B | up X Y B | key-down VK | key-up VK | quit]
//                              (a recording: run until FRAME frames have run,
//                              then give the input before the next frame)
class ScriptRunner {
public:
    struct Command {
        int line = 0;
        std::string text;  // the line as written, for messages
        std::string verb;
        std::vector<std::string> args;
    };

    // Reads the script; false (with a message) when it cannot be read or a
    // line does not parse. shotsDir may be empty (shots go nowhere).
    bool Load(const char* path, uint32_t stepMs, const std::string& shotsDir);
    bool Parse(const std::string& text, std::string* error);
    // Starts without a script file: every command comes from `source`.
    void Begin(uint32_t stepMs, const std::string& shotsDir, ScriptSource* source);
    // The seed a recording names, -1 when none.
    int64_t Seed() const { return m_seed; }
    // The digest of the data, profiles and settings a recording was made
    // with ("data" line), empty when it names none.
    const std::string& DataDigest() const { return m_dataDigest; }
    // False for a frame nobody looks at (no-draw), so it is updated but not drawn.
    bool WantsDraw() const { return m_draw || m_drawNext; }
    void SetDrawing(bool draw) { m_draw = draw; }

    // Called when the main loop is idle. True: a frame may run now (the clock
    // has moved on); false: input was queued or the game is being closed.
    bool BeforeIdle(GameApp& app);
    void AfterFrame(float stepMs);
    uint32_t Step() const { return m_step; }
    // The game is inactive and, time standing still, nothing can arrive: the
    // script brings the window back as a player would (or ends the run when
    // the script is done), so the loop never waits for nothing.
    void WhileInactive(GameApp& app);

    // A scripted run opens no browser: the link file's address is recorded.
    void RecordLink(const char* linkFile);
    void NoticeShown(const std::string& text);
    const std::vector<std::string>& Links() const { return m_links; }
    const std::vector<std::string>& Notices() const { return m_notices; }
    // The address in a ".url" link file ("URL=" line), empty when none.
    static std::string ReadLinkAddress(const char* linkFile);

    bool ShotsEnabled() const { return !m_shotsDir.empty(); }
    std::string ShotPath(const std::string& name) const { return m_shotsDir + "/" + name + ".png"; }
    bool Succeeded() const { return m_failure.empty(); }
    const std::string& Failure() const { return m_failure; }
    // Prints the outcome to standard error.
    void Report(int32_t quitCode) const;

    // The virtual-key code and Shift state that type a character, or 0.
    static uint32_t KeyForChar(char c, bool* shift);
    // A key name ("escape", "f5", "a", "shift+2") or a number; 0 if unknown.
    static uint32_t KeyByName(const std::string& name, bool* shift);

private:
    bool Run(const Command& c, GameApp& app);
    bool RunAt(const Command& c, GameApp& app);
    void Fail(const Command& c, const std::string& why);
    void Close(GameApp& app);

    std::vector<Command> m_commands;
    size_t m_next = 0;
    uint32_t m_step = 16;
    std::string m_shotsDir;
    std::unique_ptr<VirtualClock> m_clock;
    int64_t m_framesLeft = 0;
    int64_t m_waitLeft = 0;
    int64_t m_serveLeft = 0;  // game time left to play as a careful player
    bool m_closing = false;
    int m_idleWhileClosing = 0;
    std::vector<std::string> m_links;
    std::vector<std::string> m_notices;
    std::string m_failure;
    size_t m_executed = 0;
    ScriptSource* m_source = nullptr;
    int64_t m_seed = -1;
    std::string m_dataDigest;
    bool m_draw = true;
    bool m_drawNext = false;
};
