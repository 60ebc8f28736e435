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
    double Setpoint_pct = 0; // the direct setpoint applied
};

struct TRunState {
    QString DataLogFileName;
    TSoftwareState Setup;
    QList<TRunningDevice> Running;
};

// The run-state file of a data log: ".run.json" beside it.
QString RunStateFileName(const QString& dataLogFileName);
// Run-state files in the log folder, the latest first.
QStringList FindRunStateFiles(const QString& folder);

// The devices running now with the set-up `setup`; `wallClockNow` is the
// present wall-clock time, from which each start is reckoned back by the
// device's elapsed (monotonic) time.
TRunState CaptureRunState(const QString& dataLogFileName, const TSoftwareState& setup,
                          const QList<TDeviceInfo>& devices, const QDateTime& wallClockNow);

QByteArray RunStateToJson(const TRunState& state);
bool RunStateFromJson(const QByteArray& json, TRunState& state, QString& error);
// Written through the file writer, whole or not at all (".tmp", then renamed).
bool WriteRunStateFile(const QString& fileName, const TRunState& state, QString& error);
bool ReadRunStateFile(const QString& fileName, TRunState& state, QString& error);

// Minutes a program has run from its start to `wallClockNow`, whatever the
// offsets of the two; never negative (a clock set back does not rewind it).
double ElapsedMinutesSince(const QDateTime& started, const QDateTime& wallClockNow);

// "Resume the run of <time> (log <name>)?": the time of the earliest start.
QString ResumeQuestion(const TRunState& state);
// Serials of the state's running devices that DevicesLocal does not hold.
QStringList MissingRunningDevices(const TRunState& state);
