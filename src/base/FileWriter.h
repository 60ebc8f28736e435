#pragma once

#include <QByteArray>
#include <QString>

// The file operations of the program's writers (the data log and the message
// file). Each returns false with the reason in `error` when it fails. The
// plain implementation uses the file system; tests install one that fails on
// purpose (a full disk, a lost folder), as the file system of a test running
// with every permission rarely refuses.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    virtual bool MakeFolder(const QString& path, QString& error);
    // Creates or truncates the file, then writes `bytes`.
    virtual bool WriteFile(const QString& path, const QByteArray& bytes, QString& error);
    // Creates the file when it is missing, then adds `bytes` at its end.
    virtual bool AppendFile(const QString& path, const QByteArray& bytes, QString& error);
    virtual bool RenameFile(const QString& from, const QString& to, QString& error);
    // Renames `from` over `to` in one step: a reader finds the old file or
    // the new one, never neither.
    virtual bool ReplaceFile(const QString& from, const QString& to, QString& error);
    virtual bool RemoveFile(const QString& path, QString& error);
};

// The installed writer (not owned); nullptr restores the plain one.
void SetFileWriter(FileWriter* writer);
FileWriter& CurrentFileWriter();

// Whether the file system of `folder` takes a file name this long.
bool FileNameFits(const QString& folder, const QString& name);
