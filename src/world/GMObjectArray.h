#pragma once
#include "core/CGameArray.h"
#include "world/GMObject.h"

// A list of world objects that owns one reference per object. Add takes over
// the caller's reference (a new object's first one); removal releases it.
class GMObjectArray : public CGameArray {
public:
    ~GMObjectArray() override { ReleaseItems(); }

    void* RemoveAt(int32_t index) override
    {
        auto* item = static_cast<GMObject*>(CGameArray::RemoveAt(index));
        if (item && item->Release() > 0)
            return item;
        return nullptr;
    }

    GMObject* GetObject(int32_t index) const { return static_cast<GMObject*>(GetAt(index)); }

    void ReleaseItems()
    {
        for (int32_t i = m_last; i >= 0; --i)
            RemoveAt(i);
    }
};
