#pragma once
// TSmtpPlus drives the SMTP library from the Qt event loop. One socket notifier on the library's
// event descriptor pumps it; every library callback is copied and delivered to its component as a
// queued call, so handlers run later from the event loop and may call the library again.
#include <QObject>
#include <QString>
#include <cstdint>

namespace pagero::mail {

class TSmtpPlus : public QObject {
    Q_OBJECT
public:
    explicit TSmtpPlus(QObject *parent = nullptr);
    ~TSmtpPlus() override;   // aborts a session still open

    // Opens a session (security 0 plain, 1 STARTTLS, 2 TLS from the first byte; an empty user means
    // no login). True when the library gave a handle; what follows arrives through the signals.
    bool Connect(const QString &host, int port, int security = 0, const QString &caFile = QString(),
                 const QString &user = QString(), const QString &password = QString());
    bool Mail(const QString &sender, const QString &recipients, const QString &subject, const QByteArray &body,
              const QString &attachments, const QString &encodings);
    void Reset();
    void Close(bool abort);
    bool Open() const { return handle_ != 0; }

signals:
    void OnConnect(const QString &remoteHost, quint16 remotePort, const QString &localDotAddr, quint16 localPort,
                   const QString &localName);
    void OnException(int errorCode, const QString &errorDesc);
    void OnSmtp(int status, int lastCommand, int replyCode, const QString &reply, bool complete);
    void OnLog(const QString &command);
    void OnAttach(const QString &fileSpec, int percentComplete);

private:
    friend struct SmtpPlusCallbacks;
    void SessionEnded(intptr_t handle);
    intptr_t handle_ = 0;
    quintptr id_ = 0;   // the library's user data: a number, never a pointer that could dangle
};

} // namespace pagero::mail
