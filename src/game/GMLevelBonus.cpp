// Bonuses during a working day (their buttons, effects and ending sounds) and
// the bonus shop between days (its layout, buy buttons and purchases).
#include "game/GMLevelRun.h"

#include "game/Arith.h"
#include "gfx/GMImageTemplate.h"
#include "player/GMProfile.h"
#include "world/GMBonusObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMOrderObj.h"
#include "world/GMTransportObj.h"

#include <new>
#include <strings.h>

namespace {

enum BonusKind : int32_t {
    kSpeedUp = 0,
    kTimeDelay = 1,
    kAddLevelTime = 2,
    kTimeReset = 3,
    kSupplyAll = 4,
    kShowOrders = 5,
    kWhoIsNext = 6,
};

struct KindText {
    const char* name;
    const char* description;
};

const KindText kKinds[8] = {
    {"Speed Up", "This bonus increases\nyour speed."},
    {"Time Delay", "This bonus gives you\ntwice as much time to\ndeliver orders."},
    {"Add level time", nullptr},
    {"Time Reset", "This bonus resets the\nclock, as if the customer\njust placed the\norder!"},
    {"Supply All", "This bonus helps you to\nsupply all the customers\non the screen."},
    {"Show orders", "This bonus shows on the\ngoods at each shop how\nmany customers are\nwaiting for them."},
    {"Who is next", "This bonus points at the\ncustomer who will run\nout of patience first."},
    {"Capacity", "Increase count of instance\npick of goods"},
};

// The pointer is kept off every button while a button takes no part in the mouse.
constexpr float kNowhere = -100000.0f;

bool Fading(const GMOrderObj* order)
{
    return order->GetTransition() == GMOrderObj::kDisappearing ||
           (order->GetTransition() == GMOrderObj::kNoTransition && order->GetScale() == 0.0f);
}

}  // namespace

// ---- Kinds ---------------------------------------------------------------------------------

const char* GMLevelRun::BonusName(int32_t kind)
{
    return kind >= 0 && kind < 8 ? kKinds[kind].name : "";
}

const char* GMLevelRun::BonusDescription(int32_t kind)
{
    return kind >= 0 && kind < 8 ? kKinds[kind].description : nullptr;
}

int32_t GMLevelRun::BonusLimit(int32_t kind)
{
    return kind == kCapacityBonus ? 5 : 3;
}

float GMLevelRun::ShopRowY(int32_t row)
{
    const int32_t r = row < 0 ? 0 : row >= kShopRows ? kShopRows - 1 : row;
    return 100.0f + 75.0f * static_cast<float>(r);
}

GMBonusObj* GMLevelRun::GetBonus(int32_t index) const
{
    int32_t k = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_bonuses.GetNext(c));) {
        if (k++ == index)
            return static_cast<GMBonusObj*>(o);
    }
    return nullptr;
}

GMInteractiveObj* GMLevelRun::GetBuyButton(int32_t index) const
{
    return index >= 0 && index < GetBuyButtonCount() ? m_buyButtons[static_cast<size_t>(index)] : nullptr;
}

// ---- Life of the day's bonuses --------------------------------------------------------------

void GMLevelRun::ReleaseShop()
{
    for (GMInteractiveObj*& button : m_buyButtons) {
        if (button)
            button->Release();
    }
    m_buyButtons.clear();
    m_hintedBonus = nullptr;
}

void GMLevelRun::ResetBonuses()
{
    ReleaseShop();
    m_signs.Reset();
    m_bonusApplied.clear();
    m_vehicleBaseSpeed = 0.0f;
    m_sleepCycle = 0.0f;
    m_timeResetOn = false;
    m_supplyAllOn = false;
    m_shopMouseX = kNowhere;
    m_shopMouseY = kNowhere;
}

// ---- In play ----------------------------------------------------------------------------------

float GMLevelRun::BonusOrderStep(float step) const
{
    for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c));) {
        // A strength of 0 or less would stop time or run it backwards: it is ignored.
        if (bonus->GetBonusKind() == kTimeDelay && bonus->IsRunning() && bonus->GetValue() > 0.0f)
            step /= bonus->GetValue();
    }
    return step;
}

