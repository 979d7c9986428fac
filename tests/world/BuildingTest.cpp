#include "world/GMBuildingObj.h"
#include "world/GMFieldGrid.h"
#include "world/GMRoadNodeObj.h"

#include <gtest/gtest.h>

namespace {

// A road node placed in the grid (the grid holds it) with a link, so that it
// counts as road; returns the node, which the grid keeps alive.
GMRoadNodeObj* PlaceRoad(GMFieldGrid& grid, int32_t x, int32_t y, int32_t layer, bool connected = true)
{
    auto* node = new GMRoadNodeObj;
    grid.Place(x, y, layer, node);
    node->Release();
    if (connected)
        node->SetLink(kSideRight, x + 1, y, layer);
    return node;
}

GMBuildingObj* PlaceHouse(GMFieldGrid& grid, int32_t x, int32_t y, int32_t layer)
{
    auto* house = new GMBuildingObj;
    house->SetHouse(true);
    grid.Place(x, y, layer, house);
    house->Release();
    return house;
}

}  // namespace

TEST(GMBuildingObj, EntranceInTheCellBelowOrTheOwnCellFirst)
{
    GMFieldGrid grid;
    // Road only below: that node is the entrance.
    GMBuildingObj* below = PlaceHouse(grid, 2, 2, 0);
    GMRoadNodeObj* roadBelow = PlaceRoad(grid, 2, 3, 0);
    EXPECT_TRUE(below->FindEntrance(&grid));
    EXPECT_EQ(below->GetEntrance(), roadBelow);
    EXPECT_EQ(roadBelow->GetRefCount(), 2) << "the grid's reference and the building's";
    EXPECT_TRUE(below->IsOrderHouse());
    EXPECT_TRUE(below->CanPlaceOrder());

    // Road in its own cell (layer 2) and below: its own cell wins, even though
    // the node below sits on a lower layer.
    GMBuildingObj* own = PlaceHouse(grid, 5, 5, 0);
    GMRoadNodeObj* ownRoad = PlaceRoad(grid, 5, 5, 2);
    PlaceRoad(grid, 5, 6, 0);
    EXPECT_TRUE(own->FindEntrance(&grid));
    EXPECT_EQ(own->GetEntrance(), ownRoad);

    // Layer by layer: the lowest connected node of the cell.
    GMBuildingObj* layered = PlaceHouse(grid, 8, 1, 0);
    PlaceRoad(grid, 8, 1, 1, false);  // a road node with no road at all is skipped
    GMRoadNodeObj* upper = PlaceRoad(grid, 8, 1, 3);
    PlaceRoad(grid, 8, 1, 4);
    EXPECT_TRUE(layered->FindEntrance(&grid));
    EXPECT_EQ(layered->GetEntrance(), upper);

    // A building on another building's cell below does not count as a road.
    GMBuildingObj* blocked = PlaceHouse(grid, 12, 7, 0);
    PlaceHouse(grid, 12, 8, 0);
    PlaceRoad(grid, 12, 9, 0);
    EXPECT_FALSE(blocked->FindEntrance(&grid));
    EXPECT_EQ(blocked->GetEntrance(), nullptr);
    EXPECT_FALSE(blocked->IsFree()) << "no road access: never places orders";
    EXPECT_FALSE(blocked->CanPlaceOrder());
    EXPECT_FALSE(blocked->IsOrderHouse());
    blocked->SetOccupied(false);
    EXPECT_FALSE(blocked->IsFree()) << "freeing a building without entrance keeps it occupied";

    // The bottom row looks below the grid and finds nothing; no crash.
    GMBuildingObj* bottom = PlaceHouse(grid, 0, GMFieldGrid::kRows - 1, 0);
    EXPECT_FALSE(bottom->FindEntrance(&grid));
    EXPECT_FALSE(bottom->FindEntrance(nullptr));

    // A shop has an entrance but places no orders.
    GMBuildingObj* shop = PlaceHouse(grid, 2, 1, 0);
    shop->SetHouse(false);
    GMRoadNodeObj* shopRoad = PlaceRoad(grid, 2, 1, 1);
    EXPECT_TRUE(shop->FindEntrance(&grid));
    EXPECT_EQ(shop->GetEntrance(), shopRoad);
    EXPECT_FALSE(shop->IsOrderHouse());
    EXPECT_FALSE(shop->CanPlaceOrder());

    grid.Clear();
}

TEST(GMBuildingObj, AFreedHouseWaitsASecond)
{
    GMFieldGrid grid;
    GMBuildingObj* house = PlaceHouse(grid, 3, 3, 0);
    PlaceRoad(grid, 3, 4, 0);
    ASSERT_TRUE(house->FindEntrance(&grid));

    house->SetOccupied(true);
    EXPECT_FALSE(house->IsFree());
    EXPECT_FALSE(house->CanPlaceOrder());
    house->Update(0, 0, 0, 5000.0f);
    EXPECT_FLOAT_EQ(house->GetCooldown(), 0.0f) << "no cooldown runs while occupied";
    house->SetOccupied(true);
    EXPECT_FALSE(house->IsFree()) << "a second order keeps it occupied";

    house->SetOccupied(false);
    EXPECT_TRUE(house->IsFree());
    EXPECT_FLOAT_EQ(house->GetCooldown(), 1000.0f);
    EXPECT_FALSE(house->CanPlaceOrder()) << "free, yet still waiting";
    house->Update(0, 0, 0, 600.0f);
    EXPECT_FLOAT_EQ(house->GetCooldown(), 400.0f);
    EXPECT_FALSE(house->CanPlaceOrder());
    house->Update(0, 0, 0, 399.0f);
    EXPECT_FALSE(house->CanPlaceOrder());
    house->Update(0, 0, 0, 16.0f);
    EXPECT_FLOAT_EQ(house->GetCooldown(), 0.0f) << "never below 0";
    EXPECT_TRUE(house->CanPlaceOrder());

    // Occupying and freeing a free building directly: no cooldown.
    house->SetOccupied(false);
    EXPECT_FLOAT_EQ(house->GetCooldown(), 0.0f);
    EXPECT_TRUE(house->CanPlaceOrder());

    // Occupied again before the cooldown ran out: it waits, frozen, and runs
    // on once freed.
    house->SetOccupied(true);
    house->SetOccupied(false);
    house->Update(0, 0, 0, 300.0f);
    house->SetOccupied(true);
    house->Update(0, 0, 0, 300.0f);
    EXPECT_FLOAT_EQ(house->GetCooldown(), 700.0f);
    house->SetOccupied(false);
    EXPECT_FLOAT_EQ(house->GetCooldown(), 1000.0f) << "every freeing starts a full second";
    grid.Clear();
}

TEST(GMBuildingObj, LosingTheEntranceOccupiesForGood)
{
    auto* road = new GMRoadNodeObj;
    auto* house = new GMBuildingObj;
    house->SetHouse(true);
    house->SetEntrance(road);
    EXPECT_TRUE(house->CanPlaceOrder());
    house->SetEntrance(nullptr);
    EXPECT_EQ(road->GetRefCount(), 1);
    EXPECT_FALSE(house->IsFree());
    house->SetEntrance(road);
    EXPECT_EQ(house->Release(), 0);
    EXPECT_EQ(road->GetRefCount(), 1) << "a destroyed building lets its entrance go";
    road->Release();
}
