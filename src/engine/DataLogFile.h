#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One device column of a data table, as its header block names it.
struct TDataLogColumn {
    QString Device; // the device type's name
    QString Unit;
    QString Gas;
    // Known only while the table is the live one: the device's port and name.
    QString Port;
    QString Name;
};

struct TDataLogRow {
    QDateTime Time; // local time
    QList<std::optional<double>> Values; // one per column; none where the table says "?"
};

// A header block and the rows below it, up to the next block.
struct TDataLogBlock {
    int FirstLine = 0; // index of the block's first line in the table
    QList<TDataLogColumn> Columns;
    QList<TDataLogRow> Rows;
};

struct TDataLogContent {
    QList<TDataLogBlock> Blocks;
    // Set when the last line was cut off and so left out.
    QString Note;

    int RowCount() const;
};

// Reads the lines of a data table as the program writes them: any number of
// header blocks, each with any number of devices, and their rows. A last
// line cut short is left out (with a note); any other line that is neither
// part of a header block nor a data row makes the whole text refused, with
// the reason in `error`.
bool ParseDataLogLines(const QStringList& lines, TDataLogContent& content, QString& error);

// Reads a data log file (Windows-1252, or UTF-8/UTF-16 with a byte-order
// mark). Binary files, files without a header block and files too large to
// be a log are refused with a message that names the file.
bool ReadDataLogFile(const QString& path, TDataLogContent& content, QString& error);

// Largest file taken as a data log: months of rows of a rig.
inline constexpr qint64 MaxDataLogFileBytes = 256LL * 1024 * 1024;
