#include "FakeViews.h"
#include "FaultMatrix.h"

#include "app/Startup.h"
#include "base/Clock.h"
#include "base/MainThreadWait.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "gas/GasList.h"
#include "mfc/MFCThread.h"
#include "sim/VirtualMFC.h"
#include "support/FailingFileWriter.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <functional>

namespace {

// One virtual controller on a pseudo-terminal, driven by a real worker, the
// engine ticking and run control as the window drives them, each row
// injecting its fault when it matters: at start, mid-run or at stop. All
// waits use the driver's real time-outs. After each row the workers are
// closed with the fault healed and the matrix's common checks run.
class FaultTable : public ::testing::Test {
public:
    void SetUp() override
    {
        RunStartupSequence();
        prompts.InputAnswers.enqueue(QStringLiteral("run"));
        instrument.SetFullScale_slpm(0.05); // as the known-device table has it
        ASSERT_TRUE(instrument.Start());
        ASSERT_TRUE(instrument.Register(Port));
    }
    // The common checks of the matrix, once the row has said what the
    // operator must be told and whether the controller can be reached at close.
    void CheckSurvived(const QString& told, bool reachableAtClose)
    {
        instrument.SetFault(LineFault::None);
        instrument.SetReplyDelayMS(0);
        instrument.SetStatusCodes({});
        if (unplugged)
            instrument.PlugBack(Port);
        writer.Heal();
        control.TerminateThreads(TRunControl::ShutdownTimeoutS);
        EXPECT_LT(stalls.LongestMS(), MainThreadStallWatch::FreezeMS) << "the main thread stalled";
        ExpectOperatorTold(told, window.log, prompts.Messages, window.shownStates.value(Port));
        ExpectDataLogComplete(window.dataLog);
        if (reachableAtClose) {
            EXPECT_EQ(instrument.Setpoint_counts(), 0) << "left flowing";
            EXPECT_FALSE(instrument.Held());
        }
    }

    // The prototype's 50 SCCM controller (MFC-A) on COM6 with gas `gas`,
    // its worker started.
    bool Configure(qint32 gas)
    {
        TDeviceInfo mfc;
        if (!FindKnownDevice(QStringLiteral("432389"), mfc))
            return false;
        TGasItem item;
        GetGas_ID(gas, item);
        mfc.COMPort = Port;
        mfc.FluidID = gas;
        mfc.FlowUnitUser.GasMolarMass = item.GetMolarMass();
        mfc.ControlMode = dcmIdle;
        DevicesLocal[0] = mfc;
        if (!control.StartDeviceThread(Device()))
            return false;
        window.selected = {Port};
        return true;
    }
    // ... and true once it hands over its first status.
    bool StartController(qint32 gas)
    {
        if (!Configure(gas))
            return false;
        // Initialisation takes seven one-shot exchanges.
        return TickUntil([&] { return Thread().GUIIn.DeviceStatus.DataTime > 0 || !Device().WorkerFault.isEmpty(); }, 40000);
    }

    void ApplyDirect(double percent)
    {
        Device().Setpoint_gui = percent;
        control.ButtonApplyFlowClick();
    }

    // The controller on N2, flowing at half its full scale.
    bool FlowingAtHalf()
    {
        if (!StartController(8))
            return false;
        ApplyDirect(50);
        return TickUntil([&] { return FlowSettled(); }, 20000);
    }

    // The valve held from the front panel, and the worker has seen it.
    bool HoldValve()
    {
        instrument.SetStatusCodes({QStringLiteral("HLD")});
        return TickUntil([&] { return Thread().GUIIn.DeviceStatus.ErrorFlags.Contains(TAlicatError::HLD); }, 10000);
    }

