#include "TempFolder.h"

#include "base/ProgramFolder.h"

#include <QDir>

TempFolder::TempFolder()
{
    SetProgramFolder(dir.path());
    QDir(dir.path()).mkpath(QStringLiteral("ports"));
    qputenv("TARVO_PORT_DIR", QDir(dir.path()).filePath(QStringLiteral("ports")).toLocal8Bit());
}

TempFolder::~TempFolder()
{
    SetProgramFolder(QString());
    qunsetenv("TARVO_PORT_DIR");
}
