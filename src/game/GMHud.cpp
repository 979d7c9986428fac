#include "game/GMHud.h"

#include "game/GMLevelRun.h"
#include "gfx/DisplayDevice.h"
#include "gfx/Filtering.h"
#include "world/GMBonusObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMQueryGoodsObj.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <strings.h>

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kTargetRed = 0xFFFF3030u;
constexpr uint32_t kComboYellow = 0xFFFDEB58u;
constexpr uint32_t kRatingFill = 0xFFD3D93Cu;
constexpr uint32_t kTitleColour = 0xFFFFB600u;
constexpr uint32_t kReportText = 0xFFFBF42Au;
constexpr uint32_t kReportRed = 0xFFFF0000u;
constexpr uint32_t kReportScore = 0xFFFF7800u;

uint32_t WithAlpha(uint32_t rgb, float alpha)
{
    float a = alpha < 0.0f ? 0.0f : alpha > 255.0f ? 255.0f : alpha;
    return (static_cast<uint32_t>(a) << 24) | (rgb & 0xFFFFFFu);
}

bool SameName(const char* a, const char* b)
{
    return a && b && strcasecmp(a, b) == 0;
}

}  // namespace

// ---- Texts -------------------------------------------------------------------------------

std::string GMHud::Money(int64_t amount)
{
    char buf[32];
    if (amount < 0)
        std::snprintf(buf, sizeof buf, "-$%lld", static_cast<long long>(-amount));
    else
        std::snprintf(buf, sizeof buf, "$%lld", static_cast<long long>(amount));
    return buf;
}

std::string GMHud::Time(float ms)
{
    // A day is never negative or endless; keep the text sane either way.
    double t = std::isfinite(ms) && ms > 0.0f ? static_cast<double>(ms) : 0.0;
    if (t > 1e12)
        t = 1e12;
    auto whole = static_cast<long long>(t);
    long long minutes = whole / 60000;
    long long seconds = (whole % 60000) / 1000;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%lld:%02lld", minutes, seconds);
    return buf;
}

const char* GMHud::RatingWord(float ratio)
{
    if (!(ratio > 0.0f))
        return "terrible";
    int k = static_cast<int>(std::floor(6.0f * ratio));
    switch (k) {
    case 0: return "terrible";
    case 1: return "poor";
    case 2: return "not bad";
    case 3:
    case 4: return "good";
    default: return "excellent";
    }
}

int32_t GMHud::FullSegments(float ratio)
{
    float f = ratio * static_cast<float>(kRatingSegments);
    if (!(f > 0.0f))
        return 0;
    return f >= static_cast<float>(kRatingSegments) ? kRatingSegments : static_cast<int32_t>(f);
}

uint32_t GMHud::SegmentColor(float ratio, float lowRatingMs)
{
    if (!(ratio < kLowRating))
        return 0xFFFFFFFFu;
    float ms = lowRatingMs > 0.0f && std::isfinite(lowRatingMs) ? lowRatingMs : 0.0f;
    int32_t t = static_cast<int32_t>(std::fmod(static_cast<double>(ms), 500.0));
    float level = t < 250 ? static_cast<float>(t) / 250.0f : 1.0f - static_cast<float>(t - 250) / 250.0f;
    auto v = static_cast<uint32_t>(level * 192.0f + 63.5f);
    return 0xFFFF0000u | (v << 8) | v;
}

int32_t GMHud::ReportLines(const GMLevelRun& run, ReportLine out[6])
{
    const int32_t receipts = run.m_receipts;
    const int32_t extra = run.m_extraPay;
    if (run.m_day.levelKind == 1) {
        const bool delivered = !run.m_miniGame.IsCrashed();
        const uint32_t colour = delivered ? kReportText : kReportRed;
        out[0] = {"Special order", "", colour, colour};
        out[1] = {delivered ? "has been delivered" : "has not been delivered", "", colour, colour};
        out[2] = {"Extra pay:", delivered ? Money(receipts) : "NONE", kReportText, kReportText};
        out[3] = {"", "", kReportText, kReportText};
        return 4;
    }
    const int64_t daily = static_cast<int64_t>(receipts) - extra;
    out[0] = {"Daily receipts:", Money(daily), kReportText, daily < 0 ? kReportRed : kReportText};
    out[1] = {"Extra pay:", Money(extra), kReportText, kReportText};
    out[2] = {"Total receipts:", Money(receipts), kReportText, run.TargetCheck(false) == 2 ? kReportRed : kReportText};
    out[3] = {"Level time:", Time(run.m_elapsed), kReportText, kReportText};
    out[4] = {"Level rating:", RatingWord(run.m_ratingRatio), kReportText,
              run.TargetCheck(true) == 1 ? kReportRed : kReportText};
    const int64_t total = static_cast<int64_t>(run.m_profileScore) + receipts;
    out[5] = {"TOTAL SCORE:", std::to_string(total > 0 ? total : 0), kReportText, kReportScore};
    return 6;
}

