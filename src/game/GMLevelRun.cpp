#include "game/GMLevelRun.h"

#include "game/Arith.h"
#include "player/GMProfile.h"
#include "sound/GMSoundSystem.h"
#include "ui/GMStoryLayout.h"
#include "world/GMBonusObj.h"
#include "world/GMInteractiveObj.h"
#include "world/GMMessage.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <new>

namespace {

void ReleaseImage(GMImage*& image)
{
    if (image) {
        image->Release();
        image = nullptr;
    }
}

template <class T>
void ReleaseObject(T*& obj)
{
    if (obj) {
        obj->Release();
        obj = nullptr;
    }
}

}  // namespace

GMLevelRun::GMLevelRun()
{
    m_drawList.Reserve(64);
    m_bonuses.Reserve(8);
    for (GMObjectArray& layer : m_decorations)
        layer.Reserve(8);
    Reset();
}

GMLevelRun::~GMLevelRun()
{
    ReleaseWorld();
}

void GMLevelRun::ReleaseWorld()
{
    ReleaseWorldObjects();
    m_drawList.ReleaseItems();
    m_grid.Clear();
    for (GMObjectArray& layer : m_decorations)
        layer.ReleaseItems();
    ReleaseShop();
    m_bonuses.ReleaseItems();
    m_texts.clear();
    ReleaseImage(m_background);
    ReleaseImage(m_frameImage);
    ReleaseImage(m_fontStd);
    ReleaseImage(m_fontBig);
    ReleaseImage(m_congratulation);
    ReleaseImage(m_endLevel);
    ReleaseImage(m_comboBack);
    for (GMImage*& image : m_hudImages)
        ReleaseImage(image);
    m_hudImages.clear();
    ReleaseObject(m_menuButton);
    ReleaseObject(m_diaryButton);
    m_story.reset();
    m_hud.Reset();
    m_miniGame.Release();
    m_ufoGame.Release();
    m_ufoSoundOn = false;
}

void GMLevelRun::Reset()
{
    ReleaseWorld();
    m_day = DayParameters();
    m_stateWord = 0;
    m_daySaved = false;
    m_alpha = 0.0f;
    m_elapsed = 0.0f;
    m_receipts = 0;
    m_extraPay = 0;
    m_ratingPoints = 0;
    m_delivered = 0;
    m_ordersLeft = 0;
    m_ordersTotal = 0;
    m_ratingMax = 0.0f;
    m_ratingValue = 0.0f;
    m_ratingRatio = 0.0f;
    m_previousRatio = 0.0f;
    m_holdTime = kRatingHoldTime;
    m_decayRate = kRatingDecay;
    m_holdLeft = 0.0f;
    m_lowRatingTime = 0.0f;
    m_highRatingTime = 0.0f;
    m_ratingRise = 0.0f;
    m_comboGoods = 0;
    m_comboRun = 0;
    m_shopPanel = -523.0f;
    m_reportZoom = 200.0f;
    m_reportOffsetX = 0.0f;
    m_reportOffsetY = 400.0f;
    m_reportLineTimer = 150.0f;
    m_reportLines = 0;
    m_totalScore = 0;
    m_totalRatingPoints = 0;
    m_shopCash = 0;
    m_profileScore = 0;
    m_profileRatingPoints = 0;
    m_profileMoney = 0;
    m_message = BigMessage();
    m_grid.originX = -22.0f;
    m_grid.originY = -22.0f;
    m_grid.cellWidth = 45.0f;
    m_grid.cellHeight = 45.0f;
    m_fileName.clear();
    m_levelNumber = 0;
    m_cursorId = kGameCursor;
    ResetPlay();
    ResetBonuses();
}

void GMLevelRun::Initialise()
{
    if (m_seedFixed) {
        m_random.Seed(m_fixedSeed);
        return;
    }
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    m_random.Seed(static_cast<uint32_t>(utc.tm_hour + utc.tm_min + utc.tm_sec));
}

