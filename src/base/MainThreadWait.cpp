#include "base/MainThreadWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace {
// Short enough to keep a worker's hand-over latency low, long enough not to spin.
constexpr int WaitSliceMS = 5;
} // namespace

bool WaitProcessingEvents(const std::function<bool()>& done, int timeoutMS)
{
    QDeadlineTimer deadline(timeoutMS);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, WaitSliceMS);
        QThread::msleep(1);
    }
    return true;
}

void StopThreadProcessingEvents(QThread& thread)
{
    thread.requestInterruption();
    while (!thread.wait(QDeadlineTimer(WaitSliceMS)))
        QCoreApplication::processEvents(QEventLoop::AllEvents, WaitSliceMS);
}