// ---- Life of the HUD ------------------------------------------------------------------

void GMHud::Reset()
{
    m_pictures = Pictures();
    m_measured.clear();
    for (NumberCache& n : m_numbers)
        n = NumberCache();
    m_sleepMarks.clear();
    m_timeResetFlash = 0.0f;
    m_bannerFont = nullptr;
    m_bannerText.clear();
}

void GMHud::Advance(float dt)
{
    if (!(dt > 0.0f))
        return;
    m_timeResetFlash = m_timeResetFlash - dt > 0.0f ? m_timeResetFlash - dt : 0.0f;
    size_t kept = 0;
    for (GMSleepMark& mark : m_sleepMarks) {
        mark.progress += mark.rate * dt;
        if (mark.progress <= mark.limit)
            m_sleepMarks[kept++] = mark;
    }
    m_sleepMarks.resize(kept);
}

void GMHud::StartSleepMark(float x, float y, float angle)
{
    // One per order every 1.2 s and each gone after 4 s: a handful at most.
    if (m_sleepMarks.size() >= 256)
        return;
    GMSleepMark mark;
    mark.x = x;
    mark.y = y;
    mark.angle = angle;
    m_sleepMarks.push_back(mark);
}

void GMHud::FindPictures(GMLevelRun& run)
{
    if (m_pictures.found)
        return;
    m_pictures.found = true;
    for (GMImage* image : run.m_hudImages) {
        const char* name = image ? image->GetTemplateName() : nullptr;
        if (SameName(name, "RatingBk.img"))
            m_pictures.ratingBack = image;
        else if (SameName(name, "Rating.img"))
            m_pictures.rating = image;
        else if (SameName(name, "FlashRating.img"))
            m_pictures.flashRating = image;
        else if (SameName(name, "BonusBuyBk.img"))
            m_pictures.shopPanel = image;
        else if (SameName(name, "Zzz.img"))
            m_pictures.sleep = image;
    }
}

float GMHud::Width(GMImage* font, const char* text, float scale)
{
    if (!font)
        return 0.0f;
    for (const Measured& m : m_measured) {
        if (m.font == font && m.scale == scale && m.text == text)
            return m.width;
    }
    float w = 0.0f;
    font->DrawText(0.0f, 0.0f, 0.0f, scale, 0, text, nullptr, &w);
    m_measured.push_back({font, text, scale, w});
    return w;
}

float GMHud::NumberWidth(int32_t slot, GMImage* digits, const std::string& text)
{
    NumberCache& cache = m_numbers[slot];
    if (cache.digits != digits || cache.text != text) {
        cache.digits = digits;
        cache.text = text;
        cache.width = 0.0f;
        if (digits)
            digits->DrawNumber(0.0f, 0.0f, 0, text.c_str(), nullptr, &cache.width);
    }
    return cache.width;
}

// ---- Drawing -------------------------------------------------------------------------------

void GMHud::DrawNumberCentred(GMLevelRun& run, int32_t slot, float x, float y, uint32_t color,
                              const std::string& text, DisplayDevice* device)
{
    GMImage* digits = run.m_panelImages[2];
    if (digits) {
        float w = NumberWidth(slot, digits, text);
        digits->DrawNumber(x - w / 2.0f, y, color, text.c_str(), device);
        return;
    }
    // Without a digit picture the standard font stands in.
    if (GMImage* font = run.m_fontStd) {
        float w = Width(font, text.c_str(), 1.0f);
        font->DrawText(x - w / 2.0f, y, 0.0f, 1.0f, color, text.c_str(), device);
    }
}

