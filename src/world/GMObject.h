#pragma once
#include <cstdint>

class DisplayDevice;

// Kind numbers of the world objects; the game tests these instead of RTTI.
enum GMObjectKind : int32_t {
    kKindObject = 0,
    kKindInteractive = 1,
    kKindOrder = 2,
    kKindCustomer = 3,
    kKindGoods = 4,
    kKindBuilding = 5,
    kKindPolice = 6,
    kKindTransport = 7,
    kKindRoadNode = 8,
    kKindField = 9,
    kKindShopGoods = 10,
    kKindBonus = 11,
    kKindDecorate = 12,
    kKindImage = 13,
    kKindQueryGoods = 14,
};

// Root of every world object. Created with one reference (the creator's);
// every list or pointer that keeps an object holds one reference.
class GMObject {
public:
    GMObject() { GMObject::Reset(); }
    GMObject(const GMObject&) = delete;
    GMObject& operator=(const GMObject&) = delete;

    int32_t AddRef() { return ++m_refCount; }
    // At count 0 nothing happens; reaching 0 clears and destroys the object.
    int32_t Release();

    int32_t GetKind() const { return m_kind; }
    int32_t GetRefCount() const { return m_refCount; }
    int32_t GetMark() const { return m_mark; }
    void SetMark(int32_t mark) { m_mark = mark; }

    virtual void Reset();
    virtual void Clear();
    virtual int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt);
    virtual int32_t Draw(float x, float y, DisplayDevice* device);

protected:
    virtual ~GMObject() = default;

    int32_t m_kind = kKindObject;
    int32_t m_mark = 0;
    int32_t m_refCount = 1;
};

// Replaces a held reference in the one order every holder uses: same value does
// nothing; else release the old, store the new, add a reference to the new.
template <class T>
void ReplaceObject(T*& field, T* value)
{
    if (field == value)
        return;
    if (field)
        field->Release();
    field = value;
    if (field)
        field->AddRef();
}
