#include "base/MainThreadWait.h"
#include "base/TextEncoding.h"
#include "sim/VirtualMFC.h"
#include "support/SignalProgram.h"
#include "support/TempFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>


namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program, started as a process against a virtual controller, runs a
// program at 50 % and is then ended by the signal of a shutdown, a logout or
// Ctrl-C: it must leave as the operator's close does.
class SignalCloseTest : public ::testing::TestWithParam<int> {};

TEST_P(SignalCloseTest, LeavesTheControllerAtRestAndTheLastRowsInTheLog)
{
    TempFolder folder;
    VirtualMFC mfc;
    mfc.SetSerialNumber(QStringLiteral("432389"));
    ASSERT_TRUE(mfc.Start() && mfc.Register(QStringLiteral("COM6")));

    QProcess program;
    program.setWorkingDirectory(folder.Path());
    program.start(QStringLiteral(TARVO_SIGNAL_HARNESS), {});
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(WaitProcessingEvents([&] { return mfc.Setpoint_counts() == 32000; }, 60000))
        << program.readAllStandardError().toStdString();
    // A few rows while flowing, so the last ones are worth keeping.
    WaitProcessingEvents([] { return false; }, 4000);

    ASSERT_TRUE(SignalProgram(program, GetParam())) << "still running when signalled";
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(mfc.Setpoint_counts(), 0) << "no controller left flowing";

    const QString table = QString::fromUtf8(program.readAllStandardOutput());
    ASSERT_TRUE(table.contains(QStringLiteral(" | "))) << "the program held rows";
    const QStringList logs = QDir(folder.FilePath(QStringLiteral("Logs"))).entryList({QStringLiteral("signal_*-??.txt")});
    ASSERT_EQ(logs.size(), 1);
    EXPECT_EQ(ReadBytes(folder.FilePath(QStringLiteral("Logs/") + logs.first())), TextFileBytes(table))
        << "every row the program held reached the log";
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalCloseTest, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == SIGTERM ? "Sigterm" : info.param == SIGHUP ? "Sighup" : "Sigint";
                         });

} // namespace
