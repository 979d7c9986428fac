#include "world/GMBuildingObj.h"
#include "world/GMFieldGrid.h"
#include "world/GMRoadNodeObj.h"
#include "world/RouteSearchReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <unordered_map>
#include <vector>

namespace {

int s_nodesDestroyed = 0;
struct CountedNode : GMRoadNodeObj {
    ~CountedNode() override { ++s_nodesDestroyed; }
};

// A set of free-standing nodes (not in a grid) for route tests. Links are set
// directly; the rings they form are broken when the set goes.
struct Town {
    std::vector<GMRoadNodeObj*> nodes;

    GMRoadNodeObj* Add(int32_t x, int32_t y, int32_t layer = 0)
    {
        auto* n = new GMRoadNodeObj;
        n->SetCell(x, y, layer);
        nodes.push_back(n);
        return n;
    }
    ~Town()
    {
        for (GMRoadNodeObj* n : nodes)
            n->ReleaseNeighbours();
        for (GMRoadNodeObj* n : nodes)
            n->Release();
    }
};

GMRoute Route(GMRoadNodeObj* from, GMRoadNodeObj* to)
{
    GMRoute route;
    EXPECT_EQ(from->FindRoute(to, &route), 0);
    return route;
}

// How many different node sequences are shortest routes (the search's rules:
// the target is never passed through, a route from a node to itself is a ring).
int64_t CountShortestRoutes(GMRoadNodeObj* start, GMRoadNodeObj* target)
{
    std::unordered_map<GMRoadNodeObj*, std::pair<int, int64_t>> seen;  // depth, routes
    std::vector<GMRoadNodeObj*> order{start};
    seen[start] = {0, 1};
    int lastDepth = -1;
    int64_t total = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        GMRoadNodeObj* n = order[i];
        auto [depth, routes] = seen[n];
        if (lastDepth >= 0 && depth > lastDepth)
            break;
        std::vector<GMRoadNodeObj*> distinct;
        for (int s = 0; s < kSideCount; ++s) {
            GMRoadNodeObj* next = n->GetNeighbour(s);
            if (next && std::find(distinct.begin(), distinct.end(), next) == distinct.end())
                distinct.push_back(next);
        }
        for (GMRoadNodeObj* next : distinct) {
            if (next == target) {
                lastDepth = depth;
                total += routes;
                continue;
            }
            auto it = seen.find(next);
            if (it == seen.end()) {
                seen[next] = {depth + 1, routes};
                order.push_back(next);
            } else if (it->second.first == depth + 1) {
                it->second.second += routes;
            }
        }
    }
    return total;
}

}  // namespace

