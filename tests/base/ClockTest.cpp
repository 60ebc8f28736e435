#include "base/Clock.h"

#include <gtest/gtest.h>

// The monotonic time reads like the local time it started at, so moments
// stay comparable with the "not set" 0 of the engine's clocks, and it never
// goes back.
TEST(MonotonicNow, StartsAtTheLocalTimeAndRunsOn)
{
    const double first = MonotonicNow();
    EXPECT_NEAR(first, Now(), 1.0 / SecondsPerDay);
    EXPECT_GE(MonotonicNow(), first);
}
