#include "world/GMObject.h"

int32_t GMObject::Release()
{
    if (m_refCount == 0)
        return 0;
    if (--m_refCount > 0)
        return m_refCount;
    Clear();
    delete this;
    return 0;
}

void GMObject::Reset()
{
    m_kind = kKindObject;
    m_mark = 0;
}

void GMObject::Clear()
{
    m_mark = 0;
}

int32_t GMObject::Update(float, float, int32_t, float)
{
    return 0;
}

int32_t GMObject::Draw(float, float, DisplayDevice*)
{
    return 0;
}
