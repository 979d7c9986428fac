#include "platform/DisplayDevice.h"
#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "world/GMFieldGrid.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A town in a real field grid; links are two-way unless asked otherwise.
struct Streets {
    GMFieldGrid grid;

    GMRoadNodeObj* Node(int32_t x, int32_t y, int32_t layer = 0)
    {
        if (GMFieldObj* o = grid.Lookup(x, y, layer))
            return static_cast<GMRoadNodeObj*>(o);
        auto* n = new GMRoadNodeObj;
        grid.Place(x, y, layer, n);
        n->Release();
        return n;
    }
    void Link(GMRoadNodeObj* a, int32_t side, GMRoadNodeObj* b, bool twoWay = true)
    {
        a->SetNeighbour(side, b);
        if (twoWay)
            b->SetNeighbour((side + 2) % 4, a);
    }
    // Nodes (x0..x1, y) joined left to right.
    void Row(int32_t x0, int32_t x1, int32_t y)
    {
        for (int32_t x = x0; x < x1; ++x)
            Link(Node(x, y), kSideRight, Node(x + 1, y));
    }
};

struct Car {
    GMTransportObj* obj = new GMTransportObj;
    ~Car() { obj->Release(); }
    GMTransportObj* operator->() const { return obj; }
    void Drive(float ms, float step = 10.0f)
    {
        for (float t = 0; t < ms - 1e-3f; t += step)
            obj->Update(0, 0, 0, std::fmin(step, ms - t));
    }
    std::pair<float, float> Pos() const
    {
        float x = -1, y = -1;
        obj->GetPosition(&x, &y);
        return {x, y};
    }
};

}  // namespace

TEST(GMTransportObj, GoToResults)
{
    Streets town;
    town.Row(0, 4, 0);
    Car car;
    EXPECT_EQ(car->GetKind(), kKindTransport);
    EXPECT_EQ(car->GoTo(town.Node(3, 0)), GMTransportObj::kRouteSet) << "not placed";
    EXPECT_FALSE(car->IsMoving());
    float x = 7;
    EXPECT_FALSE(car->GetPosition(&x, nullptr));
    EXPECT_EQ(x, 7) << "nothing written when not placed";
    EXPECT_EQ(car->GetLayer(), 0);

    car->SetCurrentNode(town.Node(1, 0));
    EXPECT_EQ(town.Node(1, 0)->GetRefCount(), 4) << "the grid, both neighbours and the car";
    EXPECT_EQ(car->GoTo(town.Node(1, 0)), GMTransportObj::kAlreadyThere);
    EXPECT_FALSE(car->IsMoving());
    EXPECT_EQ(car->GoTo(nullptr), GMTransportObj::kStopped);

    car->SetSpeed(0.001f);
    EXPECT_EQ(car->GoTo(town.Node(3, 0)), GMTransportObj::kRouteSet);
    EXPECT_TRUE(car->IsMoving());
    EXPECT_EQ(car->GetRoute(), (GMRoute{town.Node(2, 0), town.Node(3, 0)})) << "the start node is left at once";
    car.Drive(100);
    EXPECT_EQ(car->GoTo(town.Node(3, 0)), GMTransportObj::kAlreadyGoing);
    EXPECT_EQ(car->GetRoute(), (GMRoute{town.Node(2, 0), town.Node(3, 0)})) << "the route is kept";
    EXPECT_FLOAT_EQ(car.Pos().first, 1.1f) << "and nothing restarts";

    // Unreachable while standing: stays, and stays placed.
    Car other;
    GMRoadNodeObj* island = town.Node(9, 9);
    other->SetCurrentNode(town.Node(0, 0));
    EXPECT_EQ(other->GoTo(island), GMTransportObj::kRouteSet);
    EXPECT_FALSE(other->IsMoving());
    EXPECT_TRUE(other->IsAt(town.Node(0, 0)));
}

