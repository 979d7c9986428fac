#pragma once
#include "world/GMImageObj.h"

// A picture standing with its foot at a screen point, drawn between the
// layers of the town (or placed freely on a story screen).
class GMDecorateObj : public GMImageObj {
public:
    GMDecorateObj() { GMDecorateObj::Reset(); }

    void Reset() override;
    int32_t Draw(float x, float y, DisplayDevice* device) override;  // at its own foot point
    bool ContainsPoint(float px, float py) const override;           // screen coordinates

    void SetPosition(float x, float y)
    {
        m_x = x;
        m_y = y;
    }
    float GetX() const { return m_x; }
    float GetY() const { return m_y; }

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
};
