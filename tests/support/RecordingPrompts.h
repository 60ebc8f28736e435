#pragma once

#include "base/Prompts.h"

#include <QQueue>
#include <QStringList>

// Records every message box and answers questions from a script, so tests
// never block on a dialog. Installs itself for its lifetime.
class RecordingPrompts final : public Prompts {
public:
    RecordingPrompts();
    ~RecordingPrompts() override;

    void ShowMessage(const QString& text) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool Confirm(const QString& question) override;
    bool SaveFileName(const FileDialogRequest& request, QString& fileName) override;
    bool OpenFileName(const FileDialogRequest& request, QString& fileName) override;

    // Next answers; an empty queue cancels.
    QQueue<QString> InputAnswers;
    QQueue<QString> FileAnswers;
    QQueue<bool> ConfirmAnswers;

    QStringList Messages;
    QStringList Questions;            // prompts of InputQuery
    QStringList Confirmations;        // questions of Confirm
    QList<FileDialogRequest> FileRequests;
};
