#include "RecordingPrompts.h"

RecordingPrompts::RecordingPrompts()
{
    SetPrompts(this);
}

RecordingPrompts::~RecordingPrompts()
{
    SetPrompts(nullptr);
}

void RecordingPrompts::ShowMessage(const QString& text)
{
    Messages.append(text);
}

bool RecordingPrompts::InputQuery(const QString&, const QString& prompt, QString& value)
{
    Questions.append(prompt);
    if (InputAnswers.isEmpty())
        return false;
    value = InputAnswers.dequeue();
    return true;
}

bool RecordingPrompts::Confirm(const QString& question)
{
    Confirmations.append(question);
    return !ConfirmAnswers.isEmpty() && ConfirmAnswers.dequeue();
}

bool RecordingPrompts::SaveFileName(const FileDialogRequest& request, QString& fileName)
{
    FileRequests.append(request);
    if (FileAnswers.isEmpty())
        return false;
    fileName = FileAnswers.dequeue();
    return true;
}

bool RecordingPrompts::OpenFileName(const FileDialogRequest& request, QString& fileName)
{
    return SaveFileName(request, fileName);
}
