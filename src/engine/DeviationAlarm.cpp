#include "engine/DeviationAlarm.h"

#include "base/Clock.h"

#include <cmath>

namespace {

// A programmed flow moving by more than this share of the band between two
// samples has stepped.
constexpr double StepShareOfBand = 0.5;
// Moments are fractions of days: a millisecond of slack keeps a hold time whole.
constexpr double SlackSeconds = 0.001;

bool Lasted(double since, double now, double seconds)
{
    return (now - since) * SecondsPerDay + SlackSeconds >= seconds;
}

} // namespace

TDeviationAlarm::TChange TDeviationAlarm::Feed(const TDeviationSample& sample, double band_pct, double hold_s)
{
    const bool stepped = !lastProgrammed
                      || std::abs(sample.Programmed_pct - *lastProgrammed) > band_pct * StepShareOfBand;
    lastProgrammed = sample.Programmed_pct;
    if (stepped) {
        checkFrom = sample.Moment + hold_s / SecondsPerDay;
        runSince.reset();
    }
    if (!sample.Achieved_pct || !Lasted(checkFrom, sample.Moment, 0))
        return dacNone;

    const double deviation = std::abs(*sample.Achieved_pct - sample.Programmed_pct);
    const bool continuesRun = alarmed ? deviation <= band_pct * ClearingShareOfBand : deviation > band_pct;
    if (!continuesRun) {
        runSince.reset();
        return dacNone;
    }
    if (!runSince)
        runSince = sample.Moment;
    if (!Lasted(*runSince, sample.Moment, hold_s))
        return dacNone;
    alarmed = !alarmed;
    runSince.reset();
    return alarmed ? dacEntered : dacLeft;
}
