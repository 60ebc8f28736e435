#pragma once

#include "base/WorkerHandOver.h"

#include <QString>
#include <QThread>

#include <memory>

class TPSD4;

// What the main thread and a pump worker hand each other.
struct TPSD4ThreadData {
    double DataTime = 0;  // from the worker: end of its last pass (days)
    double Setpoint = 0;  // the fraction of full scale belonging to Command
    QString Command;      // unframed pump command
    bool ToTerminate = false;
    bool IsTerminated = false;
    QString aMessage;     // "Failed to terminate" when a stop attempt failed
};

// The worker of one syringe pump. The pump runs its dispensing command on its
// own, so the worker only sends a new command when the main thread's wish
// changes, and stops the pump when asked. The main thread touches only GUIIn
// and GUIOut, the worker only ThreadIn and ThreadOut; DataExchange copies them
// across on the main thread while the worker waits.
class TPSD4Thread : public QThread {
    Q_OBJECT

public:
    TPSD4Thread(const QString& name, std::unique_ptr<TPSD4> pump);
    // Asks the worker to end and waits for it, processing events so that a
    // worker waiting for its exchange can finish; then frees the driver.
    ~TPSD4Thread() override;

    QString Name;
    std::unique_ptr<TPSD4> Pump;
    TPSD4ThreadData GUIIn;
    TPSD4ThreadData GUIOut;
    TPSD4ThreadData ThreadIn;
    TPSD4ThreadData ThreadOut;

    // Main thread only: GUIIn := ThreadOut, ThreadIn := GUIOut.
    void DataExchange();

protected:
    void run() override;

private:
    void ExchangeOnMainThread();
    void ApplyCommand();

    TWorkerHandOver handOver;
};

// A worker for the pump on `comPort`, set up as run control starts it: driver
// connected, pump initialised with "ZN1R" and waited for (at most 15 s); not
// started yet. Blocks for as long as the pump takes.
std::unique_ptr<TPSD4Thread> CreatePumpThread(const QString& comPort, const QString& nameRole);
