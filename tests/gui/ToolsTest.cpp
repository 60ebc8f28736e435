#include "WindowFixture.h"

#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

// The Tools page over a controller on COM6 and the pump on COM8, listed as a
// search lists them.
class ToolsTest : public WindowFixture {
protected:
    void BeforeWindow() override
    {
        mfc.SetSerialNumber(QStringLiteral("432389"));
        pump.SetInitDurationMS(200);
        ASSERT_TRUE(mfc.Start() && mfc.Register(QStringLiteral("COM6")));
        ASSERT_TRUE(pump.Start() && pump.Register(QStringLiteral("COM8")));
        for (const auto& [serial, port] : {std::pair{"2020465", "COM8"}, std::pair{"432389", "COM6"}}) {
            TDeviceInfo device;
            ASSERT_TRUE(FindKnownDevice(QString::fromLatin1(serial), device));
            device.COMPort = QString::fromLatin1(port);
            DevicesLocal.prepend(device);
        }
    }

    void Click(const char* button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

    void Configure(const QString& port, qint32 gas) const
    {
        Focus(port);
        ChooseFluid("ComboBoxDeviceFluid", gas);
        Click("BitBtn6");
    }

    VirtualMFC mfc;
    VirtualPump pump{QStringLiteral("2020465")};
};

TEST_F(ToolsTest, InitialisingAConfiguredMFCIsRefusedAndSendsNothing)
{
    Configure(QStringLiteral("COM6"), 8);
    // The worker restores the factory values once, as it starts.
    ASSERT_TRUE(mfc.WaitForLine("AFACTORY RESTORE ALL", 10000));
    ASSERT_TRUE(mfc.WaitForLine("ADCU 2 7", 10000));

    Click("BitBtn11");
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Device thread is running, cannot proceed. Initialize can "
                                                           "only be performed before Configuration is first applied")});
    EXPECT_EQ(mfc.ReceivedLines().count("AFACTORY RESTORE ALL"), 1);
}

TEST_F(ToolsTest, ToolsAreRefusedWhileAnyDeviceRuns)
{
    Configure(QStringLiteral("COM6"), 8);
    prompts.InputAnswers.enqueue(QStringLiteral("tools"));
    Click("BitBtn1");
    ASSERT_EQ(Device(QStringLiteral("COM6")).ControlMode, dcmSegment);

    Focus(QStringLiteral("COM8"));
    prompts.Messages.clear();
    Click("BitBtn10");
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Stop all running devices before using the tools.")});
    EXPECT_TRUE(pump.ReceivedLines().isEmpty());
}

TEST_F(ToolsTest, PrimingFromThePageSendsTheLoopsAfterHoming)
{
    Focus(QStringLiteral("COM8"));
    Find<QSpinBox>("RtIntegerEditPrimePumpLoops")->setValue(10);
    Click("BitBtn10");

    const QByteArrayList heard = pump.ReceivedLines();
    const qsizetype homed = heard.indexOf("/1ZN1R");
    ASSERT_GE(homed, 0) << heard.join(' ').toStdString();
    EXPECT_GT(heard.indexOf("/1V3000gIA24000OA0G10R"), homed) << heard.join(' ').toStdString();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(Find<QTimer>("TimerEngine")->isActive());

    Focus(QStringLiteral("COM6"));
    prompts.Messages.clear();
    Click("BitBtn10");
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("No pump selected")});
}

} // namespace
