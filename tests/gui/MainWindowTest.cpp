#include "WindowFixture.h"

#include "ui/DataTableView.h"
#include "ui/widgets/RtGraph2D.h"
#include "ui/widgets/RtPointSeries.h"
#include "ui/widgets/hhALed.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

namespace {

using MainWindowTest = WindowFixture;

TEST_F(MainWindowTest, StartsUpWithCaptionFirstPageMinutesAndTheDemonstrationDevices)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarvo 2026-10-16"));
    EXPECT_EQ(window->minimumWidth(), 691);
    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget()->objectName(), QStringLiteral("TabSheetConfigure"));
    EXPECT_TRUE(Find<QAction>("Minute1")->isChecked());
    EXPECT_FALSE(Find<QAction>("Hour1")->isChecked());
    EXPECT_FALSE(Find<QAction>("Day1")->isChecked());
    EXPECT_EQ(window->TimeUnitFactor(), 1.0);
    EXPECT_EQ(Find<TRtGraph2D>("RtGraph2DMain")->XAxis1().Caption(), QStringLiteral("Time, m"));
    EXPECT_EQ(Find<QLabel>("LabelSegmentStartTime")->text(), QStringLiteral("Start time, m"));
    EXPECT_EQ(Find<QAction>("LogFile1")->text(), QStringLiteral("Data log file: <not set>"));
    EXPECT_TRUE(QDir(QStringLiteral("Segment Programs")).exists());
    EXPECT_TRUE(QDir(QStringLiteral("Logs")).exists());

    QTreeWidget* devices = Devices();
    const QStringList columns = {"COM port", "State", "Instrument", "Device", "Name or role"};
    ASSERT_EQ(devices->columnCount(), columns.size());
    for (int c = 0; c < columns.size(); ++c)
        EXPECT_EQ(devices->headerItem()->text(c), columns.at(c));
    ASSERT_EQ(devices->topLevelItemCount(), 2);
    const QStringList rows[] = {{"COMX", "Unknown", "Simulated", "MFC", "Virtual Demo"},
                                {"COMY", "Unknown", "Simulated", "MFC", "Virtual Demo"}};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < columns.size(); ++c)
            EXPECT_EQ(devices->topLevelItem(r)->text(c), rows[r].at(c)) << r << "," << c;
    }

    // The data area shows the graph; the two tables wait hidden.
    EXPECT_TRUE(Find<TRtGraph2D>("RtGraph2DMain")->isVisible());
    EXPECT_TRUE(Find<QPlainTextEdit>("MemoSegments")->isHidden());
    EXPECT_TRUE(Find<TDataTableView>("MemoData")->isHidden());
}

