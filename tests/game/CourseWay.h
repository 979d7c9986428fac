#pragma once
#include "game/GMMiniGame.h"
#include "world/GMDecorateObj.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Whether a van of the given height can drive through the traffic from its
// lane to beyond the last car, the cars standing still and the van climbing
// one pixel at a time (the traffic only ever closes in); a lane change takes
// `change` px, the van's body covering both lanes meanwhile. Knows nothing of
// how the traffic was made.
inline bool WayThrough(const std::vector<GMMiniGame::Car>& cars, const std::vector<int32_t>& lanes, int32_t startLane,
                float foot, float vanHeight, float change)
{
    int32_t length = 0;
    for (const auto& car : cars)
        length = std::max(length, static_cast<int32_t>(foot - GMMiniGame::CarBox(car.obj).top) + 2);
    const size_t n = lanes.size();
    // blocked[i][p]: the van in lane i with its foot p px up the traffic touches a car.
    std::vector<std::vector<char>> blocked(n, std::vector<char>(static_cast<size_t>(length) + 1));
    for (const auto& car : cars) {
        const GMMiniGame::Box box = GMMiniGame::CarBox(car.obj);
        const size_t i = static_cast<size_t>(std::find(lanes.begin(), lanes.end(), car.lane) - lanes.begin());
        const float lo = foot - (box.top + box.height), hi = foot - box.top;
        for (int32_t p = std::max(0, static_cast<int32_t>(std::floor(lo - vanHeight))); p <= length && p < hi; ++p)
            if (p + vanHeight > lo)
                blocked[i][static_cast<size_t>(p)] = 1;
    }
    const int32_t step = static_cast<int32_t>(std::ceil(change));
    std::vector<std::vector<char>> reach(n, std::vector<char>(static_cast<size_t>(length) + 1));
    const size_t start = static_cast<size_t>(std::find(lanes.begin(), lanes.end(), startLane) - lanes.begin());
    reach[start][0] = !blocked[start][0];
    for (int32_t p = 0; p < length; ++p) {
        for (size_t i = 0; i < n; ++i) {
            if (!reach[i][static_cast<size_t>(p)])
                continue;
            if (!blocked[i][static_cast<size_t>(p) + 1])
                reach[i][static_cast<size_t>(p) + 1] = 1;
            for (size_t j : {i - 1, i + 1}) {
                if (j >= n || p + step > length)
                    continue;
                bool clear = true;
                for (int32_t q = p; q <= p + step && clear; ++q)
                    clear = !blocked[i][static_cast<size_t>(q)] && !blocked[j][static_cast<size_t>(q)];
                if (clear)
                    reach[j][static_cast<size_t>(p + step)] = 1;
            }
        }
    }
    for (size_t i = 0; i < n; ++i)
        if (reach[i][static_cast<size_t>(length)])
            return true;
    return false;
}

