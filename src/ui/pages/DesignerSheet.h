#pragma once

#include <QWidget>

// The Designer page; it holds no controls yet.
class TDesignerSheet : public QWidget {
public:
    explicit TDesignerSheet(QWidget* parent = nullptr)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("TabSheet1"));
    }
};
