#pragma once
// Every question and message to the user goes through one Prompter, so flows can be tested with
// scripted answers. The real one shows QMessageBox with the exact texts.
#include <QString>

class QWidget;

namespace pagero {

enum class PromptKind { Information, Warning, Confirmation, Error, Question };
enum class PromptAnswer { Ok, Yes, No, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;
    // Information, Warning and Error show OK; Confirmation asks Yes/No; Question is a warning that
    // asks Yes/No/Cancel.
    virtual PromptAnswer Ask(PromptKind kind, const QString &text, const QString &caption = QString()) = 0;

    void Inform(const QString &text) { Ask(PromptKind::Information, text); }
    void Warn(const QString &text) { Ask(PromptKind::Warning, text); }
    void Fail(const QString &text) { Ask(PromptKind::Error, text); }
    bool Confirm(const QString &text) { return Ask(PromptKind::Confirmation, text) == PromptAnswer::Yes; }
};

// The QMessageBox prompter; captions default to the application title.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    PromptAnswer Ask(PromptKind kind, const QString &text, const QString &caption = QString()) override;
private:
    QWidget *parent_;
};

// The process-wide prompter (the message-box one unless a test installs its own).
Prompter &ThePrompter();
void InstallPrompter(Prompter *p);   // nullptr restores the message-box prompter

} // namespace pagero