void GMHud::DrawSleepMarks(GMLevelRun& run, DisplayDevice* device)
{
    FindPictures(run);
    GMImage* zzz = m_pictures.sleep;
    if (!zzz || m_sleepMarks.empty())
        return;
    const float w = zzz->GetTextureWidth(), h = zzz->GetTextureHeight();
    SetLinearFiltering(device, true);
    for (const GMSleepMark& mark : m_sleepMarks) {
        float f = mark.limit > 0.0f ? mark.progress / mark.limit : 1.0f;
        float x = mark.x + 30.0f * f * std::sin(mark.angle + f * 7.85375f);
        float y = mark.y - mark.progress;
        float s = 0.5f + 0.5f * f;
        // Scaled about its own top-left point, as the mark's start is its corner.
        zzz->DrawSizedColored(x, y, w * s, h * s, WithAlpha(0xFFFFFF, 255.0f * (1.0f - f)), device);
    }
    SetLinearFiltering(device, false);
}

void GMHud::DrawScoreBox(GMLevelRun& run, bool counters, DisplayDevice* device)
{
    if (GMImage* box = run.m_panelImages[1]) {
        SetLinearFiltering(device, true);
        box->DrawSized(0.0f, 400.0f, 200.0f, 200.0f, device);
        SetLinearFiltering(device, false);
    }
    if (!counters)
        return;
    GMImage* labels = run.m_panelImages[3] ? run.m_panelImages[3] : run.m_fontStd;
    if (labels) {
        labels->DrawText(60.0f, 453.0f, 0.0f, 1.0f, kBlack, "CASH", device);
        labels->DrawText(56.0f, 505.0f, 0.0f, 1.0f, kTargetRed, "Needed", device);
        labels->DrawText(37.0f, 543.0f, 0.0f, 1.0f, kBlack, "Orders left", device);
    }
    DrawNumberCentred(run, 0, 91.0f, 487.0f, kBlack, std::to_string(run.m_receipts), device);
    float target = run.m_day.moneyTarget;
    long long needed = std::isfinite(target) && std::fabs(target) < 1e15f ? static_cast<long long>(target) : 0;
    DrawNumberCentred(run, 1, 91.0f, 527.0f, kTargetRed, "$" + std::to_string(needed), device);
    DrawNumberCentred(run, 2, 91.0f, 578.0f, kBlack, std::to_string(run.m_ordersLeft), device);
}

void GMHud::DrawComboBox(GMLevelRun& run, DisplayDevice* device)
{
    GMImage* box = run.m_comboBack;
    if (run.m_day.combo[3] <= 0 || !box)
        return;
    const float w = box->GetTextureWidth() * 0.7f, h = box->GetTextureHeight() * 0.7f;
    SetLinearFiltering(device, true);
    box->DrawSized(224.0f - w / 2.0f, 567.0f - h / 2.0f, w, h, device);
    SetLinearFiltering(device, false);
    if (run.m_comboRun <= 0)
        return;
    // The goods of the run on the left half of the box, the run length on the right.
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.m_shopGoods.GetNext(c));) {
        auto* goods = static_cast<GMGoodsObj*>(o);
        if (goods->GetGoodsNumber() != run.m_comboGoods)
            continue;
        GMImage& image = goods->GetImage(1);
        float gw = image.GetTextureWidth(), gh = image.GetTextureHeight();
        float s = gh > 0.0f ? (h * 0.8f) / gh : 1.0f;
        SetLinearFiltering(device, true);
        image.DrawSized(224.0f - w / 4.0f - gw * s / 2.0f, 567.0f - gh * s / 2.0f, gw * s, gh * s, device);
        SetLinearFiltering(device, false);
        break;
    }
    if (GMImage* font = run.m_fontBig) {
        std::string text = "x" + std::to_string(run.m_comboRun);
        float tw = Width(font, text.c_str(), 0.43f);
        float lh = font->GetTemplateHeight() * 0.43f;
        font->DrawText(224.0f + w / 4.0f - tw / 2.0f, 567.0f + lh * 0.35f, 0.0f, 0.43f, kComboYellow, text.c_str(),
                       device);
    }
}

