#pragma once
// The contact dialog: a real name and an e-mail address, and the address-book line they make.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pagero {

class TAddEMAddr_Dlg : public QDialog {
    Q_OBJECT
public:
    TAddEMAddr_Dlg(const QString &okCaption, const QString &name, const QString &address, QWidget *parent = nullptr);
    QString DisplayText() const;

    QLineEdit *edName = nullptr;      // "Real Name"
    QLineEdit *edAddress = nullptr;   // "E-Mail Address"
    QLabel *lblDisplay = nullptr;
    QPushButton *btnOk = nullptr;
};

} // namespace pagero
