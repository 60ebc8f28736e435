#pragma once

#include "base/Clock.h"

#include <atomic>

// A clock the test sets and advances; installs itself for its lifetime.
// Readable from worker threads.
class TestClock final : public ClockSource {
public:
    explicit TestClock(double days = 46311.375); // 2026-10-16 09:00
    ~TestClock() override;

    double Now() const override { return current.load(); }
    void Set(double days) { current.store(days); }
    void AdvanceSeconds(double seconds) { current.store(current.load() + seconds / SecondsPerDay); }

private:
    std::atomic<double> current;
};
