#include "world/GMTransportObj.h"

#include "platform/DisplayDevice.h"
#include "world/GMFieldGrid.h"

#include <cmath>

void GMTransportObj::Reset()
{
    GMObject::Reset();
    m_kind = kKindTransport;
    m_facing = kFacingLeft;
    m_currentNode = nullptr;
    m_hasStartCell = false;
    m_route.clear();
    m_speed = 0.0f;
    m_capacity = 1;
    m_legRemaining = m_legInverse = m_legLength = 0.0f;
    m_waitTime = 0.0f;
    m_ghostTimer = 0.0f;
    m_ghostNewest = 0;
    m_ghostInterval = 10.0f;
    m_ghostOn = false;
    for (GMGhostPoint& g : m_ghosts)
        g = GMGhostPoint{};
    for (int32_t& c : m_cargo)
        c = 0;
}

void GMTransportObj::Clear()
{
    for (GMImage& image : m_images)
        image.Clear();
    ReplaceObject(m_currentNode, static_cast<GMRoadNodeObj*>(nullptr));
    Reset();
    GMObject::Clear();
}

int32_t GMTransportObj::SetImage(int32_t direction, const char* fileName, GMImageManager* manager,
                                 DisplayDevice* device)
{
    return m_images[ClampDirection(direction)].LoadTemplate(fileName, manager, device);
}

void GMTransportObj::SetStartCell(int32_t cellX, int32_t cellY, int32_t layer)
{
    m_startCell[0] = cellX;
    m_startCell[1] = cellY;
    m_startCell[2] = layer;
    m_hasStartCell = true;
}

int32_t GMTransportObj::ResolveStartCell(const GMFieldGrid* grid)
{
    if (!grid)
        return 1;
    if (m_hasStartCell) {
        GMFieldObj* obj = grid->Lookup(m_startCell[0], m_startCell[1], m_startCell[2]);
        if (obj && obj->GetKind() == kKindRoadNode)
            SetCurrentNode(static_cast<GMRoadNodeObj*>(obj));
        m_hasStartCell = false;
    }
    return 0;
}

void GMTransportObj::SetCurrentNode(GMRoadNodeObj* node)
{
    ReplaceObject(m_currentNode, node);
    StandStill();
    // The trail starts afresh where the vehicle is put, not at cell (0, 0).
    float x = 0.0f, y = 0.0f;
    GetPosition(&x, &y);
    for (GMGhostPoint& g : m_ghosts) {
        g = GMGhostPoint{};
        g.x = x;
        g.y = y;
        g.cellX = static_cast<int32_t>(x);
        g.cellY = static_cast<int32_t>(y);
        g.layer = GetLayer();
    }
}

void GMTransportObj::SetCapacity(int32_t slots)
{
    m_capacity = slots < 1 ? 1 : (slots > kMaxCapacity ? kMaxCapacity : slots);
}

void GMTransportObj::SetFacing(char letter)
{
    int32_t facing;
    switch (letter) {
    case 'L': facing = kFacingLeft; break;
    case 'T': facing = kFacingUp; break;
    case 'R': facing = kFacingRight; break;
    case 'B': facing = kFacingDown; break;
    default: return;
    }
    m_images[facing].SetFramePosition(m_images[m_facing].GetFramePosition());
    m_facing = facing;
}

void GMTransportObj::StandStill()
{
    m_route.clear();
    m_legRemaining = m_legInverse = m_legLength = 0.0f;
}

int32_t GMTransportObj::GoTo(GMRoadNodeObj* target)
{
    if (!m_currentNode)
        return kRouteSet;
    if (!target) {
        if (m_route.empty())
            return kStopped;
        GMRoadNodeObj* ahead = m_route.front();
        // Not yet moved on this leg: stop where it stands; else drive the leg to its end.
        if (m_legRemaining == m_legLength)
            StandStill();
        else
            m_route.assign(1, ahead);
        return kStopped;
    }
    if (m_route.empty()) {
        if (target == m_currentNode)
            return kAlreadyThere;
        for (GMImage& image : m_images)
            image.SetFrame(0);
        m_currentNode->FindRoute(target, &m_route);
        Advance(0.0f);
        return kRouteSet;
    }
    if (m_route.back() == target)
        return kAlreadyGoing;
    // Driving: the leg under way is finished first, the new route starts at its end.
    // Asked for the node ahead, or for a node out of reach: stop at the leg's end.
    GMRoadNodeObj* ahead = m_route.front();
    if (ahead != target)
        ahead->FindRoute(target, &m_route);
    if (ahead == target || m_route.empty())
        m_route.assign(1, ahead);
    Advance(0.0f);
    return kRouteSet;
}

