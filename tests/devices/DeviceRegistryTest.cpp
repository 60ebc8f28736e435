#include "devices/DeviceFluidName.h"
#include "devices/DeviceRegistry.h"
#include "base/Errors.h"
#include "app/Startup.h"
#include "support/TestClock.h"

#include <gtest/gtest.h>

namespace {

class DeviceRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RunStartupSequence(); }
};

TDeviceInfo Named(const QString& port, const QString& name, tDeviceType type)
{
    TDeviceInfo device;
    device.COMPort = port;
    device.NameRole = name;
    device.DevType = type;
    return device;
}

} // namespace

TEST_F(DeviceRegistryTest, StartsWithTheTwoDemonstrationDevices)
{
    ASSERT_EQ(DevicesLocal.size(), 2);
    const TDeviceInfo& first = DevicesLocal.at(0);
    const TDeviceInfo& second = DevicesLocal.at(1);
    EXPECT_EQ(first.COMPort, QStringLiteral("COMX"));
    EXPECT_EQ(second.COMPort, QStringLiteral("COMY"));
    EXPECT_EQ(first.Serial, QStringLiteral("123456"));
    EXPECT_EQ(second.Serial, QStringLiteral("1234567"));
    EXPECT_EQ(first.Color, clRtPurple);
    EXPECT_EQ(second.Color, clRtGreen);
    EXPECT_EQ(first.FlowUnitDevice.pGasFlowMax, 50);
    EXPECT_EQ(second.FlowUnitDevice.pGasFlowMax, 500);
    EXPECT_EQ(second.FlowUnitUser.Name, QStringLiteral("ml/min"));
    EXPECT_EQ(second.FlowUnitUser.pGasFlowMax, 500);
    for (const TDeviceInfo& demo : DevicesLocal) {
        EXPECT_EQ(demo.DevType, dtMFCDemo);
        EXPECT_EQ(demo.NameRole, QStringLiteral("Virtual Demo"));
        EXPECT_EQ(demo.ControlMode, dcmDirect);
        EXPECT_EQ(demo.FluidID, -1);
        EXPECT_FALSE(HasWorkerThread(demo));
    }
    EXPECT_EQ(first.SegmentProgram, QStringLiteral("10 100 Ramp\r\n12 100 Step Some_random_comment\r\n12.5 30 Ramp\r\n"
                                                   "15 50 Step\r\n20 30 Step\r\n24 0 Ramp"));
    EXPECT_TRUE(second.SegmentProgram.startsWith(QStringLiteral("1.5 100 Ramp\r\n")));
    EXPECT_TRUE(second.SegmentProgram.endsWith(QStringLiteral("\r\n8 0 Ramp")));
}

TEST_F(DeviceRegistryTest, LooksUpByTrimmedPortWithCase)
{
    TDeviceInfo device;
    EXPECT_TRUE(GetDeviceByPort(QStringLiteral(" COMX "), device));
    EXPECT_EQ(device.Serial, QStringLiteral("123456"));
    EXPECT_EQ(IndexOfDevicePort(QStringLiteral("COMY\t")), 1);

    TDeviceInfo untouched;
    untouched.NameRole = QStringLiteral("keep");
    EXPECT_FALSE(GetDeviceByPort(QStringLiteral("comx"), untouched));
    EXPECT_EQ(untouched.NameRole, QStringLiteral("keep"));
    EXPECT_EQ(IndexOfDevicePort(QStringLiteral("COM3")), -1);
}

TEST_F(DeviceRegistryTest, StoreDeviceWritesBackACopy)
{
    TDeviceInfo device;
    ASSERT_TRUE(GetDeviceByPort(QStringLiteral("COMY"), device));
    device.NameRole = QStringLiteral("Cathode side");
    EXPECT_EQ(DevicesLocal.at(1).NameRole, QStringLiteral("Virtual Demo")) << "a copy is not the entry";

    EXPECT_TRUE(StoreDevice(device));
    TDeviceInfo reread;
    ASSERT_TRUE(GetDeviceByPort(QStringLiteral("COMY"), reread));
    EXPECT_EQ(reread.NameRole, QStringLiteral("Cathode side"));

    device.COMPort = QStringLiteral("COM9");
    EXPECT_FALSE(StoreDevice(device));
    EXPECT_EQ(DevicesLocal.size(), 2);
}

