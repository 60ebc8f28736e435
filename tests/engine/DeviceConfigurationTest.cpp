#include "FakeViews.h"

#include "app/Startup.h"
#include "engine/DataLog.h"
#include "engine/DeviceConfiguration.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4.h"
#include "pump/PSD4Thread.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

class DeviceConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        page.FluidChosen = true;
        page.FluidID = 1; // argon
        page.FlowUnitName = QStringLiteral("ml/min");
        page.TemperatureC = 20;
        page.PressureBarA = 1.01325;
        page.DeviceName = QStringLiteral("Cathode side");
        page.Color = 0x80FF0000;
        page.DirectSetpoint = 25;
    }
    void TearDown() override { control.TerminateThreads(TRunControl::ShutdownTimeoutS); }

    TDeviceInfo Device(int index) const { return DevicesLocal.at(index); }

    // A pump entry that is not a real instrument: its thread would connect to nothing.
    void MakePump(int index)
    {
        TDeviceInfo pump;
        ASSERT_TRUE(FindKnownDevice(QStringLiteral("2020465"), pump));
        pump.COMPort = DevicesLocal.at(index).COMPort;
        pump.ThreadPump = new TPSD4Thread(QStringLiteral("Prototype"), nullptr); // freed by TerminateThreads
        pump.ThreadPump->GUIIn.IsTerminated = true;
        DevicesLocal[index] = pump;
    }

    RecordingPrompts prompts;
    FakeWindow window;
    TEngineTick engine{window, window.dataLog};
    TRunControl control{window, engine, window.dataLog};
    TConfigurePage page;
};

} // namespace

TEST_F(DeviceConfigurationTest, RefusesWithoutAFluid)
{
    page.FluidChosen = false;
    ApplyConfiguration(Device(0), page, control, engine, window);
    MakePump(1);
    ApplyConfiguration(Device(1), page, control, engine, window);
    EXPECT_EQ(prompts.Messages,
              (QStringList{QStringLiteral("No fluid selected for MFC"), QStringLiteral("No fluid selected for Pump")}));
    EXPECT_FALSE(Device(0).ThreadMFC);
    EXPECT_TRUE(window.lampTokens.empty());
}

TEST_F(DeviceConfigurationTest, ApplyStartsTheWorkerOnceAndRecoloursItsLamp)
{
    engine.DataHeaderPending = false;
    ApplyConfiguration(Device(0), page, control, engine, window);
    const TDeviceInfo configured = Device(0);
    ASSERT_TRUE(configured.ThreadMFC);
    EXPECT_TRUE(configured.ThreadMFC->Simulated);
    EXPECT_EQ(configured.ControlMode, dcmIdle);
    EXPECT_EQ(configured.FluidID, 1);
    EXPECT_EQ(configured.NameRole, QStringLiteral("Cathode side"));
    EXPECT_EQ(configured.Setpoint_gui, 25);
    EXPECT_EQ(configured.FlowUnitUser.GasMolarMass, 39.95);
    EXPECT_EQ(configured.FlowUnitDevice.GasMolarMass, 39.95);
    EXPECT_EQ(configured.FlowUnitUser.GasName, QStringLiteral("Ar"));
    EXPECT_EQ(configured.FlowUnitUser.GasFlowType, gfuVolumetric);
    EXPECT_EQ(configured.FlowUnitUser.Temperature, 20);
    EXPECT_EQ(window.lampTokens.size(), 1u);
    EXPECT_EQ(window.lampColours.value(configured.Led), 0x80FF0000u);
    EXPECT_TRUE(engine.DataHeaderPending);
    EXPECT_EQ(window.refreshed.last(), QStringLiteral("COMX"));

    page.Color = 0xFF0000FF;
    page.GramsChosen = true;
    page.FlowUnitName = QStringLiteral("g/min");
    ApplyConfiguration(Device(0), page, control, engine, window);
    EXPECT_EQ(window.lampTokens.size(), 1u) << "no second lamp";
    EXPECT_EQ(Device(0).ThreadMFC, configured.ThreadMFC) << "no second worker";
    EXPECT_EQ(window.lampColours.value(configured.Led), 0xFF0000FFu);
    EXPECT_EQ(Device(0).FlowUnitUser.GasFlowType, gfuGrams);
}

