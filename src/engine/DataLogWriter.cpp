#include "engine/DataLogWriter.h"

#include "base/FileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

TDataLogWriter::TDataLogWriter(Finished finished)
    : finished(std::move(finished))
{
}

TDataLogWriter::~TDataLogWriter()
{
    Wait();
}

void TDataLogWriter::Start(const QString& fileName, const QList<QByteArray>& parts)
{
    if (Busy())
        return;
    thread = QThread::create([this, fileName, parts] {
        QString reason;
        if (!WriteDataLogFile(fileName, parts, reason))
            error = reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    });
    connect(thread, &QThread::finished, this, &TDataLogWriter::Report, Qt::QueuedConnection);
    thread->start();
}

void TDataLogWriter::Wait()
{
    if (!thread)
        return;
    thread->wait();
    Report();
}

void TDataLogWriter::Report()
{
    // Wait() may have reported already, before the queued signal arrived.
    if (!thread)
        return;
    thread->wait();
    delete thread;
    thread = nullptr;
    const QString outcome = error;
    error.clear();
    finished(outcome);
}

bool WriteDataLogFile(const QString& fileName, const QList<QByteArray>& parts, QString& error)
{
    const QFileInfo log(fileName);
    const QString tmp = DataLogCompanionFile(fileName, QStringLiteral(".tmp"));
    const QString bak1 = DataLogCompanionFile(fileName, QStringLiteral(".bak1"));
    const QString bak2 = DataLogCompanionFile(fileName, QStringLiteral(".bak2"));

    FileWriter& writer = CurrentFileWriter();
    QString ignored;
    // The folder may have been removed since start-up; the log goes where it is named.
    writer.MakeFolder(log.path(), ignored);
    bool written = writer.WriteFile(tmp, parts.value(0), error);
    for (qsizetype i = 1; written && i < parts.size(); ++i)
        written = writer.AppendFile(tmp, parts.at(i), error);
    if (!written) {
        writer.RemoveFile(tmp, ignored);
        return false;
    }
    // The backups rotate on a best-effort basis; only the new log itself must
    // arrive, or the save counts as failed and is tried again.
    writer.RemoveFile(bak2, ignored);
    writer.RenameFile(bak1, bak2, ignored);
    writer.RenameFile(fileName, bak1, ignored);
    return writer.RenameFile(tmp, fileName, error);
}

QString DataLogCompanionFile(const QString& fileName, const QString& extension)
{
    const QFileInfo log(fileName);
    return QDir(log.path()).filePath(log.completeBaseName() + extension);
}
