#include "game/GMOrderSigns.h"

#include "game/GMLevelRun.h"
#include "gfx/GMImage.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kPortraitShift = -20.0f;  // the portrait hangs off the bubble's left: the glow takes it in

bool Waiting(const GMOrderObj* order)
{
    return !order->IsTaken() && !GMLevelRun::IsOrderFinished(order) &&
           order->GetTransition() != GMOrderObj::kAppearing;
}

}  // namespace

void GMOrderSigns::SetPictures(GMImage* badge, GMImage* glow, GMImage* pointer)
{
    m_badge = badge;
    m_glow = glow;
    m_pointer = pointer;
}

void GMOrderSigns::Reset()
{
    SetPictures(nullptr, nullptr, nullptr);
    m_phase = 0.0f;
}

void GMOrderSigns::Update(float dt)
{
    m_phase = std::fmod(m_phase + (dt > 0.0f ? dt : 0.0f), kPulsePeriod);
    if (m_pointer)
        m_pointer->Advance(dt);
}

float GMOrderSigns::Pulse() const
{
    return 0.5f - 0.5f * std::cos(m_phase / kPulsePeriod * 4.0f * kHalfPi);
}

int32_t GMOrderSigns::CountWaiting(const GMObjectArray& orders, int32_t goods)
{
    int32_t n = 0;
    for (int32_t c = -1; auto* order = static_cast<GMOrderObj*>(orders.GetNext(c));)
        n += Waiting(order) && order->GetGoodsNumber() == goods;
    return n;
}

GMOrderObj* GMOrderSigns::NextToRunOut(const GMObjectArray& orders)
{
    GMOrderObj* next = nullptr;
    for (int32_t c = -1; auto* order = static_cast<GMOrderObj*>(orders.GetNext(c));) {
        if (Waiting(order) && (!next || order->GetPatienceLeft() < next->GetPatienceLeft()))
            next = order;
    }
    return next;
}

void GMOrderSigns::DrawGlow(const GMObjectArray& orders, DisplayDevice* device) const
{
    GMOrderObj* next = NextToRunOut(orders);
    if (!next || !m_glow)
        return;
    const float grow = 1.0f + 0.08f * Pulse();
    const float w = m_glow->GetTextureWidth() * grow, h = m_glow->GetTextureHeight() * grow;
    const float alpha = 150.0f + 105.0f * Pulse();
    const uint32_t colour = (static_cast<uint32_t>(alpha) << 24) | 0xFFFFFFu;
    m_glow->DrawSizedColored(next->GetX() + kPortraitShift - w / 2.0f, next->GetY() + 6.0f - h / 2.0f, w, h, colour,
                             device);
}

void GMOrderSigns::DrawPointer(const GMObjectArray& orders, DisplayDevice* device) const
{
    GMOrderObj* next = NextToRunOut(orders);
    if (!next || !m_pointer)
        return;
    // The picture points down with its tip near its bottom edge; turned a
    // quarter it points left at the bubble's right edge, or, at the screen's
    // right edge, right at the portrait.
    const float w = m_pointer->GetTextureWidth(), h = m_pointer->GetTextureHeight();
    const float reach = h - 3.0f;
    const float right = next->GetX() + next->GetScaledFrameWidth() / 2.0f + 2.0f;
    if (right + h <= 800.0f) {
        m_pointer->DrawRotated(right + reach, next->GetY() - w / 2.0f, kHalfPi, 0xFFFFFFFFu, device);
    } else {
        const float left = next->GetX() - next->GetScaledFrameWidth() / 2.0f - 42.0f;
        m_pointer->DrawRotated(left - reach, next->GetY() + w / 2.0f, -kHalfPi, 0xFFFFFFFFu, device);
    }
}

void GMOrderSigns::DrawCounts(const GMObjectArray& icons, const GMObjectArray& orders, const GMQueryGoodsObj* held,
                              GMImage* font, DisplayDevice* device) const
{
    if (!m_badge)
        return;
    for (int32_t c = -1; auto* icon = static_cast<GMQueryGoodsObj*>(icons.GetNext(c));) {
        const int32_t goods = icon->GetGoodsNumber();
        if (icon == held || goods >= GMLevelRun::kShopGoodsLimit || !icon->IsAtRest() ||
            icon->GetTransition() == GMQueryGoodsObj::kShrinking)
            continue;
        const int32_t n = CountWaiting(orders, goods);
        if (n == 0)
            continue;
        // On the icon's top-right corner, where it hides the least of the goods.
        const float bw = m_badge->GetTextureWidth(), bh = m_badge->GetTextureHeight();
        const float cx = icon->GetX() + icon->GetScaledFrameWidth() / 2.0f - bw / 4.0f;
        const float cy = icon->GetY() - icon->GetScaledFrameHeight() / 2.0f + bh / 4.0f;
        m_badge->Draw(cx - bw / 2.0f, cy - bh / 2.0f, device);
        if (!font)
            continue;
        char text[12];
        std::snprintf(text, sizeof text, "%d", n > 99 ? 99 : n);
        float tw = 0.0f, th = 0.0f;
        font->DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0, text, nullptr, &tw, &th);
        // The text stands on y.
        font->DrawText(std::round(cx - tw / 2.0f), std::round(cy + th / 2.0f), 0.0f, 1.0f, 0xFFFFFFFFu, text, device);
    }
}
