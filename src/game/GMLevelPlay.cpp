// The play of a working day: goods icons, the job queue, orders, spawning,
// completing orders, the police queue and the tutorial hints.
#include "game/GMLevelRun.h"

#include "game/Arith.h"
#include "gfx/GMImageTemplate.h"
#include "sound/GMSoundSystem.h"
#include "ui/GMStoryLayout.h"
#include "world/GMBonusObj.h"
#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMMessage.h"
#include "world/GMOrderObj.h"
#include "world/GMPoliceObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <new>

namespace {

constexpr float kFlySpeed = 3.5f;
constexpr float kIconGrowTime = 150.0f;
constexpr float kPoliceIconShrinkTime = 100.0f;
constexpr float kOrderAppearTime = 300.0f;
constexpr float kOrderFinishTime = 250.0f;
constexpr float kPatienceRow = 12.0f;  // the icons under an order's bubble
constexpr float kReturnSpeed = 0.6f;  // goods taken out of the van fly home slowly enough to follow

template <class T>
void Drop(T*& obj)
{
    if (obj) {
        obj->Release();
        obj = nullptr;
    }
}

template <class T>
T* At(const GMObjectArray& list, int32_t& cursor)
{
    return static_cast<T*>(list.GetNext(cursor));
}

bool IsFinished(const GMOrderObj* order)
{
    return order->GetTransition() == 2 || (order->GetTransition() == 0 && order->GetScale() == 0.0f);
}

bool IsThief(int32_t special)
{
    return special == 3 || special == 4;
}

}  // namespace

// ---- Life of the day's objects ----------------------------------------------------------

void GMLevelRun::ReleaseWorldObjects()
{
    for (Job& job : m_jobs)
        Drop(job.order);
    m_jobs.clear();
    for (GMOrderObj*& order : m_policeQueue)
        Drop(order);
    m_policeQueue.clear();
    Drop(m_heldIcon);
    Drop(m_candidate);
    Drop(m_tutorialTarget);
    Drop(m_tutorialOrder);
    Drop(m_tutorialImages[0]);
    Drop(m_tutorialImages[1]);
    m_orders.ReleaseItems();
    m_icons.ReleaseItems();
    m_shopGoods.ReleaseItems();
    m_customers.ReleaseItems();
    m_police.ReleaseItems();
    m_buildings.ReleaseItems();
    Drop(m_vehicle);
    Drop(m_policeCar);
    m_currentNode = nullptr;
    for (GMImage** image : {&m_orderNormal, &m_orderHighlight, &m_litIcon, &m_unlitIcon, &m_plateNormal,
                            &m_plateHighlight, &m_queueMark, &m_pathMarker, &m_flashStar, &m_panelImages[0],
                            &m_panelImages[1], &m_panelImages[2], &m_panelImages[3]})
        Drop(*image);
}

void GMLevelRun::ResetPlay()
{
    m_remaining = 0;
    m_spawnDelay = 0.0f;
    m_chosenHouse = -1;
    m_chosenCustomer = nullptr;
    m_chosenGoods = nullptr;
    m_houseCount = 0;
    m_paused = false;
    m_goodsWeight = 0.0f;
    m_customerWeight = 0.0f;
    m_customerWeightNow = 0.0f;
    m_waitingThieves = 0;
    m_policeIcons = 0;
    m_warningOn = false;
    m_tutorialKind = 0;
    m_tutorialStep = 0;
    m_tutorialX = 0.0f;
    m_tutorialY = 0.0f;
    m_tutorialBelow = false;
    m_ordersPlaced = 0;
}

void GMLevelRun::StartDay()
{
    ReplenishIcons();
    // The goods are on their plates when the day opens: the fade and the title
    // run before any play frame could grow them in.
    for (int32_t c = -1; GMQueryGoodsObj* icon = At<GMQueryGoodsObj>(m_icons, c);) {
        GMPoint home = icon->GetTarget();
        icon->SetPosition(home.x, home.y);
        icon->StopMotion();
        icon->FinishGrowing();
    }
}

int32_t GMLevelRun::ActiveOrderCount() const
{
    return m_orders.GetCount();
}

int32_t GMLevelRun::HeldGoods() const
{
    return m_heldIcon ? m_heldIcon->GetGoodsNumber() : 0;
}

GMRoadNodeObj* GMLevelRun::Destination(GMOrderObj* order) const
{
    GMBuildingObj* house = order ? order->GetHouse() : nullptr;
    return house ? house->GetEntrance() : nullptr;
}

// ---- Goods icons --------------------------------------------------------------------------

GMQueryGoodsObj* GMLevelRun::CreateIcon(GMShopGoodsObj* shop, float growTime)
{
    auto* icon = new (std::nothrow) GMQueryGoodsObj;
    if (!icon)
        return nullptr;
    icon->CopyFrom(shop);
    float x = shop->GetX(), y = shop->GetY();
    if (shop->GetGoodsNumber() == kPoliceGoods) {
        int32_t c = -1;
        if (GMPoliceObj* post = At<GMPoliceObj>(m_police, c)) {
            x = post->GetX();
            y = post->GetY();
        }
    }
    icon->SetPosition(x, y);
    icon->SetTarget(x, y);
    icon->SetFlySpeed(kFlySpeed);
    icon->SetRemoveWhenGone(true);
    icon->SetTransitionTime(growTime);
    icon->StartTransition(true);
    icon->SetSlotNumber(m_icons.GetCount());
    if (m_icons.Add(icon, false) < 0) {
        icon->Release();
        return nullptr;
    }
    return icon;
}

