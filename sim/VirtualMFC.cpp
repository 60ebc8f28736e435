#include "VirtualMFC.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr qint32 AlicatBaudRate = 19200;
constexpr char UnitLetter = 'A';
// Litres per mole at the instrument's standard conditions, 25 °C and 1 atm.
constexpr double StandardMolarVolume_l = 24.4654;
constexpr double AmbientPressure_psia = 14.62;
constexpr double PsiPerBar = 14.5038;
constexpr double FullScalePressure_bar = 10.34;
constexpr double GasTemperatureC = 21.89;
// Noise of the flow reading, fraction of full scale.
constexpr double FlowNoise = 0.0005;

struct Gas {
    int number;
    const char* label;
    double molarMass; // g/mol
};

constexpr std::array<Gas, 13> Gases{{
    {0, "Air", 28.96},   {1, "Ar", 39.95},    {2, "CH4", 16.043}, {3, "CO", 28.01},  {4, "CO2", 44.009},
    {5, "C2H6", 30.07},  {6, "H2", 2.016},    {7, "He", 4.0026},  {8, "N2", 28.014}, {9, "N2O", 44.013},
    {10, "Ne", 20.18},   {11, "O2", 31.998},  {12, "C3H8", 44.097},
}};

const Gas* FindGas(int number)
{
    const auto found = std::find_if(Gases.begin(), Gases.end(), [number](const Gas& g) { return g.number == number; });
    return found == Gases.end() ? nullptr : &*found;
}

// A signed number 7 characters wide with at least `minIntegerDigits`
// integer digits and as many decimals as fit: +014.62, -000.30, +064000,
// +1.1452.
QString Signed7(double value, int minIntegerDigits)
{
    const double magnitude = std::abs(value);
    const int integerDigits = std::max(minIntegerDigits, int(QString::number(qint64(magnitude)).size()));
    const int decimals = std::max(0, 7 - 1 - integerDigits - 1);
    const QString digits = QString::number(magnitude, 'f', decimals);
    return (value < 0 ? QLatin1Char('-') : QLatin1Char('+')) + digits.rightJustified(6, QLatin1Char('0'));
}

QString Noisy(double value, double amplitude)
{
    return Signed7(value + (QRandomGenerator::global()->generateDouble() * 2 - 1) * amplitude, 3);
}

// Status codes in the order a unit prints them.
const QStringList DeclaredCodeOrder{
    QStringLiteral("ADC"), QStringLiteral("OPL"), QStringLiteral("POV"), QStringLiteral("TOV"),
    QStringLiteral("VOV"), QStringLiteral("MOV"), QStringLiteral("TMF"), QStringLiteral("OVR"),
    QStringLiteral("HLD"), QStringLiteral("EXH"), QStringLiteral("LCK"),
};

QByteArray Line(const QString& text)
{
    return text.toLatin1() + '\r';
}

const QByteArray Unknown = "?\r";

} // namespace

VirtualMFC::VirtualMFC()
    : VirtualLine(AlicatBaudRate)
{
    sinceFlowUpdate.start();
}

VirtualMFC::~VirtualMFC()
{
    Stop();
}

void VirtualMFC::SetSerialNumber(const QString& serial)
{
    const std::lock_guard lock(mutex);
    serialNumber = serial;
}

void VirtualMFC::SetFullScale_slpm(double slpm)
{
    const std::lock_guard lock(mutex);
    fullScale_slpm = slpm;
}

void VirtualMFC::SetFlowTimeConstantMS(int ms)
{
    const std::lock_guard lock(mutex);
    timeConstantMS = ms;
}

void VirtualMFC::SetTotalizer(bool present)
{
    const std::lock_guard lock(mutex);
    totalizerShown = present;
}

void VirtualMFC::SetStatusCodes(const QStringList& codes)
{
    const std::lock_guard lock(mutex);
    AdvanceFlow();
    statusCodes = codes;
    held = statusCodes.removeAll(QStringLiteral("HLD")) > 0;
    heldClosed = false;
}

void VirtualMFC::RefuseGas(int number, GasRefusal how)
{
    const std::lock_guard lock(mutex);
    refusedGas = number;
    gasRefusal = how;
}

void VirtualMFC::ZeroNextFullScales(int count)
{
    const std::lock_guard lock(mutex);
    zeroFullScales = count;
}

