#pragma once

#include <QWidget>

// The Mixtures page; it holds no controls yet.
class TMixturesSheet : public QWidget {
public:
    explicit TMixturesSheet(QWidget* parent = nullptr)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("TabSheetMixtures"));
    }
};
