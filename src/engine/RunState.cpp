#include "engine/RunState.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

constexpr int RunStateVersion = 1;

} // namespace

QString RunStateFileName(const QString& dataLogFileName)
{
    return dataLogFileName + QStringLiteral(".run.json");
}

TRunState CaptureRunState(const QString& dataLogFileName, const QList<TDeviceInfo>& devices,
                          const QDateTime& wallClockNow)
{
    TRunState state{dataLogFileName, CaptureSoftwareState(devices), {}};
    const QDateTime now = wallClockNow.toOffsetFromUtc(wallClockNow.offsetFromUtc());
    for (const TDeviceInfo& device : devices) {
        if (!IsRunning(device))
            continue;
        const qint64 elapsedMS = std::llround(DeviceElapsedMinutes(device) * 60000.0);
        state.Running.append({device.Serial, device.ControlMode, now.addMSecs(-elapsedMS)});
    }
    return state;
}

QByteArray RunStateToJson(const TRunState& state)
{
    QJsonArray running;
    for (const TRunningDevice& device : state.Running) {
        running.append(QJsonObject{{QStringLiteral("serial"), device.Serial},
                                   {QStringLiteral("direct"), device.ControlMode == dcmDirect},
                                   {QStringLiteral("started"), device.Started.toString(Qt::ISODateWithMs)}});
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
                             device.value(QStringLiteral("direct")).toBool() ? dcmDirect : dcmSegment, started});
    }
    state = read;
    return true;
}

double ElapsedMinutesSince(const QDateTime& started, const QDateTime& wallClockNow)
{
    return std::max<qint64>(0, started.msecsTo(wallClockNow)) / 60000.0;
}
