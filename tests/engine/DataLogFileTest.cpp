#include "engine/DataLogFile.h"

#include "base/Clock.h"
#include "engine/DataLog.h"
#include "engine/DataTableCsv.h"
#include "support/FailingFileWriter.h"
#include "support/RecordingPrompts.h"
#include "support/ScopedTimeZone.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

constexpr double NoReading = -1e9; // the engine's marker for a device without a value
constexpr double Start = 46311.375; // 2026-10-16 09:00

// A device as the header block shows it; `unit` set means configured.
TDeviceInfo Device(const char* port, tDeviceType type, const char* name, const char* unit = nullptr,
                   const char* gas = nullptr)
{
    TDeviceInfo device;
    device.COMPort = QString::fromLatin1(port);
    device.DevType = type;
    device.NameRole = QString::fromLatin1(name);
    if (unit) {
        device.FlowUnitUser.Name = QString::fromUtf8(unit);
        device.FlowUnitUser.GasName = QString::fromUtf8(gas);
        device.ThreadPump = reinterpret_cast<TPSD4Thread*>(&device); // configured: only its presence counts
    }
    return device;
}

// `bytes` as the file of a case, in place of the case before.
QString CaseFile(const TempFolder& folder, const QByteArray& bytes)
{
    const QString path = folder.FilePath(QStringLiteral("case.txt"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return path;
}

QString Row(double moment, const QList<double>& values)
{
    QString row = DataRowTimeColumn(moment);
    for (double value : values)
        row += DataRowValueColumn(value);
    return row;
}

// A data table as a run writes it: a first block of two devices, a second
// one after a third device was configured, values of every kind.
class DataTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const TDeviceInfo demo = Device("COMX", dtMFCDemo, "Demo X");
        const TDeviceInfo pump = Device("COM7", dtPump, "Humidifier", "ul/min", "Water");
        const TDeviceInfo mfc = Device("COM6", dtMFCA, "Carrier, dry", "mln/min", "N2");
        log.AppendHeaderBlock({demo, pump});
        AddRow(0, {NoReading, 12.5});
        AddRow(3, {0, 0.000001});
        log.AppendHeaderBlock({demo, pump, mfc});
        AddRow(6, {NoReading, -3.25, 123456.789012});
        AddRow(9, {1.5, NoReading, 99.999999});
    }

    void AddRow(double seconds, const QList<double>& values)
    {
        log.AppendDataLines({Row(Start + seconds / SecondsPerDay, values)});
        written.append({seconds, values});
    }

    // Every row of `content` holds what was written, in order.
    void ExpectWrittenRows(const TDataLogContent& content) const
    {
        QList<const TDataLogRow*> rows;
        for (const TDataLogBlock& block : content.Blocks) {
            for (const TDataLogRow& row : block.Rows)
                rows << &row;
        }
        ASSERT_EQ(rows.size(), written.size());
        for (int i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i]->Time, DaysToDateTime(Start + written[i].seconds / SecondsPerDay)) << "row " << i;
            ASSERT_EQ(rows[i]->Values.size(), written[i].values.size()) << "row " << i;
            for (int c = 0; c < rows[i]->Values.size(); ++c) {
                const double value = written[i].values[c];
                if (value == NoReading)
                    EXPECT_FALSE(rows[i]->Values[c].has_value()) << "row " << i << " column " << c;
                else
                    EXPECT_EQ(rows[i]->Values[c], value) << "row " << i << " column " << c;
            }
        }
    }

    struct Written {
        double seconds;
        QList<double> values;
    };

    TempFolder folder;
    TestClock clock;
    RecordingPrompts prompts;
    TDataLog log{[](const QString&) {}};
    QList<Written> written;
};

TEST_F(DataTableTest, LogFileWrittenByTheProgramReadsBackValueForValue)
{
    prompts.InputAnswers.enqueue(QStringLiteral("run"));
    ASSERT_TRUE(log.FlowDataLogFileEnsure(true));
    log.FlowDataSave(true);
    log.WaitForSaves();

    TDataLogContent content;
    QString error;
    ASSERT_TRUE(ReadDataLogFile(log.DataLogFileName(), content, error)) << error.toStdString();
    EXPECT_TRUE(content.Note.isEmpty());
    ASSERT_EQ(content.Blocks.size(), 2);
    EXPECT_EQ(content.Blocks[0].FirstLine, 0);
    EXPECT_EQ(content.Blocks[1].FirstLine, 7);
    ExpectWrittenRows(content);

    QStringList names;
    for (const TDataLogColumn& column : content.Blocks[1].Columns)
        names << DataLogColumnName(column);
    // A file knows no ports or names: only what its header block says.
    EXPECT_EQ(names, QStringList({"MFC (Undefined, Undefined)", "Pump (ul/min, Water)", "MFC-A (mln/min, N2)"}));
}

