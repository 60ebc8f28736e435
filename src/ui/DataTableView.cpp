#include "ui/DataTableView.h"

#include <QAbstractListModel>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

class TDataTableLines : public QAbstractListModel {
public:
    explicit TDataTableLines(TDataTableView::LineReader reader, QObject* parent)
        : QAbstractListModel(parent)
        , reader(std::move(reader))
    {
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(count); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return reader(index.row());
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void Add(qsizetype added)
    {
        if (added <= 0)
            return;
        beginInsertRows({}, int(count), int(count + added - 1));
        count += added;
        endInsertRows();
    }

    void Replace(qsizetype total)
    {
        beginResetModel();
        count = total;
        endResetModel();
    }

    QString Line(qsizetype row) const { return reader(row); }
    qsizetype Count() const { return count; }

private:
    TDataTableView::LineReader reader;
    qsizetype count = 0;
};

TDataTableView::TDataTableView(LineReader reader, QWidget* parent)
    : QListView(parent)
    , lines(new TDataTableLines(std::move(reader), this))
{
    setModel(lines);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Every line is one row of one font: the view places rows without asking each.
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TDataTableView::LinesAdded(qsizetype count)
{
    lines->Add(count);
}

void TDataTableView::LinesReplaced(qsizetype count)
{
    lines->Replace(count);
}

QString TDataTableView::Text() const
{
    QStringList text;
    text.reserve(lines->Count());
    for (qsizetype row = 0; row < lines->Count(); ++row)
        text << lines->Line(row);
    return text.join(QLatin1Char('\n'));
}

QString TDataTableView::SelectedText() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList text;
    for (int row : rows)
        text << lines->Line(row);
    return text.join(QLatin1Char('\n'));
}

void TDataTableView::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy) {
        QGuiApplication::clipboard()->setText(SelectedText());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}
