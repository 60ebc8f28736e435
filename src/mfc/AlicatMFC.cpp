#include "mfc/AlicatMFC.h"

#include "base/Clock.h"
#include "base/TextHelpers.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QStringList>

#include <array>
#include <cmath>

namespace {

Q_LOGGING_CATEGORY(lcMfc, "MFC", QtWarningMsg)

// Initialisation and identification go to instruments that may be busy
// restoring their factory values, so they get longer than a status read.
constexpr quint32 OneShotReplyTimeoutMS = 2500;
constexpr int LastGasNumber = 210;
constexpr int MaxGasAttempts = 3;

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
    return aPort.Send2(aDeviceID + command + QLatin1Char('\r'), true);
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
    theData.ErrorFlags.Clear();
    const QStringList columns = StatusColumns(response.Response);
    // Column 0 is the unit letter; a line without its totaliser column is
    // too short to tell which column is which.
    if (columns.size() > 7) {
        theData.DataTime = MonotonicNow();
        theData.Pressure = StrToFloatDot(columns[1]);
        theData.Temp = StrToFloatDot(columns[2]);
        theData.FlowRate_vol = StrToFloatDot(columns[3]);
        theData.FlowRate_mass = StrToFloatDot(columns[4]);
        theData.SetpointFromDevice = StrToFloatDot(columns[5]);
        theData.Totalizer = StrToFloatDot(columns[6]);
        theData.GasSN = columns[7];
        for (qsizetype i = 8; i < columns.size(); ++i) {
            const QString code = TrimControl(columns[i]);
            for (const ErrorCode& entry : ErrorCodes) {
                if (code == QLatin1String(entry.name))
                    theData.ErrorFlags.Include(entry.code);
            }
        }
    }
    theData.Raw = Role + QLatin1Char(':') + response.Response;
    return true;
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
    return true;
}

bool TAlicatMFC::ChangeGas(const TAlicatData& theData)
{
    const qint32 wanted = theData.GasID;
    if (wanted < 0 || wanted > LastGasNumber || wanted == GasID)
        return true;

    qCDebug(lcMfc).noquote() << "Gas change is necessary";
    bool result = false;
    for (int attempt = 0; attempt < MaxGasAttempts && GasID != wanted; ++attempt) {
        qCDebug(lcMfc).noquote() << "Apply gas " + QString::number(wanted);
        const TSerialResponse response = Exchange(QStringLiteral("G ") + QString::number(wanted));
        result = response.Status.isEmpty();
        if (result)
            GasID = wanted;
        else
            qCDebug(lcMfc).noquote() << "Gas change failed: " + response.Status;
    }

    const TSerialResponse fullScale = Exchange(QStringLiteral("FPF 37 67"));
    if (fullScale.Status.isEmpty()) {
        // Strictly one blank between the columns: a doubled blank makes an
        // empty column and the reply is not trusted.
        const QStringList columns = fullScale.Response.split(QLatin1Char(' '));
        if (columns.size() == 4) {
            qCDebug(lcMfc).noquote() << "Max flow: " + columns[1] + " " + columns[3];
            MaxFlow_gpm = StrToFloatDot(columns[1]);
        }
    }
    return result;
}