void GMHud::DrawRatingBar(GMLevelRun& run, DisplayDevice* device)
{
    FindPictures(run);
    const float ratio = run.m_ratingRatio;
    const float f = ratio * static_cast<float>(kRatingSegments);
    const int32_t n = FullSegments(ratio);
    GMImage* back = m_pictures.ratingBack;
    GMImage* fill = m_pictures.rating;
    if (back) {
        const uint32_t colour = SegmentColor(ratio, run.m_lowRatingTime);
        float x = 283.0f;
        for (int32_t i = 0; i < kRatingSegments; ++i) {
            back->DrawColored(x, 535.0f, colour, device);
            x += back->GetTextureWidth();
        }
    }
    if (fill) {
        const float step = back ? back->GetTextureWidth() : fill->GetTextureWidth();
        float x = 283.0f;
        for (int32_t i = 0; i < kRatingSegments && i <= n; ++i, x += step) {
            if (i < n) {
                fill->DrawColored(x, 534.0f, kRatingFill, device);
                continue;
            }
            float part = f - static_cast<float>(n);
            if (part > 0.0f)
                fill->DrawCroppedColored(x, 534.0f, fill->GetTextureWidth() * (part < 1.0f ? part : 1.0f),
                                         fill->GetTextureHeight(), kRatingFill, device);
        }
    }
    if (run.m_ratingRise > 0.0f && f > 1.0f && m_pictures.flashRating) {
        GMImage* flash = m_pictures.flashRating;
        float barHeight = back ? back->GetTextureHeight() : flash->GetTextureHeight();
        float y = 535.0f - (flash->GetTextureHeight() - barHeight) / 2.0f;
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
        flash->DrawColored(283.0f, y, WithAlpha(0xFFFFFF, 255.0f * run.m_ratingRise / kRatingRiseTime), device);
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    }
}

void GMHud::NoteRatingRise(GMLevelRun& run)
{
    // A segment gained since the last frame starts the flash; seen at the end
    // of every frame, so a frame left undrawn misses none.
    if (FullSegments(run.m_ratingRatio) > FullSegments(run.m_previousRatio))
        run.m_ratingRise = kRatingRiseTime;
    run.m_previousRatio = run.m_ratingRatio;
}

uint32_t GMHud::BonusBlinkColor(float remainingMs)
{
    if (!(remainingMs > 0.0f) || remainingMs > kBonusBlinkTime)
        return 0xFFFFFFFFu;
    const int32_t period = 200 + static_cast<int32_t>(remainingMs / kBonusBlinkTime * 200.0f + 0.5f);
    const int32_t phase = static_cast<int32_t>(remainingMs) % period;
    const float half = static_cast<float>(period) / 2.0f;
    const float p = static_cast<float>(phase);
    const float level = p < half ? p / half : 1.0f - (p - half) / half;
    const auto alpha = static_cast<uint32_t>(level * 95.0f + 160.0f);
    return (alpha << 24) | 0xFF2B2Bu;
}

void GMHud::DrawBonusButtons(GMLevelRun& run, DisplayDevice* device)
{
    const bool dayOver = (run.m_stateWord & (kStateReport | kStateReportDone | kStateShopSlideIn | kStateShop)) != 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.m_bonuses.GetNext(c));) {
        auto* bonus = static_cast<GMBonusObj*>(o);
        if (bonus->GetBonusKind() == GMBonusObj::kExtraSlot || bonus->GetMark() == -1)
            continue;
        if (!bonus->IsRunning() && bonus->GetCount() <= 0)
            continue;
        // The units owned lie in a pile under the top button (the one in use, if any).
        int32_t units = bonus->GetCount() + (bonus->IsRunning() ? 1 : 0);
        units = units > 16 ? 16 : units;
        bonus->SetColor(0xFFFFFFFFu);
        for (int32_t i = units - 1; i >= 1; --i)
            bonus->Draw(1.5f * static_cast<float>(i), 2.0f * static_cast<float>(i), device);
        // Its time stands still once the day is over, and so would the blink.
        bonus->SetColor(bonus->IsRunning() && !dayOver ? BonusBlinkColor(bonus->GetTimeLeft()) : 0xFFFFFFFFu);
        bonus->Draw(0.0f, 0.0f, device);
        bonus->SetColor(0xFFFFFFFFu);
    }
}

std::string GMHud::Rewrapped(GMImage* font, const char* text, float width)
{
    std::string out, line, word;
    auto flushWord = [&] {
        if (word.empty())
            return;
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && Width(font, longer.c_str(), 1.0f) > width) {
            out += (out.empty() ? "" : "\n") + line;
            line = word;
        } else {
            line = longer;
        }
        word.clear();
    };
    for (const char* p = text; *p; ++p) {
        if (*p == ' ' || *p == '\n')
            flushWord();
        else
            word += *p;
    }
    flushWord();
    if (!line.empty())
        out += (out.empty() ? "" : "\n") + line;
    return out;
}

