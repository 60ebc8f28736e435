#pragma once

#include <QString>

struct TDeviceInfo;

// Flows are shown with the digits that matter: the instruments resolve far
// fewer than the 15 a double holds.
inline constexpr int FlowShownDigits = 6;

// The focused device's full scale and the flows chosen on the segment design
// and direct-control pages, shown in the operator's flow unit (for the pump:
// the desired against the achievable dispense rate).
struct TFlowUnitDisplay {
    bool Valid = false; // false: a conversion failed, the displays stay as they are
    double MaxFlow = 0;
    QString UnitName;
    // Empty when that conversion failed: the label keeps its text.
    QString SegmentResult;
    QString DirectResult;
    // Pump only: the commands the two rates would need, for the message log.
    QString SegmentCommand;
    QString DirectCommand;
};

TFlowUnitDisplay FlowUnitDisplay(const TDeviceInfo& device, double segmentFlowPercent, double directFlowPercent);

// Digits in groups of three separated by blanks, on both sides of the point,
// with up to `maxDecimals` decimals: "1 234.567 8".
QString FormatDigitGroups(double value, int maxDecimals, bool groupInteger);
