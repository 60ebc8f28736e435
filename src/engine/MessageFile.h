#pragma once

#include <QString>
#include <QStringList>

class TWriteAlarm;

// Every line of the message log, appended as shown to a file, so that the
// log on screen can be trimmed without losing a line. Before a data log is
// chosen the lines go to "Logs/messages_<start>.txt"; afterwards to the file
// beside the data log, which starts with a line naming the earlier file.
// A line that cannot be written is kept and written with the next one; the
// failure goes to the alarm, never to the message log (it would write
// itself again).
class TMessageFile {
public:
    // `startMoment`: the program's start (local date-time, days).
    TMessageFile(double startMoment, TWriteAlarm& alarm);

    const QString& FileName() const { return fileName; }
    void Append(const QString& line);
    // The data log's file was chosen: the lines go beside it from now on.
    void FollowDataLog(const QString& dataLogFileName);

private:
    TWriteAlarm& alarm;
    QString fileName;
    QStringList pending;
    bool written = false; // the current file holds lines of this run
};
