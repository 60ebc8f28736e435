#pragma once

#include "engine/DeviationAlarm.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class TDataLog;
struct TPumpSpeedDetails;
class TEngineView;
struct TDeviceInfo;

// The one-second main loop: hands every configured device its setpoint,
// takes its latest reading, plots it and converts it into the operator's
// unit; every three seconds one data row; then the log save and the segment
// table refresh.
class TEngineTick {
public:
    TEngineTick(TEngineView& view, TDataLog& dataLog);

    // Message boxes raised inside a tick (an unreadable program line, say)
    // are held back, not opened: a box opened inside the tick would hold
    // every device. Take them once the tick has returned.
    void Tick();
    // Held messages not taken yet; each at most once per device and run of
    // its program, however many ticks raise it.
    QStringList TakeMessages();
    // Holds an error that ended a tick along with the messages, under the
    // device being served when it was raised.
    void HoldMessage(const QString& text);

    // Where time 0 of the device's program lies on the graph's time axis, in
    // minutes: its start measured from GraphTimeZero, so the program is drawn
    // under the readings it produces. 0 before the graph's clock runs and for
    // a device not started since.
    double ProgramStartMinutes(const TDeviceInfo& device) const;

    // Monotonic moments (MonotonicNow). The one time 0 of the achieved-flow
    // series stands for; 0 until the first program or direct setpoint starts.
    double GraphTimeZero = 0;
    double LastDataRowTime = 0;
    bool DataHeaderPending = true;

    static constexpr int TickIntervalMS = 1000;
    // Marks a device without a value in its data-row column.
    static constexpr double NoReading = -999999;

private:
    // Each returns the device's value for the data row; an MFC also gives
    // its flow in percent of full scale when the tick brought a reading.
    double ServeMFC(int index, std::optional<double>& achieved_pct);
    double ServePump(int index);
    // Takes the fault the device's worker reports: a new one goes to the
    // message log once, and the device list shows the state it leads to.
    void TakeWorkerFault(int index, const QString& fault);
    // Feeds a running controller's deviation alarm; `watched` collects the
    // ports watched this tick.
    void WatchDeviation(int index, const std::optional<double>& achieved_pct, QSet<QString>& watched);
    // Alarms of controllers no longer watched end; the window is told when
    // the alarmed ones changed.
    void EndDeviationWatches(const QSet<QString>& watched);
    double GraphMinutes() const;
    static double AchievedFraction(const TDeviceInfo& device, const TPumpSpeedDetails& details);
    // Once per wish the pump cannot reach, in the message log.
    void SayWhenOutOfReach(const TDeviceInfo& device, const TPumpSpeedDetails& details);

    TEngineView& view;
    TDataLog& dataLog;
    QString messageSource; // the device being served and its program run
    QSet<QString> heldOnce;
    QStringList held;
    // By port: the pump fault episode last reported, the unreachable wish last said.
    QHash<QString, quint32> faultSaid;
    QHash<QString, double> outOfReachSaid;
    struct TDeviationWatch {
        TDeviationAlarm Alarm;
        QString Name; // port and type, as the log and the lamp name it
    };
    QHash<QString, TDeviationWatch> deviation; // by port
    QStringList deviationShown; // the alarmed ports the window shows
};
