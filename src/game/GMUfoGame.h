#pragma once
#include "core/GameRandom.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class DisplayDevice;
class GMImageManager;
class GMQueryGoodsObj;

// The UFOs of the bonus game after a perfect day: twenty saucers made when
// the level loads, crossing the screen one after another, bobbing on a sine
// about their flight line. A click on a flying one starts it fading away.
// The level run decides what a hit is worth and when the game starts; this
// list only flies, bobs, fades and reports.
class GMUfoGame {
public:
    static constexpr int32_t kUfoCount = 20;
    static constexpr float kSpeed = 0.55f;       // px per ms
    static constexpr float kFadeTime = 300.0f;   // ms a hit UFO takes to vanish
    static constexpr float kBobPeriod = 1500.0f; // ms of half a sine wave
    static constexpr float kBandTop = 64.0f;     // the band the UFOs fly in
    static constexpr float kBandBottom = 514.0f;

    struct Ufo {
        GMQueryGoodsObj* obj = nullptr;  // owned
        bool fromLeft = false;
        float startX = 0.0f, startY = 0.0f;    // where it was set up
        float targetX = 0.0f, targetY = 0.0f;  // the far side, at its level height
        float amplitude = 0.0f;  // bob amplitude in px, stored x 1000
        float phase = 0.0f;      // ms
        float offset = 0.0f;     // bob offset now applied to its height
        float fade = 0.0f;       // ms left of the fade after a hit
        bool hit = false;
        bool moving = true;
    };

    struct Point {
        float x, y;
    };
    // What a frame did.
    struct FrameReport {
        std::vector<Point> hits;  // where the UFOs clicked in this frame were
        int32_t escaped = 0;     // flew off the far side (and were removed)
        bool over = false;       // none left flying or fading
    };

    GMUfoGame() = default;
    ~GMUfoGame() { Release(); }
    GMUfoGame(const GMUfoGame&) = delete;
    GMUfoGame& operator=(const GMUfoGame&) = delete;

    // Builds the twenty UFOs with the pictures "UfoI.img" (idle) and
    // "UfoH.img" (hover). False when not one could be made or the first
    // one's pictures cannot be loaded. A tutorial day of kind 1 flies level.
    bool SetUp(GMImageManager* manager, DisplayDevice* device, GameRandom& random, int32_t tutorialKind);
    void Release();

    // One frame of the game: bobbing, the pointer, flying, escapes, fades.
    FrameReport Frame(float mouseX, float mouseY, uint32_t buttons, float dt);
    void Draw(DisplayDevice* device);

    // The n-th (from 1) UFO still flying, not hit and with its centre on the screen.
    bool Find(int32_t n, float* x, float* y) const;

    int32_t GetPattern() const { return m_pattern; }
    int32_t Left() const { return static_cast<int32_t>(m_ufos.size()); }
    int32_t HitCount() const;
    int32_t DoneCount() const;
    const std::vector<Ufo>& Ufos() const { return m_ufos; }

private:
    static bool IsDone(const Ufo& ufo);
    void Remove(size_t index);

    std::vector<Ufo> m_ufos;
    int32_t m_pattern = 0;
};
