#include "pages/OrvPageNoDlg.h"
#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace pagero {

TPageNoDlg::TPageNoDlg(QWidget *parent) : QDialog(parent)
{
    Beep = [] { QApplication::beep(); };
    setWindowTitle(QStringLiteral("Flip To Page No."));
    setModal(true);

    auto *fromLabel = new QLabel(QStringLiteral("From 1  To "), this);
    PageNoLabel = new QLabel(QStringLiteral("0"), this);
    PageNoLabel->setObjectName(QStringLiteral("PageNoLabel"));
    auto *flipLabel = new QLabel(QStringLiteral("Flip To:"), this);
    ToPageNo = new QLineEdit(this);
    ToPageNo->setObjectName(QStringLiteral("ToPageNo"));
    flipLabel->setBuddy(ToPageNo);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    RangeHint = new QLabel(this);
    RangeHint->setObjectName(QStringLiteral("RangeHint"));
    RangeHint->setStyleSheet(QStringLiteral("color: #b00000"));
    RangeHint->hide();

    auto *grid = new QGridLayout(this);
    auto *range = new QHBoxLayout;
    range->addWidget(fromLabel);
    range->addWidget(PageNoLabel);
    range->addStretch();
    grid->addLayout(range, 0, 0, 1, 2);
    grid->addWidget(flipLabel, 1, 0);
    grid->addWidget(ToPageNo, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    grid->addWidget(RangeHint, 2, 0, 1, 2);
    grid->addLayout(buttons, 3, 0, 1, 2);

    // Enter in the edit box reaches the default button "OK".
    connect(ToPageNo, &QLineEdit::textChanged, this, &TPageNoDlg::ToPageNoChange);
    connect(OKBtn, &QPushButton::clicked, this, &TPageNoDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TPageNoDlg::CancelBtnClick);
}

void TPageNoDlg::SetHighest(int highest)
{
    highest_ = highest;
    PageNoLabel->setText(QString::number(highest));
}

bool TPageNoDlg::Execute()
{
    confirmed_ = false;
    exec();
    return confirmed_;
}

int TPageNoDlg::Number() const
{
    return ToPageNo->text().toInt();
}

void TPageNoDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    confirmed_ = false;
    if (const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    ToPageNo->clear();
    RangeHint->hide();
    ToPageNo->setFocus();
}

void TPageNoDlg::RefuseOutOfRange()
{
    RangeHint->setText(highest_ >= 1 ? QStringLiteral("Please type a number from 1 to %1.").arg(highest_)
                                     : QStringLiteral("This album has no file pages."));
    RangeHint->show();
    Beep();
}

void TPageNoDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        CancelBtnClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPageNoDlg::ToPageNoChange(const QString &text)
{
    QString digits;
    int removed = 0;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits += c;
        else ++removed;
    }
    if (removed == 0) return;
    const int cursor = std::max(0, ToPageNo->cursorPosition() - removed);
    ToPageNo->setText(digits);   // calls back here with nothing left to remove
    ToPageNo->setCursorPosition(std::min(cursor, int(digits.size())));
    for (int i = 0; i < removed; ++i) Beep();
}

void TPageNoDlg::OKBtnClick()
{
    const QString text = ToPageNo->text();
    if (text.isEmpty()) {
        Beep();
        return;
    }
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (!ok || n > highest_) {   // digits too many for a number are above any page count
        RefuseOutOfRange();
        return;
    }
    if (n < 1) {
        ToPageNo->setText(QStringLiteral("1"));
        RefuseOutOfRange();
        return;
    }
    confirmed_ = true;
    accept();
}

void TPageNoDlg::CancelBtnClick()
{
    confirmed_ = false;
    reject();
}

void PageNo1Click(TPageNoDlg &dialog, int firstFilePage, int firstIndexPage,
                  const std::function<void(int page)> &flipTo)
{
    dialog.SetHighest(firstIndexPage - firstFilePage);
    if (dialog.Execute() && flipTo) flipTo(firstFilePage + dialog.Number() - 1);
}

} // namespace pagero
