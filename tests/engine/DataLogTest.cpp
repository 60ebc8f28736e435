#include "engine/DataLog.h"

#include "base/Clock.h"
#include "base/TextHelpers.h"
#include "engine/WriteAlarm.h"
#include "support/FailingFileWriter.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Saves are written on a thread of their own; the tests look at the outcome.
void SaveAndWait(TDataLog& log, bool force)
{
    log.FlowDataSave(force);
    log.WaitForSaves();
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A data log in a throwaway program folder, on a clock set to
// 2026-10-16 09:00, with the operator's name answer scripted.
class DataLogTest : public ::testing::Test {
protected:
    TempFolder folder;
    TestClock clock;
    RecordingPrompts prompts;
    QStringList logged;
    TDataLog log{[this](const QString& line) { logged << line; }};

    QString LogPath(const QString& extension = QStringLiteral(".txt")) const
    {
        return folder.FilePath(QStringLiteral("Logs/run_2026-10-16-09") + extension);
    }

    void ChooseFile(const QString& answer = QStringLiteral("run"))
    {
        prompts.InputAnswers.enqueue(answer);
        ASSERT_TRUE(log.FlowDataLogFileEnsure(true));
    }
};

TEST_F(DataLogTest, AnswerBecomesFileNameInLogsFolderWithDateAndHour)
{
    struct Case {
        const char* answer;
        const char* fileName;
    };
    const Case cases[] = {
        {"run", "run_2026-10-16-09.txt"},
        {"<>", "log_2026-10-16-09.txt"},     // nothing left after cleaning
        {"a/b:c", "abc_2026-10-16-09.txt"},  // no way into another folder
        {" \t\"x*?|\\y\" ", "xy_2026-10-16-09.txt"},
        {"night\r\nrun\t2", "nightrun2_2026-10-16-09.txt"}, // a pasted name with its line break
        {"..", ".._2026-10-16-09.txt"},                     // stays in Logs: the suffix follows
        {"../../etc/passwd", "....etcpasswd_2026-10-16-09.txt"},
        {"\x1b[2J\x7f\x01run", "[2Jrun_2026-10-16-09.txt"},    // terminal escapes lose their control bytes
    };
    for (const Case& c : cases) {
        prompts.InputAnswers.enqueue(QString::fromUtf8(c.answer));
        EXPECT_TRUE(log.FlowDataLogFileEnsure(true)) << c.answer;
        EXPECT_EQ(log.DataLogFileName(), folder.FilePath(QStringLiteral("Logs/") + c.fileName)) << c.answer;
        EXPECT_EQ(logged.last(), QStringLiteral("Data log file: ") + c.fileName);
        EXPECT_EQ(log.FlowDataLogFileCaption(), QStringLiteral("Data log file: ") + c.fileName);
    }
    EXPECT_EQ(prompts.Questions.first(), QStringLiteral("Name for the data log file (date and hour are added):"));
}

TEST_F(DataLogTest, AsksOnlyWhenNeededAndCancelKeepsTheFile)
{
    EXPECT_EQ(log.FlowDataLogFileCaption(), QStringLiteral("Data log file: <not set>"));
    EXPECT_FALSE(log.FlowDataLogFileEnsure(false)); // cancelled, nothing chosen
    EXPECT_TRUE(log.DataLogFileName().isEmpty());

    ChooseFile();
    const int questions = prompts.Questions.size();
    EXPECT_TRUE(log.FlowDataLogFileEnsure(false));
    EXPECT_EQ(prompts.Questions.size(), questions); // a chosen file is not asked again

    EXPECT_TRUE(log.FlowDataLogFileEnsure(true)); // asked, cancelled
    EXPECT_EQ(prompts.Questions.size(), questions + 1);
    EXPECT_EQ(log.DataLogFileName(), LogPath());
}

TEST_F(DataLogTest, NameWhoseFilesCannotBeWrittenIsRefusedAndAskedAgain)
{
    struct Case {
        const char* name;
        QString answer;
        const char* failingPath; // the writer fails on paths containing this
        const char* message;
    };
    const Case cases[] = {
        {"longer than a file name may be", QString(300, QLatin1Char('n')), nullptr,
         "Name too long for this file system"},
        {"disk full", QStringLiteral("run"), "_messages", "No space left on device"},
    };
    for (const Case& c : cases) {
        FailingFileWriter writer;
        if (c.failingPath)
            writer.Fail(QString::fromLatin1(c.failingPath));
        prompts.Messages.clear();
        prompts.Questions.clear();
        prompts.InputAnswers.enqueue(c.answer); // then cancelled

        EXPECT_FALSE(log.FlowDataLogFileEnsure(true)) << c.name;
        EXPECT_TRUE(log.DataLogFileName().isEmpty()) << c.name;
        EXPECT_EQ(prompts.Questions.size(), 2) << c.name;
        ASSERT_EQ(prompts.Messages.size(), 1) << c.name;
        EXPECT_TRUE(prompts.Messages.first().contains(QString::fromLatin1(c.message))) << c.name;
    }
    // The test file is gone again; nothing else was left behind.
    EXPECT_TRUE(QDir(folder.FilePath(QStringLiteral("Logs"))).isEmpty());
}

TEST_F(DataLogTest, SavesFailingForAMinuteRaiseTheAlarmOncePerEpisode)
{
    QStringList shown;
    TWriteAlarm alarm([&](bool raised, const QString& reasons) { shown << (raised ? reasons : QString()); });
    TDataLog watched([this](const QString& line) { logged << line; }, {}, &alarm);
    prompts.InputAnswers.enqueue(QStringLiteral("run"));
    ASSERT_TRUE(watched.FlowDataLogFileEnsure(false));
    watched.AppendDataLines({QStringLiteral("row")});
    FailingFileWriter writer;

    for (int episode = 1; episode <= 2; ++episode) {
        writer.Fail(QStringLiteral(".tmp"));
        logged.clear();
        for (int second = 0; second < 60; ++second) {
            SaveAndWait(watched, false);
            clock.AdvanceSeconds(1);
        }
        EXPECT_FALSE(alarm.Raised()) << "59 s of failures are not yet an alarm";
        EXPECT_EQ(logged.filter(QStringLiteral("Saving data log failed: ")).size(), 60) << "every try is logged";
        SaveAndWait(watched, false);
        EXPECT_TRUE(alarm.Raised());
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_TRUE(shown.last().contains(QStringLiteral("No space left on device"))) << shown.last().toStdString();
        clock.AdvanceSeconds(30);
        SaveAndWait(watched, false);
        EXPECT_EQ(prompts.Messages.size(), episode) << "one message box per episode";

        writer.Heal();
        clock.AdvanceSeconds(1);
        SaveAndWait(watched, false);
        EXPECT_FALSE(alarm.Raised()) << "cleared by the next good save";
        EXPECT_TRUE(shown.last().isEmpty());
        clock.AdvanceSeconds(61);
    }
}

TEST_F(DataLogTest, UnforcedSavesAtMostOncePerMinuteForcedAlways)
{
    log.AppendDataLines({QStringLiteral("one")});
    SaveAndWait(log, true); // no file: nothing happens
    ChooseFile();
    EXPECT_EQ(log.LastDataLogSave(), 0.0);

    SaveAndWait(log, false);
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("one\r\n"));
    EXPECT_EQ(log.LastDataLogSave(), clock.Now());

    clock.AdvanceSeconds(59);
    log.AppendDataLines({QStringLiteral("two")});
    SaveAndWait(log, false);
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("one\r\n"));

    SaveAndWait(log, true);
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("one\r\ntwo\r\n"));

    clock.AdvanceSeconds(61);
    log.AppendDataLines({QStringLiteral("three")});
    SaveAndWait(log, false);
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("one\r\ntwo\r\nthree\r\n"));
    EXPECT_TRUE(logged.filter(QStringLiteral("failed")).isEmpty());
}

