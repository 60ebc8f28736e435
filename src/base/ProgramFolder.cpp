#include "base/ProgramFolder.h"

#include <QCoreApplication>

namespace {
QString overriddenFolder;
}

QString ProgramFolder()
{
    if (!overriddenFolder.isEmpty())
        return overriddenFolder;
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString& folder)
{
    overriddenFolder = folder;
}
