// The data taken out of the window: the live table as CSV, the chart as a
// picture, and a logged run reopened in a window of its own.
#include "ui/GUIF.h"

#include "base/ProgramFolder.h"
#include "base/Prompts.h"
#include "engine/DataLogFile.h"
#include "engine/DataTableCsv.h"
#include "ui/DataLogWindow.h"
#include "ui/DataOut.h"
#include "ui/widgets/RtGraph2D.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

QString TGUIF::ProposedDataOutFile(const QString& extension) const
{
    const QFileInfo log(dataLog.DataLogFileName());
    if (dataLog.DataLogFileName().isEmpty())
        return QDir(ProgramFolder()).filePath(QStringLiteral("Logs/data") + extension);
    return QDir(log.path()).filePath(log.completeBaseName() + extension);
}

void TGUIF::OpenDataLog1Click()
{
    const FileDialogRequest request{QStringLiteral("Data logs (*.txt, *.bak1, *.bak2)|*.txt;*.bak1;*.bak2"), QString(),
                                    QDir(ProgramFolder()).filePath(QStringLiteral("Logs")), QString()};
    QString fileName;
    if (!CurrentPrompts().OpenFileName(request, fileName))
        return;
    TDataLogContent content;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = ReadDataLogFile(fileName, content, error);
    QApplication::restoreOverrideCursor();
    if (!read) {
        ShowMessage(error);
        return;
    }
    (new TDataLogWindow(fileName, std::move(content), this))->show();
}

void TGUIF::ExportDataTableAsCSV1Click()
{
    if (dataLog.DataLineCount() == 0) {
        ShowMessage(QStringLiteral("The data table holds no rows yet."));
        return;
    }
    TDataLogContent content;
    QString error;
    if (!LiveDataTableContent(dataLog, content, error)) {
        ShowMessage(QStringLiteral("Exporting the data table failed: ") + error);
        return;
    }
    QString written;
    if (ExportDataTableAsCsv(content, ProposedDataOutFile(QStringLiteral(".csv")), written))
        MM(QStringLiteral("Data table exported: ") + QDir::toNativeSeparators(written));
}

void TGUIF::SaveChartAs1Click()
{
    QString written;
    if (SaveChartAs(*RtGraph2DMain, ProposedDataOutFile(QStringLiteral(".png")), written))
        MM(QStringLiteral("Chart saved: ") + QDir::toNativeSeparators(written));
}
