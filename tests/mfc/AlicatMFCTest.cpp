#include "TraceRecorder.h"

#include "base/Errors.h"
#include "mfc/AlicatMFC.h"
#include "sim/ScriptedInstrument.h"
#include "sim/VirtualMFC.h"
#include "support/TempFolder.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// A short pause of the reply wait keeps the scripted cases fast: a scripted
// reply is on the line within a millisecond. The reply time-out stays at its
// default, so a busy machine does not turn a late reply into silence.
constexpr quint32 FastPauseMS = 20;

const QByteArray StatusN2 = "A +001.01 +021.89 +000.50 +032000 +032000 +000.12     N2\r";

QByteArrayList Repeated(const QByteArray& line, int count)
{
    QByteArrayList lines;
    for (int i = 0; i < count; ++i)
        lines.append(line);
    return lines;
}

// A driver talking to a scripted instrument over a pseudo-terminal.
class ScriptedDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.Start());
        mfc.aPort.SetPort(line.DevicePath());
        mfc.aPort.SetBaudRate(AlicatBaudRate);
        mfc.aPort.SetWindowsReadLoopTimeoutMS(FastPauseMS);
        mfc.Role = QStringLiteral("A");
    }

    TempFolder folder;
    ScriptedInstrument line{AlicatBaudRate};
    TAlicatMFC mfc;
};

// A row of a table of replies.
struct NamedReply {
    const char* name;
    QByteArray reply;
};

TAlicatData Prefilled()
{
    TAlicatData data;
    data.DataTime = 1;
    data.Pressure = 2;
    data.Temp = 3;
    data.FlowRate_vol = 4;
    data.FlowRate_mass = 5;
    data.SetpointFromDevice = 6;
    data.Totalizer = 7;
    data.GasSN = QStringLiteral("old");
    data.ErrorFlags.Include(TAlicatError::MOV);
    data.Raw = QStringLiteral("old");
    return data;
}

TAlicatErrors Codes(std::initializer_list<TAlicatError> codes)
{
    TAlicatErrors set;
    for (const TAlicatError code : codes)
        set.Include(code);
    return set;
}

} // namespace

TEST_F(ScriptedDriver, StatusLineFillsEveryFieldAndTheKnownCodes)
{
    struct Case {
        const char* codes;
        TAlicatErrors expected;
    };
    // Codes compare exactly: lower case and unknown texts are not codes.
    const Case cases[] = {
        {"", {}},
        {" MOV HLD", Codes({TAlicatError::MOV, TAlicatError::HLD})},
        {" LCK mov XYZ OPL", Codes({TAlicatError::LCK, TAlicatError::OPL})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codes);
        const QByteArray reply = "A +014.62 -021.89 +000.50 +012.50 +078.95 +000.12     N2" + QByteArray(c.codes);
        line.SetReply("A", reply + '\r');
        TAlicatData data = Prefilled();
        ASSERT_TRUE(mfc.ReadStatus(data));
        EXPECT_NE(data.DataTime, 1);
        EXPECT_DOUBLE_EQ(data.Pressure, 14.62);
        EXPECT_DOUBLE_EQ(data.Temp, -21.89);
        EXPECT_DOUBLE_EQ(data.FlowRate_vol, 0.5);
        EXPECT_DOUBLE_EQ(data.FlowRate_mass, 12.5);
        EXPECT_DOUBLE_EQ(data.SetpointFromDevice, 78.95);
        EXPECT_DOUBLE_EQ(data.Totalizer, 0.12);
        EXPECT_EQ(data.GasSN, "N2");
        EXPECT_EQ(data.ErrorFlags, c.expected);
        EXPECT_EQ(data.Raw, "A:" + QString::fromLatin1(reply));
    }
}

TEST_F(ScriptedDriver, LineWithoutTotalizerIsAReading)
{
    line.SetReply("A", "A +014.62 +021.89 +000.00 +012.50 +078.95     N2 HLD\r");
    TAlicatData data = Prefilled();
    ASSERT_TRUE(mfc.ReadStatus(data));
    EXPECT_NE(data.DataTime, 1);
    EXPECT_DOUBLE_EQ(data.Pressure, 14.62);
    EXPECT_DOUBLE_EQ(data.FlowRate_mass, 12.5);
    EXPECT_DOUBLE_EQ(data.SetpointFromDevice, 78.95);
    EXPECT_EQ(data.Totalizer, 0);
    EXPECT_EQ(data.GasSN, "N2");
    EXPECT_EQ(data.ErrorFlags, Codes({TAlicatError::HLD}));
}

