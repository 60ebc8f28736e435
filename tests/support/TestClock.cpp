#include "TestClock.h"

TestClock::TestClock(double days)
    : wall(days)
    , monotonic(days)
{
    SetClockSource(this);
}

TestClock::~TestClock()
{
    SetClockSource(nullptr);
}

void TestClock::Set(double days)
{
    wall.store(days);
    monotonic.store(days);
}

void TestClock::AdvanceSeconds(double seconds)
{
    wall.store(wall.load() + seconds / SecondsPerDay);
    monotonic.store(monotonic.load() + seconds / SecondsPerDay);
}

void TestClock::ShiftWallSeconds(double seconds)
{
    wall.store(wall.load() + seconds / SecondsPerDay);
}
