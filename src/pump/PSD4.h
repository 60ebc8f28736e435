#pragma once

#include <QLatin1StringView>
#include <QString>

#include <memory>

class TSerialPort;
struct TSerialResponse;

// The pump's decoded state. Ordinals are stored; the enumerator names carry
// the descriptions that StatusAsString shows.
enum EnumPumpState {
    ps_Undefined,
    ps_Connected,
    ps_Initialized,
    ps_No_error,
    ps_Initialization_error__Occurs_when_a_syringe_or_valve_error_happens_during_initialization,
    ps_Invalid_command__Occurs_when_an_unrecognized_command_is_used,
    ps_Invalid_operand__Occurs_when_and_invalid_parameter_is_given_with_a_command,
    ps_Invalid_command_sequence__Occurs_when_the_command_communication_protocol_is_incorrect,
    ps_EEPROM_failure__Occurs_when_the_EEPROM_is_faulty,
    ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize,
    ps_Syringe_overload__Occurs_when_the_syringe_encounters_excessive_back_pressure,
    ps_Valve_overload__Occurs_when_the_valve_drive_encounters_excessive_back_pressure,
    ps_Syringe_move_not_allowed__When_the_valve_is_in_the_bypass_or_throughput_position_syringe_move_commands_are_not_allowed,
    ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full,
};

enum EnumInterfaceType { it_Undefined, it_ASCII };

// The line speed of the pump's ASCII protocol.
inline constexpr qint32 PSD4BaudRate = 9600;
// Stops the running command string and runs the empty one: the pump rests.
// It is also the command for a dispense rate of zero.
inline constexpr QLatin1StringView PSD4StopCommand("TR");

// Driver of a Hamilton PSD/4 syringe pump on its ASCII protocol (9600 bit/s,
// address 1). Every command is one serial exchange; the status character of
// each reply is decoded into State and Busy. Nothing is sent until Connect has
// identified the pump. All calls block; one thread at a time.
class TPSD4 {
public:
    TPSD4();
    ~TPSD4();
    TPSD4(const TPSD4&) = delete;
    TPSD4& operator=(const TPSD4&) = delete;

    // Names the port and identifies the pump with "?22"; false (and every
    // later command refused) when the reply is not exactly "/0`255". May be
    // called again for a pump that did not answer.
    bool Connect(const QString& aCOMPort);
    // Frames and sends one command. True once the pump is identified, whether
    // or not it answered; false (with the refusal in aResponse.Status) before.
    bool SendCommand(const QString& aCommand, TSerialResponse& aResponse, bool aWantAnswer);
    // Decodes the reply's status character into State and Busy. Only a reply
    // that begins with "/0" and carries a status character is decoded;
    // anything else changes nothing and counts as a failed exchange.
    void SetStatus(const TSerialResponse& aResponse);
    // The last reply decoded was a pump reply.
    bool LastReplyGood() const { return pReplyGood; }
    // "Busy, " or "Ready, " and the description of State.
    QString StatusAsString() const;
    // Sends the initialisation command (callers use "ZN1R"); Feedback is not written.
    void Initialize(const QString& aCommand, QString& Feedback);
    // Polls "Q" every 250 ms until the pump reports ready; false after TimeOut_s.
    bool WaitUntilFree(double TimeOut_s);
    // Stops the running command and waits (at most 5 s) until the pump
    // confirms that it is ready; true once it has, with or without an error.
    bool Stop();
    // The serial number kept in the pump's stored strings 12 and 13. Raises
    // EConvertError when the pump's replies do not make an integer.
    qint32 Serial();
    bool SerialStore(const QString& Serial);
    static double RampTimeSeconds(int StartSpeed, int StopSpeed, int SlopeSpeed);

    bool Initialized() const { return pInitialized; }
    EnumPumpState State() const { return pState; }
    bool Busy() const { return pBusy; }
    // The pump's port; Connect names it.
    TSerialPort* COM() const { return com.get(); }

    EnumInterfaceType DataInterface = it_ASCII;
    // The last command (unframed) sent with a reply requested.
    QString LastCommand;

private:
    bool Query(const QString& command); // SendCommand with a reply requested

    QChar pAddressASCII = u'1';
    bool pInitialized = false;
    EnumPumpState pState = ps_Undefined;
    bool pBusy = false;
    bool pReplyGood = false;
    std::unique_ptr<TSerialPort> com;
};
