#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

// The data table, kept once: as the log file's bytes, up to date as lines
// are added, so that a save costs a copy of a few block references instead
// of encoding the whole table again, and a view reads the lines it shows
// from them. The bytes are those of the whole table written as one
// Windows-1252 text with CR LF line ends.
class TDataLogBytes {
public:
    void Append(const QStringList& lines);
    // The file's bytes as consecutive parts; the parts are shared, not copied.
    QList<QByteArray> Snapshot() const;
    // Whether the table holds nothing but blanks and control characters.
    bool Blank() const { return blank; }

    qsizetype LineCount() const { return lineCount; }
    // The line as it was added.
    QString Line(qsizetype index) const;

private:
    struct Place {
        qint32 block;
        qint32 offset;
    };

    void Seal(const QString& line);

    QList<QByteArray> sealedBlocks; // full blocks, never changed again
    QByteArray openBlock;           // filled up to the block size, then sealed
    QList<Place> places;            // where each sealed line's bytes begin
    // Lines whose bytes do not give them back (line breaks, characters the
    // code page lacks), as they were added.
    QHash<qsizetype, QString> unusualLines;
    QString lastLine;               // its bytes depend on whether another line follows
    qsizetype lineCount = 0;
    bool blank = true;
};