TEST_F(DeviceConfigurationTest, DeviationBandAndHoldTimeAreTakenOnlyAsPositiveNumbers)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        double band, hold;
        double takenBand, takenHold;
    } cases[] = {
        {"both taken", 2, 10, 2, 10},
        {"no band at all", 0, 10, 3, 10},
        {"negative hold", 2, -5, 2, 20},
        {"not numbers", NaN, NaN, 3, 20},
        {"infinite", std::numeric_limits<double>::infinity(), 10, 3, 10},
    };
    for (const auto& c : cases) {
        TDeviceInfo device = Device(0);
        device.DeviationBand_pct = 3;
        device.DeviationHold_s = 20;
        page.DeviationBand_pct = c.band;
        page.DeviationHold_s = c.hold;
        PageToDevice(page, device, window);
        EXPECT_EQ(device.DeviationBand_pct, c.takenBand) << c.name;
        EXPECT_EQ(device.DeviationHold_s, c.takenHold) << c.name;
    }
}

TEST_F(DeviceConfigurationTest, TheHeaderAfterApplyNamesTheDevicesUnitAndGas)
{
    ApplyConfiguration(Device(1), page, control, engine, window);
    const QStringList header = DataTableColumns(DevicesLocal);
    EXPECT_TRUE(header.at(2).endsWith(QStringLiteral("      Undefined |          ml/min | ")));
    EXPECT_TRUE(header.at(3).endsWith(QStringLiteral("      Undefined |              Ar | ")));
}

TEST_F(DeviceConfigurationTest, PumpTakesOnlyKnownSyringes)
{
    MakePump(1);
    page.FluidID = 1001;
    page.SyringeSizeuL = 1000;
    ApplyConfiguration(Device(1), page, control, engine, window);
    EXPECT_EQ(Device(1).SyringeSizeuL, 1000);
    EXPECT_EQ(Device(1).MaxFlow_ulpm, 25000);
    EXPECT_EQ(Device(1).FluidID, 1001);
    EXPECT_EQ(Device(1).FlowUnitUser.GasMolarMass, 10.0);
    EXPECT_TRUE(window.log.contains(QStringLiteral("Selected G(fluid)ID:1001")));

    page.SyringeSizeuL = 300;
    page.DeviceName = QStringLiteral("Humidifier");
    ApplyConfiguration(Device(1), page, control, engine, window);
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Invalid syringe volume, value ignored")});
    EXPECT_EQ(Device(1).SyringeSizeuL, 1000);
    EXPECT_EQ(Device(1).MaxFlow_ulpm, 25000);
    EXPECT_EQ(Device(1).NameRole, QStringLiteral("Humidifier")) << "the rest is applied";
}

TEST_F(DeviceConfigurationTest, ListTextsFollowTheRecord)
{
    TDeviceInfo device = Device(0);
    EXPECT_EQ(DeviceStateText(device), QStringLiteral("Unknown"));
    TMFCThread thread;
    device.ThreadMFC = &thread;
    // Until the first reading, whatever the mode.
    device.ControlMode = dcmSegment;
    EXPECT_EQ(DeviceStateText(device), QStringLiteral("Connecting"));
    thread.GUIIn.DeviceStatus.DataTime = 46311.375;
    const struct { tDeviceControlMode mode; const char* text; } states[] = {
        {dcmSegment, "Segment"}, {dcmDirect, "Direct"}, {dcmIdle, "Ready"}};
    for (const auto& state : states) {
        device.ControlMode = state.mode;
        EXPECT_EQ(DeviceStateText(device), QString::fromLatin1(state.text));
        device.WorkerFault = QStringLiteral("COM7: no valid status in two passes in a row");
        EXPECT_EQ(DeviceStateText(device), QStringLiteral("Error")) << "a fault wins over the mode";
        device.WorkerFault.clear();
    }

    // A pump fault wins over both.
    TDeviceInfo pump = Device(1);
    TPSD4Thread pumpThread(QStringLiteral("Pump"), nullptr);
    pump.ThreadPump = &pumpThread;
    pump.ControlMode = dcmDirect;
    EXPECT_EQ(DeviceStateText(pump), QStringLiteral("Connecting"));
    pumpThread.GUIIn.Fault = QStringLiteral("Ready, Syringe overload");
    EXPECT_EQ(DeviceStateText(pump), QStringLiteral("Error"));
    pumpThread.GUIIn.Connected = true;
    EXPECT_EQ(DeviceStateText(pump), QStringLiteral("Error"));
    pumpThread.GUIIn.Fault.clear();
    EXPECT_EQ(DeviceStateText(pump), QStringLiteral("Direct"));
    device.DevType = dtMFCB;
    device.FluidID = 8;
    EXPECT_EQ(DeviceTypeAndGasText(device), QStringLiteral("MFC-B:N2"));
    device.FluidID = 999;
    EXPECT_EQ(DeviceTypeAndGasText(device), QStringLiteral("MFC-B:Undefined"));
}

