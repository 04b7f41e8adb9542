#include "commands/IntervalGroup.h"

#include "core/motion/SlideStep.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>

namespace pagero {

IntervalGroup::IntervalGroup(const QString &title, int minimum, int maximum, QWidget *parent)
    : QGroupBox(title, parent)
{
    ScrollBar = new QScrollBar(Qt::Horizontal, this);
    ScrollBar->setRange(minimum, maximum);
    ScrollBar->setSingleStep(100);
    ScrollBar->setPageStep(1000);
    ScrollBar->setMinimumWidth(220);
    MinLabel = new QLabel(QStringLiteral("Min 0 Sec"), this);
    MaxLabel = new QLabel(QStringLiteral("Max 60 sec"), this);
    ValueLabel = new QLabel(this);
    ValueLabel->setAutoFillBackground(true);
    ValueLabel->setAlignment(Qt::AlignCenter);
    QPalette yellow = ValueLabel->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    ValueLabel->setPalette(yellow);
    auto *grid = new QGridLayout(this);
    grid->addWidget(ScrollBar, 0, 0, 1, 3);
    grid->addWidget(MinLabel, 1, 0);
    grid->addWidget(ValueLabel, 1, 1);
    grid->addWidget(MaxLabel, 1, 2, Qt::AlignRight);
    connect(ScrollBar, &QScrollBar::valueChanged, this, [this](int v) { ValueLabel->setText(IntervalText(v)); });
    ValueLabel->setText(IntervalText(ScrollBar->value()));
}

void IntervalGroup::SetValue(int ms)
{
    ScrollBar->setValue(ms);
    ValueLabel->setText(IntervalText(ScrollBar->value()));
}

int IntervalGroup::Value() const { return ScrollBar->value(); }

void IntervalGroup::SetActive(bool on)
{
    setEnabled(on);
    const QColor ink = on ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80);
    for (QLabel *label : {MinLabel, MaxLabel, ValueLabel}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, ink);
        p.setColor(QPalette::Disabled, QPalette::WindowText, ink);
        label->setPalette(p);
    }
}

void PlaceOptionsDialog(QWidget *dialog)
{
    QWidget *parent = dialog->parentWidget();
    QScreen *screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = dialog->sizeHint().expandedTo(dialog->size());
    dialog->move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 4);
}

} // namespace pagero

#include <QRadioButton>

namespace pagero {

RadioGroup::RadioGroup(const QString &title, const QStringList &items, QWidget *parent, int columns)
    : QGroupBox(title, parent)
{
    auto *grid = new QGridLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        grid->addWidget(button, i / columns, i % columns);
        Buttons << button;
        connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && changed) changed(i);
        });
    }
}

int RadioGroup::ItemIndex() const
{
    for (int i = 0; i < Buttons.size(); ++i)
        if (Buttons[i]->isChecked()) return i;
    return -1;
}

void RadioGroup::SetItemIndex(int index)
{
    const auto quiet = changed;
    changed = nullptr;   // a preset is not a choice of the user
    if (index >= 0 && index < Buttons.size()) {
        Buttons[index]->setChecked(true);
    } else {
        for (QRadioButton *b : Buttons) {
            b->setAutoExclusive(false);
            b->setChecked(false);
            b->setAutoExclusive(true);
        }
    }
    changed = quiet;
}

} // namespace pagero
