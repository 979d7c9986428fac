#pragma once
#include "world/GMInteractiveObj.h"

// A customer kind from the level file, and the private copy of it inside each
// order, whose patience counts down. Its pictures are the portrait.
class GMCustomerObj : public GMInteractiveObj {
public:
    static constexpr float kDefaultPatience = 10000.0f;

    GMCustomerObj() { GMCustomerObj::Reset(); }

    void Reset() override;
    // 1 once the patience has run out (and on every later update).
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;

    void SetPatience(float ms) { m_patience = ms > 0.0f ? ms : 0.0f; }
    float GetPatience() const { return m_patience; }
    void SetCustomerKind(int32_t kind) { m_customerKind = kind; }
    int32_t GetCustomerKind() const { return m_customerKind; }
    void SetWeight(float weight) { m_weight = weight > 0.0f ? weight : 0.0f; }
    float GetWeight() const { return m_weight; }
    // Index 0 is the pay factor, 1 the rating factor; other indices are ignored (read as 0).
    void SetFactor(int32_t index, float value);
    float GetFactor(int32_t index) const;
    void SetInUse(bool inUse) { m_inUse = inUse; }
    bool IsInUse() const { return m_inUse; }

private:
    float m_patience = kDefaultPatience;
    int32_t m_customerKind = 0;
    float m_weight = 0.0f;
    float m_factors[2] = {1.0f, 1.0f};
    bool m_inUse = false;
};
