#pragma once

#include "devices/DeviceInfo.h"
#include "engine/DataLogBytes.h"
#include "engine/DataLogWriter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class TWriteAlarm;

// The device a column of a header block stands for.
struct TDataColumnDevice {
    QString Port;
    QString Name;
};

// The data table and its log file: the rows and header blocks, the file's
// name, the once-a-minute save and the two backup versions. The table is
// kept here, not in the view that shows it, so that what is saved is exactly
// what was recorded. Messages for the operator go to `messageSink` (the
// window's message log); appended lines go to `tableSink` (the view); saves
// that keep failing raise `alarm`.
class TDataLog {
public:
    using MessageSink = std::function<void(const QString&)>;
    using TableSink = std::function<void(const QStringList&)>;

    explicit TDataLog(MessageSink messageSink, TableSink tableSink = {}, TWriteAlarm* alarm = nullptr);

    // The data table: header blocks and rows, one line each.
    qsizetype DataLineCount() const { return bytes.LineCount(); }
    QString DataLine(qsizetype index) const { return bytes.Line(index); }
    QStringList DataTable() const;
    void AppendDataLines(const QStringList& lines);
    // Appends the header block of `devices` and remembers their ports and
    // names, which the block's text does not hold.
    void AppendHeaderBlock(const QList<TDeviceInfo>& devices);
    // The devices of the header block that begins at line `firstLine` of the
    // table; empty for a block that was not appended as one.
    QList<TDataColumnDevice> HeaderBlockDevices(int firstLine) const { return blockDevices.value(firstLine); }

    // Full path of the current log file; empty while none is chosen.
    const QString& DataLogFileName() const { return fileName; }
    // When the table was last saved (MonotonicNow, days); 0 after a new file.
    double LastDataLogSave() const { return lastSave; }

    // Asks for a name (through the prompts service) when none is chosen yet
    // or `AlwaysAsk` is set; a name whose files cannot be written is refused
    // with the reason and asked again. True when a file is chosen afterwards.
    bool FlowDataLogFileEnsure(bool AlwaysAsk);

    // Whether FlowDataSave would write now: a file is chosen and the save is
    // forced or the last one is more than a minute ago.
    bool SaveDue(bool ForceSave) const;
    // Writes the table to the log file when due and not blank, keeping the
    // two previous versions as ".bak1" and ".bak2". The file is written on a
    // thread of its own, one save at a time: a forced save asked for while
    // one is in flight follows it.
    void FlowDataSave(bool ForceSave);
    // Blocks until every save asked for has ended and been reported.
    void WaitForSaves();

    // Called after each save that reached the log file.
    void SetSavedSink(std::function<void()> sink) { saved = std::move(sink); }

    // Takes up the log of an interrupted run: `fileName` becomes the log
    // file and its rows `earlierLines` go before the rows recorded since
    // start-up, so the next save keeps them all.
    void ContinueLog(const QString& fileName, const QStringList& earlierLines);

    // Saves failing for this long raise the alarm.
    static constexpr double SaveAlarmSeconds = 60;

    // "Data log file: <name>", or "... <not set>" while no file is chosen.
    QString FlowDataLogFileCaption() const;

private:
    void StartSave();
    void SaveFinished(const QString& error);

    MessageSink mm;
    TableSink shown;
    TWriteAlarm* alarm;
    std::function<void()> saved;
    TDataLogBytes bytes;
    QHash<int, QList<TDataColumnDevice>> blockDevices; // by the block's first line
    QString fileName;
    double lastSave = 0;
    QString savingFile;
    double savingSince = 0;
    bool forcedSavePending = false;
    TDataLogWriter writer;
};

// The folder of the data logs: "Logs" in the program folder.
QString DataLogFolder();
// The lines of a data log file; none when it cannot be read.
QStringList ReadDataLogLines(const QString& fileName);

// The operator's answer made fit for a file name: trimmed, without control
// characters and the characters a file name may not hold; "log" when
// nothing is left.
QString CleanDataLogName(const QString& answer);
// The message file that goes with a data log: "_messages" before ".txt".
// The longest name of the log's companion files.
QString DataLogMessageFileName(const QString& dataLogFileName);
// Empty when the files of a data log of this name can be created;
// otherwise why not.
QString DataLogNameProblem(const QString& dataLogFileName);
// "_yyyy-mm-dd-hh" of a local date-time (days).
QString DataLogFileSuffix(double moment);

// The five lines of a header block, one column per device.
QStringList DataTableColumns(const QList<TDeviceInfo>& devices);
// The first column of a data row: the date-time, right-aligned, and " | ".
QString DataRowTimeColumn(double moment);
// One device column of a data row: "?" for no reading (below -9999),
// otherwise "0.0#####", right-aligned, and " | ".
QString DataRowValueColumn(double value);