void GMLevelRun::FixSeed(uint32_t seed)
{
    m_seedFixed = true;
    m_fixedSeed = seed;
    m_random.Seed(seed);
}

// ---- Money and rating -----------------------------------------------------------

void GMLevelRun::SetRatingMaximum()
{
    m_ratingMax = std::trunc(static_cast<float>(m_ordersTotal) * 0.8f * 6.0f + 0.5f);
    m_ratingValue = m_ratingMax * 0.23f + 1.0f;
    m_ratingRatio = m_ratingMax > 0.0f ? m_ratingValue / m_ratingMax : 0.0f;
    m_previousRatio = m_ratingRatio;
}

void GMLevelRun::SetRating(float value)
{
    m_ratingValue = value;
    m_ratingRatio = m_ratingMax > 0.0f ? m_ratingValue / m_ratingMax : 0.0f;
}

void GMLevelRun::SetOrdersForTest(int32_t ordersLeft, int32_t ordersTotal)
{
    m_ordersLeft = ordersLeft;
    m_ordersTotal = ordersTotal;
    SetRatingMaximum();
}

void GMLevelRun::AddRating(float delta)
{
    // Late deliveries (a gauge of one or two icons) leave the rating alone.
    float whole = std::trunc(delta);
    if (delta > 0.0f && (whole == 1.0f || whole == 2.0f))
        return;
    m_ratingValue += delta;
    if (m_ratingValue > m_ratingMax)
        m_ratingValue = m_ratingMax;
    m_ratingRatio = m_ratingMax > 0.0f ? m_ratingValue / m_ratingMax : 0.0f;
}

void GMLevelRun::AddMoney(int32_t pay, int32_t extra, int32_t ratingDelta)
{
    m_extraPay = SaturatingAdd(m_extraPay, extra);
    m_receipts = SaturatingAdd(m_receipts, SaturatingAdd(pay, extra));
    m_ratingPoints = SaturatingAdd(m_ratingPoints, ratingDelta);
}

int32_t GMLevelRun::TargetCheck(bool considerRating) const
{
    if (considerRating && m_ratingValue <= 0.0f)
        return 1;
    if (static_cast<float>(m_receipts) < m_day.moneyTarget || m_day.ratingTarget > m_ratingPoints)
        return 2;
    return 0;
}

int32_t GMLevelRun::Score() const
{
    return SaturatingAdd(m_profileScore, m_receipts);
}

void GMLevelRun::ComputeTotals()
{
    if (m_profile) {
        m_profileMoney = m_profile->GetMoney();
        m_profileRatingPoints = m_profile->GetRatingPoints();
        m_profileScore = m_profile->GetScore();
    }
    m_totalRatingPoints = SaturatingAdd(m_ratingPoints, m_profileRatingPoints);
    m_shopCash = SaturatingAdd(m_receipts, m_profileMoney);
    m_totalScore = SaturatingAdd(m_profileScore, m_receipts);
}

void GMLevelRun::SaveToProfile(bool failed)
{
    if (!m_profile)
        return;
    m_daySaved = true;
    if (failed) {
        m_profileScore = m_profile->GetScore();
        m_profile->SetScore(0);
        m_profile->SetRatingPoints(0);
        m_profile->SetMoney(0);
        m_profile->SetCurrentLevel(nullptr);
    } else if (!m_day.nextLevel.empty()) {
        m_profile->SetScore(SaturatingAdd(m_profile->GetScore(), m_receipts));  // never below 0
        m_profile->SetRatingPoints(m_totalRatingPoints);
        // What the shop leaves is spent; a day the shop did not follow (a
        // course, a day with nothing to buy) keeps its pay for the next one.
        m_profile->SetMoney((m_stateWord & kStateShop) ? 0 : m_shopCash);
        m_profile->SetCurrentLevelIndex(SaturatingAdd(m_profile->GetCurrentLevelIndex(), 1));
        m_profile->SetCurrentLevel(m_day.nextLevel.c_str());
        m_profile->AddLevel(m_day.nextLevel.c_str());
    } else {
        m_profile->RemoveLevel(m_fileName.c_str());
        m_profile->SetCurrentLevelIndex(0);
        m_profile->SetCurrentLevel(nullptr);
    }
    if (m_profile->GetFileName())
        m_profile->SaveProfile(m_profile->GetFileName());
}

