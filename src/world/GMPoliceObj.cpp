#include "world/GMPoliceObj.h"

#include "world/GMBuildingObj.h"
#include "world/GMFieldGrid.h"

void GMPoliceObj::Reset()
{
    GMInteractiveObj::Reset();
    m_kind = kKindPolice;
    m_building = nullptr;
}

void GMPoliceObj::Clear()
{
    // Released here: the interactive part's Clear resets the fields without releasing.
    ReplaceObject(m_building, static_cast<GMBuildingObj*>(nullptr));
    GMInteractiveObj::Clear();
}

int32_t GMPoliceObj::Update(float mouseX, float mouseY, int32_t clickFlags, float dt)
{
    GMInteractiveObj::Update(mouseX, mouseY, clickFlags, dt);
    return IsHighlighted() && clickFlags == 1 ? 1 : 0;
}

void GMPoliceObj::SetBuilding(GMBuildingObj* building)
{
    ReplaceObject(m_building, building);
}

bool GMPoliceObj::OverlapsBuilding(const GMBuildingObj* building, const GMFieldGrid& grid) const
{
    if (!building)
        return false;
    float centreX = grid.FootX(static_cast<float>(building->GetCellX()));
    float halfW = building->GetHitWidth() / 2;
    float bottom = grid.FootY(static_cast<float>(building->GetCellY()));
    float top = bottom - building->GetHitHeight();
    float postHalfW = GetScaledWidth() / 2, postHalfH = GetScaledHeight() / 2;
    return m_x + postHalfW >= centreX - halfW && m_x - postHalfW <= centreX + halfW && m_y + postHalfH >= top &&
           m_y - postHalfH <= bottom;
}
