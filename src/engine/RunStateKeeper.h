#pragma once

#include "engine/SoftwareState.h"

#include <QString>

#include <functional>

class TDataLog;

// Keeps the run-state file beside the data log while a program or direct
// setpoint runs, and removes it once none does: a file left behind means the
// run ended without the program ending it.
class TRunStateKeeper {
public:
    using SetupSource = std::function<TSoftwareState()>;
    using MessageSink = std::function<void(const QString&)>;

    TRunStateKeeper(const TDataLog& dataLog, SetupSource setup, MessageSink messageSink);

    // Writes the file for the devices running now, or removes it when none
    // runs or the run has moved to another log.
    void Update();
    // The file of a run taken up again is this keeper's to update and remove.
    void Adopt(const QString& runStateFileName) { written = runStateFileName; }

private:
    const TDataLog& dataLog;
    SetupSource setup;
    MessageSink mm;
    QString written; // the file of the run being kept
};
