#pragma once
#include "world/GMGoodsObj.h"

// A clickable goods icon resting at its shop: picked up it follows the
// pointer, let go it flies home; it grows in and shrinks away. The UFOs of the
// bonus game use its flying and shrinking too.
class GMQueryGoodsObj : public GMGoodsObj {
public:
    static constexpr float kDefaultFlySpeed = 3.5f;  // pixels per ms

    enum Motion : uint8_t { kAtRest = 0, kFlying = 1, kHeld = 2 };
    enum Transition : uint8_t { kNoTransition = 0, kGrowing = 1, kShrinking = 2 };

    // Update results.
    enum Result : int32_t { kClicked = 1, kShrinkingAway = 3, kGone = 4, kGoneRemove = 5 };

    GMQueryGoodsObj() { GMQueryGoodsObj::Reset(); }

    void Reset() override;
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;
    // Nothing at scale 0, with result 1 unless growing.
    int32_t Draw(float x, float y, DisplayDevice* device) override;

    // Flies to (x, y) unless already there.
    void SetTarget(float x, float y);
    void ReturnToTarget() { SetTarget(m_targetX, m_targetY); }
    // Picked up: follows the pointer from the next update on; home stays where it was.
    void StartDrag() { m_motion = kHeld; }
    void StopMotion() { m_motion = kAtRest; }
    GMPoint GetTarget() const { return {m_targetX, m_targetY}; }
    bool IsAtRest() const { return m_motion == kAtRest; }
    bool IsDragged() const { return m_motion == kHeld; }
    int32_t GetMotion() const { return m_motion; }

    void SetSlotNumber(int32_t slot) { m_slotNumber = slot; }
    int32_t GetSlotNumber() const { return m_slotNumber; }
    void SetFlySpeed(float pixelsPerMs) { m_flySpeed = pixelsPerMs > 0.0f ? pixelsPerMs : 0.0f; }
    float GetFlySpeed() const { return m_flySpeed; }

    // Negative times count as 0 (the transition ends on the next update).
    void SetTransitionTime(float ms);
    // Growing starts from scale 0; shrinking from the scale it has.
    void StartTransition(bool appear);
    // A growing icon is there at once, at full size.
    void FinishGrowing();
    int32_t GetTransition() const { return m_transition; }
    float GetTransitionLeft() const { return m_transitionLeft; }
    void SetRemoveWhenGone(bool remove) { m_removeWhenGone = remove; }
    bool GetRemoveWhenGone() const { return m_removeWhenGone; }
    bool IsScaleZero() const { return m_scale == 0.0f; }

private:
    // Moves toward the target by the flying speed; true on arrival.
    bool Fly(float dt);

    float m_targetX = 0.0f;
    float m_targetY = 0.0f;
    int32_t m_slotNumber = 0;
    float m_transitionTime = 0.0f;
    float m_transitionLeft = 0.0f;
    uint8_t m_transition = kNoTransition;
    float m_flySpeed = kDefaultFlySpeed;
    bool m_removeWhenGone = false;
    uint8_t m_motion = kAtRest;
};