TEST_F(DataTableTest, CsvHasAHeaderRowPerBlockLocalTimesWithOffsetAndEmptyCellsForNoValue)
{
    const ScopedTimeZone berlin("Europe/Berlin");
    TDataLogContent content;
    QString error;
    ASSERT_TRUE(LiveDataTableContent(log, content, error)) << error.toStdString();
    ExpectWrittenRows(content);

    // Names hold ", ": every such field is quoted.
    const QString expected = QStringLiteral(
        "Time,\"MFC (Undefined, Undefined) COMX Demo X\",\"Pump (ul/min, Water) COM7 Humidifier\"\r\n"
        "2026-10-16T09:00:00+02:00,,12.5\r\n"
        "2026-10-16T09:00:03+02:00,0,0.000001\r\n"
        "Time,\"MFC (Undefined, Undefined) COMX Demo X\",\"Pump (ul/min, Water) COM7 Humidifier\","
        "\"MFC-A (mln/min, N2) COM6 Carrier, dry\"\r\n"
        "2026-10-16T09:00:06+02:00,,-3.25,123456.789012\r\n"
        "2026-10-16T09:00:09+02:00,1.5,,99.999999\r\n");
    EXPECT_EQ(QString::fromUtf8(DataTableCsv(content)), expected);
}

// Qt hands the C library the user's locale; a decimal comma there must not
// reach the CSV, which analysis tools read with ".".
TEST_F(DataTableTest, CsvNumbersKeepTheirPointInACommaLocale)
{
    struct Locales {
        std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
        QLocale qt;
        ~Locales()
        {
            std::setlocale(LC_NUMERIC, numeric.c_str());
            QLocale::setDefault(qt);
        }
    } restore;
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale installed";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    TDataLogContent content;
    QString error;
    ASSERT_TRUE(LiveDataTableContent(log, content, error)) << error.toStdString();
    const QString csv = QString::fromUtf8(DataTableCsv(content));
    EXPECT_TRUE(csv.contains(QStringLiteral(",-3.25,123456.789012\r\n"))) << csv.toStdString();
    EXPECT_TRUE(csv.contains(QStringLiteral(",0,0.000001\r\n"))) << csv.toStdString();
}

