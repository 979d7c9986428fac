// The day on screen: the town in painter's order, the things that stand on
// it, then the HUD and the panels over everything (GMHud).
#include "game/GMLevelRun.h"

#include "gfx/DisplayDevice.h"
#include "gfx/Filtering.h"
#include "gfx/GMImageTemplate.h"
#include "ui/GMStoryLayout.h"
#include "world/GMBonusObj.h"
#include "world/GMBuildingObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMMessage.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <cmath>

namespace {

constexpr int32_t kSpeedUpBonus = 0;
constexpr uint32_t kFadedIcon = 0xC0B0B0B0u;  // an icon's copy left at home while it is away

}  // namespace

void GMLevelRun::Draw(DisplayDevice* device)
{
    if (!device)
        return;
    if ((m_stateWord & kStateIntro) && m_story) {
        m_story->Draw(m_panelImages[3], device);
        DrawFade(device, m_alpha);
        return;
    }
    if (m_day.levelKind == 1) {
        m_miniGame.Draw(*this, device);
        if (m_stateWord & (kStateFadeIn | kStateFadeOut))
            DrawFade(device, m_alpha);
        return;
    }
    DrawTown(device);
    DrawDayState(device);
    if (m_stateWord & (kStateFadeIn | kStateFadeOut))
        DrawFade(device, m_alpha);
}

void GMLevelRun::DrawTown(DisplayDevice* device)
{
    m_hud.DrawBackground(m_background, device);
    auto drawDecorations = [&](int32_t layer) {
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_decorations[layer].GetNext(c));)
            o->Draw(0.0f, 0.0f, device);
    };

    float vx = 0.0f, vy = 0.0f;
    bool vehiclePending = m_vehicle && m_vehicle->GetPosition(&vx, &vy);
    const DrawOrderKey vehicleKey{m_vehicle ? m_vehicle->GetLayer() : 0, static_cast<int32_t>(std::floor(vy)),
                                  static_cast<int32_t>(std::floor(vx))};
    float px = 0.0f, py = 0.0f;
    bool policePending = m_policeCar &&
                         (m_policeCar->IsBusy() || m_policeCar->GetSpeed() > 0.0f || m_policeCar->GetMark() != 0) &&
                         m_policeCar->GetPosition(&px, &py);
    const DrawOrderKey policeKey{m_policeCar ? m_policeCar->GetLayer() : 0, static_cast<int32_t>(std::floor(py)),
                                 static_cast<int32_t>(std::floor(px))};
    bool ghosts = false;
    if (m_vehicle) {
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_bonuses.GetNext(c));) {
            auto* bonus = static_cast<GMBonusObj*>(o);
            ghosts = ghosts || (bonus->GetBonusKind() == kSpeedUpBonus && bonus->IsRunning());
        }
    }
    if (ghosts)
        m_vehicle->BeginGhostDrawing();
    auto drawGhosts = [&](const DrawOrderKey& before) {
        m_vehicle->DrawGhosts(before.cellX, before.cellY, before.layer, m_grid.originX, m_grid.originY,
                              m_grid.cellWidth, m_grid.cellHeight, device);
    };
    auto drawVehicle = [&]() {
        // The whole trail first: it glows additively and would bleach the van.
        if (ghosts)
            drawGhosts(DrawOrderKey{GMFieldGrid::kLayers, 0, 0});
        m_vehicle->Draw(m_grid.FootX(vx), m_grid.FootY(vy), device);
        vehiclePending = false;
    };
    auto drawPolice = [&]() {
        // Twice, the second time additive: the car seems to glow.
        m_policeCar->Draw(m_grid.FootX(px), m_grid.FootY(py), device);
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        m_policeCar->Draw(m_grid.FootX(px), m_grid.FootY(py), device);
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        policePending = false;
    };

    // Roads are ground: each layer's road pieces go down before anything of
    // that layer stands on them, so no vehicle, house or tree slides under the
    // piece ahead. A bridge layer still covers what drives below it.
    auto drawRoads = [&](int32_t layer) {
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_drawList.GetNext(c));) {
            auto* field = static_cast<GMFieldObj*>(o);
            if (field->GetKind() != kKindRoadNode || field->GetLayer() != layer)
                continue;
            const float fx = m_grid.FootX(static_cast<float>(field->GetCellX()));
            const float fy = m_grid.FootY(static_cast<float>(field->GetCellY()));
            field->Draw(fx, fy, device);
            if (field->GetMark() == 1) {
                if (m_pathMarker)
                    m_pathMarker->Draw(fx - m_pathMarker->GetTextureWidth() / 2.0f,
                                       fy - (m_pathMarker->GetTextureHeight() + m_grid.cellHeight) / 2.0f, device);
                field->SetMark(0);
            }
        }
    };
    auto startLayer = [&](int32_t layer) {
        drawRoads(layer);
        drawDecorations(layer);
    };
    startLayer(0);

    int32_t lastLayer = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_drawList.GetNext(c));) {
        auto* field = static_cast<GMFieldObj*>(o);
        if (field->GetKind() == kKindRoadNode)
            continue;
        const DrawOrderKey key = DrawOrderOf(field);
        for (; lastLayer < key.layer; ++lastLayer)
            startLayer(lastLayer + 1);
        if (vehiclePending && vehicleKey < key)
            drawVehicle();
        if (ghosts)
            drawGhosts(key);
        if (policePending && policeKey < key)
            drawPolice();
        field->Draw(m_grid.FootX(static_cast<float>(field->GetCellX())),
                    m_grid.FootY(static_cast<float>(field->GetCellY())), device);
    }
    for (; lastLayer < m_day.fieldLayers - 1 && lastLayer < GMFieldGrid::kLayers - 1; ++lastLayer)
        startLayer(lastLayer + 1);
    if (ghosts)
        drawGhosts(DrawOrderKey{GMFieldGrid::kLayers, 0, 0});
    if (vehiclePending)
        drawVehicle();
    if (policePending)
        drawPolice();
}