TEST(GMRoadNodeObj, LinksBecomeNeighboursOnlyOnRoadNodes)
{
    GMFieldGrid grid;
    auto* a = new GMRoadNodeObj;
    auto* b = new GMRoadNodeObj;
    auto* house = new GMBuildingObj;
    grid.Place(3, 4, 0, a);
    grid.Place(4, 4, 0, b);
    grid.Place(3, 3, 0, house);
    for (GMObject* o : std::initializer_list<GMObject*>{a, b, house})
        o->Release();  // the grid keeps them
    EXPECT_EQ(a->GetKind(), kKindRoadNode);

    EXPECT_FALSE(a->HasRoad());
    EXPECT_TRUE(a->SetLink(kSideRight, 4, 4, 0));
    EXPECT_TRUE(a->HasRoad()) << "a recorded link counts as road before it is resolved";
    EXPECT_FALSE(a->SetLink(4, 1, 1, 0));
    EXPECT_FALSE(a->SetLink(-1, 1, 1, 0));
    a->SetLink(kSideTop, 3, 3, 0);      // a building
    a->SetLink(kSideLeft, 2, 4, 0);     // an empty cell
    a->SetLink(kSideBottom, 3, 40, 0);  // outside the grid
    EXPECT_EQ(a->ResolveLinks(nullptr), 1);
    EXPECT_TRUE(a->HasLink(kSideRight)) << "without a grid the records stay";
    EXPECT_EQ(a->ResolveLinks(&grid), 0);
    EXPECT_EQ(a->GetNeighbour(kSideRight), b);
    EXPECT_EQ(b->GetRefCount(), 2) << "held by the grid and by its neighbour";
    for (int side : {kSideTop, kSideLeft, kSideBottom}) {
        EXPECT_EQ(a->GetNeighbour(side), nullptr) << side;
        EXPECT_FALSE(a->HasLink(side)) << "dropped either way";
    }
    EXPECT_EQ(a->GetNeighbour(4), nullptr);
    EXPECT_EQ(a->GetNeighbour(-1), nullptr);
    EXPECT_TRUE(a->HasRoad());
    EXPECT_FALSE(b->HasRoad()) << "directed: b lists nobody";

    // A second link for a side replaces the first.
    b->SetLink(kSideLeft, 9, 9, 0);
    b->SetLink(kSideLeft, 3, 4, 0);
    b->ResolveLinks(&grid);
    EXPECT_EQ(b->GetNeighbour(kSideLeft), a);

    float dx = 0, dy = 0;
    auto* far = new GMRoadNodeObj;
    far->SetCell(6, 8, 3);
    EXPECT_FLOAT_EQ(a->CellDistance(far, &dx, &dy), 5.0f) << "layers do not count";
    EXPECT_FLOAT_EQ(dx, 3.0f);
    EXPECT_FLOAT_EQ(dy, 4.0f);
    EXPECT_FLOAT_EQ(far->CellDistance(a), 5.0f);
    far->Release();

    a->Clear();
    EXPECT_EQ(b->GetRefCount(), 1) << "a cleared node lets its neighbours go";
    EXPECT_FALSE(a->HasRoad());
}

TEST(GMRoadNodeObj, ClearingTheGridFreesRoadsThatHoldEachOther)
{
    s_nodesDestroyed = 0;
    {
        GMFieldGrid grid;
        for (int x = 0; x < 3; ++x) {
            auto* n = new CountedNode;
            grid.Place(x, 0, 0, n);
            n->Release();
        }
        for (int x = 0; x < 3; ++x) {
            auto* n = static_cast<GMRoadNodeObj*>(grid.Lookup(x, 0, 0));
            n->SetLink(kSideLeft, x - 1, 0, 0);
            n->SetLink(kSideRight, x + 1, 0, 0);
            n->ResolveLinks(&grid);
        }
        EXPECT_EQ(grid.Lookup(1, 0, 0)->GetRefCount(), 3);
    }
    EXPECT_EQ(s_nodesDestroyed, 3) << "two-way roads must not keep each other alive";
}

TEST(GMRoadNodeObj, RouteEdgeCases)
{
    Town town;
    // S with P on its top and Q on its left, both leading to T: S, Q, T,
    // because Q is searched after P and an equally short route replaces it.
    GMRoadNodeObj* s = town.Add(1, 1);
    GMRoadNodeObj* p = town.Add(1, 0);
    GMRoadNodeObj* q = town.Add(0, 1);
    GMRoadNodeObj* t = town.Add(0, 0);
    s->SetNeighbour(kSideTop, p);
    s->SetNeighbour(kSideLeft, q);
    p->SetNeighbour(kSideLeft, t);
    q->SetNeighbour(kSideTop, t);
    EXPECT_EQ(Route(s, t), (GMRoute{s, q, t}));

    // A direct neighbour gives [start, destination], even when a longer route
    // via a later side exists.
    s->SetNeighbour(kSideRight, t);
    EXPECT_EQ(Route(s, t), (GMRoute{s, t}));

    // Fewest nodes, not shortest distance: two hops across far cells beat
    // three short ones.
    GMRoadNodeObj* far1 = town.Add(20, 1);
    GMRoadNodeObj* goal = town.Add(20, 10);
    GMRoadNodeObj* near1 = town.Add(1, 2);
    GMRoadNodeObj* near2 = town.Add(1, 3);
    GMRoadNodeObj* a = town.Add(1, 4);
    a->SetNeighbour(kSideTop, near2);
    near2->SetNeighbour(kSideTop, near1);
    near1->SetNeighbour(kSideBottom, goal);
    a->SetNeighbour(kSideRight, far1);
    far1->SetNeighbour(kSideBottom, goal);
    EXPECT_EQ(Route(a, goal), (GMRoute{a, far1, goal}));

    // Unreachable (directed the wrong way): empty, and a stale route is wiped.
    GMRoute route{s, t};
    EXPECT_EQ(t->FindRoute(s, &route), 0);
    EXPECT_TRUE(route.empty());
    // From a node to itself: the shortest way round, or nothing.
    EXPECT_TRUE(Route(t, t).empty());
    q->SetNeighbour(kSideRight, s);
    EXPECT_EQ(Route(s, s), (GMRoute{s, q, s}));
    GMRoadNodeObj* loop = town.Add(5, 5);
    loop->SetNeighbour(kSideBottom, loop);
    EXPECT_EQ(Route(loop, loop), (GMRoute{loop, loop}));

    EXPECT_EQ(s->FindRoute(nullptr, &route), 1);
    EXPECT_EQ(s->FindRoute(t, nullptr), 1);
}

