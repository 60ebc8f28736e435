#pragma once

#include <QObject>
#include <QStringList>

class QPlainTextEdit;

// Lines for a read-only text view that always shows its end, added at most
// once per turn of the event loop: a view that takes its lines one at a time
// lays itself out and scrolls for each of them.
class TBatchedLines : public QObject {
    Q_OBJECT
public:
    explicit TBatchedLines(QPlainTextEdit* view);

    void Add(const QString& line);
    // Shows the lines added so far now.
    void Flush();

private:
    QPlainTextEdit* view;
    QStringList pending;
};