void GMHud::DrawShop(GMLevelRun& run, DisplayDevice* device)
{
    constexpr uint32_t kNameColour = 0xFFFBEA2Au;
    constexpr uint32_t kPriceColour = 0xFFFBC72Au;
    constexpr uint32_t kOffColour = 0xFFE0E0E0u;
    constexpr uint32_t kGreyIcon = 0xFF909090u;
    constexpr float kShopMarksEnd = 720.0f;  // the centre of the last mark that fits the panel
    constexpr uint32_t kMoneyBoxFill = 0xFF2E1A0Fu;
    constexpr uint32_t kMoneyBoxEdge = 0xCC8A5A3Au;
    GMImage* font = run.m_fontStd;
    int32_t i = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.m_bonuses.GetNext(c)); ++i) {
        auto* bonus = static_cast<GMBonusObj*>(o);
        GMInteractiveObj* button = run.GetBuyButton(i);
        if (!button)
            break;
        const float y = GMLevelRun::ShopRowY(i);
        const bool buyable = run.CanBuy(bonus);
        bonus->SetColor(buyable ? 0xFFFFFFFFu : kGreyIcon);
        bonus->DrawIcon(131.0f, y, device);
        bonus->SetColor(0xFFFFFFFFu);
        if (font) {
            font->DrawText(181.0f, y - 12.0f, 0.0f, 1.0f, buyable ? kNameColour : kOffColour,
                           GMLevelRun::BonusName(bonus->GetBonusKind()), device);
            const uint32_t colour = buyable ? kPriceColour : kOffColour;
            font->DrawText(181.0f, y + 9.0f, 0.0f, 1.0f, colour, "Price:", device);
            const std::string price = Money(bonus->GetPrice());
            font->DrawText(374.0f - Width(font, price.c_str(), 1.0f), y + 9.0f, 0.0f, 1.0f, colour, price.c_str(),
                           device);
        }
        // One mark per unit owned; a long row closes up so the last stays on the panel.
        const int32_t owned = run.OwnedCount(bonus) < 16 ? run.OwnedCount(bonus) : 16;
        float step = 83.333336f;
        if (owned > 3)
            step = (kShopMarksEnd - 504.0f) / static_cast<float>(owned - 1);
        for (int32_t k = 0; k < owned; ++k)
            bonus->DrawNormal(504.0f + step * static_cast<float>(k), y, device);
        button->Draw(0.0f, 0.0f, device);
    }
    // The money box sits beside the description under four rows; a fifth row
    // takes that line, so box and description go to the bottom band, left of
    // the done button. Both stay inside the panel's inner edge (x 746).
    const bool fiveRows = run.GetBuyButtonCount() >= GMLevelRun::kShopRows;
    const float boxLeft = fiveRows ? 404.0f : 453.0f, boxTop = fiveRows ? 461.0f : 392.0f;
    const float boxRight = fiveRows ? 600.0f : 736.0f;
    FillRect(boxLeft, boxTop, boxRight - boxLeft, 30.0f, kMoneyBoxEdge, device);
    FillRect(boxLeft + 1.5f, boxTop + 1.5f, boxRight - boxLeft - 3.0f, 27.0f, kMoneyBoxFill, device);
    if (!font)
        return;
    if (GMBonusObj* pointed = run.GetShopPointed()) {
        if (const char* text = GMLevelRun::BonusDescription(pointed->GetBonusKind())) {
            if (!fiveRows) {
                font->DrawText(86.0f, 418.0f, 0.0f, 1.0f, kNameColour, text, device);
            } else {
                const std::string lines = Rewrapped(font, text, boxLeft - 12.0f - 86.0f);
                font->DrawText(86.0f, 458.0f, 0.0f, 1.0f, kNameColour, lines.c_str(), device);
            }
        }
    }
    font->DrawText(boxLeft + 12.0f, boxTop + 21.0f, 0.0f, 1.0f, kNameColour, "MONEY:", device);
    const std::string cash = Money(run.m_shopCash);
    font->DrawText(boxRight - 11.0f - Width(font, cash.c_str(), 1.0f), boxTop + 21.0f, 0.0f, 1.0f, kNameColour,
                   cash.c_str(), device);
}

