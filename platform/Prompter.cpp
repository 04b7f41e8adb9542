#include "platform/Prompter.h"
#include <QApplication>
#include <QMessageBox>

namespace pagero {

PromptAnswer MessageBoxPrompter::Ask(PromptKind kind, const QString &text, const QString &caption)
{
    const QString title = caption.isEmpty() ? QApplication::applicationName() : caption;
    switch (kind) {
    case PromptKind::Information:
        QMessageBox::information(parent_, title, text);
        return PromptAnswer::Ok;
    case PromptKind::Warning:
        QMessageBox::warning(parent_, title, text);
        return PromptAnswer::Ok;
    case PromptKind::Error:
        QMessageBox::critical(parent_, title, text);
        return PromptAnswer::Ok;
    case PromptKind::Confirmation:
        return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
                   ? PromptAnswer::Yes
                   : PromptAnswer::No;
    case PromptKind::Question:
        switch (QMessageBox::warning(parent_, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes: return PromptAnswer::Yes;
        case QMessageBox::No: return PromptAnswer::No;
        default: return PromptAnswer::Cancel;
        }
    }
    return PromptAnswer::Cancel;
}

namespace {
Prompter *installed = nullptr;
}

Prompter &ThePrompter()
{
    static MessageBoxPrompter boxes;
    return installed ? *installed : boxes;
}

void InstallPrompter(Prompter *p) { installed = p; }

} // namespace pagero