// Whatever is not a status line is a failed read: no field may take a value
// from it, least of all a flow of zero.
TEST_F(ScriptedDriver, ReplyThatIsNotAStatusLineLeavesTheReadingAlone)
{
    const NamedReply cases[] = {
        {"non-numeric column", "A +014.62 +021.89 +0?0.50 +012.50 +078.95 +000.12     N2\r"},
        {"refused", "?\r"},
        {"cut short", "A +014.62 +021.89 +000.50 +012.50\r"},
        {"no gas label", "A +014.62 +021.89 +000.50 +012.50 +078.95 +000.12\r"},
        {"another unit", "B +014.62 +021.89 +000.50 +012.50 +078.95 +000.12     N2\r"},
        {"number after the label", "A +014.62 +021.89 +000.50 +012.50 +078.95     N2 +000.12\r"},
        {"another command's reply", "A 62 count\r"},
        {"two lines", "A +014.62 +021.89 +000.50 +012.50 +078.95     N2\rA +014.62 +021.89 +000.50 +012.50 +078.95     N2\r"},
        {"noise", "\xE3\x91\xA7\xF0\xBB\r"},
    };
    for (const NamedReply& c : cases) {
        SCOPED_TRACE(c.name);
        line.SetReply("A", c.reply);
        TAlicatData data = Prefilled();
        EXPECT_FALSE(mfc.ReadStatus(data));
        EXPECT_EQ(data.DataTime, 1);
        EXPECT_EQ(data.Pressure, 2);
        EXPECT_EQ(data.Temp, 3);
        EXPECT_EQ(data.FlowRate_mass, 5);
        EXPECT_EQ(data.SetpointFromDevice, 6);
        EXPECT_EQ(data.Raw, "old");
        EXPECT_TRUE(data.ErrorFlags.Contains(TAlicatError::MOV));
    }
}

// A reply that comes after the time-out belongs to the command that timed
// out: the next exchange waits for the line to fall quiet, drops it, and
// waits longer for replies from then on.
TEST_F(ScriptedDriver, LateReplyIsDroppedAndTheReplyTimeoutGrows)
{
    line.SetReplyDelayMS(1500);
    line.SetReply("A16000", "A +001.01 +021.89 +000.50 +000000 +016000 +000.12     N2\r");
    line.SetReply("A", "A +001.01 +021.89 +000.50 +000000 +000000 +000.12     N2\r");
    TAlicatData data;
    data.Setpoint_pct = 25;
    EXPECT_FALSE(mfc.ApplySetpoint_pct(data));

    ASSERT_TRUE(mfc.ReadStatus(data));
    EXPECT_EQ(data.SetpointFromDevice, 0) << "the poll's own reply, not the setpoint's";
    EXPECT_GT(mfc.aPort.ReadoutTimeoutMS(), 1500u);
    EXPECT_LE(mfc.aPort.ReadoutTimeoutMS(), TAlicatMFC::LongestReplyTimeoutMS);
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"A16000", "A"}));
}

TEST_F(ScriptedDriver, SilentInstrumentLeavesTheReadingAlone)
{
    TAlicatData data = Prefilled();
    EXPECT_FALSE(mfc.ReadStatus(data));
    EXPECT_EQ(data.Pressure, 2);
    EXPECT_EQ(data.Raw, "old");
    EXPECT_TRUE(data.ErrorFlags.Contains(TAlicatError::MOV));
}

TEST_F(ScriptedDriver, SetpointGoesOutAsCountsRoundedHalfToEven)
{
    line.SetDefaultReply(StatusN2);
    struct Case {
        double percent;
        QByteArray command;
    };
    const Case cases[] = {
        {50, "A32000"},
        {0.5 / 640, "A0"},  // half a count
        {1.5 / 640, "A2"},
        {2.5 / 640, "A2"},
        {100, "A64000"},
        {-1, "A-640"},      // not clamped: the instrument decides
        {150, "A96000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        const qsizetype sent = line.ReceivedLines().size();
        TAlicatData data;
        data.Setpoint_pct = c.percent;
        EXPECT_TRUE(mfc.ApplySetpoint_pct(data));
        EXPECT_EQ(line.ReceivedLines().mid(sent), QByteArrayList{c.command});
    }
}

TEST_F(ScriptedDriver, SetpointToSilentInstrumentFails)
{
    TAlicatData data;
    data.Setpoint_pct = 50;
    EXPECT_FALSE(mfc.ApplySetpoint_pct(data));
}

TEST_F(ScriptedDriver, GasOutsideTheInstrumentsNumbersOrAlreadySelectedSendsNothing)
{
    line.SetDefaultReply(StatusN2);
    mfc.GasID = 8;
    for (const qint32 gas : {211, -1, 8}) {
        SCOPED_TRACE(gas);
        TAlicatData data;
        data.GasID = gas;
        EXPECT_TRUE(mfc.ChangeGas(data));
    }
    EXPECT_TRUE(line.ReceivedLines().isEmpty());
    EXPECT_EQ(mfc.GasID, 8);
}

TEST_F(ScriptedDriver, GasChangeSelectsTheGasAndReadsItsFullScale)
{
    line.SetReply("AG 210", "A +001.01 +021.89 +000.50 +032000 +032000 +000.12    H-2\r");
    line.SetReply("AFPF 37 67", "A +000.06 67 g/m\r");
    TAlicatData data;
    data.GasID = 210;
    EXPECT_TRUE(mfc.ChangeGas(data));
    EXPECT_EQ(mfc.GasID, 210);
    EXPECT_DOUBLE_EQ(mfc.MaxFlow_gpm, 0.06);
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"AG 210", "AFPF 37 67"}));
}

