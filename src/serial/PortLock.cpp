#include "serial/PortLock.h"

#include "serial/PortFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

QString PortLockFolderPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString base = runtime.isEmpty() ? QDir::tempPath() : runtime;
    return QDir(base).filePath(QStringLiteral("tarvo/locks"));
}

QString PortLockFilePath(const QString& port)
{
    QString device = ResolvePortName(port);
    const QFileInfo info(device);
    if (info.exists())
        device = info.canonicalFilePath();
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]"));
    device.replace(unsafe, QStringLiteral("_"));
    return QDir(PortLockFolderPath()).filePath(device + QStringLiteral(".lock"));
}

TPortLock::TPortLock() = default;

TPortLock::~TPortLock() = default; // the lock file's destructor unlocks

bool TPortLock::Acquire(const QString& port, QString& refusal)
{
    Release();
    QDir().mkpath(PortLockFolderPath());
    auto candidate = std::make_unique<QLockFile>(PortLockFilePath(port));
    // Only a holder that has gone counts as stale, however old its lock.
    candidate->setStaleLockTime(0);
    if (candidate->tryLock(0)) {
        file = std::move(candidate);
        return true;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    const QString holder = candidate->getLockInfo(&pid, &host, &application) ? QString::number(pid)
                                                                              : QStringLiteral("unknown");
    refusal = QStringLiteral("Port %1 is in use by Tarvo (process %2).").arg(port, holder);
    return false;
}

void TPortLock::Release()
{
    file.reset();
}

bool TPortLock::IsHeld() const
{
    return file && file->isLocked();
}