bool GMLevelRun::BonusRunning(int32_t kind) const
{
    for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c));) {
        if (bonus->GetBonusKind() == kind && bonus->IsRunning())
            return true;
    }
    return false;
}

void GMLevelRun::DrawOrderSigns(bool underOrders, DisplayDevice* device)
{
    if (underOrders) {
        if (BonusRunning(kWhoIsNext))
            m_signs.DrawGlow(m_orders, device);
        return;
    }
    if (BonusRunning(kShowOrders))
        m_signs.DrawCounts(m_icons, m_orders, m_heldIcon, m_fontStd, device);
    if (BonusRunning(kWhoIsNext))
        m_signs.DrawPointer(m_orders, device);
}

void GMLevelRun::UpdateBonuses(float x, float y, uint32_t buttons, float dt)
{
    m_signs.Update(dt);
    m_timeResetOn = false;
    m_supplyAllOn = false;
    m_sleepCycle += dt;
    bool sleepMarks = false;
    if (m_sleepCycle >= kSleepMarkPeriod) {
        m_sleepCycle -= kSleepMarkPeriod * static_cast<float>(static_cast<int32_t>(m_sleepCycle / kSleepMarkPeriod));
        sleepMarks = true;
    }
    m_bonusApplied.resize(static_cast<size_t>(m_bonuses.GetLastIndex() + 1), 0);
    for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c));) {
        const int32_t kind = bonus->GetBonusKind();
        uint8_t& applied = m_bonusApplied[static_cast<size_t>(c)];
        bool used = false;
        // The extra cargo slot has no button: it is never clicked. Once the
        // day is over (its bonus game) no bonus is used.
        const bool offered = !bonus->IsRunning() && bonus->GetCount() > 0 && kind != kCapacityBonus &&
                             bonus->GetMark() != -1 && !(m_stateWord & kStateUfoGame);
        if (offered) {
            const bool was = bonus->IsHighlighted();
            const int32_t r = bonus->Update(x, y, static_cast<int32_t>(buttons & 1), dt);
            if (bonus->IsHighlighted() && !was && !(buttons & 1))
                PlaySound("sfx\\ButtonHover.ogg");
            const bool allowed =
                m_tutorialStep == 0 || (m_tutorialStep == kBonusHintStep && bonus == m_tutorialTarget);
            if (r == 1 && allowed) {
                bonus->SetCount(bonus->GetCount() - 1);
                bonus->Activate(true);
                used = true;
                if (m_tutorialStep == kBonusHintStep)
                    EndBonusHint();
            }
        } else {
            bonus->Update(kNowhere, kNowhere, 0, dt);
        }
        // A use of duration 0 still acts once, in the frame it was used.
        const bool active = bonus->IsRunning() || used;
        if (applied && !active) {
            EndBonusEffect(bonus, true);
            applied = 0;
        }
        if (!active)
            continue;
        if (used)
            StartBonusEffect(bonus);
        ApplyBonusEffect(bonus);
        applied = 1;
        if (kind == kTimeDelay && sleepMarks) {
            for (int32_t o = -1; GMOrderObj* order = static_cast<GMOrderObj*>(m_orders.GetNext(o));) {
                if (!Fading(order))
                    m_hud.StartSleepMark(order->GetX() - 32.0f, order->GetY() - 32.0f,
                                         static_cast<float>(m_random.Next()) * 6.28f / GameRandom::kMax);
            }
        }
    }
}

void GMLevelRun::StartBonusEffect(GMBonusObj* bonus)
{
    // The one-off sounds sound once per use, not once per frame of it.
    switch (bonus->GetBonusKind()) {
    case kTimeReset: PlaySound("sfx\\BonusTolerance.ogg"); break;
    case kSupplyAll: PlaySound("sfx\\BonusSupply.ogg"); break;
    default: break;
    }
}

