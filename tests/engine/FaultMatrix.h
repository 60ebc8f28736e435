#pragma once

#include "base/TextEncoding.h"
#include "engine/DataLog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

// What every row of the fault matrix (the controller and pump fault tables)
// must show, whatever its fault: no crash (the row ends), no freeze, a clear
// message, the data log complete up to the end, and every instrument that
// can still be reached at rest after close (checked by each table, which
// knows its instrument).

// The longest time the main thread went without processing events, from
// its construction on: a timer that should fire every 50 ms notes the gaps.
class MainThreadStallWatch {
public:
    MainThreadStallWatch()
    {
        sinceLast.start();
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { longest = std::max(longest, sinceLast.restart()); });
        timer.start(50);
    }
    qint64 LongestMS() const { return longest; }

    // A loose bound that catches a freeze, not a speed figure.
    static constexpr qint64 FreezeMS = 2000;

private:
    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 longest = 0;
};

// The operator saw `message` as part of a message-log line, a message box
// or a state of the device list.
inline void ExpectOperatorTold(const QString& message, const QStringList& logLines, const QStringList& boxes,
                               const QStringList& states)
{
    const auto shows = [&](const QStringList& lines) { return !lines.filter(message).isEmpty(); };
    EXPECT_TRUE(shows(logLines) || shows(boxes) || states.contains(message))
        << "nobody told the operator \"" << message.toStdString() << "\"\nlog:\n"
        << logLines.join('\n').toStdString() << "\nboxes:\n" << boxes.join('\n').toStdString() << "\nstates: "
        << states.join(", ").toStdString();
}

// Saved as at close, the log file of a run holds every line of the data
// table, the rows recorded after the fault among them.
inline void ExpectDataLogComplete(TDataLog& log)
{
    if (log.DataLogFileName().isEmpty())
        return; // a row that never started a run has no log to keep
    log.FlowDataSave(true);
    log.WaitForSaves();
    QFile file(log.DataLogFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << log.DataLogFileName().toStdString();
    QStringList saved = DecodeTextFileBytes(file.readAll()).split(QStringLiteral("\r\n"));
    while (!saved.isEmpty() && saved.last().isEmpty())
        saved.removeLast();
    EXPECT_EQ(saved, log.DataTable());
}
