#include "app/GameModeMachine.h"

#include <cstdio>

static bool KeepsInterface(uint8_t mode)
{
    // Dialogs open over the screen under them and keep its widgets.
    switch (mode) {
    case kModeNewGameQuestion:
    case kModeMenuOptions:
    case kModePauseOptions:
    case kModeNewProfile:
    case kModeProfiles:
    case kModeExitQuestion:
        return true;
    default:
        return false;
    }
}

uint8_t GameModeMachine::SetGameMode(uint8_t mode, int32_t depth)
{
    if (mode == m_current && m_current != kModeLogo)
        return m_current;
    if (mode == kModeQuit) {
        m_host->PostQuit(0);
        return kModeQuit;
    }
    m_host->LeaveMode(m_current, mode);
    if (!KeepsInterface(mode))
        m_host->DiscardInterface();

    bool wasFading = m_transition != 0;
    m_transition = 0;
    m_resetTiming = true;
    m_update = nullptr;
    m_draw = nullptr;

    uint8_t entered = mode;
    EntryOutcome outcome = m_host->EnterMode(entered, m_current);
    if (outcome.kind == EntryOutcome::Failed) {
        if (outcome.failure)
            m_host->WriteErrorLog(outcome.failure);
        m_host->PostQuit(1);
        return kModeQuit;
    }
    if (outcome.kind == EntryOutcome::Switched)
        return outcome.switchedTo;

    if (m_update && m_draw) {
        m_current = entered;
        m_pending = 0;
        if (wasFading)
            StartFadeIn();
        return entered;
    }
    if (depth + 1 >= kMaxRetries) {
        char line[64];
        std::snprintf(line, sizeof line, "Can't set new game mode (from %i to %i)", m_current, mode);
        m_host->WriteErrorLog(line);
        m_host->PostQuit(1);
        return kModeQuit;
    }
    return SetGameMode(mode, depth + 1);
}

void GameModeMachine::FadeToGameMode(uint8_t mode)
{
    if (mode == m_current && mode != kModeLogo)
        return;
    if (mode != m_pending) {
        m_pending = mode;
        m_fadeLevel = 0.0f;
        m_transition = 1;
    }
}

void GameModeMachine::FrameUpdate(float x, float y, uint32_t* clickFlags, float elapsedMs)
{
    float step = elapsedMs * kFadeRate;
    if (m_transition == 1) {
        *clickFlags = 0;
        if (m_fadeLevel >= 255.0f) {
            m_host->PostModeMessage(m_pending);
            return;
        }
        m_fadeLevel += step;
        if (m_fadeLevel > 255.0f)
            m_fadeLevel = 255.0f;
        return;
    }
    if (m_transition == 2) {
        *clickFlags = 0;
        if (m_fadeLevel > 0.0f) {
            m_fadeLevel -= step;
            if (m_fadeLevel < 0.0f)
                m_fadeLevel = 0.0f;
            return;
        }
        m_transition = 0;
    }
    if (m_update) {
        // A handler may switch modes, which replaces the handlers: keep this one alive.
        UpdateHandler update = m_update;
        update(x, y, *clickFlags, elapsedMs);
    }
    *clickFlags = 0;
}

bool GameModeMachine::FrameDraw()
{
    if (m_draw) {
        DrawHandler draw = m_draw;
        draw();
    }
    return m_transition == 1 || m_transition == 2;
}