TEST(GMTransportObj, ANewDestinationWhileDrivingFinishesTheLegFirst)
{
    // 0,0 - 1,0 - 2,0 - 3,0 with a branch down from 1,0 to 1,1 - 1,2.
    Streets town;
    town.Row(0, 3, 0);
    town.Link(town.Node(1, 0), kSideBottom, town.Node(1, 1));
    town.Link(town.Node(1, 1), kSideBottom, town.Node(1, 2));
    Car car;
    car->SetCurrentNode(town.Node(0, 0));
    car->SetSpeed(0.002f);
    car->GoTo(town.Node(3, 0));
    car.Drive(300);  // 0.6 of the first leg
    auto before = car.Pos();
    EXPECT_EQ(car->GoTo(town.Node(1, 2)), GMTransportObj::kRouteSet);
    EXPECT_EQ(car->GetRoute(), (GMRoute{town.Node(1, 0), town.Node(1, 1), town.Node(1, 2)}));
    EXPECT_EQ(car.Pos(), before) << "no jump";
    EXPECT_EQ(car->GetFacing(), GMTransportObj::kFacingRight);
    car.Drive(200);
    EXPECT_TRUE(car->IsAt(town.Node(1, 0)));
    EXPECT_EQ(car->GetFacing(), GMTransportObj::kFacingDown);
    car.Drive(1000);
    EXPECT_TRUE(car->IsAt(town.Node(1, 2)));
    EXPECT_FALSE(car->IsMoving());

    // Back along the way it came, asked while leaving a node: it turns at the
    // end of the leg under way instead of driving on.
    car->GoTo(town.Node(3, 0));
    car.Drive(100);
    EXPECT_TRUE(car->IsAt(town.Node(1, 2)));
    EXPECT_EQ(car->GoTo(town.Node(1, 2)), GMTransportObj::kRouteSet);
    EXPECT_EQ(car->GetRoute(), (GMRoute{town.Node(1, 1), town.Node(1, 2)}));

    // Asked for the very node ahead: it stops there instead of going round.
    car.Drive(1000);
    ASSERT_TRUE(car->IsAt(town.Node(1, 2)));
    car->GoTo(town.Node(3, 0));
    car.Drive(100);
    ASSERT_EQ(car->GetRoute().front(), town.Node(1, 1));
    EXPECT_EQ(car->GoTo(town.Node(1, 1)), GMTransportObj::kRouteSet);
    EXPECT_EQ(car->GetRoute(), (GMRoute{town.Node(1, 1)}));
    car.Drive(500);
    EXPECT_TRUE(car->IsAt(town.Node(1, 1)));
    EXPECT_FALSE(car->IsMoving());

    // Out of reach while driving: it finishes the leg and stands there.
    car->GoTo(town.Node(3, 0));
    car.Drive(100);
    EXPECT_EQ(car->GoTo(town.Node(20, 19)), GMTransportObj::kRouteSet);
    EXPECT_EQ(car->GetRoute(), (GMRoute{town.Node(1, 0)}));
    car.Drive(1000);
    EXPECT_TRUE(car->IsAt(town.Node(1, 0)));
    EXPECT_EQ(car.Pos(), (std::pair{1.0f, 0.0f}));
}

