#pragma once
#include <cstdint>

class GMUnknown;

// Sparse, index-addressed pointer array. Null slots are holes; `last` is the
// highest occupied index. The array does not own what its slots point to.
// Every failure is a return value (-1 or null), never an exception.
class CGameArray {
public:
    CGameArray() = default;
    CGameArray(const CGameArray&) = delete;
    CGameArray& operator=(const CGameArray&) = delete;
    virtual ~CGameArray();

    // Sets the capacity to n, never below last + 1. Returns the new capacity.
    int32_t Reserve(int32_t n);

    virtual int32_t SetAt(void* item, int32_t index);
    virtual void* RemoveAt(int32_t index);

    void* RemoveAndShift(int32_t index);
    int32_t IndexOf(const void* item) const;
    int32_t Add(void* item, bool reuseHoles);

    void* GetAt(int32_t index) const
    {
        return (index >= 0 && index <= m_last) ? m_items[index] : nullptr;
    }
    int32_t GetCount() const { return m_count; }
    int32_t GetCapacity() const { return m_capacity; }
    int32_t GetLastIndex() const { return m_last; }

    // Cursor iteration; removing the item at the cursor while walking is allowed.
    void* GetNext(int32_t& cursor) const;
    void* GetLast(int32_t& cursor) const;
    void* GetPrev(int32_t& cursor) const;

protected:
    void FreeSlots();

    void** m_items = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
    int32_t m_last = -1;

private:
    // Allocated slots; may run ahead of m_capacity so that one-at-a-time growth
    // stays cheap. Slots beyond m_capacity are always null.
    int32_t m_allocated = 0;
};

// Owns a heap copy of every string it holds.
class CGameStringArray : public CGameArray {
public:
    ~CGameStringArray() override;

    void* RemoveAt(int32_t index) override;  // frees the string, returns null

    int32_t AddString(const char* text, bool reuseHoles);
    int32_t SetString(const char* text, int32_t index);
    int32_t FindString(const char* text, bool ignoreCase) const;
    const char* GetString(int32_t index) const { return static_cast<const char*>(GetAt(index)); }
    void RemoveAll();
};

// Holds one reference on every item it stores.
class GMUnknownArray : public CGameArray {
public:
    ~GMUnknownArray() override;

    int32_t SetAt(void* item, int32_t index) override;
    // Releases the removed item; returns it only while someone else still holds it.
    void* RemoveAt(int32_t index) override;

    GMUnknown* GetItem(int32_t index) const { return static_cast<GMUnknown*>(GetAt(index)); }
    void ReleaseItems();
};
