#pragma once
// "Flip To Page No.": the user types a file number from 1 to the number of file pages; on OK the
// book flips to that file's page.
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pagero {

class TPageNoDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPageNoDlg(QWidget *parent = nullptr);

    // The highest number allowed, shown after "From 1  To ".
    void SetHighest(int highest);
    int Highest() const { return highest_; }
    // Shows the dialog modally; true when the user confirmed a valid number.
    bool Execute();
    bool Confirmed() const { return confirmed_; }
    // The confirmed number (valid after a confirmed Execute).
    int Number() const;

    // Plays the warning beep; replaceable so tests can count beeps.
    std::function<void()> Beep;

    QLabel *PageNoLabel;
    QLineEdit *ToPageNo;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QLabel *RangeHint;   // names the valid range after a number outside it

public slots:
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ToPageNoChange(const QString &text);
    void RefuseOutOfRange();

    int highest_ = 0;
    bool confirmed_ = false;
};

// The main window's "&Page No..." command: offers the file numbers 1 .. firstIndexPage -
// firstFilePage and flips to page firstFilePage + n - 1 for the number n the user confirms.
void PageNo1Click(TPageNoDlg &dialog, int firstFilePage, int firstIndexPage,
                  const std::function<void(int page)> &flipTo);

} // namespace pagero
