#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace {
VirtualClock* s_virtual = nullptr;
const auto s_start = std::chrono::steady_clock::now();
}

uint32_t timeGetTime()
{
    if (s_virtual)
        return s_virtual->Now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - s_start);
    return static_cast<uint32_t>(ms.count());  // wraps like the Windows clock
}

uint32_t GetTickCount() { return timeGetTime(); }

void Sleep(uint32_t milliseconds)
{
    if (s_virtual) {
        s_virtual->Advance(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

VirtualClock::VirtualClock(uint32_t start) : m_now(start), m_previous(s_virtual) { s_virtual = this; }

VirtualClock::~VirtualClock() { s_virtual = m_previous; }

VirtualClock* GetVirtualClock() { return s_virtual; }
