#pragma once

#include "base/WorkerHandOver.h"

#include <QString>
#include <QThread>

// The worker thread of one instrument. It is the only user of its driver and
// port while it runs; it shares nothing with the main thread but its four
// exchange records:
// - the main thread writes GUIOut and reads GUIIn, and touches nothing else;
// - the worker reads ThreadIn and writes ThreadOut, and touches nothing else;
// - DataExchange (GUIIn := ThreadOut, ThreadIn := GUIOut) alone copies across.
//   It runs on the main thread while the worker waits for it, once per pass,
//   so the records need no lock.
// Whoever waits on the main thread for a worker (its end, its destruction)
// must keep processing events: a worker waiting inside its exchange would
// otherwise never get it, and the wait would never end.
//
// Each record type carries the terminate flags: ToTerminate, set by the main
// thread to ask the worker to bring its instrument to rest and end, and
// IsTerminated, set by the worker once it has.
class TWorkerThread : public QThread {
public:
    // Main thread: asks the worker to bring its instrument to rest and end.
    virtual void MarkToStop() = 0;
    // Main thread: the worker has reported its end through its exchange.
    virtual bool TerminationReported() const = 0;
    // Main thread only.
    virtual void DataExchange() = 0;
    // Main thread: no successful exchange with the instrument yet.
    virtual bool Connecting() const = 0;
    // Main thread: the instrument is not doing what it was told.
    virtual bool Faulted() const { return false; }

    QString Name; // label for traces

protected:
    // Runs DataExchange on the main thread and waits for it.
    void ExchangeOnMainThread();
    // The worker's last touch of its records.
    void WorkerEnds() { handOver.WorkerEnds(); }
    // Asks the worker to end and waits for it, processing events. Every
    // derived destructor calls it first: the worker may be in the middle of
    // an exchange with a driver that the derived class owns.
    void EndWorker();

    TWorkerHandOver handOver;
};

// The records of one kind of worker, and its loop: Prepare once, then passes
// (each after an exchange) until the worker reports its end or is asked to
// end by its destruction; Finish; one last exchange so that the main thread
// sees the end.
template<typename TData>
class TExchangeThread : public TWorkerThread {
public:
    TData GUIIn;
    TData GUIOut;
    TData ThreadIn;
    TData ThreadOut;

    void MarkToStop() override { GUIOut.ToTerminate = true; }
    bool TerminationReported() const override { return GUIIn.IsTerminated; }
    void DataExchange() override
    {
        handOver.Copy([this] {
            GUIIn = ThreadOut;
            ThreadIn = GUIOut;
        });
    }

protected:
    virtual void Prepare() {}
    virtual void Pass() = 0;
    virtual void Finish() {}

    void run() override
    {
        Prepare();
        while (!ThreadOut.IsTerminated && !isInterruptionRequested()) {
            ExchangeOnMainThread();
            Pass();
        }
        Finish();
        ExchangeOnMainThread();
        WorkerEnds();
    }
};
