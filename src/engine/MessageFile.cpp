#include "engine/MessageFile.h"

#include "base/Clock.h"
#include "base/FileWriter.h"
#include "base/ProgramFolder.h"
#include "base/TextEncoding.h"
#include "base/TextHelpers.h"
#include "engine/DataLog.h"
#include "engine/WriteAlarm.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

TMessageFile::TMessageFile(double startMoment, TWriteAlarm& alarm)
    : alarm(alarm)
    , fileName(QDir(ProgramFolder())
                   .filePath(QStringLiteral("Logs/messages_")
                             + DaysToDateTime(startMoment).toString(QStringLiteral("yyyy-MM-dd-HH-mm"))
                             + QStringLiteral(".txt")))
{
}

void TMessageFile::Append(const QString& line)
{
    pending << line;
    FileWriter& writer = CurrentFileWriter();
    QString error;
    if (!writer.MakeFolder(QFileInfo(fileName).path(), error)
        || !writer.AppendFile(fileName, TextFileBytes(pending.join(QLatin1Char('\n'))), error)) {
        alarm.Failed(TWriteAlarm::MessageFileWriter, QStringLiteral("Writing messages failed: ") + error, 0);
        return;
    }
    pending.clear();
    written = true;
    alarm.Succeeded(TWriteAlarm::MessageFileWriter);
}

void TMessageFile::FollowDataLog(const QString& dataLogFileName)
{
    const QString next = DataLogMessageFileName(dataLogFileName);
    if (next == fileName)
        return;
    const QString earlier = QFileInfo(fileName).fileName();
    const bool earlierHasLines = written;
    fileName = next;
    written = false;
    if (earlierHasLines)
        Append(TimeStampPrefix() + QStringLiteral("Earlier messages: ") + earlier);
}
