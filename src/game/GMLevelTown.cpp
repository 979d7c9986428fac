// The town of a working day: creating its objects from the level file, linking
// them after loading, and drawing them.
#include "game/GMLevelRun.h"

#include "gfx/DisplayDevice.h"
#include "gfx/Filtering.h"
#include "gfx/GMImageTemplate.h"
#include "player/GMProfile.h"
#include "ui/GMStoryLayout.h"
#include "world/GMBonusObj.h"
#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMDecorateObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMMessage.h"
#include "world/GMOrderObj.h"
#include "world/GMPoliceObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <cmath>
#include <cstring>
#include <new>
#include <strings.h>

namespace {

const char* CellRefusal(int32_t x, int32_t y, int32_t layer)
{
    if (x < 0 || y < 0 || layer < 0)
        return "negative cell coordinate";
    if (x >= GMFieldGrid::kColumns || y >= GMFieldGrid::kRows || layer >= GMFieldGrid::kLayers)
        return "cell outside the 25 x 20 x 5 grid";
    return nullptr;
}

constexpr const char* kNoPicture = "image cannot be loaded";

float Coord(float v)
{
    constexpr float m = GMLevelRun::kMaxScreenCoord;
    return v != v ? 0.0f : v < -m ? -m : v > m ? m : v;
}

template <class T>
void Drop(T*& obj)
{
    if (obj) {
        obj->Release();
        obj = nullptr;
    }
}

}  // namespace

// ---- Creation operations -------------------------------------------------------------

// The link tags refer to the last road node without holding it: once the grid
// lets go of it (another object placed in its cell) they must not reach it.
void GMLevelRun::ForgetCurrentNodeAt(int32_t x, int32_t y, int32_t layer)
{
    if (m_currentNode && m_grid.Lookup(x, y, layer) == m_currentNode)
        m_currentNode = nullptr;
}

const char* GMLevelRun::CreateRoadNode(const char* image, int32_t x, int32_t y, int32_t layer,
                                       GMImageManager* manager, DisplayDevice* device)
{
    if (!image || !*image)
        return "empty image name";
    if (const char* why = CellRefusal(x, y, layer))
        return why;
    auto* node = new (std::nothrow) GMRoadNodeObj;
    if (!node)
        return "out of memory";
    if (node->SetImage(image, manager, device) != 0) {
        node->Release();
        return "image cannot be loaded";
    }
    node->SetCell(x, y, layer);
    // The grid takes its own reference; a node already in the cell is released
    // by the grid (it replaces the stored one).
    ForgetCurrentNodeAt(x, y, layer);
    m_grid.Place(x, y, layer, node);
    node->Release();
    m_currentNode = node;
    return nullptr;
}

const char* GMLevelRun::LinkCurrentNode(int32_t side, int32_t x, int32_t y, int32_t layer)
{
    if (!m_currentNode)
        return "no road node to link from";
    if (x < 0 || y < 0 || layer < 0)
        return "negative cell coordinate";
    m_currentNode->SetLink(side, x, y, layer);
    return nullptr;
}

const char* GMLevelRun::CreateBuilding(const char* image, int32_t x, int32_t y, int32_t layer, bool house,
                                       GMImageManager* manager, DisplayDevice* device)
{
    if (!image || !*image)
        return "empty image name";
    if (const char* why = CellRefusal(x, y, layer))
        return why;
    if (m_buildings.GetCount() >= GMFieldGrid::kColumns * GMFieldGrid::kRows * GMFieldGrid::kLayers)
        return "too many buildings";
    auto* building = new (std::nothrow) GMBuildingObj;
    if (!building)
        return "out of memory";
    if (building->SetImage(image, manager, device) != 0) {
        building->Release();
        return "image cannot be loaded";
    }
    building->SetCell(x, y, layer);
    building->SetHouse(house);
    int32_t frames = building->GetFrameCount();
    if (frames > 1)
        building->SetFrame(m_random.Next() % frames);
    ForgetCurrentNodeAt(x, y, layer);
    m_grid.Place(x, y, layer, building);
    if (m_buildings.Add(building, false) < 0)
        building->Release();
    return nullptr;
}

