#include "support/FailingFileWriter.h"

FailingFileWriter::FailingFileWriter()
{
    SetFileWriter(this);
}

FailingFileWriter::~FailingFileWriter()
{
    SetFileWriter(nullptr);
}

void FailingFileWriter::Fail(const QString& pathPart, const QString& reason)
{
    failures.insert(pathPart, reason);
}

bool FailingFileWriter::Refused(const QString& path, QString& error) const
{
    for (auto failure = failures.cbegin(); failure != failures.cend(); ++failure) {
        if (path.contains(failure.key())) {
            error = QStringLiteral("Cannot write file \"%1\". %2").arg(path, failure.value());
            return true;
        }
    }
    return false;
}

bool FailingFileWriter::MakeFolder(const QString& path, QString& error)
{
    return !Refused(path, error) && FileWriter::MakeFolder(path, error);
}

bool FailingFileWriter::WriteFile(const QString& path, const QByteArray& bytes, QString& error)
{
    return !Refused(path, error) && FileWriter::WriteFile(path, bytes, error);
}

bool FailingFileWriter::AppendFile(const QString& path, const QByteArray& bytes, QString& error)
{
    return !Refused(path, error) && FileWriter::AppendFile(path, bytes, error);
}

bool FailingFileWriter::RenameFile(const QString& from, const QString& to, QString& error)
{
    return !Refused(from, error) && !Refused(to, error) && FileWriter::RenameFile(from, to, error);
}

bool FailingFileWriter::ReplaceFile(const QString& from, const QString& to, QString& error)
{
    return !Refused(from, error) && !Refused(to, error) && FileWriter::ReplaceFile(from, to, error);
}

bool FailingFileWriter::RemoveFile(const QString& path, QString& error)
{
    return !Refused(path, error) && FileWriter::RemoveFile(path, error);
}
