#include "segments/SegmentRows.h"

#include <gtest/gtest.h>

namespace {

QStringList Times(const QList<TSegmentRow>& rows)
{
    QStringList times;
    for (const TSegmentRow& row : rows)
        times << row.value(0);
    return times;
}

TEST(SegmentRowEditing, SortByNumericTime)
{
    QList<TSegmentRow> rows;
    for (double minutes : {30.0, 5.0, 12.0, 100.0})
        ApplySegmentRow(rows, {minutes, 1, QStringLiteral("Step"), QString()});
    EXPECT_EQ(Times(rows), (QStringList{"5", "12", "30", "100"}));

    rows.prepend({QStringLiteral("xx"), QStringLiteral("1"), QStringLiteral("Step")});
    rows.append({QStringLiteral("0.5"), QStringLiteral("1"), QStringLiteral("Step")});
    SortSegmentRows(rows);
    EXPECT_EQ(Times(rows), (QStringList{"0.5", "5", "12", "30", "100", "xx"}));
}

TEST(SegmentRowEditing, ApplyReplacesTheCellsAfterTheTime)
{
    QList<TSegmentRow> rows = {{"10.0", "50", "Ramp", "old note"}};
    EXPECT_EQ(ApplySegmentRow(rows, {10.0000005, 75, QStringLiteral("Step"), QString()}), 0);
    EXPECT_EQ(rows, (QList<TSegmentRow>{{"10.0", "75", "Step"}}));
    EXPECT_EQ(ApplySegmentRow(rows, {2, 0.1 + 0.2, QStringLiteral("Ramp"), QStringLiteral("a b")}), 0);
    EXPECT_EQ(rows.at(0), (TSegmentRow{"2", "0.3", "Ramp", "a b"}));
}

TEST(SegmentRowEditing, NumbersWithoutExponent)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{90, "90"}, {0.7525, "0.7525"}, {0.00001, "0.00001"}, {1e16, "10000000000000000"}, {-2, "-2"}};
    for (const auto& c : cases)
        EXPECT_EQ(SegmentNumberText(c.value), QString::fromLatin1(c.text)) << c.text;
}

} // namespace
