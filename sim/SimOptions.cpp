#include "sim/SimOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace {

// COM1 to COM256, the names Windows hands out for serial ports.
constexpr int HighestPortNumber = 256;
// The largest range mass flow controllers of this family are built for; the
// status line's 7-character numbers stay aligned up to it.
constexpr double LargestFullScale_slpm = 5000;

std::optional<SimInstrument> ParseMFC(const QString& text, QString& error)
{
    static const QRegularExpression form(QStringLiteral("^([A-Za-z0-9-]+):(.+)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        error = QStringLiteral("--mfc %1: expected SERIAL:FULLSCALE_SLPM, the serial of letters, digits and '-'")
                    .arg(text);
        return std::nullopt;
    }
    bool numeric = false;
    const double fullScale = match.captured(2).toDouble(&numeric);
    if (!numeric || !std::isfinite(fullScale) || fullScale <= 0 || fullScale > LargestFullScale_slpm) {
        error = QStringLiteral("--mfc %1: the full scale must be a number of slpm above 0 and at most %2")
                    .arg(text)
                    .arg(LargestFullScale_slpm);
        return std::nullopt;
    }
    return SimInstrument{SimInstrument::Kind::MFC, match.captured(1), fullScale};
}

// The pump keeps its number as two plunger positions, the first four digits
// and the rest, and the program reads them back as numbers: each part must
// start with a non-zero digit to survive the round trip. What follows a '-'
// (as in the known-device table's 2020465-PS019015362) is not kept.
std::optional<SimInstrument> ParsePump(const QString& text, QString& error)
{
    static const QRegularExpression form(QStringLiteral("^([1-9]\\d{3}[1-9]\\d{0,3})(-.*)?$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        error = QStringLiteral("--pump %1: the serial must start with 5 to 8 digits, the first and the fifth not 0,"
                               " optionally followed by '-' and anything")
                    .arg(text);
        return std::nullopt;
    }
    return SimInstrument{SimInstrument::Kind::Pump, match.captured(1), 0};
}

std::optional<LineFault> ParseFault(const QString& name)
{
    if (name == QLatin1String("silent"))
        return LineFault::Silent;
    if (name == QLatin1String("garbled"))
        return LineFault::Garbled;
    if (name == QLatin1String("slow"))
        return LineFault::Slow;
    return std::nullopt;
}

SimCommand Refuse(const QString& reason)
{
    return SimCommand{SimCommand::Action::Refuse, {}, reason};
}

} // namespace

QList<SimInstrument> PrototypeInstruments()
{
    return {
        {SimInstrument::Kind::MFC, QStringLiteral("432389"), 0.05},
        {SimInstrument::Kind::MFC, QStringLiteral("432390"), 0.5},
        {SimInstrument::Kind::Pump, QStringLiteral("2020465"), 0},
    };
}

SimCommand ParseSimCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves virtual mass flow controllers and syringe pumps on pseudo-terminals, registered as "
                       "COM ports in the virtual port folder, until interrupted. Without --mfc or --pump it serves "
                       "the prototype installation: MFC 432389 (0.05 slpm), MFC 432390 (0.5 slpm) and pump 2020465."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption firstPort(QStringLiteral("first-port"),
                                       QStringLiteral("Number of the first COM port (default 6)."),
                                       QStringLiteral("N"));
    const QCommandLineOption mfc(QStringLiteral("mfc"),
                                 QStringLiteral("Adds a mass flow controller with this serial and full scale in slpm."),
                                 QStringLiteral("SERIAL:FULLSCALE_SLPM"));
    const QCommandLineOption pump(QStringLiteral("pump"), QStringLiteral("Adds a syringe pump with this serial."),
                                  QStringLiteral("SERIAL"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Every instrument shows this fault: silent, garbled or slow."),
                                   QStringLiteral("NAME"));
    parser.addOptions({help, firstPort, mfc, pump, fault});

    if (!parser.parse(arguments))
        return Refuse(parser.errorText());
    if (parser.isSet(help))
        return SimCommand{SimCommand::Action::ShowHelp, {}, parser.helpText()};
    if (!parser.positionalArguments().isEmpty())
        return Refuse(QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first()));

    SimOptions options;
    if (parser.isSet(firstPort)) {
        const QStringList values = parser.values(firstPort);
        bool numeric = false;
        options.firstPort = values.last().toInt(&numeric);
        if (values.size() > 1 || !numeric || options.firstPort < 1 || options.firstPort > HighestPortNumber)
            return Refuse(
                QStringLiteral("--first-port takes one whole number from 1 to %1, given once").arg(HighestPortNumber));
    }
    if (parser.isSet(fault)) {
        const QStringList values = parser.values(fault);
        const std::optional<LineFault> mode = ParseFault(values.last());
        if (values.size() > 1 || !mode)
            return Refuse(QStringLiteral("--fault takes one name, given once: silent, garbled or slow"));
        options.fault = *mode;
    }

    // The instruments in the order given, MFCs and pumps mixed: the parser
    // keeps each option's values in order and the names of all in order.
    const QStringList mfcValues = parser.values(mfc);
    const QStringList pumpValues = parser.values(pump);
    qsizetype nextMFC = 0;
    qsizetype nextPump = 0;
    for (const QString& name : parser.optionNames()) {
        QString error;
        std::optional<SimInstrument> instrument;
        if (name == mfc.names().first())
            instrument = ParseMFC(mfcValues.at(nextMFC++), error);
        else if (name == pump.names().first())
            instrument = ParsePump(pumpValues.at(nextPump++), error);
        else
            continue;
        if (!instrument)
            return Refuse(error);
        options.instruments.append(*instrument);
    }
    if (options.instruments.isEmpty())
        options.instruments = PrototypeInstruments();
    if (options.firstPort + options.instruments.size() - 1 > HighestPortNumber)
        return Refuse(QStringLiteral("--first-port %1 leaves no room for %2 instruments below COM%3")
                          .arg(options.firstPort)
                          .arg(options.instruments.size())
                          .arg(HighestPortNumber + 1));
    return SimCommand{SimCommand::Action::Run, options, {}};
}
