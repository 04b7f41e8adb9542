#include "app/AutoFlipController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/BookGeometry.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "commands/OrvAutoFlippingOpsDlg.h"
#include "commands/OrvSliderOpsDlg.h"
#include "commands/OrvSliderShow.h"
#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QWidget>
#include <algorithm>

namespace pagero {

AutoFlipController::AutoFlipController(BookContext &book, const MainMenus &menus, QObject *parent)
    : QObject(parent), book_(book), menus_(menus)
{
    connect(&Timer1, &QTimer::timeout, this, &AutoFlipController::Tick);
    ConnectCommands();
}

void AutoFlipController::ConnectCommands()
{
    const MainActions &a = menus_.actions;
    ConnectCommand(book_, a.AutoFLipping1, this, [this] { Start(); });
    ConnectCommand(book_, a.AutoFlipping2, this, [this] { StartOrStop(); });
    ConnectCommand(book_, a.SliderShow1, this, [this] { StartSlideShow(); });
    ConnectCommand(book_, a.SetAutoFlipping1, this, [this] { SetAutoFlippingOptions(); });
    ConnectCommand(book_, a.SetSlider1, this, [this] { SetSlideShowOptions(); });
    ConnectCommand(book_, a.AutoFlippingImg, this, [this] { StartOrStop(); });
    ConnectCommand(book_, a.SlideShowImg, this, [this] { StartSlideShow(); });
}

void AutoFlipController::StartOrStop()
{
    if (book_.Mode() == PaintMode::AutoFlipping) Stop();
    else if (book_.Mode() == PaintMode::Normal) Start();
}

void AutoFlipController::StartSlideShow()
{
    if (book_.Mode() == PaintMode::AutoFlipping) Stop();
    if (!book_.AlbumOpen() || book_.Building() || book_.Mode() != PaintMode::Normal) return;
    const PageList &pages = book_.Pages();
    QList<SlideFile> files;
    for (int i = 0; i < pages.Count(); ++i) files.append({pages.PagePath(i), pages.KindOf(i)});
    if (files.isEmpty()) return;
    if (!slideShow_) slideShow_ = new TSliderShow_Fm(book_.ParentWidget());
    slideShow_->StartSlideShow(files, book_.Options());
}

void AutoFlipController::SetAutoFlippingOptions()
{
    pagero::SetAutoFlippingOptions(book_.ParentWidget(), book_.Options());
}

void AutoFlipController::SetSlideShowOptions()
{
    pagero::SetSlideShowOptions(book_.ParentWidget(), book_.Options());
}

void AutoFlipController::StartTimer(int intervalMs, int direction, int endAction)
{
    // Out of range, an interval would spin the processor or stall; unknown codes take their defaults.
    Timer1.setInterval(std::clamp(intervalMs, MinIntervalMs, MaxIntervalMs));
    AutoFlipDirection = direction >= 0 && direction <= 2 ? direction : 1;
    AutoFlipEndAction = endAction >= 0 && endAction <= 2 ? endAction : 2;
    Timer1.start();
}

void AutoFlipController::EnableCommands(bool on)
{
    const MainMenuSet &m = menus_.menus;
    for (QMenu *menu : {m.File1, m.Edit1, m.View1, m.FlipTo1, m.BookMark1, m.Tools1, m.Options1})
        menu->menuAction()->setEnabled(on);
    menus_.toolBar->setEnabled(on);
}

bool AutoFlipController::Start()
{
    if (!book_.AlbumOpen() || book_.Mode() != PaintMode::Normal || book_.Building()) return false;
    const Settings &s = book_.Options();
    StartTimer(s.AutoFlipInterval, s.AutoFlipDirection, s.AutoFlipEndAction);
    // Only a pointer that steers the direction stays visible.
    if (AutoFlipDirection != 0) book_.BookArea()->setCursor(Qt::BlankCursor);
    book_.SetMode(PaintMode::AutoFlipping);
    EnableCommands(false);
    if (started) started();
    Tick();   // the first flip starts at once
    return true;
}

void AutoFlipController::Stop()
{
    Timer1.stop();
    book_.SetMode(PaintMode::Normal);
    EnableCommands(true);
    menus_.actions.AutoFlipping2->setEnabled(true);
    book_.BookArea()->unsetCursor();
    book_.RefreshToolBar();
}

void AutoFlipController::Tick()
{
    const FlipState &flip = book_.Spread();
    if (flip.LeafCount() > 0) return;   // a leaf is still in flight: the next tick tries again
    Timer1.stop();
    if (!book_.AlbumOpen()) return;
    int direction = AutoFlipDirection;
    if (direction == 0) direction = book_.PointerX() > book_.Geometry().SpineX ? 1 : 2;
    if (direction == 1) {
        if (flip.LastPageNo > flip.LeftPageNo) {
            book_.FlipTo(flip.LeftPageNo + 2);
        } else if (AutoFlipEndAction == 0) {
            return;
        } else if (AutoFlipEndAction == 1) {
            book_.FlipTo(0);
        } else {
            book_.FlipTo(flip.LastPageNo - 2);
            AutoFlipDirection = 2;
        }
    } else {
        if (flip.RightPageNo > 1) {
            book_.FlipTo(flip.RightPageNo - 2);
        } else if (AutoFlipEndAction == 0) {
            return;
        } else if (AutoFlipEndAction == 1) {
            book_.FlipTo(flip.LastPageNo);
        } else {
            book_.FlipTo(2);
            AutoFlipDirection = 1;
        }
    }
    // Restart only while auto flipping still runs (the window may have left it meanwhile).
    if (book_.Mode() == PaintMode::AutoFlipping || book_.Mode() == PaintMode::ScreenSaver) Timer1.start();
}

} // namespace pagero
