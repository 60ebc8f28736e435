#include "WindowFixture.h"

#include <QAction>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

namespace {

class SoftwareStateWindowTest : public WindowFixture {
protected:
    QString StateFile() const { return folder.Path() + QStringLiteral("/setup.json"); }
};

} // namespace

TEST_F(SoftwareStateWindowTest, SaveResetLoadFromTheFileMenu)
{
    Focus(QStringLiteral("COMY"));
    ChooseFluid("ComboBoxDeviceFluid", 1);
    Find<QComboBox>("ComboBoxFlowUnitPredefined")->setCurrentIndex(3); // ml/min at 20 °C
    QTest::mouseClick(Find<QPushButton>("BitBtn6"), Qt::LeftButton);
    ASSERT_TRUE(Device(QStringLiteral("COMY")).ThreadMFC);
    SetProgram(QStringLiteral("COMX"), QStringLiteral("0 20 Step\n3 70 Ramp\n"));
    Find<QAction>("Hour1")->trigger();
    auto* splitter = Find<QSplitter>("SplitterTop");
    splitter->setSizes({150, 500});
    const QList<int> sizes = splitter->sizes();

    prompts.FileAnswers.enqueue(StateFile());
    Find<QAction>("Savesoftwarestate1")->trigger();
    Find<QAction>("Resetsoftware1")->trigger();
    ASSERT_FALSE(Device(QStringLiteral("COMY")).ThreadMFC);
    SetProgram(QStringLiteral("COMX"), QStringLiteral("0 0 Step\n"));
    Find<QAction>("Minute1")->trigger();
    splitter->setSizes({400, 250});

    prompts.FileAnswers.enqueue(StateFile());
    Find<QAction>("Loadsoftwarestate1")->trigger();
    const TDeviceInfo loaded = Device(QStringLiteral("COMY"));
    EXPECT_TRUE(loaded.ThreadMFC);
    EXPECT_EQ(loaded.FluidID, 1);
    EXPECT_EQ(loaded.FlowUnitUser.Name, QStringLiteral("ml/min"));
    EXPECT_EQ(loaded.FlowUnitUser.Temperature, 20);
    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, QStringLiteral("0 20 Step\n3 70 Ramp\n"));
    EXPECT_TRUE(Find<QAction>("Hour1")->isChecked());
    EXPECT_EQ(splitter->sizes(), sizes);
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join(u'|').toStdString();
}

TEST_F(SoftwareStateWindowTest, LoadIsRefusedWhileADeviceRuns)
{
    prompts.FileAnswers.enqueue(StateFile());
    Find<QAction>("Savesoftwarestate1")->trigger();
    Focus(QStringLiteral("COMX"));
    ChooseFluid("ComboBoxDeviceFluid", 1);
    QTest::mouseClick(Find<QPushButton>("BitBtn6"), Qt::LeftButton);
    TDeviceInfo running = Device(QStringLiteral("COMX"));
    running.ControlMode = dcmDirect;
    StoreDevice(running);

    prompts.FileAnswers.enqueue(StateFile());
    Find<QAction>("Loadsoftwarestate1")->trigger();
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Stop all running devices before loading a software state.")});
    EXPECT_EQ(Device(QStringLiteral("COMX")).ControlMode, dcmDirect);
}