    // Ticks the engine at its own pace, the window processing events in
    // between, until `done` holds; false after `timeoutMS`. (Faster ticks
    // would find no new reading at most of them and fill the rows with "?".)
    bool TickUntil(const std::function<bool()>& done, int timeoutMS)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMS) {
            WaitProcessingEvents([] { return false; }, TEngineTick::TickIntervalMS);
            engine.Tick();
            if (done())
                return true;
        }
        return false;
    }
    void TickForMS(int ms) { TickUntil([] { return false; }, ms); }

    TDeviceInfo& Device() { return DevicesLocal[IndexOfDevicePort(Port)]; }
    TMFCThread& Thread() { return *Device().ThreadMFC; }
    QString State() { return DeviceStateText(Device()); }

    // The controller's column of each data row since row `from`, trimmed.
    QStringList FlowColumn(qsizetype from = 0) const
    {
        QStringList values;
        for (const QString& line : window.dataLines.mid(from)) {
            const QStringList columns = line.split(QLatin1Char('|'));
            if (columns.size() > 2 && columns[0].trimmed().startsWith(QLatin1String("20")))
                values << columns[1].trimmed();
        }
        return values;
    }
    // Flow reported as a percentage of the controller's full scale, plotted.
    QList<double> PlottedPercent() const
    {
        QList<double> values;
        for (const FakeWindow::Point& point : window.flowPoints.value(Port))
            values << point.y;
        return values;
    }
    qsizetype Heard(const QByteArray& line) const { return instrument.ReceivedLines().count(line); }
    qsizetype LogLines(const QString& part) const { return window.log.filter(part).size(); }
    bool FlowNear(double counts, double slack) { return std::abs(instrument.Flow_counts() - counts) <= slack; }
    bool FlowSettled() { return instrument.Setpoint_counts() > 0 && FlowNear(instrument.Setpoint_counts(), 300); }
    // Data rows since row `from` whose controller column is a flow above 0.
    qsizetype FlowRows(qsizetype from = 0) const
    {
        qsizetype count = 0;
        for (const QString& value : FlowColumn(from))
            count += value != QLatin1String("?") && value.toDouble() > 0 ? 1 : 0;
        return count;
    }

    static inline const QString Port = QStringLiteral("COM6");
    static constexpr double FullScaleCounts = VirtualMFC::CountsFullScale;

    void Unplug()
    {
        instrument.Unplug();
        unplugged = true;
    }
    void PlugBack()
    {
        ASSERT_TRUE(instrument.PlugBack(Port));
        unplugged = false;
    }

    // A line fault mid-run: the device shows "Error" and its rows "?" (no
    // reading taken from a dead line), then carries on once it heals.
    void LineFaultMidRun(const std::function<void()>& inject, const std::function<void()>& heal)
    {
        ASSERT_TRUE(FlowingAtHalf());
        inject();
        ASSERT_TRUE(TickUntil([&] { return State() == "Error"; }, 30000));
        const qsizetype from = window.dataLines.size();
        ASSERT_TRUE(TickUntil([&] { return FlowColumn(from).size() >= 2; }, 20000)) << "rows go on";
        for (const QString& value : FlowColumn(from))
            EXPECT_EQ(value, "?");
        heal();
        ASSERT_TRUE(TickUntil([&] { return State() == "Direct"; }, 60000));
        EXPECT_TRUE(TickUntil([&] { return FlowRows(from) >= 1; }, 20000));
    }

    // The data log's folder fails mid-run for `reason`; the rows go on and
    // reach the file once it heals.
    void LogFolderFailsMidRun(const QString& reason)
    {
        ASSERT_TRUE(FlowingAtHalf());
        const qsizetype rows = window.dataLog.DataTable().size();
        writer.Fail(QStringLiteral("Logs"), reason);
        ASSERT_TRUE(TickUntil([&] { return window.dataLog.DataTable().size() > rows + 1; }, 20000));
        window.dataLog.FlowDataSave(true);
        window.dataLog.WaitForSaves();
        EXPECT_EQ(LogLines(QStringLiteral("Saving data log failed: ")), 1);
        EXPECT_EQ(LogLines(reason), 1);
        EXPECT_EQ(State(), "Direct") << "the run goes on";
        EXPECT_TRUE(FlowNear(32000, 300));
    }

    TempFolder folder;
    RecordingPrompts prompts;
    FailingFileWriter writer;
    MainThreadStallWatch stalls;
    bool unplugged = false;
    VirtualMFC instrument;
    FakeWindow window;
    TEngineTick engine{window, window.dataLog};
    TRunControl control{window, engine, window.dataLog};
};