TEST(GMTransportObj, SpeedLegsAndFacing)
{
    Streets town;
    town.Row(0, 1, 0);
    Car car;
    car->SetCurrentNode(town.Node(0, 0));
    car->SetSpeed(0.004f);
    car->GoTo(town.Node(1, 0));
    car.Drive(240);
    EXPECT_TRUE(car->IsMoving());
    EXPECT_NEAR(car.Pos().first, 0.96f, 1e-5f);
    car.Drive(10);
    EXPECT_FALSE(car->IsMoving()) << "0.004 cells/ms over one cell: there after 250 ms";
    EXPECT_TRUE(car->IsAt(town.Node(1, 0)));

    car->SetCurrentNode(town.Node(0, 0));
    car->GoTo(town.Node(1, 0));
    car->Update(0, 0, 0, 249.0f);
    EXPECT_TRUE(car->IsMoving());
    car->Update(0, 0, 0, 1.0f);
    EXPECT_FALSE(car->IsMoving());

    // The three example legs, one node linked to the next in a chain.
    GMRoadNodeObj* a = town.Node(2, 3);
    GMRoadNodeObj* b = town.Node(5, 3);
    GMRoadNodeObj* c = town.Node(5, 1);  // (2,3)->(2,1) is the same leg shape, shifted
    GMRoadNodeObj* d = town.Node(7, 3);
    a->SetNeighbour(kSideRight, b);
    b->SetNeighbour(kSideTop, c);
    c->SetNeighbour(kSideBottom, d);
    car->SetCurrentNode(a);
    car->SetFacing('B');
    car->SetSpeed(0.001f);
    car->GoTo(d);
    EXPECT_EQ(car->GetFacing(), GMTransportObj::kFacingRight) << "(2,3) to (5,3)";
    EXPECT_EQ(car->GetLayer(), 0);
    car.Drive(3000);
    EXPECT_TRUE(car->IsAt(b));
    EXPECT_EQ(car->GetFacing(), GMTransportObj::kFacingUp) << "(2,3) to (2,1)";
    car.Drive(2000);
    EXPECT_EQ(car->GetFacing(), GMTransportObj::kFacingDown) << "(2,3) to (4,5): the vertical part decides";
    EXPECT_TRUE(car->IsAt(c));
    // Half way along the diagonal leg (length sqrt 8).
    car.Drive(std::sqrt(8.0f) * 500.0f, 1.0f);
    EXPECT_NEAR(car.Pos().first, 6.0f, 1e-3f);
    EXPECT_NEAR(car.Pos().second, 2.0f, 1e-3f);

    // One long step drives through several nodes in one update.
    Streets line;
    line.Row(0, 6, 0);
    car->SetCurrentNode(line.Node(0, 0));
    car->GoTo(line.Node(6, 0));
    car->SetWaitTime(500.0f);
    car->SetSpeed(0.01f);
    car->Update(0, 0, 0, 350.0f);
    EXPECT_TRUE(car->IsAt(line.Node(3, 0)));
    EXPECT_NEAR(car.Pos().first, 3.5f, 1e-5f);
    car->Update(0, 0, 0, 1000.0f);
    EXPECT_TRUE(car->IsAt(line.Node(6, 0)));
    EXPECT_FLOAT_EQ(car->GetWaitTime(), 0.0f) << "arrival ends any wait";
    EXPECT_FALSE(car->IsBusy());
    car->SetWaitTime(300.0f);
    EXPECT_TRUE(car->IsBusy()) << "standing, but waiting";
    car->Update(0, 0, 0, 299.0f);
    EXPECT_TRUE(car->IsBusy());
    car->Update(0, 0, 0, 16.0f);
    EXPECT_FLOAT_EQ(car->GetWaitTime(), 0.0f);
    EXPECT_FALSE(car->IsBusy());
}

TEST(GMTransportObj, RampsBetweenLayers)
{
    // (0,0,0) -> (1,0,1) up a ramp, then (1,0,1) -> (1,0,0) straight down in one cell.
    Streets town;
    GMRoadNodeObj* low = town.Node(0, 0, 0);
    GMRoadNodeObj* bridge = town.Node(1, 0, 1);
    GMRoadNodeObj* under = town.Node(1, 0, 0);
    GMRoadNodeObj* beyond = town.Node(2, 0, 0);
    low->SetNeighbour(kSideRight, bridge);
    bridge->SetNeighbour(kSideBottom, under);
    under->SetNeighbour(kSideRight, beyond);
    Car car;
    car->SetCurrentNode(low);
    car->SetSpeed(0.01f);
    car->GoTo(beyond);
    EXPECT_EQ(car->GetLayer(), 1) << "the higher of the two ends of the leg";
    car.Drive(50);
    EXPECT_NEAR(car.Pos().first, 0.5f, 1e-5f);
    car.Drive(60);
    EXPECT_TRUE(car->IsAt(under)) << "a leg without length is passed at once";
    EXPECT_NEAR(car.Pos().first, 1.1f, 1e-5f);
    auto [x, y] = car.Pos();
    EXPECT_FALSE(std::isnan(x) || std::isnan(y));
    EXPECT_EQ(car->GetLayer(), 0);
    car.Drive(200);
    EXPECT_TRUE(car->IsAt(beyond));

    // Standing on the bridge, sent down: the zero-length first leg is taken
    // by the next update, and the position stays a number meanwhile.
    car->SetCurrentNode(bridge);
    car->GoTo(under);
    auto [bx, by] = car.Pos();
    EXPECT_FLOAT_EQ(bx, 1.0f);
    EXPECT_FLOAT_EQ(by, 0.0f);
    car->Update(0, 0, 0, 10.0f);
    EXPECT_TRUE(car->IsAt(under));
}

