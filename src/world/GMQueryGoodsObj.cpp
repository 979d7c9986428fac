#include "world/GMQueryGoodsObj.h"

#include "world/HoverPoints.h"

#include <cmath>

namespace {

// Sub-pixel slack, so that float steps that should land exactly on the target do.
constexpr float kArrivalSlack = 1e-3f;

}  // namespace

void GMQueryGoodsObj::Reset()
{
    GMGoodsObj::Reset();
    m_kind = kKindQueryGoods;
    m_targetX = m_x;
    m_targetY = m_y;
    m_slotNumber = 0;
    m_transitionTime = 0.0f;
    m_transitionLeft = 0.0f;
    m_transition = kNoTransition;
    m_flySpeed = kDefaultFlySpeed;
    m_removeWhenGone = false;
    m_motion = kAtRest;
}

void GMQueryGoodsObj::SetTarget(float x, float y)
{
    m_targetX = x;
    m_targetY = y;
    m_motion = (x != m_x || y != m_y) ? kFlying : kAtRest;
}

void GMQueryGoodsObj::SetTransitionTime(float ms)
{
    m_transitionTime = ms > 0.0f ? ms : 0.0f;
    if (m_transitionLeft > m_transitionTime)
        m_transitionLeft = m_transitionTime;
}

void GMQueryGoodsObj::StartTransition(bool appear)
{
    m_transitionLeft = m_transitionTime;
    m_transition = appear ? kGrowing : kShrinking;
    // Not shown at full size in a frame drawn before its first update.
    if (appear)
        SetScale(0.0f);
}

void GMQueryGoodsObj::FinishGrowing()
{
    if (m_transition != kGrowing)
        return;
    m_transition = kNoTransition;
    m_transitionLeft = 0.0f;
    SetScale(1.0f);
}

bool GMQueryGoodsObj::Fly(float dt)
{
    float dx = m_targetX - m_x, dy = m_targetY - m_y;
    float d = std::sqrt(dx * dx + dy * dy);
    float step = m_flySpeed * dt;
    if (d == 0.0f || d <= step + kArrivalSlack) {
        SetPosition(m_targetX, m_targetY);
        m_motion = kAtRest;
        return true;
    }
    SetPosition(m_x + dx / d * step, m_y + dy / d * step);
    return false;
}

int32_t GMQueryGoodsObj::Update(float mouseX, float mouseY, int32_t clickFlags, float dt)
{
    if (m_transition != kNoTransition) {
        m_transitionLeft -= dt;
        if (m_transitionLeft > 0.0f && m_transitionTime > 0.0f) {
            float f = m_transitionLeft / m_transitionTime;
            SetScale(m_transition == kGrowing ? 1.0f - f : f);
        } else {
            bool grew = m_transition == kGrowing;
            m_transitionLeft = 0.0f;
            m_transition = kNoTransition;
            if (!grew) {
                SetScale(0.0f);
                return m_removeWhenGone ? kGoneRemove : kGone;
            }
            SetScale(1.0f);
        }
    } else if (m_scale == 0.0f) {
        // Shrunk away: its empty box would still match a pointer on its centre.
        return m_removeWhenGone ? kGoneRemove : 0;
    }

    uint8_t motion = m_motion;
    bool clicked = false;
    if (motion == kHeld) {
        GMPoint away = AwayPoint(*this);
        GMInteractiveObj::Update(away.x, away.y, 0, dt);
        SetPosition(mouseX, mouseY);
    } else {
        GMInteractiveObj::Update(mouseX, mouseY, clickFlags, dt);
        clicked = IsHighlighted() && clickFlags == 1;
        if (motion == kFlying)
            Fly(dt);
    }

    if (m_transition == kShrinking) {
        if (motion != kAtRest) {
            SetHighlight(false);
            return kShrinkingAway;
        }
        return 0;  // a vanishing icon is not picked up
    }
    return clicked ? kClicked : 0;
}

int32_t GMQueryGoodsObj::Draw(float x, float y, DisplayDevice* device)
{
    if (m_scale == 0.0f)
        return m_transition == kGrowing ? 0 : 1;
    return GMInteractiveObj::Draw(x, y, device);
}