TEST_F(ScriptedDriver, RefusedGasIsAskedForOnceAndNotTakenAsSelected)
{
    const NamedReply cases[] = {
        {"unknown to the unit", "?\r"},
        {"kept its gas", StatusN2},
    };
    line.SetReply("AFPF 37 67", "A +000.06 67 g/m\r");
    for (const NamedReply& c : cases) {
        SCOPED_TRACE(c.name);
        line.SetReply("AG 1", c.reply);
        const qsizetype sent = line.ReceivedLines().size();
        mfc.GasID = 8;
        TAlicatData data;
        data.GasID = 1;
        EXPECT_FALSE(mfc.ChangeGas(data));
        EXPECT_TRUE(mfc.GasRefused);
        EXPECT_EQ(mfc.GasID, 8);
        EXPECT_EQ(line.ReceivedLines().mid(sent), (QByteArrayList{"AG 1", "AFPF 37 67"}));
    }
}

TEST_F(ScriptedDriver, GasChangeOnSilentInstrumentTriesThreeTimesAndKeepsTheOldGas)
{
    mfc.GasID = 1;
    mfc.MaxFlow_gpm = 1.5;
    TAlicatData data;
    data.GasID = 8;
    EXPECT_FALSE(mfc.ChangeGas(data));
    EXPECT_EQ(mfc.GasID, 1);
    EXPECT_EQ(mfc.MaxFlow_gpm, 1.5);
    EXPECT_EQ(line.ReceivedLines(), Repeated("AG 8", 3) + QByteArrayList{"AFPF 37 67"});
}

TEST_F(ScriptedDriver, FullScaleIsTakenOnlyFromFourStrictColumns)
{
    line.SetReply("AG 8", StatusN2);
    struct Case {
        QByteArray reply;
        double expected;
        bool known;
    };
    const Case cases[] = {
        {"A +001.15 67 g/m\r", 1.15, true},
        {"A +001.15  67 g/m\r", 0.5, false}, // a doubled blank: five columns
        {"A +001.15 67\r", 0.5, false},
        {"?\r", 0.5, false},
        {"A +000.00 67 g/m\r", 0, false},
        {"A +0?1.15 67 g/m\r", 0.5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        line.SetReply("AFPF 37 67", c.reply);
        mfc.GasID = -1;
        mfc.MaxFlow_gpm = 0.5;
        TAlicatData data;
        data.GasID = 8;
        EXPECT_TRUE(mfc.ChangeGas(data));
        EXPECT_EQ(mfc.MaxFlow_gpm, c.expected);
        EXPECT_EQ(mfc.FullScaleKnown, c.known);
    }
}

TEST(AlicatData, ErrorsExplainTheCodesInEnumerationOrder)
{
    TAlicatData data;
    QString desc = QStringLiteral("stale");
    EXPECT_FALSE(data.Errors(desc));
    EXPECT_EQ(desc, "");

    data.ErrorFlags.Include(TAlicatError::OPL);
    data.ErrorFlags.Include(TAlicatError::LCK);
    EXPECT_TRUE(data.Errors(desc));
    EXPECT_EQ(desc, "Display buttons are disabled.\r\nThe overpressure limit is enabled.");
    EXPECT_EQ(data.ErrorFlags.Bits(), (1u << 3) | (1u << 5));
}

TEST_F(ScriptedDriver, OneShotExchangeAddsAnEmptyLineAndReportsItsDuration)
{
    line.SetReply("A??M5", "A  M05 Serial Number 521641\r");
    QString status;
    QString response;
    EXPECT_TRUE(TAlicatMFC::SendASCII(line.DevicePath(), QStringLiteral("A??M5\r"), true, status, response));
    EXPECT_EQ(response, "A  M05 Serial Number 521641");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\rDuration: \\d\\d:\\d\\d\\d$")).match(status).hasMatch()) << status.toStdString();
    EXPECT_TRUE(line.WaitForLine("", 1000));
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"A??M5", ""}));
}

