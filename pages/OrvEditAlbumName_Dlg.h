#pragma once
// "Change Album Name...": the two lines of the front cover's title. "&Apply" (and Enter in either
// edit box) shows them on the cover at once; "&OK" applies and closes; "&Default" restores the
// default name and applies it; "&Cancel" and Escape close, and then every "&Apply" is undone.
#include <QDialog>
#include <QStringList>
#include <functional>

class QLineEdit;
class QPushButton;

namespace pagero {

class TEditAlbumName_Dlg : public QDialog {
    Q_OBJECT
public:
    explicit TEditAlbumName_Dlg(QWidget *parent = nullptr);

    // Called with the two lines whenever they are applied.
    std::function<void(const QStringList &lines)> OnApply;
    // The lines "&Default" puts into the edit boxes.
    QStringList DefaultLines;

    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QPushButton *ApplyBtn;
    QPushButton *OKBtn;
    QPushButton *DefaultBtn;
    QPushButton *CancelBtn;

public slots:
    void ApplyBtnClick();
    void OKBtnClick();
    void DefaultBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The menu command: shuts the book so the front cover shows, edits `lines` (the album's two title
// lines) with the dialog and puts the previous lines back unless the dialog closed with OK.
// `repaint` is called after every change of `lines`.
void AlbumName1Click(TEditAlbumName_Dlg &dialog, QStringList &lines, const QString &albumFolder,
                     const std::function<void()> &flipShut, const std::function<void()> &repaint);

} // namespace pagero