TEST_F(DeviceRegistryTest, SortsByNameWithoutCaseThenByType)
{
    DevicesLocal = {Named("COM1", "b", dtMFCB), Named("COM2", "A", dtMFCA), Named("COM3", "a", dtPump)};
    SortDevicesLocalArray();
    ASSERT_EQ(DevicesLocal.size(), 3);
    EXPECT_EQ(DevicesLocal.at(0).COMPort, QStringLiteral("COM2"));
    EXPECT_EQ(DevicesLocal.at(1).COMPort, QStringLiteral("COM3"));
    EXPECT_EQ(DevicesLocal.at(2).COMPort, QStringLiteral("COM1"));
}

TEST_F(DeviceRegistryTest, FindsKnownDevicesBySerialText)
{
    TDeviceInfo found;
    ASSERT_TRUE(FindKnownDevice(QStringLiteral("2020465"), found)) << "a pump reports the first part of its serial";
    EXPECT_EQ(found.DevType, dtPump);
    EXPECT_EQ(found.NameRole, QStringLiteral("Prototype"));
    EXPECT_EQ(found.MaxFlow_ulpm, 312.5);

    ASSERT_TRUE(FindKnownDevice(QStringLiteral("A  M05 Serial Number 432389"), found));
    EXPECT_EQ(found.DevType, dtMFCA);
    EXPECT_EQ(found.Serial, QStringLiteral("432389"));

    TDeviceInfo untouched;
    EXPECT_FALSE(FindKnownDevice(QString(), untouched));
    EXPECT_FALSE(FindKnownDevice(QStringLiteral("A  M05 Serial Number 999999"), untouched));
    EXPECT_TRUE(untouched.Serial.isEmpty());
}

TEST_F(DeviceRegistryTest, ElapsedMinutesFollowTheClock)
{
    TestClock clock;
    TDeviceInfo device;
    device.FlowStartTime = clock.Now();
    clock.AdvanceSeconds(90);
    EXPECT_NEAR(DeviceElapsedMinutes(device), 1.5, 1e-6);
}

TEST(DeviceTypeNames, NameEveryType)
{
    struct Case { tDeviceType type; const char* typeName; const char* instrument; };
    const Case cases[] = {
        {dtMFCA, "MFC-A", "Brisol"}, {dtMFCB, "MFC-B", "Brisol"}, {dtMFCC, "MFC-C", "Brisol"},
        {dtMFCD, "MFC-D", "Brisol"}, {dtPump, "Pump", "Nivra"}, {dtMFCDemo, "MFC", "Simulated"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DeviceTypeName(c.type), QString::fromLatin1(c.typeName));
        EXPECT_EQ(DeviceInstrumentName(c.type), QString::fromLatin1(c.instrument));
    }
}

TEST_F(DeviceRegistryTest, FluidNameByKindOfGas)
{
    TDeviceInfo device;
    ASSERT_TRUE(GetDeviceByPort(QStringLiteral("COMX"), device));
    EXPECT_EQ(DeviceFluidName(device), QStringLiteral("Unconfigured"));
    struct Case { qint32 id; const char* name; };
    const Case cases[] = {{8, "N2"}, {0, "Mixture"}, {301, "Unknown"}};
    for (const Case& c : cases) {
        device.FluidID = c.id;
        EXPECT_EQ(DeviceFluidName(device), QString::fromLatin1(c.name)) << c.id;
    }
    device.FluidID = 999;
    EXPECT_THROW(DeviceFluidName(device), TarvoError);
    device.DevType = dtPump;
    EXPECT_EQ(DeviceFluidName(device), QStringLiteral("Pump"));
}