TEST(GMTransportObj, StopRequests)
{
    Streets town;
    town.Row(0, 4, 0);
    Car car;
    car->SetCurrentNode(town.Node(0, 0));
    car->SetSpeed(0.002f);
    car->GoTo(town.Node(4, 0));
    EXPECT_EQ(car->GoTo(nullptr), GMTransportObj::kStopped);
    EXPECT_FALSE(car->IsMoving()) << "not moved yet on its leg: stops where it stands";
    EXPECT_TRUE(car->IsAt(town.Node(0, 0)));
    // Nothing of the abandoned leg lingers: the next trip starts at once.
    car->GoTo(town.Node(1, 0));
    car.Drive(500);
    EXPECT_TRUE(car->IsAt(town.Node(1, 0)));

    car->GoTo(town.Node(4, 0));
    car.Drive(100);
    EXPECT_EQ(car->GoTo(nullptr), GMTransportObj::kStopped);
    EXPECT_EQ(car->GetRoute(), (GMRoute{town.Node(2, 0)})) << "under way: finishes the leg";
    car.Drive(400);
    EXPECT_TRUE(car->IsAt(town.Node(2, 0)));
    EXPECT_FALSE(car->IsMoving());
}

TEST(GMTransportObj, StartCellAndSettings)
{
    Streets town;
    town.Row(2, 3, 4);
    Car car;
    car->SetStartCell(2, 4, 0);
    EXPECT_EQ(car->ResolveStartCell(nullptr), 1);
    EXPECT_EQ(car->GetCurrentNode(), nullptr);
    EXPECT_EQ(car->ResolveStartCell(&town.grid), 0);
    EXPECT_EQ(car->GetCurrentNode(), town.Node(2, 4));
    EXPECT_EQ(car.Pos(), (std::pair{2.0f, 4.0f}));

    Car lost;
    lost->SetStartCell(5, 5, 0);  // no road there
    EXPECT_EQ(lost->ResolveStartCell(&town.grid), 0);
    EXPECT_EQ(lost->GetCurrentNode(), nullptr);
    EXPECT_EQ(lost->GoTo(town.Node(3, 4)), GMTransportObj::kRouteSet);
    EXPECT_FALSE(lost->IsMoving());

    EXPECT_EQ(car->GetCapacity(), 1);
    car->SetCapacity(9);
    EXPECT_EQ(car->GetCapacity(), 5);
    car->SetCapacity(256);
    EXPECT_EQ(car->GetCapacity(), 5) << "no wrap-around to an empty van";
    car->SetCapacity(0);
    EXPECT_EQ(car->GetCapacity(), 1);

    EXPECT_EQ(car->GetFacing(), GMTransportObj::kFacingLeft);
    for (auto [letter, facing] : {std::pair{'T', 1}, {'R', 2}, {'B', 3}, {'L', 0}, {'x', 0}, {'t', 0}})
    {
        car->SetFacing(letter);
        EXPECT_EQ(car->GetFacing(), facing) << letter;
    }
}

