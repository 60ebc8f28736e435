#include "base/Clock.h"

#include <QDateTime>

#include <atomic>
#include <chrono>
#include <cmath>

namespace {

const QDate DayZero(1899, 12, 30);
constexpr double MSecsPerDay = 86400000.0;

std::atomic<const ClockSource*> installedClock{nullptr};

} // namespace

double DateTimeToDays(const QDateTime& dateTime)
{
    const QDateTime local = dateTime.toLocalTime();
    return double(DayZero.daysTo(local.date())) + local.time().msecsSinceStartOfDay() / MSecsPerDay;
}

QDateTime DaysToDateTime(double days)
{
    const double wholeDays = std::floor(days);
    const qint64 msecs = qint64(std::llround((days - wholeDays) * MSecsPerDay));
    return QDateTime(DayZero.addDays(qint64(wholeDays)), QTime(0, 0)).addMSecs(msecs);
}

double Now()
{
    if (const ClockSource* clock = installedClock.load(std::memory_order_acquire))
        return clock->Now();
    return DateTimeToDays(QDateTime::currentDateTime());
}

double MonotonicNow()
{
    if (const ClockSource* clock = installedClock.load(std::memory_order_acquire))
        return clock->MonotonicNow();
    using Steady = std::chrono::steady_clock;
    // Anchored once, on first use from whichever thread.
    static const double anchorDays = DateTimeToDays(QDateTime::currentDateTime());
    static const Steady::time_point anchor = Steady::now();
    const std::chrono::duration<double, std::ratio<86400>> since = Steady::now() - anchor;
    return anchorDays + since.count();
}

void SetClockSource(const ClockSource* source)
{
    installedClock.store(source, std::memory_order_release);
}
