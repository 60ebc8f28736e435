#include "pump/PSD4.h"

#include "base/Errors.h"
#include "serial/SerialPort.h"
#include "sim/ScriptedInstrument.h"
#include "sim/VirtualPump.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Ready = "/0`\x03\r\n";
const QByteArray Busy = "/0@\x03\r\n";
const QByteArray Identified = "/0`255\x03\r\n";

QByteArray Answer(const char* statusAndData)
{
    return QByteArray("/0") + statusAndData + "\x03\r\n";
}

TSerialResponse Reply(const QString& text)
{
    TSerialResponse response;
    response.Response = text;
    return response;
}

// Short pauses keep the scripted exchanges fast; the pump answers in a few
// milliseconds.
void UseShortPauses(TPSD4& pump)
{
    pump.COM()->SetWindowsReadLoopTimeoutMS(20);
    pump.COM()->SetReadoutTimeoutMS(100);
}

// A pump that answers from a script: identified, and ready for everything
// else unless a test scripts otherwise.
class ScriptedPump : public ::testing::Test {
protected:
    void SetUp() override
    {
        line.SetReply("/1?22", Identified);
        line.SetDefaultReply(Ready);
        ASSERT_TRUE(line.Start());
    }

    void Connect()
    {
        ASSERT_TRUE(pump.Connect(line.DevicePath()));
        UseShortPauses(pump);
        line.ClearReceivedLines();
    }

    ScriptedInstrument line{VirtualPump::BaudRate};
    TPSD4 pump;
};

} // namespace

TEST(PSD4SetStatus, DecodesTheStatusCharacter)
{
    struct Case {
        char16_t status;
        EnumPumpState state;
    };
    const Case errors[] = {
        {u'a', ps_Initialization_error__Occurs_when_a_syringe_or_valve_error_happens_during_initialization},
        {u'b', ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used},
        {u'c', ps_Invalid_operand__Occurs_when_and_invalid_parameter_is_given_with_a_command},
        {u'd', ps_Invalid_command_sequence__Occurs_when_the_command_communication_protocol_is_incorrect},
        {u'f', ps_EEPROM_failure__Occurs_when_the_EEPROM_is_faulty},
        {u'g', ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize},
        {u'i', ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure},
        {u'j', ps_Valve_overload__Occurs_when_the_valve_drive_encounters_excessive_back_pressure},
        {u'k', ps_Syringe_move_not_allowed__When_the_valve_is_in_the_bypass_or_throughput_position_syringe_move_commands_are_not_allowed},
        {u'o', ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full},
    };
    TPSD4 pump;
    for (const Case& c : errors) {
        pump.SetStatus(Reply(QStringLiteral("/0") + QChar(c.status)));
        EXPECT_EQ(pump.State(), c.state) << char(c.status);
        EXPECT_FALSE(pump.Busy()) << char(c.status);
        const char16_t upper = char16_t(c.status - u'a' + u'A');
        pump.SetStatus(Reply(QStringLiteral("/0") + QChar(upper) + QStringLiteral("12")));
        EXPECT_EQ(pump.State(), c.state) << char(upper);
        EXPECT_TRUE(pump.Busy()) << char(upper);
    }

    // No error: grave accent and U+2018 (byte 0x91 in Windows-1252) ready, at sign busy.
    const struct {
        const char16_t* reply;
        bool busy;
    } noError[] = {{u"/0`", false}, {u"/0@", true}, {u"/0\u2018", false}};
    for (const auto& c : noError) {
        pump.SetStatus(Reply(QStringLiteral("/0i")));
        pump.SetStatus(Reply(QString::fromUtf16(c.reply)));
        EXPECT_EQ(pump.State(), ps_No_error) << QString::fromUtf16(c.reply).toStdString();
        EXPECT_EQ(pump.Busy(), c.busy) << QString::fromUtf16(c.reply).toStdString();
    }
}

