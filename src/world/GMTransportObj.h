#pragma once
#include "gfx/GMImage.h"
#include "world/GMObject.h"
#include "world/GMRoadNodeObj.h"

#include <cstdint>

class GMFieldGrid;
class GMImageManager;

// Where the vehicle was a moment ago, for the trail of fading pictures.
struct GMGhostPoint {
    static constexpr uint8_t kEmpty = 255;

    float x = 0.0f;  // position in cell units
    float y = 0.0f;
    int32_t layer = 0;
    uint8_t image = kEmpty;  // facing to draw, or kEmpty
    bool drawn = false;      // already drawn in this frame
    int32_t cellX = 0;       // the position rounded down
    int32_t cellY = 0;
};

// A vehicle driving along the road graph at a constant speed in cells per ms,
// turning its picture to each leg, carrying goods; the player's delivery car
// and the police car.
class GMTransportObj : public GMObject {
public:
    // Pictures by facing, in the level file's order.
    enum Facing : int32_t { kFacingLeft = 0, kFacingUp = 1, kFacingRight = 2, kFacingDown = 3, kFacingCount = 4 };
    // GoTo results.
    enum : int32_t { kRouteSet = 0, kAlreadyGoing = 1, kAlreadyThere = 2, kStopped = 3 };
    static constexpr int32_t kMaxCapacity = 5;
    static constexpr int32_t kGhostCount = 10;

    GMTransportObj() { GMTransportObj::Reset(); }

    void Reset() override;
    void Clear() override;
    // Animates, drives on by speed x dt, records the trail and counts the wait
    // time down. Always 0.
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;
    // The picture of the current facing, foot at (x, y).
    int32_t Draw(float x, float y, DisplayDevice* device) override;

    // Directions above 3 load the last picture; 0 or the loader's code.
    int32_t SetImage(int32_t direction, const char* fileName, GMImageManager* manager, DisplayDevice* device);
    GMImage& GetImage(int32_t direction) { return m_images[ClampDirection(direction)]; }

    void SetStartCell(int32_t cellX, int32_t cellY, int32_t layer);
    // Places the vehicle on the road node in its start cell, if any; the start
    // cell is forgotten either way. 1 without a grid, else 0.
    int32_t ResolveStartCell(const GMFieldGrid* grid);
    // Stands the vehicle on a node (null: not placed), dropping any route.
    void SetCurrentNode(GMRoadNodeObj* node);
    GMRoadNodeObj* GetCurrentNode() const { return m_currentNode; }
    bool IsAt(const GMRoadNodeObj* node) const { return m_currentNode == node; }

    void SetSpeed(float cellsPerMs) { m_speed = cellsPerMs > 0.0f ? cellsPerMs : 0.0f; }
    float GetSpeed() const { return m_speed; }
    // Cargo slots, 1 to 5.
    void SetCapacity(int32_t slots);
    int32_t GetCapacity() const { return m_capacity; }
    // 'L', 'T', 'R', 'B'; anything else keeps the facing. The animation runs on.
    void SetFacing(char letter);
    int32_t GetFacing() const { return m_facing; }
    void SetWaitTime(float ms) { m_waitTime = ms > 0.0f ? ms : 0.0f; }
    float GetWaitTime() const { return m_waitTime; }
    // 0 turns the trail off.
    void SetGhostInterval(float ms) { m_ghostInterval = ms > 0.0f ? ms : 0.0f; }
    float GetGhostInterval() const { return m_ghostInterval; }
    void SetGhostOn(bool on) { m_ghostOn = on; }
    // A new picture of the town begins: every ghost point may be drawn once
    // more (a frame can be drawn again without an update, as under the pause menu).
    void BeginGhostDrawing();
    bool IsGhostOn() const { return m_ghostOn; }

    // Sends the vehicle to a node, or with null asks it to stop at the end of
    // its leg. kRouteSet also when not placed or when no route exists.
    int32_t GoTo(GMRoadNodeObj* target);
    bool IsMoving() const { return !m_route.empty(); }
    bool IsBusy() const { return IsMoving() || m_waitTime > 0.0f; }
    // The node ahead first, the destination last; empty while standing.
    const GMRoute& GetRoute() const { return m_route; }

    // Position in cell units; false (nothing written) when not placed.
    bool GetPosition(float* outX, float* outY) const;
    // The higher of the layers of the node left and the node ahead.
    int32_t GetLayer() const;

    // The newest goods goes first; the oldest falls out when the slots are full.
    void LoadGoods(int32_t goods);
    bool HasGoods(int32_t goods) const;
    void UnloadGoods(int32_t goods);
    int32_t GetCargo(int32_t slot) const { return slot >= 0 && slot < kMaxCapacity ? m_cargo[slot] : 0; }

    // Draws, additively and fainter the older they are, the trail points that
    // come before cell (cellX, cellY, layer) in the painter's order and were not
    // drawn yet in this frame (the newest point never). Returns how many points
    // are not empty.
    int32_t DrawGhosts(int32_t cellX, int32_t cellY, int32_t layer, float originX, float originY, float cellW,
                       float cellH, DisplayDevice* device);
    const GMGhostPoint& GetGhost(int32_t index) const { return m_ghosts[(index % kGhostCount + kGhostCount) % kGhostCount]; }
    int32_t GetNewestGhost() const { return m_ghostNewest; }

private:
    static int32_t ClampDirection(int32_t d) { return d < 0 ? 0 : (d > 3 ? 3 : d); }
    void Advance(float distance);
    void StartLeg();
    void StandStill();
    void RecordGhosts(float dt);

    GMImage m_images[kFacingCount];
    int32_t m_facing = kFacingLeft;
    GMRoadNodeObj* m_currentNode = nullptr;
    bool m_hasStartCell = false;
    int32_t m_startCell[3] = {};
    GMRoute m_route;
    float m_speed = 0.0f;
    int32_t m_capacity = 1;
    float m_legRemaining = 0.0f;
    float m_legInverse = 0.0f;
    float m_legLength = 0.0f;
    float m_waitTime = 0.0f;
    float m_ghostTimer = 0.0f;
    int32_t m_ghostNewest = 0;
    float m_ghostInterval = 10.0f;
    bool m_ghostOn = false;
    GMGhostPoint m_ghosts[kGhostCount];
    int32_t m_cargo[kMaxCapacity] = {};
};
