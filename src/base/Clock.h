#pragma once

class QDateTime;

// Moments are counted in days since 1899-12-30; the fraction is the time of
// day. Everything that reads the time goes through these two, so tests and
// demonstrations can replace the clock.

// Local wall-clock time: only ever printed (row stamps, file names, the
// message log). It jumps when the clock is set or daylight saving changes.
double Now();
// The time every interval and freshness check measures: it starts at the
// local time of its first reading and runs on with a monotonic clock, so no
// clock change moves a running program or stalls the engine.
double MonotonicNow();

class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual double Now() const = 0;
    virtual double MonotonicNow() const = 0;
};

// Installs a replacement clock (not owned); nullptr restores the system clock.
// Safe to call while worker threads read the clock.
void SetClockSource(const ClockSource* source);

double DateTimeToDays(const QDateTime& dateTime);
QDateTime DaysToDateTime(double days);

inline constexpr double MinutesPerDay = 1440.0;
inline constexpr double SecondsPerDay = 86400.0;
