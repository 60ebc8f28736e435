#pragma once

#include "engine/SoftwareState.h"

#include <QDateTime>
#include <QList>
#include <QString>

// A run in progress, kept beside its data log so that a run the program did
// not end (a crash, a kill, a power cut) can be resumed or safely discarded
// at the next start. Program starts are wall-clock times with their UTC
// offset: the monotonic clock does not survive a restart.
struct TRunningDevice {
    QString Serial;
    tDeviceControlMode ControlMode = dcmSegment;
    QDateTime Started;
};

struct TRunState {
    QString DataLogFileName;
    TSoftwareState Setup;
    QList<TRunningDevice> Running;
};

// The run-state file of a data log: ".run.json" beside it.
QString RunStateFileName(const QString& dataLogFileName);

// The state of the devices running now; `wallClockNow` is the present
// wall-clock time, from which each start is reckoned back by the device's
// elapsed (monotonic) time.
TRunState CaptureRunState(const QString& dataLogFileName, const QList<TDeviceInfo>& devices,
                          const QDateTime& wallClockNow);

QByteArray RunStateToJson(const TRunState& state);
bool RunStateFromJson(const QByteArray& json, TRunState& state, QString& error);

// Minutes a program has run from its start to `wallClockNow`, whatever the
// offsets of the two; never negative (a clock set back does not rewind it).
double ElapsedMinutesSince(const QDateTime& started, const QDateTime& wallClockNow);
