#pragma once

#include "engine/DataLogFile.h"

#include <QAbstractTableModel>

// A reopened data log as a read-only table: the time and one column per
// device. The first header block names the columns; every later block
// starts with a row that names its own, as devices or units change mid-run.
class TDataLogTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDataLogTableModel(TDataLogContent content, QObject* parent = nullptr);

    const TDataLogContent& Content() const { return content; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Whether a row names the columns of the block below it.
    bool IsHeaderRow(int row) const;

private:
    struct Line {
        int block;
        int row; // HeaderLine for the row that names the block's columns
    };
    static constexpr int HeaderLine = -1;

    QString HeaderText(int block, int column) const;
    QString CellText(const Line& line, int column) const;

    const TDataLogContent content;
    QList<Line> lines;
    int columns = 1;
};
