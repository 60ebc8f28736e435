#pragma once

#include <QString>

// Segment program files: plain ".txt" files, one program line per text line,
// kept in the folder "Segment Programs" next to the program file.

QString SegmentProgramFolder();
// The same folder, made when it is missing: a file dialog given a folder that
// does not exist opens in its parent and offers the folder's name as a file.
QString MadeSegmentProgramFolder();

// "YYYY-MM-DD HH-MM <port> <type name>.txt" for a moment in days since
// 1899-12-30, e.g. "2026-10-16 09-52 COM3 MFC-A.txt".
QString ProposedSegmentProgramFileName(double moment, const QString& port, const QString& typeName);

// Writes the program without its leading and trailing blanks and control
// characters, every line (the last too) ended by CR LF, in Windows-1252.
// False with `error` set when the file cannot be written; an existing file
// is then left as it was.
bool SaveSegmentProgramFile(const QString& fileName, const QString& program, QString& error);

// Program files are a few hundred bytes; a larger file than this is no program.
inline constexpr qint64 MaxSegmentProgramFileBytes = 1024 * 1024;

// Reads a program file (Windows-1252, or UTF-8/UTF-16 with a byte-order
// mark): its lines joined by CR LF, without leading and trailing blanks and
// control characters. False with `error` set when the file cannot be read or
// is larger than MaxSegmentProgramFileBytes ("Program file too large.") or
// holds a NUL ("Program file is not a text file.").
bool ReadSegmentProgramFile(const QString& fileName, QString& program, QString& error);

enum TSegmentFileLoad : quint8 {
    sflLoaded,     // `program` holds the valid text for the device
    sflUnreadable, // `error` says why; nothing was validated
    sflInvalid,    // the validator has shown its message; the device keeps its program
    sflDisordered, // `error` names the line whose time is earlier than the one before
    sflEmpty,      // the file holds no program: loading it leaves the device at 0 %
};

// Reads a program file for a device and validates its text. Equal times
// pass; a time earlier than the one before it does not, or the list, the
// graph and the table would each show a different program.
TSegmentFileLoad LoadSegmentProgramFile(const QString& fileName, QString& program, QString& error);