const char* GMLevelRun::CreateDecoration(const char* image, float x, float y, int32_t layer,
                                         GMImageManager* manager, DisplayDevice* device)
{
    if (!image || !*image)
        return "empty image name";
    if (layer < 0 || layer > 4)
        return "decoration layer outside 0-4";
    if (m_decorations[layer].GetCount() >= kMaxDecorations)
        return "too many decorations in this layer";
    auto* decoration = new (std::nothrow) GMDecorateObj;
    if (!decoration)
        return "out of memory";
    if (decoration->SetImage(image, manager, device) != 0) {
        decoration->Release();
        return "image cannot be loaded";
    }
    decoration->SetPosition(Coord(x), Coord(y));
    int32_t frames = decoration->GetFrameCount();
    if (frames > 1)
        decoration->SetFrame(m_random.Next() % frames);
    if (m_decorations[layer].Add(decoration, false) < 0) {
        decoration->Release();
        return "out of memory";
    }
    return nullptr;
}

const char* GMLevelRun::SetUpVehicle(const char* const images[4], int32_t x, int32_t y, int32_t layer, float speed,
                                     int32_t capacity, char facing, GMImageManager* manager, DisplayDevice* device)
{
    if (!m_vehicle)
        m_vehicle = new (std::nothrow) GMTransportObj;
    if (!m_vehicle)
        return "out of memory";
    const char* why = nullptr;
    for (int32_t d = 0; d < 4; ++d) {
        if (m_vehicle->SetImage(d, images[d], manager, device) != 0)
            why = "a direction image cannot be loaded";
    }
    m_vehicle->SetStartCell(x, y, layer);
    m_vehicle->SetSpeed(speed);
    m_vehicle->SetCapacity(capacity < 0 ? 0 : capacity > 255 ? 255 : capacity);
    m_vehicle->SetFacing(facing);
    return why;
}

const char* GMLevelRun::SetUpPoliceCar(const char* const images[4], GMImageManager* manager, DisplayDevice* device)
{
    if (!m_policeCar)
        m_policeCar = new (std::nothrow) GMTransportObj;
    if (!m_policeCar)
        return "out of memory";
    const char* why = nullptr;
    for (int32_t d = 0; d < 4; ++d) {
        if (m_policeCar->SetImage(d, images[d], manager, device) != 0)
            why = "a direction image cannot be loaded";
    }
    return why;
}

const char* GMLevelRun::SetInterfaceImage(const char* tag, const char* image, GMImageManager* manager,
                                          DisplayDevice* device)
{
    struct Slot {
        const char* tag;
        GMImage** image;
    };
    const Slot slots[] = {
        {"BSI", &m_panelImages[0]}, {"FRI", &m_frameImage},     {"ASI", &m_litIcon},
        {"GSI", &m_unlitIcon},      {"SBK", &m_panelImages[1]}, {"SFI", &m_panelImages[2]},
        {"TFI", &m_panelImages[3]}, {"TSM", &m_queueMark},      {"BAK", &m_background},
        {"SHB", &m_plateNormal},    {"SHH", &m_plateHighlight}, {"OIT", &m_orderNormal},
        {"OHT", &m_orderHighlight},
    };
    for (const Slot& slot : slots) {
        if (strcasecmp(tag, slot.tag) == 0)
            return LoadImage(*slot.image, image, manager, device) ? nullptr : "image cannot be loaded";
    }
    return "unknown image tag";
}

