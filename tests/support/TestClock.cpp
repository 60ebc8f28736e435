#include "TestClock.h"

TestClock::TestClock(double days)
    : current(days)
{
    SetClockSource(this);
}

TestClock::~TestClock()
{
    SetClockSource(nullptr);
}
