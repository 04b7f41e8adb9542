#include "print/OrvPrintOverview_Dlg.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"
#include "print/PrintDevice.h"
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace pagero {

using namespace print;

namespace {

QButtonGroup *MakeGroup(QWidget *parent, const char *name, const QString &title, QRect at,
                        std::initializer_list<const char *> captions)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(at);
    auto *group = new QButtonGroup(parent);
    int id = 0;
    for (const char *caption : captions) {
        auto *button = new QRadioButton(QString::fromLatin1(caption), box);
        button->setGeometry(10, 20 + id * 24, at.width() - 20, 22);
        group->addButton(button, id++);
    }
    return group;
}

} // namespace

TPrintOverview_Dlg::TPrintOverview_Dlg(QPrinter &printer, Prompter &prompt, QWidget *parent)
    : QDialog(parent), printer_(printer), prompt_(prompt)
{
    setObjectName("PrintOverview_Dlg");
    setWindowTitle(QStringLiteral("Print Overview Pages"));
    setFixedSize(420, 330);
    PrinterSetup = [this] { return RunPrinterSetup(printer_, this); };

    PrintName = new QLabel(this);
    PrintName->setGeometry(8, 8, 280, 16);
    PaperWidth = new QLabel(this);
    PaperWidth->setGeometry(8, 28, 280, 16);
    PaperHeight = new QLabel(this);
    PaperHeight->setGeometry(8, 46, 280, 16);
    BitBtn1 = new QPushButton(QStringLiteral("Printer Setup"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(292, 8, 120, 28);
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        if (!PrinterSetup || PrinterSetup()) RefreshPrinterTexts();
    });

    RadioGroup1 = MakeGroup(this, "RadioGroup1", QStringLiteral("Print Pages"), QRect(8, 72, 150, 100),
                            {"All Pages", "Unticked All", "Ticked"});
    connect(RadioGroup1, &QButtonGroup::idClicked, this, &TPrintOverview_Dlg::RadioGroup1Click);
    RadioGroup2 = MakeGroup(this, "RadioGroup2", QStringLiteral("Print Size"), QRect(8, 180, 150, 76),
                            {"Paper size", "1/4 Paper size"});
    RadioGroup2->button(1)->setChecked(true);

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName("CheckListBox1");
    CheckListBox1->setGeometry(170, 72, 242, 210);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(200, 292, 100, 30);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(312, 292, 100, 30);
    connect(OKBtn, &QPushButton::clicked, this, &TPrintOverview_Dlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrintOverview_Dlg::showEvent(QShowEvent *event)
{
    Prepare();
    QDialog::showEvent(event);
}

void TPrintOverview_Dlg::Prepare()
{
    CheckListBox1->clear();
    for (int n = 1; n <= OverviewPageCount; ++n) {
        auto *item = new QListWidgetItem(QStringLiteral("Page ") + QString::number(n) + QStringLiteral(" (")
                                         + RomanOf(n) + QStringLiteral(")"), CheckListBox1);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    RadioGroup1->button(0)->setChecked(true);
    RadioGroup1Click(0);
    RefreshPrinterTexts();
}

void TPrintOverview_Dlg::RadioGroup1Click(int id)
{
    const bool ticked = id == 2;
    CheckListBox1->setEnabled(ticked);
    // Greyed while the choice is not the user's.
    CheckListBox1->setStyleSheet(ticked ? QString()
                                        : QStringLiteral("QListWidget { background: rgb(220,220,220); "
                                                         "color: rgb(128,128,128); }"));
    if (id == 0 || id == 1)
        for (int i = 0; i < CheckListBox1->count(); ++i)
            CheckListBox1->item(i)->setCheckState(id == 0 ? Qt::Checked : Qt::Unchecked);
    OKBtn->setFocus();
}

QList<int> TPrintOverview_Dlg::Ticked() const
{
    QList<int> pages;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked) pages.append(i + 1);
    return pages;
}

SheetSize TPrintOverview_Dlg::Size() const
{
    return RadioGroup2->checkedId() == 0 ? SheetSize::Paper : SheetSize::Quarter;
}

void TPrintOverview_Dlg::OKBtnClick()
{
    if (Ticked().isEmpty()) {
        prompt_.Inform(QStringLiteral("No Overview Pages selected for printing."));
        return;
    }
    accept();
}

void TPrintOverview_Dlg::RefreshPrinterTexts()
{
    const PrinterMetrics m = ReadMetrics(printer_);
    PrintName->setText(PrinterNameText(PrinterName(printer_), m.DpiX));
    PaperWidth->setText(PaperText(m.PhysWidth, m.DpiX, m.SizeMmX));
    PaperHeight->setText(PaperText(m.PhysHeight, m.DpiY, m.SizeMmY));
}

} // namespace pagero
