#pragma once
// The send-mail window: the files to attach (each with a check box), To, Cc, Subject and the
// message, the size and sending-time line, and Send. The checked files are split into messages of
// at most 250 characters of comma-joined paths; each message is its own SMTP session, one after the
// other, with the progress window showing the file being sent.
#include "core/mail/MailOptions.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace pagero {

class TSendMailProcess_Fm;
namespace mail {
class TSmtpPlus;
class MailPassword;
}

class TSendMail_Fm : public QWidget {
    Q_OBJECT
public:
    // `folder` is the program folder: "~mailops.~~", "~emaddrs.~bk", "SysSound" and the temporary
    // copies of files whose names hold a comma live there.
    explicit TSendMail_Fm(const QString &folder, QWidget *parent = nullptr);
    ~TSendMail_Fm() override;

    // The E-mail command: these files, all checked; To, Cc, Subject and the message emptied.
    void StartWith(const QStringList &paths);
    bool Sending() const { return sending_; }
    mail::MailOptions &Options() { return options_; }
    int OpenOptions();   // the mail options dialog; its result

    // Hooks for the host: the file chooser of "&Attach", background music around the sent sound.
    std::function<QString(QWidget *parent)> chooseFile;
    std::function<bool()> musicPlaying;
    std::function<void()> pauseMusic;
    std::function<void()> resumeMusic;
    // Trusted certificates for TLS ("" = the system's store).
    QString caFile;
    // A session with no word from the server for this long is given up (the library has no timer).
    int stallTimeoutMs = 60000;

    QLineEdit *tbDestAddr = nullptr;
    QLineEdit *tbCCAddr = nullptr;
    QLineEdit *tbSrcAddr = nullptr;
    QLineEdit *tbSubject = nullptr;
    QLineEdit *Edit5 = nullptr;
    QListWidget *CheckListBox1 = nullptr;
    QPlainTextEdit *memoMsg = nullptr;
    QLabel *PaintBox1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;   // "<==": preview on/off
    QLabel *Label5 = nullptr;
    QPushButton *Button2 = nullptr;        // "&Attach"
    QPushButton *Button3 = nullptr;        // "&Detach"
    QPushButton *Button5 = nullptr;        // "Attach A&ll"
    QPushButton *Button4 = nullptr;        // "D&etach All"
    QPushButton *Button6 = nullptr;        // "Address &Book"
    QPushButton *Button1 = nullptr;        // "&Options"
    QPushButton *btnSendMail = nullptr;    // "&Send"
    QToolButton *SpeedButton2 = nullptr;   // To from the address book
    QToolButton *SpeedButton3 = nullptr;   // Cc from the address book
    TSendMailProcess_Fm *progress = nullptr;
    QStringList tmpFiles;                  // copies to delete after the last message

signals:
    void sendingChanged(bool sending);
    // Every message of a send has ended; `allSent` when the server accepted each of them.
    void sendingFinished(bool allSent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void UpdateSizeLine();
    void UpdatePreview();
    void AttachClick();
    void PickContact(QLineEdit *field);
    void btnSendMailClick();
    QString CheckBeforeSending();
    void BeginSending();
    void ConnectCurrentGroup();
    void ComposeAndSend();
    void SmtpEvent(int status, int lastCommand, int replyCode, const QString &reply, bool complete);
    void SmtpException(int code, const QString &text);
    void Attached(const QString &fileSpec, int percent);
    void SessionClosed();
    void GiveUp(bool tellUser);
    void FinishSending();
    void PlaySentSound();
    void Stop();
    QList<int> CheckedRows() const;
    QStringList Paths() const;
    QList<bool> Checks() const;

    QString folder_;
    mail::MailOptions options_;
    mail::TSmtpPlus *smtp_ = nullptr;
    mail::MailPassword *passwords_ = nullptr;
    QTimer *watchdog_ = nullptr;
    QImage Image1;
    qint64 totalSize_ = 0;
    int checkedCount_ = 0;
    QList<int> groupEnds_;   // for each message, the row one past its last entry
    int sendCounter_ = 0;
    QString password_;
    bool sending_ = false;
    bool givenUp_ = false;
    bool allSent_ = true;
    int run_ = 0;            // numbers each send, so timers of an ended send do nothing
};

} // namespace pagero
