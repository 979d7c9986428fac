#include "world/GMCustomerObj.h"

void GMCustomerObj::Reset()
{
    GMInteractiveObj::Reset();
    m_kind = kKindCustomer;
    m_patience = kDefaultPatience;
    m_customerKind = 0;
    m_weight = 0.0f;
    // Neutral factors: an order pays and rates as the goods say unless the level changes them.
    m_factors[0] = m_factors[1] = 1.0f;
    m_inUse = false;
}

int32_t GMCustomerObj::Update(float mouseX, float mouseY, int32_t clickFlags, float dt)
{
    GMInteractiveObj::Update(mouseX, mouseY, clickFlags, dt);
    m_patience -= dt;
    if (m_patience < 0.0f) {
        m_patience = 0.0f;
        return 1;
    }
    return 0;
}

void GMCustomerObj::SetFactor(int32_t index, float value)
{
    if (index == 0 || index == 1)
        m_factors[index] = value;
}

float GMCustomerObj::GetFactor(int32_t index) const
{
    return index == 0 || index == 1 ? m_factors[index] : 0.0f;
}