const char* GMLevelRun::CreateShopGoods(const char* normal, const char* highlight, int32_t goods, float price,
                                        float weight, float x, float y, GMImageManager* manager,
                                        DisplayDevice* device)
{
    if (m_shopGoods.GetCount() >= kMaxObjects)
        return "too many goods";
    auto* shop = new (std::nothrow) GMShopGoodsObj;
    if (!shop)
        return "out of memory";
    // Without its pictures the goods would be invisible yet clickable.
    if (shop->SetImage(1, normal, manager, device) != 0 || shop->SetImage(0, highlight, manager, device) != 0) {
        shop->Release();
        return kNoPicture;
    }
    shop->SetGoodsNumber(goods);
    shop->SetPrice(price);
    shop->SetWeight(weight);
    shop->SetPosition(Coord(x), Coord(y));
    if (m_shopGoods.Add(shop, false) < 0) {
        shop->Release();
        return "out of memory";
    }
    m_goodsWeight += shop->GetWeight();
    return nullptr;
}

const char* GMLevelRun::CreatePolice(const char* normal, const char* highlight, float x, float y,
                                     GMImageManager* manager, DisplayDevice* device)
{
    if (m_police.GetCount() >= kMaxObjects)
        return "too many police posts";
    auto* post = new (std::nothrow) GMPoliceObj;
    if (!post)
        return "out of memory";
    if (post->SetImage(1, normal, manager, device) != 0 || post->SetImage(0, highlight, manager, device) != 0) {
        post->Release();
        return kNoPicture;
    }
    post->SetPosition(Coord(x), Coord(y));
    if (m_police.Add(post, false) < 0) {
        post->Release();
        return "out of memory";
    }
    bool hasPoliceGoods = false;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_shopGoods.GetNext(c));)
        hasPoliceGoods = hasPoliceGoods || static_cast<GMShopGoodsObj*>(o)->GetGoodsNumber() == kPoliceGoods;
    if (!hasPoliceGoods) {
        // The police service is offered like goods, from the first post.
        auto* service = new (std::nothrow) GMShopGoodsObj;
        if (service) {
            service->SetImage(1, normal, manager, device);
            service->SetImage(0, highlight, manager, device);
            service->SetGoodsNumber(kPoliceGoods);
            if (m_shopGoods.Add(service, false) < 0)
                service->Release();
        }
    }
    return nullptr;
}

const char* GMLevelRun::CreateBonus(const char* normal, const char* highlight, const char* icon, int32_t kind,
                                    int32_t price, float duration, float value, float x, float y,
                                    GMImageManager* manager, DisplayDevice* device)
{
    if (m_bonuses.GetCount() >= kMaxObjects)
        return "too many bonuses";
    auto* bonus = new (std::nothrow) GMBonusObj;
    if (!bonus)
        return "out of memory";
    if (kind < 0 || kind > kCapacityBonus) {
        bonus->Release();
        return "unknown bonus kind (0 to 7)";
    }
    // Two lines for one profile record would each spend and give back its units.
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_bonuses.GetNext(c));) {
        auto* other = static_cast<GMBonusObj*>(o);
        if (GMProfile::SameBonus(other->GetBonusKind(), other->GetDuration(), other->GetValue(), kind,
                                 duration < 0.0f ? 0.0f : duration, value)) {
            bonus->Release();
            return "the same bonus (kind, duration, value) as an earlier line";
        }
    }
    if (bonus->SetImage(1, normal, manager, device) != 0 || bonus->SetImage(0, highlight, manager, device) != 0 ||
        bonus->SetIconImage(icon, manager, device) != 0) {
        bonus->Release();
        return kNoPicture;
    }
    bonus->SetBonusKind(kind);
    bonus->SetPrice(price);
    bonus->SetDuration(duration);
    bonus->SetValue(value);
    bonus->SetPosition(Coord(x), Coord(y));
    bonus->SetCount(m_profile ? m_profile->GetMatchingBonusCount(kind, bonus->GetDuration(), value) : 0);
    if (m_bonuses.Add(bonus, false) < 0) {
        bonus->Release();
        return "out of memory";
    }
    return nullptr;
}

