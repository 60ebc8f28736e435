#include "RunFixture.h"

#include "base/MainThreadWait.h"
#include "gas/ReferenceConditions.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4Thread.h"
#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"
#include "ui/DataTableView.h"
#include "ui/Icons.h"
#include "ui/widgets/RtColorPickCombo.h"
#include "ui/widgets/RtDoubleEdit.h"
#include "ui/widgets/RtPointSeries.h"
#include "ui/widgets/hhALed.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using DemonstrationTest = RunFixture;

TEST_F(DemonstrationTest, BothDevicesRunTheirProgramsFromStartToReset)
{
    Configure(QStringLiteral("COMX"), "ComboBoxDeviceFluid", 8);
    Configure(QStringLiteral("COMY"), "ComboBoxDeviceFluid", 0);
    CtrlClick(QStringLiteral("COMX"));
    ASSERT_EQ(window->SelectedPorts(), (QStringList{QStringLiteral("COMX"), QStringLiteral("COMY")}));

    prompts.InputAnswers.enqueue(QStringLiteral("demo"));
    Click("BitBtn1");
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join('\n').toStdString();
    EXPECT_EQ(Device(QStringLiteral("COMX")).ControlMode, dcmSegment);
    EXPECT_EQ(Device(QStringLiteral("COMY")).ControlMode, dcmSegment);

    const QStringList ports{QStringLiteral("COMX"), QStringLiteral("COMY")};
    const auto plottedTwice = [&] {
        for (const QString& port : ports) {
            const TRtPointSeries* series = Device(port).SerieFlow;
            if (!series || series->XValues().size() < 2)
                return false;
        }
        return true;
    };
    // A data row every tick; two of them plot two points per device.
    for (int i = 0; i < 10 && !plottedTwice(); ++i)
        ASSERT_NO_FATAL_FAILURE(TickOnReadings(3, ports));

    for (const QString& port : ports) {
        const TDeviceInfo device = Device(port);
        ASSERT_TRUE(device.SerieFlow) << port.toStdString();
        EXPECT_GE(device.SerieFlow->XValues().size(), 2) << port.toStdString();
        EXPECT_TRUE(device.SerieFlow->Visible());
        EXPECT_TRUE(DataTable().contains(device.FlowUnitUser.Name)) << "the header names each device's unit";
    }
    const QRegularExpression twoNumbers(QStringLiteral("\\| +[0-9]+\\.[0-9]+ \\| +[0-9]+\\.[0-9]+ \\| $"));
    const QStringList rows = DataTable().split(QLatin1Char('\n')).filter(twoNumbers);
    ASSERT_FALSE(rows.isEmpty()) << DataTable().toStdString();

    window->FlowDataSave(true);
    window->DataLog().WaitForSaves();
    QFile log(folder.FilePath(QStringLiteral("Logs/demo_2026-10-16-09.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(log.readAll()).contains(rows.last() + QStringLiteral("\r\n")));

    prompts.YesNoAnswers.enqueue(true); // stop the running devices
    Find<QAction>("Resetsoftware1")->trigger();
    for (int row = 0; row < Devices()->topLevelItemCount(); ++row)
        EXPECT_EQ(Devices()->topLevelItem(row)->text(1), QStringLiteral("Unknown")) << row;
    EXPECT_FALSE(HasWorkerThread(Device(QStringLiteral("COMX"))));
    EXPECT_FALSE(HasWorkerThread(Device(QStringLiteral("COMY"))));
}

TEST_F(DemonstrationTest, LampsOfAServedDeviceAndOfTheEngineStayLitLongEnoughToSee)
{
    Configure(QStringLiteral("COMX"), "ComboBoxDeviceFluid", 8);
    prompts.InputAnswers.enqueue(QStringLiteral("demo"));
    Click("BitBtn1");
    ThhALed* lamp = Device(QStringLiteral("COMX")).Led;
    ASSERT_NE(lamp, nullptr);
    ASSERT_TRUE(WaitProcessingEvents([&] { return !lamp->Value(); }, 5000));

    // Served within the tick: once the tick is over the lamps still show it,
    // then go out by themselves.
    TickOnReadings(1, {QStringLiteral("COMX")});
    EXPECT_TRUE(lamp->Value()) << "the lamp was put out within the tick";
    EXPECT_TRUE(window->EngineLed()->Value());
    EXPECT_TRUE(WaitProcessingEvents([&] { return !lamp->Value() && !window->EngineLed()->Value(); }, 5000));
}

// The prototype installation on the virtual rig: a controller on COM6 and
// the pump on COM7 come first in the registry, so the window shows them.
class RigWindowTest : public RunFixture {
protected:
    void BeforeWindow() override
    {
        mfc.SetSerialNumber(QStringLiteral("432389"));
        pump.SetInitDurationMS(200);
        ASSERT_TRUE(mfc.Start() && mfc.Register(QStringLiteral("COM6")));
        ASSERT_TRUE(pump.Start() && pump.Register(QStringLiteral("COM7")));
        TDeviceInfo controller;
        TDeviceInfo syringePump;
        ASSERT_TRUE(FindKnownDevice(QStringLiteral("432389"), controller));
        ASSERT_TRUE(FindKnownDevice(QStringLiteral("2020465"), syringePump));
        controller.COMPort = QStringLiteral("COM6");
        syringePump.COMPort = QStringLiteral("COM7");
        DevicesLocal.prepend(syringePump);
        DevicesLocal.prepend(controller);
    }

    // The instruments outlive the window: the base tear-down closes it first.
    VirtualMFC mfc;
    VirtualPump pump{QStringLiteral("2020465")};
};

TEST_F(RigWindowTest, PumpNeedsAFluidAndAKnownSyringe)
{
    Focus(QStringLiteral("COM7"));
    Click("BitBtn6");
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("No fluid selected for Pump")});
    EXPECT_FALSE(HasWorkerThread(Device(QStringLiteral("COM7"))));

    ChooseFluid("ComboBoxDeviceFluidPump", 1001);
    auto* syringe = Find<TRtDoubleEdit>("RtDoubleEditSyringeSizeuL");
    syringe->SetValue(300);
    Click("BitBtn6");
    EXPECT_EQ(prompts.Messages.last(), QStringLiteral("Invalid syringe volume, value ignored"));
    EXPECT_EQ(Device(QStringLiteral("COM7")).SyringeSizeuL, 12.5);

    syringe->SetValue(1000);
    Click("BitBtn6");
    EXPECT_EQ(Device(QStringLiteral("COM7")).SyringeSizeuL, 1000);
    EXPECT_EQ(Find<TRtDoubleEdit>("RtDoubleEditDevMaxFlow")->Value(), 25000);
    EXPECT_TRUE(HasWorkerThread(Device(QStringLiteral("COM7"))));
}

TEST_F(RigWindowTest, ThreeSelectedDevicesShowTheirProgramsAndOneIsFocused)
{
    // As a device search adds what it found.
    new QTreeWidgetItem(Devices(), {QStringLiteral("COMX"), QStringLiteral("Unknown")});
    Focus(QStringLiteral("COM6"));
    CtrlClick(QStringLiteral("COM7"));
    CtrlClick(QStringLiteral("COMX"));

    const QImage solid = TarvoIcon(QStringLiteral("keyframe-solid")).pixmap(16).toImage();
    const QImage hollow = TarvoIcon(QStringLiteral("keyframe")).pixmap(16).toImage();
    int solidMarks = 0;
    int hollowMarks = 0;
    for (int row = 0; row < Devices()->topLevelItemCount(); ++row) {
        const QImage mark = Devices()->topLevelItem(row)->icon(0).pixmap(16).toImage();
        solidMarks += mark == solid ? 1 : 0;
        hollowMarks += mark == hollow ? 1 : 0;
    }
    EXPECT_EQ(solidMarks, 1);
    EXPECT_EQ(hollowMarks, 2);
    EXPECT_EQ(Devices()->currentItem()->text(0), QStringLiteral("COMX"));

    for (const QString& port : {QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COMX")}) {
        const TDeviceInfo device = Device(port);
        ASSERT_TRUE(device.SerieSegment) << port.toStdString();
        EXPECT_GE(device.SerieSegment->XValues().size(), 3) << port.toStdString();
    }
}

TEST_F(RigWindowTest, ClosingTheWindowBringsEveryInstrumentToRest)
{
    SetProgram(QStringLiteral("COM6"), QStringLiteral("0 50 Step\r\n30 50 Step"));
    SetProgram(QStringLiteral("COM7"), QStringLiteral("0 50 Step\r\n30 50 Step"));
    Configure(QStringLiteral("COM6"), "ComboBoxDeviceFluid", 8);
    Configure(QStringLiteral("COM7"), "ComboBoxDeviceFluidPump", 1001);
    CtrlClick(QStringLiteral("COM6"));
    prompts.InputAnswers.enqueue(QStringLiteral("rig"));
    Click("BitBtn1");

    for (int i = 0; i < 60 && !(mfc.Setpoint_counts() > 0 && pump.IsBusy()); ++i)
        Tick(5, 500);
    ASSERT_EQ(mfc.Setpoint_counts(), 32000);
    ASSERT_TRUE(pump.IsBusy()) << "dispensing";

    prompts.YesNoAnswers.enqueue(true);
    window->close();
    EXPECT_EQ(prompts.Questions.last(),
              QStringLiteral("2 devices are running: COM6 (MFC-A), COM7 (Pump). Stop them and close?"));
    EXPECT_EQ(mfc.Setpoint_counts(), 0);
    EXPECT_FALSE(pump.IsBusy());
    QCoreApplication::processEvents(); // the message log shows its lines once the event loop turns
    EXPECT_TRUE(Find<QPlainTextEdit>("MemoMain")->toPlainText().indexOf(QStringLiteral("Timeout")) < 0);
}

// The band and hold time set on the Configure page; the lamp and the row
// marked while a held valve keeps the flow from its new setpoint.
TEST_F(RigWindowTest, HeldValveLightsTheDeviationLampAndMarksItsRow)
{
    const QString port = QStringLiteral("COM6");
    Focus(port);
    ChooseFluid("ComboBoxDeviceFluid", 8);
    Find<TRtDoubleEdit>("RtDoubleEditDeviationHold")->SetValue(10);
    Click("BitBtn6");
    EXPECT_EQ(Device(port).DeviationHold_s, 10);
    EXPECT_EQ(Device(port).DeviationBand_pct, 5);

    const auto direct = [&](double percent) {
        Find<TRtDoubleEdit>("RtDoubleEditDirectControlDesiredFlow")->SetValue(percent);
        Click("BitBtn7");
    };
    prompts.InputAnswers.enqueue(QStringLiteral("rig"));
    direct(50);
    for (int i = 0; i < 30 && std::abs(mfc.Flow_counts() - 32000) > 300; ++i)
        ASSERT_NO_FATAL_FAILURE(TickOnReadings(1, {port}));
    mfc.SetStatusCodes({QStringLiteral("HLD")});
    for (int i = 0; i < 30 && !Device(port).ThreadMFC->GUIIn.DeviceStatus.ErrorFlags.Contains(TAlicatError::HLD); ++i)
        ASSERT_NO_FATAL_FAILURE(TickOnReadings(1, {port}));

    auto* lamp = Find<ThhALed>("LedDeviationAlarm");
    QTreeWidgetItem* row = Devices()->findItems(port, Qt::MatchExactly).first();
    EXPECT_TRUE(lamp->isHidden());
    direct(20);
    int ticks = 0;
    for (; ticks < 10 && lamp->isHidden(); ++ticks)
        ASSERT_NO_FATAL_FAILURE(TickOnReadings(5, {port}));
    EXPECT_GE(ticks, 5) << "a hold time to settle after the step, and one beyond the band";
    ASSERT_TRUE(lamp->isVisible());
    EXPECT_EQ(lamp->toolTip(), QStringLiteral("Flow does not follow the setpoint:\nCOM6 (MFC-A)"));
    EXPECT_EQ(row->text(1), QStringLiteral("Direct"));
    EXPECT_FALSE(row->icon(1).isNull());
    EXPECT_EQ(row->foreground(4).color(), QColor(Qt::red));
    QCoreApplication::processEvents(); // lines are shown once the event loop turns
    EXPECT_TRUE(Find<QPlainTextEdit>("MemoMain")->toPlainText().contains(
        QStringLiteral("COM6 (MFC-A): flow does not follow its setpoint")));

    mfc.SetStatusCodes({});
    for (int i = 0; i < 10 && lamp->isVisible(); ++i)
        ASSERT_NO_FATAL_FAILURE(TickOnReadings(5, {port}));
    EXPECT_TRUE(lamp->isHidden());
    EXPECT_TRUE(row->icon(1).isNull());
    EXPECT_FALSE(row->data(4, Qt::ForegroundRole).isValid());
}

class RigGraphTest : public RigWindowTest {
protected:
    // Minutes from the start of the graph's time to now.
    double GraphMinutesNow() const { return (clock.Now() - window->Engine().GraphTimeZero) * MinutesPerDay; }
};

TEST_F(RigGraphTest, AchievedFlowLiesOnItsProgramAfterARestartAndAfterAReset)
{
    const QString program = QStringLiteral("0 20 Step\r\n2 60 Ramp\r\n4 30 Step\r\n6 30 Step");
    SetProgram(QStringLiteral("COM6"), program);
    Configure(QStringLiteral("COM6"), "ComboBoxDeviceFluid", 8);
    prompts.InputAnswers.enqueue(QStringLiteral("rig"));
    Click("BitBtn1");
    for (int i = 0; i < 2; ++i)
        TickOnReadings(30, {QStringLiteral("COM6")});
    Click("BitBtn2");
    clock.AdvanceSeconds(12 * 60);

    // The restart: program time begins again, 13 minutes into the graph's time.
    Click("BitBtn1");
    const double restart = GraphMinutesNow();
    ASSERT_NEAR(restart, 13, 1e-6);
    for (int i = 0; i < 15; ++i)
        TickOnReadings(30, {QStringLiteral("COM6")});
    TDeviceInfo device = Device(QStringLiteral("COM6"));
    ASSERT_TRUE(device.SerieSegment && device.SerieFlow);
    ASSERT_EQ(device.SerieFlow->XValues().size(), 15);
    EXPECT_NEAR(device.SerieSegment->XValues().first(), restart, 1e-6) << "the program is drawn from its start";
    EXPECT_NEAR(device.SerieSegment->XValues().last(), restart + 6.06, 1e-6);
    EXPECT_NEAR(device.SerieFlow->XValues().first(), restart + 0.5, 1e-6) << "the readings begin where the program does";
    EXPECT_NEAR(device.SerieFlow->XValues().last(), restart + 7.5, 1e-6);

    // A reset clears the graph and its time: the next run starts at 0 again.
    prompts.YesNoAnswers.enqueue(true); // the device is running: stop it and reset
    Find<QAction>("Resetsoftware1")->trigger();
    EXPECT_EQ(window->Engine().GraphTimeZero, 0);
    clock.AdvanceSeconds(20 * 60);
    SetProgram(QStringLiteral("COM6"), program);
    Configure(QStringLiteral("COM6"), "ComboBoxDeviceFluid", 8);
    Click("BitBtn1");
    TickOnReadings(30, {QStringLiteral("COM6")});
    device = Device(QStringLiteral("COM6"));
    ASSERT_TRUE(device.SerieFlow && !device.SerieFlow->XValues().isEmpty());
    EXPECT_EQ(device.SerieSegment->XValues().first(), 0);
    EXPECT_NEAR(device.SerieFlow->XValues().first(), 0.5, 1e-6);
}

} // namespace

namespace {

// The demonstration devices running from the window.
class RunningRigTest : public RunFixture {
protected:
    void StartPrograms(const QStringList& ports)
    {
        Focus(ports.first());
        for (const QString& port : ports.mid(1))
            CtrlClick(port);
        prompts.InputAnswers.enqueue(QStringLiteral("rig")); // taken only when no log file is chosen yet
        Click("BitBtn1");
        prompts.InputAnswers.clear();
    }

    QString State(const QString& port) const
    {
        return Devices()->findItems(port, Qt::MatchExactly).first()->text(1);
    }

    int DataRows() const { return DataTable().split(QLatin1Char('\n')).filter(QStringLiteral("2026-10-16")).size(); }

    // Lines are shown once the event loop turns.
    QString MessageLog() const
    {
        QCoreApplication::processEvents();
        return Find<QPlainTextEdit>("MemoMain")->toPlainText();
    }
};

TEST_F(RunningRigTest, ApplyStopsARunningDeviceOnlyWhenWhatItDosesChanges)
{
    const QString port = QStringLiteral("COMX");
    struct Case {
        const char* name;
        const char* button; // starts the program (BitBtn1) or the direct setpoint (BitBtn7)
        std::function<void()> change;
        bool stops;
    };
    const Case cases[] = {
        {"colour", "BitBtn1",
         [this] { Find<TRtColorPickCombo>("RtColorPickComboDeviceColor")->SetActiveColor(clRtBrown); }, false},
        {"name", "BitBtn7", [this] { Find<QLineEdit>("EditDeviceName")->setText(QStringLiteral("Anode")); }, false},
        {"gas", "BitBtn1", [this] { ChooseFluid("ComboBoxDeviceFluid", 1); }, true},
        {"reference conditions", "BitBtn7",
         [this] { Find<QComboBox>("ComboBoxFlowUnitPredefined")->setCurrentIndex(ReferenceGramsRow); }, true},
    };
    Configure(port, "ComboBoxDeviceFluid", 8);
    prompts.InputAnswers.enqueue(QStringLiteral("rig"));
    ASSERT_TRUE(window->FlowDataLogFileEnsure(false));
    Find<TRtDoubleEdit>("RtDoubleEditDirectControlDesiredFlow")->SetValue(40);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Click(c.button);
        TickOnReadings(60, {port});
        const TDeviceInfo running = Device(port);
        ASSERT_NE(running.ControlMode, dcmIdle);
        ASSERT_GT(running.ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct, 0);
        const qsizetype stopLines = MessageLog().count(QStringLiteral("Stop device "));

        c.change();
        Click("BitBtn6");
        const TDeviceInfo applied = Device(port);
        if (c.stops) {
            EXPECT_EQ(applied.ControlMode, dcmIdle);
            EXPECT_EQ(State(port), QStringLiteral("Ready"));
            EXPECT_EQ(applied.ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct, 0) << "the instrument is zeroed";
            EXPECT_EQ(MessageLog().count(QStringLiteral("Stop device ")), stopLines + 1);
        } else {
            EXPECT_EQ(applied.ControlMode, running.ControlMode);
            EXPECT_EQ(applied.FlowStartTime, running.FlowStartTime) << "the program runs on";
            EXPECT_EQ(State(port), DeviceStateText(running));
            EXPECT_EQ(MessageLog().count(QStringLiteral("Stop device ")), stopLines);
            TickOnReadings(60, {port});
            EXPECT_GT(Device(port).LastHandled, running.LastHandled) << "the engine still serves it";
        }
    }
    EXPECT_EQ(Device(port).FluidID, 1) << "the new configuration is applied after the stop";
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join('\n').toStdString();
}

TEST_F(RunningRigTest, MessageOfATickIsShownOnceAfterItWhileTicksGoOnForEveryDevice)
{
    // The second line cannot be read: from the first tick on, every reading
    // of COMX meets it.
    SetProgram(QStringLiteral("COMX"), QStringLiteral("0 10 Step\r\n5 xx Step"));
    Configure(QStringLiteral("COMX"), "ComboBoxDeviceFluid", 8);
    Configure(QStringLiteral("COMY"), "ComboBoxDeviceFluid", 0);
    StartPrograms({QStringLiteral("COMX"), QStringLiteral("COMY")});
    prompts.Messages.clear();

    const QStringList both{QStringLiteral("COMX"), QStringLiteral("COMY")};
    bool tickWasOver = false;
    int rowsWhileOpen = 0;
    QList<double> handledBefore;
    prompts.WhileMessageOpen = [&](const QString&) {
        tickWasOver = !window->TickRunning();
        for (const TDeviceInfo& device : DevicesLocal)
            handledBefore.append(device.LastHandled);
        const int rows = DataRows();
        TickOnReadings(3, both);
        rowsWhileOpen = DataRows() - rows;
    };
    for (int i = 0; i < 4; ++i)
        TickOnReadings(3, both);

    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Failed to read segment")}) << "once, not every second";
    EXPECT_TRUE(tickWasOver);
    EXPECT_EQ(rowsWhileOpen, 1);
    ASSERT_EQ(handledBefore.size(), 2);
    EXPECT_GT(Device(QStringLiteral("COMX")).LastHandled, handledBefore.at(0));
    EXPECT_GT(Device(QStringLiteral("COMY")).LastHandled, handledBefore.at(1));
    EXPECT_EQ(Device(QStringLiteral("COMX")).ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct, 10)
        << "the last readable point holds";

    // A new run of the program may say it again, once.
    prompts.WhileMessageOpen = nullptr;
    StartPrograms({QStringLiteral("COMX")});
    prompts.Messages.clear();
    TickOnReadings(3, both);
    TickOnReadings(3, both);
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Failed to read segment")});
}

TEST_F(RunningRigTest, WallClockSetBackAnHourMovesNeitherTheProgramNorTheRows)
{
    SetProgram(QStringLiteral("COMX"), QStringLiteral("0 0 Step\r\n10 100 Ramp")); // 10 % a minute
    Configure(QStringLiteral("COMX"), "ComboBoxDeviceFluid", 8);
    StartPrograms({QStringLiteral("COMX")});
    const double start = Device(QStringLiteral("COMX")).FlowStartTime;
    TMFCThread* thread = Device(QStringLiteral("COMX")).ThreadMFC;

    QList<int> rowsPerTick;
    QList<double> xs;
    for (int i = 1; i <= 8; ++i) {
        if (i == 5)
            clock.ShiftWallSeconds(-3600); // daylight saving ends
        const int rows = DataRows();
        TickOnReadings(3, {QStringLiteral("COMX")});
        rowsPerTick.append(DataRows() - rows);
        const double minutes = (clock.MonotonicNow() - start) * MinutesPerDay;
        EXPECT_NEAR(thread->GUIOut.DeviceStatus.Setpoint_pct, 10 * minutes, 1e-6) << "tick " << i;
        xs.append(Device(QStringLiteral("COMX")).SerieFlow->XValues().last());
    }
    EXPECT_EQ(rowsPerTick, QList<int>(8, 1));
    EXPECT_TRUE(std::is_sorted(xs.cbegin(), xs.cend()) && xs.first() < xs.last()) << "graph time runs on";
    EXPECT_TRUE(DataTable().contains(QStringLiteral("2026-10-16 08:00:")))
        << "the rows print the wall clock as it now reads";

    const double lastSave = window->DataLog().LastDataLogSave();
    TickOnReadings(61, {QStringLiteral("COMX")});
    window->DataLog().WaitForSaves();
    EXPECT_GT(window->DataLog().LastDataLogSave(), lastSave) << "the minute's save comes a minute later, not an hour";
}

TEST_F(RunningRigTest, ClosingOrResettingRunningDevicesAsksFirstAndNoChangesNothing)
{
    Configure(QStringLiteral("COMX"), "ComboBoxDeviceFluid", 8);
    Configure(QStringLiteral("COMY"), "ComboBoxDeviceFluid", 0);
    StartPrograms({QStringLiteral("COMX"), QStringLiteral("COMY")});

    struct Case {
        const char* name;
        std::function<void()> act;
        const char* question;
    };
    const Case cases[] = {
        {"close", [this] { window->close(); },
         "2 devices are running: COMX (MFC), COMY (MFC). Stop them and close?"},
        {"reset", [this] { Find<QAction>("Resetsoftware1")->trigger(); },
         "2 devices are running: COMX (MFC), COMY (MFC). Stop them and reset?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Questions.clear();
        prompts.YesNoAnswers.enqueue(false);
        c.act();
        EXPECT_EQ(prompts.Questions, QStringList{QString::fromLatin1(c.question)});
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Device(QStringLiteral("COMX")).ControlMode, dcmSegment);
        EXPECT_TRUE(HasWorkerThread(Device(QStringLiteral("COMY"))));
        EXPECT_EQ(State(QStringLiteral("COMY")), QStringLiteral("Segment"));
    }

    // One device stopped: the question names only the one still running.
    Focus(QStringLiteral("COMY"));
    Click("BitBtn2");
    prompts.Questions.clear();
    prompts.YesNoAnswers.enqueue(true);
    Find<QAction>("Resetsoftware1")->trigger();
    EXPECT_EQ(prompts.Questions,
              QStringList{QStringLiteral("1 device is running: COMX (MFC). Stop it and reset?")});
    EXPECT_FALSE(HasWorkerThread(Device(QStringLiteral("COMX"))));

    prompts.Questions.clear();
    window->close();
    EXPECT_TRUE(prompts.Questions.isEmpty()) << "nothing runs: no question";
    EXPECT_FALSE(window->isVisible());
}

TEST_F(RunningRigTest, ToolsAreRefusedWhileAnyDeviceRuns)
{
    Configure(QStringLiteral("COMX"), "ComboBoxDeviceFluid", 8);
    EXPECT_FALSE(ToolsRefused()) << "a configured device at rest is no obstacle";

    StartPrograms({QStringLiteral("COMX")});
    EXPECT_TRUE(ToolsRefused());
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Stop all running devices before using the tools.")});

    Click("BitBtn2");
    EXPECT_FALSE(ToolsRefused());
    EXPECT_EQ(prompts.Messages.size(), 1);
}

} // namespace
