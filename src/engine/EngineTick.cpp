#include "engine/EngineTick.h"

#include "base/Clock.h"
#include "base/Prompts.h"
#include "devices/DeviceRegistry.h"
#include "engine/DataLog.h"
#include "engine/EngineView.h"
#include "gas/FlowUnits.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4Thread.h"
#include "pump/PumpSpeeds.h"
#include "segments/SegmentProgram.h"
#include "base/TextHelpers.h"

#include <cmath>
#include <utility>

namespace {

constexpr double DataRowIntervalDays = 3.0 / SecondsPerDay;
// The last row's time is taken after the devices were served, and the timer
// may fire a little early: half a tick of slack keeps the row at the third
// tick instead of letting it slip to the fourth.
constexpr double DataRowSlackDays = 0.5 / SecondsPerDay;
// Lets the lamp of a served device show for a moment.
constexpr int ServedDevicePauseMS = 10;
// A tick shorter than this is stretched by a pause of the same length, so
// the main thread is never hogged by back-to-back ticks.
constexpr double ShortestTickDays = 0.03 / SecondsPerDay;
constexpr int ShortTickPauseMS = 30;
// A pump follows its program as a staircase of half minutes, each step
// taking the program's value a quarter minute into it.
constexpr double PumpStepMinutes = 0.5;
constexpr double PumpSampleOffsetMinutes = 0.25;
// The pump's rates are counted in micrograms of water, its full scale in
// microlitres: one microlitre is taken as a thousand micrograms.
constexpr double MicrogramsPerMicrolitre = 1000;

// The instrument's full scale, unless it gave too few digits for it and the
// device record's full scale for the gas rounds to what it gave: a 50 SCCM
// unit says 0.06 g/min for N2, 4.8 % above its 0.0573.
double DeviceFullScale_gpm(const TDeviceInfo& device, const TAlicatData& reading)
{
    if (!(device.FlowUnitDevice.pGasFlowMax > 0) || !(reading.MaxFlowStepgpm > 0))
        return reading.MaxFlowgpm;
    TGasFlowDetails fullScale = device.FlowUnitDevice;
    fullScale.GasMolarMass = device.FlowUnitUser.GasMolarMass;
    const double recorded = MaxFlowGramsPerMinute(fullScale);
    // A hair of slack: the instrument's own rounding of an exact half.
    const double halfStep = reading.MaxFlowStepgpm / 2 * (1 + 1e-9);
    return std::abs(recorded - reading.MaxFlowgpm) <= halfStep ? recorded : reading.MaxFlowgpm;
}

} // namespace

TEngineTick::TEngineTick(TEngineView& view, TDataLog& dataLog)
    : view(view)
    , dataLog(dataLog)
{
}

double TEngineTick::GraphMinutes() const
{
    return (MonotonicNow() - GraphTimeZero) * MinutesPerDay;
}

QStringList TEngineTick::TakeMessages()
{
    return std::exchange(held, {});
}

void TEngineTick::HoldMessage(const QString& text)
{
    const QString key = messageSource + u'\n' + text;
    if (heldOnce.contains(key))
        return;
    heldOnce.insert(key);
    // The segment table's refresh meets the same unreadable line as the
    // device does: one box says it.
    if (!held.contains(text))
        held.append(text);
}

double TEngineTick::ProgramStartMinutes(const TDeviceInfo& device) const
{
    if (GraphTimeZero == 0 || device.FlowStartTime < GraphTimeZero)
        return 0;
    return (device.FlowStartTime - GraphTimeZero) * MinutesPerDay;
}

void TEngineTick::Tick()
{
    const MessageRedirect holdMessages([this](const QString& text) { HoldMessage(text); });
    messageSource.clear();
    view.SetEngineLamp(true);
    const double tickStart = MonotonicNow();
    const bool rowDue = tickStart > LastDataRowTime + DataRowIntervalDays - DataRowSlackDays;
    // The row's stamp is the only wall-clock time here: it is printed, never measured.
    const QString timeColumn = rowDue ? DataRowTimeColumn(Now()) : QString();

    QString valueColumns;
    QSet<QString> watched;
    for (int i = 0; i < DevicesLocal.size(); ++i) {
        double value = NoReading;
        const TDeviceInfo& device = DevicesLocal.at(i);
        messageSource = device.COMPort + u'\n' + QString::number(device.FlowStartTime, 'g', 17) + u'\n'
                      + device.SegmentProgram;
        if (HasWorkerThread(device))
            view.ShowDeviceState(device); // connecting, faults and their end show as they come
        if (device.ThreadMFC && IsMFC(device.DevType)) {
            std::optional<double> achieved;
            value = ServeMFC(i, achieved);
            WatchDeviation(i, achieved, watched);
        } else if (device.ThreadPump && device.DevType == dtPump)
            value = ServePump(i);
        valueColumns += DataRowValueColumn(value);
    }
    messageSource.clear();
    EndDeviationWatches(watched);

    if (rowDue && !TrimControl(valueColumns).isEmpty()) {
        if (DataHeaderPending) {
            dataLog.AppendHeaderBlock(DevicesLocal);
            DataHeaderPending = false;
        }
        dataLog.AppendDataLines({timeColumn + valueColumns});
        LastDataRowTime = MonotonicNow();
        if (view.AutoScrollChecked())
            view.ScrollDataTableToEnd();
    }

    dataLog.FlowDataSave(false);
    view.MemoSegmentsUpdate();

    if (MonotonicNow() - tickStart < ShortestTickDays)
        view.Pause(ShortTickPauseMS);
    view.SetEngineLamp(false);
}