void GMTransportObj::StartLeg()
{
    float dx = 0.0f, dy = 0.0f;
    m_legLength = m_legRemaining = m_currentNode->CellDistance(m_route.front(), &dx, &dy);
    if (dx < 0.0f)
        m_facing = kFacingLeft;
    else if (dx > 0.0f)
        m_facing = kFacingRight;
    if (dy < 0.0f)
        m_facing = kFacingUp;
    else if (dy > 0.0f)
        m_facing = kFacingDown;
    // A leg between layers of one cell has no length and is passed at once.
    m_legInverse = m_legRemaining > 0.0f ? 1.0f / m_legRemaining : 0.0f;
}

void GMTransportObj::Advance(float distance)
{
    if (m_route.empty())
        return;
    // Float steps of a frame's distance never sum to a leg exactly: what is
    // left short of a node by less than the slack counts as arrived.
    constexpr float kArrivalSlack = 1e-4f;
    while (m_legRemaining <= distance + kArrivalSlack && !(distance == 0.0f && m_legRemaining > 0.0f)) {
        distance = distance > m_legRemaining ? distance - m_legRemaining : 0.0f;
        m_legRemaining = 0.0f;
        ReplaceObject(m_currentNode, m_route.front());
        m_route.erase(m_route.begin());
        if (m_route.empty()) {
            StandStill();
            m_waitTime = 0.0f;
            return;
        }
        StartLeg();
        if (distance == 0.0f)
            return;
    }
    m_legRemaining -= distance;
}

bool GMTransportObj::GetPosition(float* outX, float* outY) const
{
    if (!m_currentNode)
        return false;
    float x = static_cast<float>(m_currentNode->GetCellX());
    float y = static_cast<float>(m_currentNode->GetCellY());
    if (!m_route.empty()) {
        const GMRoadNodeObj* ahead = m_route.front();
        float f = m_legInverse * m_legRemaining;
        float ax = static_cast<float>(ahead->GetCellX());
        float ay = static_cast<float>(ahead->GetCellY());
        x = ax + f * (x - ax);
        y = ay + f * (y - ay);
    }
    if (outX)
        *outX = x;
    if (outY)
        *outY = y;
    return true;
}

int32_t GMTransportObj::GetLayer() const
{
    if (!m_currentNode)
        return 0;
    int32_t layer = m_currentNode->GetLayer();
    if (!m_route.empty() && m_route.front()->GetLayer() > layer)
        layer = m_route.front()->GetLayer();
    return layer;
}

void GMTransportObj::LoadGoods(int32_t goods)
{
    if (goods == 0 || HasGoods(goods))
        return;
    for (int32_t i = m_capacity - 1; i > 0; --i)
        m_cargo[i] = m_cargo[i - 1];
    m_cargo[0] = goods;
}

bool GMTransportObj::HasGoods(int32_t goods) const
{
    if (goods == 0)
        return false;
    for (int32_t i = 0; i < m_capacity; ++i) {
        if (m_cargo[i] == goods)
            return true;
    }
    return false;
}

void GMTransportObj::UnloadGoods(int32_t goods)
{
    if (goods == 0)
        return;
    for (int32_t i = 0; i < m_capacity; ++i) {
        if (m_cargo[i] != goods)
            continue;
        for (int32_t j = i; j < m_capacity - 1; ++j)
            m_cargo[j] = m_cargo[j + 1];
        m_cargo[m_capacity - 1] = 0;
        return;
    }
}

int32_t GMTransportObj::Update(float, float, int32_t, float dt)
{
    for (GMImage& image : m_images)
        image.Advance(dt);
    Advance(m_speed * dt);
    if (m_ghostInterval != 0.0f)
        RecordGhosts(dt);
    for (GMGhostPoint& g : m_ghosts)
        g.drawn = false;
    m_waitTime = m_waitTime - dt > 0.0f ? m_waitTime - dt : 0.0f;
    return 0;
}