TEST(PageChangesDosing, OnlyNameAndColourLeaveWhatTheDeviceDosesAlone)
{
    TDeviceInfo mfc;
    mfc.FluidID = 1;
    mfc.FlowUnitUser.Name = QStringLiteral("ml/min");
    mfc.FlowUnitUser.Temperature = 20;
    mfc.FlowUnitUser.Pressure_BarA = 1.01325;
    mfc.FlowUnitUser.GasFlowType = gfuVolumetric;
    TDeviceInfo pump;
    pump.DevType = dtPump;
    pump.FluidID = 1001;
    pump.SyringeSizeuL = 1000;
    pump.FluidTemperatureC = 21;
    // The page as "Apply" reads it for each device when nothing was touched.
    const auto pageOf = [](const TDeviceInfo& device) {
        TConfigurePage page;
        page.FluidChosen = true;
        page.FluidID = device.FluidID;
        page.FlowUnitName = device.FlowUnitUser.Name;
        page.TemperatureC = device.FlowUnitUser.Temperature;
        page.PressureBarA = device.FlowUnitUser.Pressure_BarA;
        page.GramsChosen = device.FlowUnitUser.GasFlowType == gfuGrams;
        page.SyringeSizeuL = device.SyringeSizeuL;
        page.FluidTemperatureC = device.FluidTemperatureC;
        return page;
    };

    const struct {
        const char* name;
        const TDeviceInfo& device;
        std::function<void(TConfigurePage&)> change;
        bool changes;
    } cases[] = {
        {"MFC untouched", mfc, [](TConfigurePage&) {}, false},
        {"MFC name, colour and direct setpoint", mfc,
         [](TConfigurePage& p) {
             p.DeviceName = QStringLiteral("Anode");
             p.Color = clRtRed;
             p.DirectSetpoint = 60;
         },
         false},
        {"MFC deviation band and hold time", mfc,
         [](TConfigurePage& p) {
             p.DeviationBand_pct = 2;
             p.DeviationHold_s = 10;
         },
         false},
        {"MFC gas", mfc, [](TConfigurePage& p) { p.FluidID = 8; }, true},
        {"MFC unit name", mfc, [](TConfigurePage& p) { p.FlowUnitName = QStringLiteral("sccm"); }, true},
        {"MFC reference temperature", mfc, [](TConfigurePage& p) { p.TemperatureC = 0; }, true},
        {"MFC reference pressure", mfc, [](TConfigurePage& p) { p.PressureBarA = 1; }, true},
        {"MFC grams", mfc, [](TConfigurePage& p) { p.GramsChosen = true; }, true},
        {"pump untouched", pump, [](TConfigurePage&) {}, false},
        {"pump syringe", pump, [](TConfigurePage& p) { p.SyringeSizeuL = 500; }, true},
        {"pump syringe it does not take", pump, [](TConfigurePage& p) { p.SyringeSizeuL = 300; }, false},
        {"pump fluid temperature", pump, [](TConfigurePage& p) { p.FluidTemperatureC = 40; }, true},
        {"pump fluid", pump, [](TConfigurePage& p) { p.FluidID = 1002; }, true},
        {"pump: the hidden flow unit does not count", pump, [](TConfigurePage& p) { p.GramsChosen = true; }, false},
    };
    for (const auto& c : cases) {
        TConfigurePage page = pageOf(c.device);
        c.change(page);
        EXPECT_EQ(PageChangesDosing(page, c.device), c.changes) << c.name;
    }
}
