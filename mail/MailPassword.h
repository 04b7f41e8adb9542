#pragma once
// The login password of the mail options. It never goes into a file: with "Remember password" it
// lives in the desktop keyring (Secret Service through QtKeychain); otherwise, or when no keyring
// answers, the user is asked once per run and the answer is kept in memory only.
#include "core/mail/MailOptions.h"

#include <QObject>
#include <functional>

class QWidget;

namespace pagero::mail {

// Asks the user for the password of `account`; false when the user cancelled.
using PasswordAsker = std::function<bool(QWidget *parent, const QString &account, QString &password)>;
void SetPasswordAsker(PasswordAsker asker);   // empty: the real input dialog

class MailPassword : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(bool ok, const QString &password)>;
    explicit MailPassword(QObject *parent = nullptr) : QObject(parent) {}
    // Calls `done` from the event loop (never from inside this call) with the password, or ok false
    // when the user cancelled. Options without a user name need no password.
    void Fetch(const MailOptions &options, QWidget *parent, Done done);
    // After a refused login: the password is asked again next time (and dropped from the keyring).
    static void Forget(const MailOptions &options);
    static QString Account(const MailOptions &options);

private:
    void Ask(const MailOptions &options, QWidget *parent, Done done);
};

} // namespace pagero::mail
