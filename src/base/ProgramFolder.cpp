#include "base/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString overriddenFolder;

const QString& DefaultFolder()
{
    static const QString folder = [] {
        const QString programDir = QCoreApplication::applicationDirPath();
        const QString chosen = ChooseProgramFolder(
            programDir, QStringLiteral(TARVO_INSTALLED_BINDIR), QFileInfo(programDir).isWritable(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QDir().mkpath(chosen);
        return chosen;
    }();
    return folder;
}
} // namespace

QString ChooseProgramFolder(const QString& programDir, const QString& installedBinDir,
                            bool programDirWritable, const QString& userDataDir)
{
    const bool installed = !installedBinDir.isEmpty()
        && QDir::cleanPath(programDir) == QDir::cleanPath(installedBinDir);
    if ((installed || !programDirWritable) && !userDataDir.isEmpty())
        return userDataDir;
    return programDir;
}

QString ProgramFolder()
{
    if (!overriddenFolder.isEmpty())
        return overriddenFolder;
    return DefaultFolder();
}

void SetProgramFolder(const QString& folder)
{
    overriddenFolder = folder;
}

bool ProgramFolderIsUserData()
{
    return overriddenFolder.isEmpty() && DefaultFolder() != QCoreApplication::applicationDirPath();
}
