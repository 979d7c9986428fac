#pragma once
#include <cstdint>
#include <string>

class GMProfile;

// One working day. This holds the day's parameters with their defaults, the
// state word, the profile it plays for and the day's receipts; the play itself
// (orders, vehicles, the HUD) joins it with the level loader.
class GMLevelRun {
public:
    // Day parameters as the level file gives them (defaults set by Reset).
    struct DayParameters {
        int32_t maxActiveOrders = 5;       // OSG
        int32_t resumeLevel = 0;           // OMG
        float startDelay = 1000.0f;        // OTD, ms
        float minSpawnDelay = 2500.0f;     // OTM, ms
        float randomSpawnDelay = 2500.0f;  // OTI, ms
        float levelTime = 0.0f;            // LTM, ms
        float moneyTarget = 0.0f;          // LSC
        int32_t ratingTarget = 0;          // LST
        int32_t orders = 0;                // LOR
        int32_t combo[6] = {};             // CMB
        bool shopAfterDay = true;          // BUY
        std::string nextLevel;             // LVL
        std::string title;                 // LVN
        std::string story;                 // STO
        int32_t tutorial = 0;              // TUT
        float orderStopTime = 0.0f;        // OBT, ms
        float policeStopTime = 0.0f;       // SBT, ms
        float keptTime = 0.0f;             // PBT, ms
    };

    GMLevelRun() { Reset(); }
    GMLevelRun(const GMLevelRun&) = delete;
    GMLevelRun& operator=(const GMLevelRun&) = delete;

    // Gives back everything of the day and returns to the defaults.
    void Reset();
    // Seeds the random numbers from the UTC clock (hour + minute + second).
    void Initialise();

    void SetProfile(GMProfile* profile) { m_profile = profile; }
    GMProfile* GetProfile() const { return m_profile; }
    uint32_t GetStateWord() const { return m_stateWord; }
    const DayParameters& Day() const { return m_day; }
    int32_t GetReceipts() const { return m_receipts; }
    // The profile's score as last read plus the day's receipts.
    int32_t Score() const { return m_profileScore + m_receipts; }

private:
    DayParameters m_day;
    uint32_t m_stateWord = 0;
    int32_t m_receipts = 0;
    int32_t m_profileScore = 0;
    GMProfile* m_profile = nullptr;  // borrowed from the application
};
