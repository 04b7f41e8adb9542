#include "pages/OrvEditComment_Ut.h"

#include "core/annotations/TextLines.h"
#include "pages/CommentPainter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace pagero {

namespace {

constexpr int kPreviewW = 166, kPreviewH = 190;

} // namespace

TEditCommentDlg_Fm::TEditCommentDlg_Fm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Edit Page Annotation"));
    setModal(true);
    ChooseFont = [this](const QFont &current) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, this);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    ChooseColour = [this](const QColor &current) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(current, this);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };

    auto *memoLabel = new QLabel(QStringLiteral("Add text below:"), this);
    Memo1 = new QPlainTextEdit(this);
    memoLabel->setBuddy(Memo1);
    MyImg = new QLabel(this);
    MyImg->setFixedSize(kPreviewW, kPreviewH);
    MyImg->setAlignment(Qt::AlignCenter);
    HorScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    VerScrollBar1 = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar *bar : {HorScrollBar1, VerScrollBar1}) bar->setPageStep(50);

    auto *group = new QGroupBox(QStringLiteral("Position on page"), this);
    auto *groupLayout = new QGridLayout(group);
    RadioGroup1 = new QButtonGroup(this);
    const QStringList presets = CommentPresetNames();
    for (int i = 0; i < presets.size(); ++i) {
        auto *radio = new QRadioButton(presets[i], group);
        RadioGroup1->addButton(radio, i);
        groupLayout->addWidget(radio, i % 5, i / 5);
    }
    RadioGroup1->button(0)->setChecked(true);

    CheckBox1 = new QCheckBox(QStringLiteral("Transparent"), this);
    CheckBox1->setChecked(true);
    ckbBorder = new QCheckBox(QStringLiteral("Border"), this);
    CheckBox2 = new QCheckBox(QStringLiteral("Online"), this);
    CheckBox2->setVisible(false);
    BitBtn2 = new QPushButton(QStringLiteral("Text &Font"), this);
    BitBtn1 = new QPushButton(QStringLiteral("&Bkgnd Color"), this);
    Button4 = new QPushButton(QStringLiteral("C&lear"), this);
    Button1 = new QPushButton(QStringLiteral("&Apply"), this);
    Button2 = new QPushButton(QStringLiteral("&Ok"), this);
    Button3 = new QPushButton(QStringLiteral("&Cancel"), this);
    for (QPushButton *b : {BitBtn1, BitBtn2, Button1, Button2, Button3, Button4}) b->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    auto *previewBox = new QGridLayout;
    previewBox->addWidget(MyImg, 0, 0);
    previewBox->addWidget(VerScrollBar1, 0, 1);
    previewBox->addWidget(HorScrollBar1, 1, 0);
    grid->addLayout(previewBox, 0, 0, 2, 1);
    auto *textColumn = new QVBoxLayout;
    textColumn->addWidget(memoLabel);
    textColumn->addWidget(Memo1);
    grid->addLayout(textColumn, 0, 1);
    grid->addWidget(group, 1, 1);
    auto *options = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{CheckBox1, ckbBorder, BitBtn2, BitBtn1, Button4})
        options->addWidget(w);
    grid->addLayout(options, 2, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {Button1, Button2, Button3}) buttons->addWidget(b);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        if (refitting_) return;
        Refit();
        Button1->setEnabled(true);
    });
    connect(HorScrollBar1, &QScrollBar::valueChanged, this, [this](int v) {
        if (refitting_) return;
        block_.x = v;
        DrawPreview();
    });
    connect(VerScrollBar1, &QScrollBar::valueChanged, this, [this](int v) {
        if (refitting_) return;
        block_.y = v;
        DrawPreview();
    });
    connect(RadioGroup1, &QButtonGroup::idClicked, this, [this] { Refit(); });
    connect(CheckBox1, &QCheckBox::clicked, this, &TEditCommentDlg_Fm::CheckBox1Click);
    connect(ckbBorder, &QCheckBox::clicked, this, [this] { DrawPreview(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        if (const std::optional<QFont> f = ChooseFont ? ChooseFont(memoFont_) : std::nullopt) {
            memoFont_ = *f;
            Memo1->setFont(memoFont_);
            Refit();
        }
    });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        if (const std::optional<QColor> c = ChooseColour ? ChooseColour(memoColour_) : std::nullopt) {
            memoColour_ = *c;
            DrawPreview();
        }
    });
    connect(Button4, &QPushButton::clicked, Memo1, &QPlainTextEdit::clear);
    connect(Button1, &QPushButton::clicked, this, &TEditCommentDlg_Fm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TEditCommentDlg_Fm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TEditCommentDlg_Fm::Setup(CommentStore &store, const QString &filePath, int pageW, int pageH,
                               const QImage &pagePicture)
{
    store_ = &store;
    path_ = filePath;
    pageW_ = std::max(1, pageW);
    pageH_ = std::max(1, pageH);
    picture_ = pagePicture;
}

void TEditCommentDlg_Fm::PlaceBesideSpine(int spineX, bool forLeftPage)
{
    const QScreen *s = QGuiApplication::primaryScreen();
    const QSize size = sizeHint().expandedTo(minimumSizeHint());
    const int top = s ? s->geometry().top() + (s->geometry().height() - size.height()) / 2 : 0;
    placeAt_ = QPoint(forLeftPage ? spineX + 10 : spineX - 10 - size.width(), top);
}

QStringList TEditCommentDlg_Fm::MemoLines() const
{
    // Lines as a list of text lines reads them: a final line break adds no empty line.
    return SplitTextLines(Memo1->toPlainText().toUtf8());
}

CommentPage TEditCommentDlg_Fm::PageMetrics() const
{
    CommentPage page;
    page.W = pageW_;
    page.H = pageH_;
    page.lineHeight = CommentLineHeight(memoFont_);
    const QFont font = memoFont_;
    page.textWidth = [font](const QString &s) { return CommentTextWidth(font, s); };
    return page;
}

PageComment TEditCommentDlg_Fm::Current() const
{
    PageComment c;
    c.x = block_.x;
    c.y = block_.y;
    c.transparent = CheckBox1->isChecked();
    c.border = ckbBorder->isChecked();
    c.background = CommentColourValue(memoColour_);
    c.font = CommentFontOf(memoFont_, textColour_);
    c.lines = MemoLines();
    return c;
}

void TEditCommentDlg_Fm::LoadControls(const PageComment &c, bool found)
{
    refitting_ = true;
    memoFont_ = found ? CommentQFont(c.font) : CommentQFont(CommentFont{});
    textColour_ = found ? CommentColour(c.font.colour) : QColor(Qt::black);
    memoColour_ = rememberedColour_ = found ? CommentColour(c.background) : QColor(Qt::white);
    Memo1->setFont(memoFont_);
    Memo1->setPlainText(found ? c.lines.join(QLatin1Char('\n')) : QStringLiteral("Text..."));
    CheckBox1->setChecked(found ? c.transparent : true);
    ckbBorder->setChecked(found && c.border);
    BitBtn1->setEnabled(!CheckBox1->isChecked());
    CheckBox2->setChecked(false);
    RadioGroup1->button(int(CommentPreset::Manual))->setChecked(true);
    block_.x = found ? c.x : 0;
    block_.y = found ? c.y : 0;
    refitting_ = false;
    Refit();
}

void TEditCommentDlg_Fm::Refit()
{
    const CommentPage page = PageMetrics();
    const QStringList lines = MemoLines();
    block_ = FitCommentToPage(lines, block_.x, block_.y, page);
    PlaceComment(CommentPreset(std::max(0, RadioGroup1->checkedId())), block_, page);
    refitting_ = true;
    if (block_.lines != lines) {
        // The fitted text replaces what was typed, so the stored comment never reaches past the page.
        Memo1->setPlainText(block_.lines.join(QLatin1Char('\n')));
        Memo1->moveCursor(QTextCursor::End);
    }
    HorScrollBar1->setRange(0, std::max(0, pageW_ - block_.w));
    VerScrollBar1->setRange(0, std::max(0, pageH_ - block_.h));
    HorScrollBar1->setValue(block_.x);
    VerScrollBar1->setValue(block_.y);
    refitting_ = false;
    DrawPreview();
}

void TEditCommentDlg_Fm::CheckBox1Click()
{
    if (CheckBox1->isChecked()) {
        rememberedColour_ = memoColour_;
        memoColour_ = Qt::white;
    } else {
        memoColour_ = rememberedColour_;
    }
    BitBtn1->setEnabled(!CheckBox1->isChecked());
    DrawPreview();
}

void TEditCommentDlg_Fm::DrawPreview()
{
    // The page in its proportions within the preview box, the block stretched to the same scale.
    QSize size(pageW_, pageH_);
    size.scale(kPreviewW, kPreviewH, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    preview_ = QImage(size, QImage::Format_RGB32);
    preview_.fill(Qt::white);
    QPainter p(&preview_);
    if (!picture_.isNull()) p.drawImage(QRect(QPoint(0, 0), size), picture_);
    const double sx = double(size.width()) / pageW_, sy = double(size.height()) / pageH_;
    const QRect target(int(block_.x * sx), int(block_.y * sy), int(block_.w * sx), int(block_.h * sy));
    if (block_.w > 0 && block_.h > 0) {
        QImage text(block_.w, block_.h, QImage::Format_ARGB32_Premultiplied);
        text.fill(Qt::transparent);
        QPainter tp(&text);
        PageComment c = Current();
        c.x = c.y = 0;
        c.border = false;
        c.lines = block_.lines;
        DrawComment(tp, c);
        tp.end();
        p.drawImage(target, text);
    }
    p.setPen(ckbBorder->isChecked() ? QColor(Qt::black) : QColor(200, 200, 200));
    p.setBrush(Qt::NoBrush);
    p.drawRect(target.adjusted(0, 0, -1, -1));
    p.end();
    MyImg->setPixmap(QPixmap::fromImage(preview_));
}

void TEditCommentDlg_Fm::Button1Click()
{
    if (store_) store_->WriteComment(path_, pageW_, pageH_, Current());
    if (Repaint) Repaint();
    Button1->setEnabled(false);
}

void TEditCommentDlg_Fm::Button2Click()
{
    Button1Click();
    accept();
}

bool TEditCommentDlg_Fm::Execute()
{
    PageComment shown;
    const bool found = store_ && store_->ReadComment(path_, pageW_, pageH_, shown);
    // The record as stored, not as read back into pixels: Cancel must not move it by a rounding.
    const QStringList backup = store_ ? store_->RecordOf(path_) : QStringList();
    LoadControls(shown, found);
    Button1->setEnabled(false);
    if (placeAt_) move(*placeAt_);
    const bool ok = exec() == QDialog::Accepted;
    if (!ok && store_) {
        // The comment as it was; with none at the start this removes whatever was applied.
        store_->PutRecord(path_, backup);
        if (Repaint) Repaint();
    }
    return ok;
}

} // namespace pagero
