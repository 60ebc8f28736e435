#include "WindowFixture.h"

#include "base/MainThreadWait.h"
#include "base/TextEncoding.h"
#include "support/FailingFileWriter.h"
#include "ui/DataTableView.h"
#include "ui/widgets/hhALed.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTest>
#include <QTimer>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The window with its engine ticked by the test, on the test's clock.
class NoLostDataTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        Find<QTimer>("TimerEngine")->stop();
    }

    void Tick(double seconds)
    {
        clock.AdvanceSeconds(seconds);
        window->TimerEngineTimer();
        window->DataLog().WaitForSaves(); // a save is written on a thread of its own
    }

    void ChooseLog(const QString& answer)
    {
        prompts.InputAnswers.enqueue(answer);
        Find<QAction>("LogFile1")->trigger();
    }

    QString LogPath(const QString& name) const { return folder.FilePath(QStringLiteral("Logs/") + name); }

    // The data table as the log file must hold it.
    QByteArray TableBytes() const { return TextFileBytes(window->DataLog().DataTable().join(QLatin1Char('\n'))); }

    // The log as shown once the event loop has turned.
    QString MessageLog() const
    {
        QCoreApplication::processEvents();
        return Find<QPlainTextEdit>("MemoMain")->toPlainText();
    }
};

TEST_F(NoLostDataTest, DataTableCannotBeWipedFromTheKeyboard)
{
    ChooseLog(QStringLiteral("night"));
    for (int i = 0; i < 5; ++i)
        Tick(3);
    Find<QAction>("ShowData1")->trigger();
    auto* table = Find<TDataTableView>("MemoData");
    const QString rows = table->Text();
    ASSERT_FALSE(rows.isEmpty());

    table->setFocus();
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(table->SelectedText(), rows) << "selecting still works";
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), rows) << "and copying";
    QTest::keyClick(table, Qt::Key_Delete);
    QTest::keyClicks(table, QStringLiteral("x"));
    EXPECT_EQ(table->Text(), rows);

    for (int save = 0; save < 3; ++save) {
        window->FlowDataSave(true);
        window->DataLog().WaitForSaves();
    }
    for (const char* file : {"night_2026-10-16-09.txt", "night_2026-10-16-09.bak1", "night_2026-10-16-09.bak2"})
        EXPECT_EQ(ReadBytes(LogPath(QString::fromLatin1(file))), TableBytes()) << file;
}

TEST_F(NoLostDataTest, LogNameThatCannotBeWrittenIsRefusedAtThePrompt)
{
    prompts.InputAnswers.enqueue(QString(300, QLatin1Char('n')));
    ChooseLog(QStringLiteral("night\r\nrun"));
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Name too long for this file system")});
    EXPECT_EQ(prompts.Questions.size(), 2);
    EXPECT_EQ(Find<QAction>("LogFile1")->text(), QStringLiteral("Data log file: nightrun_2026-10-16-09.txt"));

    Tick(3);
    EXPECT_EQ(ReadBytes(LogPath(QStringLiteral("nightrun_2026-10-16-09.txt"))), TableBytes());
    EXPECT_FALSE(MessageLog().contains(QStringLiteral("Saving data log failed")));
}

TEST_F(NoLostDataTest, SavesFailingForAMinuteLightTheAlarmLamp)
{
    ChooseLog(QStringLiteral("night"));
    Tick(3);
    auto* lamp = Find<ThhALed>("LedSaveAlarm");
    EXPECT_TRUE(lamp->isHidden());

    FailingFileWriter disk;
    disk.Fail(QStringLiteral("night_2026-10-16-09.tmp"));
    Tick(61); // the next save is due: the first failed try
    for (int i = 0; i < 5; ++i)
        Tick(10);
    EXPECT_TRUE(lamp->isHidden()) << "50 s of failed saves";
    Tick(10);
    EXPECT_TRUE(lamp->isVisible());
    EXPECT_TRUE(lamp->toolTip().contains(QStringLiteral("No space left on device"))) << lamp->toolTip().toStdString();
    ASSERT_EQ(prompts.Messages.size(), 1);
    EXPECT_EQ(prompts.Messages.first(), lamp->toolTip());
    EXPECT_EQ(MessageLog().count(QStringLiteral("Saving data log failed: ")), 7) << "one line per try";

    Find<QAction>("ShowData1")->trigger();
    window->grab().save(QStringLiteral("/work/shots/data-alarm.png"));

    Tick(10);
    EXPECT_EQ(prompts.Messages.size(), 1) << "one box per failure episode";
    disk.Heal();
    Tick(1);
    EXPECT_TRUE(lamp->isHidden()) << "cleared by the next good save";
    EXPECT_EQ(ReadBytes(LogPath(QStringLiteral("night_2026-10-16-09.txt"))), TableBytes());
}