TEST_F(MainWindowTest, LayoutHasItsNamedPanelsAndPagesInOrder)
{
    for (const char* name : {"PanelData", "PanelBottomMemo", "PanelHelp", "PanelStatusBar", "PanelSelectDevice",
                             "PanelActions", "MemoMain", "DzHTMLTextTips", "ListViewSegmentProgram"})
        Find<QWidget>(name);
    for (const char* name : {"SplitterTop", "SplitterBottom", "SplitterVertical"})
        Find<QSplitter>(name);

    const QStringList pages[] = {{"TabSheetConfigure", "Configure"},   {"TabSheetSegment", "Design segments"},
                                 {"TabSheetDirectControl", "Direct control"}, {"TabSheetMixtures", "Mixtures"},
                                 {"TabSheetTools", "Tools"},           {"TabSheet1", "Designer"}};
    QTabWidget* tabs = Find<QTabWidget>("PageControl1");
    ASSERT_EQ(tabs->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tabs->widget(i)->objectName(), pages[i].at(0));
        EXPECT_EQ(tabs->tabText(i), pages[i].at(1));
        EXPECT_FALSE(tabs->tabIcon(i).isNull()) << i;
    }
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsChecksAndHeadings)
{
    enum State { Plain, Checked, Unchecked, Disabled, Separator };
    struct Item {
        const char* menu;
        const char* name;
        const char* caption;
        State state;
    };
    const Item items[] = {
        {"File1", "LogFile1", "Data log file: <not set>", Plain},
        {"File1", "Savesoftwarestate1", "Save software state", Plain},
        {"File1", "Loadsoftwarestate1", "Load software state", Plain},
        {"File1", "N1", "", Separator},
        {"File1", "OpenDataLog1", "Open data log...", Plain},
        {"File1", "ExportDataTableAsCSV1", "Export data table as CSV...", Plain},
        {"File1", "SaveChartAs1", "Save chart as...", Plain},
        {"imeUnit1", "Minute1", "Minute", Checked},
        {"imeUnit1", "Hour1", "Hour", Unchecked},
        {"imeUnit1", "Day1", "Day", Unchecked},
        {"Graph1", "ShowTable1", "Show Graph", Checked},
        {"Graph1", "ShowSegmentProgram1", "Show Segment Program Table", Unchecked},
        {"Graph1", "ShowData1", "Show Data Table", Unchecked},
        {"Graph1", "N2", "", Separator},
        {"Graph1", "Graph2", "Graph", Disabled},
        {"Graph1", "ShowSegmentPrograms1", "Show Segment Programs", Checked},
        {"Graph1", "Showachievedflows1", "Show Device Flows", Checked},
        {"Graph1", "Cleargraphdiscarddata1", "Clear Graph && Remove Data", Plain},
        {"Graph1", "N3", "", Separator},
        {"Graph1", "DataTable1", "Data Table", Disabled},
        {"Graph1", "Autoscrolltolastline1", "Auto-scroll to last line", Checked},
        {"Devices1", "Searchdevices1", "Search Devices", Plain},
        {"Devices1", "Resetsoftware1", "Reset Devices", Plain},
        {"PopupMenuSegment", "SaveSegmentProgramAs1", "Load Segment Program", Plain},
        {"PopupMenuSegment", "LoadSegmentProgram2", "Save Segment Program As", Plain},
    };
    QMap<QString, int> position;
    for (const Item& item : items) {
        QMenu* menu = Find<QMenu>(item.menu);
        ASSERT_NE(menu, nullptr);
        const int index = position[item.menu]++;
        ASSERT_LT(index, menu->actions().size()) << item.name;
        const QAction* action = menu->actions().at(index);
        EXPECT_EQ(action->objectName(), QString::fromLatin1(item.name));
        EXPECT_EQ(action->text(), QString::fromLatin1(item.caption)) << item.name;
        EXPECT_EQ(action->isSeparator(), item.state == Separator) << item.name;
        EXPECT_EQ(action->isEnabled(), item.state != Disabled) << item.name;
        EXPECT_EQ(action->isChecked(), item.state == Checked) << item.name;
        EXPECT_EQ(action->isCheckable(), item.state == Checked || item.state == Unchecked) << item.name;
    }
    QStringList titles;
    for (QAction* menu : Find<QMenuBar>("MainMenu1")->actions())
        titles << menu->text();
    EXPECT_EQ(titles, QStringList({"File", "Preferences", "Data", "Devices"}));
    EXPECT_EQ(Find<QMenu>("imeUnit1")->title(), QStringLiteral("Time Unit"));
}

TEST_F(MainWindowTest, TimeUnitConvertsTheAxisEndAndExtendsItByTenMinutes)
{
    TRtGraph2D* graph = Find<TRtGraph2D>("RtGraph2DMain");
    graph->XAxis1().SetRange(1, 120);

    window->Hour1Click();
    EXPECT_EQ(graph->XAxis1().Caption(), QStringLiteral("Time, h"));
    EXPECT_EQ(Find<QLabel>("LabelSegmentStartTime")->text(), QStringLiteral("Start time, h"));
    EXPECT_DOUBLE_EQ(graph->XAxis1().Stop(), 2.0 + 1.0 / 6.0);
    EXPECT_TRUE(Find<QAction>("Hour1")->isChecked());
    EXPECT_FALSE(Find<QAction>("Minute1")->isChecked());
    EXPECT_EQ(window->TimeUnitFactor(), 60.0);

    window->Day1Click();
    EXPECT_EQ(window->TimeUnitSuffix(), QStringLiteral("d"));
    EXPECT_DOUBLE_EQ(graph->XAxis1().Stop(), 130.0 / 1440 + 10.0 / 1440);
    EXPECT_DOUBLE_EQ(graph->XAxis1().Start(), 1.0 / 1440); // the start moves along, or it would pass the end

    window->Minute1Click();
    EXPECT_DOUBLE_EQ(graph->XAxis1().Stop(), 150);
    window->Minute1Click(); // already minutes: still ten more
    EXPECT_DOUBLE_EQ(graph->XAxis1().Stop(), 160);

    window->SetTimeUnit(QStringLiteral("WEEK")); // unknown: unit stays, the axis still grows
    EXPECT_EQ(window->TimeUnitFactor(), 1.0);
    EXPECT_TRUE(Find<QAction>("Minute1")->isChecked());
    EXPECT_EQ(graph->XAxis1().Caption(), QStringLiteral("Time, m"));
    EXPECT_DOUBLE_EQ(graph->XAxis1().Stop(), 170);
}