void GMLevelRun::ReplenishIcons()
{
    int32_t counts[kShopGoodsLimit] = {};
    bool policeIcon = false;
    for (int32_t c = -1; GMQueryGoodsObj* icon = At<GMQueryGoodsObj>(m_icons, c);) {
        if (icon->GetTransition() == 2)
            continue;  // on its way out
        int32_t g = icon->GetGoodsNumber();
        if (g >= 0 && g < kShopGoodsLimit)
            ++counts[g];
        if (g == kPoliceGoods)
            policeIcon = true;
    }
    for (int32_t c = -1; GMShopGoodsObj* shop = At<GMShopGoodsObj>(m_shopGoods, c);) {
        int32_t g = shop->GetGoodsNumber();
        if (g == kPoliceGoods) {
            if (m_waitingThieves > 0 && !policeIcon && m_police.GetCount() > 0) {
                CreateIcon(shop, kIconGrowTime);
                policeIcon = true;
            }
            continue;
        }
        if (g < 0 || g >= kShopGoodsLimit)
            continue;
        if (counts[g] > 0)
            --counts[g];
        else
            CreateIcon(shop, kIconGrowTime);
    }
    if (m_waitingThieves == 0) {
        // No thief left to catch: the police icon goes.
        for (int32_t c = -1; GMQueryGoodsObj* icon = At<GMQueryGoodsObj>(m_icons, c);) {
            if (icon->GetGoodsNumber() != kPoliceGoods || icon->GetTransition() == 2)
                continue;
            if (icon == m_heldIcon)
                Drop(m_heldIcon);
            icon->SetTransitionTime(kPoliceIconShrinkTime);
            icon->StartTransition(false);
        }
    }
}

void GMLevelRun::LetGoHeldIcon()
{
    if (!m_heldIcon)
        return;
    m_heldIcon->SetFlySpeed(kFlySpeed);
    m_heldIcon->ReturnToTarget();
    Drop(m_heldIcon);
    m_remaining = 0;
}

void GMLevelRun::UseUpHeldIcon()
{
    if (!m_heldIcon)
        return;
    m_heldIcon->StopMotion();
    m_heldIcon->SetTransitionTime(kIconGrowTime);
    m_heldIcon->StartTransition(false);
    Drop(m_heldIcon);
    m_remaining = 0;
}

void GMLevelRun::UpdateIcons(float x, float y, uint32_t& buttons, float dt)
{
    for (int32_t i = 0; i <= m_icons.GetLastIndex(); ++i) {
        auto* icon = static_cast<GMQueryGoodsObj*>(m_icons.GetAt(i));
        if (!icon)
            continue;
        bool was = icon->IsHighlighted();
        int32_t r = icon->Update(x, y, static_cast<int32_t>(buttons & 1), dt);
        if (icon->IsHighlighted() && !was && !(buttons & 1))
            PlaySound("sfx\\ButtonHover.ogg");
        if (r == 5) {
            if (icon == m_heldIcon)
                Drop(m_heldIcon);
            if (icon == m_tutorialTarget)
                Drop(m_tutorialTarget);
            m_icons.RemoveAt(i);
            continue;
        }
        if (r != 1 || !(buttons & 1))
            continue;
        if (m_tutorialStep != 0 && icon != m_tutorialTarget)
            continue;
        PlaySound("sfx\\ButtonClick.ogg");
        LetGoHeldIcon();
        icon->StartDrag();
        ReplaceObject(m_heldIcon, icon);
        for (int32_t c = -1; GMQueryGoodsObj* other = At<GMQueryGoodsObj>(m_icons, c);) {
            if (other != icon && !other->IsAtRest() && other->GetTransition() != 2) {
                other->SetFlySpeed(kFlySpeed);
                other->ReturnToTarget();
            }
        }
        if (icon->GetGoodsNumber() < kShopGoodsLimit)
            m_remaining = m_vehicle ? m_vehicle->GetCapacity() : 1;
        if (m_tutorialStep == 2 && m_tutorialOrder)
            PointTutorialAt(1, m_tutorialOrder);
        else if (m_tutorialStep == 3 && m_tutorialOrder)
            PointTutorialAt(1, m_tutorialOrder);
        buttons &= ~1u;  // the click is used up
    }
}

// ---- Jobs ---------------------------------------------------------------------------------

void GMLevelRun::RemoveJob(size_t index)
{
    if (index >= m_jobs.size())
        return;
    GMOrderObj* order = m_jobs[index].order;
    m_jobs.erase(m_jobs.begin() + static_cast<std::ptrdiff_t>(index));
    if (order) {
        order->SetTaken(false);
        order->Release();
    }
    RefreshCargo();
}

void GMLevelRun::RefreshCargo()
{
    if (!m_vehicle)
        return;
    const int32_t slots = m_vehicle->GetCapacity();
    auto queued = [&](int32_t goods) {
        for (const Job& job : m_jobs) {
            if (job.goods == goods)
                return true;
        }
        return false;
    };
    // Unloaded at delivery: goods no job wants any more leave the van.
    for (int32_t i = slots - 1; i >= 0; --i) {
        const int32_t goods = m_vehicle->GetCargo(i);
        if (goods != 0 && !queued(goods))
            m_vehicle->UnloadGoods(goods);
    }
    // Loaded in queue order while a slot is free; a full van pushes nothing out.
    for (const Job& job : m_jobs) {
        if (m_vehicle->GetCargo(slots - 1) != 0)
            break;
        m_vehicle->LoadGoods(job.goods);
    }
}

