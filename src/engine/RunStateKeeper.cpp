#include "engine/RunStateKeeper.h"

#include "base/Clock.h"
#include "base/FileWriter.h"
#include "devices/DeviceRegistry.h"
#include "engine/DataLog.h"
#include "engine/RunState.h"

#include <algorithm>

TRunStateKeeper::TRunStateKeeper(const TDataLog& dataLog, SetupSource setup, MessageSink messageSink)
    : dataLog(dataLog)
    , setup(std::move(setup))
    , mm(std::move(messageSink))
{
}

void TRunStateKeeper::Update()
{
    const QString logName = dataLog.DataLogFileName();
    const bool running = !logName.isEmpty() && std::any_of(DevicesLocal.cbegin(), DevicesLocal.cend(), IsRunning);
    const QString target = running ? RunStateFileName(logName) : QString();
    QString error;
    if (!written.isEmpty() && written != target) {
        if (!CurrentFileWriter().RemoveFile(written, error))
            mm(QStringLiteral("Removing the run state failed: ") + error);
        written.clear();
    }
    if (!running)
        return;
    const TRunState state = CaptureRunState(logName, setup(), DevicesLocal, DaysToDateTime(Now()));
    if (WriteRunStateFile(target, state, error))
        written = target;
    else
        mm(QStringLiteral("Saving the run state failed: ") + error);
}
