#include "base/Prompts.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcPrompts, "Prompts", QtWarningMsg)

// Used before a window exists: nothing may block, so questions are cancelled.
class TracingPrompts final : public Prompts {
public:
    void ShowMessage(const QString& text) override { qCWarning(lcPrompts).noquote() << text; }
    bool AskYesNo(const QString&) override { return false; }
    bool InputQuery(const QString&, const QString&, QString&) override { return false; }
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

MessageRedirect::MessageRedirect(std::function<void(const QString&)> sink)
    : sink(std::move(sink))
    , installedBefore(installedPrompts)
    , outer(CurrentPrompts())
{
    SetPrompts(this);
}

MessageRedirect::~MessageRedirect()
{
    SetPrompts(installedBefore);
}
