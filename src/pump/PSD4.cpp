#include "pump/PSD4.h"

#include "base/Errors.h"
#include "base/InterruptibleSleep.h"
#include "serial/SerialPort.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <iterator>

Q_LOGGING_CATEGORY(lcPSD4, "PSD4 interface", QtWarningMsg)

namespace {

// Same order as EnumPumpState: StatusAsString derives its text from these names.
const char* const PumpStateNames[] = {
    "ps_Undefined",
    "ps_Connected",
    "ps_Initialized",
    "ps_No_error",
    "ps_Initialization_error__Occurs_when_a_syringe_or_valve_error_happens_during_initialization",
    "ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used",
    "ps_Invalid_operand__Occurs_when_and_invalid_parameter_is_given_with_a_command",
    "ps_Invalid_command_sequence__Occurs_when_the_command_communication_protocol_is_incorrect",
    "ps_EEPROM_failure__Occurs_when_the_EEPROM_is_faulty",
    "ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize",
    "ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure",
    "ps_Valve_overload__Occurs_when_the_valve_drive_encounters_excessive_back_pressure",
    "ps_Syringe_move_not_allowed__When_the_valve_is_in_the_bypass_or_throughput_position_syringe_move_commands_are_not_allowed",
    "ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full",
};
static_assert(std::size(PumpStateNames) == ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full + 1);

// The identification query goes to address 1 whatever pAddressASCII says.
const QString IdentifyCommand = QStringLiteral("/1?22\r");
const QString IdentifyReply = QStringLiteral("/0`255");
// Every pump reply begins with the slash and the host address.
const QString ReplyStart = QStringLiteral("/0");

// Pause between status queries while waiting for the pump.
constexpr int WaitPollMS = 250;
// Pause between status queries after a stop.
constexpr int StopPollMS = 100;
constexpr qint64 StopLimitMS = 5000;
// A stored string runs a short move; its position can be read back after this.
constexpr int SerialMoveMS = 100;
constexpr double SerialInitLimit_s = 15;
// Characters of a serial number part in the reply to "?".
constexpr int SerialPartLength = 5;

// Status characters: the error code, upper case while the pump is busy.
struct StatusCode {
    char16_t lower;
    EnumPumpState state;
};
const StatusCode ErrorCodes[] = {
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

constexpr char16_t ReadyNoError = u'`';
constexpr char16_t BusyNoError = u'@';
// The byte 0x91 that some pumps send for "ready", as Windows-1252 decodes it.
constexpr char16_t ReadyNoErrorAlt = u'\u2018';

qint32 StrToInt(const QString& text)
{
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace

// The port exists from the start, so that its pauses can be set before the
// pump is connected (by a worker that connects later).
TPSD4::TPSD4()
    : com(std::make_unique<TSerialPort>())
{
}
TPSD4::~TPSD4() = default;

bool TPSD4::Connect(const QString& aCOMPort)
{
    com->SetPort(aCOMPort);
    com->SetBaudRate(PSD4BaudRate);
    const TSerialResponse reply = com->Send2(IdentifyCommand, true);
    if (reply.Response != IdentifyReply) {
        qCDebug(lcPSD4) << "PSD4" << aCOMPort << "Connect failed, reply:" << reply.Response << reply.Status;
        return false;
    }
    pState = ps_Connected;
    qCDebug(lcPSD4) << "PSD4" << aCOMPort << "Connected";
    return true;
}

bool TPSD4::SendCommand(const QString& aCommand, TSerialResponse& aResponse, bool aWantAnswer)
{
    const QString framed = u'/' + pAddressASCII + aCommand + u'\r';
    ClearSerialResponse(aResponse);
    if (pState == ps_Undefined) {
        aResponse.Status = QStringLiteral("Pump state undefined, cannot send command: ") + framed;
        qCDebug(lcPSD4) << aResponse.Status;
        return false;
    }
    aResponse = com->Send2(framed, aWantAnswer);
    if (aWantAnswer) {
        SetStatus(aResponse);
        LastCommand = aCommand;
    }
    return true;
}

void TPSD4::SetStatus(const TSerialResponse& aResponse)
{
    const QString port = QString::fromLatin1(com->Port());
    pReplyGood = false;
    if (aResponse.Response.size() < 3) {
        qCDebug(lcPSD4).noquote() << "PSD4" << port << " Set pump state failed, response too short: " + aResponse.Response;
        return;
    }
    // Noise or a stray line must never be decoded into a state.
    if (!aResponse.Response.startsWith(ReplyStart)) {
        qCDebug(lcPSD4).noquote() << "PSD4" << port << " Set pump state failed, not a pump reply: " + aResponse.Response;
        return;
    }
    pReplyGood = true;
    const char16_t status = aResponse.Response.at(2).unicode();
    bool busy = false;
    if (status == ReadyNoError || status == ReadyNoErrorAlt || status == BusyNoError) {
        pState = ps_No_error;
        busy = status == BusyNoError;
    } else {
        const bool upper = status >= u'A' && status <= u'Z';
        const char16_t lower = upper ? char16_t(status - u'A' + u'a') : status;
        const auto code = std::find_if(std::begin(ErrorCodes), std::end(ErrorCodes),
                                       [lower](const StatusCode& c) { return c.lower == lower; });
        if (code != std::end(ErrorCodes)) {
            pState = code->state;
            busy = upper;
        }
    }
    pBusy = busy;
    qCDebug(lcPSD4).noquote() << "PSD4" << port << " Setstatus: " + StatusAsString();
}

QString TPSD4::StatusAsString() const
{
    QString description = QString::fromLatin1(PumpStateNames[pState]).mid(3);
    description.replace(QLatin1String("__"), QLatin1String(" - "));
    description.replace(u'_', u' ');
    return (pBusy ? QStringLiteral("Busy, ") : QStringLiteral("Ready, ")) + description;
}

void TPSD4::Initialize(const QString& aCommand, [[maybe_unused]] QString& Feedback)
{
    Query(aCommand);
    pInitialized = true;
}

bool TPSD4::WaitUntilFree(double TimeOut_s)
{
    QElapsedTimer started;
    started.start();
    double elapsed_s = -1;
    pBusy = true;
    while (pBusy && elapsed_s <= TimeOut_s) {
        // A worker that is being destroyed waits no longer.
        if (QThread::currentThread()->isInterruptionRequested())
            return false;
        InterruptibleSleepMS(WaitPollMS);
        // Measured before the query, so the answer to a query sent just
        // before the limit still counts.
        elapsed_s = started.elapsed() / 1000.0;
        Query(QStringLiteral("Q"));
    }
    return elapsed_s <= TimeOut_s;
}

bool TPSD4::Stop()
{
    QElapsedTimer started;
    started.start();
    // Only the pump's own answer counts as stopped: a pump that does not
    // answer "T" must not pass for stopped on the strength of an old reply.
    // A pump that reports ready has stopped, even when it reports an error
    // with it (say the overload that halted it).
    pBusy = true;
    Query(QStringLiteral("T"));
    while (pBusy || !pReplyGood) {
        if (started.elapsed() > StopLimitMS)
            return false;
        InterruptibleSleepMS(StopPollMS);
        Query(QStringLiteral("Q"));
    }
    return true;
}

qint32 TPSD4::Serial()
{
    TSerialResponse reply;
    QString text = QStringLiteral("-1");
    Query(QStringLiteral("ZN1R"));
    WaitUntilFree(SerialInitLimit_s);
    Query(QStringLiteral("e12R"));
    InterruptibleSleepMS(SerialMoveMS);
    if (SendCommand(QStringLiteral("?"), reply, true))
        text = reply.Response.mid(3, SerialPartLength);
    Query(QStringLiteral("e13R"));
    InterruptibleSleepMS(SerialMoveMS);
    if (SendCommand(QStringLiteral("?"), reply, true))
        text += reply.Response.mid(3, SerialPartLength);
    Query(QStringLiteral("A0R"));
    return StrToInt(text);
}

bool TPSD4::SerialStore(const QString& Serial)
{
    if (!Query(QStringLiteral("s12A") + Serial.left(4) + u'R'))
        return false;
    return Query(QStringLiteral("s13A") + Serial.mid(4, 4) + u'R');
}

double TPSD4::RampTimeSeconds(int StartSpeed, int StopSpeed, int SlopeSpeed)
{
    constexpr int MinSpeed = 50;
    constexpr int MaxSpeed = 6000;
    StartSpeed = std::clamp(StartSpeed, MinSpeed, MaxSpeed);
    StopSpeed = std::clamp(StopSpeed, MinSpeed, MaxSpeed);
    return std::abs(StartSpeed - StopSpeed) / double(SlopeSpeed);
}

bool TPSD4::Query(const QString& command)
{
    TSerialResponse reply;
    return SendCommand(command, reply, true);
}
