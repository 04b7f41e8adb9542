#include "commands/OrvAutoFlippingOpsDlg.h"

#include "commands/IntervalGroup.h"
#include "common/Fonts.h"
#include "core/book/Settings.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace pagero {

TAutoFlipOps_Fm::TAutoFlipOps_Fm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AutoFlipOps_Fm"));
    setWindowTitle(QStringLiteral("Auto Flipping Options"));
    setFont(BookFont(8));
    RadioGroup1 = new RadioGroup(QStringLiteral("Direction of flipping"),
                                 {QStringLiteral("Controlled by mouse cursor position"),
                                  QStringLiteral("From front to back"), QStringLiteral("From back to front")},
                                 this);
    RadioGroup2 = new RadioGroup(QStringLiteral("Action at end of flipping"),
                                 {QStringLiteral("Stop"), QStringLiteral("Repeat"), QStringLiteral("Reverse")}, this);
    Interval = new IntervalGroup(QStringLiteral("Flipping interval"), 10, 60000, this);
    OkBtn = new QPushButton(QStringLiteral("&Ok"), this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto *column = new QVBoxLayout(this);
    column->addWidget(RadioGroup1);
    column->addWidget(RadioGroup2);
    column->addWidget(Interval);
    column->addLayout(buttons);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TAutoFlipOps_Fm::Load(const Settings &s)
{
    RadioGroup1->SetItemIndex(s.AutoFlipDirection);
    RadioGroup2->SetItemIndex(s.AutoFlipEndAction);
    Interval->SetValue(s.AutoFlipInterval);
}

void TAutoFlipOps_Fm::Store(Settings &s) const
{
    if (RadioGroup1->ItemIndex() >= 0) s.AutoFlipDirection = RadioGroup1->ItemIndex();
    if (RadioGroup2->ItemIndex() >= 0) s.AutoFlipEndAction = RadioGroup2->ItemIndex();
    s.AutoFlipInterval = Interval->Value();
}

bool SetAutoFlippingOptions(QWidget *parent, Settings &s)
{
    return RunOptionsDialog<TAutoFlipOps_Fm>(parent, s);
}

} // namespace pagero
