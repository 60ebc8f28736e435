#include "WindowFixture.h"

#include "base/ProgramFolder.h"
#include "ui/widgets/RtPointSeries.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace {

using SegmentProgramsTest = WindowFixture;

QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(r)->text(c);
        rows << cells.join(u'|');
    }
    return rows;
}

TEST_F(SegmentProgramsTest, SegmentListShowsTheExampleUntilADeviceIsShown)
{
    auto* list = Find<QTreeWidget>("ListViewSegmentProgram");
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Time, m"));
    EXPECT_EQ(list->headerItem()->text(3), QStringLiteral("Note"));
    EXPECT_EQ(Rows(list), QStringList({"0|0|Step|", "10|0.7525|Step|", "30|65|Ramp|", "60|100|Step|", "65|0|Step|"}));

    Focus(QStringLiteral("COMY"));
    TDeviceInfo device = Device(QStringLiteral("COMY"));
    window->DeviceDetailsUI(device);
    EXPECT_EQ(Rows(list).at(1), QStringLiteral("2.5|100|Step|Some random comment"));
    EXPECT_EQ(list->topLevelItemCount(), 6);
    EXPECT_NE(device.SerieSegment, nullptr); // the caller's record knows its new series

    // A device that is not the focused one leaves the list alone.
    TDeviceInfo other = Device(QStringLiteral("COMX"));
    window->DeviceDetailsUI(other);
    EXPECT_EQ(Rows(list).at(1), QStringLiteral("2.5|100|Step|Some random comment"));
}

TEST_F(SegmentProgramsTest, SaveAndLoadThroughTheContextMenuGiveTheSameProgram)
{
    const QString program = QStringLiteral("0 10 Step\r\n5 20 Ramp Warm_up");
    SetProgram(QStringLiteral("COMX"), program);
    Focus(QStringLiteral("COMX"));
    const QString file = folder.FilePath(QStringLiteral("saved.txt"));

    prompts.FileAnswers.enqueue(file);
    Find<QAction>("LoadSegmentProgram2")->trigger(); // captioned "Save Segment Program As"
    ASSERT_EQ(prompts.FileRequests.size(), 1);
    const FileDialogRequest& save = prompts.FileRequests.first();
    EXPECT_EQ(save.Filter, QStringLiteral("Text files (*.txt)|*.TXT"));
    EXPECT_EQ(save.DefaultExt, QStringLiteral("txt"));
    EXPECT_EQ(save.InitialDir, folder.FilePath(QStringLiteral("Segment Programs")));
    EXPECT_EQ(save.FileName, QStringLiteral("2026-10-16 09-00 COMX MFC.txt"));
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("0 10 Step\r\n5 20 Ramp Warm_up\r\n"));

    SetProgram(QStringLiteral("COMX"), QStringLiteral("1 1 Step"));
    prompts.FileAnswers.enqueue(file);
    Find<QAction>("SaveSegmentProgramAs1")->trigger(); // captioned "Load Segment Program"
    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, program);
    EXPECT_EQ(Rows(Find<QTreeWidget>("ListViewSegmentProgram")),
              QStringList({"0|10|Step|", "5|20|Ramp|Warm up"}));
    const TRtPointSeries* series = Device(QStringLiteral("COMX")).SerieSegment;
    ASSERT_NE(series, nullptr); // redrawn from the loaded program
    EXPECT_EQ(series->XValues(), QVector<double>({0, 0, 0, 5, 5.05}));
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST_F(SegmentProgramsTest, LoadingAnInvalidFileKeepsTheProgramAndSaysSo)
{
    const QString file = folder.FilePath(QStringLiteral("tab.txt"));
    QFile tabbed(file);
    ASSERT_TRUE(tabbed.open(QIODevice::WriteOnly));
    tabbed.write("0 10 Step\r\n5\t20 Ramp\r\n");
    tabbed.close();
    Focus(QStringLiteral("COMX"));
    const QString before = Device(QStringLiteral("COMX")).SegmentProgram;

    prompts.FileAnswers.enqueue(file);
    window->LoadSegmentProgram2Click();
    EXPECT_EQ(prompts.Messages, QStringList({QStringLiteral("Invalid character: \t")}));
    QCoreApplication::processEvents(); // lines are shown once the event loop turns
    EXPECT_TRUE(Find<QPlainTextEdit>("MemoMain")->toPlainText().endsWith(QStringLiteral(" Invalid segment program")));
    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, before);

    prompts.FileAnswers.enqueue(folder.FilePath(QStringLiteral("missing.txt")));
    window->LoadSegmentProgram2Click();
    ASSERT_EQ(prompts.Messages.size(), 2); // an unreadable file is reported too
    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, before);
}

