#pragma once
#include <cstdint>

// Type tags of the reference-counted resource family; the program checks these
// instead of using run-time type information.
enum GMUnknownType : int32_t {
    kTypeUnknown = 0,
    kTypeNamedUnknown = 1,
    kTypeImageSurface = 3,
    kTypeImageTemplate = 4,
    kTypeImage = 5,
};

// Root of every shared resource. The count starts at 0; a Release at count 0
// or 1 destroys the object, so the creator may hand it out without a first AddRef.
class GMUnknown {
public:
    GMUnknown() = default;
    GMUnknown(const GMUnknown&) = delete;
    GMUnknown& operator=(const GMUnknown&) = delete;

    int32_t AddRef() { return ++m_refCount; }
    int32_t Release();

    // Releases what the object holds and returns it to its empty state.
    virtual void Clear() {}

    int32_t GetType() const { return m_type; }
    int32_t GetRefCount() const { return m_refCount; }

protected:
    virtual ~GMUnknown() = default;
    int32_t m_type = kTypeUnknown;

private:
    int32_t m_refCount = 0;
};

class GMNamedUnknown : public GMUnknown {
public:
    GMNamedUnknown() { m_type = kTypeNamedUnknown; }

    // Stores a copy of text; returns its length (0 for null text, which leaves no name).
    int32_t SetName(const char* text);
    const char* GetName() const { return m_name; }

    void Clear() override;

protected:
    ~GMNamedUnknown() override;

private:
    char* m_name = nullptr;
};

// Drops a held reference and nulls the pointer, the one way every holder lets go.
template <class T>
inline void SafeRelease(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}
