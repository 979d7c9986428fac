#include "world/GMOrderObj.h"

#include "gfx/Filtering.h"
#include "gfx/GMImageTemplate.h"
#include "platform/DisplayDevice.h"
#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/HoverPoints.h"

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr uint32_t kClearWhite = 0x00FFFFFFu;

// White with the alpha of a transition at scale s.
uint32_t WhiteAt(float s)
{
    if (!(s > 0.0f))
        return kClearWhite;
    if (s >= 1.0f)
        return kOpaqueWhite;
    return (static_cast<uint32_t>(s * 255.0f) << 24) | 0xFFFFFFu;
}

template <class T>
void Drop(T*& obj)
{
    if (obj) {
        T* old = obj;
        obj = nullptr;
        old->Release();
    }
}

void TakeTemplate(GMImage& image, GMImageTemplate* t)
{
    if (t)
        image.SetTemplate(t);
    else
        image.Clear();
}

}  // namespace

GMOrderObj::~GMOrderObj()
{
    GMOrderObj::Clear();
}

void GMOrderObj::Reset()
{
    // The copies, the house and the pictures are given back by Clear only.
    GMInteractiveObj::Reset();
    m_kind = kKindOrder;
    m_patienceStep = 0.0f;
    m_overlayColor = kOpaqueWhite;
    m_transitionTime = 0.0f;
    m_transitionLeft = 0.0f;
    m_transition = kNoTransition;
    m_taken = false;
}

void GMOrderObj::Clear()
{
    m_litIcon.Clear();
    m_unlitIcon.Clear();
    m_overlayImage.Clear();
    Drop(m_customer);
    Drop(m_goods);
    SetHouse(nullptr);
    GMInteractiveObj::Clear();
}

void GMOrderObj::SetPosition(float x, float y)
{
    GMInteractiveObj::SetPosition(x, y);
    if (m_goods) {
        m_goods->SetScale(kGoodsScale);
        m_goods->SetPosition(x, y);
    }
    if (m_customer)
        m_customer->SetPosition(x - GetScaledFrameWidth() / 2.0f - kPortraitGap, y);
}

void GMOrderObj::SetColor(uint32_t argb)
{
    GMInteractiveObj::SetColor(argb);
    if (m_goods)
        m_goods->SetColor(argb);
    if (m_customer)
        m_customer->SetColor(argb);
}

void GMOrderObj::SetScale(float scale)
{
    GMInteractiveObj::SetScale(scale);
    if (m_customer)
        m_customer->SetScale(scale);
    SetPosition(m_x, m_y);
}

bool GMOrderObj::SetHighlight(bool highlighted)
{
    bool shown = GMInteractiveObj::SetHighlight(highlighted);
    if (m_goods)
        m_goods->SetHighlight(shown);
    if (m_customer)
        m_customer->SetHighlight(shown);
    return shown;
}

void GMOrderObj::SetCustomerFrom(const GMCustomerObj* customerKind)
{
    if (!customerKind)
        return;
    if (!m_customer)
        m_customer = new GMCustomerObj;
    m_customer->SetCustomerKind(customerKind->GetCustomerKind());
    SetPatience(customerKind->GetPatience());
    m_customer->SetFactor(0, customerKind->GetFactor(0));
    m_customer->SetFactor(1, customerKind->GetFactor(1));
    for (int32_t index = 0; index < 2; ++index) {
        GMImageTemplate* t = customerKind->GetImageTemplate(index);
        TakeTemplate(m_customer->GetImage(index), t);
        if (t)
            t->Release();
    }
    m_customer->SetScale(m_scale);
    m_customer->SetColor(m_color);
    SetPosition(m_x, m_y);
}

void GMOrderObj::SetGoodsFrom(const GMGoodsObj* goods)
{
    if (!goods)
        return;
    if (!m_goods)
        m_goods = new GMGoodsObj;
    m_goods->CopyFrom(goods);
    m_goods->SetColor(m_color);
    SetPosition(m_x, m_y);
}

void GMOrderObj::SetHouse(GMBuildingObj* building)
{
    if (building == m_house)
        return;
    if (m_house) {
        m_house->SetOccupied(false);
        m_house->Release();
    }
    m_house = building;
    if (m_house) {
        m_house->AddRef();
        m_house->SetOccupied(true);
    }
}

void GMOrderObj::SetPatience(float ms)
{
    float full = ms > 0.0f ? ms : 0.0f;
    m_patienceStep = full / static_cast<float>(kPatienceIcons);
    if (m_customer)
        m_customer->SetPatience(full);
}

void GMOrderObj::SetIconTemplates(GMImageTemplate* lit, GMImageTemplate* unlit)
{
    TakeTemplate(m_litIcon, lit);
    TakeTemplate(m_unlitIcon, unlit);
}

void GMOrderObj::SetOverlay(GMImageTemplate* overlay, uint32_t argb)
{
    TakeTemplate(m_overlayImage, overlay);
    m_overlayColor = argb;
}

void GMOrderObj::SetTransitionTime(float ms)
{
    m_transitionTime = ms > 0.0f ? ms : 0.0f;
    if (m_transitionLeft > m_transitionTime)
        m_transitionLeft = m_transitionTime;
}

void GMOrderObj::StartTransition(bool appear)
{
    uint8_t wanted = appear ? kAppearing : kDisappearing;
    if (m_transition == wanted)
        return;
    m_transitionLeft = m_transitionTime;
    m_transition = wanted;
    SetColor(appear ? kClearWhite : kOpaqueWhite);
    // Not shown at full size in a frame drawn before its first update.
    if (appear)
        SetScale(0.0f);
}