void GMHud::DrawHeldIcon(GMLevelRun& run, DisplayDevice* device)
{
    GMQueryGoodsObj* icon = run.m_heldIcon;
    if (!icon)
        return;
    GMImage* plate = run.m_plateHighlight;
    if (plate && icon->GetGoodsNumber() < GMLevelRun::kShopGoodsLimit && run.m_remaining > 0) {
        // One plate for each order the goods may still go to; the icon sits on top.
        const float s = icon->GetScale();
        const float w = plate->GetTextureWidth() * s, h = plate->GetTextureHeight() * s;
        const int32_t copies = run.m_remaining < 16 ? run.m_remaining : 16;
        if (s != 1.0f)
            SetLinearFiltering(device, true);
        for (int32_t i = copies - 1; i >= 0; --i) {
            float x = icon->GetX() + 4.0f * static_cast<float>(i) - w / 2.0f;
            float y = icon->GetY() + 8.0f * static_cast<float>(i) - h / 2.0f;
            if (s == 1.0f)
                plate->Draw(x, y, device);
            else
                plate->DrawSized(x, y, w, h, device);
        }
        if (s != 1.0f)
            SetLinearFiltering(device, false);
    }
    icon->Draw(0.0f, 0.0f, device);
}

void GMHud::DrawReport(GMLevelRun& run, DisplayDevice* device)
{
    const float x0 = run.m_reportOffsetX, y0 = run.m_reportOffsetY;
    const float s = run.m_reportZoom / 512.0f;
    GMImage* panel = run.m_endLevel;
    GMImage* title = run.m_fontBig ? run.m_fontBig : run.m_fontStd;
    if (s < 1.0f) {
        if (panel) {
            SetLinearFiltering(device, true);
            panel->DrawSizedColored(x0, y0, panel->GetTextureWidth() * s, panel->GetTextureHeight() * s,
                                    WithAlpha(0xFFFFFF, 255.0f * s), device);
            SetLinearFiltering(device, false);
        }
        if (title)
            title->DrawText(x0 + 84.0f * s, y0 + 134.0f * s, 0.0f, 0.63f * s, kTitleColour, GMHud::kReportTitle, device);
        return;
    }
    if (panel)
        panel->Draw(x0, y0, device);
    if (title)
        title->DrawText(x0 + 84.0f, y0 + 134.0f, 0.0f, 0.63f, kTitleColour, GMHud::kReportTitle, device);
    GMImage* font = run.m_fontStd;
    if (font) {
        ReportLine lines[6];
        const int32_t count = ReportLines(run, lines);
        float y = y0 + 167.0f;
        for (int32_t k = 1; k <= count && k <= run.m_reportLines; ++k) {
            const ReportLine& line = lines[k - 1];
            if (k == 4 || k == 6)
                y += 33.0f;  // a blank line before the time and before the score
            if (!line.label.empty())
                font->DrawText(x0 + 84.0f, y, 0.0f, 1.0f, line.labelColor, line.label.c_str(), device);
            if (!line.value.empty()) {
                float w = Width(font, line.value.c_str(), 1.0f);
                font->DrawText(x0 + 386.0f - w, y, 0.0f, 1.0f, line.valueColor, line.value.c_str(), device);
            }
            y += 33.0f;
        }
    }
    if ((run.m_stateWord & kStateReportDone) && run.m_diaryButton)
        run.m_diaryButton->Draw(0.0f, 0.0f, device);
}

void GMHud::DrawBigMessage(GMLevelRun& run, DisplayDevice* device)
{
    const auto& m = run.m_message;
    float alpha = 255.0f;
    if (m.fadeIn > 0.0f)
        alpha = m.fadeInStart > 0.0f ? (1.0f - m.fadeIn / m.fadeInStart) * 255.0f : 0.0f;
    else if (m.hold <= 0.0f)
        alpha = m.fadeOutStart > 0.0f ? m.fadeOut / m.fadeOutStart * 255.0f : 0.0f;
    if (GMImage* back = run.m_congratulation)
        back->DrawColored(400.0f - back->GetTextureWidth() / 2.0f, 300.0f - back->GetTextureHeight() / 2.0f,
                          WithAlpha(0xFFFFFF, alpha), device);
    if (run.m_fontBig)
        run.m_fontBig->DrawTextLines(400.0f, 300.0f, 0.0f, BigMessageScale(run), WithAlpha(m.rgb, alpha),
                                     m.text.c_str(), device, 10.0f);
}

