#pragma once
#include "app/ScriptRunner.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

class GMLevelRun;

struct BotOptions {
    int32_t levels = 0;    // days to play, 0: the whole game
    int32_t repeat = 1;    // whole games in one process (a soak)
    bool careless = false;  // slow, and now and then the wrong goods
    uint32_t stepMs = 16;   // game time per frame
    uint32_t seed = 1;      // the careless player's own dice
};

// A player program: it looks at the screen as a player does (the game's
// read-only queries) and answers with script lines, so every action is a
// pointer move, click or key through the same input path as a player's. It
// plays from the main menu through every day, story, report, shop, bonus
// game and driving course to the highscores, printing one line per day.
class GameBot : public ScriptSource {
public:
    explicit GameBot(const BotOptions& options);

    bool More(GameApp& app, std::string* commands) override;
    // 0 every day won, 1 a day was lost, 3 the bot got stuck or the run failed.
    int32_t ExitStatus(bool runFailed) const;
    // Prints the closing figures (days, peak resident memory).
    void PrintSummary() const;

private:
    struct Target {
        float x = 0.0f, y = 0.0f;
    };
    bool Find(GameApp& app, const char* what, const std::string& arg, Target* t) const;
    void Click(const Target& t, std::string* out, const char* button = nullptr);
    bool ClickWidget(GameApp& app, int32_t id, std::string* out);
    void Wait(int32_t frames, std::string* out) const;
    int64_t GameTimeMs(GameApp& app) const;
    bool Stuck(const char* why);

    bool Menu(GameApp& app, uint8_t mode, std::string* out);
    bool Playing(GameApp& app, const GMLevelRun& run, std::string* out);
    void DayStarts(GameApp& app, const GMLevelRun& run);
    void DayEnds(GameApp& app, const GMLevelRun& run);
    void Serve(GameApp& app, const GMLevelRun& run, std::string* out);
    bool UseBonus(GameApp& app, const GMLevelRun& run, std::string* out);
    void Drive(GameApp& app, std::string* out);
    void Shop(GameApp& app, const GMLevelRun& run, std::string* out);
    void Ufos(GameApp& app, std::string* out);
    bool Chance(double p);

    BotOptions m_options;
    std::mt19937 m_dice;
    uint8_t m_lastMode = 0;
    int64_t m_modeSince = 0;
    int32_t m_modeActions = 0;
    int64_t m_nextActionFrame = 0;

    // The day in play.
    bool m_dayOpen = false;
    bool m_dayReported = false;
    int32_t m_dayLevel = 0;
    int64_t m_dayStartMs = 0;
    int64_t m_dayResidentKb = 0;
    std::chrono::steady_clock::time_point m_dayWall;
    const void* m_dayRun = nullptr;
    int32_t m_shopClicks = 0;
    uint32_t m_messageSeen = 0;
    bool m_wrongGoods = false;
    const void* m_planned = nullptr;  // the order the held goods were picked for (compared, never used)
    size_t m_queueLimit = 2;
    int32_t m_lastGoods = 0;
    float m_lastHouseX = 400.0f, m_lastHouseY = 300.0f;  // the careless player picked the wrong goods on purpose

    // The game as a whole.
    int32_t m_round = 1;
    int32_t m_daysPlayed = 0;
    int32_t m_daysLost = 0;
    int32_t m_daysWon = 0;
    bool m_reachedHighscores = false;
    bool m_done = false;
    std::string m_failure;
};
