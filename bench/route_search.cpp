// Route search on open towns: the linear search the vehicles use against the
// exhaustive depth-first search it replaces, corner to corner.
// Prints figures; run: build/bench/bench_route_search [cap ms for the exhaustive search]
#include "world/GMFieldGrid.h"
#include "world/GMRoadNodeObj.h"
#include "world/RouteSearchReference.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double UsSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

GMRoadNodeObj* At(GMFieldGrid& grid, int x, int y, int layer)
{
    return static_cast<GMRoadNodeObj*>(grid.Lookup(x, y, layer));
}

// A full grid of two-way roads on each layer; with two layers, ramps every
// fourth column and row lead a side up to the other layer and back.
void BuildTown(GMFieldGrid& grid, int w, int h, int layers)
{
    grid.Clear();
    for (int l = 0; l < layers; ++l)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                auto* n = new GMRoadNodeObj;
                grid.Place(x, y, l, n);
                n->Release();
            }
    const int dx[] = {0, -1, 0, 1}, dy[] = {-1, 0, 1, 0};
    for (int l = 0; l < layers; ++l)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int side = 0; side < kSideCount; ++side) {
                    int nx = x + dx[side], ny = y + dy[side];
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    int nl = l;
                    if (layers > 1 && side == kSideRight && x % 4 == 1 && y % 4 == 2)
                        nl = 1 - l;  // ramp up (or down) to the next column
                    if (layers > 1 && side == kSideLeft && nx % 4 == 1 && y % 4 == 2)
                        nl = 1 - l;  // and back
                    At(grid, x, y, l)->SetNeighbour(side, At(grid, nx, ny, nl));
                }
}

struct Timing {
    double best = 0, median = 0;
};

Timing TimeLinear(GMRoadNodeObj* from, GMRoadNodeObj* to, GMRoute* route)
{
    std::vector<double> runs;
    for (int i = 0; i < 2000; ++i) {
        auto t = Clock::now();
        from->FindRoute(to, route);
        runs.push_back(UsSince(t));
    }
    std::sort(runs.begin(), runs.end());
    return {runs.front(), runs[runs.size() / 2]};
}

void Compare(const char* name, GMRoadNodeObj* from, GMRoadNodeObj* to, double capMs)
{
    GMRoute route;
    Timing linear = TimeLinear(from, to, &route);
    std::printf("%-34s linear: %7.2f us median, %7.2f us best, %zu nodes\n", name, linear.median, linear.best,
                route.size());
    auto t = Clock::now();
    ReferenceRouteSearch reference(t + std::chrono::microseconds(int64_t(capMs * 1000)));
    GMRoute expected = reference.Find(from, to);
    double us = UsSince(t);
    if (reference.Finished())
        std::printf("%-34s exhaustive: %12.1f us, %s\n", "", us,
                    expected == route ? "same route" : "DIFFERENT ROUTE");
    else
        std::printf("%-34s exhaustive: did not finish within %.0f ms\n", "", capMs);
}

}  // namespace

int main(int argc, char** argv)
{
    double capMs = argc > 1 ? std::atof(argv[1]) : 2000.0;
    GMFieldGrid grid;

    std::printf("Route search, corner to corner, full grids of two-way roads (exhaustive search capped at %.0f ms)\n",
                capMs);
    BuildTown(grid, 25, 20, 1);
    Compare("25 x 20 x 1 (0,0) -> (24,19)", At(grid, 0, 0, 0), At(grid, 24, 19, 0), capMs);
    Compare("25 x 20 x 1 (24,19) -> (0,0)", At(grid, 24, 19, 0), At(grid, 0, 0, 0), capMs);
    BuildTown(grid, 25, 20, 2);
    Compare("25 x 20 x 2 (0,0,0) -> (24,19,1)", At(grid, 0, 0, 0), At(grid, 24, 19, 1), capMs);
    Compare("25 x 20 x 2 (24,19,1) -> (0,0,0)", At(grid, 24, 19, 1), At(grid, 0, 0, 0), capMs);

    std::printf("\nWhere the exhaustive search gives out (square grids, one layer):\n");
    for (int n = 3; n <= 10; ++n) {
        BuildTown(grid, n, n, 1);
        char name[64];
        std::snprintf(name, sizeof name, "%d x %d (0,0) -> (%d,%d)", n, n, n - 1, n - 1);
        Compare(name, At(grid, 0, 0, 0), At(grid, n - 1, n - 1, 0), capMs);
    }
    return 0;
}
