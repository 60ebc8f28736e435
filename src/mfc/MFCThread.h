#pragma once

#include "base/WorkerThread.h"
#include "mfc/AlicatMFC.h"

#include <QDeadlineTimer>
#include <QString>

#include <memory>

// What the main thread and an MFC worker hand each other.
struct TThreadData {
    bool IsTerminated = false;
    bool ToTerminate = false;
    TAlicatData DeviceStatus; // towards the worker: Setpoint_pct and GasID wanted
    QString DeviceStatusRaw;
    // Towards the worker: bring the instrument to zero, releasing a held valve
    // (a Stop). Without it a held valve is left alone.
    bool ToZero = false;
    // From the worker: what keeps the instrument from doing as wished, one
    // sentence each; empty while all is well.
    QString Fault;
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
    // A gas the instrument refused is asked for again after this long.
    int GasRetryIntervalMS = 30000;
    // After a Stop, the instrument must show setpoint 0 within this long.
    int ZeroConfirmTimeoutMS = 10000;
    // Passes without a status line in a row before it counts as a fault.
    static constexpr int FailedPassesForFault = 2;

protected:
    void Prepare() override;
    void Pass() override;
    void Finish() override;

private:
    void SimulatedPass();
    void RealPass();
    // Gas wished and selected, its status shown and its full scale known:
    // only then is a status line a reading of that gas's flow.
    bool SelectWishedGas();
    bool ShowsWishedGas(const TAlicatData& status);
    // Setpoint 0, a held valve released; true once the status shows setpoint 0
    // and no hold.
    bool BringToZero(const TAlicatData& status);
    void ReportFaults();

    // The worker's own.
    bool gasRefused = false;
    qint32 refusedGas = -1;
    QDeadlineTimer gasRetry;
    int failedPasses = 0;
    bool zeroing = false;   // a Stop is being carried out
    bool zeroShown = false; // the last status showed setpoint 0 and no hold
    QDeadlineTimer zeroDeadline;
};

// A worker for the controller on `comPort`, set up as run control starts it:
// driver with no gas selected, unit letter and role "A", 19200 bit/s; not
// started yet.
std::unique_ptr<TMFCThread> CreateMFCThread(const QString& comPort, bool simulated);
