#include "devices/DeviceInfo.h"
#include "ui/pages/SegmentSheet.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

TEST(SegmentSheet, ShowsTheDeviceAndItsProgram)
{
    TSegmentSheet sheet;
    TDeviceInfo device;
    device.NameRole = QStringLiteral("Anode");
    device.DevType = dtPump;
    device.SegmentProgram = QStringLiteral("0 10 Step\r\n5 20 Ramp\r\n8 0 Step");
    sheet.ShowDevice(device);
    sheet.ShowMaxFlow(42.5, QStringLiteral("µl/min"));

    EXPECT_EQ(sheet.findChild<QLabel*>(QStringLiteral("LabelSelectedDeviceNameRole"))->text(),
              QStringLiteral("Anode ") + DeviceInstrumentName(dtPump) + u' ' + DeviceTypeName(dtPump));
    auto* rows = sheet.findChild<QTreeWidget*>(QStringLiteral("ListViewSegmentProgram"));
    ASSERT_EQ(rows->topLevelItemCount(), 3);
    EXPECT_EQ(rows->topLevelItem(1)->text(0), QStringLiteral("5"));
    EXPECT_EQ(rows->topLevelItem(1)->text(2), QStringLiteral("Ramp"));
    EXPECT_EQ(sheet.findChild<TRtDoubleEdit*>(QStringLiteral("RtDoubleEditDevMaxFlow"))->Value(), 42.5);
    EXPECT_EQ(sheet.findChild<QLabel*>(QStringLiteral("LabelSpecifiedFlowUnit"))->text(), QStringLiteral("µl/min"));
}

TEST(SegmentSheet, UserActionsComeOutAsSignals)
{
    TSegmentSheet sheet;
    sheet.show();
    QSignalSpy started(&sheet, &TSegmentSheet::StartClicked);
    QSignalSpy stopped(&sheet, &TSegmentSheet::StopClicked);
    QSignalSpy flow(&sheet, &TSegmentSheet::SegmentFlowChanged);
    QSignalSpy load(&sheet, &TSegmentSheet::LoadProgramClicked);
    QSignalSpy save(&sheet, &TSegmentSheet::SaveProgramClicked);

    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn2")), Qt::LeftButton);
    auto* segmentFlow = sheet.findChild<TRtDoubleEdit*>(QStringLiteral("RtDoubleEditSegmentFlow"));
    segmentFlow->setFocus();
    segmentFlow->selectAll();
    QTest::keyClicks(segmentFlow, QStringLiteral("37.5"));
    QTest::keyClick(segmentFlow, Qt::Key_Return);
    // The items' names run the other way round from their captions.
    sheet.findChild<QAction*>(QStringLiteral("SaveSegmentProgramAs1"))->trigger();
    sheet.findChild<QAction*>(QStringLiteral("LoadSegmentProgram2"))->trigger();

    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_GE(flow.count(), 1);
    EXPECT_EQ(sheet.SegmentFlow(), 37.5);
    EXPECT_EQ(load.count(), 1);
    EXPECT_EQ(save.count(), 1);
}

} // namespace
