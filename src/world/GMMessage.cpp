#include "world/GMMessage.h"

#include "gfx/GMImage.h"

#include <cstdlib>
#include <cstring>

void GMMessage::Reset()
{
    m_timeLeft = 0.0f;
    m_text = nullptr;
    m_textLength = 0;
    m_style = 0;
    m_color = 0xFFFFFF;
}

void GMMessage::Clear()
{
    std::free(m_text);
    Reset();
}

void GMMessage::SetLifetime(float ms)
{
    if (ms < 0.0f)
        ms = 0.0f;
    m_timeLeft = m_lifetime = ms;
}

void GMMessage::SetText(const char* text)
{
    std::free(m_text);
    m_text = nullptr;
    m_textLength = 0;
    if (!text)
        return;
    size_t len = std::strlen(text);
    m_text = static_cast<char*>(std::malloc(len + 1));
    if (m_text) {
        std::memcpy(m_text, text, len + 1);
        m_textLength = static_cast<int32_t>(len);
    }
}

int32_t GMMessage::Update(float dt)
{
    m_y -= 0.025f * dt;
    m_timeLeft -= dt;
    if (m_timeLeft <= 0.0f) {
        m_timeLeft = 0.0f;
        return 1;
    }
    return 0;
}

uint32_t GMMessage::GetDrawColor() const
{
    uint32_t alpha = m_lifetime > 0.0f ? static_cast<uint32_t>(m_timeLeft * 255.0f / m_lifetime) : 0;
    if (alpha > 255)
        alpha = 255;
    return m_color + (alpha << 24);
}

void GMMessage::Draw(GMImage* font, bool asNumber, DisplayDevice* device)
{
    if (!m_text || !font)
        return;
    if (asNumber)
        font->DrawNumber(m_x, m_y, GetDrawColor(), m_text, device);
    else
        font->DrawText(m_x, m_y, 0.0f, 1.0f, GetDrawColor(), m_text, device);
}
