#include "ui/DataLogWindow.h"

#include "engine/DataTableCsv.h"
#include "ui/DataLogTableModel.h"
#include "ui/DataOut.h"
#include "ui/widgets/RtGraph2D.h"
#include "ui/widgets/RtPointSeries.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double LineWidth = 2;

// Distinct on white and in print; repeated when a log has more columns.
const QList<QColor>& ColumnColours()
{
    static const QList<QColor> colours = {QColor(0x1f77b4), QColor(0xd62728), QColor(0x2ca02c), QColor(0x9467bd),
                                          QColor(0xff7f0e), QColor(0x8c564b), QColor(0xe377c2), QColor(0x17becf)};
    return colours;
}

} // namespace

TDataLogWindow::TDataLogWindow(const QString& fileName, TDataLogContent content, QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , fileName(fileName)
{
    setObjectName(QStringLiteral("DataLogWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Data log %1").arg(QFileInfo(fileName).fileName()));

    auto* splitter = new QSplitter(Qt::Vertical, this);
    RtGraph2DDataLog = new TRtGraph2D(splitter);
    RtGraph2DDataLog->setObjectName(QStringLiteral("RtGraph2DDataLog"));
    TableViewDataLog = new QTableView(splitter);
    TableViewDataLog->setObjectName(QStringLiteral("TableViewDataLog"));
    model = new TDataLogTableModel(std::move(content), TableViewDataLog);
    TableViewDataLog->setModel(model);
    TableViewDataLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableViewDataLog->verticalHeader()->hide();
    TableViewDataLog->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TableViewDataLog->verticalHeader()->setDefaultSectionSize(TableViewDataLog->fontMetrics().height() + 4);
    setCentralWidget(splitter);

    BuildMenu();
    PlotColumns();
    const QString rows = QStringLiteral("%1 rows").arg(Content().RowCount());
    statusBar()->showMessage(Content().Note.isEmpty() ? rows : rows + QStringLiteral(". ") + Content().Note);
    resize(1000, 700);
    splitter->setSizes({400, 300});
}

TDataLogWindow::~TDataLogWindow() = default;

const TDataLogContent& TDataLogWindow::Content() const
{
    return model->Content();
}

void TDataLogWindow::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction* exportCsv = file->addAction(QStringLiteral("Export data table as CSV..."));
    exportCsv->setObjectName(QStringLiteral("ExportDataTableAsCSV1"));
    QAction* saveChart = file->addAction(QStringLiteral("Save chart as..."));
    saveChart->setObjectName(QStringLiteral("SaveChartAs1"));
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("Close1"));
    connect(exportCsv, &QAction::triggered, this, &TDataLogWindow::ExportDataTableAsCSV1Click);
    connect(saveChart, &QAction::triggered, this, &TDataLogWindow::SaveChartAs1Click);
    connect(close, &QAction::triggered, this, &QWidget::close);
}

// One line per column, over minutes since the log's first row. A column
// keeps its line from block to block while its name stays (the n-th column
// of a name continues the n-th line of that name); a row without a value
// leaves a gap.
void TDataLogWindow::PlotColumns()
{
    const TDataLogContent& content = Content();
    RtGraph2DDataLog->YAxis1().SetCaption(QStringLiteral("Flow"));
    QDateTime first;
    for (const TDataLogBlock& block : content.Blocks) {
        if (!block.Rows.isEmpty()) {
            first = block.Rows.first().Time;
            break;
        }
    }
    QMap<QPair<QString, int>, QList<QPointF>> points;
    QList<QPair<QString, int>> order;
    for (const TDataLogBlock& block : content.Blocks) {
        QMap<QString, int> seen;
        for (int c = 0; c < block.Columns.size(); ++c) {
            const QString name = DataLogColumnName(block.Columns.at(c));
            const QPair<QString, int> key(name, seen[name]++);
            if (!points.contains(key))
                order << key;
            QList<QPointF>& line = points[key];
            for (const TDataLogRow& row : block.Rows) {
                const double minutes = first.msecsTo(row.Time) / 60000.0;
                line.append({minutes, row.Values.at(c).value_or(std::numeric_limits<double>::quiet_NaN())});
            }
        }
    }
    int drawn = 0;
    for (const QPair<QString, int>& key : std::as_const(order)) {
        const QList<QPointF>& line = points.value(key);
        // A column without a single value (a device never configured) has nothing to show.
        if (std::all_of(line.cbegin(), line.cend(), [](const QPointF& point) { return std::isnan(point.y()); }))
            continue;
        auto* series = new TRtPointSeries(RtGraph2DDataLog);
        series->SetLineWidth(LineWidth);
        series->SetLineColor(ColumnColours().at(drawn++ % ColumnColours().size()));
        series->Plottable()->setName(key.first);
        series->SetPoints(line);
    }
    RtGraph2DDataLog->legend->setVisible(drawn > 0);
    RtGraph2DDataLog->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
}

QString TDataLogWindow::ProposedFile(const QString& extension) const
{
    const QFileInfo log(fileName);
    return QDir(log.path()).filePath(log.completeBaseName() + extension);
}

void TDataLogWindow::ExportDataTableAsCSV1Click()
{
    QString written;
    if (ExportDataTableAsCsv(Content(), ProposedFile(QStringLiteral(".csv")), written))
        statusBar()->showMessage(QStringLiteral("Data table exported to %1").arg(QDir::toNativeSeparators(written)));
}

void TDataLogWindow::SaveChartAs1Click()
{
    QString written;
    if (SaveChartAs(*RtGraph2DDataLog, ProposedFile(QStringLiteral(".png")), written))
        statusBar()->showMessage(QStringLiteral("Chart saved to %1").arg(QDir::toNativeSeparators(written)));
}
