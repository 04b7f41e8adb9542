#pragma once
// "Add Text to Image": a text with its font, colour, optional background and border, placed on the
// picture by a position rule or by hand. "&Apply" previews it on the picture; on OK the editor makes
// the text's rectangle a floating selection and draws the text into it, so it can still be moved
// before it is pasted down.
#include "editor/AdjustDialogs.h"

#include <QFont>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace pagero::editor {

struct TextBox {
    QString text;
    QFont font;
    QColor colour = Qt::black;
    bool fill = false;             // paint the background colour behind the text
    QColor background = Qt::white;
    bool border = false;           // a frame in the text colour around the box
};
// The box the text takes: its lines with a 2-pixel inner margin.
QSize TextBoxSize(const TextBox &box);
// Paints the box with its top-left corner at `at`.
void PaintTextBox(QPainter &painter, const TextBox &box, QPoint at);

class TEIAddTextDlg_Fm : public QDialog {
public:
    TEIAddTextDlg_Fm(PreviewHost &host, QSize picture, QWidget *parent);

    TextBox Box() const;
    QPoint Place() const { return {x_, y_}; }
    QRect TextRect() const { return {Place(), TextBoxSize(Box())}; }
    // The preview of the text at its place; empty for no text.
    Operation CurrentOperation() const;

    // How the font and colour dialogs are shown (tests answer them instead).
    std::function<bool(QFont &)> ChooseFont;
    std::function<bool(QColor &, const QString &title)> ChooseColour;

    QPlainTextEdit *Text;
    QPushButton *TextFont, *TextColour, *BkgndColor, *ClearBtn, *ApplyBtn;
    QCheckBox *UseBkgnd, *Border;
    QComboBox *Position;
    QScrollBar *HorzBar, *VertBar;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Replace();   // the position rule for the current text size
    void Preview() { host_.Preview(CurrentOperation()); }

    PreviewHost &host_;
    QSize picture_;
    QFont font_;
    QColor colour_ = Qt::black, background_ = Qt::white;
    int x_ = 2, y_ = 2;
};

} // namespace pagero::editor
