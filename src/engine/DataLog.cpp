#include "engine/DataLog.h"

#include "base/Clock.h"
#include "base/ProgramFolder.h"
#include "base/Prompts.h"
#include "base/TextEncoding.h"
#include "base/TextHelpers.h"

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

// The file's bytes: every line ended by CR LF, Windows-1252, no byte-order mark.
QByteArray FileBytes(const QString& table)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = table.split(lineBreak);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast(); // a final line break ends the last line, it adds none
    return EncodeCp1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QString WithExtension(const QFileInfo& log, const QString& extension)
{
    return QDir(log.path()).filePath(log.completeBaseName() + extension);
}

// Writes the whole file; false with the reason in `error`.
bool WriteFile(const QString& path, const QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes) != bytes.size() || !file.flush()) {
        error = QStringLiteral("Cannot write file \"%1\". %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

QString DeviceCell(const QString& text)
{
    return PadLeft(text, DeviceColumnWidth) + CellSeparator;
}

} // namespace

TDataLog::TDataLog(MessageSink messageSink, TableSink tableSink)
    : mm(std::move(messageSink))
    , shown(std::move(tableSink))
{
}

void TDataLog::AppendDataLines(const QStringList& lines)
{
    table += lines;
    if (shown)
        shown(lines);
}

bool TDataLog::FlowDataLogFileEnsure(bool AlwaysAsk)
{
    if (!fileName.isEmpty() && !AlwaysAsk)
        return true;
    QString answer = QStringLiteral("log");
    if (CurrentPrompts().InputQuery(QStringLiteral("Data log file"),
                                    QStringLiteral("Name for the data log file (date and hour are added):"),
                                    answer)) {
        const QString name = CleanDataLogName(answer) + DataLogFileSuffix(Now()) + QStringLiteral(".txt");
        fileName = QDir(ProgramFolder()).filePath(QStringLiteral("Logs/") + name);
        lastSave = 0;
        mm(QStringLiteral("Data log file: ") + name);
    }
    return !fileName.isEmpty();
}

bool TDataLog::SaveDue(bool ForceSave) const
{
    return !fileName.isEmpty() && (ForceSave || Now() > lastSave + SaveIntervalDays);
}

void TDataLog::FlowDataSave(bool ForceSave)
{
    if (!SaveDue(ForceSave))
        return;
    // The text as a view of the table would show it: one line break between lines.
    const QString text = table.join(QLatin1Char('\n'));
    if (TrimControl(text).isEmpty())
        return;
    const QFileInfo log(fileName);
    const QString tmp = WithExtension(log, QStringLiteral(".tmp"));
    const QString bak1 = WithExtension(log, QStringLiteral(".bak1"));
    const QString bak2 = WithExtension(log, QStringLiteral(".bak2"));

    // The folder may have been removed since start-up; the log goes where it is named.
    QDir().mkpath(log.path());
    QString error;
    if (!WriteFile(tmp, FileBytes(text), error)) {
        QFile::remove(tmp);
        mm(QStringLiteral("Saving data log failed: ") + error);
        return;
    }
    // The backups rotate on a best-effort basis; only the new log itself must
    // arrive, or the save counts as failed and is tried again.
    QFile::remove(bak2);
    QFile::rename(bak1, bak2);
    QFile::rename(fileName, bak1);
    QFile fresh(tmp);
    if (!fresh.rename(fileName)) {
        mm(QStringLiteral("Saving data log failed: ")
           + QStringLiteral("Cannot rename \"%1\". %2").arg(QDir::toNativeSeparators(tmp), fresh.errorString()));
        return;
    }
    lastSave = Now();
    qCDebug(lcDataLog) << "saved" << fileName;
}

QString TDataLog::FlowDataLogFileCaption() const
{
    return QStringLiteral("Data log file: ")
         + (fileName.isEmpty() ? QStringLiteral("<not set>") : QFileInfo(fileName).fileName());
}

QString CleanDataLogName(const QString& answer)
{
    static const QRegularExpression forbidden(QStringLiteral(R"(["*/:<>?\\|])"));
    QString name = TrimControl(answer);
    name.remove(forbidden);
    return name.isEmpty() ? QStringLiteral("log") : name;
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
