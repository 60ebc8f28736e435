#include "LineFixture.h"

#include "serial/PortFolder.h"

#include <QDir>
#include <QFile>

using PortFolderTest = LineFixture;

TEST_F(PortFolderTest, ListSerialPortsSortsWithoutCaseAndSkipsDanglingLinks)
{
    std::vector<std::unique_ptr<ScriptedInstrument>> lines;
    for (const char* name : {"COM2", "COM10", "com15", "COM1"})
        lines.push_back(StartInstrument(QString::fromLatin1(name)));
    // A line that has gone leaves its link behind.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/nonexistent"), QDir(PortFolderPath()).filePath(QStringLiteral("COM3"))));

    const QStringList ports = ListSerialPorts();

    QStringList virtualPorts;
    for (const QString& port : ports) {
        if (port.startsWith(QLatin1String("com"), Qt::CaseInsensitive))
            virtualPorts.append(port);
    }
    EXPECT_EQ(virtualPorts, (QStringList{"COM1", "COM10", "com15", "COM2"}));
    QStringList sorted = ports;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(ports, sorted); // the machine's own ports sort in among them
}

TEST_F(PortFolderTest, FolderComesFromTheEnvironment)
{
    const QByteArray savedPortDir = qgetenv("TARVO_PORT_DIR");
    const QByteArray savedRuntimeDir = qgetenv("XDG_RUNTIME_DIR");
    const bool hadRuntimeDir = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");

    EXPECT_EQ(PortFolderPath(), folder.FilePath(QStringLiteral("ports")));
    qunsetenv("TARVO_PORT_DIR");
    qputenv("XDG_RUNTIME_DIR", "/run/user/4711");
    EXPECT_EQ(PortFolderPath(), QStringLiteral("/run/user/4711/tarvo/ports"));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(PortFolderPath(), QDir(QDir::tempPath()).filePath(QStringLiteral("tarvo/ports")));

    qputenv("TARVO_PORT_DIR", savedPortDir);
    if (hadRuntimeDir)
        qputenv("XDG_RUNTIME_DIR", savedRuntimeDir);
}

TEST_F(PortFolderTest, NamesResolveToTheirDevices)
{
    auto line = StartInstrument(QStringLiteral("COM6"));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM6")), line->DevicePath());
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM5")), QStringLiteral("COM5"));
    EXPECT_EQ(ResolvePortName(QStringLiteral("/dev/ttyUSB7")), QStringLiteral("/dev/ttyUSB7"));
}

TEST_F(PortFolderTest, RegistrationStaysInsideTheFolderAndKeepsLiveNames)
{
    auto line = StartInstrument(QStringLiteral("COM6"));
    const QString device = line->DevicePath();

    for (const char* name : {"", ".", "..", "../COM6", "a/b", "COM 6"})
        EXPECT_FALSE(RegisterVirtualPort(QString::fromLatin1(name), device)) << name;
    EXPECT_FALSE(QFile::exists(QDir(folder.Path()).filePath(QStringLiteral("COM6"))));

    // A live name is not taken over; a dangling one is.
    auto other = std::make_unique<ScriptedInstrument>(MfcBaudRate);
    ASSERT_TRUE(other->Start());
    EXPECT_FALSE(other->Register(QStringLiteral("COM6")));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM6")), device);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/nonexistent"), QDir(PortFolderPath()).filePath(QStringLiteral("COM7"))));
    EXPECT_TRUE(other->Register(QStringLiteral("COM7")));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM7")), other->DevicePath());

    // Unregistering only removes a link that still points at the line's device.
    UnregisterVirtualPort(QStringLiteral("COM7"), device);
    EXPECT_EQ(VirtualPortNames().size(), 2);
    other->Stop();
    EXPECT_EQ(VirtualPortNames(), QStringList{"COM6"});
}
