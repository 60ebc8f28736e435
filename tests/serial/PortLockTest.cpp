#include "serial/PortLock.h"

#include "serial/PortFolder.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>

#include <gtest/gtest.h>

namespace {

// Ports named after a file of the test's own folder, so parallel tests never
// share a lock.
class PortLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile device(folder.FilePath(QStringLiteral("device")));
        ASSERT_TRUE(device.open(QIODevice::WriteOnly));
        ASSERT_TRUE(RegisterVirtualPort(QStringLiteral("COM6"), device.fileName()));
    }

    TempFolder folder;
    const QString refusalStart = QStringLiteral("Port COM6 is in use by Tarvo (process ");
};

TEST_F(PortLockTest, ASecondUserIsRefusedUntilTheFirstLetsGo)
{
    TPortLock first;
    TPortLock second;
    QString refusal;
    ASSERT_TRUE(first.Acquire(QStringLiteral("COM6"), refusal));
    EXPECT_FALSE(second.Acquire(QStringLiteral("COM6"), refusal));
    EXPECT_EQ(refusal, refusalStart + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(")."));

    first.Release();
    EXPECT_TRUE(second.Acquire(QStringLiteral("COM6"), refusal));
    EXPECT_TRUE(second.IsHeld());
}

TEST_F(PortLockTest, TwoNamesOfOneDeviceShareTheLock)
{
    ASSERT_TRUE(RegisterVirtualPort(QStringLiteral("COM16"), folder.FilePath(QStringLiteral("device"))));
    TPortLock first;
    TPortLock second;
    QString refusal;
    ASSERT_TRUE(first.Acquire(QStringLiteral("COM6"), refusal));
    EXPECT_FALSE(second.Acquire(QStringLiteral("COM16"), refusal));
}

TEST_F(PortLockTest, TheLockOfAProcessThatHasGoneIsTakenOver)
{
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted(10000));
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished(10000));
    QDir().mkpath(PortLockFolderPath());
    QFile stale(PortLockFilePath(QStringLiteral("COM6")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(pid) + "\ntarvo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();

    TPortLock lock;
    QString refusal;
    EXPECT_TRUE(lock.Acquire(QStringLiteral("COM6"), refusal)) << refusal.toStdString();
}

} // namespace
