#pragma once
// The address book: a list of contact lines kept in "~emaddrs.~bk". In selection mode it returns the
// chosen line; in plain mode it only edits the book. The list is saved whichever button closes it.
#include <QDialog>
#include <functional>

class QListWidget;
class QPushButton;

namespace pagero {

class TAddEMAddr_Dlg;

class TEAddressBook_Dlg : public QDialog {
    Q_OBJECT
public:
    TEAddressBook_Dlg(const QString &folder, bool selectMode, QWidget *parent = nullptr);
    QString SelectedLine() const;
    QStringList Lines() const;
    void done(int result) override;

    QListWidget *ListBox1 = nullptr;
    QPushButton *btnAdd = nullptr;      // "&Add Contact"
    QPushButton *btnRemove = nullptr;   // "&Remove"
    QPushButton *btnEdit = nullptr;     // "&Edit Contact"
    QPushButton *btnOk = nullptr;       // "&Ok" (selection mode only)
    QPushButton *btnCancel = nullptr;   // "&Cancel", or "&Ok" in plain mode

    // Called with the contact dialog before it runs (tests fill it in).
    std::function<void(TAddEMAddr_Dlg &)> onContactShown;

private:
    void UpdateButtons();
    void AddClick();
    void EditClick();
    bool RunContact(TAddEMAddr_Dlg &dlg);
    QString folder_;
};

} // namespace pagero