TEST(GMRoadNodeObj, RouteMatchesTheExhaustiveSearchOnRandomTowns)
{
    std::mt19937 rng(20261208);
    auto roll = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int compared = 0, unreachable = 0, ties = 0, rings = 0, acrossLayers = 0;

    for (int graph = 0; graph < 4000; ++graph) {
        Town town;
        if (graph % 2 == 0) {
            // A small grid of up to 4 x 3 x 2 cells: roads to the cells beside,
            // often one-way or missing, and ramps that lead a side up or down a layer.
            int w = 1 + roll(4), h = 1 + roll(3), layers = 1 + roll(2);
            int keep = 50 + roll(50);
            auto at = [&](int x, int y, int l) { return town.nodes[size_t((l * h + y) * w + x)]; };
            for (int l = 0; l < layers; ++l)
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        town.Add(x, y, l);
            const int dx[] = {0, -1, 0, 1}, dy[] = {-1, 0, 1, 0};
            for (GMRoadNodeObj* n : town.nodes) {
                for (int side = 0; side < kSideCount; ++side) {
                    int x = n->GetCellX() + dx[side], y = n->GetCellY() + dy[side], l = n->GetLayer();
                    if (x < 0 || y < 0 || x >= w || y >= h || roll(100) >= keep)
                        continue;
                    if (layers > 1 && roll(5) == 0)
                        l = 1 - l;
                    n->SetNeighbour(side, at(x, y, l));
                }
            }
        } else {
            // Any node may link anywhere: itself, the same node on two sides.
            int count = 1 + roll(9);
            for (int i = 0; i < count; ++i)
                town.Add(roll(5), roll(5), roll(3));
            int density = 20 + roll(70);
            for (GMRoadNodeObj* n : town.nodes)
                for (int side = 0; side < kSideCount; ++side)
                    if (roll(100) < density)
                        n->SetNeighbour(side, town.nodes[size_t(roll(count))]);
        }

        for (int pair = 0; pair < 6; ++pair) {
            GMRoadNodeObj* from = town.nodes[size_t(roll(int(town.nodes.size())))];
            GMRoadNodeObj* to = pair == 0 ? from : town.nodes[size_t(roll(int(town.nodes.size())))];
            GMRoute expected = ReferenceRouteSearch().Find(from, to);
            GMRoute got;
            from->FindRoute(to, &got);
            ASSERT_EQ(got, expected) << "graph " << graph << " pair " << pair;
            ++compared;
            if (expected.empty())
                ++unreachable;
            else if (CountShortestRoutes(from, to) > 1)
                ++ties;
            if (from == to && !expected.empty())
                ++rings;
            for (size_t i = 1; i < expected.size(); ++i)
                if (expected[i]->GetLayer() != expected[0]->GetLayer()) {
                    ++acrossLayers;
                    break;
                }
        }
    }
    // The towns must really exercise every rule.
    EXPECT_EQ(compared, 24000);
    EXPECT_GT(unreachable, 2000);
    EXPECT_GT(ties, 2000);
    EXPECT_GT(rings, 500);
    EXPECT_GT(acrossLayers, 1000);
    RecordProperty("unreachable", unreachable);
    RecordProperty("ties", ties);
    RecordProperty("rings", rings);
}
