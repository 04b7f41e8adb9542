#include "mail/OrvAddEMAddr_Dlg.h"

#include "core/mail/AddressBook.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pagero {

TAddEMAddr_Dlg::TAddEMAddr_Dlg(const QString &okCaption, const QString &name, const QString &address, QWidget *parent)
    : QDialog(parent)
{
    setObjectName("AddEMAddr_Dlg");
    setWindowTitle(QStringLiteral("  Contact E-Mail Address"));
    auto *form = new QFormLayout(this);
    edName = new QLineEdit(name, this);
    edAddress = new QLineEdit(address, this);
    lblDisplay = new QLabel(this);
    form->addRow(QStringLiteral("Real Name"), edName);
    form->addRow(QStringLiteral("E-Mail Address"), edAddress);
    form->addRow(lblDisplay);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOk = buttons->button(QDialogButtonBox::Ok);
    btnOk->setText(okCaption);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update = [this] { lblDisplay->setText(DisplayText()); };
    connect(edName, &QLineEdit::textChanged, this, update);
    connect(edAddress, &QLineEdit::textChanged, this, update);
    update();
    edName->setFocus();
}

QString TAddEMAddr_Dlg::DisplayText() const { return mail::ContactDisplayText(edName->text(), edAddress->text()); }

} // namespace pagero
