#include "app/Startup.h"
#include "devices/DeviceRegistry.h"
#include "engine/RunState.h"
#include "support/TestClock.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

QDateTime At(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

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
    running.ControlMode = dcmSegment;
    running.FlowStartTime = MonotonicNow() - 12.5 / MinutesPerDay;
    DevicesLocal[1] = running;
    const QDateTime now = At("2026-10-16T09:00:00+02:00");

    TRunState read;
    QString error;
    ASSERT_TRUE(RunStateFromJson(RunStateToJson(CaptureRunState(QStringLiteral("/logs/a.txt"), DevicesLocal, now)), read,
                                 error))
        << error.toStdString();
    DevicesLocal[1].ThreadMFC = nullptr;

    EXPECT_EQ(read.DataLogFileName, QStringLiteral("/logs/a.txt"));
    EXPECT_EQ(read.Setup.Devices.size(), DevicesLocal.size());
    ASSERT_EQ(read.Running.size(), 1) << "the idle device is not running";
    EXPECT_EQ(read.Running.at(0).Serial, running.Serial);
    EXPECT_EQ(read.Running.at(0).ControlMode, dcmSegment);
    EXPECT_EQ(read.Running.at(0).Started.offsetFromUtc(), 7200) << "the offset is kept";
    EXPECT_DOUBLE_EQ(ElapsedMinutesSince(read.Running.at(0).Started, now), 12.5);
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
