// The bonus game of a perfect day: twenty UFOs cross the town and each one
// clicked pays 100 as extra pay.
#include "game/GMLevelRun.h"

#include "sound/GMSoundSystem.h"

#include <cstdio>

namespace {

constexpr int32_t kUfoPay = 100;
constexpr uint32_t kUfoMoneyColour = 0xFDEB58;
const char* const kBonusGameText = "B%75zONUS%100z G%75zAME%100z!\n%40zCLICK ON THE UFOS TO GET EXTRA MONEY!";

}  // namespace

void GMLevelRun::StartUfoGame()
{
    m_stateWord |= kStateUfoGame;
    m_cursorId = kUfoCursor;
    if (m_sound)
        m_sound->StopGroup(kGroupMusic, false);
    ShowBigMessage(250.0f, 2300.0f, 250.0f, kBonusGameText, 0xEB0202);
    PlaySound("sfx\\UFOWarning.ogg");
    FinishDayCommon();
}

int32_t GMLevelRun::UfoStep(float x, float y, uint32_t buttons, float dt)
{
    if (!m_ufoSoundOn) {
        LoopSound("sfx\\UFO.ogg", true);
        m_ufoSoundOn = true;
    }
    const GMUfoGame::FrameReport report = m_ufoGame.Frame(x, y, buttons, dt);
    for (const GMUfoGame::Point& hit : report.hits) {
        PlaySound("sfx\\UFOClick.ogg");
        char text[16];
        std::snprintf(text, sizeof text, "$%d", kUfoPay);
        AddFloatingText(text, hit.x, hit.y, kMoneyTextTime, kUfoMoneyColour, true, true, 0);
        AddMoney(0, kUfoPay, 0);
    }
    if (report.over) {
        EndUfoGame();
        return kLevelGoOn;
    }
    return PlayAndAfter(x, y, buttons, dt);
}

void GMLevelRun::EndUfoGame()
{
    LoopSound("sfx\\UFO.ogg", false);
    m_ufoSoundOn = false;
    m_stateWord = kStateReport;
    m_cursorId = kGameCursor;
    if (m_sound)
        m_sound->StopGroup(kGroupMusic, false);
    PlaySound("sfx\\JobPerfect.ogg");
    ShowBigMessage(250.0f, 2300.0f, 250.0f, "EXCELLENT!", 0xFFB600);
    // The totals again, now with the UFO money; goods picked up during the
    // game go home.
    FinishDayCommon();
}

bool GMLevelRun::FindUfo(int32_t n, float* x, float* y) const
{
    if (!(m_stateWord & kStateUfoGame) || (m_stateWord & kStateMessage))
        return false;
    return m_ufoGame.Find(n, x, y);
}