const char* GMLevelRun::CreateCustomer(const char* normal, const char* highlight, int32_t kind, float patience,
                                       float weight, float payFactor, float ratingFactor, GMImageManager* manager,
                                       DisplayDevice* device)
{
    if (m_customers.GetCount() >= kMaxObjects)
        return "too many customer kinds";
    auto* customer = new (std::nothrow) GMCustomerObj;
    if (!customer)
        return "out of memory";
    if (customer->SetImage(1, normal, manager, device) != 0 || customer->SetImage(0, highlight, manager, device) != 0) {
        customer->Release();
        return kNoPicture;
    }
    customer->SetCustomerKind(kind);
    customer->SetPatience(patience);
    customer->SetWeight(weight);
    customer->SetFactor(0, payFactor);
    customer->SetFactor(1, ratingFactor);
    if (m_customers.Add(customer, false) < 0) {
        customer->Release();
        return "out of memory";
    }
    m_customerWeight += customer->GetWeight();
    return nullptr;
}

void GMLevelRun::SetTutorialImages(const char* first, const char* second, GMImageManager* manager,
                                   DisplayDevice* device)
{
    Drop(m_tutorialImages[0]);
    Drop(m_tutorialImages[1]);
    LoadImage(m_tutorialImages[0], first, manager, device);
    LoadImage(m_tutorialImages[1], second, manager, device);
}

bool GMLevelRun::CreateButton(GMInteractiveObj*& button, const char* normal, const char* highlight,
                              GMImageManager* manager, DisplayDevice* device)
{
    Drop(button);
    button = new (std::nothrow) GMInteractiveObj;
    if (!button)
        return false;
    return button->SetImage(1, normal, manager, device) == 0 && button->SetImage(0, highlight, manager, device) == 0;
}

// ---- Post-load steps ----------------------------------------------------------------------

void GMLevelRun::PrepareObjects()
{
    m_tutorialKind = m_day.tutorial;
    if (m_tutorialKind == 4) {
        // Only a bonus with a button can be clicked: a hint on the extra cargo
        // slot would point at nothing and stop the day's clock for good.
        GMBonusObj* chosen = nullptr;
        GMBonusObj* firstButton = nullptr;
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_bonuses.GetNext(c));) {
            auto* b = static_cast<GMBonusObj*>(o);
            if (b->GetBonusKind() == kCapacityBonus)
                continue;
            if (!firstButton)
                firstButton = b;
            if (!chosen && b->GetCount() > 0)
                chosen = b;
        }
        if (!chosen) {
            chosen = firstButton;
            if (chosen && m_day.orders != 0)
                chosen->SetCount(1);
        }
        m_tutorialKind = 0;
        if (chosen)
            PointTutorialAt(5, chosen);
    }
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_bonuses.GetNext(c));) {
        if (static_cast<GMBonusObj*>(o)->GetCount() == 0)
            o->SetMark(-1);
    }
    m_customerWeightNow = m_customerWeight;
    if (m_vehicle) {
        int32_t extra = m_profile ? m_profile->GetBonusCount(kCapacityBonus) : 0;
        int32_t capacity = 1 + (extra < 0 ? 0 : extra > 4 ? 4 : extra);
        m_vehicle->SetCapacity(capacity);
        m_vehicleBaseSpeed = m_vehicle->GetSpeed();
    }
    if (m_policeCar)
        m_policeCar->SetGhostInterval(0.0f);
}

void GMLevelRun::LinkTown()
{
    m_houseCount = 0;
    for (int32_t x = 0; x < m_day.fieldWidth; ++x) {
        for (int32_t y = 0; y < m_day.fieldHeight; ++y) {
            for (int32_t layer = 0; layer < m_day.fieldLayers; ++layer) {
                GMFieldObj* obj = m_grid.Lookup(x, y, layer);
                if (!obj)
                    continue;
                if (obj->GetKind() == kKindRoadNode) {
                    static_cast<GMRoadNodeObj*>(obj)->ResolveLinks(&m_grid);
                    continue;
                }
                if (obj->GetKind() != kKindBuilding)
                    continue;
                auto* building = static_cast<GMBuildingObj*>(obj);
                if (!building->FindEntrance(&m_grid))
                    continue;
                if (building->IsHouse())
                    ++m_houseCount;
                for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_police.GetNext(c));) {
                    auto* post = static_cast<GMPoliceObj*>(o);
                    if (post->OverlapsBuilding(building, m_grid))
                        post->SetBuilding(building);
                }
            }
        }
    }
}

