#pragma once
#include <cstdint>

// A random-number generator with the classic C runtime's `rand` sequence:
// integers uniform in 0..32767, so a seed plays the same on every system.
// The level run owns one and hands it to whoever draws numbers for the day;
// tests and replays seed it themselves.
class GameRandom {
public:
    static constexpr int32_t kMax = 32767;

    explicit GameRandom(uint32_t seed = 1) : m_state(seed) {}

    void Seed(uint32_t seed) { m_state = seed; }
    int32_t Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int32_t>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state;
};
