#include "engine/RunResume.h"

#include "base/Clock.h"
#include "base/TextHelpers.h"
#include "devices/DeviceRegistry.h"
#include "engine/RunControl.h"
#include "engine/RunState.h"

#include <QDateTime>

QString ResumeMarkerRow(double moment)
{
    // Laid out as the header block's first column, so it stands apart from rows.
    return QStringLiteral("-") + PadLeft(QStringLiteral("Resumed"), 19) + QStringLiteral(" | ")
         + DaysToDateTime(moment).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void ResumeRunningDevices(const TRunState& state, TRunControl& runControl, const QDateTime& wallClockNow)
{
    for (const TRunningDevice& running : state.Running) {
        const int index = IndexOfSerial(running.Serial);
        if (index < 0)
            continue;
        const double elapsedDays = ElapsedMinutesSince(running.Started, wallClockNow) / MinutesPerDay;
        runControl.ResumeDevice(DevicesLocal.at(index).COMPort, running.ControlMode, running.Setpoint_pct,
                                MonotonicNow() - elapsedDays);
    }
}

void BringRunToRest(const TRunState& state, TRunControl& runControl, TEngineTick& engine,
                    TDeviceConfigurationView& view, QStringList& unreached)
{
    TSoftwareState listed;
    for (const TSavedDevice& saved : state.Setup.Devices) {
        const bool ran = std::any_of(state.Running.cbegin(), state.Running.cend(),
                                     [&](const TRunningDevice& running) { return running.Serial == saved.Serial; });
        if (ran)
            listed.Devices.append(saved);
    }
    LoadSoftwareState(listed, runControl, engine, view, unreached);
    runControl.TerminateThreads(TRunControl::ShutdownTimeoutS);
}
