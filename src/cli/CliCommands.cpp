#include "cli/CliCommands.h"

#include "base/Prompts.h"
#include "base/TextHelpers.h"
#include "devices/DeviceRegistry.h"
#include "devices/DeviceSearch.h"
#include "gas/FlowUnits.h"
#include "gas/GasList.h"
#include "mfc/AlicatMFC.h"
#include "pump/PSD4.h"
#include "segments/SegmentProgram.h"
#include "segments/SegmentProgramFile.h"
#include "serial/PortLock.h"
#include "serial/SerialPort.h"

#include <QLocale>
#include <QTextStream>

namespace {

constexpr qint32 AlicatBaudRate = 19200;
// Status columns after the unit letter: pressure, temperature, volumetric
// flow, mass flow, setpoint, totaliser, gas; status codes follow.
constexpr int FirstCodeColumn = 8;

const char* const HelpText =
    "Usage: tarvo-cli COMMAND [ARGUMENTS]\n"
    "Talks to the rig's instruments without the window.\n"
    "\n"
    "Commands:\n"
    "  ports                 the serial ports, virtual ones included\n"
    "  search [--verbose]    searches every port for known instruments; one line\n"
    "                        per instrument: port, kind, serial, role, name\n"
    "                        (--verbose: the full search report)\n"
    "  status PORT           one status read of the instrument on PORT\n"
    "  set PORT PERCENT      an MFC setpoint, in percent of full scale (0-100)\n"
    "  check FILE            validates a segment program file, prints its end time\n"
    "  --help                this text\n"
    "\n"
    "Exit codes: 0 success, 1 instrument failure, port in use or invalid program,\n"
    "2 bad arguments.\n";

// Message boxes become lines on the error stream; questions are declined.
class ConsolePrompts final : public Prompts {
public:
    explicit ConsolePrompts(QTextStream& err)
        : err(err)
    {
        SetPrompts(this);
    }
    ~ConsolePrompts() override { SetPrompts(nullptr); }

    void ShowMessage(const QString& text) override { err << text << Qt::endl; }
    bool AskYesNo(const QString&) override { return false; }
    bool InputQuery(const QString&, const QString&, QString&) override { return false; }
    bool SaveFileName(const FileDialogRequest&, QString&) override { return false; }
    bool OpenFileName(const FileDialogRequest&, QString&) override { return false; }

private:
    QTextStream& err;
};

class ConsoleSearchView final : public TDeviceSearchView {
public:
    ConsoleSearchView(QTextStream& out, bool verbose)
        : out(out)
        , verbose(verbose)
    {
    }

    void MM(const QString& message) override
    {
        if (verbose)
            out << message << Qt::endl;
    }