bool GMLevelRun::SaveShownDay()
{
    constexpr uint32_t kAfterTheDay = kStateUfoGame | kStateReport | kStateReportDone | kStateShopSlideIn | kStateShop;
    if (m_daySaved || !m_profile || !(m_stateWord & kAfterTheDay))
        return false;
    // A lost day is left as it was: saving it would wipe the player's score
    // although no highscore table has shown it. A course goes on either way.
    if (m_day.levelKind == 0 && TargetCheck(true) != 0)
        return false;
    if (m_stateWord & kStateUfoGame)
        ComputeTotals();  // with what the bonus game has paid so far
    SaveToProfile(false);
    return true;
}

// ---- Messages ---------------------------------------------------------------------

void GMLevelRun::ShowBigMessage(float fadeIn, float hold, float fadeOut, const char* text, uint32_t rgb)
{
    if (m_stateWord & kStateMessage)
        return;  // one at a time: a second one is dropped
    m_message.fadeIn = m_message.fadeInStart = fadeIn;
    m_message.hold = m_message.holdStart = hold;
    m_message.fadeOut = m_message.fadeOutStart = fadeOut;
    m_message.text = text ? text : "";
    m_message.rgb = rgb & 0xFFFFFF;
    m_stateWord |= kStateMessage;
}

void GMLevelRun::AddFloatingText(const char* text, float x, float y, float lifetime, uint32_t rgb, bool centreX,
                                 bool centreY, uint8_t style)
{
    auto message = std::unique_ptr<GMMessage>(new (std::nothrow) GMMessage);
    if (!message)
        return;
    if (m_fontStd && (centreX || centreY)) {
        float w = 0.0f, h = 0.0f;
        m_fontStd->DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0, text, nullptr, &w, &h);
        if (centreX)
            x -= w / 2.0f;
        if (centreY)
            y += h / 2.0f;
    }
    message->SetPosition(x, y);
    message->SetText(text);
    message->SetLifetime(lifetime);
    message->SetColor(rgb);
    message->SetStyle(style);
    m_texts.push_back(std::move(message));
}

int32_t GMLevelRun::MessageStep(uint32_t buttons, float dt)
{
    if (m_message.fadeIn > 0.0f) {
        m_message.fadeIn -= dt;
        if (m_message.fadeIn < 0.0f)
            m_message.fadeIn = 0.0f;
    } else if (m_message.hold > 0.0f) {
        m_message.hold -= dt;
        if (m_message.hold < 0.0f || (buttons & 1))
            m_message.hold = 0.0f;  // a click cuts the hold short
    } else if (m_message.fadeOut > 0.0f) {
        m_message.fadeOut -= dt;
        if (m_message.fadeOut < 0.0f)
            m_message.fadeOut = 0.0f;
    }
    if (m_message.fadeIn <= 0.0f && m_message.hold <= 0.0f && m_message.fadeOut <= 0.0f) {
        m_stateWord &= ~kStateMessage;
        if (m_stateWord != 0 && !(m_stateWord & kStateUfoGame))
            StartMusic("sfx\\mainmenu.ogg");
        if (m_day.levelKind == 1 && m_stateWord == 0)
            LoopSound("sfx\\MGMotor.ogg", true);
    }
    return kLevelGoOn;
}

// ---- Sounds -------------------------------------------------------------------------

SoundBuffer* GMLevelRun::Sound(const char* name) const
{
    if (!m_sound)
        return nullptr;
    GMSoundEntry* entry = m_sound->FindEntry(name);
    return entry ? entry->buffer : nullptr;
}

