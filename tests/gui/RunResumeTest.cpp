#include "base/MainThreadWait.h"
#include "sim/VirtualMFC.h"
#include "support/SignalProgram.h"
#include "support/TempFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>


namespace {

// A ramp of 10 % a minute: the setpoint tells how long the program has run.
const QString Ramp = QStringLiteral("0 0 Step\r\n10 100 Ramp");
constexpr double CountsPerSecond = 10.0 / 60 * 640;
// The engine hands a setpoint on once a second and the worker passes it on
// at its next poll: a setpoint may be this old.
constexpr double SetpointLagS = 3;

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program, started as a process against a virtual controller, runs a
// ramp and is killed (SIGKILL: nothing of it runs any more) while the
// controller goes on flowing. It is then started again and answers the
// question about the interrupted run.
class RunResumeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mfc.SetSerialNumber(QStringLiteral("432389"));
        ASSERT_TRUE(mfc.Start() && mfc.Register(QStringLiteral("COM6")));
    }

    void Launch(QProcess& program, const QStringList& arguments) const
    {
        program.setWorkingDirectory(folder.Path());
        program.start(QStringLiteral(TARVO_SIGNAL_HARNESS), arguments);
        ASSERT_TRUE(program.waitForStarted());
    }

    QString Logs() const { return folder.FilePath(QStringLiteral("Logs")); }
    QStringList RunStateFiles() const { return QDir(Logs()).entryList({QStringLiteral("*.run.json")}); }
    QString LogFile() const
    {
        const QStringList logs = QDir(Logs()).entryList({QStringLiteral("run_*-??.txt")});
        return logs.size() == 1 ? QDir(Logs()).filePath(logs.first()) : QString();
    }

    // Starts the ramp, lets it run a little and kills the program; returns
    // the log file's content at the kill.
    QByteArray RunAndKill()
    {
        QProcess program;
        launched = QDateTime::currentDateTime();
        Launch(program, {QStringLiteral("run"), Ramp});
        EXPECT_TRUE(WaitProcessingEvents([&] { return mfc.Setpoint_counts() > 0; }, 60000))
            << program.readAllStandardError().toStdString();
        firstFlow = QDateTime::currentDateTime();
        EXPECT_TRUE(WaitProcessingEvents([&] { return !RunStateFiles().isEmpty(); }, 10000))
            << "the run is recorded from its start";
        const QByteArray logAtKill = ReadBytes(LogFile());
        EXPECT_TRUE(SignalProgram(program, SIGKILL)) << "still running when killed";
        program.waitForFinished(60000);
        EXPECT_GT(mfc.Setpoint_counts(), 0) << "left flowing";
        // Long enough that a program started afresh would lag far behind.
        WaitProcessingEvents([] { return false; }, 8000);
        return logAtKill;
    }

    // The ramp's setpoint fits a program started between the launch and
    // the first flow.
    bool AtElapsedTime() const
    {
        const QDateTime now = QDateTime::currentDateTime();
        const double latest = launched.msecsTo(now) / 1000.0;
        const double earliest = firstFlow.msecsTo(now) / 1000.0 - SetpointLagS;
        const double counts = mfc.Setpoint_counts();
        return counts >= earliest * CountsPerSecond && counts <= latest * CountsPerSecond;
    }

    TempFolder folder;
    VirtualMFC mfc;
    QDateTime launched;
    QDateTime firstFlow;
};

TEST_F(RunResumeTest, ResumedRunContinuesTheLogAndTheProgramAtItsElapsedTime)
{
    const QByteArray logAtKill = RunAndKill();
    ASSERT_TRUE(logAtKill.contains(" | ")) << "the start's save holds the rows so far";

    QProcess program;
    Launch(program, {QStringLiteral("resume")});
    EXPECT_TRUE(WaitProcessingEvents([&] { return AtElapsedTime(); }, 60000))
        << "setpoint " << mfc.Setpoint_counts() << " after " << firstFlow.secsTo(QDateTime::currentDateTime()) << " s";
    ASSERT_TRUE(WaitProcessingEvents([&] { return ReadBytes(LogFile()).contains("Resumed"); }, 10000));

    EXPECT_TRUE(SignalProgram(program, SIGTERM)) << "still running until closed";
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(mfc.Setpoint_counts(), 0);
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError()).contains(QStringLiteral("Resume the run of ")));
    const QByteArray log = ReadBytes(LogFile());
    EXPECT_TRUE(log.startsWith(logAtKill)) << "every row saved before the kill is kept, first";
    EXPECT_GT(log.indexOf("Resumed"), logAtKill.size() - 1);
    EXPECT_TRUE(RunStateFiles().isEmpty()) << "a run ended by close leaves no record";
}

TEST_F(RunResumeTest, DiscardBringsTheControllerToRest)
{
    RunAndKill();

    QProcess program;
    Launch(program, {QStringLiteral("discard")});
    EXPECT_TRUE(WaitProcessingEvents([&] { return mfc.Setpoint_counts() == 0 && RunStateFiles().isEmpty(); }, 60000))
        << "setpoint " << mfc.Setpoint_counts();
    EXPECT_TRUE(SignalProgram(program, SIGTERM)) << "still running until closed";
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardError()).contains(QStringLiteral("Resume the run of ")));
}

} // namespace
