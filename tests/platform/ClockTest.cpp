#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, RealClockAdvancesAndSleeps)
{
    uint32_t a = timeGetTime();
    Sleep(20);
    uint32_t b = GetTickCount();
    EXPECT_GE(b - a, 20u);
    EXPECT_LT(b - a, 2000u);
    EXPECT_EQ(GetVirtualClock(), nullptr);
}

TEST(Clock, VirtualClockStandsStillUntilAdvanced)
{
    VirtualClock clock(1000);
    EXPECT_EQ(GetVirtualClock(), &clock);
    EXPECT_EQ(timeGetTime(), 1000u);
    EXPECT_EQ(GetTickCount(), 1000u);
    clock.Advance(15);
    EXPECT_EQ(timeGetTime(), 1015u);
    Sleep(2000);  // no waiting: the virtual time moves on
    EXPECT_EQ(timeGetTime(), 3015u);
    {
        VirtualClock inner(0xFFFFFFF0u);
        inner.Advance(0x20);
        EXPECT_EQ(timeGetTime(), 0x10u);  // wraps like the Windows clock
    }
    EXPECT_EQ(timeGetTime(), 3015u);
}