void GMLevelRun::TakeLoadOut(const GMOrderObj* visitor)
{
    if (!m_vehicle)
        return;
    std::vector<int32_t> taken;
    for (int32_t i = 0; i < m_vehicle->GetCapacity(); ++i) {
        if (m_vehicle->GetCargo(i) != 0)
            taken.push_back(m_vehicle->GetCargo(i));
    }
    for (int32_t goods : taken)
        m_vehicle->UnloadGoods(goods);
    float vx = 0.0f, vy = 0.0f;
    const bool seen = m_vehicle->GetPosition(&vx, &vy);
    for (int32_t goods : taken) {
        bool dropped = false;
        for (size_t i = m_jobs.size(); i-- > 0;) {
            if (m_jobs[i].goods != goods || m_jobs[i].order == visitor)
                continue;
            RemoveJob(i);
            dropped = true;
        }
        if (!dropped || !seen)
            continue;
        // The goods fly from the van back to their shop and fade there.
        for (int32_t c = -1; GMShopGoodsObj* shop = At<GMShopGoodsObj>(m_shopGoods, c);) {
            if (shop->GetGoodsNumber() != goods)
                continue;
            if (GMQueryGoodsObj* icon = CreateIcon(shop, 0.0f)) {
                const float x = m_grid.FootX(vx), y = m_grid.FootY(vy) - m_grid.cellHeight / 2.0f;
                const float dx = shop->GetX() - x, dy = shop->GetY() - y;
                icon->SetPosition(x, y);
                icon->SetScale(1.0f);
                icon->SetFlySpeed(kReturnSpeed);
                icon->SetTarget(shop->GetX(), shop->GetY());
                icon->SetTransitionTime(std::sqrt(dx * dx + dy * dy) / kReturnSpeed);
                icon->StartTransition(false);
            }
            break;
        }
    }
    // What is still queued goes into the emptied slots.
    RefreshCargo();
}

void GMLevelRun::WorkJobQueue()
{
    if (!m_vehicle)
        return;
    while (!m_jobs.empty() && !m_vehicle->IsBusy()) {
        Job job = m_jobs.front();
        GMRoadNodeObj* dest = Destination(job.order);
        if (dest) {
            int32_t r = m_vehicle->GoTo(dest);
            if (r == 0 && m_vehicle->IsMoving())
                return;  // on its way
            GMRoadNodeObj* at = m_vehicle->GetCurrentNode();
            bool arrived = at && at->GetCellX() == dest->GetCellX() && at->GetCellY() == dest->GetCellY();
            if (!arrived)
                return;  // no way there now; the order may still expire
            CompleteOrder(job.order, m_vehicle, job.goods == job.order->GetGoodsNumber());
            m_vehicle->SetWaitTime(m_day.orderStopTime);
        }
        RemoveJob(0);
    }
}

void GMLevelRun::WorkPoliceQueue()
{
    if (!m_policeCar)
        return;
    if (m_policeCar->IsMoving())
        m_policeCar->SetSpeed(1.5f * (m_vehicle ? m_vehicle->GetSpeed() : 0.0f));
    while (!m_policeQueue.empty() && !m_policeCar->IsBusy()) {
        GMOrderObj* head = m_policeQueue.front();
        GMRoadNodeObj* dest = Destination(head);
        if (dest) {
            m_policeCar->SetSpeed(1.5f * (m_vehicle ? m_vehicle->GetSpeed() : 0.0f));
            int32_t r = m_policeCar->GoTo(dest);
            if (r == 0 && m_policeCar->IsMoving()) {
                PlaySound("sfx\\Police.ogg");
                return;
            }
            GMRoadNodeObj* at = m_policeCar->GetCurrentNode();
            if (!(at && at->GetCellX() == dest->GetCellX() && at->GetCellY() == dest->GetCellY()))
                return;
        }
        m_policeQueue.erase(m_policeQueue.begin());
        head->SetTaken(false);
        if (dest) {
            CompleteOrder(head, m_vehicle, head->GetGoodsNumber() == kPoliceGoods);
            m_policeCar->SetWaitTime(m_day.policeStopTime);
        }
        head->Release();
        if (m_policeQueue.empty()) {
            m_policeCar->GoTo(nullptr);
            m_policeCar->SetSpeed(0.0f);
        }
    }
}

void GMLevelRun::DropFromQueues(GMOrderObj* order)
{
    for (size_t i = 0; i < m_policeQueue.size(); ++i) {
        if (m_policeQueue[i] != order)
            continue;
        m_policeQueue.erase(m_policeQueue.begin() + static_cast<std::ptrdiff_t>(i));
        order->SetTaken(false);
        if (i == 0 && m_policeCar) {
            m_policeCar->GoTo(nullptr);
            m_policeCar->SetSpeed(0.0f);
            if (m_policeQueue.empty())
                m_policeCar->SetMark(0);
        }
        order->Release();
        break;
    }
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].order != order)
            continue;
        RemoveJob(i);
        if (i == 0 && m_vehicle) {
            GMRoadNodeObj* next = m_jobs.empty() ? nullptr : Destination(m_jobs.front().order);
            m_vehicle->GoTo(next);
        }
        break;
    }
}

// ---- Orders -------------------------------------------------------------------------------

void GMLevelRun::DeleteOrder(int32_t index)
{
    auto* order = static_cast<GMOrderObj*>(m_orders.GetAt(index));
    if (!order)
        return;
    int32_t c = order->GetMark() - 1;  // the customer kind it was made from
    if (auto* customer = static_cast<GMCustomerObj*>(m_customers.GetAt(c))) {
        if (customer->IsInUse()) {
            customer->SetInUse(false);
            m_customerWeightNow += customer->GetWeight();
        }
    }
    if (order == m_tutorialOrder)
        Drop(m_tutorialOrder);
    if (order == m_tutorialTarget)
        Drop(m_tutorialTarget);
    m_orders.RemoveAt(index);
}

