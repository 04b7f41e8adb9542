#include "pages/OrvEditAlbumName_Dlg.h"

#include "core/annotations/AlbumFolderFiles.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace pagero {

TEditAlbumName_Dlg::TEditAlbumName_Dlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Change Album Name..."));
    setModal(true);
    auto *label1 = new QLabel(QStringLiteral("First Line:"), this);
    auto *label2 = new QLabel(QStringLiteral("Second Line:"), this);
    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    label1->setBuddy(Edit1);
    label2->setBuddy(Edit2);
    ApplyBtn = new QPushButton(QStringLiteral("&Apply"), this);
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    DefaultBtn = new QPushButton(QStringLiteral("&Default"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    for (QPushButton *b : {ApplyBtn, DefaultBtn, CancelBtn}) b->setAutoDefault(false);
    OKBtn->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {ApplyBtn, OKBtn, DefaultBtn, CancelBtn}) buttons->addWidget(b);
    grid->addLayout(buttons, 2, 0, 1, 2);

    // Enter in an edit box applies without closing, so the edits keep it from the default button.
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);
    connect(ApplyBtn, &QPushButton::clicked, this, &TEditAlbumName_Dlg::ApplyBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TEditAlbumName_Dlg::OKBtnClick);
    connect(DefaultBtn, &QPushButton::clicked, this, &TEditAlbumName_Dlg::DefaultBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TEditAlbumName_Dlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Near the bottom right of the screen, clear of the cover it changes.
    if (const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->geometry();
        move(area.left() + area.width() - width() - 40, area.top() + area.height() - height() - 130);
    }
}

bool TEditAlbumName_Dlg::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == Edit1 || watched == Edit2) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ApplyBtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEditAlbumName_Dlg::ApplyBtnClick()
{
    if (OnApply) OnApply({Edit1->text(), Edit2->text()});
}

void TEditAlbumName_Dlg::OKBtnClick()
{
    ApplyBtnClick();
    accept();
}

void TEditAlbumName_Dlg::DefaultBtnClick()
{
    Edit1->setText(DefaultLines.value(0));
    Edit2->setText(DefaultLines.value(1));
    ApplyBtnClick();
}

void AlbumName1Click(TEditAlbumName_Dlg &dialog, QStringList &lines, const QString &albumFolder,
                     const std::function<void()> &flipShut, const std::function<void()> &repaint)
{
    if (flipShut) flipShut();
    const QStringList remembered = lines;
    dialog.DefaultLines = DefaultAlbumName(albumFolder);
    dialog.Edit1->setText(lines.value(0));
    dialog.Edit2->setText(lines.value(1));
    dialog.OnApply = [&](const QStringList &applied) {
        lines = applied;
        if (repaint) repaint();
    };
    const bool ok = dialog.exec() == QDialog::Accepted;
    dialog.OnApply = nullptr;
    if (!ok) {
        lines = remembered;
        if (repaint) repaint();
    }
}

} // namespace pagero
