#pragma once
#include "world/GMImageObj.h"

#include <cstdint>
#include <vector>

class GMFieldGrid;
class GMRoadNodeObj;

// A route: the nodes to drive through in order, held as plain pointers (the
// nodes live in the field grid).
using GMRoute = std::vector<GMRoadNodeObj*>;

// Sides of a road node, in the order every search tries them.
enum GMRoadSide : int32_t {
    kSideTop = 0,
    kSideLeft = 1,
    kSideBottom = 2,
    kSideRight = 3,
    kSideCount = 4,
};

// One piece of road in a cell of the field grid. The graph is directed: a node
// lists, by side, the nodes one can drive to from it.
class GMRoadNodeObj : public GMFieldObj {
public:
    GMRoadNodeObj() { GMRoadNodeObj::Reset(); }

    void Reset() override;
    void Clear() override;

    // A link recorded by the level file, turned into a neighbour by ResolveLinks.
    // A second link for the same side replaces the first; false for a bad side.
    bool SetLink(int32_t side, int32_t cellX, int32_t cellY, int32_t layer);
    bool HasLink(int32_t side) const;
    // Turns each recorded link into the neighbour on its side when its cell
    // holds a road node; the records are dropped either way. 1 without a grid.
    int32_t ResolveLinks(const GMFieldGrid* grid);

    // Null for a side without road and for any side outside 0-3.
    GMRoadNodeObj* GetNeighbour(int32_t side) const;
    // Stores a neighbour (holding a reference); false for a bad side.
    bool SetNeighbour(int32_t side, GMRoadNodeObj* node);
    // Drops every neighbour reference. Nodes that link to each other hold each
    // other; whoever unloads the town breaks those rings with this.
    void ReleaseNeighbours();
    // Any neighbour or recorded link.
    bool HasRoad() const;

    // Straight distance in cells to another node's cell (layers ignored).
    float CellDistance(const GMRoadNodeObj* other, float* outDx = nullptr, float* outDy = nullptr) const;

    // The route with the fewest nodes from here to target, first node this one,
    // last the target; among equally short routes the one whose sides, taken
    // node by node in the order top, left, bottom, right, come last. Empty when
    // the target cannot be reached. With this node as target the route is the
    // shortest way round back to it. 1 without target or output, else 0.
    int32_t FindRoute(GMRoadNodeObj* target, GMRoute* outRoute);

private:
    struct CellRef {
        int32_t cellX, cellY, layer;
    };

    GMRoadNodeObj* m_neighbours[kSideCount] = {};
    CellRef m_links[kSideCount] = {};
    bool m_hasLink[kSideCount] = {};

    // Scratch of the route search, valid only while m_searchId is the search's.
    uint64_t m_searchId = 0;
    int32_t m_searchDepth = 0;
    bool m_searchOnRoute = false;
};
