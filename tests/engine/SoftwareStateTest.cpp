#include "FakeViews.h"

#include "app/Startup.h"
#include "engine/DataLog.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "engine/SoftwareState.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

namespace {

class SoftwareStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        page.FluidChosen = true;
        page.FluidID = 1; // argon
        page.FlowUnitName = QStringLiteral("g/min");
        page.GramsChosen = true;
        page.DeviceName = QStringLiteral("Anode side");
        page.Color = 0x80123456;
        page.DirectSetpoint = 40;
        page.DeviationBand_pct = 7.5;
        page.DeviationHold_s = 45;
    }
    void TearDown() override { control.TerminateThreads(TRunControl::ShutdownTimeoutS); }

    TDeviceInfo Device(int index) const { return DevicesLocal.at(index); }

    // Through the file form, as the operator's save and load go.
    TSoftwareState RoundTrip(const TSoftwareState& state)
    {
        TSoftwareState read;
        QString error;
        EXPECT_TRUE(SoftwareStateFromJson(SoftwareStateToJson(state), read, error)) << error.toStdString();
        return read;
    }

    RecordingPrompts prompts;
    FakeWindow window;
    TEngineTick engine{window, window.dataLog};
    TRunControl control{window, engine, window.dataLog};
    TConfigurePage page;
    QStringList unplaced;
};

} // namespace

TEST_F(SoftwareStateTest, SaveResetLoadGivesTheSameDevicesProgramsAndUnits)
{
    ApplyConfiguration(Device(1), page, control, engine, window);
    TDeviceInfo edited = Device(0);
    edited.SegmentProgram = QStringLiteral("0 10 Step\n5 60 Ramp\n");
    StoreDevice(edited);
    TSoftwareState saved = CaptureSoftwareState(DevicesLocal);
    saved.TimeUnit = QStringLiteral("HOUR");
    saved.SplitterLayout = {QByteArray("\x00\x01\xff", 3)};

    control.ResetDevices();
    RunStartupSequence(); // the programs as a fresh start has them
    const TSoftwareState read = RoundTrip(saved);
    EXPECT_EQ(read.TimeUnit, QStringLiteral("HOUR"));
    EXPECT_EQ(read.SplitterLayout, saved.SplitterLayout);
    ASSERT_TRUE(LoadSoftwareState(read, control, engine, window, unplaced));

    EXPECT_TRUE(unplaced.isEmpty());
    EXPECT_FALSE(HasWorkerThread(Device(0))) << "never configured, so not started";
    EXPECT_EQ(Device(0).SegmentProgram, edited.SegmentProgram);
    const TDeviceInfo loaded = Device(1);
    ASSERT_TRUE(loaded.ThreadMFC) << "configured as Apply does";
    EXPECT_EQ(loaded.ControlMode, dcmIdle);
    EXPECT_EQ(loaded.FluidID, 1);
    EXPECT_EQ(loaded.FlowUnitUser.GasFlowType, gfuGrams);
    EXPECT_EQ(loaded.FlowUnitUser.Name, QStringLiteral("g/min"));
    EXPECT_EQ(loaded.NameRole, QStringLiteral("Anode side"));
    EXPECT_EQ(loaded.Color, 0x80123456u);
    EXPECT_EQ(loaded.Setpoint_gui, 40);
    EXPECT_EQ(loaded.DeviationBand_pct, 7.5);
    EXPECT_EQ(loaded.DeviationHold_s, 45);
    EXPECT_EQ(window.lampColours.value(loaded.Led), 0x80123456u);
}

TEST_F(SoftwareStateTest, AnotherRigsStateIsMappedBySerialAndTheRestReported)
{
    TSoftwareState other;
    TSavedDevice elsewhere{QStringLiteral("555000"), page, QStringLiteral("0 1 Step")};
    elsewhere.Page.DeviceName = QStringLiteral("Oxygen line");
    // "123456" is COMX's serial and part of COMY's: only the exact one matches.
    TSavedDevice here{QStringLiteral("1234567"), page, QStringLiteral("0 5 Step")};
    other.Devices = {elsewhere, here};
    const QString comxProgram = Device(0).SegmentProgram;

    ASSERT_TRUE(LoadSoftwareState(RoundTrip(other), control, engine, window, unplaced));
    EXPECT_EQ(unplaced, QStringList{QStringLiteral("Oxygen line (serial 555000)")});
    EXPECT_TRUE(Device(1).ThreadMFC);
    EXPECT_EQ(Device(1).SegmentProgram, QStringLiteral("0 5 Step"));
    EXPECT_FALSE(Device(0).ThreadMFC);
    EXPECT_EQ(Device(0).SegmentProgram, comxProgram);
}

TEST_F(SoftwareStateTest, LoadingIsRefusedWhileADeviceRuns)
{
    ApplyConfiguration(Device(0), page, control, engine, window);
    TDeviceInfo running = Device(0);
    running.ControlMode = dcmDirect;
    StoreDevice(running);
    TSoftwareState state = CaptureSoftwareState(DevicesLocal);
    state.Devices[0].Page.DeviceName = QStringLiteral("Changed");

    EXPECT_FALSE(LoadSoftwareState(state, control, engine, window, unplaced));
    EXPECT_EQ(Device(0).NameRole, QStringLiteral("Anode side"));
    EXPECT_EQ(Device(0).ControlMode, dcmDirect) << "left running";
}

TEST_F(SoftwareStateTest, FilesThisProgramCannotReadAreRefused)
{
    const struct {
        const char* name;
        QByteArray json;
    } cases[] = {
        {"not JSON", "setup"},
        {"no version", R"({"devices": []})"},
        {"later version", R"({"version": 2, "devices": []})"},
        {"a list, not an object", "[1, 2]"},
    };
    for (const auto& c : cases) {
        TSoftwareState state;
        state.TimeUnit = QStringLiteral("DAY");
        QString error;
        EXPECT_FALSE(SoftwareStateFromJson(c.json, state, error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_EQ(state.TimeUnit, QStringLiteral("DAY")) << c.name << ": left untouched";
    }
}