TEST_F(DataLogTest, BlankTableIsNotSaved)
{
    ChooseFile();
    SaveAndWait(log, true);
    log.AppendDataLines({QStringLiteral(" "), QString()});
    SaveAndWait(log, true);
    EXPECT_FALSE(QFile::exists(LogPath()));
}

TEST_F(DataLogTest, KeepsTwoPreviousVersionsAndNoTemporaryFile)
{
    ChooseFile();
    for (const char* row : {"first", "second", "third"}) {
        log.AppendDataLines({QString::fromLatin1(row)});
        SaveAndWait(log, true);
    }

    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("first\r\nsecond\r\nthird\r\n"));
    EXPECT_EQ(ReadBytes(LogPath(QStringLiteral(".bak1"))), QByteArray("first\r\nsecond\r\n"));
    EXPECT_EQ(ReadBytes(LogPath(QStringLiteral(".bak2"))), QByteArray("first\r\n"));
    EXPECT_FALSE(QFile::exists(LogPath(QStringLiteral(".tmp"))));
}

TEST_F(DataLogTest, WritesWindows1252WithoutByteOrderMark)
{
    ChooseFile();
    log.AppendDataLines({QStringLiteral("\u00b5l/min \u00ba\r\n2\r3")});
    SaveAndWait(log, true);
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("\xb5l/min \xba\r\n2\r\n3\r\n"));
}

TEST_F(DataLogTest, TableGivesBackEveryLineAsAdded)
{
    // Rows long enough to fill several of the blocks the bytes are kept in.
    const QString row = QStringLiteral("2026-10-16 09:00:00 | ") + QString(200, QLatin1Char('7'));
    QStringList table;
    for (int i = 0; i < 12000; ++i)
        table << row + QString::number(i);
    const struct {
        const char* name;
        QString line;
    } unusual[] = {
        {"code page", QStringLiteral("\u00b5l/min \u00ba")},
        {"outside the code page", QStringLiteral("N\u2082 \u0394")},
        {"line breaks", QStringLiteral("1\r\n2\r3\n")},
        {"empty", QString()},
    };
    for (const auto& c : unusual)
        table.insert(table.size() / 2, c.line);
    for (qsizetype at = 0; at < table.size(); at += 1000)
        log.AppendDataLines(table.mid(at, 1000));
    ASSERT_EQ(log.DataLineCount(), table.size());
    for (const auto& c : unusual)
        EXPECT_TRUE(log.DataTable().contains(c.line)) << c.name;
    EXPECT_EQ(log.DataTable(), table);
    EXPECT_EQ(log.DataLine(table.size() - 1), table.last());
    EXPECT_EQ(log.DataLine(table.size()), QString());
}

