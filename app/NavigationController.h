#pragma once
// Going to a place in the book by command: the FlipTo menu (overview, contents, first page, index,
// a page number, a file name), the tool bar's overview button, the flip-speed dialog and the
// flipping tool, and the option that turns to the overview when an album opens.
#include <QObject>
#include <QString>

namespace pagero {

class BookContext;
class TFindDlg;
class TFlippingToolForm;
class TPageNoDlg;
class TSetFlipSpeedForm;
struct MainMenus;

class NavigationController : public QObject {
public:
    NavigationController(BookContext &book, const MainMenus &menus, QObject *parent = nullptr);

    // Flips to the page of the album file `name` (exact name first, then ignoring case); false when
    // the album has no such file.
    bool FlipToFile(const QString &name);
    // The keys that turn the book: the arrows and Page Down / Page Up a spread, Home and End the
    // covers. False for any other key.
    bool TurnByKey(int key);
    // The FlipTo menu opens: its targets off the open spread are enabled.

    TSetFlipSpeedForm *SpeedDialog() const { return speedDlg_; }
    TFlippingToolForm *FlippingTool() const { return flippingTool_; }
    TPageNoDlg *PageNoDialog() const { return pageNoDlg_; }
    TFindDlg *FindDialog() const { return findDlg_; }

private:
    void PageNo();
    void FileName();

    BookContext &book_;
    const MainMenus &menus_;
    TSetFlipSpeedForm *speedDlg_ = nullptr;
    TFlippingToolForm *flippingTool_ = nullptr;
    TPageNoDlg *pageNoDlg_ = nullptr;
    TFindDlg *findDlg_ = nullptr;
};

} // namespace pagero
