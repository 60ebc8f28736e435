#pragma once

#include <QString>

// A wanted dispense rate and the pump command that comes closest to it. The
// pump cannot take a rate: it is given a command that fills and empties the
// whole syringe again and again, so the rate is one syringe per stroke time.
struct TPumpSpeedDetails {
    double SyringeVolume_ul = 0;
    qint32 TotalSteps = 0;
    double FluidDensity = 0;         // g/mL
    double DesiredDispense_ugpm = 0; // input
    double AchievedDispense_ugpm = 0;
    double Error_pct = 0;            // (achieved - desired) / desired * 100
    QString Command;                 // unframed pump command
    QString Feedback;                // report of the search

    // Sets the numbers to their defaults (12.5 uL syringe, water); leaves the
    // two texts alone.
    void Init();
};

// Rate of the speed template (speed clamped to 5..1000), ug/min.
double PumpRateAtSpeed(const TPumpSpeedDetails& Details, int Speed);
// Rate of the delay template (delay clamped to 5..30000), ug/min.
double PumpRateAtDelay(const TPumpSpeedDetails& Details, int Delay);

// Fills Command, AchievedDispense_ugpm, Feedback and (for a wanted rate of
// zero or more) Error_pct. Always true.
bool CalculatePumpCommand(TPumpSpeedDetails& Details);

// True when the wanted rate lies within the rates the two templates span
// (or is zero), so that the chosen command comes close to it.
bool PumpCanReach(const TPumpSpeedDetails& Details);
