// The log file of a simulated day, byte for byte: whatever way the table is
// kept and saved, the file must stay what operators' tools already read.
#include "engine/DataLog.h"

#include "base/Clock.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <QCryptographicHash>
#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr int Devices = 8;
constexpr int RowSeconds = 3;
constexpr double StartDays = 46311.375; // 2026-10-16 09:00

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Flows that vary from row to row and device to device, with a missing
// reading now and then and a negative one near zero.
double Reading(int row, int device)
{
    if ((row + device) % 997 == 0)
        return -1e6; // no reading
    const int wave = (row * (device + 3) + device * 101) % 2000;
    return (wave - 50) / 7.0 + device * 12.5;
}

// A day's table as the engine builds it: a header block, a row every 3 s,
// and a second header block where the devices were changed at noon.
QStringList DayTable(int rows)
{
    QList<TDeviceInfo> devices;
    for (int d = 0; d < Devices; ++d) {
        TDeviceInfo device;
        device.DevType = d % 2 ? dtMFCA : dtMFCDemo;
        devices << device;
    }
    QStringList table = DataTableColumns(devices);
    for (int row = 0; row < rows; ++row) {
        if (row == rows / 2)
            table += DataTableColumns(devices);
        QString line = DataRowTimeColumn(StartDays + double(row) * RowSeconds / SecondsPerDay);
        for (int d = 0; d < Devices; ++d)
            line += DataRowValueColumn(Reading(row, d));
        table << line;
    }
    return table;
}

// Saves the table in `parts` appends with a save after each, as a run does,
// and returns the bytes of the log file.
QByteArray SavedFile(const QStringList& table, int parts)
{
    TempFolder folder;
    TestClock clock;
    RecordingPrompts prompts;
    TDataLog log([](const QString&) {});
    prompts.InputAnswers.enqueue(QStringLiteral("day"));
    if (!log.FlowDataLogFileEnsure(true))
        return {};
    const qsizetype step = (table.size() + parts - 1) / parts;
    for (qsizetype at = 0; at < table.size(); at += step) {
        log.AppendDataLines(table.mid(at, step));
        log.FlowDataSave(true);
    }
    log.WaitForSaves();
    return ReadBytes(log.DataLogFileName());
}

TEST(DataLogDayFile, ShortRunMatchesTheKeptFile)
{
    const QByteArray expected = ReadBytes(QStringLiteral(TARVO_TEST_FIXTURES "/DataLogShortRun.txt"));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(SavedFile(DayTable(24), 1), expected);
    EXPECT_EQ(SavedFile(DayTable(24), 5), expected) << "saved in parts";
}

TEST(DataLogDayFile, DayMatchesTheKeptChecksum)
{
    constexpr int DayRows = 86400 / RowSeconds;
    const QByteArray bytes = SavedFile(DayTable(DayRows), 24);
    EXPECT_EQ(bytes.size(), 4868890);
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(), QByteArray("01e93936b97031753981b1ce22641bb5f9539c0f06f5efd364826ce7561037da"));
}

} // namespace
