#include "LineFixture.h"

#include "serial/PortFolder.h"

using VirtualLineTest = LineFixture;

namespace {
const QString ReadTimeout = QStringLiteral("Timeout while waiting for response, exiting.\r\n");
const QString PortInUse = QStringLiteral("Failed to setup Com port, port in use");

// Pulls its own cable when asked to, as an instrument that fails mid-run.
class UnpluggingInstrument : public ScriptedInstrument {
public:
    using ScriptedInstrument::ScriptedInstrument;

protected:
    void OnRequest(const QByteArray& line) override
    {
        if (line == "unplug")
            Unplug();
        else
            ScriptedInstrument::OnRequest(line);
    }
};
} // namespace

TEST_F(VirtualLineTest, LineAtAnotherSpeedHearsOnlyNoise)
{
    auto pump = StartInstrument(QStringLiteral("COM6"), PumpBaudRate);
    pump->SetReply("/1?22", "/0`255\x03\r\n");

    // A probe at the MFC's speed reaches the line but not the instrument.
    TSerialPort probe = FastPort(QStringLiteral("COM6"), MfcBaudRate, 100);
    EXPECT_EQ(probe.Send2("/1?22\r", true).Status, ReadTimeout);
    EXPECT_EQ(pump->ReceivedLines(), QByteArrayList{"/1?22"});
    EXPECT_EQ(pump->RequestCount(), 0);
    EXPECT_EQ(pump->ProgramBaudRate(), MfcBaudRate);

    // At its own speed the same line answers.
    TSerialPort port = FastPort(QStringLiteral("COM6"), PumpBaudRate);
    EXPECT_EQ(port.Send2("/1?22\r", true).Response, QStringLiteral("/0`255"));
    EXPECT_EQ(pump->RequestCount(), 1);
}

TEST_F(VirtualLineTest, RequestsAreSplitAtCarriageReturnsWithLineFeedsIgnored)
{
    auto line = StartInstrument(QStringLiteral("COM6"));
    TSerialPort port = FastPort(QStringLiteral("COM6"));
    port.Send2("A\r\n/1Q\r\nAS\n 7\r\r", false);
    ASSERT_TRUE(line->WaitForLine("", 5000)); // the last one
    EXPECT_EQ(line->ReceivedLines(), (QByteArrayList{"A", "/1Q", "AS 7", ""}));
}

TEST_F(VirtualLineTest, ScriptAnswersQueuedRepliesFirstThenTheTableThenTheDefault)
{
    auto line = StartInstrument(QStringLiteral("COM6"));
    line->SetReply("Q", "ready\r");
    line->QueueReply("Q", "busy\r");
    line->QueueReply("Q", "still busy\r");
    line->SetDefaultReply("?\r");
    TSerialPort port = FastPort(QStringLiteral("COM6"));

    QStringList replies;
    for (const char* command : {"Q\r", "Q\r", "Q\r", "Z\r"})
        replies.append(port.Send2(command, true).Response);
    EXPECT_EQ(replies, (QStringList{"busy", "still busy", "ready", "?"}));

    line->SetReply("Q", QByteArray()); // silence
    EXPECT_EQ(FastPort(QStringLiteral("COM6"), MfcBaudRate, 100).Send2("Q\r", true).Status, ReadTimeout);
}

TEST_F(VirtualLineTest, FaultModesChangeTheReply)
{
    auto line = StartInstrument(QStringLiteral("COM6"));
    line->SetReply("A", "A +000.00 N2\r");

    line->SetFault(LineFault::Silent);
    EXPECT_EQ(FastPort(QStringLiteral("COM6"), MfcBaudRate, 100).Send2("A\r", true).Status, ReadTimeout);

    line->SetFault(LineFault::Garbled);
    const QString garbled = FastPort(QStringLiteral("COM6")).Send2("A\r", true).Response;
    EXPECT_EQ(garbled.size(), 13); // as long as the reply with its CR, which is noise too
    for (const QChar ch : garbled)
        EXPECT_GE(ch.unicode(), 0x80) << "printable ASCII in noise";

    line->SetFault(LineFault::None);
    EXPECT_EQ(FastPort(QStringLiteral("COM6")).Send2("A\r", true).Response, QStringLiteral("A +000.00 N2"));

    // A slow answer arrives after the readout time-out the program uses.
    line->SetFault(LineFault::Slow);
    EXPECT_EQ(FastPort(QStringLiteral("COM6"), MfcBaudRate, 100).Send2("A\r", true).Status, ReadTimeout);
}

TEST_F(VirtualLineTest, UnpluggedLineGoesDeadAndItsNameDisappears)
{
    struct Case {
        const char* name;
        bool byTheInstrument; // mid-exchange, from the line's own thread
    };
    for (const Case c : {Case{"between exchanges", false}, Case{"mid-exchange", true}}) {
        SCOPED_TRACE(c.name);
        auto line = std::make_unique<UnpluggingInstrument>(MfcBaudRate);
        ASSERT_TRUE(line->Start());
        ASSERT_TRUE(line->Register(QStringLiteral("COM6")));
        line->SetReply("A", "A ok\r");
        TSerialPort port = FastPort(QStringLiteral("COM6"), MfcBaudRate, 100);
        EXPECT_EQ(port.Send2("A\r", true).Response, QStringLiteral("A ok"));

        if (c.byTheInstrument)
            EXPECT_FALSE(port.Send2("unplug\r", true).Status.isEmpty());
        else
            line->Unplug();

        EXPECT_EQ(line->RegisteredName(), QString());
        EXPECT_EQ(VirtualPortNames(), QStringList());
        EXPECT_EQ(port.Send2("A\r", true).Status, PortInUse);
        EXPECT_FALSE(line->Start()); // a pulled cable stays pulled
    }
}

TEST_F(VirtualLineTest, StopEndsASlowReplyAndUnregisters)
{
    auto line = StartInstrument(QStringLiteral("COM6"));
    line->SetReply("A", "A ok\r");
    line->SetFault(LineFault::Slow);
    FastPort(QStringLiteral("COM6")).Send2("A\r", false);
    ASSERT_TRUE(line->WaitForLine("A", 5000));

    line->Stop(); // while the reply is still pending: must not wait it out

    EXPECT_EQ(VirtualPortNames(), QStringList());
}