void VirtualMFC::CorruptNextStatusLines(int count)
{
    const std::lock_guard lock(mutex);
    corruptLines = count;
}

double VirtualMFC::Setpoint_counts() const
{
    const std::lock_guard lock(mutex);
    return setpoint * CountsFullScale;
}

double VirtualMFC::Flow_counts()
{
    const std::lock_guard lock(mutex);
    AdvanceFlow();
    return flow * CountsFullScale;
}

bool VirtualMFC::Held() const
{
    const std::lock_guard lock(mutex);
    return held;
}

int VirtualMFC::GasNumber() const
{
    const std::lock_guard lock(mutex);
    return gas;
}

double VirtualMFC::FullScale_gpm() const
{
    const std::lock_guard lock(mutex);
    return FullScaleOf(gas);
}

double VirtualMFC::FullScaleOf(int gasNumber) const
{
    return fullScale_slpm / StandardMolarVolume_l * FindGas(gasNumber)->molarMass;
}

void VirtualMFC::OnRequest(const QByteArray& line)
{
    // Several units may share a line: only requests for this unit get an
    // answer, and an empty line gets none.
    if (line.isEmpty() || QChar::toUpper(uint(line.at(0))) != uint(UnitLetter))
        return;
    const QByteArray reply = [&] {
        const std::lock_guard lock(mutex);
        return Answer(QString::fromLatin1(line.mid(1)).trimmed());
    }();
    Reply(reply);
}

QByteArray VirtualMFC::Answer(const QString& command)
{
    if (command.isEmpty())
        return StatusLine();
    // The one command that is case-sensitive.
    if (command == QLatin1String("FACTORY RESTORE ALL")) {
        FactoryRestore();
        return Line(QStringLiteral("A Factory values have been restored."));
    }

    static const QRegularExpression countsSetpoint(QStringLiteral("^[+-]?\\d+$"));
    if (countsSetpoint.match(command).hasMatch())
        return SetSetpoint(command.toDouble() / CountsFullScale);

    const QStringList words = command.toUpper().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString keyword = words.first();
    const QStringList arguments = words.mid(1);
    bool numeric = false;
    const double value = arguments.value(0).toDouble(&numeric);
    numeric = numeric && std::isfinite(value);

    if (keyword == QLatin1String("S") && numeric && arguments.size() == 1)
        return SetSetpoint(flowInCounts ? value / CountsFullScale : value / fullScale_slpm);
    if (keyword == QLatin1String("G") && arguments.size() == 1)
        return SelectGas(arguments.first());
    if (keyword == QLatin1String("HP") && arguments.isEmpty())
        return Hold(false);
    if (keyword == QLatin1String("HC") && arguments.isEmpty())
        return Hold(true);
    if (keyword == QLatin1String("C") && arguments.isEmpty())
        return CancelHold();
    if (keyword == QLatin1String("FPF"))
        return FullScale(arguments);
    if (keyword == QLatin1String("DCU"))
        return DisplayUnit(arguments);
    if (keyword == QLatin1String("LSS") && arguments.size() == 1
        && QStringList({QStringLiteral("S"), QStringLiteral("U"), QStringLiteral("A")}).contains(arguments.first())) {
        setpointSource = arguments.first().at(0);
        return Line(QStringLiteral("A ") + setpointSource);
    }
    if (keyword == QLatin1String("SPUE") && numeric && arguments.size() == 1) {
        powerUpSetpoint = arguments.first();
        return Line(QStringLiteral("A ") + powerUpSetpoint);
    }
    if (keyword == QLatin1String("??M5") && arguments.isEmpty())
        return Line(QStringLiteral("A  M05 Serial Number ") + serialNumber);
    return Unknown;
}

void VirtualMFC::AdvanceFlow()
{
    const double seconds = sinceFlowUpdate.restart() / 1000.0;
    const double approach = 1.0 - std::exp(-seconds * 1000.0 / std::max(1, timeConstantMS));
    const double previous = flow;
    // A valve held in place keeps its flow; one held closed lets it die away.
    const double target = !held ? setpoint : heldClosed ? 0.0 : flow;
    flow += (target - flow) * approach;
    totalizer_sl += (previous + flow) / 2 * fullScale_slpm * seconds / 60.0;
}

