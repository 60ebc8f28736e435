#include "ui/WindowPrompts.h"
#include "ui/widgets/RtDoubleEdit.h"
#include "ui/widgets/hhALed.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(RtDoubleEdit, ClampsOnlyWhenTheLimitsFormARange)
{
    struct Case {
        double min, max, given, kept;
    };
    const Case cases[] = {
        {0, 100, 150, 100}, {0, 100, -5, 0}, {0, 100, 42.5, 42.5},
        {0, 0, -1e6, -1e6},               // both 0: no limit
        {-273.15, 2000, -300, -273.15},
        {12.5, 12.5, 1, 1},               // min not below max: no limit
    };
    for (const Case& c : cases) {
        TRtDoubleEdit edit;
        edit.SetMinValue(c.min);
        edit.SetMaxValue(c.max);
        edit.SetValue(c.given);
        EXPECT_EQ(edit.Value(), c.kept) << c.min << ".." << c.max << " " << c.given;
    }
}

TEST(RtDoubleEdit, SignalsEverySetAndReadsOnlyDotDecimals)
{
    TRtDoubleEdit edit;
    QSignalSpy changed(&edit, &TRtDoubleEdit::ValueChanged);
    edit.SetValue(2.5);
    edit.SetValue(2.5); // unchanged, still signalled
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(edit.text(), QStringLiteral("2.5"));

    edit.clear();
    QTest::keyClicks(&edit, QStringLiteral("12.75"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.Value(), 12.75);

    edit.clear();
    QTest::keyClicks(&edit, QStringLiteral("3,5"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.Value(), 12.75); // not a number here: the value stays and is shown again
    EXPECT_EQ(edit.text(), QStringLiteral("12.75"));
}

TEST(hhALed, ShowsTrueColorWhileOnAndFalseColorOtherwise)
{
    ThhALed led;
    led.SetTrueColor(Qt::green);
    led.SetFalseColor(Qt::darkMagenta);
    EXPECT_EQ(led.ShownColor(), QColor(Qt::darkMagenta));
    led.SetValue(true);
    EXPECT_EQ(led.ShownColor(), QColor(Qt::green));

    led.SetBlink(true);
    EXPECT_TRUE(led.Blink());
    QTRY_COMPARE(led.ShownColor(), QColor(Qt::darkMagenta)); // the dark half of a flash
    led.SetBlink(false);
    EXPECT_EQ(led.ShownColor(), QColor(Qt::green));
}

TEST(QtFileDialogFilter, OffersBothLetterCasesInQtsForm)
{
    EXPECT_EQ(QtFileDialogFilter(QStringLiteral("Text files (*.txt)|*.TXT")), QStringLiteral("Text files (*.txt *.TXT)"));
    EXPECT_EQ(QtFileDialogFilter(QStringLiteral("Logs|*.txt;*.bak1|All files|*")),
              QStringLiteral("Logs (*.txt *.TXT *.bak1 *.BAK1);;All files (*)"));
}

} // namespace
