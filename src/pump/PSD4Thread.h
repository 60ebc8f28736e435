#pragma once

#include "base/WorkerThread.h"

#include <QDeadlineTimer>
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
    // From the worker: the pump has answered its identification.
    bool Connected = false;
    // From the worker: why the pump is not doing what it was told (its error
    // text, or that it does not answer); empty while all is well.
    QString Fault;
    // Tells fault episodes apart (unique among all pump workers), so that each
    // is reported once.
    quint32 FaultEpisode = 0;
};

// The worker of one syringe pump (threading rule in base/WorkerThread.h).
// It connects to the pump and initialises it, then sends a new command when
// the main thread's wish changes, watches the pump while it should be
// dispensing, and stops it when asked. After a fault it does not command the
// pump again by itself: a new command does.
class TPSD4Thread : public TExchangeThread<TPSD4ThreadData> {
    Q_OBJECT

public:
    TPSD4Thread(const QString& name, std::unique_ptr<TPSD4> pump);
    // Ends the worker first, then frees the driver.
    ~TPSD4Thread() override;

    bool Connecting() const override { return !GUIIn.Connected && !GUIIn.IsTerminated; }
    bool Faulted() const override { return !GUIIn.Fault.isEmpty(); }

    std::unique_ptr<TPSD4> Pump;
    QString Port;

protected:
    void Prepare() override;
    void Pass() override;

private:
    bool Identified() const;
    void ConnectPump();
    void ApplyCommand();
    void Watch();
    void StopPump();
    void InitialiseAgainWhenAsked();
    // A failed exchange: the pump is tried again after a pause.
    void Silent();
    void Fault(const QString& text);
    void ClearFault();

    // The command the pump last accepted; "" before the first.
    QString running;
    QDeadlineTimer retryAt{0};
    QDeadlineTimer watchAt{0};
    bool silent = false;
};

// A worker for the pump on `comPort`, not started yet. It does not touch the
// port: connecting and initialising happen in the worker.
std::unique_ptr<TPSD4Thread> CreatePumpThread(const QString& comPort, const QString& nameRole);
