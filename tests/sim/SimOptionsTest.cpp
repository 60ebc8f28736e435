#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

using Kind = SimInstrument::Kind;

SimCommand Parse(const QString& commandLine)
{
    return ParseSimCommand(QStringList{QStringLiteral("tarvo-sim")}
                           + commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

} // namespace

TEST(SimOptionsTest, AcceptedCommandLines)
{
    const QList<SimInstrument> prototype = PrototypeInstruments();
    struct Row {
        const char* commandLine;
        SimOptions expected;
    };
    const Row rows[] = {
        {"", {6, prototype, LineFault::None}},
        {"--first-port 10 --fault garbled", {10, prototype, LineFault::Garbled}},
        {"--fault=silent --first-port=1", {1, prototype, LineFault::Silent}},
        {"--first-port 254 --fault slow", {254, prototype, LineFault::Slow}},
        {"--first-port 256 --pump 10001", {256, {{Kind::Pump, "10001", 0}}, LineFault::None}},
        // Given instruments replace the default set and keep their order, MFCs and pumps mixed.
        {"--pump 2020465-PS019015362 --mfc 111-A:2.5 --pump 12345678 --mfc=7:0.05",
         {6,
          {{Kind::Pump, "2020465", 0}, {Kind::MFC, "111-A", 2.5}, {Kind::Pump, "12345678", 0}, {Kind::MFC, "7", 0.05}},
          LineFault::None}},
        {"--mfc 9:5000 --pump 10001", {6, {{Kind::MFC, "9", 5000}, {Kind::Pump, "10001", 0}}, LineFault::None}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.commandLine);
        const SimCommand command = Parse(QString::fromLatin1(row.commandLine));
        EXPECT_EQ(command.text, QString());
        ASSERT_EQ(command.action, SimCommand::Action::Run);
        EXPECT_EQ(command.options, row.expected);
    }
}

TEST(SimOptionsTest, RefusedCommandLinesNameTheirFault)
{
    struct Row {
        const char* commandLine;
        const char* messagePart;
    };
    const Row rows[] = {
        {"--first-port 0", "--first-port"},
        {"--first-port 257", "--first-port"},
        {"--first-port 255", "--first-port 255 leaves no room for 3 instruments"},
        {"--first-port 6x", "--first-port"},
        {"--first-port 6 --first-port 7", "--first-port"},
        {"--first-port", "first-port"},
        {"--mfc 432389", "--mfc 432389"},
        {"--mfc :1", "--mfc :1"},
        {"--mfc 43 2389:1", "2389:1"},
        {"--mfc 432389:0", "--mfc 432389:0"},
        {"--mfc 432389:-0.5", "--mfc 432389:-0.5"},
        {"--mfc 432389:nan", "--mfc 432389:nan"},
        {"--mfc 432389:inf", "--mfc 432389:inf"},
        {"--mfc 432389:5000.1", "--mfc 432389:5000.1"},
        {"--mfc 432389:0,05", "--mfc 432389:0,05"},
        // The pump reads its number back as two plunger positions: a leading
        // zero in either part, or too few or too many digits, would not survive.
        {"--pump 0204650", "--pump 0204650"},
        {"--pump 2020065", "--pump 2020065"},
        {"--pump 2020", "--pump 2020"},
        {"--pump 123456789", "--pump 123456789"},
        {"--pump 2020465PS019015362", "--pump 2020465PS019015362"},
        {"--mfc 1:1 --pump x --mfc 2:1", "--pump x"},
        {"--fault loud", "--fault"},
        {"--fault slow --fault silent", "--fault"},
        {"--bogus", "bogus"},
        {"stray", "stray"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.commandLine);
        const SimCommand command = Parse(QString::fromLatin1(row.commandLine));
        EXPECT_EQ(command.action, SimCommand::Action::Refuse);
        EXPECT_TRUE(command.text.contains(QLatin1String(row.messagePart))) << command.text.toStdString();
    }
}

TEST(SimOptionsTest, HelpWinsOverEverythingElse)
{
    for (const char* commandLine : {"--help", "-h", "--mfc 432389 --help"}) {
        SCOPED_TRACE(commandLine);
        const SimCommand command = Parse(QString::fromLatin1(commandLine));
        EXPECT_EQ(command.action, SimCommand::Action::ShowHelp);
        EXPECT_TRUE(command.text.contains(QLatin1String("--first-port")));
    }
}

// The default set obeys the rules given instruments do; a pump given its
// known-device serial whole would keep a number no search could read back.
TEST(SimOptionsTest, PrototypeInstrumentsPassTheirOwnRules)
{
    for (const SimInstrument& instrument : PrototypeInstruments()) {
        const QString option = instrument.kind == Kind::MFC
                                   ? QStringLiteral("--mfc %1:%2").arg(instrument.serial).arg(instrument.fullScale_slpm)
                                   : QStringLiteral("--pump %1").arg(instrument.serial);
        SCOPED_TRACE(option.toStdString());
        const SimCommand command = Parse(option);
        ASSERT_EQ(command.action, SimCommand::Action::Run);
        EXPECT_EQ(command.options.instruments, QList<SimInstrument>{instrument});
    }
}