TEST_F(DataTableTest, CsvThatCannotBeWrittenIsReportedAndLeavesNoFile)
{
    TDataLogContent content;
    QString error;
    ASSERT_TRUE(LiveDataTableContent(log, content, error)) << error.toStdString();
    FailingFileWriter writer;
    writer.Fail(QStringLiteral("table.csv"));
    const QString path = folder.FilePath(QStringLiteral("table.csv"));
    EXPECT_FALSE(WriteDataTableCsv(path, content, error));
    EXPECT_TRUE(error.contains(QStringLiteral("No space left on device"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

// Around the end of daylight saving the clock shows 02:00 to 02:59 twice:
// the rows still move forwards, and the offset says which hour is meant.
TEST(DataLogFile, RepeatedHourAtTheEndOfDaylightSavingKeepsTheRowsInOrder)
{
    const ScopedTimeZone berlin("Europe/Berlin");
    const QStringList lines = DataTableColumns({Device("COM6", dtMFCA, "")})
                            + QStringList{QStringLiteral(" 2026-10-25 02:59:57 |             1.0 | "),
                                          QStringLiteral(" 2026-10-25 02:00:00 |             2.0 | "),
                                          QStringLiteral(" 2026-10-25 02:00:03 |             3.0 | ")};
    TDataLogContent content;
    QString error;
    ASSERT_TRUE(ParseDataLogLines(lines, content, error)) << error.toStdString();
    const QList<TDataLogRow>& rows = content.Blocks[0].Rows;
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].Time.secsTo(rows[1].Time), 3);
    EXPECT_EQ(rows[1].Time.secsTo(rows[2].Time), 3);
    const QString csv = QString::fromUtf8(DataTableCsv(content));
    EXPECT_TRUE(csv.contains(QStringLiteral("2026-10-25T02:59:57+02:00,1\r\n2026-10-25T02:00:00+01:00,2\r\n")))
        << csv.toStdString();
}

// What editors, copies and cut-off files do to a log; each case still reads.
TEST_F(DataTableTest, ReadsLogsAsEditorsAndCutFilesLeaveThem)
{
    const QString whole = log.DataTable().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    struct Case {
        const char* name;
        QByteArray bytes;
        int rows;
        bool note;
    };
    QString trailingBlanksDropped = whole;
    trailingBlanksDropped.replace(QStringLiteral(" \r\n"), QStringLiteral("\r\n"));
    QString blankLines = whole;
    blankLines.replace(QStringLiteral("\r\n "), QStringLiteral("\r\n\r\n  \r\n "));
    const Case cases[] = {
        {"as written", whole.toLatin1(), 4, false},
        {"line feeds only", QString(whole).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toLatin1(), 4, false},
        {"trailing blanks dropped", trailingBlanksDropped.toLatin1(), 4, false},
        {"blank lines between", blankLines.toLatin1(), 4, false},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + whole.toUtf8(), 4, false},
        {"last row cut in its last number", whole.toLatin1().chopped(6), 3, true},
        {"last row cut after its time", whole.toLatin1().chopped(40), 3, true},
        {"cut inside a second header block", log.DataTable().mid(0, 5 + 2 + 3).join(QStringLiteral("\r\n")).toLatin1(),
         2, true},
    };
    for (const Case& c : cases) {
        const QString path = CaseFile(folder, c.bytes);
        TDataLogContent content;
        QString error;
        ASSERT_TRUE(ReadDataLogFile(path, content, error)) << c.name << ": " << error.toStdString();
        EXPECT_EQ(content.RowCount(), c.rows) << c.name;
        EXPECT_EQ(!content.Note.isEmpty(), c.note) << c.name;
        if (c.rows == 4)
            ExpectWrittenRows(content);
    }
}

TEST(DataLogFile, RefusesWhatIsNoDataLogAndSaysWhy)
{
    TempFolder folder;
    const QStringList header = DataTableColumns({Device("COM6", dtMFCA, "")});
    const QString row = QStringLiteral(" 2026-10-16 09:00:00 |            12.5 | ");
    const auto text = [](const QStringList& lines) { return lines.join(QStringLiteral("\r\n")).toLatin1(); };
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty file", QByteArray(), "holds no header block"},
        {"a picture", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "binary data"},
        {"prose", "Dear operator,\r\nthe rig is ready.\r\n", "line 1 is neither part of a header block nor a data row"},
        {"row before any header", text(QStringList{row} + header), "line 1 is a data row before the first header block"},
        {"row missing a column", text(header + QStringList{row.left(23), row}),
         "line 6 does not have the 1 columns of its header block"},
        {"row with an extra column", text(header + QStringList{row + QStringLiteral("            12.5 | "), row}),
         "line 6 does not have the 1 columns"},
        {"word where a number belongs", text(header + QStringList{QStringLiteral(" 2026-10-16 09:00:00 |            high | "), row}),
         "line 6 holds \"high\" where a number or \"?\" belongs"},
        {"not a number", text(header + QStringList{QStringLiteral(" 2026-10-16 09:00:00 |             nan | "), row}),
         "line 6 holds \"nan\""},
        {"header block without its unit line", text(QStringList{header[0], header[1], header[3], header[4], row, row}),
         "line 1 begins a header block that is not whole"},
    };
    for (const Case& c : cases) {
        const QString path = CaseFile(folder, c.bytes);
        TDataLogContent content;
        content.Note = QStringLiteral("left from before");
        QString error;
        EXPECT_FALSE(ReadDataLogFile(path, content, error)) << c.name;
        EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot open \"%1\" as a data log: ").arg(path))) << c.name;
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.reason))) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(content.Blocks.isEmpty() && content.Note.isEmpty()) << c.name;
    }

    // A file far beyond any log is refused before it is read into memory.
    QFile huge(folder.FilePath(QStringLiteral("huge.txt")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(MaxDataLogFileBytes + 1)); // sparse: nothing is written
    huge.close();
    TDataLogContent content;
    QString error;
    EXPECT_FALSE(ReadDataLogFile(huge.fileName(), content, error));
    EXPECT_TRUE(error.contains(QStringLiteral("larger than 256 MB"))) << error.toStdString();
}

} // namespace
