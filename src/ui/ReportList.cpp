#include "ui/ReportList.h"

#include "ui/Named.h"

#include <QHeaderView>
#include <QTreeWidget>

QTreeWidget* ReportList(const char* name, const QStringList& columns)
{
    auto* list = Named(new QTreeWidget, name);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    return list;
}
