#include "gas/GasList.h"
#include "ui/pages/ConfigureSheet.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr qint32 Water = 1001;

TDeviceInfo Controller(bool grams)
{
    TDeviceInfo device;
    device.COMPort = QStringLiteral("COM6");
    device.NameRole = QStringLiteral("Cathode side");
    device.DevType = dtMFCA;
    device.Color = clRtBlue;
    device.FluidID = GasFluidListRows().at(3).ID;
    device.FlowUnitUser.Name = grams ? QStringLiteral("g/min") : QStringLiteral("ml/min");
    device.FlowUnitUser.GasFlowType = grams ? gfuGrams : gfuVolumetric;
    device.FlowUnitUser.Temperature = 20;
    device.FlowUnitUser.Pressure_BarA = 1.01325;
    device.DeviationBand_pct = 2.5;
    device.DeviationHold_s = 12;
    return device;
}

TDeviceInfo Pump()
{
    TDeviceInfo device;
    device.COMPort = QStringLiteral("COM8");
    device.NameRole = QStringLiteral("Humidifier");
    device.DevType = dtPump;
    device.Color = clRtRed;
    device.FluidID = Water;
    device.FluidTemperatureC = 60;
    device.SyringeSizeuL = 250;
    return device;
}

struct ShowCase {
    const char* name;
    TDeviceInfo device;
    bool grams;
};

void PrintTo(const ShowCase& row, std::ostream* out)
{
    *out << row.name;
}

class ConfigureSheetShows : public ::testing::TestWithParam<ShowCase> {};

// What the page shows of a record is what it reads back.
TEST_P(ConfigureSheetShows, ReadsBackTheRecordItShows)
{
    TConfigureSheet sheet;
    sheet.FillFluidLists();
    sheet.show();
    const TDeviceInfo& device = GetParam().device;
    sheet.ShowDevice(device);
    const TConfigurePage page = sheet.Read(device);

    EXPECT_EQ(page.DeviceName, device.NameRole);
    EXPECT_EQ(page.Color, device.Color);
    EXPECT_TRUE(page.FluidChosen);
    EXPECT_EQ(page.FluidID, device.FluidID);
    EXPECT_EQ(page.GramsChosen, GetParam().grams);
    const bool pump = device.DevType == dtPump;
    EXPECT_EQ(sheet.findChild<QGroupBox*>(QStringLiteral("GroupBoxConfigurePump"))->isVisible(), pump);
    EXPECT_EQ(sheet.findChild<QGroupBox*>(QStringLiteral("GroupBoxFlowUnit"))->isVisible(), !pump);
    EXPECT_EQ(sheet.findChild<QGroupBox*>(QStringLiteral("GroupBoxDeviationAlarm"))->isVisible(), !pump);
    if (pump) {
        EXPECT_EQ(page.FluidTemperatureC, device.FluidTemperatureC);
        EXPECT_EQ(page.SyringeSizeuL, device.SyringeSizeuL);
    } else {
        EXPECT_EQ(page.FlowUnitName, device.FlowUnitUser.Name);
        EXPECT_EQ(page.TemperatureC, device.FlowUnitUser.Temperature);
        EXPECT_EQ(page.PressureBarA, device.FlowUnitUser.Pressure_BarA);
        EXPECT_EQ(page.DeviationBand_pct, 2.5);
        EXPECT_EQ(page.DeviationHold_s, 12);
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, ConfigureSheetShows,
                         ::testing::Values(ShowCase{"ControllerInVolume", Controller(false), false},
                                           ShowCase{"ControllerInGrams", Controller(true), true},
                                           ShowCase{"Pump", Pump(), false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigureSheet, NoDeviceClearsTheNameAndSaysSo)
{
    TConfigureSheet sheet;
    sheet.ShowDevice(Controller(false));
    sheet.ShowNoDevice();
    EXPECT_EQ(sheet.findChild<QLineEdit*>(QStringLiteral("EditDeviceType"))->text(),
              QStringLiteral("No valid device selected"));
    EXPECT_TRUE(sheet.findChild<QLineEdit*>(QStringLiteral("EditDeviceName"))->text().isEmpty());
}

TEST(ConfigureSheet, ApplyComesOutAsSignal)
{
    TConfigureSheet sheet;
    sheet.show();
    QSignalSpy applied(&sheet, &TConfigureSheet::ApplyClicked);
    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn6")), Qt::LeftButton);
    EXPECT_EQ(applied.count(), 1);
}

} // namespace