void GMLevelRun::ApplyBonusEffect(GMBonusObj* bonus)
{
    switch (bonus->GetBonusKind()) {
    case kSpeedUp:
        LoopSound("sfx\\BonusSpeed.ogg", true);
        if (m_vehicle) {
            m_vehicle->SetSpeed(m_vehicleBaseSpeed * bonus->GetValue());
            m_vehicle->SetGhostOn(true);
        }
        break;
    case kTimeDelay:
        LoopSound("sfx\\BonusFreeze.ogg", true);
        break;
    case kAddLevelTime:
        m_day.levelTime += bonus->GetValue();
        break;
    case kTimeReset:
        m_timeResetOn = true;
        m_hud.StartTimeResetFlash();
        break;
    case kSupplyAll:
        m_supplyAllOn = true;
        break;
    default:
        break;
    }
}

void GMLevelRun::EndBonusEffect(GMBonusObj* bonus, bool endSound)
{
    switch (bonus->GetBonusKind()) {
    case kSpeedUp:
        LoopSound("sfx\\BonusSpeed.ogg", false);
        if (m_vehicle) {
            m_vehicle->SetSpeed(m_vehicleBaseSpeed);
            m_vehicle->SetGhostOn(false);
        }
        break;
    case kTimeDelay:
        LoopSound("sfx\\BonusFreeze.ogg", false);
        break;
    default:
        return;
    }
    if (endSound)
        PlaySound("sfx\\BonusEnd.ogg");
}

void GMLevelRun::EndRunningBonuses()
{
    // The bonuses serve the working day only: one still running when the day
    // ends stops with it, quietly under the day's closing sounds, so that no
    // loop of it sounds on through the bonus game, the report, the shop or
    // into the next day.
    for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c));) {
        const bool applied = static_cast<size_t>(c) < m_bonusApplied.size() && m_bonusApplied[static_cast<size_t>(c)];
        if (applied || bonus->IsRunning())
            EndBonusEffect(bonus, false);
        bonus->Activate(false);
    }
    m_bonusApplied.assign(m_bonusApplied.size(), 0);
    m_timeResetOn = false;
    m_supplyAllOn = false;
}

bool GMLevelRun::ApplyOrderBonuses(GMOrderObj* order)
{
    if (m_timeResetOn) {
        const int32_t special = order->GetCustomerKind();
        for (int32_t c = -1; GMCustomerObj* kind = static_cast<GMCustomerObj*>(m_customers.GetNext(c));) {
            if (kind->GetCustomerKind() == special) {
                order->SetPatience(kind->GetPatience());
                break;
            }
        }
    }
    // Only the police settle a thief.
    if (!m_supplyAllOn || order->GetGoodsNumber() == kPoliceGoods)
        return false;
    return SupplyOrder(order);
}

// ---- The shop -------------------------------------------------------------------------------

int32_t GMLevelRun::OwnedCount(const GMBonusObj* bonus) const
{
    if (!bonus)
        return 0;
    return m_profile ? m_profile->GetMatchingBonusCount(*bonus) : bonus->GetCount();
}

bool GMLevelRun::CanBuy(const GMBonusObj* bonus) const
{
    return bonus && bonus->GetPrice() <= m_shopCash && OwnedCount(bonus) < BonusLimit(bonus->GetBonusKind());
}

void GMLevelRun::EndBonusHint()
{
    m_tutorialStep = 0;
    if (m_tutorialTarget) {
        m_tutorialTarget->Release();
        m_tutorialTarget = nullptr;
    }
    m_hintedBonus = nullptr;
}

