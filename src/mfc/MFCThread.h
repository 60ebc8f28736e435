#pragma once

#include "base/WorkerHandOver.h"
#include "mfc/AlicatMFC.h"

#include <QString>
#include <QThread>

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

    // Main thread only: GUIIn := ThreadOut, ThreadIn := GUIOut.
    void DataExchange();

protected:
    void run() override;

private:
    void ExchangeOnMainThread();
    void SimulatedPass();
    void RealPass();

    TWorkerHandOver handOver;
};

// A worker for the controller on `comPort`, set up as run control starts it:
// driver with no gas selected, unit letter and role "A", 19200 bit/s; not
// started yet.
std::unique_ptr<TMFCThread> CreateMFCThread(const QString& comPort, bool simulated);
