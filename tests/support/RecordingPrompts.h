#pragma once

#include "base/Prompts.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Records every message box and answers questions from a script, so tests
// never block on a dialog. Installs itself for its lifetime.
class RecordingPrompts final : public Prompts {
public:
    RecordingPrompts();
    ~RecordingPrompts() override;

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& question) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool SaveFileName(const FileDialogRequest& request, QString& fileName) override;
    bool OpenFileName(const FileDialogRequest& request, QString& fileName) override;

    // Next answers; an empty queue cancels.
    QQueue<QString> InputAnswers;
    QQueue<QString> FileAnswers;
    QQueue<bool> YesNoAnswers;
    // Runs while a message box would be open, as the window's event loop
    // goes on behind a real one.
    std::function<void(const QString&)> WhileMessageOpen;

    QStringList Messages;
    QStringList Questions;            // prompts of InputQuery and AskYesNo
    QList<FileDialogRequest> FileRequests;
};
