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
    // Asks for the overview pages and prints them; true when printed.
    bool PrintOverviewPages();

    QPrinter &Printer();
    TPrintSet_Fm &PrintSet();
    TPrintOverview_Dlg &OverviewDialog();
    // Shows the overview dialog; true on OK (tests answer it themselves).
    std::function<bool(TPrintOverview_Dlg &)> RunOverviewDialog;

private:
    void EnsurePrinter();
    bool Printable(const QString &path) const;

    BookContext &book_;
    const MainMenus &menus_;
    TOverView_Fm &overview_;
    std::function<QString()> popupFile_;
    std::unique_ptr<QPrinter> printer_;
    TPrintSet_Fm *printSet_ = nullptr;
    TPrintOverview_Dlg *overviewDlg_ = nullptr;
};

} // namespace pagero
