#pragma once
#include <cstdint>

class DisplayDevice;
class GMImage;

// A floating text (" COMBO!", "$25") that rises 25 pixels a second and fades
// out linearly over its lifetime.
class GMMessage {
public:
    GMMessage() { GMMessage::Reset(); }
    GMMessage(const GMMessage&) = delete;
    GMMessage& operator=(const GMMessage&) = delete;
    virtual ~GMMessage() { GMMessage::Clear(); }

    virtual void Reset();
    virtual void Clear();
    // 1 when the message has expired.
    virtual int32_t Update(float dt);
    virtual void Draw(GMImage* font, bool asNumber, DisplayDevice* device);

    void SetLifetime(float ms);
    void SetText(const char* text);
    void SetPosition(float x, float y)
    {
        m_x = x;
        m_y = y;
    }
    void SetColor(uint32_t rgb) { m_color = rgb & 0xFFFFFF; }
    void SetStyle(uint8_t style) { m_style = style; }

    float GetX() const { return m_x; }
    float GetY() const { return m_y; }
    float GetTimeLeft() const { return m_timeLeft; }
    const char* GetText() const { return m_text; }
    uint8_t GetStyle() const { return m_style; }
    // The colour the text is drawn in now: alpha fades with the time left.
    uint32_t GetDrawColor() const;

private:
    float m_timeLeft = 0.0f;
    float m_lifetime = 0.0f;
    char* m_text = nullptr;
    int32_t m_textLength = 0;
    float m_x = 0.0f;
    float m_y = 0.0f;
    uint32_t m_color = 0xFFFFFF;
    uint8_t m_style = 0;
};
