#include "world/GMDecorateObj.h"

#include <cmath>

void GMDecorateObj::Reset()
{
    GMImageObj::Reset();
    m_kind = kKindDecorate;
    m_x = m_y = 0.0f;
}

int32_t GMDecorateObj::Draw(float, float, DisplayDevice* device)
{
    return GMImageObj::Draw(m_x, m_y, device);
}

bool GMDecorateObj::ContainsPoint(float px, float py) const
{
    // The hit box stands on the foot.
    return py <= m_y && m_y - py <= m_image.GetImageHeight() && std::fabs(m_x - px) <= m_image.GetImageWidth() / 2;
}