void GMLevelRun::UpdateOrders(float x, float y, uint32_t buttons, float orderStep,
                              std::vector<GMOrderObj*>& candidates)
{
    int32_t warnings = 0;
    for (int32_t i = 0; i <= m_orders.GetLastIndex(); ++i) {
        auto* order = static_cast<GMOrderObj*>(m_orders.GetAt(i));
        if (!order)
            continue;
        int32_t r = order->Update(x, y, static_cast<int32_t>(buttons & 1), orderStep);
        if (r == 2) {
            order->AddRef();
            DropFromQueues(order);
            CompleteOrder(order, nullptr, false);
            order->Release();
            continue;
        }
        if (r == 4) {
            DeleteOrder(i);
            continue;
        }
        if ((r == 0 || r == 1) && !IsFinished(order)) {
            if (ApplyOrderBonuses(order))
                continue;
            candidates.push_back(order);
            if (order->GetPatienceLevel() < 3)
                ++warnings;
        }
    }
    bool warn = warnings > 0 && m_stateWord == 0;
    if (warn != m_warningOn) {
        LoopSound("sfx\\OrderWarning.ogg", warn);
        m_warningOn = warn;
    }
}

void GMLevelRun::AssignHeldGoods(float x, float y, uint32_t buttons, const std::vector<GMOrderObj*>& candidates)
{
    if (!m_heldIcon) {
        Drop(m_candidate);
        return;
    }
    int32_t held = m_heldIcon->GetGoodsNumber();
    GMOrderObj* chosen = nullptr;
    for (GMOrderObj* order : candidates) {
        if (!order->HitTest(x, y) && !order->Overlaps(m_heldIcon))
            continue;
        if (chosen && chosen->GetGoodsNumber() == held && order->GetGoodsNumber() != held)
            continue;  // a matching order is kept against later ones
        chosen = order;
    }
    if (!chosen) {
        Drop(m_candidate);
        return;
    }
    // The order's own update lights it only under the pointer: whether it is
    // new as the candidate is remembered here, so it sounds once.
    const bool fresh = chosen != m_candidate;
    ReplaceObject(m_candidate, chosen);
    chosen->SetHighlight(true);
    if (!(buttons & 1)) {
        if (fresh)
            PlaySound("sfx\\ButtonHover.ogg");
        return;
    }
    if (m_tutorialStep != 0 && chosen != m_tutorialTarget)
        return;
    PlaySound("sfx\\ButtonClick.ogg");
    // An order already on its way, by the vehicle or the police car, is never
    // queued a second time: it would be settled twice.
    if (chosen->IsTaken())
        return;
    if (held == kPoliceGoods) {
        if (!m_policeCar)
            return;
        if (!m_policeCar->IsBusy()) {
            GMRoadNodeObj* station = nullptr;
            for (int32_t c = -1; GMPoliceObj* post = At<GMPoliceObj>(m_police, c);) {
                if (!station && post->GetBuilding())
                    station = post->GetBuilding()->GetEntrance();
            }
            if (station) {
                m_policeCar->SetSpeed(1.5f * (m_vehicle ? m_vehicle->GetSpeed() : 0.0f));
                m_policeCar->GoTo(station);
            }
            m_policeCar->SetMark(1);
        }
        chosen->AddRef();
        m_policeQueue.push_back(chosen);
        chosen->SetTaken(true);
        UseUpHeldIcon();
    } else {
        chosen->AddRef();
        m_jobs.push_back(Job{chosen, held});
        chosen->SetTaken(true);
        RefreshCargo();
        if (--m_remaining <= 0)
            UseUpHeldIcon();
    }
    if (m_tutorialStep != 0 && chosen == m_tutorialTarget) {
        m_tutorialStep = 0;
        Drop(m_tutorialTarget);
        Drop(m_tutorialOrder);
    }
}

void GMLevelRun::HandleRightClick()
{
    if (m_tutorialStep != 0)
        return;
    if (m_heldIcon) {
        LetGoHeldIcon();
        return;
    }
    if (m_vehicle)
        m_vehicle->GoTo(nullptr);
    if (!m_jobs.empty())
        RemoveJob(m_jobs.size() - 1);
}

// ---- Spawning -----------------------------------------------------------------------------

void GMLevelRun::SpawnOrders(float orderStep)
{
    int32_t active = m_orders.GetCount();
    if (active >= m_day.maxActiveOrders)
        m_paused = true;
    if (active <= m_day.resumeLevel)
        m_paused = false;
    if (m_chosenHouse < 0 && m_ordersLeft >= 1 && !m_paused) {
        if (m_spawnDelay > orderStep) {
            m_spawnDelay -= orderStep;
        } else {
            m_spawnDelay = m_day.minSpawnDelay +
                           static_cast<float>(m_random.Next()) * m_day.randomSpawnDelay / GameRandom::kMax;
            int32_t house = static_cast<int32_t>(static_cast<int64_t>(m_random.Next()) * m_houseCount /
                                                 GameRandom::kMax);
            // r = 32767 would name a house past the last one and stop the day.
            m_chosenHouse = house >= m_houseCount ? m_houseCount - 1 : house;
            if (m_chosenHouse < 0)
                m_chosenHouse = -1;
            float t = static_cast<float>(m_random.Next()) * m_goodsWeight / GameRandom::kMax;
            m_chosenGoods = nullptr;
            for (int32_t c = -1; GMShopGoodsObj* shop = At<GMShopGoodsObj>(m_shopGoods, c);) {
                if (shop->GetGoodsNumber() == kPoliceGoods)
                    continue;
                m_chosenGoods = shop;
                t -= shop->GetWeight();
                if (t <= 0.0f)
                    break;
            }
            m_chosenCustomer = nullptr;
        }
    }
    if (m_chosenHouse < 0)
        return;
    if (!m_chosenCustomer) {
        // Only kinds without an order in play; the walk repeats while t stays
        // positive, at most once per kind.
        float t = static_cast<float>(m_random.Next()) * m_customerWeightNow / GameRandom::kMax;
        int32_t kinds = m_customers.GetCount();
        for (int32_t pass = 0; pass < kinds && !m_chosenCustomer; ++pass) {
            for (int32_t c = -1; GMCustomerObj* customer = At<GMCustomerObj>(m_customers, c);) {
                if (customer->IsInUse())
                    continue;
                t -= customer->GetWeight();
                if (t <= 0.0f) {
                    m_chosenCustomer = customer;
                    break;
                }
            }
            if (t > 0.0f && pass + 1 == kinds) {
                for (int32_t c = -1; GMCustomerObj* customer = At<GMCustomerObj>(m_customers, c);) {
                    if (!customer->IsInUse())
                        m_chosenCustomer = customer;
                }
            }
        }
        if (!m_chosenCustomer)
            return;  // every kind is busy: keep the choice, try again next frame
    }
    int32_t count = 0;
    for (int32_t c = -1; GMBuildingObj* b = At<GMBuildingObj>(m_buildings, c);) {
        if (!b->IsOrderHouse())
            continue;
        if (count == m_chosenHouse) {
            if (b->CanPlaceOrder()) {
                PlaceOrder(b);
            } else {
                m_chosenHouse = m_houseCount > 0 ? (m_chosenHouse + 1) % m_houseCount : -1;
            }
            return;
        }
        ++count;
    }
    m_chosenHouse = -1;  // the houses changed under the choice: choose again
}

