#pragma once
#include "world/GMInteractiveObj.h"

class GMBuildingObj;
class GMFieldGrid;

// A police post the player clicks to call the police car; tied to the
// building its picture stands on, whose entrance the car drives to.
class GMPoliceObj : public GMInteractiveObj {
public:
    GMPoliceObj() { GMPoliceObj::Reset(); }

    void Reset() override;
    void Clear() override;
    // 1 when clicked (highlighted and a left click), else 0.
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;

    // Holds a reference to the building.
    void SetBuilding(GMBuildingObj* building);
    GMBuildingObj* GetBuilding() const { return m_building; }

    // Whether the post's scaled hit box meets the building's picture as drawn
    // in the grid (its hit box standing on the cell's foot point); touching
    // counts. False for a null building.
    bool OverlapsBuilding(const GMBuildingObj* building, const GMFieldGrid& grid) const;

private:
    GMBuildingObj* m_building = nullptr;
};
