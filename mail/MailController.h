#pragma once
// The mail feature as the main window sees it: send files, set the mail options, and whether mail
// is being sent (for the close question and for disabling the E-mail command meanwhile).
#include <QObject>
#include <QPointer>
#include <QStringList>

class QWidget;

namespace pagero {

class TSendMail_Fm;

class MailController : public QObject {
    Q_OBJECT
public:
    // `folder` is the program folder (empty: the running program's).
    explicit MailController(const QString &folder = QString(), QObject *parent = nullptr);
    ~MailController() override;

    // The E-mail command: opens the send-mail window with these files, all checked.
    void SendFiles(const QStringList &paths, QWidget *parent);
    // The "E-Mail Options" command.
    void ShowOptions(QWidget *parent);
    bool Sending() const;
    // The main window's close question: true when it may close (nothing is being sent, or the user
    // agreed to end the sending).
    bool MayClose();
    TSendMail_Fm *Window(QWidget *parent = nullptr);

signals:
    void sendingChanged(bool sending);
    void sendingFinished(bool allSent);

private:
    QString folder_;
    QPointer<TSendMail_Fm> window_;
};

} // namespace pagero
