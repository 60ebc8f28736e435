#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A segment program: one point per line, "time setpoint Step|Ramp [note]",
// times in minutes, setpoints in percent of full scale, lines joined by CR LF.

// What happens after the last point: keep the last setpoint.
enum TSegProgTermination : quint8 { tspttKeep };

// One point as read from a program text.
struct TSegment {
    double Time = 0;     // minutes
    double Setpoint = 0; // percent of full scale
    QString aType;       // as written; "Invalid" or "ID not found" for a failed read
    qint32 Index = 0;    // zero-based line; -1 unreadable or missing; -2 the implied start
    QString Note;        // as written (underscores kept), or empty
};

// One row of the segment list: time, setpoint, type and optionally a note.
using TSegmentRow = QStringList;

// The lines of a text: CR LF, a lone CR or a lone LF ends a line, and a break
// after the last line adds no line.
QStringList ProgramLines(const QString& text);

bool ValidateSegmentProgram(const QString& program);
int SegmentCount(const QString& program);
void ReadSegment(int line, const QString& program, TSegment& segment);
TSegment SetpointAtTime(const QString& program, double minutes);
double ProgramEndTime(const QString& program);
void InsertSegmentLine(QString& program, const QString& line);
QString SegmentRowsToText(const QList<TSegmentRow>& rows);
void TextToSegmentRows(const QString& program, QList<TSegmentRow>& rows);
