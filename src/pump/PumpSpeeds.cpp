#include "pump/PumpSpeeds.h"

#include "base/TextHelpers.h"
#include "pump/PSD4.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The rate formulas are calibrated on a full stroke of 24000 steps (N1 mode);
// they deliberately do not follow TotalSteps.
constexpr double StrokeSteps = 24000.0;
// Time of the template's fixed part (valve turns, fast fill), seconds.
constexpr double StrokeOverhead_s = 1.668;

constexpr int MinSpeed = 5;
constexpr int MaxSpeed = 1000;
constexpr int MinDelay = 5;
constexpr int MaxDelay = 30000;
constexpr int MaxSpeedSearchPasses = 25;

const QString CRLF = QStringLiteral("\r\n");

double SyringeMass_ug(const TPumpSpeedDetails& d)
{
    return d.SyringeVolume_ul * 1000.0 * d.FluidDensity;
}

int RoundEven(double value)
{
    return int(RoundHalfEven(value));
}

QString SpeedCommand(int speed)
{
    return QStringLiteral("gIV6000A24000OV") + QString::number(speed) + QStringLiteral("A0GR");
}

QString DelayCommand(int delay)
{
    return QStringLiteral("gIV6000A24000OV1000gD1M") + QString::number(delay) + QStringLiteral("G24000GR");
}

QString DelayLine(const char* label, int bl, int m, int bh, double desired, double achieved, double error,
                  double previousError)
{
    return QLatin1String(label) + QStringLiteral("BL:") + QString::number(bl) + QStringLiteral(" M:")
         + QString::number(m) + QStringLiteral(" BH:") + QString::number(bh) + QStringLiteral(" Desired:")
         + FloatToStr(desired) + QStringLiteral(" Achieved:") + FloatToStr(achieved) + QStringLiteral(" Error:")
         + FloatToStr(error) + QStringLiteral(" Prev Error:") + FloatToStr(previousError) + CRLF;
}

QString SpeedLine(int bl, double el, int bh, double eh)
{
    return QStringLiteral("BL:") + QString::number(bl) + QStringLiteral(" EL:") + FloatToStr(el)
         + QStringLiteral(" * BH:") + QString::number(bh) + QStringLiteral(" EH:") + FloatToStr(eh) + CRLF;
}

// Bisection on the delay, whose rate falls as the delay grows.
void DelaySearch(TPumpSpeedDetails& d)
{
    const double desired = d.DesiredDispense_ugpm;
    int bl = 1;
    int bh = MaxDelay;
    int m = RoundEven((bl + bh) / 2.0);
    double achieved = PumpRateAtDelay(d, m);
    double error = desired - achieved;
    double bestError = std::numeric_limits<double>::max();
    double previousError = std::numeric_limits<double>::max();
    int bestM = 0;
    double bestRate = 0;

    d.Feedback += DelayLine("Stop: ", bl, m, bh, desired, achieved, error, previousError);
    while (bh - bl > 1) {
        d.Feedback += DelayLine("Start: ", bl, m, bh, desired, achieved, error, previousError);
        if (std::abs(error) < std::abs(bestError)) {
            bestError = error;
            bestM = m;
            bestRate = achieved;
        }
        if (error > 0)
            bh = m;
        else
            bl = m;
        m = RoundEven((bl + bh) / 2.0);
        achieved = PumpRateAtDelay(d, m);
        previousError = error;
        error = desired - achieved;
        d.Feedback += DelayLine("Stop: ", bl, m, bh, desired, achieved, error, previousError);
    }
    if (std::abs(error) < std::abs(bestError)) {
        bestM = m;
        bestRate = achieved;
    }

    d.AchievedDispense_ugpm = bestRate;
    d.Command = DelayCommand(bestM);
    d.Feedback += QStringLiteral("Final: M:") + QString::number(bestM) + QStringLiteral(" Desired:")
                + FloatToStr(desired) + QStringLiteral(" Achieved:") + FloatToStr(bestRate);
    if (desired > 0)
        d.Error_pct = (bestRate - desired) / desired * 100.0;
}

