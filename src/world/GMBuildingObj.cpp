#include "world/GMBuildingObj.h"

#include "world/GMFieldGrid.h"
#include "world/GMRoadNodeObj.h"

void GMBuildingObj::Reset()
{
    GMFieldObj::Reset();
    m_kind = kKindBuilding;
    m_free = true;
    m_isHouse = false;
    m_entrance = nullptr;
    m_cooldown = 0.0f;
}

void GMBuildingObj::Clear()
{
    ReplaceObject(m_entrance, static_cast<GMRoadNodeObj*>(nullptr));
    m_free = true;
    m_isHouse = false;
    m_cooldown = 0.0f;
    GMFieldObj::Clear();
}

int32_t GMBuildingObj::Update(float mouseX, float mouseY, int32_t clickFlags, float dt)
{
    GMFieldObj::Update(mouseX, mouseY, clickFlags, dt);
    if (m_free && m_cooldown != 0.0f) {
        m_cooldown -= dt;
        if (m_cooldown < 0.0f)
            m_cooldown = 0.0f;
    }
    return 0;
}

void GMBuildingObj::SetOccupied(bool occupied)
{
    if (!m_entrance) {
        m_free = false;
        return;
    }
    if (!m_free) {
        if (!occupied) {
            m_free = true;
            m_cooldown = kCooldownMs;
        }
        return;
    }
    m_free = !occupied;
}

void GMBuildingObj::SetEntrance(GMRoadNodeObj* node)
{
    ReplaceObject(m_entrance, node);
    if (!m_entrance)
        SetOccupied(true);
}

bool GMBuildingObj::FindEntranceIn(const GMFieldGrid* grid, int32_t cellX, int32_t cellY)
{
    for (int32_t layer = 0;; ++layer) {
        int32_t inRange = 0;
        GMFieldObj* obj = grid->Lookup(cellX, cellY, layer, &inRange);
        if (!inRange)
            return false;
        if (obj && obj->GetKind() == kKindRoadNode && static_cast<GMRoadNodeObj*>(obj)->HasRoad()) {
            SetEntrance(static_cast<GMRoadNodeObj*>(obj));
            return true;
        }
    }
}

bool GMBuildingObj::FindEntrance(const GMFieldGrid* grid)
{
    if (grid && (FindEntranceIn(grid, m_cellX, m_cellY) || FindEntranceIn(grid, m_cellX, m_cellY + 1)))
        return true;
    SetEntrance(nullptr);
    return false;
}
