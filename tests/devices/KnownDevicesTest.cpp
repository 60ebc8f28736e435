#include "devices/DeviceRegistry.h"
#include "app/Startup.h"

#include <gtest/gtest.h>

#include <QMap>
#include <QRegularExpression>
#include <QSet>

namespace {

class KnownDevicesTest : public ::testing::Test {
protected:
    void SetUp() override { RunStartupSequence(); }
};

QString Installation(const TDeviceInfo& row)
{
    QString name = row.NameRole;
    name.remove(QRegularExpression(QStringLiteral("^(Brisol|Nivra) ")));
    return name;
}

} // namespace

TEST_F(KnownDevicesTest, PrototypeRowsAreExact)
{
    ASSERT_EQ(KnownDevices.size(), 36);
    const TDeviceInfo& a = KnownDevices.at(0);
    const TDeviceInfo& b = KnownDevices.at(1);
    const TDeviceInfo& pump = KnownDevices.at(2);
    EXPECT_EQ(a.DevType, dtMFCA);
    EXPECT_EQ(a.Serial, QStringLiteral("432389"));
    EXPECT_EQ(a.Color, clRtRed);
    EXPECT_EQ(a.FlowUnitDevice.pGasFlowMax, 50);
    EXPECT_EQ(a.SegmentProgram, QStringLiteral("0 0 Step\r\n4 30 Ramp\r\n7 10 Ramp"));
    EXPECT_EQ(b.DevType, dtMFCB);
    EXPECT_EQ(b.Serial, QStringLiteral("432390"));
    EXPECT_EQ(b.Color, clRtGreen);
    EXPECT_EQ(b.FlowUnitDevice.pGasFlowMax, 500);
    EXPECT_EQ(b.SegmentProgram, QStringLiteral("0 30 Step\r\n3 80 Ramp\r\n8 0 Step"));
    EXPECT_EQ(pump.DevType, dtPump);
    EXPECT_EQ(pump.Serial, QStringLiteral("2020465-PS019015362"));
    EXPECT_EQ(pump.Color, clRtAqua);
    EXPECT_EQ(pump.SyringeSizeuL, 12.5);
    EXPECT_EQ(pump.FluidTemperatureC, 20);
    EXPECT_EQ(pump.MaxFlow_ulpm, 312.5);
    EXPECT_EQ(pump.FlowUnitUser.Name, QStringLiteral("µl/min"));
    EXPECT_EQ(pump.FlowUnitDevice.GasFlowType, gfuUndefined);
    EXPECT_EQ(pump.SegmentProgram, QStringLiteral("0 0 Step\r\n5 20 Ramp\r\n10 5 Ramp"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(KnownDevices.at(i).NameRole, QStringLiteral("Prototype"));
}

// The delivered installations: the structure the device search relies on.
TEST_F(KnownDevicesTest, InstallationRowsFollowTheInstalledStructure)
{
    const QRegularExpression mfcSerial(QStringLiteral("^[0-9]{6}$"));
    const QRegularExpression pumpSerial(QStringLiteral("^[1-9][0-9]{3}[1-9][0-9]{2}-PS[0-9]{9,10}$"));
    const QSet<TRtColor> mfcColors = {clRtRed, clRtGreen, clRtBlue, clRtBrown, clRtPurple};
    QMap<QString, QList<TDeviceInfo>> sites;
    QSet<QString> serials;
    int mfcs = 0, pumps = 0;
    for (int i = 3; i < KnownDevices.size(); ++i) {
        const TDeviceInfo& row = KnownDevices.at(i);
        sites[Installation(row)].append(row);
        EXPECT_FALSE(serials.contains(row.Serial)) << row.Serial.toStdString();
        serials.insert(row.Serial);
        EXPECT_EQ(row.FluidID, -1);
        EXPECT_EQ(row.ControlMode, dcmDirect);
        EXPECT_EQ(row.Setpoint_pct, 0);
        EXPECT_TRUE(row.SegmentProgram.isEmpty());
        if (row.DevType == dtPump) {
            ++pumps;
            EXPECT_TRUE(row.NameRole.startsWith(QStringLiteral("Nivra ")));
            EXPECT_TRUE(pumpSerial.match(row.Serial).hasMatch()) << row.Serial.toStdString();
            EXPECT_TRUE(row.Color == clRtAqua || row.Color == clRtBlue);
            EXPECT_TRUE(row.SyringeSizeuL == 12.5 || row.SyringeSizeuL == 25);
            EXPECT_EQ(row.FluidTemperatureC, 21);
            EXPECT_EQ(row.MaxFlow_ulpm, 1000);
            EXPECT_EQ(row.FlowUnitUser.Name, QStringLiteral("µl/min"));
        } else {
            ++mfcs;
            EXPECT_TRUE(row.NameRole.startsWith(QStringLiteral("Brisol ")));
            EXPECT_TRUE(mfcSerial.match(row.Serial).hasMatch()) << row.Serial.toStdString();
            EXPECT_TRUE(mfcColors.contains(row.Color));
            const double fullScale = row.FlowUnitDevice.pGasFlowMax;
            EXPECT_TRUE(fullScale == 50 || fullScale == 500 || fullScale == 5000);
            EXPECT_EQ(row.FlowUnitDevice.Name, QStringLiteral("ml/min"));
            EXPECT_EQ(row.FlowUnitUser.pGasFlowMax, fullScale);
        }
    }
    EXPECT_EQ(mfcs, 24);
    EXPECT_EQ(pumps, 9);

    for (auto site = sites.cbegin(); site != sites.cend(); ++site) {
        QList<tDeviceType> roles;
        QSet<TRtColor> colors;
        for (const TDeviceInfo& row : site.value()) {
            EXPECT_FALSE(colors.contains(row.Color)) << "colours repeat in " << site.key().toStdString();
            colors.insert(row.Color);
            if (row.DevType != dtPump)
                roles.append(row.DevType);
        }
        const bool twoOrFour = roles == QList<tDeviceType>{dtMFCA, dtMFCB}
                            || roles == QList<tDeviceType>{dtMFCA, dtMFCB, dtMFCC, dtMFCD} || roles.isEmpty();
        EXPECT_TRUE(twoOrFour) << site.key().toStdString();
    }
}

// Each instrument must be found by what it reports of itself, and only its own row.
TEST_F(KnownDevicesTest, EveryRowIsFoundByItsOwnIdentification)
{
    for (const TDeviceInfo& row : KnownDevices) {
        const QString reported = row.DevType == dtPump ? row.Serial.left(7)
                                                      : QStringLiteral("A  M05 Serial Number ") + row.Serial;
        TDeviceInfo found;
        ASSERT_TRUE(FindKnownDevice(reported, found)) << reported.toStdString();
        EXPECT_EQ(found.Serial, row.Serial) << reported.toStdString();
    }
}