// Each interval that has passed leaves one point, spread evenly between the
// last point and where the vehicle is now; standing still empties the trail.
void GMTransportObj::RecordGhosts(float dt)
{
    m_ghostTimer -= dt;
    if (m_ghostTimer > 0.0f)
        return;
    const GMGhostPoint& last = m_ghosts[m_ghostNewest];
    float px = last.x, py = last.y;
    GetPosition(&px, &py);
    const float dx = px - last.x, dy = py - last.y;
    const int32_t layer = GetLayer();
    // Intervals passed (at least one); bounded, only the last ten are kept.
    double passed = std::floor(-static_cast<double>(m_ghostTimer) / m_ghostInterval) + 1.0;
    const int32_t steps = passed > 1e6 ? 1000000 : static_cast<int32_t>(passed);
    m_ghostTimer = static_cast<float>(m_ghostTimer + steps * static_cast<double>(m_ghostInterval));
    if (m_ghostTimer <= 0.0f)
        m_ghostTimer = m_ghostInterval;

    auto write = [&](int32_t index, float x, float y, uint8_t image) {
        GMGhostPoint& g = m_ghosts[index];
        g.x = x;
        g.y = y;
        g.layer = layer;
        g.image = image;
        g.drawn = false;
        g.cellX = static_cast<int32_t>(std::floor(x));
        g.cellY = static_cast<int32_t>(std::floor(y));
    };
    if (std::fabs(dx) <= 0.025f && std::fabs(dy) <= 0.025f) {
        m_ghosts[m_ghostNewest].image = GMGhostPoint::kEmpty;
        m_ghostNewest = (m_ghostNewest + 1) % kGhostCount;
        write(m_ghostNewest, px, py, GMGhostPoint::kEmpty);
        return;
    }
    const float lx = last.x, ly = last.y;
    const uint8_t image = m_ghostOn ? static_cast<uint8_t>(m_facing) : GMGhostPoint::kEmpty;
    const int32_t first = steps > kGhostCount ? steps - kGhostCount + 1 : 1;
    const int32_t base = m_ghostNewest;
    for (int32_t i = first; i <= steps; ++i) {
        float f = static_cast<float>(i) / static_cast<float>(steps);
        write((base + i) % kGhostCount, i == steps ? px : lx + dx * f, i == steps ? py : ly + dy * f, image);
    }
    m_ghostNewest = (base + steps) % kGhostCount;
}

int32_t GMTransportObj::Draw(float x, float y, DisplayDevice* device)
{
    GMImage& image = m_images[m_facing];
    image.Draw(x - image.GetTextureWidth() * 0.5f, y - image.GetTextureHeight(), device);
    return 0;
}

void GMTransportObj::BeginGhostDrawing()
{
    for (GMGhostPoint& g : m_ghosts)
        g.drawn = false;
}

int32_t GMTransportObj::DrawGhosts(int32_t cellX, int32_t cellY, int32_t layer, float originX, float originY,
                                   float cellW, float cellH, DisplayDevice* device)
{
    if (device)
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    const DrawOrderKey before{layer, cellY, cellX};
    uint32_t alpha = 12;
    int32_t count = 0;
    // Oldest first; the newest point is where the vehicle itself is drawn.
    for (int32_t i = 1; i < kGhostCount; ++i) {
        GMGhostPoint& g = m_ghosts[(m_ghostNewest + i) % kGhostCount];
        if (g.image == GMGhostPoint::kEmpty)
            continue;
        alpha += 12;
        ++count;
        if (g.drawn || !(DrawOrderKey{g.layer, g.cellY, g.cellX} < before))
            continue;
        GMImage& image = m_images[ClampDirection(g.image)];
        float footX = (g.x + 0.5f) * cellW + originX;
        float footY = (g.y + 1.0f) * cellH + originY;
        image.DrawColored(footX - image.GetTextureWidth() * 0.5f, footY - image.GetTextureHeight(),
                          (alpha << 24) | 0x00FFFFFFu, device);
        g.drawn = true;
    }
    if (device)
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    return count;
}
