#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

// Money and points are 32-bit; a hostile level file can give prices and
// factors far beyond that. These keep the arithmetic defined: conversions
// truncate toward zero and saturate, sums saturate.

inline int32_t ToInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

inline int32_t SaturatingAdd(int32_t a, int32_t b)
{
    int64_t s = static_cast<int64_t>(a) + b;
    if (s > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (s < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(s);
}
