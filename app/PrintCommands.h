#pragma once
// The print commands of the book: File > Print > "&Left Page File...", "&Right Page File..." and
// "&Overview Pages...", the page pop-up's "&Print..." and the preview window's print item. Pictures
// go through the print setup window, overview pages through their dialog; both use one printer
// that keeps the user's choice between commands.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QPrinter;

namespace pagero {

class BookContext;
class OverviewPrintJob;
class TOverView_Fm;
class TPreviewPic_Fm;
class TPrintOverview_Dlg;
class TPrintSet_Fm;
struct MainMenus;

class PrintCommands : public QObject {
public:
    // `popupFile` gives the file under the pop-up menu when it opened (empty: none).
    PrintCommands(BookContext &book, const MainMenus &menus, TOverView_Fm &overview,
                  std::function<QString()> popupFile, TPreviewPic_Fm *preview, QObject *parent = nullptr);
    ~PrintCommands() override;

    // Prints the picture of `path` through the print setup window; true when printed.
    bool PrintPicture(const QString &path);
    // Asks for the overview pages and starts printing them on a thread of the job's own; true when
    // the job started. Its end is told (a failure, a cancel, pictures that could not be read).
    bool PrintOverviewPages();
    // An overview job is running (the print commands wait for its end).
    bool JobRunning() const;
    OverviewPrintJob *Job() const { return job_; }

    QPrinter &Printer();
    TPrintSet_Fm &PrintSet();
    TPrintOverview_Dlg &OverviewDialog();
    // Shows the overview dialog; true on OK (tests answer it themselves).
    std::function<bool(TPrintOverview_Dlg &)> RunOverviewDialog;

private:
    void EnsurePrinter();
    bool Printable(const QString &path) const;
    void JobFinished(const QString &problem, bool cancelled, const QStringList &unreadable);

    BookContext &book_;
    const MainMenus &menus_;
    TOverView_Fm &overview_;
    std::function<QString()> popupFile_;
    std::unique_ptr<QPrinter> printer_;
    TPrintSet_Fm *printSet_ = nullptr;
    TPrintOverview_Dlg *overviewDlg_ = nullptr;
    OverviewPrintJob *job_ = nullptr;   // the running job, owned here
};

} // namespace pagero
