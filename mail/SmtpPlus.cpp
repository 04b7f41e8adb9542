// The library's callbacks become queued calls to the component that opened the session.
#include "mail/SmtpPlus.h"

#include "postrel/postrel.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QSocketNotifier>

namespace pagero::mail {
namespace {

QHash<quintptr, QPointer<TSmtpPlus>> &Components()
{
    static QHash<quintptr, QPointer<TSmtpPlus>> components;
    return components;
}

// One notifier for the process: the library has one descriptor for all its sessions.
void EnsurePump()
{
    static QSocketNotifier *notifier = nullptr;
    if (notifier) return;
    const int fd = SmtpEventFd();
    if (fd < 0) return;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] { PumpSmtp(0); });
}

QString Text(const char *s) { return s ? QString::fromLocal8Bit(s) : QString(); }

// Cut to what the library takes for these arguments.
QByteArray Cut255(const QString &s) { return s.toLocal8Bit().left(255); }

template <typename Call>
void Post(intptr_t user, Call call)
{
    const QPointer<TSmtpPlus> target = Components().value(quintptr(user));
    if (!target) return;
    QMetaObject::invokeMethod(target.data(), [target, call] {
        if (target) call(target.data());
    }, Qt::QueuedConnection);
}

} // namespace

struct SmtpPlusCallbacks {
    static void Connected(SmtpHandle, intptr_t user, const char *remote, uint16_t remotePort, const char *local,
                          uint16_t localPort, const char *localName)
    {
        Post(user, [r = Text(remote), remotePort, l = Text(local), localPort, n = Text(localName)](TSmtpPlus *c) {
            emit c->OnConnect(r, remotePort, l, localPort, n);
        });
    }
    static void Reply(SmtpHandle h, intptr_t user, int32_t status, int32_t command, int32_t code, const char *reply,
                      int32_t complete)
    {
        Post(user, [h, status, command, code, r = Text(reply), complete](TSmtpPlus *c) {
            if (status == 0) c->SessionEnded(h);
            emit c->OnSmtp(status, command, code, r, complete != 0);
        });
    }
    static void Log(SmtpHandle, intptr_t user, const char *command)
    {
        Post(user, [t = Text(command)](TSmtpPlus *c) { emit c->OnLog(t); });
    }
    static void Attach(SmtpHandle, intptr_t user, const char *path, int32_t percent)
    {
        Post(user, [p = Text(path), percent](TSmtpPlus *c) { emit c->OnAttach(p, percent); });
    }
    static void Error(SmtpHandle h, intptr_t user, int32_t code, const char *text)
    {
        Post(user, [h, code, t = Text(text).left(255)](TSmtpPlus *c) {
            // A connect that fails ends its session with this report alone.
            if (StateSmtp(h) == 1) c->SessionEnded(h);
            emit c->OnException(code, t);
        });
    }
};

TSmtpPlus::TSmtpPlus(QObject *parent) : QObject(parent)
{
    static quintptr nextId = 0;
    id_ = ++nextId;
    Components().insert(id_, this);
}

TSmtpPlus::~TSmtpPlus()
{
    Components().remove(id_);
    if (handle_) CloseSmtp(handle_, 1);
}

void TSmtpPlus::SessionEnded(intptr_t handle)
{
    if (handle == handle_) handle_ = 0;
}

bool TSmtpPlus::Connect(const QString &host, int port, int security, const QString &caFile, const QString &user,
                        const QString &password)
{
    if (port < 0 || port > 65535) return false;
    EnsurePump();
    if (handle_) CloseSmtp(handle_, 1);
    QByteArray pass = password.toUtf8();
    handle_ = ConnectSmtpSecure(intptr_t(id_), 0, host.toLocal8Bit().constData(), uint16_t(port), security,
                                caFile.toLocal8Bit().constData(), user.toUtf8().constData(), pass.constData(),
                                &SmtpPlusCallbacks::Connected, &SmtpPlusCallbacks::Reply, &SmtpPlusCallbacks::Log,
                                &SmtpPlusCallbacks::Attach, &SmtpPlusCallbacks::Error);
    pass.fill('\0');
    return handle_ != 0;
}

bool TSmtpPlus::Mail(const QString &sender, const QString &recipients, const QString &subject, const QByteArray &body,
                     const QString &attachments, const QString &encodings)
{
    const QByteArray s = Cut255(sender), r = Cut255(recipients), subj = Cut255(subject), a = Cut255(attachments),
                     e = Cut255(encodings);
    return MailSmtp(handle_, 0, s.constData(), r.constData(), 1, 1, subj.isEmpty() ? nullptr : subj.constData(), 1,
                    body.constData(), int32_t(body.size()), a.constData(), e.constData()) != 0;
}

void TSmtpPlus::Reset()
{
    if (handle_) ResetSmtp(handle_);
}

void TSmtpPlus::Close(bool abort)
{
    if (handle_) CloseSmtp(handle_, abort ? 1 : 0);
}

} // namespace pagero::mail
