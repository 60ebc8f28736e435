#include "base/InterruptibleSleep.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

namespace {
// How often a sleeping thread looks for an interruption request.
constexpr qint64 CheckIntervalMS = 10;
} // namespace

void InterruptibleSleepMS(int ms)
{
    const QDeadlineTimer deadline(ms);
    const QThread* self = QThread::currentThread();
    while (!self->isInterruptionRequested()) {
        const qint64 remainingMS = deadline.remainingTime();
        if (remainingMS <= 0)
            return;
        QThread::msleep(static_cast<unsigned long>(std::min(remainingMS, CheckIntervalMS)));
    }
}