TEST_F(NoLostDataTest, RowsRecordedWhileTheDevicesStopAreSaved)
{
    Focus(QStringLiteral("COMX"));
    ChooseFluid("ComboBoxDeviceFluid", 8);
    QTest::mouseClick(Find<QPushButton>("BitBtn6"), Qt::LeftButton);
    prompts.InputAnswers.enqueue(QStringLiteral("night"));
    QTest::mouseClick(Find<QPushButton>("BitBtn1"), Qt::LeftButton);
    Tick(3);

    // While the threads stop, the engine goes on ticking; here the clock
    // runs fast so that rows fall due during the wait.
    auto* engineTimer = Find<QTimer>("TimerEngine");
    engineTimer->start(50);
    QTimer fastClock;
    QObject::connect(&fastClock, &QTimer::timeout, &fastClock, [this] { clock.AdvanceSeconds(1); });
    fastClock.start(20);
    const qsizetype linesBefore = window->DataLog().DataTable().size();
    prompts.YesNoAnswers.enqueue(true); // stop the running device
    Find<QAction>("Resetsoftware1")->trigger();
    fastClock.stop();
    engineTimer->stop();

    ASSERT_GT(window->DataLog().DataTable().size(), linesBefore) << "rows were recorded while stopping";
    EXPECT_EQ(ReadBytes(LogPath(QStringLiteral("night_2026-10-16-09.txt"))), TableBytes());
}

TEST_F(NoLostDataTest, CloseAskedForWhileTheDevicesStopHappensOnceTheyHave)
{
    Focus(QStringLiteral("COMX"));
    ChooseFluid("ComboBoxDeviceFluid", 8);
    QTest::mouseClick(Find<QPushButton>("BitBtn6"), Qt::LeftButton);
    // As a shutdown's signal arriving during a reset: the window waits for
    // the instruments, then leaves instead of forgetting the close.
    QTimer::singleShot(100, window.get(), [this] { window->close(); });
    Find<QAction>("Resetsoftware1")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(HasWorkerThread(Device(QStringLiteral("COMX"))));
}

TEST_F(NoLostDataTest, EveryMessageLineReachesTheMessageFile)
{
    window->MM(QStringLiteral("before a log"));
    const QString early = LogPath(QStringLiteral("messages_2026-10-16-09-00.txt"));
    EXPECT_TRUE(ReadBytes(early).endsWith(" before a log\r\n")) << ReadBytes(early).toStdString();

    ChooseLog(QStringLiteral("night"));
    window->MM(QStringLiteral("gr\u00fc\u00dfe"));
    const QByteArray lines = ReadBytes(LogPath(QStringLiteral("night_2026-10-16-09_messages.txt")));
    const QList<QByteArray> split = lines.split('\n');
    ASSERT_GE(split.size(), 2);
    EXPECT_TRUE(split.first().endsWith(" Earlier messages: messages_2026-10-16-09-00.txt\r")) << lines.toStdString();
    EXPECT_TRUE(lines.endsWith(" gr\xfc\xdf" "e\r\n")) << "as shown, in Windows-1252";
    EXPECT_TRUE(ReadBytes(early).contains("before a log")) << "the earlier lines stay where they were";

    // A failing message file lights the lamp, is never logged itself, and
    // loses no line: the kept lines follow once the file can be written.
    FailingFileWriter disk;
    disk.Fail(QStringLiteral("_messages"));
    window->MM(QStringLiteral("while the disk is full"));
    auto* lamp = Find<ThhALed>("LedSaveAlarm");
    EXPECT_TRUE(lamp->isVisible());
    EXPECT_FALSE(MessageLog().contains(QStringLiteral("Writing messages failed")));
    disk.Heal();
    window->MM(QStringLiteral("disk freed"));
    EXPECT_TRUE(lamp->isHidden());
    const QByteArray kept = ReadBytes(LogPath(QStringLiteral("night_2026-10-16-09_messages.txt")));
    const qsizetype full = kept.indexOf(" while the disk is full\r\n");
    EXPECT_GE(full, 0) << kept.toStdString();
    EXPECT_GT(kept.indexOf(" disk freed\r\n"), full);
}

TEST_F(NoLostDataTest, MessageLogKeepsTheNewestLinesOnScreenAndEveryLineInItsFile)
{
    constexpr int OnScreen = 100000;
    for (int i = 0; i < OnScreen + 5; ++i)
        window->MM(QString::number(i));
    auto* log = Find<QPlainTextEdit>("MemoMain");
    QCoreApplication::processEvents();
    EXPECT_EQ(log->document()->blockCount(), OnScreen);
    EXPECT_TRUE(log->document()->firstBlock().text().endsWith(QStringLiteral(" 5")));
    EXPECT_TRUE(log->document()->lastBlock().text().endsWith(QStringLiteral(" 100004")));

    const QList<QByteArray> lines = ReadBytes(window->MessageFile().FileName()).split('\n');
    ASSERT_EQ(lines.size(), OnScreen + 5 + 1) << "every line, each ended by CR LF";
    EXPECT_TRUE(lines.at(0).endsWith(" 0\r"));
    EXPECT_TRUE(lines.at(OnScreen + 4).endsWith(" 100004\r"));
}

} // namespace
