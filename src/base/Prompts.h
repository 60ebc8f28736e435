#pragma once

#include <QString>

#include <functional>

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
    // A question with the answers Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& question) = 0;
    // Text input dialog; true when the operator confirmed. `value` holds the
    // initial text and receives the answer.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
    virtual bool SaveFileName(const FileDialogRequest& request, QString& fileName) = 0;
    virtual bool OpenFileName(const FileDialogRequest& request, QString& fileName) = 0;
};

// The installed service (not owned); nullptr restores the default, which only
// traces the messages and cancels every question.
void SetPrompts(Prompts* prompts);
Prompts& CurrentPrompts();

// Shorthand for CurrentPrompts().ShowMessage(text).
void ShowMessage(const QString& text);

// For its lifetime, message boxes go to `sink` instead of opening; questions
// still go to the service it stands in for, which it installs again at its end.
class MessageRedirect final : public Prompts {
public:
    explicit MessageRedirect(std::function<void(const QString&)> sink);
    ~MessageRedirect() override;
    MessageRedirect(const MessageRedirect&) = delete;
    MessageRedirect& operator=(const MessageRedirect&) = delete;

    void ShowMessage(const QString& text) override { sink(text); }
    bool AskYesNo(const QString& question) override { return outer.AskYesNo(question); }
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override
    {
        return outer.InputQuery(caption, prompt, value);
    }
    bool SaveFileName(const FileDialogRequest& request, QString& fileName) override
    {
        return outer.SaveFileName(request, fileName);
    }
    bool OpenFileName(const FileDialogRequest& request, QString& fileName) override
    {
        return outer.OpenFileName(request, fileName);
    }

private:
    std::function<void(const QString&)> sink;
    Prompts* installedBefore;
    Prompts& outer;
};
