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
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

namespace {

Q_LOGGING_CATEGORY(lcDataLog, "DataLog", QtWarningMsg)

constexpr double SaveIntervalDays = 60.0 / SecondsPerDay;
constexpr int FirstColumnWidth = 20;
constexpr int DeviceColumnWidth = 15;
const QString CellSeparator = QStringLiteral(" | ");

QString DeviceCell(const QString& text)
{
    return PadLeft(text, DeviceColumnWidth) + CellSeparator;
}

} // namespace

TDataLog::TDataLog(MessageSink messageSink, TableSink tableSink, TWriteAlarm* alarm)
    : mm(std::move(messageSink))
    , shown(std::move(tableSink))
    , alarm(alarm)
    , writer([this](const QString& error) { SaveFinished(error); })
{
}

void TDataLog::AppendDataLines(const QStringList& lines)
{
    bytes.Append(lines);
    if (shown)
        shown(lines);
}

QStringList TDataLog::DataTable() const
{
    QStringList lines;
    lines.reserve(bytes.LineCount());
    for (qsizetype i = 0; i < bytes.LineCount(); ++i)
        lines << bytes.Line(i);
    return lines;
}

void TDataLog::AppendHeaderBlock(const QList<TDeviceInfo>& devices)
{
    QList<TDataColumnDevice> columns;
    for (const TDeviceInfo& device : devices)
        columns.append({device.COMPort, device.NameRole});
    blockDevices.insert(int(bytes.LineCount()), columns);
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
        const QString path = QDir(DataLogFolder()).filePath(name);
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
    if (!SaveDue(ForceSave) || bytes.Blank())
        return;
    if (writer.Busy()) {
        forcedSavePending = forcedSavePending || ForceSave;
        return;
    }
    StartSave();
}

void TDataLog::ContinueLog(const QString& name, const QStringList& earlierLines)
{
    fileName = name;
    lastSave = 0;
    // Rebuilt once: the earlier rows go before those recorded since start-up.
    TDataLogBytes continued;
    continued.Append(earlierLines);
    continued.Append(DataTable());
    bytes = std::move(continued);
    QHash<int, QList<TDataColumnDevice>> moved;
    for (auto block = blockDevices.cbegin(); block != blockDevices.cend(); ++block)
        moved.insert(block.key() + int(earlierLines.size()), block.value());
    blockDevices = std::move(moved);
}

void TDataLog::StartSave()
{
    savingFile = fileName;
    savingSince = MonotonicNow();
    writer.Start(fileName, bytes.Snapshot());
}

void TDataLog::SaveFinished(const QString& error)
{
    if (error.isEmpty()) {
        // A file chosen meanwhile has not been saved yet.
        if (savingFile == fileName)
            lastSave = savingSince;
        qCDebug(lcDataLog) << "saved" << savingFile;
        if (alarm)
            alarm->Succeeded(TWriteAlarm::DataLogWriter);
        if (saved)
            saved();
    } else {
        mm(QStringLiteral("Saving data log failed: ") + error);
        if (alarm)
            alarm->Failed(TWriteAlarm::DataLogWriter,
                          QStringLiteral("The data log has not been saved for a minute: ") + error,
                          SaveAlarmSeconds);
    }
    if (forcedSavePending) {
        forcedSavePending = false;
        FlowDataSave(true);
    }
}

void TDataLog::WaitForSaves()
{
    // A forced save waiting behind the one in flight starts when that one is reported.
    while (writer.Busy())
        writer.Wait();
}

QString TDataLog::FlowDataLogFileCaption() const
{
    return QStringLiteral("Data log file: ")
         + (fileName.isEmpty() ? QStringLiteral("<not set>") : QFileInfo(fileName).fileName());
}

QString DataLogFolder()
{
    return QDir(ProgramFolder()).filePath(QStringLiteral("Logs"));
}

QStringList ReadDataLogLines(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = DecodeTextFileBytes(file.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // after the last line's CR LF
    return lines;
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
    return DataLogCompanionFile(dataLogFileName, QStringLiteral("_messages.txt"));
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
