#include "LineFixture.h"

#include <QRegularExpression>

using SendDataTest = LineFixture;

TEST_F(SendDataTest, ReplyComesBackRawWithItsWordsAndTimeStamps)
{
    auto pump = StartInstrument(QStringLiteral("COM9"), PumpBaudRate);
    pump->SetReply("/1?22", "/0`\x91\x01\x7f\x03\r\n");
    TSerialPort port = FastPort(QStringLiteral("COM9"), PumpBaudRate);
    port.SetDebug(true);
    const QByteArray command("/1?22\r");

    const TSerialResponse reply = port.SendData(command.constData(), int(command.size()), true);

    EXPECT_EQ(reply.Status, QString());
    EXPECT_EQ(reply.ResponseLength, 9);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(reply.rArray.data()), 9), QByteArray("/0`\x91\x01\x7f\x03\r\n"));
    EXPECT_EQ(reply.Response, QStringLiteral("/0`\u2018\x01\x7f\x03\r\n")); // not trimmed
    EXPECT_EQ(reply.ValueOfFirstWord, 0x2018 * 256 + 0x01);
    EXPECT_EQ(reply.ValueOfSecondWord, 0x7f * 256 + 0x03);

    // Nine stamps in order, each "Time  n: hh:mm:ss.zzz" and CR LF.
    const QStringList stamps = port.DebugMSG().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(stamps.size(), 9) << port.DebugMSG().toStdString();
    const QRegularExpression form(QStringLiteral("^Time  (\\d): \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$"));
    for (int i = 0; i < 9; ++i) {
        const QRegularExpressionMatch match = form.match(stamps.at(i));
        ASSERT_TRUE(match.hasMatch()) << stamps.at(i).toStdString();
        EXPECT_EQ(match.captured(1).toInt(), i + 1);
    }
}

TEST_F(SendDataTest, OutcomesWithoutAFullReply)
{
    QByteArray longReply(300, 'x');
    struct Case {
        const char* name;
        QByteArray command;
        bool waitForResponse;
        QString status;
        QString response;
        int responseLength;
        int words;
        int stamps;
    };
    const Case cases[] = {
        // Too short for characters 4 to 7: the words stay at -1.
        {"short reply", "S\r", true, QString(), QStringLiteral("ok\r"), 3, -1, 9},
        {"full 256 bytes", "L\r", true, QString(), QString(256, QLatin1Char('x')), 256, 'x' * 256 + 'x', 9},
        {"timeout", "quiet\r", true, QStringLiteral("Timeout while waiting for response"), QString(), 0, -1, 9},
        {"no reply wanted", "S\r", false, QString(), QString(), 0, -1, 6},
    };
    auto line = StartInstrument(QStringLiteral("COM9"));
    line->SetReply("S", "ok\r");
    line->SetReply("L", longReply);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSerialPort port = FastPort(QStringLiteral("COM9"), MfcBaudRate, 100);
        port.SetDebug(true);
        const TSerialResponse reply = port.SendData(c.command.constData(), int(c.command.size()), c.waitForResponse);
        EXPECT_EQ(reply.Status, c.status);
        EXPECT_EQ(reply.Response, c.response);
        EXPECT_EQ(reply.ResponseLength, c.responseLength);
        EXPECT_EQ(reply.ValueOfFirstWord, c.words);
        EXPECT_EQ(reply.ValueOfSecondWord, c.words);
        EXPECT_EQ(port.DebugMSG().count(QStringLiteral("\r\n")), c.stamps);
    }
}

TEST_F(SendDataTest, AbsentPortIsReportedAsInUse)
{
    TSerialPort port = FastPort(QStringLiteral("COM99"));
    const TSerialResponse reply = port.SendData("A\r", 2, true);
    EXPECT_EQ(reply.Status, QStringLiteral("Failed to setup Com port, port in use"));
}