TEST_F(MainWindowTest, DataAreaShowsExactlyTheChosenView)
{
    auto* graphItem = Find<QAction>("ShowTable1");
    auto* tableItem = Find<QAction>("ShowSegmentProgram1");
    auto* dataItem = Find<QAction>("ShowData1");
    QWidget* views[] = {Find<QWidget>("RtGraph2DMain"), Find<QWidget>("MemoSegments"), Find<QWidget>("MemoData")};
    QAction* items[] = {graphItem, tableItem, dataItem};

    struct Step {
        QAction* sender;
        int shown; // index into views and items
    };
    const Step steps[] = {
        {dataItem, 2}, {dataItem, 2}, // choosing it again changes nothing
        {Find<QAction>("ShowSegmentPrograms1"), 2}, // not one of the three: nothing changes
        {tableItem, 1}, {graphItem, 0},
    };
    for (const Step& step : steps) {
        window->ShowTable1Click(step.sender);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(views[i]->isVisible(), i == step.shown) << step.sender->objectName().toStdString() << i;
            EXPECT_EQ(items[i]->isChecked(), i == step.shown) << step.sender->objectName().toStdString() << i;
        }
    }

    // Through the menu, where Qt moves the check mark before the handler runs.
    dataItem->trigger();
    EXPECT_TRUE(views[2]->isVisible());
    dataItem->trigger();
    EXPECT_TRUE(dataItem->isChecked());
    EXPECT_TRUE(views[2]->isVisible());
}

TEST_F(MainWindowTest, ShowSegmentProgramsHidesTheSeriesAndEmptiesTheTable)
{
    for (const QString port : {"COMX", "COMY"}) {
        TDeviceInfo device = Device(port);
        window->DeviceDetailsUI(device);
    }
    Devices()->selectAll();
    window->MemoSegmentsUpdate();
    auto* table = Find<QPlainTextEdit>("MemoSegments");
    const QString filled = table->toPlainText();
    ASSERT_TRUE(filled.startsWith(QStringLiteral(" Segment programs \n"))) << filled.toStdString();

    window->ShowSegmentPrograms1Click();
    EXPECT_FALSE(Find<QAction>("ShowSegmentPrograms1")->isChecked());
    for (const QString port : {"COMX", "COMY"}) {
        ASSERT_NE(Device(port).SerieSegment, nullptr);
        EXPECT_FALSE(Device(port).SerieSegment->Visible());
    }
    EXPECT_TRUE(table->toPlainText().isEmpty());

    Find<QAction>("ShowSegmentPrograms1")->trigger(); // the menu's way back
    EXPECT_TRUE(Find<QAction>("ShowSegmentPrograms1")->isChecked());
    EXPECT_TRUE(Device(QStringLiteral("COMY")).SerieSegment->Visible());
    EXPECT_EQ(table->toPlainText(), filled);
}

TEST_F(MainWindowTest, ShowDeviceFlowsHidesTheFlowSeries)
{
    TDeviceInfo device = Device(QStringLiteral("COMX"));
    window->FlowSerie(device, 1, 50, false);
    TRtPointSeries* flow = Device(QStringLiteral("COMX")).SerieFlow;
    ASSERT_NE(flow, nullptr);

    window->Showachievedflows1Click();
    EXPECT_FALSE(flow->Visible());
    // A device whose flow series is made while flows are hidden does not pop up.
    window->FlowSerie(Device(QStringLiteral("COMY")), 1, 50, false);
    EXPECT_FALSE(Device(QStringLiteral("COMY")).SerieFlow->Visible());

    window->Showachievedflows1Click();
    EXPECT_TRUE(flow->Visible());
}

