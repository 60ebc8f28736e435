#include "FakeViews.h"

#include "app/Startup.h"
#include "base/Clock.h"
#include "devices/DeviceRegistry.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "engine/RunResume.h"
#include "engine/RunState.h"
#include "engine/RunStateKeeper.h"
#include "mfc/MFCThread.h"
#include "support/FailingFileWriter.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QDateTime At(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

TRunState ReadState(const QString& fileName)
{
    TRunState state;
    QString error;
    EXPECT_TRUE(ReadRunStateFile(fileName, state, error)) << error.toStdString();
    return state;
}

// Run control on the demonstration devices, with the run's record kept as
// the window keeps it. Threads are created but never started.
class RunStateKeeperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        control.SetRunChangedSink([this] { keeper.Update(); });
        window.dataLog.SetSavedSink([this] { keeper.Update(); });
        prompts.InputAnswers.enqueue(QStringLiteral("run"));
        ASSERT_TRUE(window.dataLog.FlowDataLogFileEnsure(false));
        for (int index : {0, 1}) {
            DevicesLocal[index].ThreadMFC = new TMFCThread; // freed by TerminateThreads
            DevicesLocal[index].ControlMode = dcmIdle;
        }
        window.selected = {QStringLiteral("COMX")};
    }
    void TearDown() override
    {
        for (TDeviceInfo& device : DevicesLocal) {
            if (device.ThreadMFC)
                device.ThreadMFC->GUIIn.IsTerminated = true;
        }
        control.TerminateThreads(1);
    }

    QString RunStateFile() const { return RunStateFileName(window.dataLog.DataLogFileName()); }

    TempFolder folder;
    TestClock clock;
    RecordingPrompts prompts;
    FakeWindow window;
    TEngineTick engine{window, window.dataLog};
    TRunControl control{window, engine, window.dataLog};
    TRunStateKeeper keeper{window.dataLog, [] { return CaptureSoftwareState(DevicesLocal); },
                           [this](const QString& message) { window.MM(message); }};
};

} // namespace

