#pragma once

#include "engine/DataLogFile.h"

#include <QMainWindow>

class QAction;
class QTableView;
class TDataLogTableModel;
class TRtGraph2D;

// A data log reopened to be looked at again, in a window of its own beside
// the running program: its chart and its table, read-only, with the exports
// of the File menu. The live chart and table are never touched.
class TDataLogWindow final : public QMainWindow {
    Q_OBJECT
public:
    TDataLogWindow(const QString& fileName, TDataLogContent content, QWidget* parent = nullptr);
    ~TDataLogWindow() override;

    const QString& FileName() const { return fileName; }
    const TDataLogContent& Content() const;
    TRtGraph2D* Chart() const { return RtGraph2DDataLog; }

    void ExportDataTableAsCSV1Click();
    void SaveChartAs1Click();

private:
    void BuildMenu();
    void PlotColumns();
    // The proposed export file: the log's own name with `extension`.
    QString ProposedFile(const QString& extension) const;

    const QString fileName;
    TRtGraph2D* RtGraph2DDataLog = nullptr;
    QTableView* TableViewDataLog = nullptr;
    TDataLogTableModel* model = nullptr;
};