bool GMLevelRun::PlaceOrder(GMBuildingObj* house)
{
    GMCustomerObj* customer = m_chosenCustomer;
    if (m_tutorialKind == 2 && m_ordersPlaced == 0) {
        GMCustomerObj* thief = nullptr;
        for (int32_t want : {3, 4}) {
            for (int32_t c = -1; GMCustomerObj* k = At<GMCustomerObj>(m_customers, c);) {
                if (!thief && k->GetCustomerKind() == want && !k->IsInUse())
                    thief = k;
            }
        }
        if (thief)
            customer = thief;
    }
    int32_t special = customer->GetCustomerKind();
    GMShopGoodsObj* goods = m_chosenGoods;
    if (IsThief(special)) {
        goods = nullptr;
        for (int32_t c = -1; GMShopGoodsObj* shop = At<GMShopGoodsObj>(m_shopGoods, c);) {
            if (!goods && shop->GetGoodsNumber() == kPoliceGoods)
                goods = shop;
        }
    }
    auto* order = new (std::nothrow) GMOrderObj;
    if (!order)
        return false;
    if (m_orderNormal)
        order->SetImageTemplate(1, m_orderNormal->PeekTemplate());
    if (m_orderHighlight)
        order->SetImageTemplate(0, m_orderHighlight->PeekTemplate());
    order->SetCustomerFrom(customer);
    if (goods)
        order->SetGoodsFrom(goods);
    order->SetIconTemplates(m_litIcon ? m_litIcon->PeekTemplate() : nullptr,
                            m_unlitIcon ? m_unlitIcon->PeekTemplate() : nullptr);
    if (m_flashStar)
        order->SetOverlay(m_flashStar->PeekTemplate(), 0x00FFFFFF);
    float x = 0.0f, y = 0.0f;
    FindOrderSpot(house, &x, &y);
    order->SetPosition(x, y);
    order->SetHouse(house);
    order->SetTransitionTime(kOrderAppearTime);
    order->StartTransition(true);
    int32_t index = -1;
    for (int32_t c = -1; GMObject* k = static_cast<GMObject*>(m_customers.GetNext(c));) {
        if (k == customer)
            index = c;
    }
    order->SetMark(index + 1);
    if (m_orders.Add(order, false) < 0) {
        order->Release();
        return false;
    }
    customer->SetInUse(true);
    m_customerWeightNow -= customer->GetWeight();
    --m_ordersLeft;
    ++m_ordersPlaced;
    m_chosenHouse = -1;
    m_chosenCustomer = nullptr;
    m_chosenGoods = nullptr;
    switch (special) {
    case 1: PlaySound("sfx\\MayorShow.ogg"); break;
    case 2: PlaySound("sfx\\TVShow.ogg"); break;
    case 3:
    case 4: PlaySound("sfx\\ThiefShow.ogg"); break;
    case 5:
    case 7: PlaySound("sfx\\CafeShow.ogg"); break;
    default: PlaySound("sfx\\OrderShow.ogg"); break;
    }
    return true;
}

// ---- Completing an order ------------------------------------------------------------------

