#pragma once
// "  Find File ": the user types the first letters of a file name, picks the file from the names
// that match and flips to its page. The combo box's list keeps the names chosen recently.
#include <QDialog>
#include <QStringList>
#include <functional>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pagero {

class TFindDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFindDlg(QWidget *parent = nullptr);

    // Clears the recent names and offers `names` (the album's file names in page-list order).
    void SetNames(const QStringList &names);
    // Shows the dialog modally; true when the user chose a file (SelectedName).
    bool Execute();
    bool Confirmed() const { return confirmed_; }
    QString SelectedName() const { return selectedName_; }
    const QStringList &AllNames() const { return allNames_; }

    std::function<void()> Beep;   // replaceable so tests can count beeps

    QComboBox *ComboBox1;
    QListWidget *ListBox1;
    QPushButton *FlipToBtn;
    QPushButton *CancelBtn;

public slots:
    void FlipToBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ComboBox1Change(const QString &text);
    void ListBox1Click(QListWidgetItem *item);
    void ListBox1DblClick(QListWidgetItem *item);
    void Choose(const QString &name);

    QStringList allNames_;
    QString selectedName_;
    bool confirmed_ = false;
};

// The main window's "&File &Name..." command: offers the album's names and hands the chosen one to
// `flipToFile` (the book's flip to the page of a named file).
void FileName1Click(TFindDlg &dialog, const QStringList &names,
                    const std::function<void(const QString &name)> &flipToFile);

} // namespace pagero
