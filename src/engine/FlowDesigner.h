#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct TDeviceInfo;

// The flow designer's arithmetic. Its time slider counts tenths of a minute;
// a device's designed flow is in the device's user unit, between 0 and its
// full scale in that unit.

// One minute past `minutes`, in tenths: the time slider's maximum that
// shows that time.
int DesignerTimeSliderMaximum(double minutes);
// The time slider's position for a time, halves to the even neighbour.
int DesignerTimeSliderPosition(double minutes);

// The device's full scale in its user unit; 0 when none is configured.
double DesignerFullScale(const TDeviceInfo& device);
// The programmed setpoint, in percent, at `minutes` of the device's program.
double DesignerProgrammedPercent(const TDeviceInfo& device, double minutes);
// A device slider (0..maximum) and its flow field.
double DesignedFlowFromSlider(double fullScale, int position, int maximum);
int DesignerSliderFromFlow(double flow, double fullScale, int maximum);
// A typed flow below 0.01 % of full scale is too small to design: it snaps
// to 0 or to 0.01 %, whichever is nearer.
double SnappedDesignedFlow(double flow, double fullScale);

// One device's designed flow, in its user unit.
struct TDesignedFlow {
    QString COMPort;
    double Flow = 0;
};

// The mixture the devices deliver together at their designed flows: the
// composition, partial pressures and flows of the normalised mixture, after
// a line for every component whose mass could not be split. Devices whose
// gas is not in the gas table are left out, each with a line saying so.
QString DesignedMixtureText(const QList<TDesignedFlow>& flows);

// What applying the design did: one log line per device, and of those the
// lines saying why a device was left alone.
struct TDesignApplied {
    QStringList LogLines;
    QStringList Refusals;
    QStringList AppliedPorts;
};

// Writes the design into the devices' programs: for every designed flow a
// Step segment at `minutes` with the flow as percent of full scale and the
// note, replacing a segment at that time. A device without a full scale, or
// whose program does not read, keeps its program; so does every device for a
// time below 0, which no program may hold. Changed records are stored in
// DevicesLocal.
TDesignApplied ApplyDesign(const QList<TDesignedFlow>& flows, double minutes, const QString& note);
