#include "app/FrameTimer.h"

bool FrameTimer::Tick(uint32_t now, bool resetTiming, float* stepMs)
{
    uint32_t elapsed = resetTiming ? 0 : now - m_last;
    if (elapsed > 1000)
        elapsed = 25;
    m_accumulated += elapsed;
    m_last = now;
    if (m_accumulated < kMinStepMs)
        return false;
    *stepMs = static_cast<float>(m_accumulated);
    m_accumulated = 0;
    return true;
}

uint32_t FrameTimer::DueIn(uint32_t now) const
{
    uint32_t pending = m_accumulated + (now - m_last);
    return pending >= kMinStepMs ? 0 : kMinStepMs - pending;
}
