#pragma once

#include "mfc/AlicatMFC.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <memory>

// What the main thread and an MFC worker hand each other.
struct TThreadData {
    bool IsTerminated = false;
    bool ToTerminate = false;
    TAlicatData DeviceStatus; // towards the worker: Setpoint_pct and GasID wanted
    QString DeviceStatusRaw;
};

// The worker of one mass flow controller: initialises the instrument, then
// polls its status and keeps its gas and setpoint in line with the main
// thread's wishes, until asked to stop. The main thread touches only GUIIn and
// GUIOut, the worker only ThreadIn and ThreadOut; DataExchange copies them
// across on the main thread while the worker waits.
class TMFCThread : public QThread {
    Q_OBJECT

public:
    explicit TMFCThread(QObject* parent = nullptr);
    // Asks the worker to end and waits for it, processing events so that a
    // worker waiting for its exchange can finish; then frees the driver.
    ~TMFCThread() override;

    TThreadData GUIIn;
    TThreadData GUIOut;
    TThreadData ThreadIn;
    TThreadData ThreadOut;
    QString Name;
    QString ThreadID;
    quint32 Serial = 0;
    std::unique_ptr<TAlicatMFC> MFC;
    bool Simulated = false;

protected:
    void run() override;

private:
    void DataExchange();
    void ExchangeOnMainThread();
    void SimulatedPass();
    void RealPass();
    // Sleeps, but returns early once the thread is asked to end.
    void Pause(int ms) const;

    // Qt's blocking call and QThread::wait already order the worker's and the
    // main thread's accesses to the records and the driver; this counter
    // states those hand-overs in the language's own terms, so that the thread
    // sanitizer, which cannot see inside Qt's locks, sees them too.
    std::atomic<quint64> handOvers{0};
};

// A worker for the controller on `comPort`, set up as run control starts it:
// driver with no gas selected, unit letter and role "A", 19200 bit/s; not
// started yet.
std::unique_ptr<TMFCThread> CreateMFCThread(const QString& comPort, bool simulated);
