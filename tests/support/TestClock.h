#pragma once

#include "base/Clock.h"

#include <atomic>

// A clock the test sets and advances; installs itself for its lifetime.
// Its monotonic time equals the wall time until the wall clock is set
// apart. Readable from worker threads.
class TestClock final : public ClockSource {
public:
    explicit TestClock(double days = 46311.375); // 2026-10-16 09:00
    ~TestClock() override;

    double Now() const override { return wall.load(); }
    double MonotonicNow() const override { return monotonic.load(); }
    // Both clocks to this moment.
    void Set(double days);
    // Time passes: both clocks run on.
    void AdvanceSeconds(double seconds);
    // The wall clock alone is set, as by daylight saving or a correction.
    void ShiftWallSeconds(double seconds);

private:
    std::atomic<double> wall;
    std::atomic<double> monotonic;
};
