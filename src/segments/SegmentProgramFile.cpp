#include "segments/SegmentProgramFile.h"

#include "base/Clock.h"
#include "base/ProgramFolder.h"
#include "base/TextEncoding.h"
#include "segments/SegmentProgram.h"
#include "base/TextHelpers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>

QString SegmentProgramFolder()
{
    return QDir(ProgramFolder()).filePath(QStringLiteral("Segment Programs"));
}

QString MadeSegmentProgramFolder()
{
    const QString folder = SegmentProgramFolder();
    QDir().mkpath(folder);
    return folder;
}

QString ProposedSegmentProgramFileName(double moment, const QString& port, const QString& typeName)
{
    return DaysToDateTime(moment).toString(QStringLiteral("yyyy-MM-dd HH-mm")) + u' ' + port + u' ' + typeName
         + QStringLiteral(".txt");
}

bool SaveSegmentProgramFile(const QString& fileName, const QString& program, QString& error)
{
    QByteArray bytes;
    for (const QString& line : ProgramLines(TrimControl(program)))
        bytes += EncodeCp1252(line) + "\r\n";

    // Written beside the target and renamed over it, so a failed write never
    // leaves a cut-off program behind.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("Cannot create file \"%1\". %2")
                    .arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("Cannot write file \"%1\". %2")
                    .arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    return true;
}

bool ReadSegmentProgramFile(const QString& fileName, QString& program, QString& error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    // Read no more than one byte past the limit: a device file or a wrong
    // pick of a huge file must neither hang nor fill the memory.
    const QByteArray bytes = file.read(MaxSegmentProgramFileBytes + 1);
    if (bytes.size() > MaxSegmentProgramFileBytes) {
        error = QStringLiteral("Program file too large.");
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Cannot read file \"%1\". %2").arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    const QString text = DecodeTextFileBytes(bytes);
    // No text file holds a NUL; a binary file picked by mistake would
    // otherwise be named by one garbled character of it.
    if (text.contains(QChar(u'\0'))) {
        error = QStringLiteral("Program file is not a text file.");
        return false;
    }
    program = TrimControl(ProgramLines(text).join(QStringLiteral("\r\n")));
    return true;
}

TSegmentFileLoad LoadSegmentProgramFile(const QString& fileName, QString& program, QString& error)
{
    QString text;
    if (!ReadSegmentProgramFile(fileName, text, error))
        return sflUnreadable;
    if (text.isEmpty()) {
        program.clear();
        return sflEmpty;
    }
    if (!ValidateSegmentProgram(text))
        return sflInvalid;
    const int disordered = FirstDecreasingTimeLine(text);
    if (disordered > 0) {
        error = QStringLiteral("Program times must not decrease (line %1).").arg(disordered);
        return sflDisordered;
    }
    program = text;
    return sflLoaded;
}
