#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QThread;

// Writes data log files on a thread of its own, one at a time, so that a
// save of a long run does not hold the window. The outcome is reported on
// the thread that owns the writer.
class TDataLogWriter : public QObject {
    Q_OBJECT
public:
    // Empty `error` on success.
    using Finished = std::function<void(const QString& error)>;

    explicit TDataLogWriter(Finished finished);
    ~TDataLogWriter() override;

    bool Busy() const { return thread != nullptr; }
    // Starts writing `parts` as the file `fileName`; only when not busy.
    void Start(const QString& fileName, const QList<QByteArray>& parts);
    // Blocks until the write in flight, if any, has ended and is reported.
    void Wait();

private:
    void Report();

    Finished finished;
    QThread* thread = nullptr;
    QString error;
};

// Writes the log through a temporary file and keeps the two previous
// versions as ".bak1" and ".bak2". False with the reason when the new log
// did not arrive.
bool WriteDataLogFile(const QString& fileName, const QList<QByteArray>& parts, QString& error);
// The file beside a data log named as it is, with `extension` in place of ".txt".
QString DataLogCompanionFile(const QString& fileName, const QString& extension);