struct FaultRow {
    const char* name;
    void (*run)(FaultTable& t);
    const char* told; // part of a message-log line or box, or a state, that names the fault
    bool reachableAtClose = true;
};

// Rows, one per observed fault.
const FaultRow Rows[] = {
    {"UnitWithoutTotaliserIsRead",
     [](FaultTable& t) {
         t.instrument.SetTotalizer(false);
         ASSERT_TRUE(t.StartController(8));
         t.ApplyDirect(50);
         ASSERT_TRUE(t.TickUntil([&] { return t.FlowRows() >= 2; }, 20000)) << t.window.dataLines.join('\n').toStdString();
         EXPECT_EQ(t.State(), "Direct");
     },
     "Direct"},
    {"GarbledStatusMidRunIsNoReading",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         const qsizetype rowsBefore = t.window.dataLines.size();
         const qsizetype pointsBefore = t.PlottedPercent().size();
         t.instrument.CorruptNextStatusLines(4);
         ASSERT_TRUE(t.TickUntil([&] { return t.State() == "Error"; }, 20000)) << "two failed passes";
         ASSERT_TRUE(t.TickUntil([&] { return t.State() == "Direct"; }, 20000)) << "cleared by the next reading";
         EXPECT_TRUE(t.FlowColumn(rowsBefore).contains(QStringLiteral("?")));
         for (const double y : t.PlottedPercent().mid(pointsBefore))
             EXPECT_GT(y, 40) << "no reading of zero flow from a garbled line";
         EXPECT_EQ(t.LogLines(QStringLiteral("no valid status")), 1);
     },
     "no valid status"},
    {"TwoSecondReplyDelayFromStart",
     [](FaultTable& t) {
         t.instrument.SetReplyDelayMS(2000);
         ASSERT_TRUE(t.StartController(8));
         ASSERT_TRUE(t.TickUntil([&] { return t.Thread().GUIIn.DeviceStatus.SetpointFromDevice == 0 && t.State() == "Ready"; }, 60000));
         t.ApplyDirect(50);
         ASSERT_TRUE(t.TickUntil([&] { return t.Heard("A32000") > 0; }, 30000));
         const qsizetype mark = t.instrument.ReceivedLines().lastIndexOf("A32000");
         ASSERT_TRUE(t.TickUntil([&] { return t.Thread().GUIIn.DeviceStatus.SetpointFromDevice == 32000; }, 30000));
         EXPECT_LE(t.instrument.ReceivedLines().size() - mark, 3) << "the new setpoint shows within three exchanges";
         EXPECT_EQ(t.Heard("A32000"), 1) << "no stale reading made it send again";
     },
     "Ready"},
    {"RefusedGasAtStart",
     [](FaultTable& t) {
         t.instrument.RefuseGas(1, VirtualMFC::GasRefusal::Unknown);
         ASSERT_TRUE(t.StartController(1));
         t.ApplyDirect(50);
         ASSERT_TRUE(t.TickUntil([&] { return t.State() == "Error"; }, 20000));
         t.TickForMS(8000);
         EXPECT_EQ(t.Heard("AG 1"), 1) << "retried every 30 s, not every pass";
         EXPECT_EQ(t.LogLines(QStringLiteral("refused gas 1")), 1);
         EXPECT_TRUE(t.PlottedPercent().isEmpty());
         EXPECT_FALSE(t.FlowColumn().isEmpty());
         EXPECT_TRUE(t.FlowColumn().filter(QRegularExpression(QStringLiteral("^[0-9]"))).isEmpty());

         t.instrument.RefuseGas(-1, VirtualMFC::GasRefusal::None);
         ASSERT_TRUE(t.TickUntil([&] { return t.State() == "Direct"; }, 40000));
         EXPECT_EQ(t.instrument.GasNumber(), 1);
         EXPECT_EQ(t.Heard("AG 1"), 2);
         EXPECT_TRUE(t.TickUntil([&] { return !t.PlottedPercent().isEmpty(); }, 10000));
     },
     "refused gas 1"},
    {"GasKeptMidRun",
     [](FaultTable& t) {
         ASSERT_TRUE(t.StartController(8));
         t.instrument.RefuseGas(1, VirtualMFC::GasRefusal::KeepsItsGas);
         TGasItem argon;
         GetGas_ID(1, argon);
         t.Device().FluidID = 1;
         t.Device().FlowUnitUser.GasMolarMass = argon.GetMolarMass();
         ASSERT_TRUE(t.TickUntil([&] { return t.Heard("AG 1") > 0 && t.State() == "Error"; }, 20000));
         EXPECT_EQ(t.Thread().GUIIn.DeviceStatus.GasSN, "N2") << "no reading taken as argon";
     },
     "Error"},
    {"FullScaleUnreadableAtStart",
     [](FaultTable& t) {
         t.instrument.ZeroNextFullScales(2);
         ASSERT_TRUE(t.StartController(8));
         t.ApplyDirect(50);
         ASSERT_TRUE(t.TickUntil([&] { return t.Heard("AFPF 37 67") >= 3 && t.State() == "Direct"; }, 30000));
         EXPECT_EQ(t.LogLines(QStringLiteral("full scale not readable")), 1);
         ASSERT_TRUE(t.TickUntil([&] { return t.FlowRows() >= 1; }, 20000));
         EXPECT_TRUE(t.FlowColumn().filter(QRegularExpression(QStringLiteral("^0\\.0$"))).isEmpty()) << "never a flow of 0";
     },
     "full scale not readable"},
    {"SmallUnitFullScaleFromTheTable",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         const qsizetype from = t.window.dataLines.size();
         ASSERT_TRUE(t.TickUntil([&] { return t.FlowRows(from) >= 2; }, 10000));
         QStringList values = t.FlowColumn(from);
         values.removeAll(QStringLiteral("?"));
         const double logged = values.last().toDouble();
         const double truth = t.instrument.Flow_counts() / FaultTable::FullScaleCounts * 50;
         EXPECT_NEAR(logged, truth, truth * 0.005) << "25 SCCM of N2 on the 50 SCCM unit";
         EXPECT_NEAR(truth, 25, 0.1);
     },
     "Direct"},
    {"HeldValveMidRunKeepsItsSetpoint",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         ASSERT_TRUE(t.HoldValve());
         t.ApplyDirect(25);
         t.TickForMS(3000);
         EXPECT_TRUE(t.instrument.Held());
         EXPECT_EQ(t.Heard("AC"), 0);
         EXPECT_EQ(t.instrument.Setpoint_counts(), 32000);
     },
     "Direct"},
    {"HeldValveAtStop",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         ASSERT_TRUE(t.HoldValve());
         t.control.ButtonSegmentProgramStopClick();
         ASSERT_TRUE(t.TickUntil([&] { return !t.instrument.Held() && t.instrument.Setpoint_counts() == 0 && t.FlowNear(0, 300); }, 10000));
         EXPECT_GT(t.Heard("AC"), 0);
         t.TickForMS(1000);
         EXPECT_EQ(t.State(), "Ready");
     },
     "Ready"},
    {"HeldValveAtClose",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         ASSERT_TRUE(t.HoldValve());
         t.control.TerminateThreads(TRunControl::ShutdownTimeoutS);
         EXPECT_TRUE(t.window.log.filter(QStringLiteral("Timeout")).isEmpty());
         EXPECT_TRUE(t.prompts.Messages.isEmpty());
         EXPECT_FALSE(t.instrument.Held());
         EXPECT_EQ(t.instrument.Setpoint_counts(), 0);
         EXPECT_TRUE(WaitProcessingEvents([&] { return t.FlowNear(0, 300); }, 5000));
     },
     "Direct"},
    {"HeldValveRaisesTheDeviationAlarmAndItClearsWithHysteresis",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         t.Device().DeviationHold_s = 2; // band 5 % of full scale
         const auto alarmed = [&] { return t.window.deviationPorts.contains(FaultTable::Port); };
         const auto secondsSince = [](double moment) { return (MonotonicNow() - moment) * SecondsPerDay; };
         ASSERT_TRUE(t.HoldValve());
         t.ApplyDirect(20);
         const double stepped = MonotonicNow();
         ASSERT_TRUE(t.TickUntil(alarmed, 20000));
         EXPECT_GE(secondsSince(stepped), 4) << "one hold time to settle after the step, one beyond the band";
         // The held flow reads about half of full scale, a little either side.
         EXPECT_EQ(t.LogLines(QStringLiteral("COM6 (MFC-A): flow does not follow its setpoint: ")), 1);
         EXPECT_EQ(t.State(), "Direct");

         // Held at 50 for 45.5: inside the band, not inside 80 % of it.
         t.ApplyDirect(45.5);
         t.TickForMS(8000);
         EXPECT_TRUE(alarmed());

         t.instrument.SetStatusCodes({});
         const double released = MonotonicNow();
         ASSERT_TRUE(t.TickUntil([&] { return !alarmed(); }, 20000));
         EXPECT_GE(secondsSince(released), 2);
         EXPECT_TRUE(t.FlowNear(0.455 * FaultTable::FullScaleCounts, 300));
         EXPECT_EQ(t.LogLines(QStringLiteral("COM6 (MFC-A): flow follows its setpoint again")), 1);
         EXPECT_EQ(t.LogLines(QStringLiteral("does not follow")), 1);
     },
     "flow does not follow its setpoint"},
    {"ControllerFollowingItsProgramThroughStepsRaisesNoAlarm",
     [](FaultTable& t) {
         ASSERT_TRUE(t.StartController(8));
         t.Device().DeviationHold_s = 2;
         // Steps of 60 and 50 %, a ramp of 1.25 % a second, a step down.
         t.Device().SegmentProgram = QStringLiteral("0 20 Step\r\n0.05 80 Step\r\n0.1 30 Step\r\n0.3 45 Ramp\r\n"
                                                    "0.35 10 Step\r\n0.45 10 Step");
         t.control.ButtonSegmentProgramStartClick();
         ASSERT_TRUE(t.TickUntil([&] { return DeviceElapsedMinutes(t.Device()) > 0.45; }, 60000));
         const QList<double> plotted = t.PlottedPercent();
         EXPECT_TRUE(std::any_of(plotted.begin(), plotted.end(), [](double y) { return y > 75; }));
         EXPECT_LT(plotted.last(), 15) << "it followed to the end";
         EXPECT_EQ(t.window.deviationShows, 0);
         EXPECT_EQ(t.LogLines(QStringLiteral("follow")), 0);
     },
     "Segment"},
    {"SilentAtStopIsNamed",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         t.instrument.SetFault(LineFault::Silent);
         t.control.ButtonSegmentProgramStopClick();
         ASSERT_TRUE(t.TickUntil([&] { return t.LogLines(QStringLiteral("did not confirm zero flow within 10 s")) > 0; }, 20000));
         EXPECT_EQ(t.State(), "Error");
     },
     "did not confirm zero flow within 10 s"},
    {"SilentAtCloseIsNamed",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         t.instrument.SetFault(LineFault::Silent);
         t.control.TerminateThreads(3);
         EXPECT_EQ(t.prompts.Messages,
                   QStringList{"COM6 (MFC-A) did not confirm zero flow and may still be flowing: close its gas supply."});
     },
     "did not confirm zero flow and may still be flowing", false},
    {"SilentAtStart",
     [](FaultTable& t) {
         t.instrument.SetFault(LineFault::Silent);
         ASSERT_TRUE(t.Configure(8));
         ASSERT_TRUE(t.TickUntil([&] { return t.State() == "Connecting"; }, 10000));
         t.TickForMS(5000);
         EXPECT_EQ(t.State(), "Connecting");
         t.instrument.SetFault(LineFault::None);
         EXPECT_TRUE(t.TickUntil([&] { return t.State() == "Ready"; }, 60000));
     },
     "Connecting"},
    {"SilentMidRun", [](FaultTable& t) { t.LineFaultMidRun([&] { t.instrument.SetFault(LineFault::Silent); },
                                                           [&] { t.instrument.SetFault(LineFault::None); }); },
     "no valid status"},
    {"NoiseMidRun", [](FaultTable& t) { t.LineFaultMidRun([&] { t.instrument.SetFault(LineFault::Garbled); },
                                                          [&] { t.instrument.SetFault(LineFault::None); }); },
     "no valid status"},
    {"UnpluggedAndPluggedBackMidRun", [](FaultTable& t) { t.LineFaultMidRun([&] { t.Unplug(); }, [&] { t.PlugBack(); }); },
     "no valid status"},
    {"MassFlowOverageMidRun",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         t.instrument.SetStatusCodes({QStringLiteral("MOV")});
         ASSERT_TRUE(t.TickUntil([&] { return t.Thread().GUIIn.DeviceStatus.ErrorFlags.Contains(TAlicatError::MOV); }, 10000));
         const qsizetype from = t.window.dataLines.size();
         ASSERT_TRUE(t.TickUntil([&] { return t.FlowRows(from) >= 2; }, 20000)) << "its readings are still logged";
         t.instrument.SetStatusCodes({});
         EXPECT_TRUE(t.TickUntil([&] { return !t.Thread().GUIIn.DeviceStatus.ErrorFlags.Contains(TAlicatError::MOV); }, 10000));
     },
     "Direct"},
    {"LogFolderFullMidRun", [](FaultTable& t) { t.LogFolderFailsMidRun(QStringLiteral("No space left on device")); },
     "No space left on device"},
    {"LogFolderUnwritableMidRun", [](FaultTable& t) { t.LogFolderFailsMidRun(QStringLiteral("Permission denied")); },
     "Permission denied"},
    {"LogFolderReadOnlyMidRun", [](FaultTable& t) { t.LogFolderFailsMidRun(QStringLiteral("Read-only file system")); },
     "Read-only file system"},
    {"LogFolderRemovedMidRun",
     [](FaultTable& t) {
         ASSERT_TRUE(t.FlowingAtHalf());
         const QFileInfo log(t.window.dataLog.DataLogFileName());
         ASSERT_TRUE(log.dir().removeRecursively());
         const qsizetype rows = t.window.dataLog.DataTable().size();
         ASSERT_TRUE(t.TickUntil([&] { return t.window.dataLog.DataTable().size() > rows + 1; }, 20000));
         t.window.dataLog.FlowDataSave(true);
         t.window.dataLog.WaitForSaves();
         EXPECT_TRUE(log.exists()) << "the folder is made again";
     },
     "Data log file:"},
};

class FaultTableTest : public FaultTable, public ::testing::WithParamInterface<FaultRow> {};

} // namespace

TEST_P(FaultTableTest, Row)
{
    GetParam().run(*this);
    CheckSurvived(QString::fromUtf8(GetParam().told), GetParam().reachableAtClose);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTableTest, ::testing::ValuesIn(Rows),
                         [](const ::testing::TestParamInfo<FaultRow>& info) { return std::string(info.param.name); });
