#include "engine/DataLog.h"

#include "base/Clock.h"
#include "base/FileWriter.h"
#include "base/ProgramFolder.h"
#include "base/Prompts.h"
#include "base/TextEncoding.h"
#include "base/TextHelpers.h"
#include "engine/WriteAlarm.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

namespace {

Q_LOGGING_CATEGORY(lcDataLog, "DataLog", QtWarningMsg)

constexpr double SaveIntervalDays = 60.0 / SecondsPerDay;
constexpr int FirstColumnWidth = 20;
constexpr int DeviceColumnWidth = 15;
const QString CellSeparator = QStringLiteral(" | ");

QString WithExtension(const QFileInfo& log, const QString& extension)
{
    return QDir(log.path()).filePath(log.completeBaseName() + extension);
}

QString DeviceCell(const QString& text)
{
    return PadLeft(text, DeviceColumnWidth) + CellSeparator;
}

} // namespace

TDataLog::TDataLog(MessageSink messageSink, TableSink tableSink, TWriteAlarm* alarm)
    : mm(std::move(messageSink))
    , shown(std::move(tableSink))
    , alarm(alarm)
{
}

void TDataLog::AppendDataLines(const QStringList& lines)
{
    table += lines;
    if (shown)
        shown(lines);
}

void TDataLog::AppendHeaderBlock(const QList<TDeviceInfo>& devices)
{
    QList<TDataColumnDevice> columns;
    for (const TDeviceInfo& device : devices)
        columns.append({device.COMPort, device.NameRole});
    blockDevices.insert(int(table.size()), columns);
    AppendDataLines(DataTableColumns(devices));
}

bool TDataLog::FlowDataLogFileEnsure(bool AlwaysAsk)
{
    if (!fileName.isEmpty() && !AlwaysAsk)
        return true;
    QString answer = QStringLiteral("log");
    while (CurrentPrompts().InputQuery(QStringLiteral("Data log file"),
                                       QStringLiteral("Name for the data log file (date and hour are added):"),
                                       answer)) {
        const QString name = CleanDataLogName(answer) + DataLogFileSuffix(Now()) + QStringLiteral(".txt");
        const QString path = QDir(ProgramFolder()).filePath(QStringLiteral("Logs/") + name);
        // A name the file system refuses would fail every save from now on
        // without anything reaching the disk: better refused now.
        const QString problem = DataLogNameProblem(path);
        if (!problem.isEmpty()) {
            ShowMessage(problem);
            continue;
        }
        fileName = path;
        lastSave = 0;
        mm(QStringLiteral("Data log file: ") + name);
        break;
    }
    return !fileName.isEmpty();
}

bool TDataLog::SaveDue(bool ForceSave) const
{
    return !fileName.isEmpty() && (ForceSave || MonotonicNow() > lastSave + SaveIntervalDays);
}

void TDataLog::FlowDataSave(bool ForceSave)
{
    if (!SaveDue(ForceSave))
        return;
    QString error;
    if (SaveTable(error)) {
        lastSave = MonotonicNow();
        qCDebug(lcDataLog) << "saved" << fileName;
        if (alarm)
            alarm->Succeeded(TWriteAlarm::DataLogWriter);
        return;
    }
    if (error.isEmpty())
        return; // nothing to save
    mm(QStringLiteral("Saving data log failed: ") + error);
    if (alarm)
        alarm->Failed(TWriteAlarm::DataLogWriter,
                      QStringLiteral("The data log has not been saved for a minute: ") + error, SaveAlarmSeconds);
}

bool TDataLog::SaveTable(QString& error)
{
    // The text as a view of the table would show it: one line break between lines.
    const QString text = table.join(QLatin1Char('\n'));
    if (TrimControl(text).isEmpty())
        return false;
    const QFileInfo log(fileName);
    const QString tmp = WithExtension(log, QStringLiteral(".tmp"));
    const QString bak1 = WithExtension(log, QStringLiteral(".bak1"));
    const QString bak2 = WithExtension(log, QStringLiteral(".bak2"));

    FileWriter& writer = CurrentFileWriter();
    QString ignored;
    // The folder may have been removed since start-up; the log goes where it is named.
    writer.MakeFolder(log.path(), ignored);
    if (!writer.WriteFile(tmp, TextFileBytes(text), error)) {
        writer.RemoveFile(tmp, ignored);
        return false;
    }
    // The backups rotate on a best-effort basis; only the new log itself must
    // arrive, or the save counts as failed and is tried again.
    writer.RemoveFile(bak2, ignored);
    writer.RenameFile(bak1, bak2, ignored);
    writer.RenameFile(fileName, bak1, ignored);
    return writer.RenameFile(tmp, fileName, error);
}

QString TDataLog::FlowDataLogFileCaption() const
{
    return QStringLiteral("Data log file: ")
         + (fileName.isEmpty() ? QStringLiteral("<not set>") : QFileInfo(fileName).fileName());
}

QString CleanDataLogName(const QString& answer)
{
    static const QRegularExpression forbidden(QStringLiteral(R"(["*/:<>?\\|]|\p{Cc})"));
    QString name = TrimControl(answer);
    name.remove(forbidden);
    return name.isEmpty() ? QStringLiteral("log") : name;
}

QString DataLogMessageFileName(const QString& dataLogFileName)
{
    return WithExtension(QFileInfo(dataLogFileName), QStringLiteral("_messages.txt"));
}

QString DataLogNameProblem(const QString& dataLogFileName)
{
    const QFileInfo longest(DataLogMessageFileName(dataLogFileName));
    if (!FileNameFits(longest.path(), longest.fileName()))
        return QStringLiteral("Name too long for this file system");
    FileWriter& writer = CurrentFileWriter();
    QString error;
    const bool existed = longest.exists();
    if (!writer.MakeFolder(longest.path(), error) || !writer.AppendFile(longest.filePath(), {}, error))
        return error;
    if (!existed)
        writer.RemoveFile(longest.filePath(), error);
    return {};
}

QString DataLogFileSuffix(double moment)
{
    return DaysToDateTime(moment).toString(QStringLiteral("_yyyy-MM-dd-HH"));
}

QStringList DataTableColumns(const QList<TDeviceInfo>& devices)
{
    QString rule = QStringLiteral("---------------------+-");
    QString device = QStringLiteral("-             Device | ");
    QString unit = QStringLiteral("-               Unit | ");
    QString gas = QStringLiteral("-                Gas | ");
    const QString undefined = QStringLiteral("Undefined");
    for (const TDeviceInfo& entry : devices) {
        const bool configured = HasWorkerThread(entry);
        rule += QStringLiteral("----------------+-");
        device += DeviceCell(DeviceTypeName(entry.DevType));
        unit += DeviceCell(configured ? entry.FlowUnitUser.Name : undefined);
        gas += DeviceCell(configured ? entry.FlowUnitUser.GasName : undefined);
    }
    return {rule, device, unit, gas, rule};
}

QString DataRowTimeColumn(double moment)
{
    return PadLeft(DaysToDateTime(moment).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), FirstColumnWidth)
         + CellSeparator;
}

QString DataRowValueColumn(double value)
{
    constexpr double LowestReading = -9999; // the no-reading marker lies far below
    return DeviceCell(value < LowestReading ? QStringLiteral("?") : FormatFloatDecimals(value, 1, 6));
}
