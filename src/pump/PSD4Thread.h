#pragma once

#include "base/WorkerThread.h"

#include <QString>

#include <memory>

class TPSD4;

// What the main thread and a pump worker hand each other.
struct TPSD4ThreadData {
    double DataTime = 0;  // from the worker: end of its last pass (MonotonicNow, days)
    double Setpoint = 0;  // the fraction of full scale belonging to Command
    QString Command;      // unframed pump command
    bool ToTerminate = false;
    bool IsTerminated = false;
    QString aMessage;     // "Failed to terminate" when a stop attempt failed
};

// The worker of one syringe pump (threading rule in base/WorkerThread.h).
// The pump runs its dispensing command on its own, so the worker only sends a
// new command when the main thread's wish changes, and stops the pump when
// asked.
class TPSD4Thread : public TExchangeThread<TPSD4ThreadData> {
    Q_OBJECT

public:
    TPSD4Thread(const QString& name, std::unique_ptr<TPSD4> pump);
    // Ends the worker first, then frees the driver.
    ~TPSD4Thread() override;

    std::unique_ptr<TPSD4> Pump;

protected:
    void Pass() override;

private:
    void ApplyCommand();
};

// A worker for the pump on `comPort`, set up as run control starts it: driver
// connected, pump initialised with "ZN1R" and waited for (at most 15 s); not
// started yet. Blocks for as long as the pump takes.
std::unique_ptr<TPSD4Thread> CreatePumpThread(const QString& comPort, const QString& nameRole);
