#pragma once
// The mail options dialog ("Mail Options") and its advanced settings ("Advanced Setings"): server,
// sender, size limit, security and login; port and message format on the advanced page.
#include "core/mail/MailOptions.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace pagero {

class TMailOps2_Dlg : public QDialog {
    Q_OBJECT
public:
    TMailOps2_Dlg(const QString &port, int format, QWidget *parent = nullptr);
    QLineEdit *edPort = nullptr;       // "Outgoing SMTP Mail Server Port Number"
    QComboBox *cbCoding = nullptr;     // "Message Coding"
    QPushButton *btnDefault = nullptr; // "&Default": port 25, MIME
    QPushButton *btnOk = nullptr;
};

class TMailOption_Dlg : public QDialog {
    Q_OBJECT
public:
    // Edits `options`; OK checks the input, writes "~mailops.~~" in `folder` and updates `options`.
    TMailOption_Dlg(mail::MailOptions &options, const QString &folder, QWidget *parent = nullptr);

    void accept() override;

    QLineEdit *edServer = nullptr;
    QLineEdit *edPort = nullptr;       // hidden; edited on the advanced page
    QLineEdit *edName = nullptr;
    QLineEdit *edAddress = nullptr;
    QComboBox *cbFormat = nullptr;     // hidden; edited on the advanced page
    QCheckBox *cbLimit = nullptr;      // "Do not send messages over"
    QComboBox *cbSize = nullptr;
    QComboBox *cbSecurity = nullptr;   // "None", "STARTTLS", "SSL/TLS"
    QLineEdit *edUser = nullptr;
    QCheckBox *cbRemember = nullptr;   // "Remember password"
    QPushButton *btnAdvanced = nullptr;
    QPushButton *btnOk = nullptr;

    // The advanced page, opened modally by "&Advanced..." (tests reach it while it is open).
    std::function<void(TMailOps2_Dlg &)> onAdvancedShown;

private:
    void LimitToggled(bool on);
    void AdvancedClick();
    mail::MailOptions &options_;
    QString folder_;
};

} // namespace pagero