void GMLevelRun::PlaySound(const char* name)
{
    if (SoundBuffer* s = Sound(name))
        m_sound->PlayOnce(s);
}

void GMLevelRun::LoopSound(const char* name, bool on)
{
    SoundBuffer* s = Sound(name);
    if (!s)
        return;
    if (on)
        m_sound->Play(s, true, false);
    else
        m_sound->Stop(s);
}

void GMLevelRun::StartMusic(const char* name)
{
    if (m_sound)
        m_sound->ChangeMusic(name);
}

void GMLevelRun::StopLoopingSounds()
{
    if (!m_sound)
        return;
    m_sound->StopGroup(kGroupEffects, true);
    m_sound->StopGroup(kGroupMusic, false);
}

// ---- The frame ------------------------------------------------------------------------

bool GMLevelRun::HasBonusKinds() const
{
    return m_bonuses.GetCount() > 0;
}

bool GMLevelRun::UpdateButton(GMInteractiveObj* button, float x, float y, uint32_t buttons, float dt)
{
    if (!button)
        return false;
    bool was = button->IsHighlighted();
    button->Update(x, y, static_cast<int32_t>(buttons), dt);
    bool now = button->IsHighlighted();
    if (now && !was && !(buttons & 1))
        PlaySound("sfx\\ButtonHover.ogg");
    if (now && (buttons & 1)) {
        PlaySound("sfx\\ButtonClick.ogg");
        return true;
    }
    return false;
}

int32_t GMLevelRun::Frame(float x, float y, uint32_t buttons, float dt)
{
    int32_t result = FrameSteps(x, y, buttons, dt);
    if (m_day.levelKind == 0) {
        AdvanceShownPictures(dt);
        m_hud.NoteRatingRise(*this);
    }
    return result;
}