TEST_F(SegmentProgramsTest, LoadingRefusesTimesThatDecreaseAndAsksBeforeAnEmptyProgram)
{
    const auto write = [this](const char* name, const QByteArray& bytes) {
        const QString file = folder.FilePath(QString::fromLatin1(name));
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return file;
    };
    const QString before = QStringLiteral("0 10 Step\r\n5 20 Ramp");
    SetProgram(QStringLiteral("COMX"), before);
    Focus(QStringLiteral("COMX"));
    auto* list = Find<QTreeWidget>("ListViewSegmentProgram");

    prompts.FileAnswers.enqueue(write("backwards.txt", "10 0 Step\r\n5 50 Step\r\n2 0 Step\r\n"));
    window->LoadSegmentProgram2Click();
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Program times must not decrease (line 2).")});
    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, before);
    EXPECT_EQ(list->topLevelItemCount(), 2) << "the list still shows the device's program";

    prompts.FileAnswers.enqueue(write("equal.txt", "0 10 Step\r\n5 50 Step\r\n5 60 Step\r\n"));
    window->LoadSegmentProgram2Click();
    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, QStringLiteral("0 10 Step\r\n5 50 Step\r\n5 60 Step"));
    EXPECT_EQ(list->topLevelItemCount(), 3);

    const QString empty = write("empty.txt", "");
    prompts.FileAnswers.enqueue(empty);
    prompts.YesNoAnswers.enqueue(false);
    window->LoadSegmentProgram2Click();
    EXPECT_EQ(prompts.Questions, QStringList{QStringLiteral("Load an empty program? The device will hold 0 %.")});
    EXPECT_EQ(list->topLevelItemCount(), 3) << "declined: the program stays";

    prompts.FileAnswers.enqueue(empty);
    prompts.YesNoAnswers.enqueue(true);
    window->LoadSegmentProgram2Click();
    EXPECT_TRUE(Device(QStringLiteral("COMX")).SegmentProgram.isEmpty());
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(prompts.Messages.size(), 1);
}

TEST_F(SegmentProgramsTest, FileDialogsOpenInTheSegmentProgramsFolderBesideTheProgram)
{
    // The program's folder is not the folder it was started from, and has no
    // "Segment Programs" yet.
    const QString programFolder = folder.FilePath(QStringLiteral("installed"));
    ASSERT_TRUE(QDir().mkpath(programFolder));
    SetProgramFolder(programFolder);
    Focus(QStringLiteral("COMX"));

    window->LoadSegmentProgram2Click();
    window->SaveSegmentProgramAs1Click();
    ASSERT_EQ(prompts.FileRequests.size(), 2);
    for (const FileDialogRequest& request : std::as_const(prompts.FileRequests)) {
        EXPECT_EQ(request.InitialDir, QDir(programFolder).filePath(QStringLiteral("Segment Programs")));
        EXPECT_TRUE(QFileInfo(request.InitialDir).isDir()) << "a dialog opens in a folder only when it exists";
    }
}

TEST_F(SegmentProgramsTest, FailedSaveIsReportedAndNothingHappensWithoutAFocusedDevice)
{
    window->SaveSegmentProgramAs1Click();
    window->LoadSegmentProgram2Click();
    EXPECT_TRUE(prompts.FileRequests.isEmpty()); // no device focused: no dialog

    Focus(QStringLiteral("COMX"));
    prompts.FileAnswers.enqueue(folder.FilePath(QStringLiteral("no such folder/program.txt")));
    window->SaveSegmentProgramAs1Click();
    ASSERT_EQ(prompts.Messages.size(), 1);
    EXPECT_TRUE(prompts.Messages.first().contains(QStringLiteral("program.txt"))) << prompts.Messages.first().toStdString();
}

TEST_F(SegmentProgramsTest, RightButtonOpensTheContextMenu)
{
    auto* list = Find<QTreeWidget>("ListViewSegmentProgram");
    Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    auto* menu = Find<QMenu>("PopupMenuSegment");
    const QPoint inside = list->viewport()->rect().center();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_FALSE(menu->isVisible());
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, inside);
    EXPECT_TRUE(menu->isVisible());
    // It opens to the left of the pointer.
    EXPECT_LE(menu->geometry().right(), list->viewport()->mapToGlobal(inside).x());
    menu->hide();
}

TEST_F(SegmentProgramsTest, TableShowsSelectedDevicesOnly)
{
    auto* table = Find<QPlainTextEdit>("MemoSegments");
    window->MergeSegments();
    EXPECT_TRUE(table->toPlainText().isEmpty()); // nothing selected: nothing shown

    SetProgram(QStringLiteral("COMX"), QStringLiteral("90 40 Step"));
    Focus(QStringLiteral("COMX"));
    window->Hour1Click();
    EXPECT_EQ(table->toPlainText(), QStringLiteral(" Segment programs \n"
                                                   "=============================================\n"
                                                   "  Time,h |            Time |       COMX MFC | \n"
                                                   "---------+-----------------+-Setpoint--Type-+-\n"
                                                   "   1.500 |          1h 30m |       40  Step | \n\n"));

    Devices()->clearSelection();
    window->MemoSegmentsUpdate();
    EXPECT_TRUE(table->toPlainText().isEmpty());
}

TEST_F(SegmentProgramsTest, RefreshKeepsTheOperatorsSelectionAndScrollPosition)
{
    QStringList lines;
    for (int minute = 0; minute < 80; ++minute)
        lines << QStringLiteral("%1 %2 Step").arg(minute).arg(minute % 100);
    SetProgram(QStringLiteral("COMX"), lines.join(QStringLiteral("\r\n")));
    Focus(QStringLiteral("COMX"));
    window->ShowTable1Click(Find<QAction>("ShowSegmentProgram1"));
    window->MemoSegmentsUpdate();

    auto* table = Find<QPlainTextEdit>("MemoSegments");
    QTextCursor selection(table->document());
    selection.setPosition(300);
    selection.setPosition(320, QTextCursor::KeepAnchor);
    table->setTextCursor(selection);
    table->verticalScrollBar()->setValue(30);

    SetProgram(QStringLiteral("COMX"), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n90 5 Ramp"));
    window->MemoSegmentsUpdate();
    EXPECT_TRUE(table->toPlainText().contains(QStringLiteral("5  Ramp")));
    EXPECT_EQ(table->textCursor().anchor(), 300);
    EXPECT_EQ(table->textCursor().position(), 320);
    EXPECT_EQ(table->verticalScrollBar()->value(), 30);
}

} // namespace
