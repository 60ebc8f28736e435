#include "RunFixture.h"

#include "sim/VirtualMFC.h"
#include "support/ScopedTimeZone.h"
#include "ui/DataLogTableModel.h"
#include "ui/DataLogWindow.h"
#include "ui/widgets/RtGraph2D.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>

#include <optional>

namespace {

// What an analysis tool makes of a CSV file: Python's csv module reads it,
// each header row as its fields, each data row as its local time, UTC
// offset and numbers (None for an empty cell).
const char* const ReadCsvInPython = R"(
import csv, datetime, json, sys
rows = []
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    for row in csv.reader(f):
        if row[0] == 'Time':
            rows.append({'header': row})
        else:
            t = datetime.datetime.fromisoformat(row[0])
            rows.append({'time': t.strftime('%Y-%m-%d %H:%M:%S'), 'offset': t.utcoffset().total_seconds(),
                         'values': [None if c == '' else float(c) for c in row[1:]]})
json.dump(rows, sys.stdout)
)";

QJsonArray ReadCsvWithPython(const QString& path)
{
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(ReadCsvInPython), path});
    // Generous: Python starts in well under a second.
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        ADD_FAILURE() << "python3: " << python.errorString().toStdString() << python.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

// The cells of a line of the data table between its "|" separators.
QStringList Cells(const QString& line)
{
    QStringList cells = line.split(QLatin1Char('|'));
    cells.removeLast(); // after the last separator
    for (QString& cell : cells)
        cell = cell.trimmed();
    return cells;
}

