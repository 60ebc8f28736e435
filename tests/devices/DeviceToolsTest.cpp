#include "devices/DeviceTools.h"

#include "app/Startup.h"
#include "devices/DeviceInfo.h"
#include "serial/PortLock.h"
#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class RecordingToolsView final : public TDeviceToolsView {
public:
    void BeginBusy() override { ++Busy; }
    void EndBusy() override { --Busy; ++Uses; }

    int Busy = 0;
    int Uses = 0;
};

const QString PrimeSafety = QStringLiteral("For safety, this will disable the form and stop any new changes on devices "
                                           "until completed. Software will be unresponsive until pump stops.");
const QString SyringeSafety = QStringLiteral("For safety, this will disable the form and stop any new changes on "
                                             "devices until completed.");

struct ToolCase {
    const char* name;
    tDeviceType type;
    std::function<void(TDeviceTools&, const TDeviceInfo&)> use;
    QStringList messages;
    QByteArray sent; // a line the instrument must have heard; empty: it hears nothing
};

void PrintTo(const ToolCase& row, std::ostream* os)
{
    *os << row.name;
}

const ToolCase Cases[] = {
    {"InitializeMFC", dtMFCA, [](TDeviceTools& t, const TDeviceInfo& d) { t.ButtonDeviceInitializeClick(d); },
     {QStringLiteral("Clicking OK will start initialization of MFC device."), QStringLiteral("Initialization done.")},
     "AFACTORY RESTORE ALL"},
    // Ten loops keep the pump busy past the five seconds it is watched for.
    {"PrimeTenLoops", dtPump, [](TDeviceTools& t, const TDeviceInfo& d) { t.ButtonPrimePumpClick(d, 10); },
     {PrimeSafety}, "/1V3000gIA24000OA0G10R"},
    {"ChangeSyringe", dtPump, [](TDeviceTools& t, const TDeviceInfo& d) { t.ButtonChangeSyringeClick(d); },
     {SyringeSafety, QStringLiteral("Change the syringe and click OK only after done.")}, "/1V4000IA24000R"},
    {"PrimeWithMFCSelected", dtMFCA, [](TDeviceTools& t, const TDeviceInfo& d) { t.ButtonPrimePumpClick(d, 1); },
     {QStringLiteral("No pump selected")}, {}},
    {"SyringeWithMFCSelected", dtMFCB, [](TDeviceTools& t, const TDeviceInfo& d) { t.ButtonChangeSyringeClick(d); },
     {QStringLiteral("No pump selected")}, {}},
    {"InitializePump", dtPump, [](TDeviceTools& t, const TDeviceInfo& d) { t.ButtonDeviceInitializeClick(d); },
     {QStringLiteral("There is no Initialize procedure for Pump device")}, {}},
    {"InitializeDemo", dtMFCDemo, [](TDeviceTools& t, const TDeviceInfo& d) { t.ButtonDeviceInitializeClick(d); },
     {QStringLiteral("There is no Initialize procedure for demo device")}, {}},
};

class DeviceToolsTest : public ::testing::TestWithParam<ToolCase> {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        mfc.SetSerialNumber(QStringLiteral("432389"));
        pump.SetInitDurationMS(200);
        ASSERT_TRUE(mfc.Start() && mfc.Register(QStringLiteral("COM6")));
        ASSERT_TRUE(pump.Start() && pump.Register(QStringLiteral("COM8")));
    }

    TDeviceInfo Device(tDeviceType type) const
    {
        TDeviceInfo device;
        device.DevType = type;
        device.COMPort = type == dtPump ? QStringLiteral("COM8") : QStringLiteral("COM6");
        return device;
    }

    QByteArrayList Sent() const { return mfc.ReceivedLines() + pump.ReceivedLines(); }

    TempFolder folder;
    RecordingPrompts prompts;
    RecordingToolsView view;
    TDeviceTools tools{view};
    VirtualMFC mfc;
    VirtualPump pump;
};

TEST_P(DeviceToolsTest, ActsOrRefusesAsTheDeviceAllows)
{
    GetParam().use(tools, Device(GetParam().type));
    EXPECT_EQ(prompts.Messages, GetParam().messages);
    EXPECT_EQ(view.Busy, 0) << "the window is free again";
    if (GetParam().sent.isEmpty()) {
        EXPECT_TRUE(Sent().isEmpty()) << Sent().join(' ').toStdString();
        EXPECT_EQ(view.Uses, 0);
    } else {
        EXPECT_TRUE(Sent().contains(GetParam().sent)) << Sent().join(' ').toStdString();
        EXPECT_EQ(view.Uses, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, DeviceToolsTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

using PumpToolsTest = DeviceToolsTest;

TEST_F(PumpToolsTest, PrimingHomesThePumpThenRunsTheLoops)
{
    tools.ButtonPrimePumpClick(Device(dtPump), 10);
    const QByteArrayList sent = pump.ReceivedLines();
    const qsizetype homed = sent.indexOf("/1ZN1R");
    const qsizetype primed = sent.indexOf("/1V3000gIA24000OA0G10R");
    ASSERT_GE(homed, 0) << sent.join(' ').toStdString();
    EXPECT_GT(primed, homed) << sent.join(' ').toStdString();
    EXPECT_TRUE(pump.IsBusy()) << "priming";
}

TEST_F(PumpToolsTest, APortInUseIsRefusedAndNothingIsSent)
{
    TPortLock otherUser;
    QString refusal;
    ASSERT_TRUE(otherUser.Acquire(QStringLiteral("COM8"), refusal));
    tools.ButtonChangeSyringeClick(Device(dtPump));
    ASSERT_EQ(prompts.Messages.size(), 2);
    EXPECT_TRUE(prompts.Messages.last().startsWith(QStringLiteral("Port COM8 is in use by Tarvo (process ")))
        << prompts.Messages.last().toStdString();
    EXPECT_TRUE(pump.ReceivedLines().isEmpty());
}

} // namespace