TEST(GMTransportObj, CargoKeepsTheNewestFirst)
{
    Car car;
    car->SetCapacity(2);
    car->LoadGoods(7);
    car->LoadGoods(8);
    car->LoadGoods(9);
    EXPECT_EQ(car->GetCargo(0), 9);
    EXPECT_EQ(car->GetCargo(1), 8);
    EXPECT_FALSE(car->HasGoods(7)) << "the oldest fell out";
    car->LoadGoods(8);
    EXPECT_EQ(car->GetCargo(0), 9) << "goods already carried are not loaded twice";
    car->UnloadGoods(9);
    EXPECT_EQ(car->GetCargo(0), 8);
    EXPECT_EQ(car->GetCargo(1), 0);
    car->UnloadGoods(5);
    EXPECT_EQ(car->GetCargo(0), 8) << "unloading goods not carried changes nothing";
    EXPECT_FALSE(car->HasGoods(0));

    car->SetCapacity(5);
    for (int g : {1, 2, 3, 4, 5, 6})
        car->LoadGoods(g);
    EXPECT_EQ(car->GetCargo(0), 6);
    EXPECT_EQ(car->GetCargo(4), 2);
    car->UnloadGoods(4);
    EXPECT_EQ(car->GetCargo(1), 5);
    EXPECT_EQ(car->GetCargo(2), 3);
    EXPECT_EQ(car->GetCargo(3), 2);
    EXPECT_EQ(car->GetCargo(4), 0);
    EXPECT_EQ(car->GetCargo(7), 0);
}

TEST(GMTransportObj, TrailPointsSpreadOverThePassedIntervals)
{
    Streets town;
    town.Row(0, 20, 5);
    Car car;
    car->SetCurrentNode(town.Node(0, 5));
    car->SetSpeed(0.01f);
    car->SetGhostOn(true);
    car->GoTo(town.Node(20, 5));
    int32_t before = car->GetNewestGhost();
    car->Update(0, 0, 0, 25.0f);  // timer -25 with an interval of 10: three points
    EXPECT_EQ(car->GetNewestGhost(), (before + 3) % 10);
    for (int i = 1; i <= 3; ++i) {
        const GMGhostPoint& g = car->GetGhost(before + i);
        EXPECT_NEAR(g.x, 0.25f * float(i) / 3.0f, 1e-6f) << i;
        EXPECT_EQ(g.y, 5.0f);
        EXPECT_EQ(g.image, GMTransportObj::kFacingRight);
    }
    // The timer kept the rest: 5 ms until the next point.
    car->Update(0, 0, 0, 4.0f);
    EXPECT_EQ(car->GetNewestGhost(), (before + 3) % 10);
    car->Update(0, 0, 0, 1.0f);
    EXPECT_EQ(car->GetNewestGhost(), (before + 4) % 10);

    // Standing still empties the trail, point by point.
    car->GoTo(nullptr);
    car.Drive(200);
    EXPECT_FALSE(car->IsMoving());
    car.Drive(200);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(car->GetGhost(i).image, GMGhostPoint::kEmpty) << i;

    // A very long frame keeps the last ten points and does not spin.
    car->SetGhostInterval(0.0001f);
    car->GoTo(town.Node(20, 5));
    car->Update(0, 0, 0, 25.0f);
    float px = car.Pos().first;
    EXPECT_FLOAT_EQ(car->GetGhost(car->GetNewestGhost()).x, px);
    EXPECT_NEAR(car->GetGhost(car->GetNewestGhost() + 1).x, px - 9 * 0.25f / 250000.0f, 1e-4f);

    // Interval 0: no trail at all.
    Car police;
    police->SetCurrentNode(town.Node(0, 5));
    police->SetGhostInterval(0.0f);
    police->SetGhostOn(true);
    police->SetSpeed(0.01f);
    police->GoTo(town.Node(20, 5));
    int32_t newest = police->GetNewestGhost();
    police.Drive(500);
    EXPECT_EQ(police->GetNewestGhost(), newest);
}

