#include "commands/OrvSliderOpsDlg.h"

#include "commands/IntervalGroup.h"
#include "common/Fonts.h"
#include "core/book/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace pagero {

namespace {

QComboBox *CountBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    for (int i = 1; i <= 6; ++i) box->addItem(QStringLiteral(" ") + QString::number(i));
    return box;
}

int CountOf(const QComboBox *box)
{
    bool ok = false;
    const int n = box->currentText().trimmed().toInt(&ok);
    return ok && n >= 1 && n <= 6 ? n : 2;
}

} // namespace

TSliderOps_Fm::TSliderOps_Fm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SliderOps_Fm"));
    setWindowTitle(QStringLiteral(" Slide Show Options"));
    setFont(BookFont(8));
    Direction = new RadioGroup(QStringLiteral("Direction"), {QStringLiteral("Forward"), QStringLiteral("Backward")}, this);
    EndAction = new RadioGroup(QStringLiteral("Action at end"),
                               {QStringLiteral("Stop"), QStringLiteral("Repeat"), QStringLiteral("Reverse")}, this);
    NextScreen = new RadioGroup(QStringLiteral("Next Screen"), {QStringLiteral("Manual"), QStringLiteral("Auto")}, this);
    ScreenInterval = new IntervalGroup(QStringLiteral("Inter-screen interval "), 0, 60000, this);
    SlideInterval = new IntervalGroup(QStringLiteral("Inter-slide interval "), 0, 60000, this);
    Rows = CountBox(this);
    Columns = CountBox(this);
    ShowFrame = new QCheckBox(QStringLiteral("Show Frame"), this);
    ShowFileName = new QCheckBox(QStringLiteral("Show File Name"), this);
    OkBtn = new QPushButton(QStringLiteral("&Ok"), this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Row"), this), 0, 0);
    grid->addWidget(Rows, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Column"), this), 1, 0);
    grid->addWidget(Columns, 1, 1);
    grid->addWidget(ShowFrame, 0, 2);
    grid->addWidget(ShowFileName, 1, 2);
    auto *choices = new QHBoxLayout;
    choices->addWidget(Direction);
    choices->addWidget(EndAction);
    choices->addWidget(NextScreen);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto *column = new QVBoxLayout(this);
    column->addLayout(choices);
    column->addWidget(ScreenInterval);
    column->addWidget(SlideInterval);
    column->addLayout(grid);
    column->addLayout(buttons);

    NextScreen->changed = [this](int) { ApplyEnabling(); };
    for (QComboBox *box : {Rows, Columns}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { ApplyEnabling(); });
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this, box] { CheckCount(box); });
    }
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TSliderOps_Fm::CheckCount(QComboBox *box)
{
    if (box->findText(box->currentText()) < 0) {
        QApplication::beep();
        box->setCurrentIndex(1);
        box->setEditText(QStringLiteral(" 2"));
    }
    ApplyEnabling();
}

void TSliderOps_Fm::ApplyEnabling()
{
    const bool automatic = NextScreen->ItemIndex() == 1;
    ScreenInterval->SetActive(automatic);
    SlideInterval->SetActive(automatic && (CountOf(Rows) != 1 || CountOf(Columns) != 1));
}

void TSliderOps_Fm::Load(const Settings &s)
{
    Direction->SetItemIndex(s.SlideDirection);
    EndAction->SetItemIndex(s.SlideEndAction);
    NextScreen->SetItemIndex(s.SlideNextScreen);
    ScreenInterval->SetValue(s.SlideScreenInterval);
    SlideInterval->SetValue(s.SlideSlideInterval);
    Rows->setCurrentIndex(std::clamp(s.SlideRows, 1, 6) - 1);
    Columns->setCurrentIndex(std::clamp(s.SlideColumns, 1, 6) - 1);
    ShowFrame->setChecked(s.SlideShowFrame);
    ShowFileName->setChecked(s.SlideShowFileName);
    ApplyEnabling();
}

void TSliderOps_Fm::Store(Settings &s) const
{
    if (Direction->ItemIndex() >= 0) s.SlideDirection = Direction->ItemIndex();
    if (EndAction->ItemIndex() >= 0) s.SlideEndAction = EndAction->ItemIndex();
    if (NextScreen->ItemIndex() >= 0) s.SlideNextScreen = NextScreen->ItemIndex();
    s.SlideScreenInterval = std::max(1, ScreenInterval->Value());   // a 0 interval would spin the timer
    s.SlideSlideInterval = SlideInterval->Value();
    s.SlideRows = CountOf(Rows);
    s.SlideColumns = CountOf(Columns);
    s.SlideShowFrame = ShowFrame->isChecked();
    s.SlideShowFileName = ShowFileName->isChecked();
}

bool SetSlideShowOptions(QWidget *parent, Settings &s)
{
    return RunOptionsDialog<TSliderOps_Fm>(parent, s);
}

} // namespace pagero
