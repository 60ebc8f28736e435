#pragma once

#include "base/FileWriter.h"

#include <QMap>

// A file writer that refuses every operation on a path containing one of the
// parts it was told, with the reason it was told ("No space left on device"
// by default), as a full disk or a lost drive would. Installs itself for its
// lifetime; everything else goes to the file system.
class FailingFileWriter final : public FileWriter {
public:
    FailingFileWriter();
    ~FailingFileWriter() override;

    void Fail(const QString& pathPart, const QString& reason = QStringLiteral("No space left on device"));
    void Heal() { failures.clear(); }

    bool MakeFolder(const QString& path, QString& error) override;
    bool WriteFile(const QString& path, const QByteArray& bytes, QString& error) override;
    bool AppendFile(const QString& path, const QByteArray& bytes, QString& error) override;
    bool RenameFile(const QString& from, const QString& to, QString& error) override;
    bool ReplaceFile(const QString& from, const QString& to, QString& error) override;
    bool RemoveFile(const QString& path, QString& error) override;

private:
    bool Refused(const QString& path, QString& error) const;

    QMap<QString, QString> failures; // path part -> reason
};
