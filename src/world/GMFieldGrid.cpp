#include "world/GMFieldGrid.h"

#include "world/GMImageObj.h"
#include "world/GMRoadNodeObj.h"

static bool InGrid(int32_t cellX, int32_t cellY, int32_t layer)
{
    return cellX >= 0 && cellY >= 0 && layer >= 0 && cellX < GMFieldGrid::kColumns && cellY < GMFieldGrid::kRows &&
           layer < GMFieldGrid::kLayers;
}

GMFieldObj* GMFieldGrid::Lookup(int32_t cellX, int32_t cellY, int32_t layer, int32_t* inRange) const
{
    bool ok = InGrid(cellX, cellY, layer);
    if (inRange)
        *inRange = ok ? 1 : 0;
    return ok ? m_cells[Index(cellX, cellY, layer)] : nullptr;
}

bool GMFieldGrid::Place(int32_t cellX, int32_t cellY, int32_t layer, GMFieldObj* obj)
{
    if (!InGrid(cellX, cellY, layer))
        return false;
    ReplaceObject(m_cells[Index(cellX, cellY, layer)], obj);
    if (obj)
        obj->SetCell(cellX, cellY, layer);
    return true;
}

void GMFieldGrid::Clear()
{
    // Road nodes that link to each other hold each other: break those rings
    // first, or the town's roads would outlive the level.
    for (GMFieldObj* cell : m_cells) {
        if (cell && cell->GetKind() == kKindRoadNode)
            static_cast<GMRoadNodeObj*>(cell)->ReleaseNeighbours();
    }
    for (GMFieldObj*& cell : m_cells)
        ReplaceObject(cell, static_cast<GMFieldObj*>(nullptr));
}

DrawOrderKey DrawOrderOf(const GMFieldObj* obj)
{
    return {obj->GetLayer(), obj->GetCellY(), obj->GetCellX()};
}
