#pragma once
#include <cstdint>

// Display objects are shared the COM way: whoever keeps a pointer holds a
// reference; the last Release deletes the object.
class DisplayObject {
public:
    DisplayObject() = default;
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    uint32_t AddRef() { return ++m_refs; }
    uint32_t Release()
    {
        uint32_t left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~DisplayObject() = default;

private:
    uint32_t m_refs = 1;
};
