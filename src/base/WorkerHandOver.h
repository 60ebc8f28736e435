#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

class QObject;

// The hand-over of exchange records between a worker thread and the main
// thread. The worker blocks while the main thread copies, so the records need
// no lock. The counter only makes that order visible to the thread
// sanitizer, which cannot see into Qt's own locks.
class TWorkerHandOver {
public:
    // Worker side: runs `exchange` on the thread of `mainThreadObject` and
    // waits for it; runs it directly when already on that thread.
    void RunOnMainThread(QObject* mainThreadObject, const std::function<void()>& exchange);
    // Main-thread side: the copy itself.
    void Copy(const std::function<void()>& copy);
    // The worker's last touch of its records before it ends...
    void WorkerEnds();
    // ...and the joining thread's view of it, once the worker has ended.
    void WorkerJoined();

private:
    std::atomic<quint64> count{0};
};
