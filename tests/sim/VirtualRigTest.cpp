#include "sim/VirtualRig.h"

#include "devices/DeviceRegistry.h"
#include "app/Startup.h"
#include "serial/PortFolder.h"
#include "serial/SerialPort.h"
#include "sim/SimOptions.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

SimOptions Prototype(int firstPort = 6)
{
    return SimOptions{firstPort, PrototypeInstruments(), LineFault::None};
}

QStringList PortNames(const VirtualRig& rig)
{
    QStringList names;
    for (const VirtualRig::Served& instrument : rig.Instruments())
        names.append(instrument.portName);
    return names;
}

} // namespace

class VirtualRigTest : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(VirtualRigTest, ServesTheInstrumentsUnderConsecutiveNamesUntilStopped)
{
    VirtualRig rig;
    QString error;
    ASSERT_TRUE(rig.Start(Prototype(), error)) << error.toStdString();

    EXPECT_EQ(PortNames(rig), (QStringList{"COM6", "COM7", "COM8"}));
    EXPECT_EQ(VirtualPortNames().size(), 3);
    for (const VirtualRig::Served& instrument : rig.Instruments())
        EXPECT_EQ(ResolvePortName(instrument.portName), instrument.devicePath);

    rig.Stop();
    EXPECT_EQ(VirtualPortNames(), QStringList());
    EXPECT_TRUE(rig.Instruments().isEmpty());
}

TEST_F(VirtualRigTest, TakenNameRefusesTheRigAndKeepsTheOwner)
{
    VirtualRig owner;
    QString error;
    ASSERT_TRUE(owner.Start(Prototype(), error));

    // COM4 and COM5 start before COM6 is found taken; they must go again.
    VirtualRig late;
    EXPECT_FALSE(late.Start(Prototype(4), error));
    EXPECT_TRUE(error.contains(QLatin1String("COM6 is already taken"))) << error.toStdString();
    EXPECT_TRUE(late.Instruments().isEmpty());
    QStringList names = VirtualPortNames();
    names.sort();
    EXPECT_EQ(names, (QStringList{"COM6", "COM7", "COM8"}));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM6")), owner.Instruments().first().devicePath);
}

// A later device search must find the default instruments in the known-device
// table: an MFC by its identification line, a pump by the number it keeps.
TEST_F(VirtualRigTest, DefaultInstrumentsAreThePrototypeRowsOfTheKnownDevices)
{
    RunStartupSequence();
    VirtualRig rig;
    QString error;
    ASSERT_TRUE(rig.Start(Prototype(), error)) << error.toStdString();

    const QList<SimInstrument> instruments = PrototypeInstruments();
    for (qsizetype i = 0; i < instruments.size(); ++i) {
        const SimInstrument& instrument = instruments.at(i);
        const QString portName = rig.Instruments().at(i).portName;
        SCOPED_TRACE(portName.toStdString());
        QString identification = instrument.serial;
        if (instrument.kind == SimInstrument::Kind::MFC) {
            TSerialPort port;
            port.SetPort(portName);
            port.SetBaudRate(19200);
            const TSerialResponse reply = port.Send2("A??M5\r", true);
            ASSERT_EQ(reply.Status, QString());
            identification = reply.Response;
        }
        TDeviceInfo row;
        ASSERT_TRUE(FindKnownDevice(identification, row)) << identification.toStdString();
        EXPECT_EQ(row.NameRole, QStringLiteral("Prototype"));
        EXPECT_EQ(IsMFC(row.DevType), instrument.kind == SimInstrument::Kind::MFC);
        if (instrument.kind == SimInstrument::Kind::MFC) {
            EXPECT_DOUBLE_EQ(row.FlowUnitDevice.pGasFlowMax, instrument.fullScale_slpm * 1000); // SCCM
        }
    }
}
