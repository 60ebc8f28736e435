#include "base/WorkerHandOver.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

void TWorkerHandOver::RunOnMainThread(QObject* mainThreadObject, const std::function<void()>& exchange)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->thread() == QThread::currentThread()) {
        exchange();
        return;
    }
    count.fetch_add(1, std::memory_order_release);
    QMetaObject::invokeMethod(mainThreadObject, exchange, Qt::BlockingQueuedConnection);
    count.load(std::memory_order_acquire);
}

void TWorkerHandOver::Copy(const std::function<void()>& copy)
{
    count.load(std::memory_order_acquire);
    copy();
    count.fetch_add(1, std::memory_order_release);
}

void TWorkerHandOver::WorkerEnds()
{
    count.fetch_add(1, std::memory_order_release);
}

void TWorkerHandOver::WorkerJoined()
{
    count.load(std::memory_order_acquire);
}
