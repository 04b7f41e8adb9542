#include "app/PrintCommands.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/common/MyLib.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/OrvPreviewPic.h"
#include "platform/Prompter.h"
#include "print/OrvPrintOverview_Dlg.h"
#include "print/OrvPrintSet.h"
#include "print/OverviewPagePainter.h"
#include "print/OverviewPrintJob.h"
#include "print/OverviewPrinter.h"
#include "print/PrintDevice.h"
#include <QAction>
#include <QHash>
#include <QMenu>
#include <QPainter>
#include <QPrinter>

namespace pagero {

namespace {
const QString kPrinterBusy = QStringLiteral("The printer is busy, please try to print later.");
}

PrintCommands::PrintCommands(BookContext &book, const MainMenus &menus, TOverView_Fm &overview,
                             std::function<QString()> popupFile, TPreviewPic_Fm *preview, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), overview_(overview), popupFile_(std::move(popupFile))
{
    RunOverviewDialog = [](TPrintOverview_Dlg &dialog) { return dialog.exec() == QDialog::Accepted; };

    const MainActions &a = menus.actions;
    const auto fileOf = [this](bool left) {
        return book_.FileOfPage(left ? book_.Spread().LeftPageNo : book_.Spread().RightPageNo);
    };
    // Enabled when their menu opens.
    ConnectCommand(book_, a.LeftPageFile1, this, [=, this] { PrintPicture(fileOf(true)); }, false);
    ConnectCommand(book_, a.RightPageFile1, this, [=, this] { PrintPicture(fileOf(false)); }, false);
    ConnectCommand(book_, a.OverviewPages1, this, [this] { PrintOverviewPages(); }, false);
    ConnectCommand(book_, a.btnPrint1, this, [this] {
        if (const QString file = popupFile_(); Printable(file)) PrintPicture(file);
    }, false);
    if (preview) {
        preview->PrintPicture = [this](const QString &path) { PrintPicture(path); };
        preview->Print1->setEnabled(true);
    }
}

// The job paints on the printer: it ends (cancelled) before the printer goes.
PrintCommands::~PrintCommands()
{
    delete job_;
}

// The printer and the windows are made at the first print: asking the print system for its
// printers may take a while, and most sessions never print.
void PrintCommands::EnsurePrinter()
{
    if (printer_) return;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printSet_ = new TPrintSet_Fm(*printer_, book_.Prompt(), book_.ParentWidget());
    overviewDlg_ = new TPrintOverview_Dlg(*printer_, book_.Prompt(), book_.ParentWidget());
}

QPrinter &PrintCommands::Printer()
{
    EnsurePrinter();
    return *printer_;
}

TPrintSet_Fm &PrintCommands::PrintSet()
{
    EnsurePrinter();
    return *printSet_;
}

TPrintOverview_Dlg &PrintCommands::OverviewDialog()
{
    EnsurePrinter();
    return *overviewDlg_;
}

bool PrintCommands::Printable(const QString &path) const
{
    if (path.isEmpty()) return false;
    const int kind = MediaKind(path);
    return kind == KindPicture || kind == KindImaging;
}


bool PrintCommands::JobRunning() const
{
    return job_ && job_->Running();
}

bool PrintCommands::PrintPicture(const QString &path)
{
    if (!Printable(path)) return false;
    if (JobRunning()) {
        book_.Prompt().Inform(kPrinterBusy);
        return false;
    }
    return PrintSet().PrintPicture(path);
}

bool PrintCommands::PrintOverviewPages()
{
    if (JobRunning()) {
        book_.Prompt().Inform(kPrinterBusy);
        return false;
    }
    EnsurePrinter();
    const BookLayout &layout = book_.Sections();
    overviewDlg_->OverviewPageCount = std::max(0, layout.FirstContentsPage - layout.FirstOverviewPage);
    if (overviewDlg_->OverviewPageCount == 0 || !RunOverviewDialog(*overviewDlg_)) return false;
    bool cancelled = false;
    const QString problem = print::ReadyForJob(*printer_, book_.ParentWidget(), &cancelled);
    if (cancelled) return false;
    if (!problem.isEmpty()) {
        book_.Prompt().Fail(problem);
        return false;
    }
    // The job paints from copies: the book may change (even be rebuilt) while it runs.
    const BookGeometry &geo = book_.Geometry();
    const int first = layout.FirstOverviewPage;
    const QList<int> ticked = overviewDlg_->Ticked();
    QHash<int, QString> labels;
    for (int page : ticked) labels.insert(first + page - 1, book_.PageLabel(first + page - 1));
    auto pages = std::make_unique<OverviewPrintPainter>(overview_.PrintSource(), geo, first,
                                                        [labels](int bookPage) { return labels.value(bookPage); });
    delete job_;
    job_ = new OverviewPrintJob(*printer_, std::move(pages), ticked, overviewDlg_->Size(), QSize(geo.PageW, geo.PageH),
                                book_.ParentWidget());
    connect(job_, &OverviewPrintJob::Finished, this, &PrintCommands::JobFinished);
    job_->Start();
    return true;
}

void PrintCommands::JobFinished(const QString &problem, bool cancelled, const QStringList &unreadable)
{
    Prompter &prompt = book_.Prompt();
    if (cancelled) prompt.Inform(problem);
    else if (!problem.isEmpty()) prompt.Fail(problem);
    if (!unreadable.isEmpty()) {
        constexpr int kNamed = 10;
        QString names = QStringList(unreadable.mid(0, kNamed)).join(QLatin1Char('\n'));
        if (unreadable.size() > kNamed) names += QStringLiteral("\n... and %1 more").arg(unreadable.size() - kNamed);
        prompt.Inform(QStringLiteral("These pictures could not be read; their small overview pictures were printed "
                                     "instead:\n") + names);
    }
}

} // namespace pagero
