#include "core/GMUnknown.h"

#include <cstdlib>
#include <cstring>

int32_t GMUnknown::Release()
{
    if (m_refCount > 1)
        return --m_refCount;
    Clear();
    delete this;
    return 0;
}

GMNamedUnknown::~GMNamedUnknown()
{
    std::free(m_name);
}

int32_t GMNamedUnknown::SetName(const char* text)
{
    std::free(m_name);
    m_name = nullptr;
    if (!text)
        return 0;
    size_t len = std::strlen(text);
    m_name = static_cast<char*>(std::malloc(len + 1));
    if (!m_name)
        return 0;
    std::memcpy(m_name, text, len + 1);
    return static_cast<int32_t>(len);
}

void GMNamedUnknown::Clear()
{
    std::free(m_name);
    m_name = nullptr;
}
