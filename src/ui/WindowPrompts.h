#pragma once

#include "base/Prompts.h"

class QWidget;

// The operator's dialogs: message boxes, the text input dialog and the file
// dialogs, over `parent`.
class TWindowPrompts final : public Prompts {
public:
    explicit TWindowPrompts(QWidget* parent) : parent(parent) {}

    void ShowMessage(const QString& text) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool Confirm(const QString& question) override;
    bool SaveFileName(const FileDialogRequest& request, QString& fileName) override;
    bool OpenFileName(const FileDialogRequest& request, QString& fileName) override;

private:
    bool AskFileName(const FileDialogRequest& request, bool save, QString& fileName);

    QWidget* parent;
};

// A "Description|patterns|..." filter as Qt's file dialogs take it:
// "Description (patterns)" entries joined by ";;". Every pattern is offered
// in lower and in upper case too, since file systems may tell them apart.
QString QtFileDialogFilter(const QString& filter);
