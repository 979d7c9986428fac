#pragma once
#include "core/CGameArray.h"
#include "world/GMBonusObj.h"

#include <cstdint>
#include <string>

// A player's saved progress, kept in a scrambled tagged file named after the
// player ("NAME.prf", keyed by its own file name).
class GMProfile {
public:
    GMProfile();
    ~GMProfile();
    GMProfile(const GMProfile&) = delete;
    GMProfile& operator=(const GMProfile&) = delete;

    enum : int32_t { kProfileOk = 0, kProfileNoFile = 1 };

    // 0, or 1 when the file cannot be opened (the profile then stays empty).
    // A damaged file keeps what was read before the damage; a number cut short
    // by the end of the file is not read at all. Only reads: see OpenProfile.
    int32_t LoadProfile(const char* path);
    // True when the last LoadProfile read its file back whole: every entry the
    // writer always writes (LLI, NAM, SCO, STA, MON) is there and nothing is
    // cut short by the end of the file.
    bool IsWhole() const { return m_whole; }
    static bool IsWholeFile(const char* path);
    // The game's way to load a profile. A file that does not read back whole
    // is set aside (GMPlayerStore), what was read is saved back under its own
    // name when it holds a player's name, and the player is told. 1 when
    // nothing usable remains (the profile is then empty, without file name).
    int32_t OpenProfile(const char* path);
    // 0, or 1 when the file cannot be written. Written through the player
    // store: a damaged file there is set aside first, a failed write keeps the
    // old file and tells the player once.
    int32_t SaveProfile(const char* path);

    void ResetProgress();
    void ClearProfile();

    void AddLevel(const char* name);
    void RemoveLevel(const char* name);
    const char* GetLevel(int32_t index) const { return m_levels.GetString(index); }
    int32_t GetLevelCount() const { return m_levels.GetLastIndex() + 1; }
    // Index of the level (letters compared without regard to case), or -1.
    int32_t FindLevel(const char* name) const;

    int32_t GetMoney() const { return m_money; }
    void SetMoney(int32_t money) { m_money = money < 0 ? 0 : money; }
    int32_t GetRatingPoints() const { return m_ratingPoints; }
    void SetRatingPoints(int32_t points) { m_ratingPoints = points < 0 ? 0 : points; }
    int32_t GetScore() const { return m_score; }
    void SetScore(int32_t score) { m_score = score < 0 ? 0 : score; }
    int32_t GetCurrentLevelIndex() const { return m_currentLevelIndex; }
    void SetCurrentLevelIndex(int32_t index) { m_currentLevelIndex = index < 0 ? 0 : index; }

    const char* GetDisplayName() const { return m_displayName; }
    void SetDisplayName(const char* name);
    const char* GetCurrentLevel() const { return m_currentLevel; }
    // A null or empty name clears the current level.
    void SetCurrentLevel(const char* name);
    const char* GetFileName() const { return m_fileName; }
    void SetFileName(const char* path);

    // Index of the new record, or -1.
    int32_t AddBonus(int32_t kind, float durationMs, int32_t price, float value, int32_t count);
    // Count of the first record of that kind, 0 if none.
    int32_t GetBonusCount(int32_t kind) const;
    // A record is a bonus kind the player owns: kind, duration and value
    // together identify it, a level's bonus matches it when all three are equal.
    // Count of the record matching a level's bonus (kind, duration ms, value), 0 if none.
    int32_t GetMatchingBonusCount(int32_t kind, float durationMs, float value) const;
    int32_t GetMatchingBonusCount(const GMBonusObj& levelBonus) const;
    // Sets the matching record's count, or adds a record with that count.
    void SetMatchingBonusCount(int32_t count, int32_t kind, float durationMs, int32_t price, float value);
    void SetMatchingBonusCount(int32_t count, const GMBonusObj& levelBonus);
    const GMBonusObj* GetBonus(int32_t index) const;
    // Two bonuses are one record when their kinds are equal and their
    // durations and values read the same as the profile file writes them.
    static bool SameBonus(int32_t kindA, float durationMsA, float valueA, int32_t kindB, float durationMsB,
                          float valueB);
    int32_t GetBonusSlots() const { return m_bonuses.GetLastIndex() + 1; }
    int32_t GetBonusRecordCount() const { return m_bonuses.GetCount(); }

private:
    GMBonusObj* FindMatching(int32_t kind, float durationMs, float value) const;
    void RemoveBonuses();

    CGameStringArray m_levels;
    CGameArray m_bonuses;  // one reference to each GMBonusObj record
    int32_t m_score = 0;
    int32_t m_ratingPoints = 0;
    int32_t m_money = 0;
    char* m_fileName = nullptr;
    char* m_displayName = nullptr;
    char* m_currentLevel = nullptr;
    int32_t m_currentLevelIndex = 0;
    bool m_whole = true;
    bool m_scoreRead = false;  // the last load read a score
};

// A string for a quoted value of a tagged file: the quote, "#", control bytes
// (and a digit right after an escape) become "#" escapes the reader turns back.
std::string EscapeQuoted(const char* text);
