#include "mfc/AlicatMFC.h"

#include "base/Clock.h"
#include "base/TextHelpers.h"
#include "gas/GasList.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

Q_LOGGING_CATEGORY(lcMfc, "MFC", QtWarningMsg)

// Initialisation and identification go to instruments that may be busy
// restoring their factory values, so they get longer than a status read.
constexpr quint32 OneShotReplyTimeoutMS = 2500;
constexpr int MaxGasAttempts = 3;
// A reply that came late once is waited for this much longer than it took.
constexpr double LateReplyMargin = 1.5;
// The line is taken as quiet after this many reply time-outs at most, even
// if an instrument keeps talking.
constexpr quint32 LongestSettleTimeouts = 4;
const QString TimeoutStatusStart = QStringLiteral("Timeout");
const QString SeveralLinesStatus = QStringLiteral("More than one line in the reply");
const QString RefusedReply = QStringLiteral("?");

struct ErrorCode {
    TAlicatError code;
    const char* name;
    const char* explanation;
};

// In enumeration order.
constexpr std::array<ErrorCode, AlicatErrorCount> ErrorCodes{{
    {TAlicatError::ADC, "ADC", "Internal communication error (not common \u2013 please contact Alicat for assistance)."},
    {TAlicatError::EXH, "EXH", "Manual exhaust valve override is enabled (max opening on the downstream valve)."},
    {TAlicatError::HLD, "HLD", "Valve drive hold enabled (bypass active loop control)."},
    {TAlicatError::LCK, "LCK", "Display buttons are disabled."},
    {TAlicatError::MOV, "MOV", "Mass flow rate overage (flow is outside the measurable range, including the uncalibrated range)."},
    {TAlicatError::OPL, "OPL", "The overpressure limit is enabled."},
    {TAlicatError::OVR, "OVR", "Totalizer has rolled over at least once or frozen at max value."},
    {TAlicatError::POV, "POV", "Pressure reading overage (pressure is outside the measurable range, including the uncalibrated range)."},
    {TAlicatError::TMF, "TMF", "Totalizer missed some flow data (due to a MOV or VOV error)."},
    {TAlicatError::TOV, "TOV", "Temperature reading overage (temperature is outside measurable range)."},
    {TAlicatError::VOV, "VOV", "Volumetric flow rate overage (Volumetric flow is outside the measurable range, including the uncalibrated range)."},
}};

// Columns separated by runs of blanks and control characters.
QStringList StatusColumns(const QString& line)
{
    QStringList columns;
    QString column;
    for (const QChar ch : line) {
        if (ch.unicode() <= 32) {
            if (!column.isEmpty())
                columns.append(column);
            column.clear();
        } else {
            column.append(ch);
        }
    }
    if (!column.isEmpty())
        columns.append(column);
    return columns;
}

// Printable characters that do not make a number: N2, Air, C2H6, HLD.
bool IsGasLabel(const QString& text)
{
    double number = 0;
    if (text.isEmpty() || TryStrToFloatDot(text, number))
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() > 32 && ch.unicode() < 127; });
}

} // namespace

bool ParseStatusLine(const QString& line, QChar unit, const QString& role, TAlicatData& theData)
{
    const QStringList columns = StatusColumns(line);
    if (columns.size() < 7 || columns[0] != QString(unit))
        return false;
    std::array<double, 6> numbers{};
    for (int i = 1; i <= 5; ++i) {
        if (!TryStrToFloatDot(columns[i], numbers[i - 1]))
            return false;
    }
    int gasColumn = 6;
    if (TryStrToFloatDot(columns[6], numbers[5]))
        gasColumn = 7;
    else
        numbers[5] = 0; // no totaliser
    if (gasColumn >= columns.size() || !IsGasLabel(columns[gasColumn]))
        return false;
    // Texts after the label that are not one of the codes are ignored, but a
    // number there means the columns are not what they seem.
    TAlicatErrors codes;
    for (qsizetype i = gasColumn + 1; i < columns.size(); ++i) {
        if (!IsGasLabel(columns[i]))
            return false;
        for (const ErrorCode& entry : ErrorCodes) {
            if (columns[i] == QLatin1String(entry.name))
                codes.Include(entry.code);
        }
    }
    theData.DataTime = MonotonicNow();
    theData.Pressure = numbers[0];
    theData.Temp = numbers[1];
    theData.FlowRate_vol = numbers[2];
    theData.FlowRate_mass = numbers[3];
    theData.SetpointFromDevice = numbers[4];
    theData.Totalizer = numbers[5];
    theData.GasSN = columns[gasColumn];
    theData.ErrorFlags = codes;
    theData.Raw = role + QLatin1Char(':') + line;
    return true;
}

