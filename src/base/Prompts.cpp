#include "base/Prompts.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcPrompts, "Prompts", QtWarningMsg)

// Used before a window exists: nothing may block, so questions are cancelled.
class TracingPrompts final : public Prompts {
public:
    void ShowMessage(const QString& text) override { qCWarning(lcPrompts).noquote() << text; }
    bool InputQuery(const QString&, const QString&, QString&) override { return false; }
    bool Confirm(const QString&) override { return false; }
    bool SaveFileName(const FileDialogRequest&, QString&) override { return false; }
    bool OpenFileName(const FileDialogRequest&, QString&) override { return false; }
};

TracingPrompts fallbackPrompts;
Prompts* installedPrompts = nullptr;

} // namespace

void SetPrompts(Prompts* prompts)
{
    installedPrompts = prompts;
}

Prompts& CurrentPrompts()
{
    return installedPrompts ? *installedPrompts : fallbackPrompts;
}

void ShowMessage(const QString& text)
{
    CurrentPrompts().ShowMessage(text);
}
