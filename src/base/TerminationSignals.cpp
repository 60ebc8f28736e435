#include "base/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int Caught[] = {SIGTERM, SIGHUP, SIGINT};
// The handler may only write to a descriptor; the main thread reads the other end.
int pipeEnds[2] = {-1, -1};

void Handler(int signalNumber)
{
    const char number = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &number, 1);
}

} // namespace

TTerminationSignals::TTerminationSignals(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0)
        return;
    notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TTerminationSignals::ReadPending);
    struct sigaction action = {};
    action.sa_handler = Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : Caught)
        sigaction(signalNumber, &action, nullptr);
}

TTerminationSignals::~TTerminationSignals()
{
    if (!notifier)
        return;
    for (int signalNumber : Caught)
        std::signal(signalNumber, SIG_DFL);
    delete notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TTerminationSignals::ReadPending()
{
    char number = 0;
    if (::read(pipeEnds[1], &number, 1) == 1)
        emit Received(int(number));
}

#else

// Other systems end a session their own way (a close message to the window).
TTerminationSignals::TTerminationSignals(QObject* parent)
    : QObject(parent)
{
}

TTerminationSignals::~TTerminationSignals() = default;

void TTerminationSignals::ReadPending() {}

#endif
