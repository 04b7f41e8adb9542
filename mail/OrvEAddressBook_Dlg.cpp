#include "mail/OrvEAddressBook_Dlg.h"

#include "core/mail/AddressBook.h"
#include "mail/OrvAddEMAddr_Dlg.h"
#include "platform/Prompter.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pagero {

TEAddressBook_Dlg::TEAddressBook_Dlg(const QString &folder, bool selectMode, QWidget *parent)
    : QDialog(parent), folder_(folder)
{
    setObjectName("EAddressBook_Dlg");
    setWindowTitle(selectMode ? QStringLiteral("  Select Contact") : QStringLiteral("  Address Book"));
    auto *layout = new QHBoxLayout(this);
    ListBox1 = new QListWidget(this);
    ListBox1->addItems(mail::LoadAddressBook(mail::AddressBookPath(folder)));
    if (selectMode) ListBox1->setToolTip(QStringLiteral("Double click to select contact"));
    layout->addWidget(ListBox1);
    auto *column = new QVBoxLayout;
    btnAdd = new QPushButton(QStringLiteral("&Add Contact"), this);
    btnRemove = new QPushButton(QStringLiteral("&Remove"), this);
    btnEdit = new QPushButton(QStringLiteral("&Edit Contact"), this);
    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnCancel = new QPushButton(selectMode ? QStringLiteral("&Cancel") : QStringLiteral("&Ok"), this);
    btnOk->setVisible(selectMode);
    for (QPushButton *b : {btnAdd, btnRemove, btnEdit, btnOk, btnCancel}) {
        b->setAutoDefault(false);
        column->addWidget(b);
    }
    column->addStretch();
    layout->addLayout(column);
    connect(btnAdd, &QPushButton::clicked, this, &TEAddressBook_Dlg::AddClick);
    connect(btnRemove, &QPushButton::clicked, this, [this] {
        delete ListBox1->currentItem();
        UpdateButtons();
    });
    connect(btnEdit, &QPushButton::clicked, this, &TEAddressBook_Dlg::EditClick);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TEAddressBook_Dlg::UpdateButtons);
    if (selectMode)
        connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    UpdateButtons();
}

void TEAddressBook_Dlg::UpdateButtons()
{
    const bool selected = ListBox1->currentItem() && ListBox1->currentItem()->isSelected();
    btnRemove->setEnabled(selected);
    btnEdit->setEnabled(selected);
    btnOk->setEnabled(selected);
}

bool TEAddressBook_Dlg::RunContact(TAddEMAddr_Dlg &dlg)
{
    if (onContactShown)
        QMetaObject::invokeMethod(&dlg, [this, &dlg] { onContactShown(dlg); }, Qt::QueuedConnection);
    return dlg.exec() == QDialog::Accepted;
}

void TEAddressBook_Dlg::AddClick()
{
    TAddEMAddr_Dlg dlg(QStringLiteral("&Add"), QString(), QString(), this);
    if (RunContact(dlg)) ListBox1->addItem(dlg.DisplayText());
    UpdateButtons();
}

void TEAddressBook_Dlg::EditClick()
{
    QListWidgetItem *item = ListBox1->currentItem();
    if (!item) return;
    QString name, address;
    mail::SplitContact(item->text(), name, address);
    TAddEMAddr_Dlg dlg(QStringLiteral("&Ok"), name, address, this);
    if (RunContact(dlg)) item->setText(dlg.DisplayText());
    UpdateButtons();
}

QString TEAddressBook_Dlg::SelectedLine() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

QStringList TEAddressBook_Dlg::Lines() const
{
    QStringList lines;
    for (int i = 0; i < ListBox1->count(); ++i) lines << ListBox1->item(i)->text();
    return lines;
}

void TEAddressBook_Dlg::done(int result)
{
    const QString path = mail::AddressBookPath(folder_);
    if (!mail::SaveAddressBook(path, Lines()))
        ThePrompter().Fail(QStringLiteral("The address book could not be saved in \"%1\".").arg(path));
    QDialog::done(result);
}

} // namespace pagero