class TransportDrawTest : public DeviceTest {
protected:
    // 8 x 8 white car pictures; cells of 32 pixels from the screen origin.
    void SetUp() override
    {
        DeviceTest::SetUp();
        WriteSolidTemplate("car", 1, 8, 8, 0xFFFFFFFF);
        for (int d = 0; d < 4; ++d)
            ASSERT_EQ(m_car->SetImage(d, "car.img", m_manager.get(), m_device), 0);
        m_town.Row(0, 20, 5);
        m_car->SetCurrentNode(m_town.Node(0, 5));
        m_car->SetSpeed(0.05f);  // half a cell (16 pixels) per 10 ms point
        m_car->GoTo(m_town.Node(20, 5));
    }
    int32_t DrawAllGhosts(int32_t x = 1000, int32_t y = 1000, int32_t layer = 1000)
    {
        return m_car->DrawGhosts(x, y, layer, 0.0f, 0.0f, 32.0f, 32.0f, m_device);
    }
    // Centre of the picture drawn for a point at cell position px on row 5.
    uint32_t At(float px) { return Pixel(int((px + 0.5f) * 32.0f), int(6.0f * 32.0f) - 4); }

    Streets m_town;
    Car m_car;
};

TEST_F(TransportDrawTest, NoTrailWithoutGhostOn)
{
    m_car.Drive(120);
    BeginFrame(0xFF646464);
    EXPECT_EQ(DrawAllGhosts(), 0);
    EndFrame();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(m_car->GetGhost(i).image, GMGhostPoint::kEmpty);
    for (int x = 0; x < 800; x += 2)
        ASSERT_EQ(Pixel(x, 188), 0xFF646464u) << x;
}

TEST_F(TransportDrawTest, TrailIsAdditiveAndFainterTowardsItsEnd)
{
    m_car->SetGhostOn(true);
    m_car.Drive(120);  // 12 points; the ring holds the last 10, at x = 1.5 ... 6.0
    ASSERT_NEAR(m_car.Pos().first, 6.0f, 1e-4f);

    BeginFrame(0xFF646464);
    EXPECT_EQ(DrawAllGhosts(3, 5, 0), 9) << "nine points walked, the newest is never drawn";
    uint32_t blend = 0;
    m_device->GetRenderState(D3DRENDERSTATE_DESTBLEND, &blend);
    EXPECT_EQ(blend, uint32_t(D3DBLEND_INVSRCALPHA)) << "blending set back";
    EXPECT_EQ(DrawAllGhosts(), 9);
    EXPECT_EQ(DrawAllGhosts(), 9) << "a point is drawn once a frame";
    EndFrame();

    // Oldest (x = 1.5) at alpha 24, then 36 ... 120 for the one before the newest:
    // over grey 100 each adds its alpha (additive), instead of mixing toward white.
    for (int i = 0; i < 9; ++i) {
        float px = 1.5f + 0.5f * float(i);
        int expected = 100 + 24 + 12 * i;
        uint32_t c = At(px);
        EXPECT_NEAR(Red(c), expected, 1) << "point at " << px;
        EXPECT_EQ(Red(c), Blue(c));
    }
    EXPECT_EQ(At(6.0f), 0xFF646464u) << "the newest point is where the car itself stands";
    EXPECT_EQ(At(1.0f), 0xFF646464u) << "older points fell out of the ring";

    // Drawn per cell: before cell (3, 5) only the points in columns 1 and 2.
    m_car->Update(0, 0, 0, 0.0f);
    BeginFrame(0xFF646464);
    DrawAllGhosts(3, 5, 0);
    EndFrame();
    EXPECT_NE(At(2.5f), 0xFF646464u);
    EXPECT_EQ(At(3.0f), 0xFF646464u) << "column 3 waits for its own cell";
    m_car->Update(0, 0, 0, 0.0f);
    BeginFrame(0xFF646464);
    DrawAllGhosts(0, 6, 0);  // the whole of row 5 comes before row 6
    EndFrame();
    EXPECT_NE(At(5.5f), 0xFF646464u);
}

TEST_F(TransportDrawTest, CarStandsOnItsFoot)
{
    BeginFrame();
    m_car->Draw(100.0f, 200.0f, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(96, 192), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(103, 199), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(100, 200), 0xFF000000u);
    EXPECT_EQ(Pixel(95, 195), 0xFF000000u);
}
