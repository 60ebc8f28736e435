#pragma once

#include <QString>

#include <functional>

// The alarm of the program's writers: raised when a writer has kept failing
// for its grace time (a save is retried every tick, so one failed try is not
// yet an alarm), lowered at its next success. `show` lights or darkens the
// lamp with the reasons; each raising opens one message box, so an operator
// who was away learns of it once per failure, not once per try.
class TWriteAlarm {
public:
    enum TWriter { DataLogWriter, MessageFileWriter, WriterCount };
    using Show = std::function<void(bool raised, const QString& reasons)>;

    explicit TWriteAlarm(Show show);

    void Failed(TWriter writer, const QString& reason, double graceSeconds);
    void Succeeded(TWriter writer);

    bool Raised() const { return raised; }

private:
    struct TState {
        bool failing = false;
        double since = 0; // first failure after the last success (local date-time, days)
        double graceSeconds = 0;
        QString reason;
    };

    void Update();

    Show show;
    TState states[WriterCount];
    bool raised = false;
    QString shownReasons;
};