void TEngineTick::TakeWorkerFault(int index, const QString& fault)
{
    TDeviceInfo& device = DevicesLocal[index];
    if (device.WorkerFault == fault)
        return;
    device.WorkerFault = fault;
    if (!fault.isEmpty())
        view.MM(fault);
    view.ShowDeviceState(device);
}

double TEngineTick::ServeMFC(int index, std::optional<double>& achieved_pct)
{
    TakeWorkerFault(index, DevicesLocal[index].ThreadMFC->GUIIn.Fault);
    TDeviceInfo& device = DevicesLocal[index];
    TMFCThread& thread = *device.ThreadMFC;
    thread.GUIOut.DeviceStatus.GasID = device.FluidID;

    const TAlicatData& reading = thread.GUIIn.DeviceStatus;
    if (!(device.LastHandled < reading.DataTime) || thread.GUIIn.IsTerminated)
        return NoReading;

    ThhALed* const lamp = device.Led;
    view.SetDeviceLamp(lamp, true);
    if (device.ControlMode == dcmDirect)
        thread.GUIOut.DeviceStatus.Setpoint_pct = device.Setpoint_pct;
    else if (device.ControlMode == dcmSegment)
        thread.GUIOut.DeviceStatus.Setpoint_pct =
            SetpointAtTime(device.SegmentProgram, DeviceElapsedMinutes(device)).Setpoint;

    const double fraction = reading.FlowRate_mass / AlicatCountsFullScale;
    achieved_pct = fraction * 100;
    if (device.ControlMode != dcmIdle)
        view.FlowSerie(device, GraphMinutes(), fraction * 100);

    // The series call may have stored a new record for the device: work on
    // the entry as it stands now.
    TDeviceInfo& current = DevicesLocal[index];
    TGasFlowDetails from = FlowUnitGramsPerMinute;
    from.GasFlowValue = fraction * DeviceFullScale_gpm(current, reading);
    from.GasMolarMass = current.FlowUnitUser.GasMolarMass;
    QString errors, report;
    ConvertGasFlow(from, current.FlowUnitUser, errors, report); // a failure keeps the previous value
    current.LastHandled = reading.DataTime;

    view.Pause(ServedDevicePauseMS);
    view.SetDeviceLamp(lamp, false);
    return current.FlowUnitUser.GasFlowValue;
}

void TEngineTick::WatchDeviation(int index, const std::optional<double>& achieved_pct, QSet<QString>& watched)
{
    const TDeviceInfo& device = DevicesLocal.at(index);
    if (!HasDeviationAlarm(device.DevType) || !IsRunning(device))
        return;
    watched.insert(device.COMPort);
    TDeviationWatch& watch = deviation[device.COMPort];
    watch.Name = device.COMPort + QStringLiteral(" (") + DeviceTypeName(device.DevType) + u')';
    // What the controller is being told now, from its program or direct setpoint.
    const double programmed = device.ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct;
    const double band = device.DeviationBand_pct;
    const double hold = device.DeviationHold_s;
    switch (watch.Alarm.Feed({MonotonicNow(), programmed, achieved_pct}, band, hold)) {
    case TDeviationAlarm::dacEntered:
        view.MM(watch.Name + QStringLiteral(": flow does not follow its setpoint: ")
                + QString::number(*achieved_pct, 'f', 1) + QStringLiteral(" % of full scale for ")
                + QString::number(programmed, 'f', 1) + QStringLiteral(" %, more than ") + QString::number(band, 'g', 4)
                + QStringLiteral(" % apart for ") + QString::number(hold, 'g', 6) + QStringLiteral(" s"));
        break;
    case TDeviationAlarm::dacLeft:
        view.MM(watch.Name + QStringLiteral(": flow follows its setpoint again, within ")
                + QString::number(band * TDeviationAlarm::ClearingShareOfBand, 'g', 4) + QStringLiteral(" % for ")
                + QString::number(hold, 'g', 6) + QStringLiteral(" s"));
        break;
    case TDeviationAlarm::dacNone:
        break;
    }
}

