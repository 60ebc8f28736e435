#pragma once

#include "gas/FlowUnits.h"
#include "segments/SegmentProgram.h"

#include <QList>
#include <QString>

class TMFCThread;
class TPSD4Thread;
class ThhALed;
class TRtPointSeries;

enum tDeviceType : quint8 { dtMFCA, dtMFCB, dtMFCC, dtMFCD, dtPump, dtMFCDemo };
enum tDeviceControlMode : quint8 { dcmSegment, dcmDirect, dcmIdle };

// Colour with alpha: 0xAARRGGBB.
using TRtColor = quint32;
inline constexpr TRtColor clRtRed = 0xFFFF0000;
inline constexpr TRtColor clRtGreen = 0xFF008000;
inline constexpr TRtColor clRtBlue = 0xFF0000FF;
inline constexpr TRtColor clRtAqua = 0xFF00FFFF;
inline constexpr TRtColor clRtPurple = 0xFF800080;
inline constexpr TRtColor clRtBrown = 0xFFA52A2A;
inline constexpr TRtColor clRtBlack = 0xFF000000;

// A controller's deviation alarm unless configured otherwise.
inline constexpr double DefaultDeviationBand_pct = 5;
inline constexpr double DefaultDeviationHold_s = 30;

struct tDatapoint {
    double Elapsed = 0; // minutes
    double Flowgpm = 0;
};

// One device. A value: copies share the referenced objects (threads, lamp,
// series), which belong to the DevicesLocal entry.
struct TDeviceInfo {
    QString COMPort;
    QString NameRole;
    tDeviceType DevType = dtMFCA;
    QString Serial;
    TRtColor Color = 0;
    double SyringeSizeuL = 0;
    double FluidTemperatureC = 0;
    qint32 FluidID = 0;
    double MaxFlow_ulpm = 0;
    TGasFlowDetails FlowUnitDevice;
    TGasFlowDetails FlowUnitUser;
    double Setpoint_pct = 0;
    double Setpoint_gui = 0;
    // The deviation alarm: how far the achieved flow may stray from the
    // programmed flow (percent of full scale), and how long it must stay
    // beyond that, or back inside, before the alarm changes.
    double DeviationBand_pct = DefaultDeviationBand_pct;
    double DeviationHold_s = DefaultDeviationHold_s;
    tDeviceControlMode ControlMode = dcmSegment;
    QString SegmentProgram;
    TSegProgTermination SegmentProgramTermination = tspttKeep;
    double FlowStartTime = 0; // monotonic moment (MonotonicNow), days
    QString Errors;
    double LastHandled = 0; // monotonic moment of the last reading handled, days
    // What the device's worker last reported keeps it from doing as wished;
    // empty while all is well.
    QString WorkerFault;
    TMFCThread* ThreadMFC = nullptr;
    TPSD4Thread* ThreadPump = nullptr;
    ThhALed* Led = nullptr;
    TRtPointSeries* SerieSegment = nullptr;
    TRtPointSeries* SerieFlow = nullptr;
    QList<tDatapoint>* Data = nullptr;
};

// Types 0 to 3 and the demonstration MFC are driven as MFCs.
inline bool IsMFC(tDeviceType type)
{
    return type != dtPump;
}

inline bool HasWorkerThread(const TDeviceInfo& device)
{
    return device.ThreadMFC != nullptr || device.ThreadPump != nullptr;
}

// Configured and driven: running its program or holding a direct setpoint.
inline bool IsRunning(const TDeviceInfo& device)
{
    return HasWorkerThread(device) && device.ControlMode != dcmIdle;
}

// Controllers whose flow is watched against their setpoint: not the pump,
// which reports no flow, nor a demonstration device, whose flow is made up.
inline bool HasDeviationAlarm(tDeviceType type)
{
    return IsMFC(type) && type != dtMFCDemo;
}

QString DeviceTypeName(tDeviceType type);
QString DeviceInstrumentName(tDeviceType type);
double DeviceElapsedMinutes(const TDeviceInfo& device);
