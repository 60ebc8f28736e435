#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that end a session (SIGTERM at a shutdown, SIGHUP at a
// logout, SIGINT from Ctrl-C) into a Qt signal on the main thread, so the
// program can leave as an operator's close does instead of being killed
// mid-run. Catches them for its lifetime; one instance at a time.
class TTerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TTerminationSignals(QObject* parent = nullptr);
    ~TTerminationSignals() override;

signals:
    void Received(int signalNumber);

private:
    void ReadPending();

    QSocketNotifier* notifier = nullptr;
};
