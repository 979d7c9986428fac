#pragma once
#include "world/GMRoadNodeObj.h"

#include <chrono>
#include <unordered_set>

// The exhaustive depth-first route search with branch and bound, written out
// plainly: the yardstick the linear route search must match node for node.
// It tries the sides top, left, bottom, right; a branch is cut only when it
// cannot give a shorter route, so an equally short route found later replaces
// the one found before. An optional deadline stops it (Finished() is then false).
class ReferenceRouteSearch {
public:
    using Clock = std::chrono::steady_clock;

    explicit ReferenceRouteSearch(Clock::time_point deadline = Clock::time_point::max()) : m_deadline(deadline) {}

    GMRoute Find(GMRoadNodeObj* start, GMRoadNodeObj* target)
    {
        m_best.clear();
        m_current.clear();
        m_visited.clear();
        m_finished = true;
        m_steps = 0;
        if (start && target)
            Search(start, target);
        return m_best;
    }

    bool Finished() const { return m_finished; }

private:
    void Search(GMRoadNodeObj* node, GMRoadNodeObj* target)
    {
        if (!m_finished)
            return;
        if ((++m_steps & 0xFFF) == 0 && Clock::now() > m_deadline) {
            m_finished = false;
            return;
        }
        if (m_visited.count(node))
            return;
        if (!m_best.empty() && m_current.size() + 1 >= m_best.size())
            return;
        for (int32_t side = 0; side < kSideCount; ++side) {
            if (node->GetNeighbour(side) == target) {
                m_best = m_current;
                m_best.push_back(node);
                m_best.push_back(target);
                return;
            }
        }
        m_current.push_back(node);
        m_visited.insert(node);
        for (int32_t side = 0; side < kSideCount; ++side) {
            if (GMRoadNodeObj* next = node->GetNeighbour(side))
                Search(next, target);
        }
        m_current.pop_back();
        m_visited.erase(node);
    }

    Clock::time_point m_deadline;
    GMRoute m_best;
    GMRoute m_current;
    std::unordered_set<const GMRoadNodeObj*> m_visited;
    bool m_finished = true;
    uint64_t m_steps = 0;
};
