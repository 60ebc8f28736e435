#include "ui/BatchedLines.h"

#include <QPlainTextEdit>
#include <QScrollBar>

TBatchedLines::TBatchedLines(QPlainTextEdit* view)
    : QObject(view)
    , view(view)
{
}

void TBatchedLines::Add(const QString& line)
{
    if (pending.isEmpty())
        QMetaObject::invokeMethod(this, &TBatchedLines::Flush, Qt::QueuedConnection);
    pending << line;
}

void TBatchedLines::Flush()
{
    if (pending.isEmpty())
        return;
    // Lines the view would drop at once are not laid out at all.
    const int kept = view->maximumBlockCount();
    if (kept > 0 && pending.size() > kept)
        pending.remove(0, pending.size() - kept);
    view->appendPlainText(pending.join(QLatin1Char('\n')));
    pending.clear();
    QScrollBar* bar = view->verticalScrollBar();
    bar->setValue(bar->maximum());
}
