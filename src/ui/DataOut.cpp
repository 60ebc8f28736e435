#include "ui/DataOut.h"

#include "base/Prompts.h"
#include "engine/DataTableCsv.h"

#include <qcustomplot.h>

#include <QDir>
#include <QFileInfo>

namespace {

bool AskSaveFileName(const QString& filter, const QString& defaultExt, const QString& proposedFile, QString& fileName)
{
    const QFileInfo proposed(proposedFile);
    return CurrentPrompts().SaveFileName({filter, defaultExt, proposed.path(), proposed.fileName()}, fileName);
}

} // namespace

bool SaveChartPicture(QCustomPlot& chart, const QString& fileName, QString& error)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    bool saved = false;
    // A width and height of 0 keep the chart's size on screen.
    if (extension == QStringLiteral("pdf"))
        saved = chart.savePdf(fileName);
    else if (extension == QStringLiteral("png"))
        saved = chart.savePng(fileName);
    else {
        error = QStringLiteral("A chart is saved as a PNG or a PDF file: name it .png or .pdf.");
        return false;
    }
    if (!saved)
        error = QStringLiteral("Cannot write file \"%1\".").arg(QDir::toNativeSeparators(fileName));
    return saved;
}

bool ExportDataTableAsCsv(const TDataLogContent& content, const QString& proposedFile, QString& fileName)
{
    if (!AskSaveFileName(QStringLiteral("CSV file (*.csv)|*.csv"), QStringLiteral("csv"), proposedFile, fileName))
        return false;
    QString error;
    if (WriteDataTableCsv(fileName, content, error))
        return true;
    ShowMessage(QStringLiteral("Exporting the data table failed: ") + error);
    return false;
}

bool SaveChartAs(QCustomPlot& chart, const QString& proposedFile, QString& fileName)
{
    if (!AskSaveFileName(QStringLiteral("PNG picture (*.png)|*.png|PDF document (*.pdf)|*.pdf"), QStringLiteral("png"),
                         proposedFile, fileName))
        return false;
    QString error;
    if (SaveChartPicture(chart, fileName, error))
        return true;
    ShowMessage(QStringLiteral("Saving the chart failed: ") + error);
    return false;
}
