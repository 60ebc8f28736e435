#include "engine/RunState.h"

#include "base/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

constexpr int RunStateVersion = 1;
const QString RunStateSuffix = QStringLiteral(".run.json");

} // namespace

QString RunStateFileName(const QString& dataLogFileName)
{
    return dataLogFileName + RunStateSuffix;
}

QStringList FindRunStateFiles(const QString& folder)
{
    QStringList files;
    const QFileInfoList found
        = QDir(folder).entryInfoList({QLatin1Char('*') + RunStateSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : found)
        files.append(file.filePath());
    return files;
}

TRunState CaptureRunState(const QString& dataLogFileName, const TSoftwareState& setup,
                          const QList<TDeviceInfo>& devices, const QDateTime& wallClockNow)
{
    TRunState state{dataLogFileName, setup, {}};
    const QDateTime now = wallClockNow.toOffsetFromUtc(wallClockNow.offsetFromUtc());
    for (const TDeviceInfo& device : devices) {
        if (!IsRunning(device))
            continue;
        const qint64 elapsedMS = std::llround(DeviceElapsedMinutes(device) * 60000.0);
        state.Running.append({device.Serial, device.ControlMode, now.addMSecs(-elapsedMS), device.Setpoint_pct});
    }
    return state;
}

QByteArray RunStateToJson(const TRunState& state)
{
    QJsonArray running;
    for (const TRunningDevice& device : state.Running) {
        running.append(QJsonObject{{QStringLiteral("serial"), device.Serial},
                                   {QStringLiteral("direct"), device.ControlMode == dcmDirect},
                                   {QStringLiteral("started"), device.Started.toString(Qt::ISODateWithMs)},
                                   {QStringLiteral("setpointPercent"), device.Setpoint_pct}});
    }
    const QJsonObject root{
        {QStringLiteral("version"), RunStateVersion},
        {QStringLiteral("dataLog"), state.DataLogFileName},
        {QStringLiteral("setup"), QJsonDocument::fromJson(SoftwareStateToJson(state.Setup)).object()},
        {QStringLiteral("running"), running}};
    return QJsonDocument(root).toJson();
}

bool RunStateFromJson(const QByteArray& json, TRunState& state, QString& error)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QStringLiteral("version")).toInt() != RunStateVersion) {
        error = QStringLiteral("Not a run-state file this program can read");
        return false;
    }
    TRunState read;
    read.DataLogFileName = root.value(QStringLiteral("dataLog")).toString();
    const QByteArray setup = QJsonDocument(root.value(QStringLiteral("setup")).toObject()).toJson();
    if (!SoftwareStateFromJson(setup, read.Setup, error))
        return false;
    for (const QJsonValue& value : root.value(QStringLiteral("running")).toArray()) {
        const QJsonObject device = value.toObject();
        const QDateTime started
            = QDateTime::fromString(device.value(QStringLiteral("started")).toString(), Qt::ISODateWithMs);
        if (!started.isValid()) {
            error = QStringLiteral("Run-state file holds an unreadable start time");
            return false;
        }
        read.Running.append({device.value(QStringLiteral("serial")).toString(),
                             device.value(QStringLiteral("direct")).toBool() ? dcmDirect : dcmSegment, started,
                             std::clamp(device.value(QStringLiteral("setpointPercent")).toDouble(), 0.0, 100.0)});
    }
    state = read;
    return true;
}

bool WriteRunStateFile(const QString& fileName, const TRunState& state, QString& error)
{
    FileWriter& writer = CurrentFileWriter();
    const QString tmp = fileName + QStringLiteral(".tmp");
    QString ignored;
    if (writer.WriteFile(tmp, RunStateToJson(state), error) && writer.ReplaceFile(tmp, fileName, error))
        return true;
    writer.RemoveFile(tmp, ignored);
    return false;
}

bool ReadRunStateFile(const QString& fileName, TRunState& state, QString& error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Reading the run state failed: ") + file.errorString();
        return false;
    }
    return RunStateFromJson(file.readAll(), state, error);
}

double ElapsedMinutesSince(const QDateTime& started, const QDateTime& wallClockNow)
{
    return std::max<qint64>(0, started.msecsTo(wallClockNow)) / 60000.0;
}

QString ResumeQuestion(const TRunState& state)
{
    QDateTime first;
    for (const TRunningDevice& device : state.Running) {
        if (!first.isValid() || device.Started < first)
            first = device.Started;
    }
    return QStringLiteral("Resume the run of %1 (log %2)?")
        .arg(first.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             QFileInfo(state.DataLogFileName).fileName());
}

QStringList MissingRunningDevices(const TRunState& state)
{
    QStringList missing;
    for (const TRunningDevice& device : state.Running) {
        if (IndexOfSerial(device.Serial) < 0)
            missing.append(device.Serial);
    }
    return missing;
}
