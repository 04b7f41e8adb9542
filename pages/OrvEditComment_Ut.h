#pragma once
// " Edit Page Annotation": the editor of one file page's comment. The text is kept on the page while
// it is typed (long lines broken, lines beyond the page dropped, the block pushed inside), the preview
// shows the page with the block, "&Apply" writes the comment into the store, "&Ok" applies and
// closes, and "&Cancel", Escape or closing write back the comment as it was when the editor opened,
// which undoes every "&Apply".
#include "core/annotations/CommentFitting.h"
#include "core/annotations/CommentStore.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace pagero {

class TEditCommentDlg_Fm : public QDialog {
    Q_OBJECT
public:
    explicit TEditCommentDlg_Fm(QWidget *parent = nullptr);

    // The page being annotated: the store, the file's path, the page size and the page's picture.
    void Setup(CommentStore &store, const QString &filePath, int pageW, int pageH, const QImage &pagePicture);
    // Where the editor appears: over the other page, 10 pixels from the spine (screen x).
    void PlaceBesideSpine(int spineX, bool forLeftPage);
    // Runs the editor modally; true when it closed with "&Ok".
    bool Execute();

    // Called after the store changed (Apply, Ok, Cancel), so the book is repainted.
    std::function<void()> Repaint;
    // The font and colour choosers; tests replace them.
    std::function<std::optional<QFont>(const QFont &)> ChooseFont;
    std::function<std::optional<QColor>(const QColor &)> ChooseColour;

    // The comment as the controls hold it now.
    PageComment Current() const;
    QImage PreviewImage() const { return preview_; }

    QPlainTextEdit *Memo1;
    QScrollBar *HorScrollBar1;
    QScrollBar *VerScrollBar1;
    QButtonGroup *RadioGroup1;
    QCheckBox *CheckBox1;     // "Transparent"
    QCheckBox *ckbBorder;
    QCheckBox *CheckBox2;     // "Online", never shown
    QPushButton *BitBtn1;     // "&Bkgnd Color"
    QPushButton *BitBtn2;     // "Text &Font"
    QPushButton *Button1;     // "&Apply"
    QPushButton *Button2;     // "&Ok"
    QPushButton *Button3;     // "&Cancel"
    QPushButton *Button4;     // "C&lear"
    QLabel *MyImg;

public slots:
    void Button1Click();
    void Button2Click();

private:
    void LoadControls(const PageComment &c, bool found);
    void Refit();
    void CheckBox1Click();
    void DrawPreview();
    CommentPage PageMetrics() const;
    QStringList MemoLines() const;

    CommentStore *store_ = nullptr;
    QString path_;
    int pageW_ = 0, pageH_ = 0;
    QImage picture_, preview_;
    QFont memoFont_;
    QColor memoColour_ = Qt::white, rememberedColour_ = Qt::white, textColour_ = Qt::black;
    CommentBlock block_;
    bool refitting_ = false;
    std::optional<QPoint> placeAt_;
};

} // namespace pagero
