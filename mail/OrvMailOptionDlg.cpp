#include "mail/OrvMailOptionDlg.h"

#include "mail/MailPassword.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QPalette>

namespace pagero {
using mail::MailOptions;

namespace {
const QStringList kFormats{QStringLiteral("MIME"), QStringLiteral("Uuencode"), QStringLiteral("None")};

QComboBox *Choice(QWidget *parent, const QStringList &items, int index)
{
    auto *box = new QComboBox(parent);
    box->addItems(items);
    box->setCurrentIndex(index);
    return box;
}
} // namespace

TMailOps2_Dlg::TMailOps2_Dlg(const QString &port, int format, QWidget *parent) : QDialog(parent)
{
    setObjectName("MailOps2_Dlg");
    setWindowTitle(QStringLiteral("Advanced Setings"));
    auto *form = new QFormLayout(this);
    edPort = new QLineEdit(port, this);
    edPort->setToolTip(QStringLiteral("Enter the port number to connect to (Usually 25)"));
    cbCoding = Choice(this, kFormats, format);
    form->addRow(QStringLiteral("Outgoing SMTP Mail Server Port Number"), edPort);
    form->addRow(QStringLiteral("Message Coding"), cbCoding);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOk = buttons->button(QDialogButtonBox::Ok);
    btnDefault = buttons->addButton(QStringLiteral("&Default"), QDialogButtonBox::ResetRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(btnDefault, &QPushButton::clicked, this, [this] {
        edPort->setText(QStringLiteral("25"));
        cbCoding->setCurrentIndex(0);
    });
}

TMailOption_Dlg::TMailOption_Dlg(MailOptions &options, const QString &folder, QWidget *parent)
    : QDialog(parent), options_(options), folder_(folder)
{
    setObjectName("MailOption_Dlg");
    setWindowTitle(QStringLiteral("Mail Options"));
    auto *form = new QFormLayout(this);
    edServer = new QLineEdit(options.server, this);
    edPort = new QLineEdit(QString::number(options.port), this);
    edPort->hide();
    edName = new QLineEdit(options.name, this);
    edAddress = new QLineEdit(options.address, this);
    cbFormat = Choice(this, kFormats, int(options.format));
    cbFormat->hide();
    cbLimit = new QCheckBox(QStringLiteral("Do not send messages over"), this);
    cbSize = Choice(this, {QStringLiteral("1,000 KB"), QStringLiteral("2,000 KB"), QStringLiteral("3,000 KB"),
                           QStringLiteral("4,000 KB")}, options.sizeChoice);
    cbSecurity = Choice(this, {QStringLiteral("None"), QStringLiteral("STARTTLS"), QStringLiteral("SSL/TLS")},
                        int(options.security));
    edUser = new QLineEdit(options.userName, this);
    cbRemember = new QCheckBox(QStringLiteral("Remember password"), this);
    cbRemember->setChecked(options.rememberPassword);
    form->addRow(QStringLiteral("Mail Server"), edServer);
    form->addRow(QStringLiteral("My Name"), edName);
    form->addRow(QStringLiteral("My Email Address"), edAddress);
    form->addRow(cbLimit, cbSize);
    form->addRow(QStringLiteral("Security"), cbSecurity);
    form->addRow(QStringLiteral("User Name"), edUser);
    form->addRow(QString(), cbRemember);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOk = buttons->button(QDialogButtonBox::Ok);
    btnAdvanced = buttons->addButton(QStringLiteral("&Advanced..."), QDialogButtonBox::ActionRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TMailOption_Dlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(btnAdvanced, &QPushButton::clicked, this, &TMailOption_Dlg::AdvancedClick);
    connect(cbLimit, &QCheckBox::toggled, this, &TMailOption_Dlg::LimitToggled);
    cbLimit->setChecked(options.limitSize);
    LimitToggled(options.limitSize);
}

void TMailOption_Dlg::LimitToggled(bool on)
{
    cbSize->setEnabled(on);
    QPalette p = cbSize->palette();
    p.setColor(QPalette::Text, on ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::ButtonText, on ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80));
    cbSize->setPalette(p);
}

void TMailOption_Dlg::AdvancedClick()
{
    TMailOps2_Dlg advanced(edPort->text(), cbFormat->currentIndex(), this);
    if (onAdvancedShown) QMetaObject::invokeMethod(&advanced, [this, &advanced] { onAdvancedShown(advanced); }, Qt::QueuedConnection);
    if (advanced.exec() != QDialog::Accepted) return;
    edPort->setText(advanced.edPort->text());
    cbFormat->setCurrentIndex(advanced.cbCoding->currentIndex());
}

void TMailOption_Dlg::accept()
{
    // Input the file cannot hold is refused here, never cut or stored half-valid.
    bool isNumber = false;
    const int port = edPort->text().trimmed().toInt(&isNumber);
    if (!isNumber || port < 1 || port > 65535) {
        ThePrompter().Warn(QStringLiteral("The port number must be a whole number from 1 to 65535."));
        return;
    }
    const struct { QLineEdit *edit; const char *label; } texts[] = {
        {edServer, "Mail Server"}, {edName, "My Name"}, {edAddress, "My Email Address"}, {edUser, "User Name"}};
    for (const auto &t : texts) {
        const QString text = t.edit->text();
        if (text.size() > MailOptions::kMaxText) {
            ThePrompter().Warn(QStringLiteral("\"%1\" can hold at most 100 characters.").arg(QLatin1String(t.label)));
            t.edit->setFocus();
            return;
        }
        // The file keeps one byte per character.
        if (QString::fromLatin1(text.toLatin1()) != text) {
            ThePrompter().Warn(QStringLiteral("\"%1\" can hold only Western European letters.").arg(QLatin1String(t.label)));
            t.edit->setFocus();
            return;
        }
    }
    const MailOptions before = options_;
    options_.server = edServer->text();
    options_.port = port;
    options_.name = edName->text();
    options_.address = edAddress->text();
    options_.format = mail::MessageFormat(cbFormat->currentIndex());
    options_.limitSize = cbLimit->isChecked();
    options_.sizeChoice = cbSize->currentIndex();
    options_.security = mail::MailSecurity(cbSecurity->currentIndex());
    options_.userName = edUser->text();
    options_.rememberPassword = cbRemember->isChecked();
    // A password no longer to be remembered, or for another account, leaves the keyring.
    if (before.rememberPassword &&
        (!options_.rememberPassword || mail::MailPassword::Account(before) != mail::MailPassword::Account(options_)))
        mail::MailPassword::Forget(before);
    const QString path = mail::MailOptionsPath(folder_);
    if (!mail::SaveMailOptions(path, options_))
        ThePrompter().Fail(QStringLiteral("The mail options could not be saved in \"%1\".").arg(path));
    QDialog::accept();
}

} // namespace pagero
