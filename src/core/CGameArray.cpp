#include "core/CGameArray.h"

#include "core/GMUnknown.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

CGameArray::~CGameArray()
{
    FreeSlots();
}

void CGameArray::FreeSlots()
{
    std::free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
    m_allocated = 0;
    m_last = -1;
}

int32_t CGameArray::Reserve(int32_t n)
{
    if (n < m_last + 1)
        n = m_last + 1;
    if (n <= 0) {
        FreeSlots();
        return 0;
    }
    if (n > m_allocated) {
        // Grow geometrically underneath; the visible capacity stays exactly n.
        int32_t alloc = m_allocated * 2 > n ? m_allocated * 2 : n;
        void** grown = static_cast<void**>(std::realloc(m_items, sizeof(void*) * static_cast<size_t>(alloc)));
        if (!grown) {
            grown = static_cast<void**>(std::realloc(m_items, sizeof(void*) * static_cast<size_t>(n)));
            alloc = n;
        }
        if (!grown)
            return 0;  // the old slots stay valid and keep their items
        std::memset(grown + m_allocated, 0, sizeof(void*) * static_cast<size_t>(alloc - m_allocated));
        m_items = grown;
        m_allocated = alloc;
    } else if (n < m_capacity) {
        // Shrinking: slots above the new capacity are already null (n >= last + 1).
        std::memset(m_items + n, 0, sizeof(void*) * static_cast<size_t>(m_capacity - n));
    }
    m_capacity = n;
    return m_capacity;
}

int32_t CGameArray::SetAt(void* item, int32_t index)
{
    if (index < 0 || index >= m_capacity)
        return -1;
    if (!item) {
        RemoveAt(index);
        return index;
    }
    if (!m_items[index]) {
        if (index > m_last)
            m_last = index;
        ++m_count;
    }
    m_items[index] = item;
    return index;
}

void* CGameArray::RemoveAt(int32_t index)
{
    if (index < 0 || index > m_last)
        return nullptr;
    void* item = m_items[index];
    m_items[index] = nullptr;
    if (item) {
        --m_count;
        if (index == m_last) {
            while (m_last >= 0 && !m_items[m_last])
                --m_last;
        }
    }
    return item;
}

void* CGameArray::RemoveAndShift(int32_t index)
{
    int32_t oldLast = m_last;
    if (index < 0 || index > oldLast)
        return nullptr;
    void* item = RemoveAt(index);
    if (index < oldLast) {
        std::memmove(m_items + index, m_items + index + 1, sizeof(void*) * static_cast<size_t>(oldLast - index));
        m_items[oldLast] = nullptr;
        m_last = oldLast - 1;
    }
    return item;
}

int32_t CGameArray::IndexOf(const void* item) const
{
    for (int32_t i = 0; i <= m_last; ++i) {
        if (m_items[i] == item)
            return i;
    }
    if (!item && m_last + 1 < m_capacity)
        return m_last + 1;
    return -1;
}

int32_t CGameArray::Add(void* item, bool reuseHoles)
{
    if (reuseHoles) {
        int32_t target = IndexOf(nullptr);
        if (target >= 0)
            return SetAt(item, target);
    }
    int32_t target = m_last + 1;
    if (target >= m_capacity) {
        if (Reserve(m_capacity + 1) <= target)
            return -1;
    }
    return SetAt(item, target);
}

void* CGameArray::GetNext(int32_t& cursor) const
{
    if (cursor < 0) {
        if (m_count == 0) {
            cursor = -1;
            return nullptr;
        }
        if (m_count == 1) {
            cursor = m_last;
            return m_items[m_last];
        }
    }
    for (int32_t i = cursor < 0 ? 0 : cursor + 1; i <= m_last; ++i) {
        if (m_items[i]) {
            cursor = i;
            return m_items[i];
        }
    }
    return nullptr;
}

void* CGameArray::GetLast(int32_t& cursor) const
{
    cursor = m_last;
    return m_last >= 0 ? m_items[m_last] : nullptr;
}

void* CGameArray::GetPrev(int32_t& cursor) const
{
    for (int32_t i = cursor > m_last ? m_last : cursor - 1; i >= 0; --i) {
        if (m_items[i]) {
            cursor = i;
            return m_items[i];
        }
    }
    return nullptr;
}

// ---- CGameStringArray ----

CGameStringArray::~CGameStringArray()
{
    RemoveAll();
}

void* CGameStringArray::RemoveAt(int32_t index)
{
    std::free(CGameArray::RemoveAt(index));
    return nullptr;
}

static char* CopyString(const char* text)
{
    size_t len = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(len + 1));
    if (copy)
        std::memcpy(copy, text, len + 1);
    return copy;
}

int32_t CGameStringArray::AddString(const char* text, bool reuseHoles)
{
    if (!text)
        return -1;
    char* copy = CopyString(text);
    if (!copy)
        return -1;
    int32_t index = Add(copy, reuseHoles);
    if (index < 0)
        std::free(copy);
    return index;
}

int32_t CGameStringArray::SetString(const char* text, int32_t index)
{
    if (index < 0 || index >= m_count)
        return -1;
    if (!text)
        return SetAt(nullptr, index);
    char* copy = CopyString(text);
    if (!copy)
        return -1;
    char* old = static_cast<char*>(GetAt(index));
    int32_t result = SetAt(copy, index);
    if (result < 0) {
        std::free(copy);
        return result;
    }
    std::free(old);
    return result;
}

int32_t CGameStringArray::FindString(const char* text, bool ignoreCase) const
{
    if (!text)
        return IndexOf(nullptr);
    for (int32_t i = 0; i <= m_last; ++i) {
        const char* s = static_cast<const char*>(m_items[i]);
        if (s && (ignoreCase ? strcasecmp(s, text) : std::strcmp(s, text)) == 0)
            return i;
    }
    return -1;
}

void CGameStringArray::RemoveAll()
{
    for (int32_t i = m_last; i >= 0; --i)
        RemoveAt(i);
}

// ---- GMUnknownArray ----

GMUnknownArray::~GMUnknownArray()
{
    ReleaseItems();
}

int32_t GMUnknownArray::SetAt(void* item, int32_t index)
{
    int32_t result = CGameArray::SetAt(item, index);
    if (result >= 0 && item)
        static_cast<GMUnknown*>(item)->AddRef();
    return result;
}

void* GMUnknownArray::RemoveAt(int32_t index)
{
    auto* item = static_cast<GMUnknown*>(CGameArray::RemoveAt(index));
    if (item && item->Release() > 0)
        return item;
    return nullptr;
}

void GMUnknownArray::ReleaseItems()
{
    for (int32_t i = m_last; i >= 0; --i)
        RemoveAt(i);
}
