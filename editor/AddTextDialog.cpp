#include "editor/AddTextDialog.h"
#include "common/Fonts.h"
#include "core/editor/EditorRules.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace pagero::editor {

namespace {
constexpr int kMargin = 2;
const int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;

QRect TextExtent(const TextBox &box)
{
    return QFontMetrics(box.font).boundingRect(QRect(0, 0, 100000, 100000), kTextFlags, box.text);
}
} // namespace

QSize TextBoxSize(const TextBox &box)
{
    if (box.text.isEmpty()) return {};
    return TextExtent(box).size() + QSize(2 * kMargin, 2 * kMargin);
}

void PaintTextBox(QPainter &painter, const TextBox &box, QPoint at)
{
    const QRect outer(at, TextBoxSize(box));
    if (outer.isEmpty()) return;
    painter.save();
    if (box.fill) painter.fillRect(outer, box.background);
    painter.setFont(box.font);
    painter.setPen(box.colour);
    painter.drawText(outer.adjusted(kMargin, kMargin, -kMargin, -kMargin), kTextFlags, box.text);
    if (box.border) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(outer.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

TEIAddTextDlg_Fm::TEIAddTextDlg_Fm(PreviewHost &host, QSize picture, QWidget *parent)
    : QDialog(parent), host_(host), picture_(picture), font_(BookFont(8))
{
    setWindowTitle(QStringLiteral("Add Text to Image"));
    ChooseFont = [this](QFont &font) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, this);
        if (ok) font = chosen;
        return ok;
    };
    ChooseColour = [this](QColor &colour, const QString &title) {
        const QColor chosen = QColorDialog::getColor(colour, this, title);
        if (chosen.isValid()) colour = chosen;
        return chosen.isValid();
    };

    Text = new QPlainTextEdit(this);
    Text->setTabChangesFocus(true);
    TextFont = new QPushButton(QStringLiteral("Text &Font"), this);
    TextColour = new QPushButton(QStringLiteral("Text Co&lour"), this);
    BkgndColor = new QPushButton(QStringLiteral("&Bkgnd Color"), this);
    UseBkgnd = new QCheckBox(QStringLiteral("Use background colour"), this);
    Border = new QCheckBox(QStringLiteral("Border"), this);
    Position = new QComboBox(this);
    Position->addItems({"Manual", "Top Left", "Top Right", "Bottom Left", "Bottom Right", "Center",
                        "Horizontal Center", "Vertical Center", "Top Center", "Bottom Center"});
    Position->setCurrentIndex(1);
    HorzBar = new QScrollBar(Qt::Horizontal, this);
    VertBar = new QScrollBar(Qt::Vertical, this);
    HorzBar->setRange(0, std::max(0, picture.width() - 1));
    VertBar->setRange(0, std::max(0, picture.height() - 1));
    ClearBtn = new QPushButton(QStringLiteral("C&lear"), this);
    ApplyBtn = new QPushButton(QStringLiteral("&Apply"), this);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    buttons->addButton(ClearBtn, QDialogButtonBox::ResetRole);
    buttons->addButton(ApplyBtn, QDialogButtonBox::ApplyRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *styleRow = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{TextFont, TextColour, BkgndColor, UseBkgnd, Border})
        styleRow->addWidget(w);
    auto *placeRow = new QHBoxLayout;
    placeRow->addWidget(Position);
    placeRow->addWidget(HorzBar, 1);
    placeRow->addWidget(VertBar);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Position on page"), placeRow);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text);
    layout->addLayout(styleRow);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(TextFont, &QPushButton::clicked, this, [this] {
        if (ChooseFont(font_)) Replace();
    });
    connect(TextColour, &QPushButton::clicked, this, [this] { ChooseColour(colour_, QStringLiteral("Text Colour")); });
    connect(BkgndColor, &QPushButton::clicked, this, [this] {
        if (ChooseColour(background_, QStringLiteral("Background Colour"))) UseBkgnd->setChecked(true);
    });
    Text->setPlainText(QStringLiteral("Text..."));
    connect(Text, &QPlainTextEdit::textChanged, this, &TEIAddTextDlg_Fm::Replace);
    connect(Position, &QComboBox::currentIndexChanged, this, &TEIAddTextDlg_Fm::Replace);
    // Moving a bar places the text by hand.
    connect(HorzBar, &QScrollBar::valueChanged, this, [this](int v) {
        x_ = v;
        if (Position->currentIndex() != 0) Position->setCurrentIndex(0);
    });
    connect(VertBar, &QScrollBar::valueChanged, this, [this](int v) {
        y_ = v;
        if (Position->currentIndex() != 0) Position->setCurrentIndex(0);
    });
    connect(ClearBtn, &QPushButton::clicked, this, [this] {
        Text->clear();
        Preview();
    });
    connect(ApplyBtn, &QPushButton::clicked, this, [this] { Preview(); });
}

void TEIAddTextDlg_Fm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Text->selectAll();
    Preview();
}

TextBox TEIAddTextDlg_Fm::Box() const
{
    TextBox box;
    box.text = Text->toPlainText();
    box.font = font_;
    box.colour = colour_;
    box.fill = UseBkgnd->isChecked();
    box.background = background_;
    box.border = Border->isChecked();
    return box;
}

void TEIAddTextDlg_Fm::Replace()
{
    const QSize size = TextBoxSize(Box());
    PlaceText(Position->currentIndex(), picture_.width(), picture_.height(), size.width(), size.height(), x_, y_);
    const QSignalBlocker h(HorzBar), v(VertBar);
    HorzBar->setValue(x_);
    VertBar->setValue(y_);
}

Operation TEIAddTextDlg_Fm::CurrentOperation() const
{
    const TextBox box = Box();
    if (box.text.isEmpty()) return {};
    const QPoint at = Place();
    return [box, at](QImage &image, double scale) {
        QPainter painter(&image);
        painter.scale(scale, scale);
        PaintTextBox(painter, box, at);
        return true;
    };
}

} // namespace pagero::editor