TEST_F(ScriptedDriver, OneShotExchangeWithSilentInstrumentFailsAfterItsLongerWait)
{
    QString status;
    QString response = QStringLiteral("stale");
    EXPECT_FALSE(TAlicatMFC::SendASCII(line.DevicePath(), QStringLiteral("A??M5\r"), true, status, response));
    EXPECT_EQ(response, "");
    // 2500 ms for the reply, then the pause that passed the deadline.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Timeout while waiting for response, exiting\\.\\r\\n\\rDuration: 0[23]:\\d\\d\\d$"))
                    .match(status)
                    .hasMatch())
        << status.toStdString();
}

TEST_F(ScriptedDriver, InitializeRunsEveryStepAndTracesTheMismatches)
{
    line.SetReply("AFACTORY RESTORE ALL", "A Factory values have been restored.\r");
    line.SetReply("ALSS U", "A S\r"); // the instrument stays in its own setpoint mode
    line.SetReply("ASPUE 0", "A 0\r");
    line.SetReply("ADCU 37 62", "A 62 count\r");
    line.SetReply("ADCU 2 7", "A 7 barA\r");
    line.SetReply("A", StatusN2);
    line.SetReply("A0", StatusN2);
    const TraceRecorder trace(QStringLiteral("MFC"));

    EXPECT_FALSE(mfc.Initialize(TAIBrisolNivra));

    QByteArrayList commands = line.ReceivedLines();
    commands.removeAll(QByteArray());
    EXPECT_EQ(commands, (QByteArrayList{"A", "AFACTORY RESTORE ALL", "ALSS U", "ASPUE 0", "ADCU 37 62", "ADCU 2 7", "A0"}));
    const QRegularExpression failureText(QStringLiteral("^Remote control failed:\\r\\n\\rDuration: \\d\\d:\\d\\d\\d\\r\\nA S\\r\\n$"));
    EXPECT_EQ(trace.Lines().filter(failureText).size(), 1) << trace.Lines().join('\n').toStdString();
}

// End to end against the virtual controller, at the port's real pace.
class VirtualDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(instrument.Start());
        mfc.aPort.SetPort(instrument.DevicePath());
        mfc.aPort.SetBaudRate(AlicatBaudRate);
        mfc.Role = QStringLiteral("A");
    }

    TempFolder folder;
    VirtualMFC instrument;
    TAlicatMFC mfc;
};

TEST_F(VirtualDriver, InitializedControllerFollowsSetpointAndGasInCounts)
{
    ASSERT_TRUE(mfc.Initialize(TAIBrisolNivra));

    TAlicatData data;
    data.GasID = 1;
    ASSERT_TRUE(mfc.ChangeGas(data));
    EXPECT_EQ(instrument.GasNumber(), 1);
    EXPECT_NEAR(mfc.MaxFlow_gpm, instrument.FullScale_gpm(), 0.005); // as printed: two decimals

    data.Setpoint_pct = 50;
    ASSERT_TRUE(mfc.ApplySetpoint_pct(data));
    const QDeadlineTimer deadline(10000);
    do {
        ASSERT_TRUE(mfc.ReadStatus(data));
    } while (std::abs(data.FlowRate_mass - 32000) > 200 && !deadline.hasExpired());
    EXPECT_NEAR(data.FlowRate_mass, 32000, 200);
    EXPECT_EQ(data.SetpointFromDevice, 32000);
    EXPECT_NEAR(data.Pressure, 1.01, 0.01); // bar after set-up
    EXPECT_EQ(data.GasSN, "Ar");
    EXPECT_TRUE(data.ErrorFlags.IsEmpty());
}

TEST_F(VirtualDriver, HeldValveShowsItsCodesAndKeepsItsSetpoint)
{
    ASSERT_TRUE(mfc.Initialize(TAIBrisolNivra));
    instrument.SetStatusCodes({QStringLiteral("MOV"), QStringLiteral("HLD")});
    TAlicatData data;
    data.Setpoint_pct = 50;
    ASSERT_TRUE(mfc.ApplySetpoint_pct(data));
    ASSERT_TRUE(mfc.ReadStatus(data));
    EXPECT_EQ(data.SetpointFromDevice, 0);
    EXPECT_EQ(data.ErrorFlags, Codes({TAlicatError::MOV, TAlicatError::HLD}));
    EXPECT_EQ(instrument.Setpoint_counts(), 0);
}
