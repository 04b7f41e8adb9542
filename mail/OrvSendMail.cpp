// The send-mail window and the sending of its messages, one SMTP session per message.
#include "mail/OrvSendMail.h"

#include "core/common/MyLib.h"
#include "core/mail/MailCompose.h"
#include "mail/MailPassword.h"
#include "mail/OrvEAddressBook_Dlg.h"
#include "mail/OrvMailOptionDlg.h"
#include "mail/OrvSendMailGuages.h"
#include "mail/SmtpPlus.h"
#include "platform/Prompter.h"
#include "platform/imaging/Imaging.h"
#include "platform/media/Sound.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace pagero {
using namespace pagero::mail;

namespace {
const QString kCannotSend = QStringLiteral(
    "Send E-Mail ERROR: Cannot send!\n\r\n\rPlease check your mail server setting under E-Mail options\n\r"
    "or your Internet connections.");
constexpr int kServerClosed = 13;
constexpr int kLoginRefused = 23;
constexpr int kQuitCommand = 6;

QPushButton *Button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

QToolButton *ContactButton(QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setText(QStringLiteral("..."));
    b->setToolTip(QStringLiteral("Select Contact from Address Book"));
    return b;
}
} // namespace

TSendMail_Fm::TSendMail_Fm(const QString &folder, QWidget *parent)
    : QWidget(parent, Qt::Window), folder_(folder), options_(LoadMailOptions(MailOptionsPath(folder)))
{
    setObjectName("SendMail_Fm");
    setWindowTitle(QStringLiteral("Send E-Mail"));
    auto *grid = new QGridLayout(this);
    tbDestAddr = new QLineEdit(this);
    tbCCAddr = new QLineEdit(this);
    tbSrcAddr = new QLineEdit(this);
    tbSrcAddr->setReadOnly(true);
    tbSubject = new QLineEdit(this);
    Edit5 = new QLineEdit(this);
    Edit5->setReadOnly(true);
    SpeedButton2 = ContactButton(this);
    SpeedButton3 = ContactButton(this);
    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("To:"), this), row, 0);
    grid->addWidget(tbDestAddr, row, 1);
    grid->addWidget(SpeedButton2, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("Cc:"), this), row, 0);
    grid->addWidget(tbCCAddr, row, 1);
    grid->addWidget(SpeedButton3, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("From:"), this), row, 0);
    grid->addWidget(tbSrcAddr, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("Subject:"), this), row, 0);
    grid->addWidget(tbSubject, row++, 1);
    grid->addWidget(Edit5, row++, 0, 1, 3);

    auto *files = new QHBoxLayout;
    CheckListBox1 = new QListWidget(this);
    files->addWidget(CheckListBox1, 2);
    auto *preview = new QVBoxLayout;
    PaintBox1 = new QLabel(this);
    PaintBox1->setFixedSize(162, 122);
    PaintBox1->setFrameShape(QFrame::Box);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setText(QStringLiteral("<=="));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setChecked(true);
    Label5 = new QLabel(QStringLiteral("Preview"), this);
    preview->addWidget(PaintBox1);
    auto *toggle = new QHBoxLayout;
    toggle->addWidget(SpeedButton1);
    toggle->addWidget(Label5);
    preview->addLayout(toggle);
    files->addLayout(preview, 1);
    grid->addLayout(files, row++, 0, 1, 3);

    memoMsg = new QPlainTextEdit(this);
    grid->addWidget(memoMsg, row++, 0, 1, 3);

    auto *buttons = new QHBoxLayout;
    Button2 = Button(QStringLiteral("&Attach"), this);
    Button3 = Button(QStringLiteral("&Detach"), this);
    Button5 = Button(QStringLiteral("Attach A&ll"), this);
    Button4 = Button(QStringLiteral("D&etach All"), this);
    Button6 = Button(QStringLiteral("Address &Book"), this);
    Button1 = Button(QStringLiteral("&Options"), this);
    btnSendMail = Button(QStringLiteral("&Send"), this);
    for (QPushButton *b : {Button2, Button3, Button5, Button4, Button6, Button1, btnSendMail}) buttons->addWidget(b);
    grid->addLayout(buttons, row++, 0, 1, 3);
    resize(620, 520);

    progress = new TSendMailProcess_Fm(this);
    smtp_ = new TSmtpPlus(this);
    passwords_ = new MailPassword(this);
    watchdog_ = new QTimer(this);
    watchdog_->setSingleShot(true);

    connect(CheckListBox1, &QListWidget::itemChanged, this, [this] { UpdateSizeLine(); });
    connect(CheckListBox1, &QListWidget::currentRowChanged, this, [this] {
        UpdateSizeLine();
        UpdatePreview();
    });
    connect(SpeedButton1, &QToolButton::toggled, this, [this] { UpdatePreview(); });
    connect(Button2, &QPushButton::clicked, this, &TSendMail_Fm::AttachClick);
    connect(Button3, &QPushButton::clicked, this, [this] {
        delete CheckListBox1->currentItem();
        UpdateSizeLine();
    });
    const auto checkAll = [this](Qt::CheckState state) {
        for (int i = 0; i < CheckListBox1->count(); ++i) CheckListBox1->item(i)->setCheckState(state);
        UpdateSizeLine();
    };
    connect(Button5, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Checked); });
    connect(Button4, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Unchecked); });
    connect(Button6, &QPushButton::clicked, this, [this] {
        TEAddressBook_Dlg book(folder_, false, this);
        book.exec();
    });
    connect(Button1, &QPushButton::clicked, this, [this] { OpenOptions(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { PickContact(tbDestAddr); });
    connect(SpeedButton3, &QToolButton::clicked, this, [this] { PickContact(tbCCAddr); });
    connect(btnSendMail, &QPushButton::clicked, this, &TSendMail_Fm::btnSendMailClick);
    connect(progress, &TSendMailProcess_Fm::stopRequested, this, &TSendMail_Fm::Stop);
    connect(smtp_, &TSmtpPlus::OnSmtp, this, &TSendMail_Fm::SmtpEvent);
    connect(smtp_, &TSmtpPlus::OnException, this, &TSendMail_Fm::SmtpException);
    connect(smtp_, &TSmtpPlus::OnAttach, this, &TSendMail_Fm::Attached);
    // Any word from the library shows the session is alive.
    connect(smtp_, &TSmtpPlus::OnLog, this, [this] { if (sending_) watchdog_->start(stallTimeoutMs); });
    connect(smtp_, &TSmtpPlus::OnConnect, this, [this] { if (sending_) watchdog_->start(stallTimeoutMs); });
    connect(watchdog_, &QTimer::timeout, this, [this] { GiveUp(true); });
    UpdateSizeLine();
}

TSendMail_Fm::~TSendMail_Fm()
{
    for (int i = int(tmpFiles.size()) - 1; i >= 0; --i) QFile::remove(tmpFiles[i]);
}

void TSendMail_Fm::StartWith(const QStringList &paths)
{
    CheckListBox1->clear();
    for (const QString &p : paths) {
        auto *item = new QListWidgetItem(p, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    tbDestAddr->clear();
    tbCCAddr->clear();
    tbSubject->clear();
    memoMsg->clear();
    UpdateSizeLine();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TSendMail_Fm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    PaintBox1->setPixmap(QPixmap());
    if (!sending_) smtp_->Reset();
    tbSrcAddr->setText(options_.FromText());
    UpdateSizeLine();
    tbDestAddr->setFocus();
    if (options_.NeedsSetup())
        QTimer::singleShot(0, this, [this] { if (isVisible() && options_.NeedsSetup()) OpenOptions(); });
}

int TSendMail_Fm::OpenOptions()
{
    TMailOption_Dlg dlg(options_, folder_, this);
    const int result = dlg.exec();
    if (result == QDialog::Accepted) tbSrcAddr->setText(options_.FromText());
    return result;
}

QStringList TSendMail_Fm::Paths() const
{
    QStringList paths;
    for (int i = 0; i < CheckListBox1->count(); ++i) paths << CheckListBox1->item(i)->text();
    return paths;
}

QList<bool> TSendMail_Fm::Checks() const
{
    QList<bool> checks;
    for (int i = 0; i < CheckListBox1->count(); ++i) checks << (CheckListBox1->item(i)->checkState() == Qt::Checked);
    return checks;
}

QList<int> TSendMail_Fm::CheckedRows() const
{
    QList<int> rows;
    const QList<bool> checks = Checks();
    for (int i = 0; i < checks.size(); ++i)
        if (checks[i]) rows << i;
    return rows;
}

void TSendMail_Fm::UpdateSizeLine()
{
    const QStringList paths = Paths();
    const QList<int> rows = CheckedRows();
    totalSize_ = 0;
    for (int r : rows) totalSize_ += FileSizeOf(paths[r]);
    checkedCount_ = int(rows.size());
    Edit5->setText(SizeLine(checkedCount_, totalSize_));
    Button5->setEnabled(checkedCount_ < CheckListBox1->count());
    Button3->setEnabled(CheckListBox1->currentItem() != nullptr);
    Button4->setEnabled(checkedCount_ > 0);
}

void TSendMail_Fm::UpdatePreview()
{
    const QSize box = PaintBox1->size() - QSize(2, 2);
    Image1 = QImage(box, QImage::Format_RGB32);
    Image1.fill(palette().color(QPalette::Window));
    const bool on = SpeedButton1->isChecked();
    if (on && CheckListBox1->currentItem()) {
        const imaging::LoadResult loaded = imaging::Load(CheckListBox1->currentItem()->text(), box);
        if (!loaded.image.isNull()) {
            QPainter p(&Image1);
            const QSize fitted = loaded.image.size().scaled(box, Qt::KeepAspectRatio);
            p.drawImage(QRect(QPoint(0, 0), fitted), loaded.image);
        }
    }
    QPixmap shown(PaintBox1->size());
    shown.fill(palette().color(QPalette::Window));
    QPainter(&shown).drawImage(1, 1, Image1);
    PaintBox1->setPixmap(shown);
    Label5->setStyleSheet(on ? QStringLiteral("color: red") : QStringLiteral("color: black"));
}

void TSendMail_Fm::AttachClick()
{
    const QString path = chooseFile ? chooseFile(this)
                                    : QFileDialog::getOpenFileName(this, QStringLiteral(" Open File"));
    if (path.isEmpty()) return;
    for (const QString &p : Paths()) {
        if (p.compare(path, Qt::CaseInsensitive) == 0) {
            ThePrompter().Inform(path + QStringLiteral(" attached already."));
            return;
        }
    }
    auto *item = new QListWidgetItem(path, CheckListBox1);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    UpdateSizeLine();
}

void TSendMail_Fm::PickContact(QLineEdit *field)
{
    TEAddressBook_Dlg book(folder_, true, this);
    if (book.exec() != QDialog::Accepted || book.SelectedLine().isEmpty()) return;
    field->setText(field->text().isEmpty() ? book.SelectedLine() : field->text() + QStringLiteral(", ") + book.SelectedLine());
}

// What makes a send impossible before anything goes out; empty when it can go.
QString TSendMail_Fm::CheckBeforeSending()
{
    const QStringList paths = Paths();
    for (int r : CheckedRows()) {
        QString path = paths[r];
        if (path.contains(QLatin1Char(','))) path = folder_ + QLatin1Char('/') + QFileInfo(path).fileName() + QStringLiteral("_99");
        if (path.size() > kMaxAttachmentPath)
            return QStringLiteral("The file \"%1\" cannot be sent by e-mail: its path is longer than %2 characters.")
                .arg(paths[r]).arg(kMaxAttachmentPath);
    }
    const int groups = int(GroupAttachments(paths, Checks()).size());
    const QByteArray body = BuildBody(tbSrcAddr->text(), tbDestAddr->text(), tbCCAddr->text(),
                                      GroupSubject(tbSubject->text(), 0, groups),
                                      memoMsg->toPlainText().split(QLatin1Char('\n')), true);
    if (body.size() > kBodyBufferBytes)
        return QStringLiteral("The message is too long to be sent: with its heading and footer it holds %1 bytes, "
                              "and at most %2 bytes can be sent.").arg(body.size()).arg(kBodyBufferBytes);
    return QString();
}

void TSendMail_Fm::btnSendMailClick()
{
    if (sending_) return;
    if (options_.NeedsSetup()) {
        OpenOptions();
        return;
    }
    const QString to = tbDestAddr->text();
    if (to.isEmpty()) {
        ThePrompter().Inform(QStringLiteral("Please enter the recipient e-mail address."));
        return;
    }
    if (!to.contains(QLatin1Char('@'))) {
        ThePrompter().Inform(QStringLiteral("The recipient e-mail address incorrect!"));
        return;
    }
    UpdateSizeLine();
    if (options_.limitSize && options_.SizeLimitBytes() < totalSize_) {
        ThePrompter().Inform(QStringLiteral("The E-Mail message has exceeded the size limit setting in the send options."));
        return;
    }
    const QString problem = CheckBeforeSending();
    if (!problem.isEmpty()) {
        ThePrompter().Warn(problem);
        return;
    }
    const int run = ++run_;
    sending_ = true;   // from here until the password is known, a second click does nothing
    btnSendMail->setEnabled(false);
    passwords_->Fetch(options_, this, [this, run](bool ok, const QString &password) {
        if (run != run_) return;
        if (!ok) {
            sending_ = false;
            btnSendMail->setEnabled(true);
            return;
        }
        password_ = password;
        BeginSending();
    });
}

void TSendMail_Fm::BeginSending()
{
    sending_ = true;
    givenUp_ = false;
    allSent_ = true;
    emit sendingChanged(true);
    hide();
    progress->ShowFor(checkedCount_ > 0);
    btnSendMail->setEnabled(false);
    groupEnds_ = GroupAttachments(Paths(), Checks());
    sendCounter_ = 0;
    ConnectCurrentGroup();
}

void TSendMail_Fm::ConnectCurrentGroup()
{
    watchdog_->start(stallTimeoutMs);
    smtp_->Connect(options_.server, options_.port, int(options_.security), caFile, options_.userName, password_);
}

void TSendMail_Fm::ComposeAndSend()
{
    const int count = int(groupEnds_.size());
    const int first = sendCounter_ == 0 ? 0 : groupEnds_[sendCounter_ - 1];
    const int end = groupEnds_[sendCounter_];
    const QString subject = GroupSubject(tbSubject->text(), sendCounter_, count);
    const QByteArray body = BuildBody(tbSrcAddr->text(), tbDestAddr->text(), tbCCAddr->text(), subject,
                                      memoMsg->toPlainText().split(QLatin1Char('\n')), sendCounter_ == 0);
    const QString recipients = ParseRecipients(tbDestAddr->text(), tbCCAddr->text());
    QString attachments, encodings;
    for (int r = first; r < end && r < CheckListBox1->count(); ++r) {
        if (CheckListBox1->item(r)->checkState() != Qt::Checked) continue;
        QString path = CheckListBox1->item(r)->text();
        if (path.contains(QLatin1Char(','))) {
            // The attachment list is comma-separated: such a file goes as a copy without commas.
            const QString copy = CommaFreeCopyPath(folder_, QFileInfo(path).fileName());
            if (!QFile::copy(path, copy)) {
                ThePrompter().Fail(QStringLiteral("The file \"%1\" could not be copied for sending.").arg(path));
                GiveUp(false);
                return;
            }
            tmpFiles << copy;
            path = copy;
        }
        attachments += path + QLatin1Char(',');
        encodings += options_.EncodingLetter() + QLatin1Char(',');
    }
    attachments.chop(1);
    encodings.chop(1);
    smtp_->Mail(options_.address, recipients, subject, body, attachments, encodings);
}

void TSendMail_Fm::SmtpEvent(int status, int lastCommand, int, const QString &, bool)
{
    if (!sending_) return;
    watchdog_->start(stallTimeoutMs);
    if (status == 4 && lastCommand == 2) {
        if (!givenUp_) ComposeAndSend();
    } else if (status == 1 && lastCommand == 0) {
        smtp_->Close(false);
        PlaySentSound();
    } else if (status == 1 && lastCommand == kQuitCommand) {
        smtp_->Close(true);   // said goodbye: no need to wait for the server to hang up

    } else if (status == 3) {
        allSent_ = false;
        ThePrompter().Fail(QStringLiteral("Send E-Mail ERROR! "));
        btnSendMail->setEnabled(true);
        smtp_->Close(false);
    } else if (status == 0) {
        SessionClosed();
    }
}

void TSendMail_Fm::SmtpException(int code, const QString &)
{
    if (!sending_ || code == kServerClosed) return;
    if (code == kLoginRefused) MailPassword::Forget(options_);
    GiveUp(true);
}

void TSendMail_Fm::Attached(const QString &fileSpec, int percent)
{
    if (percent > 0 && percent < 100) progress->SetProgress(QFileInfo(fileSpec).fileName(), percent);
}

void TSendMail_Fm::SessionClosed()
{
    watchdog_->stop();
    progress->Gauge1->setValue(100);
    const int run = run_;
    QTimer::singleShot(300, this, [this, run] {
        if (run != run_ || !sending_) return;
        progress->hide();
        btnSendMail->setEnabled(true);
        hide();
        ++sendCounter_;
        if (givenUp_ || sendCounter_ >= groupEnds_.size()) {
            FinishSending();
            return;
        }
        QTimer::singleShot(500, this, [this, run] {
            if (run != run_ || !sending_) return;
            progress->ShowFor(checkedCount_ > 0);
            btnSendMail->setEnabled(false);
            ConnectCurrentGroup();
        });
    });
}

// A failure of the connection (or a server that stopped answering): the remaining messages are
// not sent; the session still open is reset and the send ends when it has closed.
void TSendMail_Fm::GiveUp(bool tellUser)
{
    if (!sending_ || givenUp_) return;
    givenUp_ = true;
    allSent_ = false;
    watchdog_->stop();
    if (tellUser) ThePrompter().Fail(kCannotSend);
    progress->hide();
    btnSendMail->setEnabled(true);
    if (smtp_->Open()) {
        smtp_->Close(true);
        // Should no close report come, the send still ends.
        const int run = run_;
        QTimer::singleShot(2000, this, [this, run] { if (run == run_ && sending_) FinishSending(); });
    } else {
        FinishSending();
    }
}

void TSendMail_Fm::Stop()
{
    if (!sending_ || givenUp_) return;
    givenUp_ = true;
    allSent_ = false;
    smtp_->Close(true);
    if (!smtp_->Open()) FinishSending();
    else {
        const int run = run_;
        QTimer::singleShot(2000, this, [this, run] { if (run == run_ && sending_) FinishSending(); });
    }
}

void TSendMail_Fm::FinishSending()
{
    if (!sending_) return;
    ++run_;
    watchdog_->stop();
    for (int i = int(tmpFiles.size()) - 1; i >= 0; --i) {
        QFile::remove(tmpFiles[i]);
        tmpFiles.removeAt(i);
    }
    sending_ = false;
    progress->hide();
    btnSendMail->setEnabled(true);
    // Nothing typed is lost: a send that did not go through returns to the window.
    if (!allSent_) {
        show();
        raise();
    }
    emit sendingChanged(false);
    emit sendingFinished(allSent_);
}

void TSendMail_Fm::PlaySentSound()
{
    const QString wav = folder_ + QStringLiteral("/SysSound/sent email.wav");
    if (!QFileInfo::exists(wav)) return;
    if (musicPlaying && musicPlaying() && pauseMusic) {
        pauseMusic();
        QTimer::singleShot(500, this, [this, wav] {
            media::PlaySoundAsync(wav);
            QTimer::singleShot(1300, this, [this] { if (resumeMusic) resumeMusic(); });
        });
        return;
    }
    media::PlaySoundAsync(wav);
}

} // namespace pagero