QByteArray VirtualMFC::StatusLine()
{
    AdvanceFlow();
    const double pressure = pressureInBar ? AmbientPressure_psia / PsiPerBar : AmbientPressure_psia;
    const double flowScale = flowInCounts ? CountsFullScale : fullScale_slpm;
    QString temperature = Noisy(GasTemperatureC, 0.02);
    if (corruptLines > 0) {
        --corruptLines;
        temperature.back() = QLatin1Char('?'); // a digit lost on the line
    }
    QStringList columns{
        QString(QLatin1Char(UnitLetter)),
        Signed7(pressure, 3),
        temperature,
        Noisy(flow * fullScale_slpm, FlowNoise * fullScale_slpm), // volumetric, litres per minute
        Noisy(flow * flowScale, FlowNoise * flowScale),
        Signed7(setpoint * flowScale, 3),
    };
    if (totalizerShown)
        columns.append(Signed7(totalizer_sl, 3));
    columns.append(QString::fromLatin1(FindGas(gas)->label).rightJustified(6));
    for (const QString& code : DeclaredCodeOrder) {
        if (statusCodes.contains(code) || (code == QLatin1String("HLD") && held))
            columns.append(code);
    }
    for (const QString& code : statusCodes) {
        if (!DeclaredCodeOrder.contains(code))
            columns.append(code);
    }
    const QString text = columns.join(QLatin1Char(' '));
    return Line(text);
}

QByteArray VirtualMFC::SetSetpoint(double fraction)
{
    // A held valve, or setpoints taken from the analog input, leave serial
    // setpoints without effect; the unit still answers with its status.
    if (!held && setpointSource != QLatin1Char('A')) {
        AdvanceFlow();
        setpoint = std::clamp(fraction, 0.0, 1.0);
    }
    return StatusLine();
}

QByteArray VirtualMFC::SelectGas(const QString& argument)
{
    bool numeric = false;
    const int number = argument.toInt(&numeric);
    if (!numeric || !FindGas(number))
        return Unknown;
    if (number == refusedGas && gasRefusal == GasRefusal::Unknown)
        return Unknown;
    if (number != refusedGas || gasRefusal == GasRefusal::None)
        gas = number;
    return StatusLine();
}

QByteArray VirtualMFC::Hold(bool closed)
{
    AdvanceFlow();
    held = true;
    heldClosed = closed;
    return StatusLine();
}

QByteArray VirtualMFC::CancelHold()
{
    AdvanceFlow();
    held = false;
    heldClosed = false;
    return StatusLine();
}

QByteArray VirtualMFC::FullScale(const QStringList& arguments)
{
    if (arguments.size() != 2)
        return Unknown;
    const QString statistic = arguments[0];
    const QString unit = arguments[1];
    const bool flowStatistic = statistic == QLatin1String("37") || statistic == QLatin1String("5");
    if (flowStatistic && unit == QLatin1String("67")) {
        // Three integer digits and two decimals, as a real unit prints it: a
        // small unit's full scale loses most of its digits (0.06 g/m).
        const double value = zeroFullScales > 0 ? 0.0 : FullScaleOf(gas);
        zeroFullScales = std::max(0, zeroFullScales - 1);
        return Line(QStringLiteral("A %1 67 g/m").arg(Signed7(value, 3)));
    }
    if (flowStatistic && unit == QLatin1String("62"))
        return Line(QStringLiteral("A %1 62 count").arg(Signed7(CountsFullScale, 1)));
    if (statistic == QLatin1String("2") && unit == QLatin1String("7"))
        return Line(QStringLiteral("A %1 7 bar").arg(Signed7(FullScalePressure_bar, 1)));
    return Unknown;
}

QByteArray VirtualMFC::DisplayUnit(const QStringList& arguments)
{
    if (arguments.size() != 2)
        return Unknown;
    const QString statistic = arguments[0];
    const QString unit = arguments[1];
    if ((statistic == QLatin1String("37") || statistic == QLatin1String("5")) && unit == QLatin1String("62")) {
        flowInCounts = true;
        return Line(QStringLiteral("A 62 count"));
    }
    if (statistic == QLatin1String("2") && unit == QLatin1String("7")) {
        pressureInBar = true;
        return Line(QStringLiteral("A 7 barA"));
    }
    return Unknown;
}

void VirtualMFC::FactoryRestore()
{
    gas = 8;
    setpoint = 0;
    flowInCounts = false;
    pressureInBar = false;
    setpointSource = QLatin1Char('S');
    powerUpSetpoint = QStringLiteral("0");
}
