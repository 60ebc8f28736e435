#pragma once

#include <QWidget>

// The Tools page; it holds no controls yet.
class TToolsSheet : public QWidget {
public:
    explicit TToolsSheet(QWidget* parent = nullptr)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("TabSheetTools"));
    }
};
