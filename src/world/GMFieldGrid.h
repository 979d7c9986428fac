#pragma once
#include <cstdint>

class GMFieldObj;

// The town's cells: 25 columns x 20 rows x 5 layers, each holding at most one
// field object with one reference. A level uses a part of it (its width,
// height and layer count); bounds checks are the grid's own.
class GMFieldGrid {
public:
    static constexpr int32_t kColumns = 25;
    static constexpr int32_t kRows = 20;
    static constexpr int32_t kLayers = 5;

    GMFieldGrid() = default;
    GMFieldGrid(const GMFieldGrid&) = delete;
    GMFieldGrid& operator=(const GMFieldGrid&) = delete;
    ~GMFieldGrid() { Clear(); }

    // The cell's object (possibly null) with inRange 1, or null with inRange 0
    // when a coordinate lies outside the grid.
    GMFieldObj* Lookup(int32_t cellX, int32_t cellY, int32_t layer, int32_t* inRange = nullptr) const;
    // Stores obj (taking a reference) in its cell; false outside the grid.
    bool Place(int32_t cellX, int32_t cellY, int32_t layer, GMFieldObj* obj);
    void Clear();

    // Screen origin and cell size in pixels.
    float originX = 0.0f;
    float originY = 0.0f;
    float cellWidth = 0.0f;
    float cellHeight = 0.0f;

    // Where an object standing at a cell (or a vehicle at a fractional cell
    // position) has its foot on screen.
    float FootX(float cellX) const { return (cellX + 0.5f) * cellWidth + originX; }
    float FootY(float cellY) const { return (cellY + 1.0f) * cellHeight + originY; }

    static int32_t Index(int32_t cellX, int32_t cellY, int32_t layer) { return (cellX * kRows + cellY) * kLayers + layer; }

private:
    GMFieldObj* m_cells[kColumns * kRows * kLayers] = {};
};

// Painter's order of the town: layer, then row, then column.
struct DrawOrderKey {
    int32_t layer;
    int32_t cellY;
    int32_t cellX;
    bool operator<(const DrawOrderKey& o) const
    {
        if (layer != o.layer)
            return layer < o.layer;
        if (cellY != o.cellY)
            return cellY < o.cellY;
        return cellX < o.cellX;
    }
};

DrawOrderKey DrawOrderOf(const GMFieldObj* obj);
