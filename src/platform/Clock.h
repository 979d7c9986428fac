#pragma once
#include <cstdint>

// Milliseconds since the platform started (timeGetTime and GetTickCount are the
// same clock here), and Sleep. A VirtualClock replaces all three while it lives:
// time stands still until advanced, and Sleep advances it instead of waiting.
uint32_t timeGetTime();
uint32_t GetTickCount();
void Sleep(uint32_t milliseconds);

class VirtualClock {
public:
    explicit VirtualClock(uint32_t start = 0);
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    void Advance(uint32_t milliseconds) { m_now += milliseconds; }
    uint32_t Now() const { return m_now; }

private:
    uint32_t m_now;
    VirtualClock* m_previous;
};

// The clock in use now, or null for the real one (used by the message queue).
VirtualClock* GetVirtualClock();
