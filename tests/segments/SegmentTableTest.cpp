#include "segments/SegmentTable.h"

#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

namespace {

QString Lines(std::initializer_list<const char*> lines)
{
    QString text;
    for (const char* line : lines)
        text += QString::fromLatin1(line) + QStringLiteral("\r\n");
    return text;
}

QString Table(const QStringList& input)
{
    QString output;
    EXPECT_TRUE(FormatSegmentTable(input, output));
    return output;
}

} // namespace

TEST(SegmentTable, DevicesSideBySide)
{
    RecordingPrompts prompts;
    // A shared time (12), a time of one device only (0, 10) and a point at 0,
    // whose compact duration is empty.
    const QStringList input{"m", "1", "COM3|MFC-A|10 100 Ramp\r\n12 50 Step", "COM4|Pump|0 20 Step\r\n12 30 ramp"};
    EXPECT_EQ(Table(input), Lines({
        "  Time,m |            Time |     COM3 MFC-A |      COM4 Pump | ",
        "---------+-----------------+-Setpoint--Type-+-Setpoint--Type-+-",
        "   0.000 |                 |                |       20  Step | ",
        "  10.000 |             10m |      100  Ramp |                | ",
        "  12.000 |             12m |       50  Step |       30  ramp | ",
    }));
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST(SegmentTable, TimeUnitAndRounding)
{
    RecordingPrompts prompts;
    // Hours: 90 minutes is 1.500 h. Setpoints use the program's number format.
    EXPECT_EQ(Table({"h", "60", "COM3|MFC-A|90 12.5 Step Note_is_not_shown"}), Lines({
        "  Time,h |            Time |     COM3 MFC-A | ",
        "---------+-----------------+-Setpoint--Type-+-",
        "   1.500 |          1h 30m |     12.5  Step | ",
    }));

    // Points less than half a second apart share a row (1.004 min is 60.24 s,
    // 1.005 min 60.3 s); a device's second point in that row has no cell,
    // and does not push the next device's point out of its column.
    EXPECT_EQ(Table({"m", "1", "COM3|A|1 10 Step\r\n1.004 20 Step\r\n1.01 40 Step", "COM4|B|1.005 30 Ramp"}), Lines({
        "  Time,m |            Time |         COM3 A |         COM4 B | ",
        "---------+-----------------+-Setpoint--Type-+-Setpoint--Type-+-",
        "   1.000 |              1m |       10  Step |       30  Ramp | ",
        "   1.017 |           1m 1s |       40  Step |                | ",
    }));
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST(SegmentTable, UnreadableLineEndsThatDevice)
{
    RecordingPrompts prompts;
    EXPECT_EQ(Table({"m", "1", "COM3|A|5 10 Step\r\nxx\r\n9 20 Step", "COM4|B|9 30 Step"}), Lines({
        "  Time,m |            Time |         COM3 A |         COM4 B | ",
        "---------+-----------------+-Setpoint--Type-+-Setpoint--Type-+-",
        "   5.000 |              5m |       10  Step |                | ",
        "   9.000 |              9m |                |       30  Step | ",
    }));
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Failed to read segment")});
}

TEST(SegmentTable, Refusals)
{
    struct Case { QStringList input; const char* message; };
    const Case cases[] = {
        {{}, "No segment programs to format"},
        {{"m", "1"}, "No segment programs to format"},
        {{"", "1", "COM3|A|1 1 Step"}, "Time unit name not provided"},
        {{"m", "", "COM3|A|1 1 Step"}, "Time conversion factor not provided"},
        {{"m", "sixty", "COM3|A|1 1 Step"}, "Time conversion factor not provided"},
    };
    for (const Case& c : cases) {
        QString output = QStringLiteral("stale");
        EXPECT_FALSE(FormatSegmentTable(c.input, output)) << c.message;
        EXPECT_EQ(output, QString::fromLatin1(c.message));
    }
}

TEST(SegmentTable, ViewTextFramesTheTable)
{
    RecordingPrompts prompts;
    const QStringList input{"m", "1", "COM3|A|", "COM4|B|"};
    EXPECT_EQ(MergedSegmentsText(input), QStringLiteral(" Segment programs \r\n") + QString(62, u'=')
                                             + QStringLiteral("\r\n") + Table(input) + QStringLiteral("\r\n"));
    EXPECT_EQ(MergedSegmentsText({"m", "1"}),
              QStringLiteral(" Segment programs \r\n") + QString(28, u'=')
                  + QStringLiteral("\r\nNo segment programs to format\r\n"));
}
