#include "base/MainThreadWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <atomic>
#include <exception>
#include <limits>
#include <memory>

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

void RunOffMainThread(const std::function<void()>& work)
{
    std::exception_ptr failure;
    // Set last by the thread: waiting on it (not only on Qt's own locks)
    // shows the thread sanitizer that the work is over before it is freed.
    std::atomic<bool> done{false};
    std::unique_ptr<QThread> thread(QThread::create([&work, &failure, &done] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done.store(true, std::memory_order_release);
    }));
    thread->start();
    // However long the work takes: it has its own limits.
    WaitProcessingEvents([&done] { return done.load(std::memory_order_acquire); }, std::numeric_limits<int>::max());
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
}

void RunOnMainThread(const std::function<void()>& call)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(application, call, Qt::BlockingQueuedConnection);
}
