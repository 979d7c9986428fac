#include "game/GMLevelRun.h"

#include "core/GameRandom.h"

#include <ctime>

void GMLevelRun::Reset()
{
    m_day = DayParameters();
    m_stateWord = 0;
    m_receipts = 0;
    m_profileScore = 0;
}

void GMLevelRun::Initialise()
{
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    GameRandom::Seed(static_cast<uint32_t>(utc.tm_hour + utc.tm_min + utc.tm_sec));
}