void GMLevelRun::LayOutShop()
{
    // 1. The hinted bonus is one the player can pay for.
    GMBonusObj* hinted = m_hintedBonus;
    if (!hinted && m_tutorialStep == kBonusHintStep) {
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_bonuses.GetNext(c));) {
            if (o == m_tutorialTarget)
                hinted = static_cast<GMBonusObj*>(o);
        }
    }
    if (hinted && m_shopCash < hinted->GetPrice())
        m_shopCash = hinted->GetPrice();
    // 2. Units used today are gone from the profile too.
    if (m_profile) {
        for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c));)
            m_profile->SetMatchingBonusCount(bonus->GetCount(), *bonus);
    }
    // 3. One buy button per bonus kind.
    ReleaseShop();
    GMImageTemplate* idle = nullptr;
    GMImageTemplate* hover = nullptr;
    for (GMImage* image : m_hudImages) {
        const char* name = image ? image->GetTemplateName() : nullptr;
        if (name && !strcasecmp(name, "BuyBtnI.img"))
            idle = image->PeekTemplate();
        else if (name && !strcasecmp(name, "BuyBtnH.img"))
            hover = image->PeekTemplate();
    }
    if (!idle)
        idle = hover;
    if (!hover)
        hover = idle;
    int32_t row = 0;
    GMInteractiveObj* hintedButton = nullptr;
    for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c)); ++row) {
        if (!idle)
            break;
        auto* button = new (std::nothrow) GMInteractiveObj;
        if (!button)
            break;
        button->SetImageTemplate(1, idle);
        button->SetImageTemplate(0, hover);
        button->SetPosition(kShopButtonX, ShopRowY(row));
        button->SetMark(row);
        m_buyButtons.push_back(button);
        if (bonus == hinted)
            hintedButton = button;
    }
    // A hint the player cannot follow (no button, or the limit reached) would
    // keep the shop's done button locked for good: it ends here instead.
    if (hinted && (!hintedButton || OwnedCount(hinted) >= BonusLimit(hinted->GetBonusKind()))) {
        EndBonusHint();
        return;
    }
    if (hinted) {
        PointTutorialAt(kBonusHintStep, hintedButton);
        m_hintedBonus = hinted;
    }
}

GMBonusObj* GMLevelRun::GetShopPointed() const
{
    GMBonusObj* pointed = nullptr;
    size_t i = 0;
    for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c)); ++i) {
        if (i >= m_buyButtons.size())
            break;
        if (m_buyButtons[i]->HitTest(m_shopMouseX, m_shopMouseY))
            pointed = bonus;
    }
    return pointed;
}

void GMLevelRun::ShopFrame(float x, float y, uint32_t buttons, float dt)
{
    m_shopMouseX = x;
    m_shopMouseY = y;
    GMBonusObj* chosen = nullptr;
    size_t i = 0;
    for (int32_t c = -1; GMBonusObj* row = static_cast<GMBonusObj*>(m_bonuses.GetNext(c)); ++i) {
        if (i >= m_buyButtons.size())
            break;
        GMInteractiveObj* button = m_buyButtons[i];
        button->SetEnabled(CanBuy(row));
        const bool was = button->IsHighlighted();
        button->Update(x, y, 0, dt);
        if (!button->IsHighlighted())
            continue;
        if (!was && !(buttons & 1))
            PlaySound("sfx\\ButtonHover.ogg");
        // Rows past the fifth lie on it: one click buys from the one drawn on top.
        if (buttons & 1)
            chosen = row;
    }
    GMBonusObj* bonus = chosen;
    if (bonus && (m_tutorialStep == 0 || (m_tutorialStep == kBonusHintStep && bonus == m_hintedBonus))) {
        PlaySound("sfx\\ButtonClick.ogg");
        const int32_t owned = OwnedCount(bonus);
        m_shopCash = SaturatingAdd(m_shopCash, -bonus->GetPrice());
        if (m_profile)
            m_profile->SetMatchingBonusCount(owned + 1, *bonus);
        bonus->SetCount(owned + 1);
        if (m_tutorialStep == kBonusHintStep)
            EndBonusHint();
        // A row bought out or no longer affordable turns grey at once.
        size_t k = 0;
        for (int32_t c = -1; GMBonusObj* row = static_cast<GMBonusObj*>(m_bonuses.GetNext(c)); ++k) {
            if (k < m_buyButtons.size())
                m_buyButtons[k]->SetEnabled(CanBuy(row));
        }
    }
}
