#include "world/GMBonusObj.h"

void GMBonusObj::Reset()
{
    GMInteractiveObj::Reset();
    m_kind = kKindBonus;
    m_bonusKind = 0;
    m_duration = 0.0f;
    m_timeLeft = 0.0f;
    m_price = 0;
    m_value = 0.0f;
    m_count = 0;
}

void GMBonusObj::Clear()
{
    m_iconImage.Clear();
    GMInteractiveObj::Clear();
}

int32_t GMBonusObj::Update(float mouseX, float mouseY, int32_t clickFlags, float dt)
{
    GMInteractiveObj::Update(mouseX, mouseY, clickFlags, dt);
    m_timeLeft -= dt;
    if (m_timeLeft < 0.0f)
        m_timeLeft = 0.0f;
    return IsHighlighted() && m_timeLeft == 0.0f && clickFlags == 1 ? 1 : 0;
}

int32_t GMBonusObj::Draw(float dx, float dy, DisplayDevice* device)
{
    GMImage& image = IsHighlighted() || IsRunning() ? m_highlightImage : m_normalImage;
    DrawCentred(image, m_x + dx, m_y + dy, 1.0f, device);
    return 0;
}

int32_t GMBonusObj::SetIconImage(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    return m_iconImage.LoadTemplate(fileName, manager, device);
}

void GMBonusObj::DrawIcon(float x, float y, DisplayDevice* device)
{
    DrawCentred(m_iconImage, x, y, 1.0f, device);
}

void GMBonusObj::DrawNormal(float x, float y, DisplayDevice* device)
{
    DrawCentred(m_normalImage, x, y, 1.0f, device);
}

void GMBonusObj::SetDuration(float ms)
{
    m_duration = ms > 0.0f ? ms : 0.0f;
    if (m_timeLeft > m_duration)
        m_timeLeft = m_duration;
}
