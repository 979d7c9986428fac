#pragma once
#include "game/GMBackdrop.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class DisplayDevice;
class GMImage;
class GMLevelRun;

// A "Zzz" rising from an order while time runs slow: it drifts sideways on a
// sine, grows and fades until its progress passes the limit.
struct GMSleepMark {
    float x = 0.0f;  // where it started
    float y = 0.0f;
    float progress = 0.0f;
    float limit = 100.0f;
    float rate = 0.025f;  // progress per ms
    float angle = 0.0f;
};

// The heads-up display of a working day and the panels over it: money box,
// rating bar, combo box, level number, the held goods' plates, the end-of-day
// report, the big message and the tutorial pointer. It reads the level run;
// drawing writes nothing of the run but the rating bar's memory.
//
// Pictures the HUD looks up by name and the widths of texts that never
// change are found once per day, so a frame only draws.
class GMHud {
public:
    static constexpr int32_t kRatingSegments = 7;
    static constexpr float kLowRating = 0.23f;
    static constexpr float kRatingRiseTime = 2000.0f;
    static constexpr float kTimeResetFlashTime = 2000.0f;

    // One line of the end-of-day report as it is shown.
    struct ReportLine {
        std::string label;
        std::string value;  // empty for the mini-game's lines
        uint32_t labelColor = 0;
        uint32_t valueColor = 0;
    };

    // Forgets the pictures and measurements of the last day.
    void Reset();

    // The HUD's own animation: sleep marks rise, the time-reset flash runs down.
    void Advance(float dt);
    void StartSleepMark(float x, float y, float angle);
    void StartTimeResetFlash() { m_timeResetFlash = kTimeResetFlashTime; }
    float GetTimeResetFlash() const { return m_timeResetFlash; }
    const std::vector<GMSleepMark>& SleepMarks() const { return m_sleepMarks; }

    // Step 1: the town's background over the whole screen.
    void DrawBackground(GMImage* background, DisplayDevice* device) { m_backdrop.Draw(background, device); }
    const GMBackdrop& Backdrop() const { return m_backdrop; }
    // Steps 3 to 14 of the day's draw, after the town.
    void DrawSleepMarks(GMLevelRun& run, DisplayDevice* device);
    void DrawOverlays(GMLevelRun& run, DisplayDevice* device);
    // Steps 12 and 13 alone (report, shop, big message, tutorial pointer), for
    // the mini-game, which draws no HUD of a working day.
    void DrawPanels(GMLevelRun& run, DisplayDevice* device);

    // Texts as the HUD and the report show them.
    // "$12" or "-$12".
    static std::string Money(int64_t amount);
    // Minutes, ":" and two-digit seconds: 125000 ms is "2:05".
    static std::string Time(float ms);
    // "terrible" .. "excellent" from the rating ratio.
    static const char* RatingWord(float ratio);
    // Whole segments the rating bar fills (0 to 7).
    static int32_t FullSegments(float ratio);
    // The big message's text size: its usual size, or smaller so that its
    // widest line fits inside the banner (measured once per text).
    float BigMessageScale(GMLevelRun& run);
    // The widest line of the big message as drawn, and the banner's room for it.
    float BigMessageWidth(GMLevelRun& run);
    static float BannerRoom(const GMLevelRun& run);
    // The widest line of a text (lines split at breaks, markup applied) in a font.
    static float WidestLine(GMImage* font, const std::string& text, float scale);
    // After each frame of a working day: a rating segment gained starts the bar's flash.
    void NoteRatingRise(GMLevelRun& run);
    // The colour of the empty segments: white, or the red pulse of a low rating.
    static uint32_t SegmentColor(float ratio, float lowRatingMs);
    // The lines the report shows for the day (six, or four in the mini-game);
    // returns how many were written.
    static int32_t ReportLines(const GMLevelRun& run, ReportLine out[6]);
    // The colour of a running bonus's button: white, or in its last 5 s a red
    // tint whose alpha pulses faster as the time runs out.
    static uint32_t BonusBlinkColor(float remainingMs);
    static constexpr float kBonusBlinkTime = 5000.0f;

    static constexpr float kBigMessageScale = 0.6f;
    // The banner's framed middle is this share of its picture's width; texts
    // keep this much room to its frame on either side.
    static constexpr float kBannerInnerShare = 416.0f / 512.0f;
    static constexpr float kBannerMargin = 14.0f;

    static constexpr const char* kReportTitle = "D%75zAILY%100z R%75zEPORT";

private:
    struct Pictures {
        bool found = false;
        GMImage* ratingBack = nullptr;
        GMImage* rating = nullptr;
        GMImage* flashRating = nullptr;
        GMImage* shopPanel = nullptr;
        GMImage* sleep = nullptr;
    };
    // The width of a fixed text in a font, measured once.
    struct Measured {
        const GMImage* font = nullptr;
        std::string text;
        float scale = 0.0f;
        float width = 0.0f;
    };

    void FindPictures(GMLevelRun& run);
    float Width(GMImage* font, const char* text, float scale);
    // Slots: 0 cash, 1 target, 2 orders left, 3 level number.
    float NumberWidth(int32_t slot, GMImage* digits, const std::string& text);
    void DrawNumberCentred(GMLevelRun& run, int32_t slot, float x, float y, uint32_t color,
                           const std::string& text, DisplayDevice* device);
    void DrawScoreBox(GMLevelRun& run, bool counters, DisplayDevice* device);
    void DrawComboBox(GMLevelRun& run, DisplayDevice* device);
    void DrawRatingBar(GMLevelRun& run, DisplayDevice* device);
    void DrawBonusButtons(GMLevelRun& run, DisplayDevice* device);
    void DrawShop(GMLevelRun& run, DisplayDevice* device);
    // The text's words in lines no wider than width (measured once each).
    std::string Rewrapped(GMImage* font, const char* text, float width);
    void DrawHeldIcon(GMLevelRun& run, DisplayDevice* device);
    void DrawReport(GMLevelRun& run, DisplayDevice* device);
    void DrawBigMessage(GMLevelRun& run, DisplayDevice* device);

    GMBackdrop m_backdrop;
    Pictures m_pictures;
    std::vector<Measured> m_measured;
    // The last number measured per digit picture, so a steady counter is not
    // measured again each frame.
    struct NumberCache {
        const GMImage* digits = nullptr;
        std::string text;
        float width = 0.0f;
    };
    NumberCache m_numbers[4];
    std::vector<GMSleepMark> m_sleepMarks;
    float m_timeResetFlash = 0.0f;
    const GMImage* m_bannerFont = nullptr;
    std::string m_bannerText;
    float m_bannerScale = kBigMessageScale;
};