namespace {

// The unit of the last digit of a number as written: 0.01 for +000.06.
double LastDigitStep(const QString& number)
{
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    const qsizetype decimals = point < 0 ? 0 : number.size() - point - 1;
    return std::pow(10.0, -double(decimals));
}

QString FormatElapsed(qint64 ms)
{
    return QStringLiteral("%1:%2").arg((ms / 1000) % 60, 2, 10, QLatin1Char('0')).arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

struct InitStep {
    const char* command;
    const char* expectedReply; // nullptr: the reply is not compared
    const char* failureMessage;
};

// The unit answers SPUE with the value it stored, as it answers LSS with the
// mode it took, so step 4 expects "A 0"; expecting step 3's "A U" there would
// make every initialisation report a failure.
constexpr std::array<InitStep, 7> BrisolNivraSteps{{
    {"A\r", nullptr, nullptr},
    {"AFACTORY RESTORE ALL\r", "A Factory values have been restored.", "Factory reset failed:"},
    {"ALSS U\r", "A U", "Remote control failed:"},
    {"ASPUE 0\r", "A 0", "Remote control failed:"},
    {"ADCU 37 62\r", "A 62 count", "Remote setpoint mode:count failed:"},
    {"ADCU 2 7\r", "A 7 barA", "Pressure barA failed:"},
    {"A0\r", nullptr, nullptr},
}};

} // namespace

bool TAlicatData::Errors(QString& Desc) const
{
    Desc.clear();
    for (const ErrorCode& entry : ErrorCodes) {
        if (ErrorFlags.Contains(entry.code))
            Desc += QString::fromUtf8(entry.explanation) + QStringLiteral("\r\n");
    }
    Desc = TrimControl(Desc);
    return !Desc.isEmpty();
}

TAlicatMFC::TAlicatMFC() = default;

QString TAlicatMFC::PortName() const
{
    return QString::fromLatin1(aPort.Port());
}

TSerialResponse TAlicatMFC::Exchange(const QString& command)
{
    if (lineInDoubt)
        SettleLine();
    sinceCommand.start();
    TSerialResponse response = aPort.Send2(aDeviceID + command + QLatin1Char('\r'), true);
    if (response.Status.startsWith(TimeoutStatusStart)) {
        lineInDoubt = true; // the reply may still come, and must not answer the next command
    } else if (response.Status.isEmpty() && (response.Response.contains(QLatin1Char('\r')) || response.Response.contains(QLatin1Char('\n')))) {
        // Two replies in one read: the line is out of step with the commands.
        response.Status = SeveralLinesStatus;
        lineInDoubt = true;
    }
    return response;
}

bool TAlicatMFC::StatusReply(const TSerialResponse& response, TAlicatData& status)
{
    if (!response.Status.isEmpty())
        return false;
    if (ParseStatusLine(response.Response, aDeviceID, Role, status))
        return true;
    qCDebug(lcMfc).noquote() << "Not a status line: " + response.Response;
    // A refusal is an answer to this command; anything else may be a late
    // answer to an earlier one.
    if (response.Response != RefusedReply)
        lineInDoubt = true;
    return false;
}

void TAlicatMFC::SettleLine()
{
    const qint64 sentBeforeMS = sinceCommand.isValid() ? sinceCommand.elapsed() : 0;
    const quint32 quietMS = aPort.ReadoutTimeoutMS();
    const qint64 firstLateByteMS = aPort.DiscardUntilQuiet(quietMS, quietMS * LongestSettleTimeouts);
    lineInDoubt = false;
    if (firstLateByteMS < 0)
        return;
    // The instrument answers, only later than we waited: wait longer from now on.
    const qint64 lateness = sentBeforeMS + firstLateByteMS;
    const quint32 timeoutMS = quint32(std::min<double>(LongestReplyTimeoutMS, lateness * LateReplyMargin));
    if (timeoutMS > aPort.ReadoutTimeoutMS()) {
        qCDebug(lcMfc).noquote() << "Late reply after " + QString::number(lateness) + " ms, reply time-out now "
                                        + QString::number(timeoutMS) + " ms on " + PortName();
        aPort.SetReadoutTimeoutMS(timeoutMS);
    }
}

bool TAlicatMFC::SendASCII(const QString& PortName, const QString& Command, bool WaitForResponse,
                           QString& Status, QString& Response)
{
    QElapsedTimer elapsed;
    elapsed.start();
    TSerialPort port;
    port.SetPort(PortName);
    port.SetBaudRate(AlicatBaudRate);
    port.SetDebug(true);
    port.SetReadoutTimeoutMS(OneShotReplyTimeoutMS);

    Status = QStringLiteral("Untested");
    // The commands given here already end in a carriage return; the second one
    // reaches the instrument as an empty line, which it does not answer.
    const TSerialResponse response = port.Send2(Command + QLatin1Char('\r'), WaitForResponse);
    Response = response.Response;
    Status = response.Status;
    const bool ok = Status.isEmpty();
    if (!ok)
        qCDebug(lcMfc).noquote() << "SendASCII return status <>\"\": " + Status;
    Status += QStringLiteral("\rDuration: ") + FormatElapsed(elapsed.elapsed());
    return ok;
}

bool TAlicatMFC::Initialize(TAlicatInitialize Scheme)
{
    if (Scheme != TAIBrisolNivra)
        return false;
    QString failures;
    for (const InitStep& step : BrisolNivraSteps) {
        QString status;
        QString reply;
        SendASCII(PortName(), QString::fromLatin1(step.command), true, status, reply);
        if (step.expectedReply && reply != QLatin1String(step.expectedReply)) {
            failures += QLatin1String(step.failureMessage) + QStringLiteral("\r\n") + status + QStringLiteral("\r\n")
                + reply + QStringLiteral("\r\n");
        }
    }
    if (failures.isEmpty())
        return true;
    qCDebug(lcMfc).noquote() << failures;
    return false;
}

bool TAlicatMFC::ReadStatus(TAlicatData& theData)
{
    qCDebug(lcMfc).noquote() << "ReadS: " + PortName();
    const TSerialResponse response = Exchange(QString());
    if (!response.Status.isEmpty()) {
        qCDebug(lcMfc).noquote() << "Fail: " + response.Status;
        return false;
    }
    return StatusReply(response, theData);
}

bool TAlicatMFC::ApplySetpoint_pct(const TAlicatData& theData)
{
    qCDebug(lcMfc).noquote() << "Apply setpoint " + FloatToStr(theData.Setpoint_pct) + "% on:" + PortName();
    const double counts = RoundHalfEven(theData.Setpoint_pct * AlicatCountsFullScale / 100.0);
    const TSerialResponse response = Exchange(QString::number(counts, 'f', 0));
    if (!response.Status.isEmpty()) {
        qCDebug(lcMfc).noquote() << "Apply setpoint failed: " + response.Status;
        return false;
    }
    TAlicatData status;
    return StatusReply(response, status);
}

bool TAlicatMFC::CancelHold()
{
    qCDebug(lcMfc).noquote() << "Cancel hold on:" + PortName();
    TAlicatData status;
    return StatusReply(Exchange(QStringLiteral("C")), status);
}

bool TAlicatMFC::ShowsGas(const TAlicatData& status, qint32 gas)
{
    TGasItem item;
    if (!TryGetGas_ID(gas, item))
        return true;
    return status.GasSN.compare(item.NameShort, Qt::CaseInsensitive) == 0;
}

bool TAlicatMFC::ChangeGas(const TAlicatData& theData)
{
    const qint32 wanted = theData.GasID;
    if (wanted < 0 || wanted > AlicatLastGasNumber || wanted == GasID)
        return true;

    qCDebug(lcMfc).noquote() << "Gas change is necessary";
    bool result = false;
    GasRefused = false;
    for (int attempt = 0; attempt < MaxGasAttempts && GasID != wanted && !GasRefused; ++attempt) {
        qCDebug(lcMfc).noquote() << "Apply gas " + QString::number(wanted);
        const TSerialResponse response = Exchange(QStringLiteral("G ") + QString::number(wanted));
        TAlicatData status;
        result = StatusReply(response, status) && ShowsGas(status, wanted);
        if (result) {
            GasID = wanted;
        } else if (!response.Status.isEmpty()) {
            qCDebug(lcMfc).noquote() << "Gas change failed: " + response.Status;
        } else if (response.Response == RefusedReply || !status.GasSN.isEmpty()) {
            // An answer, not a lost reply: asking again at once changes nothing.
            GasRefused = true;
            qCDebug(lcMfc).noquote() << "Gas change refused: " + response.Response;
        }
    }
    ReadFullScale();
    return result;
}

bool TAlicatMFC::ReadFullScale()
{
    FullScaleKnown = false;
    const TSerialResponse fullScale = Exchange(QStringLiteral("FPF 37 67"));
    if (!fullScale.Status.isEmpty())
        return false;
    // Strictly one blank between the columns: a doubled blank makes an
    // empty column and the reply is not trusted.
    const QStringList columns = fullScale.Response.split(QLatin1Char(' '));
    double value = 0;
    if (columns.size() != 4 || !TryStrToFloatDot(columns[1], value))
        return false;
    qCDebug(lcMfc).noquote() << "Max flow: " + columns[1] + " " + columns[3];
    MaxFlow_gpm = value;
    MaxFlowStep_gpm = LastDigitStep(columns[1].trimmed());
    FullScaleKnown = value > 0;
    return FullScaleKnown;
}
