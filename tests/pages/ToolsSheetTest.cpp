#include "ui/pages/ToolsSheet.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ToolsSheet, LoopsStayWithinOneToTenAndButtonsComeOutAsSignals)
{
    TToolsSheet sheet;
    sheet.show();
    QSignalSpy initialize(&sheet, &TToolsSheet::InitializeClicked);
    QSignalSpy prime(&sheet, &TToolsSheet::PrimePumpClicked);
    QSignalSpy syringe(&sheet, &TToolsSheet::ChangeSyringeClicked);

    auto* loops = sheet.findChild<QSpinBox*>(QStringLiteral("RtIntegerEditPrimePumpLoops"));
    ASSERT_NE(loops, nullptr);
    EXPECT_EQ(sheet.PrimePumpLoops(), 1);
    loops->setValue(25);
    EXPECT_EQ(sheet.PrimePumpLoops(), 10);
    loops->setValue(0);
    EXPECT_EQ(sheet.PrimePumpLoops(), 1);

    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn11")), Qt::LeftButton);
    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn10")), Qt::LeftButton);
    QTest::mouseClick(sheet.findChild<QPushButton*>(QStringLiteral("BitBtn9")), Qt::LeftButton);
    EXPECT_EQ(initialize.count(), 1);
    EXPECT_EQ(prime.count(), 1);
    EXPECT_EQ(syringe.count(), 1);
}

TEST(ToolsSheet, TheExplanationHasItsFiveLinesWithTheWarningInBold)
{
    const QStringList lines = TToolsSheet::ExplanationText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("These tools apply only to one device at a time. "));
    EXPECT_TRUE(lines[1].isEmpty() && lines[3].isEmpty());
    EXPECT_TRUE(lines[2].contains(QStringLiteral("<B>unresponsive</B>")));

    TToolsSheet sheet;
    const QString shown = sheet.findChild<QLabel*>(QStringLiteral("DzHTMLText1"))->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("<B>unresponsive</B>")));
    EXPECT_EQ(shown.count(QStringLiteral("<br>")), 4);
}

} // namespace