void GMLevelRun::DrawDayState(DisplayDevice* device)
{
    // Orders, with the time-reset flash over them while it runs.
    const float flash = m_hud.GetTimeResetFlash();
    const uint32_t overlay = (static_cast<uint32_t>(255.0f * flash / GMHud::kTimeResetFlashTime) << 24) | 0xFFFFFFu;
    DrawOrderSigns(true, device);
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_orders.GetNext(c));) {
        auto* order = static_cast<GMOrderObj*>(o);
        if (m_flashStar && order->GetOverlayColor() != overlay)
            order->SetOverlay(m_flashStar->PeekTemplate(), overlay);
        order->Draw(0.0f, 0.0f, device);
    }
    // The job queue's mark stands on the road in front of each house still to visit.
    if (m_queueMark) {
        const float w = m_queueMark->GetTextureWidth(), h = m_queueMark->GetTextureHeight();
        for (const Job& job : m_jobs) {
            GMRoadNodeObj* node = Destination(job.order);
            if (!node)
                continue;
            float x = m_grid.FootX(static_cast<float>(node->GetCellX()));
            float top = m_grid.FootY(static_cast<float>(node->GetCellY())) - m_grid.cellHeight / 2.0f - h;
            // A bubble pushed down onto the road (a house on the top row) keeps
            // its patience row readable: the mark steps below it.
            const GMOrderObj* order = job.order;
            const float halfWidth = order->GetScaledFrameWidth() / 2.0f;
            const float bubbleTop = order->GetY() - order->GetScaledFrameHeight() / 2.0f;
            const float rowBottom = order->GetPatienceRowBottom();
            if (top < rowBottom && top + h > bubbleTop && x + w / 2.0f > order->GetX() - halfWidth &&
                x - w / 2.0f < order->GetX() + halfWidth)
                top = rowBottom + 2.0f;
            m_queueMark->Draw(x - w / 2.0f, top, device);
        }
    }
    // Police posts and the goods icons at their shops (the held one comes with the HUD).
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_police.GetNext(c));)
        o->Draw(0.0f, 0.0f, device);
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_icons.GetNext(c));) {
        auto* icon = static_cast<GMQueryGoodsObj*>(o);
        if (icon->GetGoodsNumber() >= kShopGoodsLimit)
            continue;
        const GMPoint home = icon->GetTarget();
        if (GMImage* plate = icon->IsHighlighted() ? m_plateHighlight : m_plateNormal)
            plate->Draw(home.x - plate->GetTextureWidth() / 2.0f, home.y - plate->GetTextureHeight() / 2.0f, device);
        if (!icon->IsAtRest() && icon->GetTransition() != GMQueryGoodsObj::kShrinking) {
            GMImage& image = icon->GetImage(1);
            image.DrawColored(home.x - image.GetTextureWidth() / 2.0f, home.y - image.GetTextureHeight() / 2.0f,
                              kFadedIcon, device);
        }
    }
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_icons.GetNext(c));) {
        if (o != m_heldIcon)
            o->Draw(0.0f, 0.0f, device);
    }
    DrawOrderSigns(false, device);
    m_hud.DrawSleepMarks(*this, device);
    if (m_stateWord & kStateUfoGame)
        m_ufoGame.Draw(device);
    // Floating texts over the town, under the frame.
    for (const auto& text : m_texts)
        text->Draw(m_fontStd, false, device);
    m_hud.DrawOverlays(*this, device);
}
