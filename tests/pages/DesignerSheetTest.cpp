#include "devices/DeviceRegistry.h"
#include "gas/GasList.h"
#include "ui/ContextHelp.h"
#include "ui/pages/DesignerSheet.h"
#include "ui/widgets/DzHTMLText.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The demonstration devices: COMX (50 ml/min, program to 24 minutes) and
// COMY (500 ml/min, program to 8 minutes).
class DesignerSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeStandardFlowUnits();
        InitializeGasList();
        DevicesLocal.clear();
        AddDemonstrationDevices();
    }
    void TearDown() override { DevicesLocal.clear(); }

    TDzHTMLText panel;
    TContextHelp help{&panel};
    QStringList selected{QStringLiteral("COMY"), QStringLiteral("COMX")};
    TDesignerSheet sheet{help, [this] { return selected; }};
};

TEST_F(DesignerSheetTest, BuildsOneGroupPerSelectedDeviceAndReadsTheirPrograms)
{
    QSignalSpy timeChanged(&sheet, &TDesignerSheet::DesignTimeChanged);
    QSignalSpy applied(&sheet, &TDesignerSheet::ApplyClicked);
    sheet.MixMakerComponentSetup();

    QStringList titles;
    for (QGroupBox* group : sheet.findChild<QWidget*>(QStringLiteral("FlowPanelControls"))
                                ->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        titles << group->title();
    EXPECT_EQ(titles, QStringList({QStringLiteral("COMY - Unconfigured - ml/min"),
                                   QStringLiteral("COMX - Unconfigured - ml/min")}));
    auto* timeSlider = sheet.findChild<QSlider*>(QStringLiteral("TrackBarDesignerTime"));
    EXPECT_EQ(timeSlider->maximum(), 250);

    timeSlider->setValue(120); // 12 minutes: COMX holds 100 %, COMY is past its end at 0 %
    ASSERT_EQ(timeChanged.count(), 1);
    EXPECT_EQ(timeChanged.at(0).at(0).toDouble(), 12);
    EXPECT_EQ(sheet.findChild<QSlider*>(QStringLiteral("TrackBarDesignerDynamic_COMX"))->value(), 100);
    EXPECT_EQ(sheet.findChild<TRtDoubleEdit*>(QStringLiteral("DoubleEditDynamic_COMX"))->Value(), 50);
    EXPECT_EQ(sheet.findChild<TRtDoubleEdit*>(QStringLiteral("DoubleEditDynamic_COMY"))->Value(), 0);

    const QList<TDesignedFlow> flows = sheet.DesignedFlows();
    ASSERT_EQ(flows.size(), 2);
    EXPECT_EQ(flows[1].COMPort, QStringLiteral("COMX"));
    EXPECT_EQ(flows[1].Flow, 50);

    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtnDesignerApply")), Qt::LeftButton);
    EXPECT_EQ(applied.count(), 1);
}

} // namespace