TEST(PSD4SetStatus, UnknownOrMissingStatusCharacter)
{
    TPSD4 pump;
    pump.SetStatus(Reply(QStringLiteral("/0I")));

    // Too short to carry a status, or not a pump reply at all (noise that
    // happens to hold a status letter third): nothing changes, and the
    // exchange counts as failed.
    for (const char* reply : {"/0", "x@I`", "0/`", "/1`", "?`i"}) {
        pump.SetStatus(Reply(QString::fromLatin1(reply)));
        EXPECT_EQ(pump.State(), ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure) << reply;
        EXPECT_TRUE(pump.Busy()) << reply;
        EXPECT_FALSE(pump.LastReplyGood()) << reply;
    }

    // A character outside the table keeps the state but clears busy, in either case.
    for (const char* reply : {"/0E", "/0e", "/0H", "/0m"}) {
        pump.SetStatus(Reply(QStringLiteral("/0I")));
        pump.SetStatus(Reply(QString::fromLatin1(reply)));
        EXPECT_EQ(pump.State(), ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure) << reply;
        EXPECT_FALSE(pump.Busy()) << reply;
    }
}

TEST(PSD4SetStatus, StatusAsStringSpellsTheState)
{
    TPSD4 pump;
    EXPECT_EQ(pump.StatusAsString(), QStringLiteral("Ready, Undefined"));
    pump.SetStatus(Reply(QStringLiteral("/0A")));
    EXPECT_EQ(pump.StatusAsString(),
              QStringLiteral("Busy, Initialization error - Occurs when a syringe or valve error happens during initialization"));
    pump.SetStatus(Reply(QStringLiteral("/0`")));
    EXPECT_EQ(pump.StatusAsString(), QStringLiteral("Ready, No error"));
}

TEST(PSD4, RampTimeClampsSpeeds)
{
    EXPECT_DOUBLE_EQ(TPSD4::RampTimeSeconds(100, 1000, 10), 90.0);
    EXPECT_DOUBLE_EQ(TPSD4::RampTimeSeconds(7000, 10, 100), (6000 - 50) / 100.0);
}

TEST_F(ScriptedPump, ConnectAcceptsOnlyTheIdentification)
{
    // A pump at another address, or one that is busy, answers differently.
    for (const QByteArray& reply : {Answer("`256"), Answer("@255")}) {
        line.SetReply("/1?22", reply);
        line.ClearReceivedLines();
        TPSD4 other;
        EXPECT_FALSE(other.Connect(line.DevicePath())) << reply.toStdString();
        EXPECT_EQ(other.State(), ps_Undefined);

        TSerialResponse response;
        EXPECT_FALSE(other.SendCommand(QStringLiteral("ZN1R"), response, true));
        EXPECT_EQ(response.Status, QStringLiteral("Pump state undefined, cannot send command: /1ZN1R\r"));
        EXPECT_TRUE(other.LastCommand.isEmpty());
        EXPECT_EQ(line.ReceivedLines(), QByteArrayList{"/1?22"});
    }

    line.SetReply("/1?22", Identified);
    ASSERT_TRUE(pump.Connect(line.DevicePath()));
    EXPECT_EQ(pump.State(), ps_Connected);
}

TEST_F(ScriptedPump, SendCommandReportsAttemptNotAcknowledgement)
{
    Connect();
    line.SetReply("/1ZN1R", QByteArray()); // silent
    TSerialResponse response;
    EXPECT_TRUE(pump.SendCommand(QStringLiteral("ZN1R"), response, true));
    EXPECT_FALSE(response.Status.isEmpty());
    EXPECT_EQ(pump.State(), ps_Connected); // nothing decoded
    EXPECT_EQ(pump.LastCommand, QStringLiteral("ZN1R"));

    line.SetReply("/1A0R", Answer("g"));
    EXPECT_TRUE(pump.SendCommand(QStringLiteral("A0R"), response, true));
    EXPECT_EQ(response.Response, QStringLiteral("/0g"));
    EXPECT_EQ(pump.State(), ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize);
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"/1ZN1R", "/1A0R"}));
}

