#pragma once

#include <QStringList>

class QTreeWidget;

// A report-style list: whole rows, no tree decoration, not editable, fixed
// column headers.
QTreeWidget* ReportList(const char* name, const QStringList& columns);
