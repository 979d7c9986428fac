#include "world/GMInteractiveObj.h"

#include "gfx/Filtering.h"
#include "gfx/GMImageTemplate.h"

#include <cmath>

void GMInteractiveObj::Reset()
{
    GMObject::Reset();
    m_kind = kKindInteractive;
    m_highlighted = false;
    m_x = 0.0f;
    m_y = 0.0f;
    m_color = 0xFFFFFFFF;
    m_scale = 1.0f;
    m_enabled = true;
}

void GMInteractiveObj::Clear()
{
    m_normalImage.Clear();
    m_highlightImage.Clear();
    int32_t kind = m_kind;
    Reset();
    m_kind = kind;
    GMObject::Clear();
}

int32_t GMInteractiveObj::Update(float mouseX, float mouseY, int32_t, float dt)
{
    SetHighlight(HitTest(mouseX, mouseY));
    Shown().Advance(dt);
    return 0;
}

void GMInteractiveObj::DrawCentred(GMImage& image, float cx, float cy, float scale, DisplayDevice* device)
{
    float fw = image.GetTextureWidth();
    float fh = image.GetTextureHeight();
    if (scale == 1.0f) {
        image.DrawColored(cx - fw / 2, cy - fh / 2, m_color, device);
        return;
    }
    SetLinearFiltering(device, true);
    image.DrawSizedColored(cx - fw * scale / 2, cy - fh * scale / 2, fw * scale, fh * scale, m_color, device);
    SetLinearFiltering(device, false);
}

int32_t GMInteractiveObj::Draw(float, float, DisplayDevice* device)
{
    DrawCentred(Shown(), m_x, m_y, m_scale, device);
    return 0;
}

void GMInteractiveObj::GetPosition(GMPoint* out) const
{
    if (out)
        *out = {m_x, m_y};
}

void GMInteractiveObj::SetPosition(float x, float y)
{
    m_x = x;
    m_y = y;
}

void GMInteractiveObj::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        m_highlighted = false;
}

bool GMInteractiveObj::SetHighlight(bool highlighted)
{
    if (!m_enabled) {
        m_highlighted = false;
        return false;
    }
    // Hand the animation clock over so that hovering never restarts it.
    if (highlighted && !m_highlighted)
        m_highlightImage.SetFramePosition(m_normalImage.GetFramePosition());
    else if (!highlighted && m_highlighted)
        m_normalImage.SetFramePosition(m_highlightImage.GetFramePosition());
    m_highlighted = highlighted;
    return highlighted;
}

void GMInteractiveObj::GetHitCentre(float* x, float* y) const
{
    const GMImage& img = Shown();
    *x = m_x + img.GetOffsetX() + img.GetExtraX();
    *y = m_y + img.GetOffsetY() + img.GetExtraY();
}

bool GMInteractiveObj::HitTest(float px, float py) const
{
    const GMImage& img = Shown();
    float dx = std::fabs(px - m_x - img.GetOffsetX() - img.GetExtraX());
    float dy = std::fabs(py - m_y - img.GetOffsetY() - img.GetExtraY());
    return dx <= img.GetImageWidth() * m_scale / 2 && dy <= img.GetImageHeight() * m_scale / 2;
}

int32_t GMInteractiveObj::SetImage(int32_t index, const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    return GetImage(index).LoadTemplate(fileName, manager, device);
}

int32_t GMInteractiveObj::SetImageTemplate(int32_t index, GMImageTemplate* imageTemplate)
{
    return GetImage(index).SetTemplate(imageTemplate);
}

const char* GMInteractiveObj::GetImageName(int32_t index) const
{
    return (index == 1 ? m_normalImage : m_highlightImage).GetTemplateName();
}

GMImageTemplate* GMInteractiveObj::GetImageTemplate(int32_t index) const
{
    return (index == 1 ? m_normalImage : m_highlightImage).GetTemplate();
}

float GMInteractiveObj::GetScaledWidth() const
{
    return Shown().GetImageWidth() * m_scale;
}

float GMInteractiveObj::GetScaledHeight() const
{
    return Shown().GetImageHeight() * m_scale;
}

float GMInteractiveObj::GetScaledFrameWidth() const
{
    return Shown().GetTextureWidth() * m_scale;
}

float GMInteractiveObj::GetScaledFrameHeight() const
{
    return Shown().GetTextureHeight() * m_scale;
}

bool GMInteractiveObj::Overlaps(const GMInteractiveObj* other) const
{
    if (!other)
        return false;
    GMPoint o;
    other->GetPosition(&o);
    float hw = GetScaledWidth() / 2, hh = GetScaledHeight() / 2;
    float ohw = other->GetScaledWidth() / 2, ohh = other->GetScaledHeight() / 2;
    return m_x + hw >= o.x - ohw && m_x - hw <= o.x + ohw && m_y + hh >= o.y - ohh && m_y - hh <= o.y + ohh;
}

GMInteractiveObj* AsInteractive(GMObject* obj)
{
    if (!obj)
        return nullptr;
    switch (obj->GetKind()) {
    case kKindInteractive:
    case kKindOrder:
    case kKindCustomer:
    case kKindGoods:
    case kKindPolice:
    case kKindShopGoods:
    case kKindBonus:
    case kKindQueryGoods:
        return static_cast<GMInteractiveObj*>(obj);
    default:
        return nullptr;
    }
}
