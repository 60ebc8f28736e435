#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// The data log file's bytes, kept up to date as lines are added to the
// table, so that a save costs a copy of a few block references instead of
// encoding the whole table again. The bytes are those of the whole table
// written as one Windows-1252 text with CR LF line ends.
class TDataLogBytes {
public:
    void Append(const QStringList& lines);
    // The file's bytes as consecutive parts; the parts are shared, not copied.
    QList<QByteArray> Snapshot() const;
    // Whether the table holds nothing but blanks and control characters.
    bool Blank() const { return blank; }

private:
    void Seal(const QByteArray& bytes);

    QList<QByteArray> sealedBlocks; // full blocks, never changed again
    QByteArray openBlock;           // filled up to the block size, then sealed
    QString lastLine;               // its bytes depend on whether another line follows
    qsizetype lineCount = 0;
    bool blank = true;
};
