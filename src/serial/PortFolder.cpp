#include "serial/PortFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

namespace {

QString LinkPath(const QString& name)
{
    return QDir(PortFolderPath()).filePath(name);
}

// The target of a registered name's link; empty when there is none.
QString LinkTarget(const QString& name)
{
    if (!IsValidPortName(name))
        return QString();
    const QFileInfo link(LinkPath(name));
    return link.isSymLink() ? link.symLinkTarget() : QString();
}

} // namespace

QString PortFolderPath()
{
    const QString configured = qEnvironmentVariable("TARVO_PORT_DIR");
    if (!configured.isEmpty())
        return configured;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString base = runtime.isEmpty() ? QDir::tempPath() : runtime;
    return QDir(base).filePath(QStringLiteral("tarvo/ports"));
}

bool IsValidPortName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    return name != QLatin1String(".") && name != QLatin1String("..") && plain.match(name).hasMatch();
}

bool RegisterVirtualPort(const QString& name, const QString& devicePath)
{
    if (!IsValidPortName(name) || devicePath.isEmpty())
        return false;
    if (!QDir().mkpath(PortFolderPath()))
        return false;
    const QString path = LinkPath(name);
    const QFileInfo existing(path);
    if (existing.isSymLink()) {
        if (existing.exists()) // the link leads to a live device
            return false;
        QFile::remove(path);
    } else if (existing.exists()) {
        return false; // not ours to replace
    }
    return QFile::link(devicePath, path);
}

void UnregisterVirtualPort(const QString& name, const QString& devicePath)
{
    if (!devicePath.isEmpty() && LinkTarget(name) == QFileInfo(devicePath).absoluteFilePath())
        QFile::remove(LinkPath(name));
}

QStringList VirtualPortNames()
{
    QStringList names;
    const QFileInfoList entries = QDir(PortFolderPath()).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        // exists() follows the link: a line that has gone leaves a dangling one
        if (entry.isSymLink() && entry.exists() && IsValidPortName(entry.fileName()))
            names.append(entry.fileName());
    }
    return names;
}

QString ResolvePortName(const QString& name)
{
    const QString target = LinkTarget(name);
    if (!target.isEmpty())
        return target;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        if (port.portName() == name)
            return port.systemLocation();
    }
    return name;
}
