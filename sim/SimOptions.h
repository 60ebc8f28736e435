#pragma once

#include "sim/VirtualLine.h"

#include <QList>
#include <QString>
#include <QStringList>

// One instrument the simulator serves. A pump's serial is the number it keeps
// and reports (2020465 for the row 2020465-PS019015362).
struct SimInstrument {
    enum class Kind { MFC, Pump };
    Kind kind = Kind::MFC;
    QString serial;
    double fullScale_slpm = 0; // MFCs only

    bool operator==(const SimInstrument&) const = default;
};

struct SimOptions {
    int firstPort = 6; // the instruments take COM<firstPort>, COM<firstPort+1>, ...
    QList<SimInstrument> instruments;
    LineFault fault = LineFault::None;

    bool operator==(const SimOptions&) const = default;
};

// The prototype installation of the known-device table.
QList<SimInstrument> PrototypeInstruments();

// What the command line asks for: run with options, show the help text, or
// refuse with a message.
struct SimCommand {
    enum class Action { Run, ShowHelp, Refuse };
    Action action = Action::Run;
    SimOptions options;
    QString text; // the help text or the reason for refusing
};

// `arguments` starts with the program name, as QCoreApplication::arguments().
SimCommand ParseSimCommand(const QStringList& arguments);