// Moves whichever end of the speed range is further off; the rate grows with
// the speed.
void SpeedSearch(TPumpSpeedDetails& d)
{
    const double desired = d.DesiredDispense_ugpm;
    int bl = MinSpeed;
    int bh = MaxSpeed;
    double el = 0;
    double eh = 0;
    for (int pass = 0; bh - bl > 1 && pass < MaxSpeedSearchPasses; ++pass) {
        el = desired - PumpRateAtSpeed(d, bl);
        eh = desired - PumpRateAtSpeed(d, bh);
        d.Feedback += SpeedLine(bl, el, bh, eh);
        if (el < 0)
            bl = std::max(MinSpeed, RoundEven(bl / 2.0));
        else if (eh > 0)
            bh = std::min(MaxSpeed, RoundEven(bh * 2.0));
        else if (std::abs(eh) <= std::abs(el))
            bl = RoundEven((bl + bh) / 2.0);
        else
            bh = RoundEven((bl + bh) / 2.0);
        bl = std::max(bl, MinSpeed);
        bh = std::min(bh, MaxSpeed);
    }
    d.Feedback += SpeedLine(bl, el, bh, eh);

    el = desired - PumpRateAtSpeed(d, bl);
    eh = desired - PumpRateAtSpeed(d, bh);
    const int speed = std::abs(eh) <= std::abs(el) ? bh : bl;
    d.Command = SpeedCommand(speed);
    d.AchievedDispense_ugpm = PumpRateAtSpeed(d, speed);
    if (desired > 0)
        d.Error_pct = (d.AchievedDispense_ugpm / desired - 1.0) * 100.0;
}

} // namespace

void TPumpSpeedDetails::Init()
{
    SyringeVolume_ul = 12.5;
    TotalSteps = 24000;
    FluidDensity = 0.99819;
    DesiredDispense_ugpm = 0;
    AchievedDispense_ugpm = 0;
    Error_pct = 0;
}

double PumpRateAtSpeed(const TPumpSpeedDetails& Details, int Speed)
{
    const double s = std::clamp(Speed, MinSpeed, MaxSpeed);
    // Calibrated stroke time of the speed template.
    const double stroke_s = (StrokeSteps / s / 4.0) * 1.000319 + StrokeOverhead_s;
    return 60.0 / stroke_s * SyringeMass_ug(Details);
}

double PumpRateAtDelay(const TPumpSpeedDetails& Details, int Delay)
{
    const double m = std::clamp(Delay, MinDelay, MaxDelay);
    // Calibrated stroke time of the delay template: one wait per single step.
    const double stroke_s = ((m + 0.44) * StrokeSteps + 1039200.0) / 1000.0 + StrokeOverhead_s;
    return SyringeMass_ug(Details) / (stroke_s / 60.0);
}

bool CalculatePumpCommand(TPumpSpeedDetails& Details)
{
    const double desired = Details.DesiredDispense_ugpm;
    Details.Feedback = QStringLiteral("Desired dispense:") + FloatToStr(desired) + QStringLiteral(" µL/min") + CRLF;
    const double breakpoint = PumpRateAtSpeed(Details, MinSpeed);
    Details.Feedback += QStringLiteral("Formula breakpoint:") + FloatToStr(breakpoint) + QStringLiteral(" µL/min") + CRLF;

    if (desired == 0) {
        Details.AchievedDispense_ugpm = 0;
        Details.Command = PSD4StopCommand;
        Details.Error_pct = 0;
    } else if (desired <= breakpoint) {
        DelaySearch(Details);
    } else {
        SpeedSearch(Details);
    }
    return true;
}

bool PumpCanReach(const TPumpSpeedDetails& Details)
{
    const double wanted = Details.DesiredDispense_ugpm;
    return wanted == 0
        || (wanted >= PumpRateAtDelay(Details, MaxDelay) && wanted <= PumpRateAtSpeed(Details, MaxSpeed));
}