int32_t GMOrderObj::GetPatienceLevel() const
{
    if (!m_customer)
        return 0;
    // A customer without any patience is in its last sixth from the start.
    if (!(m_patienceStep > 0.0f))
        return 1;
    float level = m_customer->GetPatience() / m_patienceStep + 1.0f;
    if (!(level < float(kPatienceIcons)))
        return kPatienceIcons;
    return level < 1.0f ? 1 : static_cast<int32_t>(level);
}

int32_t GMOrderObj::GetCustomerKind() const
{
    return m_customer ? m_customer->GetCustomerKind() : 0;
}

int32_t GMOrderObj::GetGoodsNumber() const
{
    return m_goods ? m_goods->GetGoodsNumber() : 0;
}

float GMOrderObj::GetPrice() const
{
    return m_goods ? m_goods->GetPrice() : 0.0f;
}

float GMOrderObj::GetPatienceLeft() const
{
    return m_customer ? m_customer->GetPatience() : 0.0f;
}

float GMOrderObj::GetFactor(int32_t index) const
{
    return m_customer ? m_customer->GetFactor(index) : 0.0f;
}

int32_t GMOrderObj::Update(float mouseX, float mouseY, int32_t clickFlags, float dt)
{
    if (m_transition != kNoTransition) {
        m_transitionLeft -= dt;
        if (m_transitionLeft > 0.0f && m_transitionTime > 0.0f) {
            float f = m_transitionLeft / m_transitionTime;
            float s = m_transition == kAppearing ? 1.0f - f : f;
            SetScale(s);
            SetColor(WhiteAt(s));
            if (m_transition == kDisappearing) {
                SetHighlight(false);
                return kDisappearingNow;
            }
        } else {
            bool appeared = m_transition == kAppearing;
            m_transitionLeft = 0.0f;
            m_transition = kNoTransition;
            if (!appeared) {
                SetScale(0.0f);
                SetColor(kClearWhite);
                return kGone;
            }
            SetScale(1.0f);
            SetColor(kOpaqueWhite);
        }
    } else if (m_scale == 0.0f) {
        return 0;  // hidden
    }

    GMInteractiveObj::Update(mouseX, mouseY, clickFlags, dt);
    // The copies light up with the bubble and never on their own.
    bool lit = IsHighlighted();
    if (m_goods) {
        GMPoint p = lit ? HoverPoint(*m_goods) : AwayPoint(*m_goods);
        m_goods->Update(p.x, p.y, 0, dt);
    }
    int32_t customerResult = 0;
    if (m_customer) {
        GMPoint p = lit ? HoverPoint(*m_customer) : AwayPoint(*m_customer);
        customerResult = m_customer->Update(p.x, p.y, 0, dt);
    }
    if (lit && clickFlags == 1)
        return kClicked;
    return customerResult == 1 ? kPatienceOut : 0;
}

int32_t GMOrderObj::Draw(float x, float y, DisplayDevice* device)
{
    if (m_scale == 0.0f)
        return m_transition == kAppearing ? 0 : 1;
    GMInteractiveObj::Draw(x, y, device);
    if (m_goods) {
        SetLinearFiltering(device, true);
        float goodsScale = m_goods->GetScale();
        if (m_scale != 1.0f)
            m_goods->SetScale(goodsScale * m_scale);
        m_goods->Draw(x, y, device);
        m_goods->SetScale(goodsScale);
        SetLinearFiltering(device, false);
    }
    if (m_customer)
        m_customer->Draw(x, y, device);
    DrawIcons(device);
    return 0;
}

float GMOrderObj::GetPatienceRowBottom() const
{
    const float top = m_y + GetScaledFrameHeight() / 2.0f;
    const GMImage& icon = m_litIcon.PeekTemplate() ? m_litIcon : m_unlitIcon;
    return top + (icon.PeekTemplate() ? icon.GetTextureHeight() * m_scale : 0.0f);
}

void GMOrderObj::DrawIcons(DisplayDevice* device)
{
    if (!m_litIcon.PeekTemplate() || !device)
        return;
    // Six icons from the bubble's bottom-left corner across its width.
    float width = GetScaledFrameWidth();
    float left = m_x - width / 2.0f;
    float top = m_y + GetScaledFrameHeight() / 2.0f;
    float step = (width - m_litIcon.GetTextureWidth() * m_scale) / float(kPatienceIcons - 1);
    int32_t level = GetPatienceLevel();
    bool scaled = m_scale != 1.0f;
    bool overlay = m_overlayImage.PeekTemplate() != nullptr;
    for (int32_t i = 0; i < kPatienceIcons; ++i) {
        GMImage& icon = i < level ? m_litIcon : m_unlitIcon;
        if (!icon.PeekTemplate())
            break;
        float ix = left + step * float(i);
        float w = icon.GetTextureWidth() * m_scale, h = icon.GetTextureHeight() * m_scale;
        if (scaled) {
            SetLinearFiltering(device, true);
            icon.DrawSizedColored(ix, top, w, h, m_color, device);
        } else {
            icon.DrawColored(ix, top, m_color, device);
        }
        if (overlay) {
            float ow = m_overlayImage.GetTextureWidth() * m_scale, oh = m_overlayImage.GetTextureHeight() * m_scale;
            float ox = ix + (w - ow) / 2.0f, oy = top + (h - oh) / 2.0f;
            device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
            if (scaled)
                m_overlayImage.DrawSizedColored(ox, oy, ow, oh, m_overlayColor, device);
            else
                m_overlayImage.DrawColored(ox, oy, m_overlayColor, device);
            device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        }
        if (scaled)
            SetLinearFiltering(device, false);
    }
}