void GMLevelRun::AdvanceShownPictures(float dt)
{
    if (m_ratingRise == GMHud::kRatingRiseTime)
        PlaySound("sfx\\RatingRise.ogg");
    m_ratingRise -= dt;
    if (m_ratingRise < 0.0f)
        m_ratingRise = 0.0f;
    m_hud.Advance(dt);
    for (size_t i = 0; i < m_texts.size();) {
        if (m_texts[i]->Update(dt) == 1)
            m_texts.erase(m_texts.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

int32_t GMLevelRun::FrameSteps(float x, float y, uint32_t buttons, float dt)
{
    if (m_stateWord & kStateFadeIn) {
        if (m_alpha > 0.0f) {
            m_alpha -= dt * 0.7f;
            if (m_alpha < 0.0f)
                m_alpha = 0.0f;
            return kLevelGoOn;
        }
        m_stateWord &= ~kStateFadeIn;
    } else if (m_stateWord & kStateFadeOut) {
        if (m_alpha < 255.0f) {
            m_alpha += dt * 0.7f;
            if (m_alpha > 255.0f)
                m_alpha = 255.0f;
            return kLevelGoOn;
        }
        m_stateWord &= ~kStateFadeOut;
        if (m_stateWord & kStateIntro) {
            if (m_day.orders != 0) {
                StartMusic("sfx\\ingame.ogg");
                m_alpha = 255.0f;
                m_stateWord = kStateFadeIn;
                if (!m_day.title.empty())
                    ShowBigMessage(250.0f, m_day.levelKind == 1 ? 700.0f : 2300.0f, 250.0f, m_day.title.c_str(),
                                   0xFFB600);
                return kLevelGoOn;
            }
            if (!m_day.shopAfterDay || !HasBonusKinds()) {
                ComputeTotals();
                return kLevelNext;
            }
            m_alpha = 255.0f;
            m_stateWord = kStateFadeIn | kStateShop;
            m_shopPanel = 12.0f;
            // No slide-in places the done button on this way into the shop.
            if (m_diaryButton)
                m_diaryButton->SetPosition(668.0f, 476.0f);
            ComputeTotals();
            LayOutShop();
            return kLevelGoOn;
        }
        if (m_stateWord & (kStateShop | kStateReportDone))
            return kLevelNext;
        return kLevelGoOn;
    } else if (m_stateWord & kStateMessage) {
        return MessageStep(buttons, dt);
    }

    if (m_stateWord & kStateIntro)
        return IntroStep(x, y, buttons, dt);
    if (m_stateWord & kStateUfoGame)
        return UfoStep(x, y, buttons, dt);
    if (m_stateWord & kStateShopSlideIn)
        return ShopSlideInStep(dt);
    if (m_stateWord & kStateShop)
        return ShopStep(x, y, buttons, dt);
    if ((m_stateWord & kStateReport) && !(m_stateWord & kStateReportDone))
        return ReportStep(buttons, dt);
    if (m_stateWord & kStateReportDone)
        return ReportDoneStep(x, y, buttons, dt);
    return PlayAndAfter(x, y, buttons, dt);
}

int32_t GMLevelRun::IntroStep(float x, float y, uint32_t buttons, float dt)
{
    if (!m_story)
        return kLevelGoOn;
    GMInteractiveObj* button = m_story->GetButton();
    if (!UpdateButton(button, x, y, buttons, dt))
        return kLevelGoOn;
    if (m_day.orders == 0 && (!m_day.shopAfterDay || !HasBonusKinds())) {
        // The totals are what is saved: without them the profile's rating
        // points would be written as 0.
        ComputeTotals();
        SaveToProfile(false);
        if (m_day.nextLevel.empty())
            return kLevelNext;
    }
    m_stateWord |= kStateFadeOut;
    m_alpha = 0.0f;
    return kLevelGoOn;
}

int32_t GMLevelRun::ShopSlideInStep(float dt)
{
    m_shopPanel += dt * 2.092f;
    if (m_shopPanel >= 12.0f) {
        m_shopPanel = 12.0f;
        if (m_diaryButton)
            m_diaryButton->SetPosition(668.0f, 476.0f);
        m_stateWord = (m_stateWord & ~kStateShopSlideIn) | kStateShop;
    }
    return kLevelGoOn;
}

int32_t GMLevelRun::ShopStep(float x, float y, uint32_t buttons, float dt)
{
    if (m_stateWord & (kStateFadeIn | kStateFadeOut))
        return kLevelGoOn;
    ShopFrame(x, y, buttons, dt);
    // While a hint shows, only the hinted bonus can be bought and the shop stays open.
    if (!UpdateButton(m_diaryButton, x, y, m_tutorialStep != 0 ? buttons & ~1u : buttons, dt))
        return kLevelGoOn;
    // The last day is saved too, so that its progress is not lost when the
    // shop follows it.
    SaveToProfile(false);
    if (m_day.nextLevel.empty())
        return kLevelNext;
    m_stateWord |= kStateFadeOut;
    m_alpha = 0.0f;
    return kLevelGoOn;
}

int32_t GMLevelRun::ReportStep(uint32_t buttons, float dt)
{
    const int32_t lines = m_day.levelKind == 1 ? 4 : 6;
    if (buttons & 1) {
        // A click shows the whole report: the panel too, not only its lines.
        m_reportZoom = 512.0f;
        m_reportLines = lines;
    }
    if (m_reportZoom < 512.0f) {
        m_reportZoom += dt * 312.0f / 150.0f;
        if (m_reportZoom > 512.0f)
            m_reportZoom = 512.0f;
    } else {
        m_reportLineTimer -= dt;
        if (m_reportLineTimer < 0.0f) {
            ++m_reportLines;
            m_reportLineTimer = 350.0f;
            PlaySound("sfx\\ButtonClick.ogg");
        }
    }
    float k = (m_reportZoom - 200.0f) / 312.0f;
    m_reportOffsetX = 144.0f * k;
    m_reportOffsetY = 44.0f + 356.0f * (1.0f - k);
    if (m_reportLines >= lines) {
        m_reportLines = lines;
        m_stateWord |= kStateReportDone;
    }
    return kLevelGoOn;
}

int32_t GMLevelRun::ReportDoneStep(float x, float y, uint32_t buttons, float dt)
{
    if (!UpdateButton(m_diaryButton, x, y, buttons, dt))
        return kLevelGoOn;
    if (m_day.levelKind == 0 && TargetCheck(true) != 0) {
        SaveToProfile(true);
        return kLevelFailed;
    }
    if (m_day.levelKind == 0 && m_day.shopAfterDay && HasBonusKinds()) {
        m_shopPanel = -523.0f;
        m_stateWord = kStateShopSlideIn;
        return kLevelGoOn;
    }
    SaveToProfile(false);
    m_stateWord |= kStateFadeOut;
    m_alpha = 0.0f;
    return kLevelGoOn;
}

int32_t GMLevelRun::PlayAndAfter(float x, float y, uint32_t buttons, float dt)
{
    if (m_day.levelKind == 0) {
        PlayFrame(x, y, buttons, dt);
        m_elapsed += dt;
        TestEndOfDay();
    } else if (m_day.levelKind == 1) {
        m_miniGame.Frame(*this, x, y, buttons, dt);
        m_elapsed += dt;
        TestEndOfDay();
    }
    for (GMImage* image : m_hudImages) {
        if (image)
            image->Advance(dt);
    }
    AfterPlay(x, y, buttons, dt);
    if (UpdateButton(m_menuButton, x, y, buttons, dt))
        return kLevelMenu;
    return kLevelGoOn;
}

void GMLevelRun::RatingUpkeep(float dt, float orderStep)
{
    if (m_stateWord & kStateUfoGame)
        return;
    m_holdTime = kRatingHoldTime;
    m_decayRate = kRatingDecay;
    if (m_ratingRatio < 0.23f) {
        LoopSound("sfx\\RatingWarning.ogg", true);
        m_lowRatingTime += dt;
    } else {
        LoopSound("sfx\\RatingWarning.ogg", false);
        m_lowRatingTime = 0.0f;
        m_highRatingTime = m_ratingRatio >= 0.86f ? m_highRatingTime + dt : 0.0f;
    }
    if (ActiveOrderCount() > 0) {
        m_holdLeft -= orderStep;
        if (m_holdLeft <= 0.0f && m_ratingRatio > 0.5f) {
            m_ratingRatio -= orderStep * m_decayRate;
            if (m_ratingRatio < 0.5f)
                m_ratingRatio = 0.5f;
            m_ratingValue = m_ratingRatio * m_ratingMax;
        }
    }
}

void GMLevelRun::TestEndOfDay()
{
    // The course's progress is its rating value and is 0 at the start line, so
    // the mini-game ends on its own outcome: a crash or the finish.
    const bool goesOn = m_day.levelKind == 1
                            ? !m_miniGame.IsCrashed() && m_ordersLeft > 0
                            : m_ratingValue > 0.0f && (m_ordersLeft > 0 || ActiveOrderCount() > 0);
    if (goesOn)
        return;
    if (m_stateWord & (kStateReport | kStateUfoGame))
        return;
    StopLoopingSounds();
    if (m_day.levelKind == 0 && TargetCheck(true) == 0 && m_delivered == m_ordersTotal)
        StartUfoGame();
    else
        StartReport();
}

void GMLevelRun::StartReport()
{
    m_stateWord |= kStateReport;
    bool won = TargetCheck(true) == 0;
    if (m_day.levelKind == 1) {
        won = !m_miniGame.IsCrashed();
        if (won)
            ShowBigMessage(250.0f, 2300.0f, 250.0f, "EXCELLENT!", 0xFFB600);
    } else if (won) {
        ShowBigMessage(250.0f, 2300.0f, 250.0f, "W%75zELL%100z D%75zONE%100z!", 0xFFB600);
    }
    if (!won)
        ShowBigMessage(250.0f, 2300.0f, 250.0f, "P%75zOOR%100z J%75zOB%100z!", 0xEB0202);
    PlaySound(won ? (m_day.levelKind == 1 ? "sfx\\JobPerfect.ogg" : "sfx\\JobGood.ogg") : "sfx\\JobTerrible.ogg");
    FinishDayCommon();
}

void GMLevelRun::FinishDayCommon()
{
    EndRunningBonuses();
    LetGoHeldIcon();
    ComputeTotals();
    m_reportZoom = 200.0f;
    m_reportOffsetX = 0.0f;
    m_reportOffsetY = 400.0f;
    m_reportLineTimer = 150.0f;
    m_reportLines = 0;
    if (m_diaryButton)
        m_diaryButton->SetPosition(449.0f, 506.0f);
    LayOutShop();
}

// ---- Queries ---------------------------------------------------------------------------

bool GMLevelRun::QueryValue(const std::string& name, double* value) const
{
    struct Entry {
        const char* name;
        double v;
    };
    const Entry entries[] = {
        {"level", static_cast<double>(m_levelNumber)},
        {"state", static_cast<double>(m_stateWord)},
        {"cash", static_cast<double>(m_receipts)},
        {"extra", static_cast<double>(m_extraPay)},
        {"rating", static_cast<double>(m_ratingValue)},
        {"rating-max", static_cast<double>(m_ratingMax)},
        {"ratio", static_cast<double>(m_ratingRatio)},
        {"points", static_cast<double>(m_ratingPoints)},
        {"delivered", static_cast<double>(m_delivered)},
        {"orders-left", static_cast<double>(m_ordersLeft)},
        {"orders-total", static_cast<double>(m_ordersTotal)},
        {"orders-open", static_cast<double>(ActiveOrderCount())},
        {"queue", static_cast<double>(JobCount())},
        {"held", static_cast<double>(HeldGoods())},
        {"combo", static_cast<double>(m_comboRun)},
        {"score", static_cast<double>(Score())},
        {"elapsed", static_cast<double>(m_elapsed)},
        {"report-lines", static_cast<double>(m_reportLines)},
        {"shop-cash", static_cast<double>(m_shopCash)},
        {"ufo-left", static_cast<double>(m_ufoGame.Left() - m_ufoGame.DoneCount())},
        {"ufo-hit", static_cast<double>(m_ufoGame.HitCount())},
        {"mg-travelled", static_cast<double>(m_miniGame.GetTravelled())},
        {"mg-lane", static_cast<double>(m_miniGame.GetLanePosition())},
        {"mg-chosen", static_cast<double>(m_miniGame.GetChosenLane())},
        {"mg-row", static_cast<double>(m_miniGame.GetVehicleRow())},
        {"mg-crashed", m_miniGame.IsCrashed() ? 1.0 : 0.0},
        {"mg-cars", static_cast<double>(m_miniGame.Cars().size())},
    };
    for (const Entry& e : entries) {
        if (name == e.name) {
            *value = e.v;
            return true;
        }
    }
    // "bonusK": units of bonus kind K the day holds; "bonusK-left": ms its use has left.
    if (name.size() >= 6 && name.compare(0, 5, "bonus") == 0 && name[5] >= '0' && name[5] <= '7') {
        const std::string rest = name.substr(6);
        if (!rest.empty() && rest != "-left")
            return false;
        for (int32_t c = -1; GMBonusObj* bonus = static_cast<GMBonusObj*>(m_bonuses.GetNext(c));) {
            if (bonus->GetBonusKind() == name[5] - '0') {
                *value = rest.empty() ? bonus->GetCount() : static_cast<double>(bonus->GetTimeLeft());
                return true;
            }
        }
        *value = 0.0;
        return true;
    }
    return false;
}
