#pragma once

#include <QLoggingCategory>
#include <QStringList>

#include <mutex>

// Switches one trace category on and keeps its lines for the test's lifetime.
// Some results of the drivers are only visible in their traces.
class TraceRecorder {
public:
    explicit TraceRecorder(const QString& category)
    {
        instance = this;
        previous = qInstallMessageHandler(&Record);
        QLoggingCategory::setFilterRules(category + QStringLiteral(".debug=true"));
    }
    ~TraceRecorder()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);
        instance = nullptr;
    }
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    QStringList Lines() const
    {
        const std::lock_guard lock(mutex);
        return lines;
    }

private:
    static void Record(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        const std::lock_guard lock(instance->mutex);
        instance->lines.append(message);
    }

    static inline TraceRecorder* instance = nullptr;
    QtMessageHandler previous = nullptr;
    mutable std::mutex mutex;
    QStringList lines;
};
