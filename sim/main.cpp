#include "sim/SimOptions.h"
#include "sim/VirtualRig.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

constexpr int ExitRefused = 1;
constexpr int ExitBadOptions = 2;

void Print(FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text), stream);
    std::fflush(stream); // whoever started us in the background reads the lines at once
}

} // namespace

int main(int argc, char** argv)
{
    // Blocked before any instrument thread starts, so that every thread
    // inherits the mask and the signals wait for sigwait below. SIGHUP too:
    // a closed terminal must not leave the names registered.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stopSignals, signal);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tarvo-sim"));

    const SimCommand command = ParseSimCommand(app.arguments());
    if (command.action == SimCommand::Action::ShowHelp) {
        Print(stdout, command.text);
        return 0;
    }
    if (command.action == SimCommand::Action::Refuse) {
        Print(stderr, QStringLiteral("tarvo-sim: %1\nTry tarvo-sim --help.\n").arg(command.text));
        return ExitBadOptions;
    }

    VirtualRig rig;
    QString error;
    if (!rig.Start(command.options, error)) {
        Print(stderr, QStringLiteral("tarvo-sim: %1\n").arg(error));
        return ExitRefused;
    }
    for (const VirtualRig::Served& instrument : rig.Instruments()) {
        Print(stdout, QStringLiteral("%1 %2 %3 %4\n")
                          .arg(instrument.portName, -6)
                          .arg(instrument.kind, -4)
                          .arg(instrument.serial, -8)
                          .arg(instrument.devicePath));
    }

    int received = 0;
    sigwait(&stopSignals, &received);
    rig.Stop();
    return 0;
}
