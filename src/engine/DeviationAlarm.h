#pragma once

#include <optional>

// One look at a controller's flow, both flows in percent of its full scale.
struct TDeviationSample {
    double Moment = 0; // MonotonicNow, days
    double Programmed_pct = 0;
    // None when the tick brought no reading ("?" in the data row).
    std::optional<double> Achieved_pct;
};

// Whether one controller's achieved flow follows its programmed flow.
//
// The alarm is raised once the achieved flow has stayed more than the band
// away from the programmed flow for the hold time, and lowered once it has
// stayed within 80 % of the band for the hold time, so a flow hovering at
// the band's edge does not make the alarm flicker.
//
// A step of the setpoint gives the controller time: the check starts again
// one hold time after it. A step is a change of the programmed flow by more
// than half the band since the previous sample, and so is the first sample.
// A ramp gentle enough to change less than that from one reading to the
// next is one a controller follows closely, and it is checked all along; a
// steeper one is a run of steps. A sample without a reading is neither in nor
// out: it neither extends nor breaks the run of readings being timed.
class TDeviationAlarm {
public:
    enum TChange { dacNone, dacEntered, dacLeft };

    TChange Feed(const TDeviationSample& sample, double band_pct, double hold_s);
    bool Alarmed() const { return alarmed; }

    // The alarm leaves only inside this share of its band.
    static constexpr double ClearingShareOfBand = 0.8;

private:
    bool alarmed = false;
    std::optional<double> lastProgrammed;
    double checkFrom = 0; // moment the check resumes after a step
    // First reading of the current run outside the band (or, alarmed, inside
    // the narrower band); none while no run is being timed.
    std::optional<double> runSince;
};
