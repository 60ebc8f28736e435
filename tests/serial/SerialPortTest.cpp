#include "LineFixture.h"

#include "base/MainThreadWait.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

namespace {
const QString PortInUse = QStringLiteral("Failed to setup Com port, port in use");
const QString ReadTimeout = QStringLiteral("Timeout while waiting for response, exiting.\r\n");
const QString NoReplyWanted = QStringLiteral("Exit read/write without waiting for reply");
} // namespace

using SerialPortTest = LineFixture;

TEST_F(SerialPortTest, RegisteredComNameOpensAtTheConfiguredSpeed)
{
    auto mfc = StartInstrument(QStringLiteral("COM12"));
    mfc->SetReply("A", "A +014.62 +021.89 +000.00 +000.00 +078.95     N2\r");
    TSerialPort port = FastPort(QStringLiteral("COM12"));

    const TSerialResponse reply = port.Send2("A\r", true);

    EXPECT_EQ(reply.Status, QString());
    EXPECT_EQ(reply.SentMessage, QByteArray("A\r"));
    EXPECT_EQ(reply.Response, QStringLiteral("A +014.62 +021.89 +000.00 +000.00 +078.95     N2"));
    EXPECT_EQ(mfc->ProgramBaudRate(), MfcBaudRate);
}

TEST_F(SerialPortTest, PortHeldByAnotherOpenerIsInUseAndNothingIsWritten)
{
    auto mfc = StartInstrument(QStringLiteral("COM7"));
    mfc->SetReply("B", "B ok\r");
    TSerialPort port = FastPort(QStringLiteral("COM7"));

    {
        QSerialPort holder(mfc->DevicePath()); // the same line, opened by its device path
        ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << holder.errorString().toStdString();
        const TSerialResponse refused = port.Send2("A\r", true);
        EXPECT_EQ(refused.Status, PortInUse);
        EXPECT_EQ(refused.Response, QString());
    }

    // Once the holder lets go the port works, and the refused command never
    // reached the line: only the second one arrived.
    EXPECT_EQ(port.Send2("B\r", true).Response, QStringLiteral("B ok"));
    EXPECT_EQ(mfc->ReceivedLines(), QByteArrayList{"B"});
}

TEST_F(SerialPortTest, ExchangeHoldsThePortAgainstOtherOpeners)
{
    // A second exchange on the line while the first one waits for its reply.
    auto mfc = StartInstrument(QStringLiteral("COM7"));
    mfc->SetFault(LineFault::Silent);
    TSerialPort waiting = FastPort(QStringLiteral("COM7"), MfcBaudRate, 800);
    TSerialResponse first;
    std::unique_ptr<QThread> exchange(QThread::create([&] { first = waiting.Send2("A\r", true); }));
    exchange->start();
    ASSERT_TRUE(mfc->WaitForLine("A", 5000));

    TSerialPort second = FastPort(QStringLiteral("COM7"));
    EXPECT_EQ(second.Send2("B\r", true).Status, PortInUse);
    exchange->wait();
    EXPECT_EQ(first.Status, ReadTimeout);
}

TEST_F(SerialPortTest, SilentInstrumentTimesOutAfterTheFirstPausePastTheDeadline)
{
    // The real timings: pauses of 333 ms and a 1000 ms deadline. The queue is
    // checked at about 0, 333, 666 (and 999) ms; the call ends with the first
    // pause that ends past the deadline, about 1.0 to 1.35 s in.
    auto mfc = StartInstrument(QStringLiteral("COM6"));
    mfc->SetFault(LineFault::Silent);
    TSerialPort port;
    port.SetPort(QStringLiteral("COM6"));
    port.SetBaudRate(MfcBaudRate);

    QElapsedTimer clock;
    clock.start();
    const TSerialResponse reply = port.Send2("A\r", true);
    const qint64 elapsedMS = clock.elapsed();

    EXPECT_EQ(reply.Status, ReadTimeout);
    EXPECT_EQ(reply.Response, QString());
    EXPECT_GE(elapsedMS, 1000);
    // One pause past the deadline, with room for a loaded machine.
    EXPECT_LT(elapsedMS, 1000 + 333 + 250);
}

