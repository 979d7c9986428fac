#pragma once
#include <cstdint>

// The main loop's cadence: elapsed time accumulates until at least 10 ms are
// due, then one frame runs with the whole accumulation. A gap above a second
// counts as 25 ms; the first frame after a reset counts nothing.
class FrameTimer {
public:
    static constexpr uint32_t kMinStepMs = 10;

    void Start(uint32_t now) { m_last = now; m_accumulated = 0; }
    // Called when the loop is idle: true and the step when a frame is due.
    bool Tick(uint32_t now, bool resetTiming, float* stepMs);
    // The time spent away while inactive is not counted.
    void Skip(uint32_t now) { m_last = now; }
    // Milliseconds until the next frame is due (0 when it is due now).
    uint32_t DueIn(uint32_t now) const;

private:
    uint32_t m_last = 0;
    uint32_t m_accumulated = 0;
};
