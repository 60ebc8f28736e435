#pragma once

#include <QString>
#include <QTemporaryDir>

// A throwaway folder that also serves as the program folder and the virtual
// port folder for the test's lifetime, so no test touches the user's folders.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();

    QString Path() const { return dir.path(); }
    QString FilePath(const QString& name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
};