float GMHud::WidestLine(GMImage* font, const std::string& text, float scale)
{
    float widest = 0.0f;
    float lineScale = scale;
    for (const char* line = text.c_str(); font && line;) {
        const char* next = nullptr;
        float width = 0.0f, endScale = lineScale;
        font->DrawText(0.0f, 0.0f, 0.0f, lineScale, 0, line, nullptr, &width, nullptr, nullptr, &next, &endScale);
        widest = std::max(widest, width);
        lineScale = endScale;
        line = next;
    }
    return widest;
}

float GMHud::BannerRoom(const GMLevelRun& run)
{
    const GMImage* back = run.m_congratulation;
    return (back ? back->GetTextureWidth() * kBannerInnerShare : 800.0f) - 2.0f * kBannerMargin;
}

float GMHud::BigMessageScale(GMLevelRun& run)
{
    GMImage* font = run.m_fontBig;
    const std::string& text = run.m_message.text;
    if (!font || text.empty())
        return kBigMessageScale;
    if (m_bannerFont == font && m_bannerText == text)
        return m_bannerScale;
    const float widest = WidestLine(font, text, kBigMessageScale);
    const float room = BannerRoom(run);
    m_bannerFont = font;
    m_bannerText = text;
    m_bannerScale = widest > room && room > 0.0f ? kBigMessageScale * room / widest : kBigMessageScale;
    // The glyphs' widths do not scale exactly: shrink on until it fits.
    while (m_bannerScale > 0.1f && WidestLine(font, text, m_bannerScale) > room)
        m_bannerScale *= 0.98f;
    return m_bannerScale;
}

float GMHud::BigMessageWidth(GMLevelRun& run)
{
    return WidestLine(run.m_fontBig, run.m_message.text, BigMessageScale(run));
}

void GMHud::DrawOverlays(GMLevelRun& run, DisplayDevice* device)
{
    const uint32_t state = run.m_stateWord;
    // 5. Frame and, while the day is on screen, the score box.
    if (run.m_frameImage)
        run.m_frameImage->Draw(0.0f, 0.0f, device);
    // Once the day is over the counters go; the box stays, empty, so the frame
    // keeps no bare hole where it stood.
    DrawScoreBox(run, state == 0 || state == kStateFadeIn || (state & (kStateUfoGame | kStateMessage)), device);
    // 6. - 10.
    if (run.m_menuButton)
        run.m_menuButton->Draw(0.0f, 0.0f, device);
    DrawComboBox(run, device);
    DrawRatingBar(run, device);
    DrawBonusButtons(run, device);
    if (run.m_levelNumber > 0)
        DrawNumberCentred(run, 3, 768.0f, 55.0f, kBlack, std::to_string(run.m_levelNumber), device);
    // 11. The held goods over everything of the town.
    DrawHeldIcon(run, device);
    DrawPanels(run, device);
}

void GMHud::DrawPanels(GMLevelRun& run, DisplayDevice* device)
{
    const uint32_t state = run.m_stateWord;
    // 12. Panels.
    bool panel = false;
    if ((state & (kStateReport | kStateReportDone | kStateShopSlideIn)) && !(state & kStateMessage)) {
        DrawReport(run, device);
        panel = true;
    }
    if (state & (kStateShopSlideIn | kStateShop)) {
        FindPictures(run);
        if (m_pictures.shopPanel)
            m_pictures.shopPanel->Draw(run.m_shopPanel, 28.0f, device);
        if (state & kStateShop) {
            DrawShop(run, device);
            if (run.m_diaryButton)
                run.m_diaryButton->Draw(0.0f, 0.0f, device);
        }
        panel = true;
    }
    if (!panel && (state & kStateMessage))
        DrawBigMessage(run, device);
    // 13. The tutorial pointer.
    if (run.m_tutorialStep != 0 && run.m_tutorialImages[0]) {
        GMImage* arrow = run.m_tutorialImages[0];
        if (run.m_tutorialBelow)  // turned half round about its top-left corner
            arrow->DrawRotated(run.m_tutorialX + arrow->GetTextureWidth(),
                               run.m_tutorialY + arrow->GetTextureHeight(), 3.1415927f, 0xFFFFFFFFu, device);
        else
            arrow->Draw(run.m_tutorialX, run.m_tutorialY, device);
    }
}
