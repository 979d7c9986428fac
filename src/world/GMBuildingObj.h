#pragma once
#include "world/GMImageObj.h"

#include <cstdint>

class GMFieldGrid;
class GMRoadNodeObj;

// A house or shop standing in a cell of the field grid, with the road node
// where the vehicle stops for it. A house places orders while it is free.
class GMBuildingObj : public GMFieldObj {
public:
    // How long a freed building waits before it may place the next order.
    static constexpr float kCooldownMs = 1000.0f;

    GMBuildingObj() { GMBuildingObj::Reset(); }

    void Reset() override;
    void Clear() override;
    // Animates, and counts the cooldown of a free building down to 0.
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;

    void SetHouse(bool house) { m_isHouse = house; }
    bool IsHouse() const { return m_isHouse; }
    // A house with road access.
    bool IsOrderHouse() const { return m_isHouse && m_entrance; }
    bool CanPlaceOrder() const { return m_cooldown == 0.0f && m_free && m_isHouse; }
    bool IsFree() const { return m_free; }
    float GetCooldown() const { return m_cooldown; }

    // An order ties itself to the building (true) and lets go when it is
    // cleared (false); letting go starts the cooldown. Without an entrance the
    // building stays occupied whatever is asked.
    void SetOccupied(bool occupied);

    // Holds a reference to the node; null leaves the building occupied for good.
    void SetEntrance(GMRoadNodeObj* node);
    GMRoadNodeObj* GetEntrance() const { return m_entrance; }
    // The first connected road node in the building's own cell, layer by
    // layer, else in the cell below; true when one was found.
    bool FindEntrance(const GMFieldGrid* grid);

private:
    bool FindEntranceIn(const GMFieldGrid* grid, int32_t cellX, int32_t cellY);

    bool m_free = true;
    bool m_isHouse = false;
    GMRoadNodeObj* m_entrance = nullptr;
    float m_cooldown = 0.0f;
};
