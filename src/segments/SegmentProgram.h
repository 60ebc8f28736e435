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

// True for a valid program (the empty text is one); otherwise shows the first
// problem in a message box.
bool ValidateSegmentProgram(const QString& program);
int SegmentCount(const QString& program);
// The line (counted from 1) of the first point whose time is earlier than
// the time of the point before it; 0 when the times never decrease.
int FirstDecreasingTimeLine(const QString& program);
// Line `line` (from 0) as a point. A missing line gives the "ID not found"
// point, an unreadable one shows "Failed to read segment" and gives the
// "Invalid" point; both have Index -1.
void ReadSegment(int line, const QString& program, TSegment& segment);
// The point in force `minutes` after the start; its Setpoint is the wanted
// setpoint. An unreadable line shows its message and ends the program there.
TSegment SetpointAtTime(const QString& program, double minutes);
// The time of the last line of a valid program; 0 otherwise.
double ProgramEndTime(const QString& program);
// Merges `line` into the program, the later of two lines at one time winning,
// and rewrites it sorted by time, every line ended by CR LF. Lines without 3
// or 4 elements are dropped; a time that does not read raises EConvertError
// and leaves the program unchanged.
void InsertSegmentLine(QString& program, const QString& line);
QString SegmentRowsToText(const QList<TSegmentRow>& rows);
// Replaces `rows` by the points of the program; an unreadable line shows
// "Failed to read segment program" and ends the rows with its partial row.
void TextToSegmentRows(const QString& program, QList<TSegmentRow>& rows);