int32_t GMLevelRun::CompleteOrder(GMOrderObj* order, GMTransportObj* vehicle, bool success)
{
    if (!order)
        return 0;
    const float price = order->GetPrice();
    int32_t pay = ToInt32(price);
    float rating = static_cast<float>(order->GetPatienceLevel());
    if (!success) {
        rating = -18.0f;
        pay = -ToInt32(price * 0.5f);
    }
    const int32_t special = order->GetCustomerKind();
    const float f0 = order->GetFactor(0);
    const float f1 = order->GetFactor(1);
    const int32_t goods = order->GetGoodsNumber();
    switch (special) {
    case 1:
        if (vehicle || !success) {
            pay = ToInt32(static_cast<float>(pay) * f0);
            rating = std::trunc(rating * f1);
        }
        break;
    case 2:
        if (!success) {
            rating = std::trunc(rating * f0);
        } else if (vehicle) {
            if (f1 != 0.0f) {
                rating = std::trunc(f1 * m_ratingMax);
            } else if (order->GetGoods()) {
                // Everybody wants what was on television; the special orders
                // (the thief's police call) still need what they needed.
                for (int32_t c = -1; GMOrderObj* other = At<GMOrderObj>(m_orders, c);) {
                    if (other == order || IsFinished(other))
                        continue;
                    const int32_t own = other->GetGoodsNumber();
                    other->SetGoodsFrom(order->GetGoods());
                    if (own >= kShopGoodsLimit && other->GetGoods())
                        other->GetGoods()->SetGoodsNumber(own);
                }
            }
        }
        break;
    case 3:
    case 4:
        if (!vehicle) {
            if (success)
                return 2;  // only the police can settle a thief
        } else if (special == 3) {
            pay = ToInt32(success ? f1 : f0);
            rating = 0.0f;
        } else if (success) {
            pay = ToInt32(f1);
        } else {
            pay = 0;
            rating = -std::trunc(f0 * m_ratingMax);
        }
        break;
    case 5:
    case 7:
        if (success && vehicle) {
            SupplyOrders(order, special == 5);
        } else if (!success) {
            pay = ToInt32(static_cast<float>(pay) * f0);
            rating = std::trunc(rating * f1);
        }
        break;
    case 6:
        if (!success) {
            pay = ToInt32(static_cast<float>(pay) * f0);
            rating = std::trunc(rating * f1);
        } else if (vehicle) {
            TakeLoadOut(order);
        }
        break;
    default:
        break;
    }

    const char* sound = nullptr;
    int32_t comboBonus = 0;
    if (!success) {
        AddRating(rating);
        m_comboGoods = 0;
        m_comboRun = 0;
        m_holdLeft = 0.0f;
        sound = (IsThief(special) && vehicle) ? "sfx\\Thief.ogg" : "sfx\\OrderFail.ogg";
    } else if (!vehicle) {
        ++m_delivered;
        m_holdLeft = m_holdTime;
    } else {
        if (goods < kShopGoodsLimit) {
            AddRating(rating);
            if (m_day.combo[3] >= 1) {
                if (m_comboGoods == goods && m_comboRun > 0) {
                    ++m_comboRun;
                } else {
                    m_comboGoods = goods;
                    m_comboRun = 1;
                }
                static const char* const kComboSounds[] = {"sfx\\Combo1.ogg", "sfx\\Combo2.ogg", "sfx\\Combo3.ogg"};
                for (int32_t level = 0; level < 3; ++level) {
                    if (m_comboRun == m_day.combo[3 + level]) {
                        comboBonus = m_day.combo[level];
                        sound = kComboSounds[level];
                    }
                }
                if (m_day.combo[5] > 0 && m_comboRun > m_day.combo[5])
                    m_comboRun = m_day.combo[5];
            }
        }
        if (!sound) {
            switch (special) {
            case 1: sound = "sfx\\Mayor.ogg"; break;
            case 2: sound = "sfx\\TVReporter.ogg"; break;
            case 3:
            case 4: sound = "sfx\\ThiefCatch.ogg"; break;
            case 5:
            case 7: sound = "sfx\\Cafe.ogg"; break;
            default: sound = "sfx\\OrderComplete.ogg"; break;
            }
        }
        ++m_delivered;
        m_holdLeft = m_holdTime;
    }

    int32_t tip = (success && vehicle && m_ratingRatio >= 0.86f) ? pay : 0;
    int32_t ratingDelta = ToInt32(rating);
    // Every order settled shows its money, also one paid without the
    // vehicle (Supply All, a cafe).
    char text[48];
    float ox = order->GetX(), oy = order->GetY();
    int32_t shown = SaturatingAdd(pay, tip);
    if (comboBonus != 0) {
        std::snprintf(text, sizeof text, "$%d", SaturatingAdd(shown, comboBonus));
        AddFloatingText(text, ox, oy, kMoneyTextTime, 0xFDEB58, true, true, 0);
        float lineHeight = 0.0f;
        if (m_fontStd)
            m_fontStd->DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0, "0", nullptr, nullptr, &lineHeight);
        std::snprintf(text, sizeof text, "%d COMBO!", m_comboRun);
        AddFloatingText(text, ox, oy + lineHeight, kMoneyTextTime, 0xFDEB58, true, true, 0);
    } else if (pay < 0) {
        std::snprintf(text, sizeof text, "-$%d", pay == INT32_MIN ? INT32_MAX : -pay);
        AddFloatingText(text, ox, oy, kMoneyTextTime, 0xFF0000, true, true, 0);
    } else if (shown > 0) {
        std::snprintf(text, sizeof text, "$%d", shown);
        AddFloatingText(text, ox, oy, kMoneyTextTime, 0xFDEB58, true, true, 0);
    } else if (ratingDelta < 0) {
        AddFloatingText("FAIL!", ox, oy, kMoneyTextTime, 0xFF0000, true, true, 0);
    }
    AddMoney(pay, tip, ratingDelta);
    if (comboBonus != 0)
        AddMoney(0, comboBonus, 0);
    order->SetTransitionTime(kOrderFinishTime);
    order->StartTransition(false);
    if (sound)
        PlaySound(sound);
    return success ? 0 : 1;
}

int32_t GMLevelRun::SupplyOrders(const GMOrderObj* except, bool sameGoods)
{
    const int32_t goods = except ? except->GetGoodsNumber() : 0;
    int32_t supplied = 0;
    for (int32_t c = -1; GMOrderObj* other = At<GMOrderObj>(m_orders, c);) {
        if (other == except || IsFinished(other))
            continue;
        if (sameGoods && other->GetGoodsNumber() != goods)
            continue;
        supplied += SupplyOrder(other);
    }
    return supplied;
}

bool GMLevelRun::SupplyOrder(GMOrderObj* order)
{
    order->AddRef();
    const bool supplied = CompleteOrder(order, nullptr, true) != 2;  // 2: a thief waits for the police
    if (supplied)
        DropFromQueues(order);
    order->Release();
    return supplied;
}