TEST(RunStateTest, ElapsedTimeCountsAcrossUtcOffsets)
{
    const struct {
        const char* name;
        const char* started;
        const char* now;
        double minutes;
    } cases[] = {
        {"same offset", "2026-10-16T09:00:00+02:00", "2026-10-16T09:30:00+02:00", 30},
        {"summer time ended meanwhile", "2026-10-25T02:30:00+02:00", "2026-10-25T02:10:00+01:00", 40},
        {"restarted in another zone", "2026-10-16T09:00:00+02:00", "2026-10-16T08:15:00+00:00", 75},
        {"clock now before the start", "2026-10-16T09:00:00+02:00", "2026-10-16T08:00:00+02:00", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ElapsedMinutesSince(At(c.started), At(c.now)), c.minutes) << c.name;
}

TEST(RunStateTest, KeepsTheLogTheSetupAndEachRunningDevicesStart)
{
    RunStartupSequence();
    TestClock clock;
    TDeviceInfo running = DevicesLocal.at(1);
    running.ThreadMFC = reinterpret_cast<TMFCThread*>(&clock); // only its presence counts here
    running.ControlMode = dcmDirect;
    running.Setpoint_pct = 35;
    running.FlowStartTime = MonotonicNow() - 12.5 / MinutesPerDay;
    DevicesLocal[1] = running;
    const QDateTime now = At("2026-10-16T09:00:00+02:00");

    TRunState read;
    QString error;
    TSoftwareState setup = CaptureSoftwareState(DevicesLocal);
    setup.TimeUnit = QStringLiteral("DAY");
    ASSERT_TRUE(RunStateFromJson(RunStateToJson(CaptureRunState(QStringLiteral("/logs/a.txt"), setup, DevicesLocal, now)),
                                 read, error))
        << error.toStdString();
    DevicesLocal[1].ThreadMFC = nullptr;

    EXPECT_EQ(read.DataLogFileName, QStringLiteral("/logs/a.txt"));
    EXPECT_EQ(read.Setup.Devices.size(), DevicesLocal.size());
    EXPECT_EQ(read.Setup.TimeUnit, QStringLiteral("DAY"));
    ASSERT_EQ(read.Running.size(), 1) << "the idle device is not running";
    EXPECT_EQ(read.Running.at(0).Serial, running.Serial);
    EXPECT_EQ(read.Running.at(0).ControlMode, dcmDirect);
    EXPECT_EQ(read.Running.at(0).Setpoint_pct, 35);
    EXPECT_EQ(read.Running.at(0).Started.offsetFromUtc(), 7200) << "the offset is kept";
    EXPECT_DOUBLE_EQ(ElapsedMinutesSince(read.Running.at(0).Started, now), 12.5);
    EXPECT_EQ(ResumeQuestion(read), QStringLiteral("Resume the run of %1 (log a.txt)?")
                                        .arg(now.addSecs(-750).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    EXPECT_EQ(RunStateFileName(QStringLiteral("/logs/a.txt")), QStringLiteral("/logs/a.txt.run.json"));
}

TEST(RunStateTest, UnreadableFilesAreRefused)
{
    const struct {
        const char* name;
        QByteArray json;
    } cases[] = {
        {"not JSON", "{"},
        {"no version", R"({"dataLog": "a.txt"})"},
        {"bad start time",
         R"({"version": 1, "setup": {"version": 1}, "running": [{"serial": "1", "started": "soon"}]})"},
    };
    for (const auto& c : cases) {
        TRunState state;
        QString error;
        EXPECT_FALSE(RunStateFromJson(c.json, state, error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
    }
}

TEST_F(RunStateKeeperTest, RecordedFromTheStartUntilTheRunEnds)
{
    control.ButtonSegmentProgramStartClick();
    ASSERT_TRUE(QFile::exists(RunStateFile())) << "recorded at the start, not a minute later";
    EXPECT_EQ(ReadState(RunStateFile()).Running.size(), 1);

    window.selected = {QStringLiteral("COMY")};
    clock.AdvanceSeconds(90);
    control.ButtonApplyFlowClick();
    const TRunState both = ReadState(RunStateFile());
    ASSERT_EQ(both.Running.size(), 2);
    EXPECT_NEAR(ElapsedMinutesSince(both.Running.at(0).Started, DaysToDateTime(Now())), 1.5, 1e-6);

    control.StopDevices({QStringLiteral("COMX")});
    EXPECT_EQ(ReadState(RunStateFile()).Running.size(), 1) << "COMY still runs";
    control.StopDevices({QStringLiteral("COMY")});
    EXPECT_FALSE(QFile::exists(RunStateFile())) << "stopped: nothing to resume";
}

TEST_F(RunStateKeeperTest, RemovedByResetAndNeverLeftHalfWritten)
{
    control.ButtonSegmentProgramStartClick();
    const QByteArray recorded = [&] {
        QFile file(RunStateFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    {
        FailingFileWriter failing;
        failing.Fail(QStringLiteral(".run.json"));
        clock.AdvanceSeconds(61);
        window.dataLog.AppendDataLines({QStringLiteral("row")});
        window.dataLog.FlowDataSave(false);
        window.dataLog.WaitForSaves();
        EXPECT_TRUE(window.log.last().startsWith(QStringLiteral("Saving the run state failed: ")));
    }
    QFile file(RunStateFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), recorded) << "the last good record stays whole";
    file.close();

    for (TDeviceInfo& device : DevicesLocal) {
        if (device.ThreadMFC)
            device.ThreadMFC->GUIIn.IsTerminated = true;
    }
    control.ResetDevices();
    EXPECT_FALSE(QFile::exists(RunStateFile()));
}

TEST_F(RunStateKeeperTest, ResumedDevicesRunOnFromTheirElapsedTime)
{
    TRunState state;
    const QDateTime now = DaysToDateTime(Now());
    state.Running = {{DevicesLocal.at(0).Serial, dcmSegment, now.addSecs(-750), 0},
                     {DevicesLocal.at(1).Serial, dcmDirect, now.addSecs(-60), 42},
                     {QStringLiteral("not here"), dcmSegment, now, 0}};

    ResumeRunningDevices(state, control, now);
    TDeviceInfo program, direct;
    ASSERT_TRUE(GetDeviceByPort(QStringLiteral("COMX"), program) && GetDeviceByPort(QStringLiteral("COMY"), direct));
    EXPECT_EQ(program.ControlMode, dcmSegment);
    EXPECT_NEAR(DeviceElapsedMinutes(program), 12.5, 1e-6);
    EXPECT_EQ(direct.ControlMode, dcmDirect);
    EXPECT_EQ(direct.Setpoint_pct, 42);
    EXPECT_NEAR(DeviceElapsedMinutes(direct), 1, 1e-6);
    EXPECT_NEAR((MonotonicNow() - engine.GraphTimeZero) * MinutesPerDay, 12.5, 1e-6) << "the graph from the first start";
    EXPECT_EQ(ReadState(RunStateFile()).Running.size(), 2) << "the resumed run is kept again";
}