TEST_F(DataLogTest, FailedTemporaryFileKeepsPreviousLogAndIsRetried)
{
    ChooseFile();
    log.AppendDataLines({QStringLiteral("kept")});
    SaveAndWait(log, true);
    const double savedAt = log.LastDataLogSave();
    // A folder in the way of the temporary file makes its writing fail.
    ASSERT_TRUE(QDir().mkpath(LogPath(QStringLiteral(".tmp"))));

    clock.AdvanceSeconds(61);
    log.AppendDataLines({QStringLiteral("new")});
    SaveAndWait(log, false);
    ASSERT_FALSE(logged.isEmpty());
    EXPECT_TRUE(logged.last().startsWith(QStringLiteral("Saving data log failed: "))) << logged.last().toStdString();
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("kept\r\n"));
    EXPECT_EQ(log.LastDataLogSave(), savedAt);
    EXPECT_TRUE(log.SaveDue(false)); // the next tick tries again

    ASSERT_TRUE(QDir(LogPath(QStringLiteral(".tmp"))).removeRecursively());
    SaveAndWait(log, false);
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("kept\r\nnew\r\n"));
}

TEST_F(DataLogTest, LogThatCannotBeReplacedIsReportedNotCountedAsSaved)
{
    ChooseFile();
    log.AppendDataLines({QStringLiteral("first")});
    SaveAndWait(log, true);
    log.AppendDataLines({QStringLiteral("second")});
    SaveAndWait(log, true);
    // A folder that cannot be deleted where ".bak2" goes blocks the rotation,
    // so the new table cannot take the log file's place.
    ASSERT_TRUE(QDir().mkpath(LogPath(QStringLiteral(".bak2")) + QStringLiteral("/inside")));
    const double savedAt = log.LastDataLogSave();
    logged.clear();

    log.AppendDataLines({QStringLiteral("third")});
    SaveAndWait(log, true);
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged.first().startsWith(QStringLiteral("Saving data log failed: ")));
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("first\r\nsecond\r\n"));
    EXPECT_EQ(log.LastDataLogSave(), savedAt);
}

TEST_F(DataLogTest, CreatesMissingLogsFolder)
{
    ChooseFile();
    ASSERT_TRUE(QDir(folder.FilePath(QStringLiteral("Logs"))).removeRecursively()); // removed since it was chosen
    log.AppendDataLines({QStringLiteral("row")});
    SaveAndWait(log, true);
    EXPECT_EQ(ReadBytes(LogPath()), QByteArray("row\r\n"));
}

TEST(DataTable, HeaderAndRowsLineUpInFixedWidthColumns)
{
    TDeviceInfo demo;
    demo.DevType = dtMFCDemo;
    demo.FlowUnitUser.Name = QStringLiteral("ml/min");
    TDeviceInfo pump;
    pump.DevType = dtPump;
    pump.FlowUnitUser.Name = QStringLiteral("ul/min");
    pump.FlowUnitUser.GasName = QStringLiteral("Water");
    pump.ThreadPump = reinterpret_cast<TPSD4Thread*>(&pump); // configured: only its presence counts

    const QStringList header = DataTableColumns({demo, pump});
    const QStringList expected = {
        "---------------------+-----------------+-----------------+-",
        "-             Device |             MFC |            Pump | ",
        "-               Unit |       Undefined |          ul/min | ",
        "-                Gas |       Undefined |           Water | ",
        "---------------------+-----------------+-----------------+-",
    };
    EXPECT_EQ(header, expected);

    const QString row = DataRowTimeColumn(46311.375 + 3.0 / SecondsPerDay) + DataRowValueColumn(-999999)
                      + DataRowValueColumn(12.5);
    EXPECT_EQ(row, QStringLiteral(" 2026-10-16 09:00:03 |               ? |            12.5 | "));
    for (const QString& line : header)
        EXPECT_EQ(line.size(), row.size());
    EXPECT_EQ(row.size(), 59);
}

TEST(DataTable, ValueColumn)
{
    struct Case {
        double value;
        const char* cell;
    };
    const Case cases[] = {
        {-9999, "-9999.0"},  // the lowest value still written as a number
        {-10000, "?"},
        {0, "0.0"},
        {1.23456789, "1.234568"},
        {12345678901234.5, "2345678901234.5"}, // a longer text keeps its last 15 characters
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataRowValueColumn(c.value), PadLeft(QString::fromLatin1(c.cell), 15) + " | ") << c.value;
}

} // namespace
