#include "base/FileWriter.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

FileWriter plainWriter;
FileWriter* installed = nullptr;

bool WriteBytes(const QString& path, QIODevice::OpenMode mode, const QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | mode) || file.write(bytes) != bytes.size() || !file.flush()) {
        error = QStringLiteral("Cannot write file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool FileWriter::MakeFolder(const QString& path, QString& error)
{
    if (QDir().mkpath(path))
        return true;
    error = QStringLiteral("Cannot create folder \"%1\".").arg(QDir::toNativeSeparators(path));
    return false;
}

bool FileWriter::WriteFile(const QString& path, const QByteArray& bytes, QString& error)
{
    return WriteBytes(path, QIODevice::Truncate, bytes, error);
}

bool FileWriter::AppendFile(const QString& path, const QByteArray& bytes, QString& error)
{
    return WriteBytes(path, QIODevice::Append, bytes, error);
}

bool FileWriter::RenameFile(const QString& from, const QString& to, QString& error)
{
    QFile file(from);
    if (file.rename(to))
        return true;
    error = QStringLiteral("Cannot rename \"%1\". %2").arg(QDir::toNativeSeparators(from), file.errorString());
    return false;
}

bool FileWriter::ReplaceFile(const QString& from, const QString& to, QString& error)
{
    // std::filesystem::rename replaces an existing target (rename(2),
    // MoveFileEx with MOVEFILE_REPLACE_EXISTING); QFile::rename refuses to.
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()),
                            code);
    if (!code)
        return true;
    error = QStringLiteral("Cannot rename \"%1\". %2")
                .arg(QDir::toNativeSeparators(from), QString::fromLocal8Bit(code.message()));
    return false;
}

bool FileWriter::RemoveFile(const QString& path, QString& error)
{
    QFile file(path);
    if (file.remove())
        return true;
    error = QStringLiteral("Cannot delete \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

void SetFileWriter(FileWriter* writer)
{
    installed = writer;
}

FileWriter& CurrentFileWriter()
{
    return installed ? *installed : plainWriter;
}

bool FileNameFits(const QString& folder, const QString& name)
{
    constexpr long Common = 255; // NTFS, ext4, APFS and most others
#ifdef Q_OS_UNIX
    // The limit counts the bytes of the encoded name.
    const long limit = pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return QFile::encodeName(name).size() <= (limit > 0 ? limit : Common);
#else
    Q_UNUSED(folder);
    return name.size() <= Common;
#endif
}
