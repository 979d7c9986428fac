#include "game/GMLevelCheck.h"

#include "game/GMLevelRun.h"
#include "gfx/GMImage.h"
#include "player/GMProfile.h"
#include "world/GMBuildingObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMPoliceObj.h"
#include "world/GMTransportObj.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// Longer than any wait a day means: a delay beyond it is a day nobody finishes.
// More money than any day pays (the level compiler's bound too).
constexpr float kMostMoney = 10000000.0f;
// A clickable goods icon or police post, as far as the pointer finds it.
constexpr float kIconHalf = 20.0f;

struct Box {
    float left, top, right, bottom;
    bool Overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

std::string Format(const char* fmt, double a = 0, double b = 0, double c = 0, double d = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, fmt, a, b, c, d);
    return text;
}

}  // namespace

LevelMeasures GMLevelCheck::Measures(GMImageManager* manager, DisplayDevice* device)
{
    LevelMeasures measures;
    measures.solidTop = [manager, device](const std::string& tpl) {
        GMImage image;
        if (image.LoadTemplate(tpl.c_str(), manager, device) != 0)
            return 0.0;
        return static_cast<double>(image.SolidTop(GMLevelRun::kRoofAlpha, GMLevelRun::kRoofPixels));
    };
    // Story text in the panel font the compiled day names, as the story screen draws it.
    auto font = std::make_shared<GMImage>();
    if (font->LoadTemplate(kLevelPanelFont, manager, device) == 0)
        measures.textWidth = [font](const std::string& text) {
            float width = 0.0f;
            font->DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0, text.c_str(), nullptr, &width);
            return static_cast<double>(width);
        };
    return measures;
}

std::vector<std::string> GMLevelCheck::Check(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    std::vector<std::string> problems;
    GMLevelRun run;
    GMProfile profile;
    run.SetProfile(&profile);
    LevelLoadNotes notes;
    const int32_t result = run.LoadLevel(fileName, manager, device, nullptr, nullptr, &notes);
    for (const std::string& line : notes.refused)
        problems.push_back("the loader skips " + line);
    if (result != kLoadOk) {
        problems.push_back(result == kLoadNoFile ? std::string("the file cannot be opened")
                                                 : "the game refuses the level: " + notes.failure);
    } else {
        std::vector<std::string> more = CheckLoaded(run);
        problems.insert(problems.end(), more.begin(), more.end());
    }
    run.Reset();
    return problems;
}

std::vector<std::string> GMLevelCheck::CheckLoaded(const GMLevelRun& run)
{
    std::vector<std::string> problems;
    const GMLevelRun::DayParameters& d = run.Day();
    const char* never = ": the day can never end";
    if (d.levelKind != 0 && d.levelKind != 1)
        problems.push_back(Format("the level kind (LVT) is %g, neither 0 (a day in town) nor 1 (the course)", d.levelKind) +
                           never);
    if (!(d.moneyTarget >= 0.0f && d.moneyTarget <= kMostMoney))
        problems.push_back(Format("the money target (LSC) is %g, more than any day pays", d.moneyTarget));
    if (d.levelKind == 1 && !(d.levelTime > 0.0f && std::isfinite(d.levelTime)))
        problems.push_back(Format("the course length (LTM) is %g", d.levelTime) + never);
    if (d.levelKind == 0 && d.orders > 0) {
        if (!(run.GetGoodsWeight() > 0.0f))
            problems.push_back(std::string("there are no goods to order (none with a weight above 0)") + never);
        if (d.maxActiveOrders < 1)
            problems.push_back(Format("at most %g orders may be open at once (OSG)", d.maxActiveOrders) + never);
        const GMTransportObj* van = run.GetVehicle();
        if (!van || !van->GetCurrentNode())
            problems.push_back(std::string("the van is not on a road") + never);
    }

    // Order bubbles sit over their house's roof, the portrait off their left
    // edge, the patience row under them. Two bubbles must not overlap where
    // they are clicked; nothing clickable may lie under a bubble, portrait or
    // patience row.
    const GMImage* bubble = run.GetOrderImage();
    if (!bubble || d.levelKind != 0)
        return problems;
    const float bw = bubble->GetImageWidth(), bh = bubble->GetImageHeight();
    struct House {
        int32_t x, y;
        Box box, bubble;
    };
    std::vector<House> houses;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.Buildings().GetNext(c));) {
        auto* b = static_cast<GMBuildingObj*>(o);
        if (!b->IsHouse() || !b->GetEntrance())
            continue;
        float x = 0.0f, y = 0.0f;
        run.FindOrderSpot(b, &x, &y);
        houses.push_back({b->GetCellX(), b->GetCellY(), {x - bw / 2 - 40, y - bh / 2, x + bw / 2, y + bh / 2 + 10},
                          {x - bw / 2, y - bh / 2, x + bw / 2, y + bh / 2}});
    }
    for (size_t i = 0; i < houses.size(); ++i) {
        const House& h = houses[i];
        for (size_t j = i + 1; j < houses.size(); ++j)
            if (h.bubble.Overlaps(houses[j].bubble))
                problems.push_back(Format("the order bubble of the house at cell (%g, %g) covers the bubble of the house at (%g, %g)",
                                          h.x, h.y, houses[j].x, houses[j].y));
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.ShopGoods().GetNext(c));) {
            auto* g = static_cast<GMShopGoodsObj*>(o);
            if (g->GetGoodsNumber() >= GMLevelRun::kShopGoodsLimit)
                continue;  // a thief's loot, never drawn at a shop
            const Box icon{g->GetX() - kIconHalf, g->GetY() - kIconHalf, g->GetX() + kIconHalf, g->GetY() + kIconHalf};
            if (h.box.Overlaps(icon))
                problems.push_back(Format("the order bubble of the house at cell (%g, %g) covers goods %g at (%g, ", h.x, h.y,
                                          g->GetGoodsNumber(), g->GetX()) +
                                   Format("%g)", g->GetY()));
        }
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.PolicePosts().GetNext(c));) {
            auto* p = static_cast<GMPoliceObj*>(o);
            const Box post{p->GetX() - kIconHalf, p->GetY() - kIconHalf, p->GetX() + kIconHalf, p->GetY() + kIconHalf};
            if (h.box.Overlaps(post))
                problems.push_back(Format("the order bubble of the house at cell (%g, %g) covers the police post at (%g, %g)",
                                          h.x, h.y, p->GetX(), p->GetY()));
        }
    }
    return problems;
}
