#include "base/WorkerThread.h"

#include "base/MainThreadWait.h"

void TWorkerThread::ExchangeOnMainThread()
{
    // This object lives on the main thread, so the call runs there.
    handOver.RunOnMainThread(this, [this] { DataExchange(); });
}

void TWorkerThread::EndWorker()
{
    StopThreadProcessingEvents(*this);
    handOver.WorkerJoined();
}
