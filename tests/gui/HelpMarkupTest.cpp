#include "ui/HelpTexts.h"
#include "ui/widgets/DzHTMLText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>

#include <gtest/gtest.h>

namespace {

// The character format of the last character of `word` as rendered.
QTextCharFormat FormatOf(const TDzHTMLText& label, const QString& word)
{
    const QTextCursor found = label.Document().find(word);
    EXPECT_FALSE(found.isNull()) << word.toStdString();
    return found.charFormat();
}

QColor BackgroundOf(const TDzHTMLText& label, const QString& word)
{
    const QTextCharFormat format = FormatOf(label, word);
    return format.hasProperty(QTextFormat::BackgroundBrush) ? format.background().color() : QColor();
}

TEST(DzHTMLText, RendersEveryTagInAnyLetterCase)
{
    struct Case {
        const char* name;
        const char* markup;
        const char* shownText; // with line breaks as "\n"
        const char* boldWord;
        const char* plainWordAfter; // neither bold nor coloured
        const char* colouredWord;
        QColor colour;
    };
    const Case cases[] = {
        {"bold", "a <B>bee</B> sea", "a bee sea", "bee", "sea", nullptr, {}},
        {"closing tags in another case", "<b>bee</B> sea <BC:#FF0000>red</bc> dee", "bee sea red dee", "bee", "dee",
         "red", QColor(0xFF, 0, 0)},
        {"green background", "go <bc:#00ff00>green</BC> stop", "go green stop", nullptr, "stop", "green",
         QColor(0, 0xFF, 0)},
        {"line breaks", "one<BR>two<br>three", "one\ntwo\nthree", nullptr, "three", nullptr, {}},
        {"unknown tags as written", "a <X> b <BC:red>c</BC>", "a <X> b <BC:red>c", nullptr, "c", nullptr, {}},
        {"stray closing tag dropped", "a</B> b</div>", "a b", nullptr, "b", nullptr, {}},
        {"bold closed with the span inside it", "<B>x <BC:#FFFF00>y</B> z", "x y z", "y", "z", "y",
         QColor(0xFF, 0xFF, 0)},
        {"mark-up characters in the text", "a & b \"c\" > d", "a & b \"c\" > d", nullptr, "d", nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDzHTMLText label;
        label.SetText(QString::fromUtf8(c.markup));
        EXPECT_EQ(label.Document().toPlainText().replace(QChar::LineSeparator, QLatin1Char('\n')),
                  QString::fromUtf8(c.shownText));
        if (c.boldWord) {
            EXPECT_EQ(FormatOf(label, QString::fromUtf8(c.boldWord)).fontWeight(), QFont::Bold);
        }
        if (c.colouredWord) {
            EXPECT_EQ(BackgroundOf(label, QString::fromUtf8(c.colouredWord)), c.colour);
        }
        const QString after = QString::fromUtf8(c.plainWordAfter);
        EXPECT_NE(FormatOf(label, after).fontWeight(), QFont::Bold);
        EXPECT_FALSE(BackgroundOf(label, after).isValid());
    }
}

TEST(DzHTMLText, SubscriptAndRules)
{
    TDzHTMLText label;
    label.SetText(QStringLiteral("All<SUB>1</SUB> gases<LINE:width=250>x<LINE:width=full>y"));
    EXPECT_EQ(FormatOf(label, QStringLiteral("1")).verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(FormatOf(label, QStringLiteral("gases")).verticalAlignment(), QTextCharFormat::AlignNormal);

    QList<QTextLength> rules;
    for (QTextBlock block = label.Document().begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth))
            rules << format.lengthProperty(QTextFormat::BlockTrailingHorizontalRulerWidth);
    }
    ASSERT_EQ(rules.size(), 2);
    EXPECT_EQ(rules[0], QTextLength(QTextLength::FixedLength, 250));
    EXPECT_NE(rules[1].type(), QTextLength::FixedLength); // across the whole width
}

TEST(DzHTMLText, FramedBlockHasTheBordersAndSpacingAsked)
{
    TDzHTMLText label;
    label.SetText(QStringLiteral("<div:thick_top=1,thick_left=2,thick_bottom=3,lncolor=#0000FF, margin=4, pad_top=5>"
                                 "<B>Shortname</B></DIV> after <div:thick=1>all</div>"));
    QList<QTextTable*> frames;
    for (QTextFrame* frame : label.Document().rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame))
            frames << table;
    }
    ASSERT_EQ(frames.size(), 2);

    const QTextTableCellFormat first = frames[0]->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(first.topBorder(), 1);
    EXPECT_EQ(first.leftBorder(), 2);
    EXPECT_EQ(first.bottomBorder(), 3);
    EXPECT_EQ(first.rightBorder(), 0);
    EXPECT_EQ(first.topBorderBrush().color(), QColor(0, 0, 0xFF));
    EXPECT_EQ(first.topPadding(), 5);
    EXPECT_EQ(frames[0]->format().margin(), 4);
    EXPECT_EQ(frames[0]->cellAt(0, 0).firstCursorPosition().block().text(), QStringLiteral("Shortname"));

    const QTextTableCellFormat second = frames[1]->cellAt(0, 0).format().toTableCellFormat();
    for (double border : {second.topBorder(), second.leftBorder(), second.bottomBorder(), second.rightBorder()})
        EXPECT_EQ(border, 1);
    EXPECT_FALSE(label.Document().find(QStringLiteral("after")).isNull());
}

TEST(HelpTexts, KeysAreExactAndButtonsCarryTheirOwn)
{
    struct Case {
        const char* name;
        const char* control;
        const char* textStart;
    };
    const Case cases[] = {
        {"button with a help key", "BitBtn9", "Moves the pump syringe to the bottom position."},
        {"key compared with its case", "memomain", "Hover mouse over items"},
        {"designer field of any port", "DoubleEditDynamic_COM7", "Manually entering the flow gives"},
        {"scroll box only by its exact name", "ScrollBoxFlowX", "Hover mouse over items"},
        {"button without a help key", "BitBtn5", "Hover mouse over items"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(HelpText(HelpKey(QString::fromLatin1(c.control))).startsWith(QString::fromUtf8(c.textStart)))
            << c.name;
}

} // namespace
