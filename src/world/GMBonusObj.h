#pragma once
#include "world/GMInteractiveObj.h"

// A bonus the player owns: a button in the day's screen that starts the bonus
// for its duration, and the record of it kept in the player's profile.
class GMBonusObj : public GMInteractiveObj {
public:
    // The extra cargo slot: it raises the vehicle's capacity and has no button.
    static constexpr int32_t kExtraSlot = 7;

    GMBonusObj() { GMBonusObj::Reset(); }

    void Reset() override;
    void Clear() override;
    // Runs the time down; 1 when clicked while idle (a running bonus cannot be
    // used again until it has run out), else 0.
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;
    // At its position moved by (dx, dy) (a pile of copies for the count owned):
    // the highlight picture when hovered or running, else the normal one. Unscaled.
    int32_t Draw(float dx, float dy, DisplayDevice* device) override;

    // The picture of the bonus shop and the diary; 0 or the loader's code.
    int32_t SetIconImage(const char* fileName, GMImageManager* manager, DisplayDevice* device);
    GMImage& GetIconImage() { return m_iconImage; }
    // The icon and the normal picture centred on (x, y) in the button's colour.
    void DrawIcon(float x, float y, DisplayDevice* device);
    void DrawNormal(float x, float y, DisplayDevice* device);

    void SetBonusKind(int32_t kind) { m_bonusKind = kind; }
    int32_t GetBonusKind() const { return m_bonusKind; }
    // Negative becomes 0; a running use longer than the new duration is cut to it.
    void SetDuration(float ms);
    float GetDuration() const { return m_duration; }
    float GetTimeLeft() const { return m_timeLeft; }
    bool IsRunning() const { return m_timeLeft != 0.0f; }
    // Starts a use lasting the duration, or ends the running one.
    void Activate(bool on) { m_timeLeft = on ? m_duration : 0.0f; }
    void SetPrice(int32_t price) { m_price = price > 0 ? price : 0; }
    int32_t GetPrice() const { return m_price; }
    void SetValue(float value) { m_value = value; }
    float GetValue() const { return m_value; }
    void SetCount(int32_t count) { m_count = count > 0 ? count : 0; }
    int32_t GetCount() const { return m_count; }

private:
    GMImage m_iconImage;
    int32_t m_bonusKind = 0;
    float m_duration = 0.0f;
    float m_timeLeft = 0.0f;
    int32_t m_price = 0;
    float m_value = 0.0f;
    int32_t m_count = 0;
};