void GMLevelRun::EndTheDay()
{
    AddMoney(10000, 5000, 0);
    m_ordersLeft = 0;
    m_tutorialKind = 0;
    m_tutorialStep = 0;
    Drop(m_tutorialTarget);
    Drop(m_tutorialOrder);
    for (int32_t c = -1; GMOrderObj* order = At<GMOrderObj>(m_orders, c);) {
        if (IsFinished(order))
            continue;
        order->AddRef();
        DropFromQueues(order);
        CompleteOrder(order, m_vehicle, true);
        order->Release();
    }
}

// ---- The play frame -----------------------------------------------------------------------

void GMLevelRun::PlayFrame(float x, float y, uint32_t buttons, float dt)
{
    if (m_stateWord & ~kStateUfoGame)
        return;
    m_holdTime = kRatingHoldTime;
    m_decayRate = kRatingDecay;
    uint32_t clicks = buttons;
    UpdateIcons(x, y, clicks, dt);
    UpdateBonuses(x, y, clicks, dt);
    const float orderStep = BonusOrderStep(m_tutorialStep != 0 ? 0.0f : dt);
    WorkJobQueue();
    WorkPoliceQueue();
    std::vector<GMOrderObj*> candidates;
    UpdateOrders(x, y, clicks, orderStep, candidates);
    AssignHeldGoods(x, y, clicks, candidates);
    // Counted after the assignment: a thief handed to the police this frame
    // no longer calls a new police icon up.
    m_waitingThieves = 0;
    for (const GMOrderObj* order : candidates) {
        if (IsThief(order->GetCustomerKind()) && !order->IsTaken())
            ++m_waitingThieves;
    }
    UpdateTutorial(dt);
    SpawnOrders(orderStep);
    for (int32_t c = -1; GMObject* b = static_cast<GMObject*>(m_buildings.GetNext(c));)
        b->Update(x, y, 0, dt);
    for (GMObjectArray& layer : m_decorations) {
        for (int32_t c = -1; GMObject* d = static_cast<GMObject*>(layer.GetNext(c));)
            d->Update(x, y, 0, dt);
    }
    if (m_vehicle) {
        m_vehicle->Update(x, y, 0, dt);
        // The markers show this frame's route: an earlier one's go here, not
        // only when a frame is drawn, so a frame left undrawn changes nothing.
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_drawList.GetNext(c));) {
            if (o->GetKind() == kKindRoadNode && o->GetMark() == 1)
                o->SetMark(0);
        }
        for (GMRoadNodeObj* node : m_vehicle->GetRoute())
            node->SetMark(1);
    }
    if (m_policeCar)
        m_policeCar->Update(x, y, 0, dt);
    RatingUpkeep(dt, orderStep);
}

void GMLevelRun::AfterPlay(float, float, uint32_t buttons, float)
{
    if (m_day.levelKind != 0)
        return;
    if ((buttons & 2) && m_stateWord == 0)
        HandleRightClick();
    ReplenishIcons();
}

// ---- Tutorial hints -----------------------------------------------------------------------

void GMLevelRun::PointTutorialAt(int32_t step, GMInteractiveObj* target)
{
    m_tutorialStep = step;
    ReplaceObject(m_tutorialTarget, target);
    if (!target)
        return;
    // Its full size: an icon still growing in must not end up under the arrow.
    float h = std::max(target->GetScaledFrameHeight(), target->GetImage(1).GetTextureHeight());
    GMImage* arrow = m_tutorialImages[0];
    float aw = arrow ? arrow->GetTextureWidth() : 0.0f;
    float ah = arrow ? arrow->GetTextureHeight() : 0.0f;
    float x = target->GetX() - aw / 2.0f;
    float y = target->GetY() - h / 2.0f - ah;
    // Without room above, it points up from below (past an order's patience row).
    m_tutorialBelow = y < 0.0f;
    if (m_tutorialBelow)
        y = target->GetY() + h / 2.0f + (target->GetKind() == kKindOrder ? kPatienceRow : 0.0f);
    m_tutorialX = x < 0.0f ? 0.0f : x + aw > 800.0f ? 800.0f - aw : x;
    m_tutorialY = y;
}

void GMLevelRun::UpdateTutorial(float dt)
{
    for (GMImage* image : m_tutorialImages) {
        if (image)
            image->Advance(dt);
    }
    if (m_tutorialKind == 1 && m_tutorialStep == 0 && m_orders.GetCount() > 0) {
        for (int32_t c = -1; GMOrderObj* order = At<GMOrderObj>(m_orders, c);) {
            // An order still growing in would stay invisible: the hint stops its clock.
            if (order->IsTaken() || IsFinished(order) || order->GetTransition() == GMOrderObj::kAppearing)
                continue;
            // A held icon takes no click: when the player already holds these
            // goods, the hint goes straight to the order (else the day is stuck).
            bool inHand = m_heldIcon && m_heldIcon->GetGoodsNumber() == order->GetGoodsNumber();
            GMQueryGoodsObj* shopIcon = nullptr;
            for (int32_t i = -1; GMQueryGoodsObj* icon = At<GMQueryGoodsObj>(m_icons, i);) {
                if (!shopIcon && icon != m_heldIcon && icon->GetGoodsNumber() == order->GetGoodsNumber() &&
                    icon->GetGoodsNumber() < kShopGoodsLimit && icon->GetTransition() != 2)
                    shopIcon = icon;
            }
            if (!shopIcon && !inHand)
                continue;
            ReplaceObject(m_tutorialOrder, order);
            if (inHand) {
                PointTutorialAt(1, order);
                m_spawnDelay = 2000.0f;
                break;
            }
            PointTutorialAt(2, shopIcon);
            m_spawnDelay = 2000.0f;
            break;
        }
        if (m_ordersPlaced >= 2)
            m_tutorialKind = 0;
    }
    if (m_tutorialKind == 2 && m_tutorialStep == 0) {
        GMQueryGoodsObj* policeIcon = nullptr;
        for (int32_t i = -1; GMQueryGoodsObj* icon = At<GMQueryGoodsObj>(m_icons, i);) {
            if (!policeIcon && icon->GetGoodsNumber() == kPoliceGoods && icon->GetTransition() != 2)
                policeIcon = icon;
        }
        for (int32_t c = -1; GMOrderObj* order = At<GMOrderObj>(m_orders, c);) {
            if (policeIcon && order->GetCustomerKind() == 3 && !order->IsTaken() && !IsFinished(order) &&
                order->GetTransition() != GMOrderObj::kAppearing) {
                ReplaceObject(m_tutorialOrder, order);
                // The police icon already in hand: straight to the thief.
                if (policeIcon == m_heldIcon)
                    PointTutorialAt(1, order);
                else
                    PointTutorialAt(3, policeIcon);
                m_tutorialKind = 0;
                break;
            }
        }
    }
    // The hinted object may have gone (an icon used up, an order expired).
    if (m_tutorialStep != 0 && !m_tutorialTarget)
        m_tutorialStep = 0;
}

