#pragma once
#include <cstdint>

// The game's one random-number generator: integers uniform in 0..32767, the
// classic C runtime's sequence, so a seed plays the same on every system.
class GameRandom {
public:
    static constexpr int32_t kMax = 32767;

    static void Seed(uint32_t seed) { s_state = seed; }
    static int32_t Next()
    {
        s_state = s_state * 214013u + 2531011u;
        return static_cast<int32_t>((s_state >> 16) & 0x7FFF);
    }

private:
    static inline uint32_t s_state = 1;
};
