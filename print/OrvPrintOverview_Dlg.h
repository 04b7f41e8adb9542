#pragma once
// The dialog "Print Overview Pages": which overview pages to print (all, none or the ticked ones)
// and whether each fills a sheet or a quarter of one.
#include "core/print/PrintLayout.h"
#include <QDialog>
#include <QList>
#include <functional>

class QButtonGroup;
class QLabel;
class QListWidget;
class QPrinter;
class QPushButton;

namespace pagero {

class Prompter;

class TPrintOverview_Dlg : public QDialog {
public:
    TPrintOverview_Dlg(QPrinter &printer, Prompter &prompt, QWidget *parent = nullptr);

    // Set by the caller before showing: the number of overview pages of the book.
    int OverviewPageCount = 0;
    // On show: fills the check list, selects "All Pages" and refreshes the printer texts.
    void Prepare();
    // The ticked overview pages (1-based) in order.
    QList<int> Ticked() const;
    print::SheetSize Size() const;

    // The system's printer-setup dialog; true when the user chose (replaceable by tests).
    std::function<bool()> PrinterSetup;

    QLabel *PrintName, *PaperWidth, *PaperHeight;
    QPushButton *BitBtn1, *OKBtn, *CancelBtn;
    QButtonGroup *RadioGroup1;   // "All Pages", "Unticked All", "Ticked"
    QButtonGroup *RadioGroup2;   // "Paper size", "1/4 Paper size"
    QListWidget *CheckListBox1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void RadioGroup1Click(int id);
    void OKBtnClick();
    void RefreshPrinterTexts();

    QPrinter &printer_;
    Prompter &prompt_;
};

} // namespace pagero
