#include "ui/WindowPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

void TWindowPrompts::ShowMessage(const QString& text)
{
    QMessageBox::information(parent, QCoreApplication::applicationName(), text);
}

bool TWindowPrompts::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    bool confirmed = false;
    const QString answer = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &confirmed);
    if (confirmed)
        value = answer;
    return confirmed;
}

bool TWindowPrompts::Confirm(const QString& question)
{
    return QMessageBox::question(parent, QCoreApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

bool TWindowPrompts::SaveFileName(const FileDialogRequest& request, QString& fileName)
{
    return AskFileName(request, true, fileName);
}

bool TWindowPrompts::OpenFileName(const FileDialogRequest& request, QString& fileName)
{
    return AskFileName(request, false, fileName);
}

bool TWindowPrompts::AskFileName(const FileDialogRequest& request, bool save, QString& fileName)
{
    QFileDialog dialog(parent, QString(), request.InitialDir, QtFileDialogFilter(request.Filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.DefaultExt);
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().first();
    return true;
}

QString QtFileDialogFilter(const QString& filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        description.remove(trailingPatterns);
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& variant : {pattern.trimmed().toLower(), pattern.trimmed().toUpper()}) {
                if (!patterns.contains(variant))
                    patterns << variant;
            }
        }
        entries << QStringLiteral("%1 (%2)").arg(description.trimmed(), patterns.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}