TEST_F(SerialPortTest, ReplyIsTrimmedOfControlCharactersAtBothEnds)
{
    struct Case {
        const char* name;
        QByteArray reply;
        QString expected;
    };
    const Case cases[] = {
        {"MFC line ends in CR", "A +014.70 +0050.0   Air MOV HLD\r", QStringLiteral("A +014.70 +0050.0   Air MOV HLD")},
        {"pump reply with ETX CR LF", "/0`255\x03\r\n", QStringLiteral("/0`255")},
        {"ETX before and after", "\x03 /0` 12 \x03", QStringLiteral("/0` 12")},
        {"Windows-1252 status byte", "/0\x91\x03\r\n", QStringLiteral("/0\u2018")},
        {"nothing but control bytes", "\r\n\x03", QString()},
    };
    auto line = StartInstrument(QStringLiteral("COM8"));
    TSerialPort port = FastPort(QStringLiteral("COM8"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        line->SetReply(c.name, c.reply);
        const TSerialResponse reply = port.Send2(QByteArray(c.name) + '\r', true);
        EXPECT_EQ(reply.Status, QString());
        EXPECT_EQ(reply.Response, c.expected);
    }
}

TEST_F(SerialPortTest, TextCommandGoesOutInWindows1252)
{
    auto line = StartInstrument(QStringLiteral("COM8"));
    TSerialPort port = FastPort(QStringLiteral("COM8"));
    port.Send2(QStringLiteral("A\u2018\u00e9\r"), false);
    EXPECT_TRUE(line->WaitForLine("A\x91\xe9", 5000));
}

TEST_F(SerialPortTest, ReplyLongerThan256BytesIsCut)
{
    QByteArray longReply;
    for (int i = 0; i < 300; ++i)
        longReply.append(char('a' + i % 26));
    auto line = StartInstrument(QStringLiteral("COM8"));
    line->SetReply("L", longReply + '\r');
    TSerialPort port = FastPort(QStringLiteral("COM8"));

    const TSerialResponse reply = port.Send2("L\r", true);

    EXPECT_EQ(reply.Response, QString::fromLatin1(longReply.left(256)));
}

TEST_F(SerialPortTest, SendWithoutReplyIsWrittenButReportsAStatus)
{
    auto line = StartInstrument(QStringLiteral("COM8"));
    line->SetDefaultReply("ignored\r");
    TSerialPort port = FastPort(QStringLiteral("COM8"));

    // The port closes right after the write; every command must still reach
    // the instrument as sent at the port's speed.
    constexpr int Commands = 20;
    for (int i = 0; i < Commands; ++i) {
        const TSerialResponse reply = port.Send2("AS 75.0\r", false);
        EXPECT_EQ(reply.Status, NoReplyWanted);
        EXPECT_EQ(reply.Response, QString());
    }
    EXPECT_TRUE(WaitProcessingEvents([&] { return line->RequestCount() == Commands; }, 5000))
        << line->RequestCount() << " of " << Commands << " understood";
}

TEST_F(SerialPortTest, EveryExchangeReleasesThePort)
{
    struct Case {
        const char* name;
        QByteArray command;
        bool waitForResponse;
        QString status;
    };
    const Case cases[] = {
        {"reply", "R\r", true, QString()},
        {"no reply wanted", "R\r", false, NoReplyWanted},
        {"timeout", "quiet\r", true, ReadTimeout},
    };
    auto line = StartInstrument(QStringLiteral("COM8"));
    line->SetReply("R", "ok\r");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSerialPort port = FastPort(QStringLiteral("COM8"), MfcBaudRate, 100);
        EXPECT_EQ(port.Send2(c.command, c.waitForResponse).Status, c.status);
        QSerialPort next(line->DevicePath());
        EXPECT_TRUE(next.open(QIODevice::ReadWrite)) << next.errorString().toStdString();
    }
}

TEST_F(SerialPortTest, ReplyLeftFromAnEarlierExchangeIsNotTakenForTheNext)
{
    auto line = StartInstrument(QStringLiteral("COM8"));
    line->SetReply("A", "late\r");
    line->SetReply("B", "fresh\r");
    line->SetFault(LineFault::Slow);
    TSerialPort port = FastPort(QStringLiteral("COM8"), MfcBaudRate, 100);
    EXPECT_EQ(port.Send2("A\r", true).Status, ReadTimeout);

    // The instrument handles its requests in order: once it has heard X, the
    // late reply to A sits in the line's input queue.
    port.Send2("X\r", false);
    ASSERT_TRUE(line->WaitForLine("X", 5000));
    line->SetFault(LineFault::None);

    port.SetReadoutTimeoutMS(3000);
    EXPECT_EQ(port.Send2("B\r", true).Response, QStringLiteral("fresh"));
}

TEST_F(SerialPortTest, LineSettingsComeFromTheCodesLowByte)
{
    struct Case {
        qint32 parityCode;
        qint32 stopBitsCode;
        bool accepted;
        QSerialPort::Parity parity;
        QSerialPort::StopBits stopBits;
    };
    // A pseudo-terminal carries no parity bit, so only the codes' reading is
    // shown here: the low byte counts, unknown codes are refused.
    const Case cases[] = {
        {0, 0, true, QSerialPort::NoParity, QSerialPort::OneStop},
        {0, 2, true, QSerialPort::NoParity, QSerialPort::TwoStop},
        {0x100, 0x202, true, QSerialPort::NoParity, QSerialPort::TwoStop},
        {7, 0, false, QSerialPort::NoParity, QSerialPort::OneStop},
        {0, 9, false, QSerialPort::NoParity, QSerialPort::OneStop},
    };
    auto line = StartInstrument(QStringLiteral("COM8"));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "parity " << c.parityCode << ", stop bits " << c.stopBitsCode);
        TSerialPort settings;
        settings.SetBaudRate(PumpBaudRate);
        settings.SetParity(c.parityCode);
        settings.SetStopBits(c.stopBitsCode);
        QSerialPort device(line->DevicePath());
        ASSERT_TRUE(device.open(QIODevice::ReadWrite));
        ASSERT_EQ(settings.SetDCBState(device), c.accepted);
        if (!c.accepted)
            continue;
        EXPECT_EQ(device.baudRate(), PumpBaudRate);
        EXPECT_EQ(device.dataBits(), QSerialPort::Data8);
        EXPECT_EQ(device.parity(), c.parity);
        EXPECT_EQ(device.stopBits(), c.stopBits);
        EXPECT_EQ(device.flowControl(), QSerialPort::NoFlowControl);
    }
}

TEST_F(SerialPortTest, ConfigurationStepsRefuseAPortThatIsNotOpen)
{
    TSerialPort settings;
    QSerialPort closed;
    EXPECT_FALSE(settings.SetDCBState(closed));
    EXPECT_FALSE(settings.SetTimeOuts(closed));
    EXPECT_FALSE(settings.SetBuffers(closed));
}

TEST_F(SerialPortTest, AbsentPortIsReportedAsInUse)
{
    TSerialPort port = FastPort(QStringLiteral("COM99"));
    const TSerialResponse reply = port.Send2("A\r", true);
    EXPECT_EQ(reply.Status, PortInUse);
    EXPECT_EQ(reply.Response, QString());
}