// ---- Where things are ---------------------------------------------------------------------

bool GMLevelRun::FindGoodsIcon(int32_t goods, float* x, float* y) const
{
    for (int32_t c = -1; GMQueryGoodsObj* icon = At<GMQueryGoodsObj>(m_icons, c);) {
        if (icon->GetGoodsNumber() == goods && icon->GetTransition() != 2 && icon != m_heldIcon) {
            *x = icon->GetX();
            *y = icon->GetY();
            return true;
        }
    }
    return false;
}

bool GMLevelRun::FindOpenOrder(int32_t n, float* x, float* y) const
{
    int32_t k = 0;
    for (int32_t c = -1; GMOrderObj* order = At<GMOrderObj>(m_orders, c);) {
        if (IsFinished(order))
            continue;
        if (++k == n) {
            *x = order->GetX();
            *y = order->GetY();
            return true;
        }
    }
    return false;
}

void GMLevelRun::FindOrderSpot(GMBuildingObj* house, float* x, float* y) const
{
    // The picture's canvas reaches far above most roofs: the bubble sits on
    // the roof itself (smoke, flags and chimneys do not count), its patience row
    // just touching it, so that it cannot be taken for a neighbour's.
    const float foot = m_grid.FootY(static_cast<float>(house->GetCellY()));
    float roof = foot - house->GetHitHeight() + house->GetImage().SolidTop(kRoofAlpha, kRoofPixels);
    float below = 40.0f;  // from the bubble's centre to the bottom of its patience row
    if (m_orderNormal)
        below = m_orderNormal->GetTextureHeight() / 2.0f + (m_litIcon ? m_litIcon->GetTextureHeight() : 0.0f);
    *x = m_grid.FootX(static_cast<float>(house->GetCellX()));
    *y = std::max(40.0f, roof - below + 2.0f);
}

bool GMLevelRun::FindServeTarget(float* x, float* y) const
{
    if (m_day.levelKind == 1 && m_stateWord == 0) {
        const int32_t lane = m_miniGame.FindSafeLane(*this);
        return lane >= 0 && m_miniGame.FindLaneButton(lane, x, y);
    }
    if (m_stateWord != 0)
        return false;
    GMOrderObj* wanted = nullptr;
    for (int32_t c = -1; GMOrderObj* order = At<GMOrderObj>(m_orders, c);) {
        if (!IsFinished(order) && !order->IsTaken()) {
            wanted = order;
            break;
        }
    }
    if (!wanted)
        return false;
    if (m_heldIcon) {
        if (m_heldIcon->GetGoodsNumber() != wanted->GetGoodsNumber())
            return false;
        *x = wanted->GetX();
        *y = wanted->GetY();
        return true;
    }
    if (!m_jobs.empty())
        return false;
    return FindGoodsIcon(wanted->GetGoodsNumber(), x, y);
}

bool GMLevelRun::FindPolicePost(float* x, float* y) const
{
    int32_t c = -1;
    GMPoliceObj* post = At<GMPoliceObj>(m_police, c);
    if (!post)
        return false;
    *x = post->GetX();
    *y = post->GetY();
    return true;
}

bool GMLevelRun::FindBonusButton(int32_t kind, float* x, float* y) const
{
    for (int32_t c = -1; GMBonusObj* bonus = At<GMBonusObj>(m_bonuses, c);) {
        if (bonus->GetBonusKind() == kind && bonus->GetMark() != -1) {
            *x = bonus->GetX();
            *y = bonus->GetY();
            return true;
        }
    }
    return false;
}

bool GMLevelRun::FindHintTarget(float* x, float* y) const
{
    if (m_tutorialStep == 0 || !m_tutorialTarget)
        return false;
    *x = m_tutorialTarget->GetX();
    *y = m_tutorialTarget->GetY();
    return true;
}

bool GMLevelRun::IsOrderFinished(const GMOrderObj* order)
{
    return IsFinished(order);
}

bool GMLevelRun::FindButton(const char* which, float* x, float* y) const
{
    GMInteractiveObj* button = nullptr;
    if (!std::strcmp(which, "menu"))
        button = m_menuButton;
    else if (!std::strcmp(which, "continue") || !std::strcmp(which, "done"))
        button = m_diaryButton;
    else if (!std::strcmp(which, "story") && m_story)
        button = m_story->GetButton();
    else if (!std::strncmp(which, "buy", 3) && which[3] >= '0' && which[3] <= '4' && !which[4] &&
             (m_stateWord & kStateShop) && !(m_stateWord & (kStateFadeIn | kStateFadeOut)))
        button = GetBuyButton(which[3] - '0');
    if (!button)
        return false;
    *x = button->GetX();
    *y = button->GetY();
    return true;
}
