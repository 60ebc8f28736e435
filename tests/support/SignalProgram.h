#pragma once

#include <QProcess>

#include <signal.h>

// Signals a program the test started. One that has already ended has no
// process id (0), and kill(0, ...) would signal the whole process group:
// the test runner with it.
inline bool SignalProgram(QProcess& program, int signal)
{
    const qint64 pid = program.processId();
    return program.state() != QProcess::NotRunning && pid > 0 && ::kill(pid_t(pid), signal) == 0;
}