TEST_F(ScriptedPump, StopOnAReadyPumpTakesOneCommand)
{
    Connect();
    EXPECT_TRUE(pump.Stop());
    EXPECT_EQ(line.ReceivedLines(), QByteArrayList{"/1T"});
}

TEST_F(ScriptedPump, StopWaitsForTheBusyPump)
{
    Connect();
    line.SetReply("/1T", Busy);
    line.QueueReply("/1Q", Busy);
    EXPECT_TRUE(pump.Stop());
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"/1T", "/1Q", "/1Q"}));

    // Ready with an error letter (the overload that halted it): stopped.
    line.SetReply("/1T", Answer("i"));
    EXPECT_TRUE(pump.Stop());
    // Busy with an error letter: still moving.
    line.SetReply("/1T", Answer("I"));
    line.QueueReply("/1Q", Answer("I"));
    line.SetReply("/1Q", Answer("i"));
    line.ClearReceivedLines();
    EXPECT_TRUE(pump.Stop());
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"/1T", "/1Q", "/1Q"}));
}

TEST_F(ScriptedPump, StopOnASilentPumpFails)
{
    Connect();
    // The last reply said ready; without an answer to the stop that proves nothing.
    line.SetDefaultReply(QByteArray());
    EXPECT_FALSE(pump.Stop());
    EXPECT_GT(line.ReceivedLines().count("/1Q"), 1);
}

TEST_F(ScriptedPump, WaitUntilFree)
{
    Connect();
    line.QueueReply("/1Q", Busy);
    line.QueueReply("/1Q", Busy);
    EXPECT_TRUE(pump.WaitUntilFree(15));
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"/1Q", "/1Q", "/1Q"}));

    // A silent pump: queries every 250 ms until the limit, then false.
    line.SetDefaultReply(QByteArray());
    line.ClearReceivedLines();
    EXPECT_FALSE(pump.WaitUntilFree(0.6));
    EXPECT_TRUE(pump.Busy());
    EXPECT_GE(line.ReceivedLines().size(), 2);

    // A driver that never identified its pump gives up after the limit too.
    TPSD4 unidentified;
    EXPECT_FALSE(unidentified.WaitUntilFree(0.3));
}

TEST_F(ScriptedPump, SerialJoinsThePartsAsText)
{
    Connect();
    line.QueueReply("/1?", Answer("`12"));
    line.QueueReply("/1?", Answer("`5"));
    EXPECT_EQ(pump.Serial(), 125);
    EXPECT_EQ(line.ReceivedLines(),
              (QByteArrayList{"/1ZN1R", "/1Q", "/1e12R", "/1?", "/1e13R", "/1?", "/1A0R"}));
}

TEST_F(ScriptedPump, SerialWithoutRepliesRaises)
{
    Connect();
    line.SetReply("/1?", QByteArray());
    EXPECT_THROW(pump.Serial(), EConvertError);

    line.SetReply("/1?", Answer("`12x"));
    EXPECT_THROW(pump.Serial(), EConvertError);
}

TEST_F(ScriptedPump, SerialStoreWritesBothHalves)
{
    Connect();
    EXPECT_TRUE(pump.SerialStore(QStringLiteral("2020465")));
    EXPECT_EQ(line.ReceivedLines(), (QByteArrayList{"/1s12A2020R", "/1s13A465R"}));

    TPSD4 unidentified;
    EXPECT_FALSE(unidentified.SerialStore(QStringLiteral("2020465")));
}

