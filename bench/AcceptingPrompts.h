#pragma once

#include "base/Prompts.h"

#include <cstdio>

// Takes every proposed answer, so the data log file is chosen without an
// operator; messages go to the error stream. Installs itself for its lifetime.
class AcceptingPrompts final : public Prompts {
public:
    AcceptingPrompts() { SetPrompts(this); }
    ~AcceptingPrompts() override { SetPrompts(nullptr); }
    void ShowMessage(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool InputQuery(const QString&, const QString&, QString&) override { return true; }
    bool Confirm(const QString&) override { return true; }
    bool SaveFileName(const FileDialogRequest&, QString&) override { return false; }
    bool OpenFileName(const FileDialogRequest&, QString&) override { return false; }
};
