#include "pages/OrvFindDlg.h"
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace pagero {

namespace {
constexpr int kRecentLimit = 9;   // the recent list never reaches this many names
}

TFindDlg::TFindDlg(QWidget *parent) : QDialog(parent)
{
    Beep = [] { QApplication::beep(); };
    setWindowTitle(QStringLiteral("  Find File "));
    setModal(true);

    auto *typeLabel = new QLabel(QStringLiteral("1 &Type the first few letters of the file name:"), this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setCompleter(nullptr);
    typeLabel->setBuddy(ComboBox1);
    auto *clickLabel = new QLabel(QStringLiteral("2 &Click to select"), this);
    auto *dblLabel = new QLabel(QStringLiteral("/  &Double Click to flip to"), this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    clickLabel->setBuddy(ListBox1);
    dblLabel->setBuddy(ListBox1);
    FlipToBtn = new QPushButton(QStringLiteral("&Flip To"), this);
    FlipToBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("C&ancel"), this);

    auto *box = new QVBoxLayout(this);
    box->addWidget(typeLabel);
    box->addWidget(ComboBox1);
    auto *hints = new QHBoxLayout;
    hints->addWidget(clickLabel);
    hints->addWidget(dblLabel);
    hints->addStretch();
    box->addLayout(hints);
    box->addWidget(ListBox1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FlipToBtn);
    buttons->addWidget(CancelBtn);
    box->addLayout(buttons);

    // Only what the user types filters the list; names copied into the box leave it as it is.
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, &TFindDlg::ComboBox1Change);
    connect(ListBox1, &QListWidget::itemClicked, this, &TFindDlg::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TFindDlg::ListBox1DblClick);
    // Arrow keys in the list pick the highlighted name as a click does.
    connect(ListBox1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item && ListBox1->hasFocus()) ListBox1Click(item);
    });
    connect(FlipToBtn, &QPushButton::clicked, this, &TFindDlg::FlipToBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFindDlg::CancelBtnClick);
    ComboBox1->installEventFilter(this);
}

bool TFindDlg::eventFilter(QObject *watched, QEvent *event)
{
    // Down and Up in the name box move the highlight through the matching names and pick the
    // highlighted one as a click would, so Enter then flips to it. Alt+Down still opens the
    // list of recent names.
    if (watched == ComboBox1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool down = key->key() == Qt::Key_Down, up = key->key() == Qt::Key_Up;
        if ((down || up) && !(key->modifiers() & Qt::AltModifier) && ListBox1->count() > 0) {
            const QListWidgetItem *current = ListBox1->currentItem();
            const bool highlighted = current && current->isSelected();
            int row = ListBox1->currentRow();
            if (!highlighted) row = down ? 0 : ListBox1->count() - 1;
            else row = std::clamp(row + (down ? 1 : -1), 0, ListBox1->count() - 1);
            ListBox1->setCurrentRow(row);
            ListBox1->scrollToItem(ListBox1->item(row));
            ListBox1Click(ListBox1->item(row));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFindDlg::SetNames(const QStringList &names)
{
    ComboBox1->clear();
    allNames_ = names;
    ListBox1->clear();
    ListBox1->addItems(names);
}

bool TFindDlg::Execute()
{
    confirmed_ = false;
    exec();
    return confirmed_;
}

void TFindDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    confirmed_ = false;
    if (const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    ComboBox1->setEditText(QString());
    ComboBox1Change(QString());
    ComboBox1->setFocus();
}

void TFindDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        CancelBtnClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFindDlg::ComboBox1Change(const QString &text)
{
    const QString prefix = text.toUpper();
    ListBox1->clear();
    QStringList matching;
    for (const QString &name : allNames_)
        if (name.left(prefix.size()).toUpper() == prefix) matching.append(name);
    ListBox1->addItems(matching);
}

void TFindDlg::ListBox1Click(QListWidgetItem *item)
{
    if (!item) return;
    selectedName_ = item->text();
    ComboBox1->setEditText(selectedName_);
}

void TFindDlg::ListBox1DblClick(QListWidgetItem *item)
{
    if (item) Choose(item->text());
}

void TFindDlg::Choose(const QString &name)
{
    ComboBox1->setEditText(name);
    selectedName_ = name;
    const int existing = ComboBox1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (existing >= 0) ComboBox1->removeItem(existing);
    ComboBox1->insertItem(0, name);
    if (ComboBox1->count() >= kRecentLimit) ComboBox1->removeItem(ComboBox1->count() - 1);
    ComboBox1->setEditText(name);
    confirmed_ = true;
    accept();
}

void TFindDlg::FlipToBtnClick()
{
    // The highlighted name: the selected entry, or the current one while the list has the focus.
    if (QListWidgetItem *item = ListBox1->currentItem(); item && (item->isSelected() || ListBox1->hasFocus())) {
        Choose(item->text());
        return;
    }
    const QString text = ComboBox1->currentText();
    for (int i = 0; i < ListBox1->count(); ++i) {
        if (ListBox1->item(i)->text() == text) {
            ListBox1->setCurrentRow(i);
            Choose(text);
            return;
        }
    }
    Beep();
}

void TFindDlg::CancelBtnClick()
{
    confirmed_ = false;
    reject();
}

void FileName1Click(TFindDlg &dialog, const QStringList &names,
                    const std::function<void(const QString &name)> &flipToFile)
{
    dialog.SetNames(names);
    if (dialog.Execute() && flipToFile) flipToFile(dialog.SelectedName());
}

} // namespace pagero
