#include "world/GMImageObj.h"

void GMImageObj::Reset()
{
    GMObject::Reset();
    m_kind = kKindImage;
}

void GMImageObj::Clear()
{
    m_image.Clear();
    GMObject::Clear();
}

int32_t GMImageObj::Update(float, float, int32_t, float dt)
{
    m_image.Advance(dt);
    return 0;
}

int32_t GMImageObj::Draw(float x, float y, DisplayDevice* device)
{
    m_image.Draw(x - GetFrameWidth() * 0.5f, y - GetFrameHeight(), device);
    return 0;
}

bool GMImageObj::ContainsPoint(float localX, float localY) const
{
    return m_image.GetImageWidth() >= localX && m_image.GetImageHeight() >= localY;
}

int32_t GMImageObj::SetImage(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    return m_image.LoadTemplate(fileName, manager, device);
}

void GMFieldObj::Reset()
{
    GMImageObj::Reset();
    m_kind = kKindField;
    m_cellX = m_cellY = m_layer = 0;
}

void GMFieldObj::Clear()
{
    m_cellX = m_cellY = m_layer = 0;
    GMImageObj::Clear();
}

void GMFieldObj::SetCell(int32_t cellX, int32_t cellY, int32_t layer)
{
    m_cellX = cellX;
    m_cellY = cellY;
    m_layer = layer;
}