void TEngineTick::EndDeviationWatches(const QSet<QString>& watched)
{
    QStringList alarmed;
    QStringList names;
    for (auto it = deviation.begin(); it != deviation.end();) {
        if (!watched.contains(it.key())) {
            if (it->Alarm.Alarmed())
                view.MM(it->Name + QStringLiteral(": deviation alarm off: the device no longer runs"));
            it = deviation.erase(it);
            continue;
        }
        if (it->Alarm.Alarmed()) {
            alarmed << it.key();
            names << it->Name;
        }
        ++it;
    }
    alarmed.sort();
    if (alarmed == deviationShown)
        return;
    deviationShown = alarmed;
    names.sort();
    view.ShowDeviationAlarm(alarmed, names.isEmpty() ? QString()
                                                     : QStringLiteral("Flow does not follow the setpoint:\n")
                                                           + names.join(QLatin1Char('\n')));
}

double TEngineTick::ServePump(int index)
{
    const TDeviceInfo device = DevicesLocal.at(index);
    TPSD4Thread& thread = *device.ThreadPump;
    view.SetDeviceLamp(device.Led, true);

    TPumpSpeedDetails details;
    details.Init();
    details.SyringeVolume_ul = device.SyringeSizeuL;
    if (device.ControlMode == dcmDirect) {
        details.DesiredDispense_ugpm = device.Setpoint_pct / 100 * device.MaxFlow_ulpm * 1000;
        CalculatePumpCommand(details);
        thread.GUIOut.Command = details.Command;
        thread.GUIOut.Setpoint = AchievedFraction(device, details);
        SayWhenOutOfReach(device, details);
    } else if (device.ControlMode == dcmSegment) {
        const double elapsed = DeviceElapsedMinutes(device);
        const double step = std::floor(elapsed / PumpStepMinutes) * PumpStepMinutes;
        const double sampleTime = step + PumpSampleOffsetMinutes;
        const double fraction = SetpointAtTime(device.SegmentProgram, sampleTime).Setpoint / 100;
        details.DesiredDispense_ugpm = device.MaxFlow_ulpm * fraction * 1000;
        CalculatePumpCommand(details);
        view.MM(QStringLiteral(" Pump segment program"));
        view.MM(QStringLiteral("     Elapsed time, m : ") + FloatToStr(elapsed));
        view.MM(QStringLiteral("       Floor time, m : ") + FloatToStr(step));
        view.MM(QStringLiteral("Floor time+offset, m : ") + FloatToStr(sampleTime));
        view.MM(QStringLiteral("  Device max flow, µL: ") + FloatToStr(device.MaxFlow_ulpm));
        view.MM(QStringLiteral("         Setpoint, % : ") + FloatToStr(fraction * 100));
        view.MM(QStringLiteral(" Desired dispense, µg: ") + FloatToStr(details.DesiredDispense_ugpm));
        view.MM(QStringLiteral(" Achieveddispense, µg: ") + FloatToStr(details.AchievedDispense_ugpm));
        view.MM(QStringLiteral("              Command: ") + details.Command);
        thread.GUIOut.Command = details.Command;
        thread.GUIOut.Setpoint = AchievedFraction(device, details);
        SayWhenOutOfReach(device, details);
    }

    double value = NoReading;
    if (thread.Faulted()) {
        // Not dosing as told: no flow to show until it doses again.
        if (faultSaid.value(device.COMPort) != thread.GUIIn.FaultEpisode) {
            faultSaid[device.COMPort] = thread.GUIIn.FaultEpisode;
            view.MM(device.COMPort + QStringLiteral(" (Pump): ") + thread.GUIIn.Fault);
        }
    } else {
        if (device.ControlMode != dcmIdle)
            view.FlowSerie(device, GraphMinutes(), thread.GUIIn.Setpoint * 100);
        value = thread.GUIIn.Setpoint * device.MaxFlow_ulpm;
    }
    view.Pause(ServedDevicePauseMS);
    view.SetDeviceLamp(device.Led, false);
    return value;
}

double TEngineTick::AchievedFraction(const TDeviceInfo& device, const TPumpSpeedDetails& details)
{
    // The rate of the command the pump is given, not the wish: a wish beyond
    // the pump's reach would otherwise be logged as delivered.
    if (device.MaxFlow_ulpm <= 0)
        return 0;
    return details.AchievedDispense_ugpm / MicrogramsPerMicrolitre / device.MaxFlow_ulpm;
}

void TEngineTick::SayWhenOutOfReach(const TDeviceInfo& device, const TPumpSpeedDetails& details)
{
    if (PumpCanReach(details)) {
        outOfReachSaid.remove(device.COMPort);
        return;
    }
    const auto said = outOfReachSaid.constFind(device.COMPort);
    if (said != outOfReachSaid.cend() && *said == details.DesiredDispense_ugpm)
        return;
    outOfReachSaid[device.COMPort] = details.DesiredDispense_ugpm;
    view.MM(device.COMPort + QStringLiteral(" (Pump): ")
            + QString::number(details.DesiredDispense_ugpm / MicrogramsPerMicrolitre, 'g', 4)
            + QStringLiteral(" µL/min is beyond the pump's reach; it doses ")
            + QString::number(details.AchievedDispense_ugpm / MicrogramsPerMicrolitre, 'g', 4)
            + QStringLiteral(" µL/min"));
}