    void DeviceFound(const QString& port, const TDeviceInfo& known) override
    {
        const QString kind = known.DevType == dtPump ? QStringLiteral("pump") : QStringLiteral("MFC");
        out << PadRight(port, 8) << PadRight(kind, 6) << PadRight(known.Serial, 21)
            << PadRight(DeviceTypeName(known.DevType), 7) << known.NameRole << Qt::endl;
    }

private:
    QTextStream& out;
    bool verbose;
};

TCliExit BadArguments(QTextStream& err, const QString& why)
{
    err << why << Qt::endl << "Try: tarvo-cli --help" << Qt::endl;
    return ceBadArguments;
}

TCliExit Ports(QTextStream& out)
{
    for (const QString& port : ListSerialPorts())
        out << port << Qt::endl;
    return ceSuccess;
}

TCliExit Search(bool verbose, QTextStream& out)
{
    ConsoleSearchView view(out, verbose);
    if (SearchPorts(ListSerialPorts(), view) > 0)
        return ceSuccess;
    out << "No instruments found." << Qt::endl;
    return ceFailure;
}

TAlicatMFC* NewMFC(const QString& port, std::unique_ptr<TAlicatMFC>& mfc)
{
    mfc = std::make_unique<TAlicatMFC>();
    mfc->aPort.SetPort(port);
    mfc->aPort.SetBaudRate(AlicatBaudRate);
    return mfc.get();
}

TCliExit Status(const QString& port, QTextStream& out, QTextStream& err)
{
    std::unique_ptr<TAlicatMFC> mfc;
    TAlicatData data;
    if (NewMFC(port, mfc)->ReadStatus(data)) {
        const QStringList columns = data.Raw.section(QLatin1Char(':'), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QStringList codes = columns.mid(FirstCodeColumn);
        out << port << " MFC: flow " << FloatToStr(data.FlowRate_mass) << ", setpoint "
            << FloatToStr(data.SetpointFromDevice) << ", gas " << data.GasSN << ", codes "
            << (codes.isEmpty() ? QStringLiteral("none") : codes.join(QLatin1Char(' '))) << Qt::endl;
        return ceSuccess;
    }
    TPSD4 pump;
    TSerialResponse reply;
    if (pump.Connect(port) && pump.SendCommand(QStringLiteral("Q"), reply, true) && reply.Status.isEmpty()) {
        out << port << " pump: " << pump.StatusAsString() << Qt::endl;
        return ceSuccess;
    }
    err << port << ": no instrument answered" << Qt::endl;
    return ceFailure;
}

TCliExit Set(const QString& port, double percent, QTextStream& out, QTextStream& err)
{
    std::unique_ptr<TAlicatMFC> mfc;
    TAlicatData wish;
    wish.Setpoint_pct = percent;
    if (!NewMFC(port, mfc)->ApplySetpoint_pct(wish)) {
        err << port << ": the MFC did not answer" << Qt::endl;
        return ceFailure;
    }
    out << port << " setpoint " << FloatToStr(percent) << " %" << Qt::endl;
    return ceSuccess;
}

TCliExit Check(const QString& fileName, QTextStream& out, QTextStream& err)
{
    QString program;
    QString error;
    if (!ReadSegmentProgramFile(fileName, program, error)) {
        err << error << Qt::endl;
        return ceFailure;
    }
    const ConsolePrompts prompts(err); // the validator's message goes to the error stream
    if (!ValidateSegmentProgram(program))
        return ceFailure;
    out << "End time: " << FloatToStr(ProgramEndTime(program)) << " min" << Qt::endl;
    return ceSuccess;
}

// Runs `command` while holding the port; refused when another user holds it.
template <typename Command>
TCliExit OnPort(const QString& port, QTextStream& err, Command command)
{
    TPortLock lock;
    QString refusal;
    if (!lock.Acquire(port, refusal)) {
        err << refusal << Qt::endl;
        return ceFailure;
    }
    return command();
}

} // namespace

void PrepareCliCommands()
{
    QLocale::setDefault(QLocale::c());
    InitializeGasList();
    InitializeStandardFlowUnits();
    if (KnownDevices.isEmpty())
        BuildKnownDevices();
}

TCliExit RunCliCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty())
        return BadArguments(err, QStringLiteral("No command given."));
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        out << HelpText;
        return ceSuccess;
    }
    if (command == QLatin1String("ports") && rest.isEmpty())
        return Ports(out);
    if (command == QLatin1String("search") && (rest.isEmpty() || rest == QStringList{QStringLiteral("--verbose")}))
        return Search(!rest.isEmpty(), out);
    if (command == QLatin1String("status") && rest.size() == 1)
        return OnPort(rest[0], err, [&] { return Status(rest[0], out, err); });
    if (command == QLatin1String("set") && rest.size() == 2) {
        double percent = 0;
        if (!TryStrToFloatDot(rest[1], percent) || percent < 0 || percent > 100)
            return BadArguments(err, QStringLiteral("The setpoint must be a number from 0 to 100: ") + rest[1]);
        return OnPort(rest[0], err, [&] { return Set(rest[0], percent, out, err); });
    }
    if (command == QLatin1String("check") && rest.size() == 1)
        return Check(rest[0], out, err);
    return BadArguments(err, QStringLiteral("Unknown command or wrong arguments: ") + arguments.join(QLatin1Char(' ')));
}
