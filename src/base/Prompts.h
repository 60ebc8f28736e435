#pragma once

#include <QString>

// A file dialog's set-up: filter in the "Description|*.ext" form, default
// extension, initial folder and proposed file name.
struct FileDialogRequest {
    QString Filter;
    QString DefaultExt;
    QString InitialDir;
    QString FileName;
};

// Modal questions to the operator. The window installs an implementation that
// shows dialogs; tests install one that records the texts and answers from a
// script, so no logic ever blocks on a real dialog.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void ShowMessage(const QString& text) = 0;
    // Text input dialog; true when the operator confirmed. `value` holds the
    // initial text and receives the answer.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
    // A yes/no question; true for yes.
    virtual bool Confirm(const QString& question) = 0;
    virtual bool SaveFileName(const FileDialogRequest& request, QString& fileName) = 0;
    virtual bool OpenFileName(const FileDialogRequest& request, QString& fileName) = 0;
};

// The installed service (not owned); nullptr restores the default, which only
// traces the messages and cancels every question.
void SetPrompts(Prompts* prompts);
Prompts& CurrentPrompts();

// Shorthand for CurrentPrompts().ShowMessage(text).
void ShowMessage(const QString& text);
