#include "sim/VirtualRig.h"

#include "serial/PortFolder.h"
#include "sim/SimOptions.h"
#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"

namespace {

std::unique_ptr<VirtualLine> MakeInstrument(const SimInstrument& instrument)
{
    if (instrument.kind == SimInstrument::Kind::Pump)
        return std::make_unique<VirtualPump>(instrument.serial);
    auto mfc = std::make_unique<VirtualMFC>();
    mfc->SetSerialNumber(instrument.serial);
    mfc->SetFullScale_slpm(instrument.fullScale_slpm);
    return mfc;
}

QString KindName(SimInstrument::Kind kind)
{
    return kind == SimInstrument::Kind::Pump ? QStringLiteral("pump") : QStringLiteral("MFC");
}

// Starts the line and registers it; the reason when that fails.
QString Serve(VirtualLine& line, const QString& portName)
{
    if (!line.Start())
        return QStringLiteral("Cannot open a pseudo-terminal for %1").arg(portName);
    if (line.Register(portName))
        return QString();
    if (VirtualPortNames().contains(portName))
        return QStringLiteral("%1 is already taken by a live instrument (%2)").arg(portName, ResolvePortName(portName));
    return QStringLiteral("Cannot register %1 in %2").arg(portName, PortFolderPath());
}

} // namespace

VirtualRig::VirtualRig() = default;

VirtualRig::~VirtualRig()
{
    Stop();
}

bool VirtualRig::Start(const SimOptions& options, QString& error)
{
    Stop();
    int portNumber = options.firstPort;
    for (const SimInstrument& instrument : options.instruments) {
        const QString portName = QStringLiteral("COM%1").arg(portNumber++);
        std::unique_ptr<VirtualLine> line = MakeInstrument(instrument);
        line->SetFault(options.fault);
        error = Serve(*line, portName);
        if (!error.isEmpty()) {
            Stop();
            return false;
        }
        served.append({portName, KindName(instrument.kind), instrument.serial, line->DevicePath()});
        lines.push_back(std::move(line));
    }
    return true;
}

void VirtualRig::Stop()
{
    lines.clear(); // each instrument stops and unregisters in its destructor
    served.clear();
}