// The data table as the window shows it, taken apart with nothing but its
// "|" separators: per header block a header row, then the rows, as Python
// reads them from the CSV. `ports` adds each column's port and name.
QJsonArray ExpectedRows(const QStringList& table, bool ports)
{
    QJsonArray rows;
    for (int i = 0; i < table.size(); ++i) {
        if (table[i].startsWith(QLatin1Char('-'))) {
            const QStringList types = Cells(table[i + 1]), units = Cells(table[i + 2]), gases = Cells(table[i + 3]);
            QJsonArray header{QStringLiteral("Time")};
            for (int c = 1; c < types.size(); ++c) {
                QString name = QStringLiteral("%1 (%2, %3)").arg(types[c], units[c], gases[c]);
                if (ports) {
                    const TDeviceInfo& device = DevicesLocal.at(c - 1);
                    name += u' ' + device.COMPort + (device.NameRole.isEmpty() ? QString() : u' ' + device.NameRole);
                }
                header.append(name);
            }
            rows.append(QJsonObject{{QStringLiteral("header"), header}});
            i += 4;
            continue;
        }
        const QStringList cells = Cells(table[i]);
        QJsonArray values;
        for (int c = 1; c < cells.size(); ++c)
            values.append(cells[c] == QStringLiteral("?") ? QJsonValue() : QJsonValue(cells[c].toDouble()));
        const QDateTime local = QDateTime::fromString(cells[0], QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        rows.append(QJsonObject{{QStringLiteral("time"), cells[0]},
                                {QStringLiteral("offset"), double(local.offsetFromUtc())},
                                {QStringLiteral("values"), values}});
    }
    return rows;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A run of a controller on the virtual rig (COM6) beside the demonstration
// devices: COM6 alone first, with "?" for the others, then COMX configured
// and started too, which begins a second header block.
class DataOutTest : public RunFixture {
protected:
    void BeforeWindow() override
    {
        mfc.SetSerialNumber(QStringLiteral("432389"));
        ASSERT_TRUE(mfc.Start() && mfc.Register(QStringLiteral("COM6")));
        TDeviceInfo controller;
        ASSERT_TRUE(FindKnownDevice(QStringLiteral("432389"), controller));
        controller.COMPort = QStringLiteral("COM6");
        DevicesLocal.prepend(controller);
    }

    void RunTwoBlocks()
    {
        SetProgram(QStringLiteral("COM6"), QStringLiteral("0 40 Step\r\n1 80 Ramp"));
        Configure(QStringLiteral("COM6"), "ComboBoxDeviceFluid", 8);
        prompts.InputAnswers.enqueue(QStringLiteral("run"));
        Click("BitBtn1");
        for (int i = 0; i < 3; ++i)
            ASSERT_NO_FATAL_FAILURE(TickOnReadings(3, {QStringLiteral("COM6")}));
        Configure(QStringLiteral("COMX"), "ComboBoxDeviceFluid", 0);
        Click("BitBtn1");
        for (int i = 0; i < 3; ++i)
            ASSERT_NO_FATAL_FAILURE(TickOnReadings(3, {QStringLiteral("COM6"), QStringLiteral("COMX")}));
        ASSERT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join('\n').toStdString();
        ASSERT_EQ(window->DataLog().DataTable().filter(QRegularExpression(QStringLiteral("^-+\\+"))).size(), 4)
            << "two header blocks";
    }

    QString LogPath() const { return folder.FilePath(QStringLiteral("Logs/run_2026-10-16-09.txt")); }

    // Saves the table and waits until its file holds it.
    void SaveLog()
    {
        window->FlowDataSave(true);
        const QByteArray table = (window->DataLog().DataTable().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
        ASSERT_TRUE(WaitProcessingEvents([&] { return FileBytes(LogPath()) == table; }, 10000));
    }

    TDataLogWindow* OpenLog(const QString& path)
    {
        prompts.FileAnswers.enqueue(path);
        Find<QAction>("OpenDataLog1")->trigger();
        return window->findChild<TDataLogWindow*>();
    }

    // Local times with an offset other than zero, so a missing one shows.
    const ScopedTimeZone berlin{"Europe/Berlin"};
    // The instrument outlives the window: the base tear-down closes it first.
    VirtualMFC mfc;
};

TEST_F(DataOutTest, CsvOfASimulatedRunReadsInPythonWithEveryValueOfTheTable)
{
    ASSERT_NO_FATAL_FAILURE(RunTwoBlocks());
    const QString csv = folder.FilePath(QStringLiteral("run.csv"));
    prompts.FileAnswers.enqueue(csv);
    Find<QAction>("ExportDataTableAsCSV1")->trigger();
    ASSERT_EQ(prompts.FileRequests.size(), 1);
    EXPECT_EQ(prompts.FileRequests[0].FileName, QStringLiteral("run_2026-10-16-09.csv"));
    EXPECT_TRUE(WaitProcessingEvents(
        [&] { return Find<QPlainTextEdit>("MemoMain")->toPlainText().contains(QStringLiteral("Data table exported: ") + csv); },
        5000));

    const QJsonArray expected = ExpectedRows(window->DataLog().DataTable(), true);
    EXPECT_EQ(expected.size(), 2 + 6);
    EXPECT_EQ(ReadCsvWithPython(csv), expected);
}

TEST_F(DataOutTest, LoggedRunReopensInAWindowOfItsOwnRowForRow)
{
    ASSERT_NO_FATAL_FAILURE(RunTwoBlocks());
    ASSERT_NO_FATAL_FAILURE(SaveLog());
    const QStringList table = window->DataLog().DataTable();
    const int liveSeries = Find<TRtGraph2D>("RtGraph2DMain")->graphCount();

    TDataLogWindow* reopened = OpenLog(LogPath());
    ASSERT_NE(reopened, nullptr) << prompts.Messages.join('\n').toStdString();
    EXPECT_TRUE(reopened->isVisible());
    EXPECT_EQ(Find<TRtGraph2D>("RtGraph2DMain")->graphCount(), liveSeries) << "the live chart is left alone";

    // Every row, value for value, in the window's own table and chart.
    const TDataLogContent& content = reopened->Content();
    ASSERT_EQ(content.Blocks.size(), 2);
    EXPECT_EQ(content.RowCount(), 6);
    QJsonArray reopenedRows;
    for (const TDataLogBlock& block : content.Blocks) {
        QJsonArray header{QStringLiteral("Time")};
        for (const TDataLogColumn& column : block.Columns)
            header.append(QStringLiteral("%1 (%2, %3)").arg(column.Device, column.Unit, column.Gas));
        reopenedRows.append(QJsonObject{{QStringLiteral("header"), header}});
        for (const TDataLogRow& row : block.Rows) {
            QJsonArray values;
            for (const std::optional<double>& value : row.Values)
                values.append(value ? QJsonValue(*value) : QJsonValue());
            reopenedRows.append(QJsonObject{{QStringLiteral("time"), row.Time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
                                            {QStringLiteral("offset"), double(row.Time.offsetFromUtc())},
                                            {QStringLiteral("values"), values}});
        }
    }
    EXPECT_EQ(reopenedRows, ExpectedRows(table, false));
    auto* view = reopened->findChild<QTableView*>(QStringLiteral("TableViewDataLog"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 6 + 1) << "the rows and the second block's header row";
    EXPECT_EQ(reopened->Chart()->graphCount(), 2) << "COM6 and the configured COMX; nothing to draw for the others";

    // Its own export writes the same rows; a file knows no ports or names.
    const QString csv = folder.FilePath(QStringLiteral("reopened.csv"));
    prompts.FileAnswers.enqueue(csv);
    reopened->findChild<QAction*>(QStringLiteral("ExportDataTableAsCSV1"))->trigger();
    EXPECT_EQ(prompts.FileRequests.last().FileName, QStringLiteral("run_2026-10-16-09.csv"));
    EXPECT_EQ(ReadCsvWithPython(csv), ExpectedRows(table, false));
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join('\n').toStdString();
}

TEST_F(DataOutTest, ChartsAreSavedAsPngOrPdfAtTheirSize)
{
    ASSERT_NO_FATAL_FAILURE(RunTwoBlocks());
    ASSERT_NO_FATAL_FAILURE(SaveLog());
    TDataLogWindow* reopened = OpenLog(LogPath());
    ASSERT_NE(reopened, nullptr);
    struct Case {
        const char* name;
        QWidget* window;
        TRtGraph2D* chart;
        const char* file;
        const char* message; // the failure shown; none when saved
    };
    const Case cases[] = {
        {"live chart as PNG", window.get(), Find<TRtGraph2D>("RtGraph2DMain"), "live.png", nullptr},
        {"live chart as PDF", window.get(), Find<TRtGraph2D>("RtGraph2DMain"), "live.PDF", nullptr},
        {"reopened chart as PNG", reopened, reopened->Chart(), "reopened.png", nullptr},
        {"reopened chart as PDF", reopened, reopened->Chart(), "reopened.pdf", nullptr},
        {"neither PNG nor PDF", window.get(), Find<TRtGraph2D>("RtGraph2DMain"), "live.jpg",
         "Saving the chart failed: A chart is saved as a PNG or a PDF file: name it .png or .pdf."},
        {"folder missing", window.get(), Find<TRtGraph2D>("RtGraph2DMain"), "missing/live.png",
         "Saving the chart failed: Cannot write file"},
    };
    for (const Case& c : cases) {
        prompts.Messages.clear();
        const QString path = folder.FilePath(QString::fromLatin1(c.file));
        prompts.FileAnswers.enqueue(path);
        c.window->findChild<QAction*>(QStringLiteral("SaveChartAs1"))->trigger();
        if (c.message) {
            ASSERT_EQ(prompts.Messages.size(), 1) << c.name;
            EXPECT_TRUE(prompts.Messages[0].startsWith(QString::fromLatin1(c.message))) << c.name;
            EXPECT_FALSE(QFile::exists(path)) << c.name;
            continue;
        }
        EXPECT_TRUE(prompts.Messages.isEmpty()) << c.name;
        const QByteArray bytes = FileBytes(path);
        if (path.endsWith(QStringLiteral(".png"))) {
            const QImage picture = QImage::fromData(bytes, "PNG");
            ASSERT_FALSE(picture.isNull()) << c.name;
            EXPECT_EQ(picture.size(), c.chart->size()) << c.name;
        } else {
            EXPECT_TRUE(bytes.startsWith("%PDF")) << c.name;
            EXPECT_GT(bytes.size(), 1000) << c.name;
        }
    }
}

TEST_F(DataOutTest, WhatCannotBeTakenOutIsSaidAndOpensNothing)
{
    Find<QAction>("ExportDataTableAsCSV1")->trigger();
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("The data table holds no rows yet.")});
    EXPECT_TRUE(prompts.FileRequests.isEmpty()) << "no file asked for";

    prompts.Messages.clear();
    Find<QAction>("OpenDataLog1")->trigger(); // cancelled
    const QString notALog = folder.FilePath(QStringLiteral("notes.txt"));
    QFile notes(notALog);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("Dear operator,\r\nthe rig is ready.\r\n");
    notes.close();
    EXPECT_EQ(OpenLog(notALog), nullptr);
    ASSERT_EQ(prompts.Messages.size(), 1);
    EXPECT_EQ(prompts.Messages[0],
              QStringLiteral("Cannot open \"%1\" as a data log: line 1 is neither part of a header block nor a data row.")
                  .arg(QDir::toNativeSeparators(notALog)));
    EXPECT_EQ(prompts.FileRequests[0].InitialDir, folder.FilePath(QStringLiteral("Logs")));
}

} // namespace
