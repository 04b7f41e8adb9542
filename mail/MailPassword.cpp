#include "mail/MailPassword.h"

#include <QHash>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <qt6keychain/keychain.h>

namespace pagero::mail {
namespace {

const QString kService = QStringLiteral("Pagero mail");
constexpr int kKeyringPatienceMs = 5000;   // a keyring that does not answer counts as absent

PasswordAsker &Asker()
{
    static PasswordAsker asker;
    return asker;
}

QHash<QString, QString> &RunCache()
{
    static QHash<QString, QString> cache;
    return cache;
}

void Remember(const QString &account, const QString &password)
{
    auto *job = new QKeychain::WritePasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);   // never a plain-text file
    job->setKey(account);
    job->setTextData(password);
    job->start();
}

} // namespace

void SetPasswordAsker(PasswordAsker asker) { Asker() = std::move(asker); }

QString MailPassword::Account(const MailOptions &options) { return options.userName + QLatin1Char('@') + options.server; }

void MailPassword::Forget(const MailOptions &options)
{
    RunCache().remove(Account(options));
    if (!options.rememberPassword) return;
    auto *job = new QKeychain::DeletePasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(Account(options));
    job->start();
}

void MailPassword::Ask(const MailOptions &options, QWidget *parent, Done done)
{
    QString password;
    bool ok = false;
    const QString account = Account(options);
    if (Asker()) {
        ok = Asker()(parent, account, password);
    } else {
        password = QInputDialog::getText(parent, QStringLiteral("Mail Password"),
                                         QStringLiteral("Password for %1:").arg(account), QLineEdit::Password,
                                         QString(), &ok);
    }
    if (ok) {
        RunCache().insert(account, password);
        if (options.rememberPassword) Remember(account, password);
    }
    done(ok, password);
}

void MailPassword::Fetch(const MailOptions &options, QWidget *parent, Done done)
{
    QPointer<QWidget> owner(parent);
    if (options.userName.isEmpty()) {
        QTimer::singleShot(0, this, [done] { done(true, QString()); });
        return;
    }
    const QString account = Account(options);
    if (RunCache().contains(account)) {
        QTimer::singleShot(0, this, [done, pw = RunCache().value(account)] { done(true, pw); });
        return;
    }
    if (!options.rememberPassword) {
        QTimer::singleShot(0, this, [this, options, owner, done] { Ask(options, owner, done); });
        return;
    }
    // The keyring first; whichever comes first of its answer and the patience timer decides.
    auto answered = std::make_shared<bool>(false);
    auto *job = new QKeychain::ReadPasswordJob(kService, this);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(account);
    connect(job, &QKeychain::Job::finished, this, [this, options, owner, done, answered, account](QKeychain::Job *j) {
        if (*answered) return;
        *answered = true;
        auto *read = static_cast<QKeychain::ReadPasswordJob *>(j);
        if (read->error() == QKeychain::NoError) {
            RunCache().insert(account, read->textData());
            done(true, read->textData());
        } else {
            Ask(options, owner, done);
        }
    });
    QTimer::singleShot(kKeyringPatienceMs, this, [this, options, owner, done, answered] {
        if (*answered) return;
        *answered = true;
        Ask(options, owner, done);
    });
    job->start();
}

} // namespace pagero::mail
