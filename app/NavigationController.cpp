#include "app/NavigationController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "app/OrvFlippingTool.h"
#include "app/OrvSetFlipSpeed.h"
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "pages/OrvFindDlg.h"
#include "pages/OrvPageNoDlg.h"
#include <QAction>
#include <QMenu>
#include <QRegularExpression>

namespace pagero {

NavigationController::NavigationController(BookContext &book, const MainMenus &menus, QObject *parent)
    : QObject(parent), book_(book), menus_(menus)
{
    QWidget *owner = book_.ParentWidget();
    speedDlg_ = new TSetFlipSpeedForm(owner);
    flippingTool_ = new TFlippingToolForm(owner);
    pageNoDlg_ = new TPageNoDlg(owner);
    findDlg_ = new TFindDlg(owner);
    speedDlg_->setSpeed = [this](int speed) { book_.SetFlipSpeed(speed); };
    speedDlg_->flip = [this](int direction, int count) { book_.Flip(direction, count); };
    flippingTool_->flipTo = [this](int page) { book_.FlipTo(page); };
    flippingTool_->pageLabel = [this](int page) { return book_.PageLabel(page); };

    const MainActions &a = menus.actions;
    ConnectCommand(book_, a.Overview1, this, [this] { book_.FlipTo(book_.Sections().FirstOverviewPage); });
    ConnectCommand(book_, a.Contents1, this, [this] { book_.FlipTo(book_.Sections().FirstContentsPage); });
    ConnectCommand(book_, a.FirstPage1, this, [this] { book_.FlipTo(book_.Sections().FirstFilePage); });
    ConnectCommand(book_, a.Index1, this, [this] { book_.FlipTo(book_.Sections().FirstIndexPage); });
    ConnectCommand(book_, a.FlipToOverviewImg, this, [this] { book_.FlipTo(book_.Sections().FirstOverviewPage); });
    // Enabled when their menu opens.
    ConnectCommand(book_, a.PageNo1, this, [this] { PageNo(); }, false);
    ConnectCommand(book_, a.FileName1, this, [this] { FileName(); }, false);

    ConnectCommand(book_, a.SetFlipSpeedWn, this, [this] {
        speedDlg_->ShowAt(book_.BookArea()->mapToGlobal(QPoint(book_.Geometry().SpineX, 30)),
                          book_.Spread().FlipSpeed);
    });
    ConnectCommand(book_, a.FlippingControl2, this, [this] {
        if (!book_.AlbumOpen() || flippingTool_->isVisible()) return;
        const FlipState &flip = book_.Spread();
        flippingTool_->ShowAt(book_.BookArea()->mapToGlobal(QPoint(book_.Geometry().SpineX, 20)), 0,
                              flip.LastPageNo + 1, flip.RightPageNo);
    });
    ConnectCommand(book_, a.AutoFlipToOverview, this, [this, item = a.AutoFlipToOverview] {
        Settings &s = book_.Options();
        s.AutoFlipToOverview = item->isChecked();
        if (!s.AutoFlipToOverview || !book_.AlbumOpen()) return;
        book_.FlipTo(1);
        const int speed = book_.Spread().FlipSpeed;
        book_.SetFlipSpeed(25);   // the turn to the overview is taken at this speed
        book_.FlipTo(book_.Sections().FirstOverviewPage);
        book_.SetFlipSpeed(speed);
    });
}


void NavigationController::PageNo()
{
    if (!book_.AlbumOpen() || book_.Pages().Count() == 0) return;
    pagero::PageNo1Click(*pageNoDlg_, book_.Sections().FirstFilePage, book_.Sections().FirstIndexPage,
                         [this](int page) { book_.FlipTo(page); });
}

void NavigationController::FileName()
{
    if (!book_.AlbumOpen() || book_.Pages().Count() == 0) return;
    pagero::FileName1Click(*findDlg_, book_.Pages().Entries(), [this](const QString &name) { FlipToFile(name); });
}

bool NavigationController::FlipToFile(const QString &name)
{
    const int entry = book_.Pages().IndexOfName(name);
    if (entry < 0) return false;
    book_.FlipTo(book_.Sections().FirstFilePage + entry);
    return true;
}

bool NavigationController::TurnByKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:   // keys people expect beside the arrows
        if (book_.AlbumOpen()) book_.Flip(Backward, 2);
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        if (book_.AlbumOpen()) book_.Flip(Forward, 2);
        return true;
    case Qt::Key_Home:
        if (book_.AlbumOpen()) book_.FlipTo(book_.Sections().FrontCoverPage);
        return true;
    case Qt::Key_End:
        if (book_.AlbumOpen()) book_.FlipTo(book_.Sections().BackCoverPage);
        return true;
    default:
        return false;
    }
}

} // namespace pagero
