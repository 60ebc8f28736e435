#pragma once

#include <QString>
#include <QStringList>

class QDateTime;
class TDeviceConfigurationView;
class TEngineTick;
class TRunControl;
struct TRunState;

// The row put between the rows of an interrupted run and those recorded
// after it was taken up again.
QString ResumeMarkerRow(double moment);

// Restarts the program or direct setpoint of each running device of `state`
// (configured by now) at the time it has been running since its recorded
// start; the engine's monotonic clock takes the start as now minus that.
void ResumeRunningDevices(const TRunState& state, TRunControl& runControl, const QDateTime& wallClockNow);

// Brings the instruments of `state`'s running devices to rest as closing
// does (setpoint 0, pump stopped): configured from its set-up, then every
// thread stopped. `unreached` names those no device here matches.
void BringRunToRest(const TRunState& state, TRunControl& runControl, TEngineTick& engine,
                    TDeviceConfigurationView& view, QStringList& unreached);
