#pragma once
#include "world/GMObjectArray.h"

#include <cstdint>

class DisplayDevice;
class GMImage;
class GMOrderObj;
class GMQueryGoodsObj;

// What the Show orders and Who is next bonuses show while they run: on each
// goods icon at its shop, how many waiting orders want those goods; behind
// the waiting order that runs out first, a pulsing glow with a pointer at it.
// Only drawn: the day's orders and random numbers stay as they are.
class GMOrderSigns {
public:
    static constexpr float kPulsePeriod = 900.0f;  // ms of one swell of the glow

    // Borrowed pictures, any of which may be null (that sign is then not drawn).
    void SetPictures(GMImage* badge, GMImage* glow, GMImage* pointer);
    void Reset();
    void Update(float dt);
    // 0..1..0 over one period.
    float Pulse() const;

    // Open orders nobody has served yet, that want the goods.
    static int32_t CountWaiting(const GMObjectArray& orders, int32_t goods);
    // The waiting order with the least patience left (the oldest of equals); null when none.
    static GMOrderObj* NextToRunOut(const GMObjectArray& orders);

    // Under the orders: the glow. Over the goods icons: the counts and the pointer.
    void DrawGlow(const GMObjectArray& orders, DisplayDevice* device) const;
    void DrawCounts(const GMObjectArray& icons, const GMObjectArray& orders, const GMQueryGoodsObj* held,
                    GMImage* font, DisplayDevice* device) const;
    void DrawPointer(const GMObjectArray& orders, DisplayDevice* device) const;

private:
    GMImage* m_badge = nullptr;
    GMImage* m_glow = nullptr;
    GMImage* m_pointer = nullptr;
    float m_phase = 0.0f;
};
