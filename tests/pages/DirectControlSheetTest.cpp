#include "devices/DeviceInfo.h"
#include "ui/pages/DirectControlSheet.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(DirectControlSheet, ShowsTheDevicesSetpointAndReportsIt)
{
    TDirectControlSheet sheet;
    QSignalSpy changed(&sheet, &TDirectControlSheet::DesiredFlowChanged);
    TDeviceInfo device;
    device.Setpoint_gui = 12.5;
    sheet.ShowDevice(device);
    sheet.ShowMaxFlow(500, QStringLiteral("ml/min"));

    EXPECT_EQ(sheet.DesiredFlow(), 12.5);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toDouble(), 12.5);
    EXPECT_EQ(sheet.findChild<TRtDoubleEdit*>(QStringLiteral("RtDoubleEditDirectControlMaxFlow"))->Value(), 500);
    EXPECT_EQ(sheet.findChild<QLabel*>(QStringLiteral("LabelDirectControlMaxFlowUnit"))->text(),
              QStringLiteral("ml/min"));
}

TEST(DirectControlSheet, UserActionsComeOutAsSignals)
{
    TDirectControlSheet sheet;
    sheet.show();
    QSignalSpy applied(&sheet, &TDirectControlSheet::ApplyClicked);
    QSignalSpy stopped(&sheet, &TDirectControlSheet::StopClicked);
    QSignalSpy changed(&sheet, &TDirectControlSheet::DesiredFlowChanged);

    auto* desired = sheet.findChild<TRtDoubleEdit*>(QStringLiteral("RtDoubleEditDirectControlDesiredFlow"));
    desired->setFocus();
    desired->selectAll();
    QTest::keyClicks(desired, QStringLiteral("150"));
    QTest::keyClick(desired, Qt::Key_Return);
    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn7")), Qt::LeftButton);
    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn8")), Qt::LeftButton);

    ASSERT_GE(changed.count(), 1);
    EXPECT_EQ(changed.last().at(0).toDouble(), 100) << "a setpoint is capped at 100 %";
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(stopped.count(), 1);
}

} // namespace