TEST_F(MainWindowTest, LampsLineUpEighteenScaledPixelsApart)
{
    const int s = window->GetDPIScaling();
    ASSERT_GE(s, 1);
    ThhALed* engine = window->EngineLed();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->pos(), QPoint(0, 2 * s));

    ThhALed* first = window->AddLedForThread();
    window->AddLedForThread();
    ThhALed* third = window->AddLedForThread();
    EXPECT_EQ(first->pos(), QPoint(18 * s, 2 * s));
    EXPECT_EQ(third->pos(), QPoint(54 * s, 2 * s));
    EXPECT_EQ(third->size(), QSize(16 * s, 16 * s));
    EXPECT_EQ(third->parentWidget()->objectName(), QStringLiteral("PanelStatusBar"));
    EXPECT_EQ(third->LEDStyle(), ThhALed::LEDSqLarge);
    EXPECT_FALSE(third->Bordered());
    EXPECT_FALSE(third->Blink());
    EXPECT_EQ(third->FalseColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(third->TrueColor(), QColor(0x00, 0xFF, 0x00));
    EXPECT_TRUE(third->isVisible());
}

TEST_F(MainWindowTest, MessageLogLinesCarryTheTimeWithMilliseconds)
{
    auto* log = Find<QPlainTextEdit>("MemoMain");
    clock.Set(46311.0 + (9 * 3600 + 5 * 60 + 3.007) / SecondsPerDay);
    window->MM(QStringLiteral("first"));
    clock.AdvanceSeconds(1);
    window->MM(QStringLiteral("second"));
    QCoreApplication::processEvents(); // lines are shown once the event loop turns
    EXPECT_EQ(log->toPlainText(), QStringLiteral("09:05:03:007 first\n09:05:04:007 second"));
}

TEST_F(MainWindowTest, MessageLogFollowsItsLastLine)
{
    auto* log = Find<QPlainTextEdit>("MemoMain");
    for (int i = 0; i < 200; ++i)
        window->MM(QString::number(i));
    EXPECT_TRUE(log->toPlainText().isEmpty()) << "lines are shown together, once the event loop turns";
    QCoreApplication::processEvents();
    EXPECT_EQ(log->document()->blockCount(), 200);
    EXPECT_GT(log->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
}

TEST_F(MainWindowTest, DataTableFollowsItsLastLineOnlyWithAutoScroll)
{
    auto* data = Find<TDataTableView>("MemoData");
    window->ShowTable1Click(Find<QAction>("ShowData1"));
    const auto tick = [this] {
        clock.AdvanceSeconds(3.5); // a data row is due every 3 s
        window->TimerEngineTimer();
    };
    for (int i = 0; i < 60; ++i)
        tick();
    QScrollBar* bar = data->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    window->Autoscrolltolastline1Click();
    EXPECT_FALSE(Find<QAction>("Autoscrolltolastline1")->isChecked());
    bar->setValue(bar->maximum()); // the operator looks at the end
    const int looking = bar->value();
    for (int i = 0; i < 10; ++i)
        tick();
    QTRY_VERIFY(bar->value() < bar->maximum()); // once the view has placed the new rows
    EXPECT_EQ(bar->value(), looking);
}

TEST_F(MainWindowTest, DataLogFileIsChosenFromTheMenuAndSavedOnClose)
{
    prompts.InputAnswers.enqueue(QStringLiteral("run"));
    Find<QAction>("LogFile1")->trigger();
    EXPECT_EQ(Find<QAction>("LogFile1")->text(), QStringLiteral("Data log file: run_2026-10-16-09.txt"));
    QCoreApplication::processEvents(); // lines are shown once the event loop turns
    EXPECT_TRUE(Find<QPlainTextEdit>("MemoMain")->toPlainText().endsWith(
        QStringLiteral("Data log file: run_2026-10-16-09.txt")));

    window->TimerEngineTimer(); // the header block and the first row
    window->close();

    QFile log(folder.FilePath(QStringLiteral("Logs/run_2026-10-16-09.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_EQ(lines.size(), 7); // five header lines, the row, nothing after the last line break
    EXPECT_EQ(lines.at(1), QByteArray("-             Device |             MFC |             MFC | \r"));
    EXPECT_EQ(lines.at(5), QByteArray(" 2026-10-16 09:00:00 |               ? |               ? | \r"));
    EXPECT_EQ(window->EngineLed(), nullptr);
}

} // namespace