void GMLevelRun::PlaceVehicles()
{
    if (m_vehicle)
        m_vehicle->ResolveStartCell(&m_grid);
    // The police car waits at its station, the building of the first post
    // that stands on one.
    if (m_policeCar) {
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_police.GetNext(c));) {
            GMBuildingObj* station = static_cast<GMPoliceObj*>(o)->GetBuilding();
            if (station && station->GetEntrance()) {
                m_policeCar->SetCurrentNode(station->GetEntrance());
                break;
            }
        }
    }
}

void GMLevelRun::PairShopPlates()
{
    if (m_plateNormal && !m_plateHighlight) {
        m_plateHighlight = m_plateNormal;
        m_plateHighlight->AddRef();
    } else if (m_plateHighlight && !m_plateNormal) {
        m_plateNormal = m_plateHighlight;
        m_plateNormal->AddRef();
    }
}

void GMLevelRun::ReleaseOutsideObjects()
{
    m_currentNode = nullptr;  // the link tags are read; the node may go now
    // Only what lies beyond the used area in all three directions goes.
    for (int32_t x = m_day.fieldWidth; x < GMFieldGrid::kColumns; ++x) {
        for (int32_t y = m_day.fieldHeight; y < GMFieldGrid::kRows; ++y) {
            for (int32_t layer = m_day.fieldLayers; layer < GMFieldGrid::kLayers; ++layer)
                m_grid.Place(x, y, layer, nullptr);
        }
    }
}

void GMLevelRun::BuildDrawList()
{
    m_drawList.ReleaseItems();
    for (int32_t layer = 0; layer < m_day.fieldLayers; ++layer) {
        for (int32_t y = 0; y < m_day.fieldHeight; ++y) {
            for (int32_t x = 0; x < m_day.fieldWidth; ++x) {
                GMFieldObj* obj = m_grid.Lookup(x, y, layer);
                if (!obj)
                    continue;
                obj->AddRef();
                if (m_drawList.Add(obj, true) < 0)
                    obj->Release();
            }
        }
    }
}

bool GMLevelRun::PrepareInterface(GMImageManager* manager, DisplayDevice* device, std::string* why)
{
    struct Picture {
        const char* name;
        bool needed;
    };
    // The HUD's pictures; the ones the rating bar, the shop and the bonus game
    // cannot do without fail the day when missing.
    const Picture pictures[] = {
        {"RatingBk.img", true}, {"Rating.img", true},       {"BonusBuyBk.img", true},
        {"UfoI.img", true},     {"UfoH.img", true},         {"BuyBtnH.img", false},
        {"BuyBtnI.img", false}, {"Zzz.img", false},         {"FlashRating.img", false},
        {"Town\\Bonus\\OrderCount.img", false}, {"Town\\Bonus\\NextGlow.img", false},
        {"Town\\Bonus\\NextArrow.img", false},
    };
    for (GMImage*& image : m_hudImages)
        Drop(image);
    m_hudImages.clear();
    for (const Picture& p : pictures) {
        GMImage* image = nullptr;
        if (!LoadImage(image, p.name, manager, device) && p.needed) {
            *why = std::string("cannot load \"") + p.name + "\"";
            return false;
        }
        m_hudImages.push_back(image);
    }
    const size_t signs = m_hudImages.size() - 3;
    m_signs.SetPictures(m_hudImages[signs], m_hudImages[signs + 1], m_hudImages[signs + 2]);
    LoadImage(m_flashStar, "FlashStar.img", manager, device);
    LoadImage(m_pathMarker, "PathMarker.img", manager, device);
    why->clear();
    return true;
}

void GMLevelRun::ReloadStory(GMImageManager* manager, DisplayDevice* device)
{
    if (m_story && !m_day.story.empty())
        m_story->Load(m_day.story.c_str(), manager, device);
}
