#pragma once

class QDateTime;

// Moments are local date-times counted in days since 1899-12-30; the fraction
// is the time of day. Everything that reads the time goes through Now(), so
// tests and demonstrations can replace the clock.
double Now();

class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual double Now() const = 0;
};

// Installs a replacement clock (not owned); nullptr restores the system clock.
// Safe to call while worker threads read the clock.
void SetClockSource(const ClockSource* source);

double DateTimeToDays(const QDateTime& dateTime);
QDateTime DaysToDateTime(double days);

inline constexpr double MinutesPerDay = 1440.0;
inline constexpr double SecondsPerDay = 86400.0;
