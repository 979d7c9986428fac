#include "world/GMRoadNodeObj.h"

#include "world/GMFieldGrid.h"

#include <cmath>

void GMRoadNodeObj::Reset()
{
    GMFieldObj::Reset();
    m_kind = kKindRoadNode;
    for (int32_t side = 0; side < kSideCount; ++side)
        m_hasLink[side] = false;
    m_searchId = 0;
}

void GMRoadNodeObj::Clear()
{
    ReleaseNeighbours();
    for (bool& has : m_hasLink)
        has = false;
    GMFieldObj::Clear();
}

void GMRoadNodeObj::ReleaseNeighbours()
{
    for (GMRoadNodeObj*& slot : m_neighbours) {
        // Emptied before the release: the neighbour may be the last holder of a
        // ring that leads back here.
        GMRoadNodeObj* node = slot;
        slot = nullptr;
        if (node)
            node->Release();
    }
}

bool GMRoadNodeObj::SetLink(int32_t side, int32_t cellX, int32_t cellY, int32_t layer)
{
    if (side < 0 || side >= kSideCount)
        return false;
    m_links[side] = {cellX, cellY, layer};
    m_hasLink[side] = true;
    return true;
}

bool GMRoadNodeObj::HasLink(int32_t side) const
{
    return side >= 0 && side < kSideCount && m_hasLink[side];
}

int32_t GMRoadNodeObj::ResolveLinks(const GMFieldGrid* grid)
{
    if (!grid)
        return 1;
    for (int32_t side = 0; side < kSideCount; ++side) {
        if (!m_hasLink[side])
            continue;
        const CellRef& c = m_links[side];
        GMFieldObj* obj = grid->Lookup(c.cellX, c.cellY, c.layer);
        if (obj && obj->GetKind() == kKindRoadNode)
            SetNeighbour(side, static_cast<GMRoadNodeObj*>(obj));
        m_hasLink[side] = false;
    }
    return 0;
}

GMRoadNodeObj* GMRoadNodeObj::GetNeighbour(int32_t side) const
{
    return side >= 0 && side < kSideCount ? m_neighbours[side] : nullptr;
}

bool GMRoadNodeObj::SetNeighbour(int32_t side, GMRoadNodeObj* node)
{
    if (side < 0 || side >= kSideCount)
        return false;
    ReplaceObject(m_neighbours[side], node);
    return true;
}

bool GMRoadNodeObj::HasRoad() const
{
    for (int32_t side = 0; side < kSideCount; ++side) {
        if (m_neighbours[side] || m_hasLink[side])
            return true;
    }
    return false;
}

float GMRoadNodeObj::CellDistance(const GMRoadNodeObj* other, float* outDx, float* outDy) const
{
    if (!other)
        return 0.0f;
    float dx = static_cast<float>(other->m_cellX - m_cellX);
    float dy = static_cast<float>(other->m_cellY - m_cellY);
    if (outDx)
        *outDx = dx;
    if (outDy)
        *outDy = dy;
    return std::sqrt(dx * dx + dy * dy);
}

// The route is the one an exhaustive depth-first search finds last among the
// shortest: that search tries the sides top, left, bottom, right at every node
// and lets an equally short route replace the one found before, so the winner
// takes, node by node, the last side that still lies on a shortest route. Such
// a search takes exponential time on an open grid; this computes the same
// route in time linear in the nodes within reach:
//  1. Breadth-first from here, stopping at the first depth D - 1 whose nodes
//     link to the target (the target itself is never expanded, so with this
//     node as target the route goes round and back).
//  2. Backwards over that visiting order: a node lies on a shortest route when
//     it links to the target at depth D - 1, or to a node one deeper that does.
//  3. From here, take at each node the last side whose neighbour is one deeper
//     and on a shortest route.
int32_t GMRoadNodeObj::FindRoute(GMRoadNodeObj* target, GMRoute* outRoute)
{
    if (!target || !outRoute)
        return 1;
    outRoute->clear();

    static uint64_t s_lastSearch = 0;
    static std::vector<GMRoadNodeObj*> s_order;
    const uint64_t id = ++s_lastSearch;
    s_order.clear();

    m_searchId = id;
    m_searchDepth = 0;
    m_searchOnRoute = false;
    s_order.push_back(this);
    int32_t lastDepth = -1;  // D - 1 once the target has been seen
    for (size_t head = 0; head < s_order.size(); ++head) {
        GMRoadNodeObj* node = s_order[head];
        if (lastDepth >= 0 && node->m_searchDepth > lastDepth)
            break;
        for (GMRoadNodeObj* next : node->m_neighbours) {
            if (!next)
                continue;
            if (next == target) {
                lastDepth = node->m_searchDepth;
                node->m_searchOnRoute = true;
                continue;
            }
            if (next->m_searchId == id || lastDepth >= 0)
                continue;
            next->m_searchId = id;
            next->m_searchDepth = node->m_searchDepth + 1;
            next->m_searchOnRoute = false;
            s_order.push_back(next);
        }
    }
    if (lastDepth < 0)
        return 0;

    for (size_t i = s_order.size(); i-- > 0;) {
        GMRoadNodeObj* node = s_order[i];
        if (node->m_searchDepth >= lastDepth)
            continue;
        for (GMRoadNodeObj* next : node->m_neighbours) {
            if (next && next != target && next->m_searchId == id && next->m_searchDepth == node->m_searchDepth + 1 &&
                next->m_searchOnRoute) {
                node->m_searchOnRoute = true;
                break;
            }
        }
    }

    outRoute->reserve(static_cast<size_t>(lastDepth) + 2);
    GMRoadNodeObj* node = this;
    outRoute->push_back(node);
    while (node->m_searchDepth < lastDepth) {
        GMRoadNodeObj* pick = nullptr;
        for (GMRoadNodeObj* next : node->m_neighbours) {
            if (next && next != target && next->m_searchId == id && next->m_searchDepth == node->m_searchDepth + 1 &&
                next->m_searchOnRoute)
                pick = next;
        }
        node = pick;
        outRoute->push_back(node);
    }
    outRoute->push_back(target);
    return 0;
}
