#include "ui/DataLogTableModel.h"

#include "base/TextHelpers.h"
#include "engine/DataTableCsv.h"

#include <QBrush>
#include <QFont>

TDataLogTableModel::TDataLogTableModel(TDataLogContent content, QObject* parent)
    : QAbstractTableModel(parent)
    , content(std::move(content))
{
    for (int b = 0; b < this->content.Blocks.size(); ++b) {
        const TDataLogBlock& block = this->content.Blocks.at(b);
        columns = qMax(columns, int(block.Columns.size()) + 1);
        if (b > 0)
            lines.append({b, HeaderLine});
        for (int r = 0; r < block.Rows.size(); ++r)
            lines.append({b, r});
    }
}

int TDataLogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(lines.size());
}

int TDataLogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns;
}

bool TDataLogTableModel::IsHeaderRow(int row) const
{
    return row >= 0 && row < lines.size() && lines.at(row).row == HeaderLine;
}

QString TDataLogTableModel::HeaderText(int block, int column) const
{
    if (column == 0)
        return QStringLiteral("Time");
    const QList<TDataLogColumn>& names = content.Blocks.at(block).Columns;
    return column <= names.size() ? DataLogColumnName(names.at(column - 1)) : QString();
}

QString TDataLogTableModel::CellText(const Line& line, int column) const
{
    if (line.row == HeaderLine)
        return HeaderText(line.block, column);
    const TDataLogRow& row = content.Blocks.at(line.block).Rows.at(line.row);
    if (column == 0)
        return row.Time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (column > row.Values.size())
        return QString();
    const std::optional<double>& value = row.Values.at(column - 1);
    return value ? FormatFloatDecimals(*value, 1, 6) : QStringLiteral("?"); // as the log shows it
}

QVariant TDataLogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= lines.size())
        return {};
    const Line& line = lines.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return CellText(line, index.column());
    case Qt::TextAlignmentRole:
        return line.row == HeaderLine || index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                              : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        if (line.row == HeaderLine) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        return line.row == HeaderLine ? QVariant(QBrush(Qt::lightGray)) : QVariant();
    default:
        return {};
    }
}

QVariant TDataLogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return content.Blocks.isEmpty() ? QVariant() : QVariant(HeaderText(0, section));
}
