#pragma once

#include "base/WorkerThread.h"
#include "mfc/AlicatMFC.h"

#include <QString>

#include <memory>

// What the main thread and an MFC worker hand each other.
struct TThreadData {
    bool IsTerminated = false;
    bool ToTerminate = false;
    TAlicatData DeviceStatus; // towards the worker: Setpoint_pct and GasID wanted
    QString DeviceStatusRaw;
};

// The worker of one mass flow controller (threading rule in
// base/WorkerThread.h): initialises the instrument, then polls its status and
// keeps its gas and setpoint in line with the main thread's wishes, until
// asked to stop.
class TMFCThread : public TExchangeThread<TThreadData> {
    Q_OBJECT

public:
    TMFCThread() = default;
    // Ends the worker first, then frees the driver.
    ~TMFCThread() override;

    // Until the first reading; a demonstration device has nothing to connect to.
    bool Connecting() const override { return !Simulated && GUIIn.DeviceStatus.DataTime == 0 && !GUIIn.IsTerminated; }

    QString ThreadID;
    quint32 Serial = 0;
    std::unique_ptr<TAlicatMFC> MFC;
    bool Simulated = false;

protected:
    void Prepare() override;
    void Pass() override;
    void Finish() override;

private:
    void SimulatedPass();
    void RealPass();
};

// A worker for the controller on `comPort`, set up as run control starts it:
// driver with no gas selected, unit letter and role "A", 19200 bit/s; not
// started yet.
std::unique_ptr<TMFCThread> CreateMFCThread(const QString& comPort, bool simulated);
