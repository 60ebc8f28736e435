#include "segments/SegmentProgram.h"

#include "base/Errors.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

namespace {

const QString PastLastNote = QStringLiteral("Past last programmed point, keeping last setpoint.");

QString Program(std::initializer_list<const char*> lines)
{
    QStringList list;
    for (const char* line : lines)
        list << QString::fromLatin1(line);
    return list.join(QStringLiteral("\r\n"));
}

// The first demonstration program: ramps, steps, a repeated time and a note.
const QString Demo = Program({"10 100 Ramp", "12 100 Step Some_random_comment", "12.5 30 Ramp", "15 50 Step",
                              "20 30 Step", "24 0 Ramp"});

} // namespace

TEST(SetpointAtTime, DemonstrationProgramWorkedValues)
{
    RecordingPrompts prompts;
    struct Case { double minutes; double setpoint; const char* note; };
    const Case cases[] = {
        {0, 0, ""}, {5, 50, ""}, {10, 100, ""}, {11, 100, ""}, {12.25, 65, ""}, {13, 30, ""},
        {15, 30, ""}, {15.5, 50, ""}, {20.5, 26.25, ""}, {24, 0, ""},
        {30, 0, "Past last programmed point, keeping last setpoint."},
    };
    for (const Case& c : cases) {
        const TSegment s = SetpointAtTime(Demo, c.minutes);
        EXPECT_DOUBLE_EQ(s.Setpoint, c.setpoint) << "t=" << c.minutes;
        EXPECT_EQ(s.Note, QString::fromLatin1(c.note)) << "t=" << c.minutes;
    }
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST(SetpointAtTime, ResultCarriesTheGoverningPoint)
{
    RecordingPrompts prompts;
    // Ramping towards line 2: that point, at the asked time.
    TSegment s = SetpointAtTime(Demo, 12.25);
    EXPECT_EQ(s.Index, 2);
    EXPECT_EQ(s.Time, 12.25);
    EXPECT_EQ(s.aType, QStringLiteral("Ramp"));
    // Waiting for a step: the previous point unchanged, note included.
    s = SetpointAtTime(Program({"5 20 Step warm_up", "9 40 Step"}), 7);
    EXPECT_EQ(s.Index, 0);
    EXPECT_EQ(s.Time, 5); // its own time, not the asked one
    EXPECT_EQ(s.Note, QStringLiteral("warm_up"));
    // Before a first step: the implied start.
    s = SetpointAtTime(QStringLiteral("5 40 Step"), 3);
    EXPECT_EQ(s.Index, -2);
    EXPECT_EQ(s.aType, QStringLiteral("Step"));
    EXPECT_EQ(s.Time, 0);
    // Past the end: the last point, at the asked time.
    s = SetpointAtTime(Demo, 30);
    EXPECT_EQ(s.Index, 5);
    EXPECT_EQ(s.Time, 30);
}

TEST(SetpointAtTime, EdgesOfStepsAndRamps)
{
    RecordingPrompts prompts;
    struct Case { const char* name; QString program; double minutes; double setpoint; };
    const Case cases[] = {
        {"empty program", QString(), 0, 0},
        {"empty program later", QString(), 1000, 0},
        {"step at 0, at 0", QStringLiteral("0 30 Step"), 0, 0},
        {"step at 0, just after", QStringLiteral("0 30 Step"), 1e-9, 30},
        {"step at 0, much later", QStringLiteral("0 30 Step"), 500, 30},
        {"same time: step reached", Program({"5 40 Step", "5 80 Ramp"}), 5, 0},
        {"same time: never ramps towards", Program({"5 40 Step", "5 80 Ramp"}), 5.0001, 80},
        {"ramp at 0 acts as a step", QStringLiteral("0 60 Ramp"), 0, 0},
        {"ramp at 0, just after", QStringLiteral("0 60 Ramp"), 0.5, 60},
        {"lower-case ramp", QStringLiteral("10 100 rAmP"), 2.5, 25},
        {"step at its time keeps the previous", Program({"2 20 Step", "4 40 Step"}), 4, 20},
        {"clock before the start", QStringLiteral("10 100 Ramp"), -5, 0},
        // Found by fuzzing: the product of time and step overflowed to infinity.
        {"ramp over a huge time, at its end", QStringLiteral("1e308 100 Ramp"), 1e308, 100},
        {"ramp over a huge time, half way", QStringLiteral("1e308 100 Ramp"), 5e307, 50},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SetpointAtTime(c.program, c.minutes).Setpoint, c.setpoint) << c.name;
    EXPECT_EQ(SetpointAtTime(QString(), 3).Note, PastLastNote);
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST(SetpointAtTime, UnreadableLineEndsTheProgram)
{
    struct Case { const char* name; QString program; double minutes; double setpoint; };
    const Case cases[] = {
        {"step then garbage", Program({"5 50 Step", "xx"}), 7, 50},
        {"garbage between points", Program({"5 50 Step", "xx", "10 100 Ramp"}), 7, 50},
        {"garbage does not pass", Program({"5 50 Step", "xx", "10 100 Ramp"}), 20, 50},
        {"garbage first", Program({"xx", "10 100 Ramp"}), 5, 0},
        {"unreadable number", Program({"5 50 Step", "7 5O Ramp", "9 80 Step"}), 8, 50},
    };
    for (const Case& c : cases) {
        RecordingPrompts prompts;
        const TSegment s = SetpointAtTime(c.program, c.minutes);
        EXPECT_DOUBLE_EQ(s.Setpoint, c.setpoint) << c.name;
        EXPECT_EQ(s.Note, PastLastNote) << c.name;
        EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Failed to read segment")}) << c.name;
    }

    // A bad line after the governing point is never read.
    RecordingPrompts prompts;
    EXPECT_DOUBLE_EQ(SetpointAtTime(Program({"10 100 Ramp", "xx"}), 5).Setpoint, 50);
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST(ReadSegment, PointsMissingAndUnreadableLines)
{
    RecordingPrompts prompts;
    TSegment s;
    ReadSegment(1, Demo, s);
    EXPECT_EQ(s.Time, 12);
    EXPECT_EQ(s.Setpoint, 100);
    EXPECT_EQ(s.aType, QStringLiteral("Step"));
    EXPECT_EQ(s.Index, 1);
    EXPECT_EQ(s.Note, QStringLiteral("Some_random_comment"));

    // Runs of blanks and control characters separate; the note is dropped
    // unless there are exactly four elements.
    ReadSegment(0, QStringLiteral(" \t2.5   10\tramp  x \r\n"), s);
    EXPECT_EQ(s.Time, 2.5);
    EXPECT_EQ(s.aType, QStringLiteral("ramp"));
    EXPECT_EQ(s.Note, QStringLiteral("x"));
    s.Note = QStringLiteral("stale");
    ReadSegment(0, QStringLiteral("1 2 Step a b"), s);
    EXPECT_EQ(s.Note, QString());
    EXPECT_TRUE(prompts.Messages.isEmpty());

    for (int line : {6, 100, -1}) {
        ReadSegment(line, Demo, s);
        EXPECT_EQ(s.aType, QStringLiteral("ID not found")) << line;
        EXPECT_EQ(s.Index, -1);
        EXPECT_EQ(s.Time, -1);
        EXPECT_EQ(s.Setpoint, -1);
    }
    EXPECT_TRUE(prompts.Messages.isEmpty());

    for (const char* line : {"5 50", " ", "x 50 Step", "5 nan Step", "5 1,5 Step"}) {
        prompts.Messages.clear();
        ReadSegment(0, QString::fromLatin1(line), s);
        EXPECT_EQ(s.aType, QStringLiteral("Invalid")) << line;
        EXPECT_EQ(s.Index, -1);
        EXPECT_EQ(s.Time, -1);
        EXPECT_EQ(s.Note, QString());
        EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Failed to read segment")}) << line;
    }
}

TEST(SegmentCount, LineBreaks)
{
    struct Case { const char* text; int count; };
    const Case cases[] = {
        {"", 0}, {"a", 1}, {"a\r\n", 1}, {"a\r\nb", 2}, {"a\rb\nc", 3}, {"a\r\n\r\n", 2}, {"\r\n", 1}, {"\n\r", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SegmentCount(QString::fromLatin1(c.text)), c.count) << c.text;
    EXPECT_EQ(SegmentCount(Demo), 6);
}

TEST(ValidateSegmentProgram, FirstProblemOnly)
{
    struct Case { const char* name; QString program; const char* message; };
    const Case cases[] = {
        {"empty", QString(), nullptr},
        {"demonstration", Demo, nullptr},
        {"any letter case", QStringLiteral("10 100 step"), nullptr},
        {"trailing break", QStringLiteral("10 100 Step\r\n"), nullptr},
        {"note alphabet", QStringLiteral("1 2.5 RAMP a@b%c*d/e_f.9"), nullptr},
        {"bounds inclusive", Program({"0 0 Step", "1E3 100 Ramp"}), nullptr},
        {"lone line breaks", QStringLiteral("1 2 Step\r2 3 Step\n3 4 Step"), nullptr},
        {"tab", QStringLiteral("10\t100 Step"), "Invalid character: \t"},
        {"minus", QStringLiteral("-1 50 Step"), "Invalid character: -"},
        {"comma", QStringLiteral("1,5 50 Step"), "Invalid character: ,"},
        {"plus", QStringLiteral("+1 50 Step"), "Invalid character: +"},
        {"outside the basic plane", QStringLiteral("1 2 Step \U0001F600"), "Invalid character: \U0001F600"},
        {"character check comes first", Program({"10 100", "x 1 Step -"}), "Invalid character: -"},
        {"steps", QStringLiteral("10 100 Steps"), "Invalid S/R"},
        {"two blanks", QStringLiteral("10  100 Step"), "Invalid S/R"},
        {"two elements", QStringLiteral("10 100"), "Invalid element count"},
        {"five elements", QStringLiteral("10 100 Step a b"), "Invalid element count"},
        {"empty line inside", Program({"1 2 Step", "", "3 4 Step"}), "Invalid element count"},
        {"time", QStringLiteral("1.2.3 50 Step"), "Invalid time format"},
        {"setpoint", QStringLiteral("10 nan Step"), "Invalid setpoint format"},
        {"time before setpoint", QStringLiteral("x y Ramp"), "Invalid time format"},
        {"too large a time", QStringLiteral("1e999 50 Step"), "Invalid time format"},
        {"setpoint above", QStringLiteral("10 101 Step"), "Setpoint out of bounds:101"},
        {"setpoint just above", QStringLiteral("10 100.5 Step"), "Setpoint out of bounds:100.5"},
        {"first bad line wins", Program({"1 2 Step", "2 200 Step", "3 4"}), "Setpoint out of bounds:200"},
    };
    for (const Case& c : cases) {
        RecordingPrompts prompts;
        EXPECT_EQ(ValidateSegmentProgram(c.program), c.message == nullptr) << c.name;
        const QStringList expected = c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList();
        EXPECT_EQ(prompts.Messages, expected) << c.name;
    }
}

TEST(ProgramEndTime, LastLineOfValidPrograms)
{
    RecordingPrompts prompts;
    EXPECT_EQ(ProgramEndTime(Demo), 24);
    EXPECT_EQ(ProgramEndTime(QString()), 0);
    EXPECT_EQ(ProgramEndTime(Program({"10 100 Ramp", "5 0 Step"})), 5); // the last line, not the latest time
    EXPECT_EQ(ProgramEndTime(QStringLiteral("7.5 10 Step\r\n")), 7.5);
    EXPECT_TRUE(prompts.Messages.isEmpty());

    EXPECT_EQ(ProgramEndTime(QStringLiteral("10 101 Step")), 0);
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Setpoint out of bounds:101")});
}

TEST(InsertSegmentLine, MergesSortsAndReplaces)
{
    const QString base = Program({"10 100 Ramp", "2.50 10 Step"});
    struct Case { const char* name; QString program; const char* line; const char* result; };
    const Case cases[] = {
        {"merge", base, "5 20 Ramp", "2.5 10 Step\r\n5 20 Ramp\r\n10 100 Ramp\r\n"},
        {"replace", base, "10 50 Step", "2.5 10 Step\r\n10 50 Step\r\n"},
        {"same time written differently", base, "  10.000 0 Step note\r\n", "2.5 10 Step\r\n10 0 Step note\r\n"},
        {"into empty", QString(), "1 2 Step", "1 2 Step\r\n"},
        {"numeric order", Program({"100 1 Step", "30 2 Step"}), "5 3 Step",
         "5 3 Step\r\n30 2 Step\r\n100 1 Step\r\n"},
        {"six decimals at most", QString(), "1.23456789 2 Step", "1.234568 2 Step\r\n"},
        {"wrong element counts dropped", Program({"1 2", "", "3 4 Step a b", "5 6 Step"}), "7 8 Ramp",
         "5 6 Step\r\n7 8 Ramp\r\n"},
        {"bad extra line dropped", base, "10 20", "2.5 10 Step\r\n10 100 Ramp\r\n"},
    };
    for (const Case& c : cases) {
        QString program = c.program;
        InsertSegmentLine(program, QString::fromLatin1(c.line));
        EXPECT_EQ(program, QString::fromLatin1(c.result)) << c.name;
    }
}

TEST(InsertSegmentLine, UnreadableTimeRaisesAndKeepsTheProgram)
{
    for (const char* line : {"x 2 Step", "nan 2 Step"}) {
        QString program = QStringLiteral("1 2 Step");
        EXPECT_THROW(InsertSegmentLine(program, QString::fromLatin1(line)), EConvertError) << line;
        EXPECT_EQ(program, QStringLiteral("1 2 Step"));
    }
    QString program = QStringLiteral("x 2 Step");
    EXPECT_THROW(InsertSegmentLine(program, QStringLiteral("1 2 Step")), EConvertError);
}

TEST(SegmentRows, TextToRowsAndBack)
{
    RecordingPrompts prompts;
    QList<TSegmentRow> rows{{QStringLiteral("stale")}};
    TextToSegmentRows(Program({"10 100 Ramp", "12  100\tStep pre_mix_2", "13 5 Step a b"}), rows);
    const QList<TSegmentRow> expected{
        {"10", "100", "Ramp"},
        {"12", "100", "Step", "pre mix 2"},
        {"13", "5", "Step"},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_TRUE(prompts.Messages.isEmpty());

    // Notes go back through the note alphabet; the last line has no break.
    rows[1][3] = QStringLiteral("pre-mix, 2.5%");
    EXPECT_EQ(SegmentRowsToText(rows),
              QStringLiteral("10 100 Ramp\r\n12 100 Step premix_25%\r\n13 5 Step"));

    TextToSegmentRows(Demo, rows);
    EXPECT_EQ(SegmentRowsToText(rows), Demo);
    EXPECT_EQ(SegmentRowsToText({}), QString());
}

TEST(SegmentRows, UnreadableLineStopsTheRows)
{
    struct Case { const char* name; QString program; QList<TSegmentRow> rows; };
    const Case cases[] = {
        {"two elements", Program({"1 2 Step", "5 50", "9 9 Step"}), {{"1", "2", "Step"}, {"5", "50"}}},
        {"empty line", Program({"1 2 Step", "", "9 9 Step"}), {{"1", "2", "Step"}, {""}}},
    };
    for (const Case& c : cases) {
        RecordingPrompts prompts;
        QList<TSegmentRow> rows;
        TextToSegmentRows(c.program, rows);
        EXPECT_EQ(rows, c.rows) << c.name;
        EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Failed to read segment program")}) << c.name;
    }

    // Such a cut-off row is written back with the cells it has, not dropped.
    EXPECT_EQ(SegmentRowsToText({{"1", "2", "Step"}, {"5", "50"}}), QStringLiteral("1 2 Step\r\n5 50"));
}