// Against the virtual pump, with the port's real pauses.
TEST(PSD4VirtualPump, IdentifiesInitialisesAndReadsItsSerial)
{
    VirtualPump line(QStringLiteral("2020465"));
    line.SetInitDurationMS(700);
    ASSERT_TRUE(line.Start());

    TPSD4 pump;
    ASSERT_TRUE(pump.Connect(line.DevicePath()));
    QString feedback;
    pump.Initialize(QStringLiteral("ZN1R"), feedback);
    EXPECT_TRUE(pump.Initialized());
    EXPECT_TRUE(pump.Busy());
    EXPECT_TRUE(pump.WaitUntilFree(15));
    EXPECT_TRUE(line.IsInitialized());
    EXPECT_EQ(pump.Serial(), 2020465);
    EXPECT_EQ(line.Position(), 0);
}

TEST(PSD4VirtualPump, ReportsWhatThePumpRefuses)
{
    VirtualPump line;
    line.SetInitDurationMS(2000);
    ASSERT_TRUE(line.Start());
    TPSD4 pump;
    ASSERT_TRUE(pump.Connect(line.DevicePath()));
    UseShortPauses(pump);
    TSerialResponse response;

    pump.SendCommand(QStringLiteral("A100R"), response, true);
    EXPECT_EQ(pump.State(), ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize);
    EXPECT_FALSE(pump.Busy());

    pump.SendCommand(QStringLiteral("ZN1R"), response, true);
    EXPECT_EQ(response.Response, QStringLiteral("/0@"));
    pump.SendCommand(QStringLiteral("A100R"), response, true);
    EXPECT_EQ(pump.State(), ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full);
    EXPECT_TRUE(pump.Busy());
    // The top speed may change while busy; queries are answered.
    pump.SendCommand(QStringLiteral("V1000R"), response, true);
    EXPECT_EQ(response.Response, QStringLiteral("/0@"));
    EXPECT_EQ(line.TopSpeed(), 1000);
    pump.SendCommand(QStringLiteral("?"), response, true);
    EXPECT_EQ(response.Response, QStringLiteral("/0@0"));

    pump.SendCommand(QStringLiteral("X"), response, true);
    EXPECT_EQ(pump.State(), ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full);

    EXPECT_TRUE(pump.Stop()); // also ends the initialisation
    pump.SendCommand(QStringLiteral("X"), response, true);
    EXPECT_EQ(pump.State(), ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used);

    line.SetPumpError('i');
    pump.SendCommand(QStringLiteral("Q"), response, true);
    EXPECT_EQ(pump.State(), ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure);
    EXPECT_FALSE(pump.Busy());

    line.SetPumpError(0);
    line.SetReadyByte(VirtualPump::ReadyStatusByteAlt);
    pump.SendCommand(QStringLiteral("Q"), response, true);
    EXPECT_EQ(response.Response, QStringLiteral("/0\u2018"));
    EXPECT_EQ(pump.State(), ps_No_error);
    EXPECT_FALSE(pump.Busy());
}

TEST(PSD4VirtualPump, DispensesUntilStoppedAndKeepsAStoredSerial)
{
    VirtualPump line(QStringLiteral("1"));
    line.SetInitDurationMS(50);
    ASSERT_TRUE(line.Start());
    TPSD4 pump;
    ASSERT_TRUE(pump.Connect(line.DevicePath()));
    UseShortPauses(pump);
    QString feedback;
    pump.Initialize(QStringLiteral("ZN1R"), feedback);
    ASSERT_TRUE(pump.WaitUntilFree(15));

    TSerialResponse response;
    pump.SendCommand(QStringLiteral("gIV6000A24000OV1000gD1M5G24000GR"), response, true);
    EXPECT_TRUE(pump.Busy());
    EXPECT_FALSE(pump.WaitUntilFree(0.5)); // a dispensing command never ends by itself
    EXPECT_TRUE(pump.Stop());
    EXPECT_FALSE(line.IsBusy());

    EXPECT_TRUE(pump.SerialStore(QStringLiteral("12345678")));
    EXPECT_EQ(line.StoredString(12), QStringLiteral("A1234"));
    EXPECT_EQ(line.StoredString(13), QStringLiteral("A5678"));
    EXPECT_EQ(pump.Serial(), 12345678);
}
