#pragma once

#include "serial/SerialPort.h"

#include <QChar>
#include <QElapsedTimer>
#include <QString>

// The line speed of the controllers' ASCII protocol.
inline constexpr qint32 AlicatBaudRate = 19200;
// After initialisation flows and setpoints read in counts: this many counts
// are 100 % of full scale.
inline constexpr double AlicatCountsFullScale = 64000;
// The instrument's gas numbers run from 0 to this.
inline constexpr qint32 AlicatLastGasNumber = 210;

// Status codes an Alicat controller appends to its status line. The order is
// fixed: an enumerator's value is its bit number in TAlicatErrors.
enum class TAlicatError : quint8 { ADC, EXH, HLD, LCK, MOV, OPL, OVR, POV, TMF, TOV, VOV };
inline constexpr int AlicatErrorCount = 11;

// A set of status codes, stored in 16 bits (bit n = enumerator n).
class TAlicatErrors {
public:
    constexpr TAlicatErrors() = default;
    static constexpr TAlicatErrors FromBits(quint16 bits) { TAlicatErrors set; set.bits = bits; return set; }

    constexpr bool Contains(TAlicatError code) const { return bits & Bit(code); }
    constexpr void Include(TAlicatError code) { bits |= Bit(code); }
    constexpr void Clear() { bits = 0; }
    constexpr bool IsEmpty() const { return bits == 0; }
    constexpr quint16 Bits() const { return bits; }
    friend constexpr bool operator==(TAlicatErrors, TAlicatErrors) = default;

private:
    static constexpr quint16 Bit(TAlicatError code) { return quint16(1u << quint8(code)); }
    quint16 bits = 0;
};

// Initialisation profiles of TAlicatMFC::Initialize.
enum TAlicatInitialize : quint8 { TAIBrisolNivra = 0 };

// One status reading of a controller, and the wishes the worker thread hands
// to the driver (Setpoint_pct, GasID).
struct TAlicatData {
    double DataTime = 0; // when read, monotonic (MonotonicNow), days
    double Pressure = 0;
    double Temp = 0;
    double FlowRate_vol = 0;
    double FlowRate_mass = 0;      // counts of 64000 to full scale after initialisation
    double SetpointFromDevice = 0; // counts after initialisation
    double Totalizer = 0;
    QString GasSN;
    TAlicatErrors ErrorFlags;
    QString Raw; // Role + ":" + the status line
    double Setpoint_pct = 0;
    double MaxFlowgpm = 0;
    qint32 GasID = -1; // -1: no gas wanted, nothing to select
    QString GasDescription;
    quint32 GasLiveSource = 0;
    // The unit of the last digit the instrument gave MaxFlowgpm in: its
    // full scale may be rounded by up to half of it.
    double MaxFlowStepgpm = 0;

    // The explanations of the status codes present, one a line; true when
    // there is any.
    bool Errors(QString& Desc) const;
};

// Reads one status line of the instrument with unit letter `unit` into
// theData: the unit letter, pressure, temperature, volumetric flow, mass flow,
// setpoint, the totaliser if the unit has one, the gas label, then status
// codes. False, theData unchanged, for anything else.
bool ParseStatusLine(const QString& line, QChar unit, const QString& role, TAlicatData& theData);

// The ASCII protocol of an Alicat mass flow controller. Keeps no connection:
// every command is one exchange on aPort.
class TAlicatMFC {
public:
    TAlicatMFC();
    TAlicatMFC(const TAlicatMFC&) = delete;
    TAlicatMFC& operator=(const TAlicatMFC&) = delete;

    // Factory restore and set-up for remote operation in counts and bar.
    // Every step runs whatever the earlier ones gave; true when each step got
    // its expected reply.
    bool Initialize(TAlicatInitialize Scheme);
    // True when the instrument answered with a status line: the unit letter,
    // five numbers, the totaliser (a number) unless the unit has none, the
    // gas label, then status codes. Anything else leaves theData unchanged.
    bool ReadStatus(TAlicatData& theData);
    // Writes Setpoint_pct as counts (64000 = full scale, halves to even);
    // true when the instrument answered with its status line.
    bool ApplySetpoint_pct(const TAlicatData& theData);
    // Selects theData.GasID when it is a gas number (0 to 210) other than the
    // one last selected, then reads the full-scale flow. The gas counts as
    // selected only when the reply is a status line showing it; GasRefused
    // tells an instrument that answered "?" or kept another gas from one
    // that did not answer.
    bool ChangeGas(const TAlicatData& theData);
    // Reads the full scale of the selected gas into MaxFlow_gpm; true when it
    // is a number above 0.
    bool ReadFullScale();
    // Cancels a valve hold: the unit follows its setpoint again.
    bool CancelHold();

    // Whether a status line shows gas number `gas`; a number the gas table
    // does not name cannot be checked and counts as shown.
    static bool ShowsGas(const TAlicatData& status, qint32 gas);

    // One exchange on a port of its own (19200 bit/s, 2500 ms for the reply).
    // Status receives the exchange's failure text, if any, followed by a
    // carriage return and the exchange's duration.
    static bool SendASCII(const QString& PortName, const QString& Command, bool WaitForResponse,
                          QString& Status, QString& Response);

    TSerialPort aPort;
    QChar aDeviceID = QLatin1Char('A');
    QString Role;
    qint32 GasID = -1;
    double MaxFlow_gpm = 0;
    bool FullScaleKnown = false; // the last full-scale reply was a number above 0
    double MaxFlowStep_gpm = 0;
    bool GasRefused = false;

    // The longest the reply time-out grows to for an instrument that answers late.
    static constexpr quint32 LongestReplyTimeoutMS = 5000;

private:
    QString PortName() const;
    // One command and its reply, a failure Status for a reply of several
    // lines. After an exchange that left the line in doubt (no reply, or not
    // the reply expected) it first waits for the line to fall quiet.
    TSerialResponse Exchange(const QString& command);
    // True when the reply is a status line, parsed into `status`.
    bool StatusReply(const TSerialResponse& response, TAlicatData& status);
    void SettleLine();

    bool lineInDoubt = false;
    QElapsedTimer sinceCommand;
};
