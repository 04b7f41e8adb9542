// The main window's pointer and keyboard handling, its overlays and the commands it runs itself.
#include "app/OrvTurvane.h"
#include "app/AboutBox.h"
#include "app/AnnotationController.h"
#include "app/HelpWindow.h"
#include "app/OrvSetFileTypeFilter.h"
#include "commands/OrvOpenDlg.h"
#include "pages/OrvOverView_Ut.h"
#include "core/book/StackArithmetic.h"
#include "core/common/MyLib.h"
#include "core/common/ProductInfo.h"
#include "platform/Prompter.h"
#include <QAction>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QToolBar>
#include <QUrl>

namespace pagero {

// ---------------------------------------------------------------- BookView events

void BookView::mouseMoveEvent(QMouseEvent *e)
{
    owner_->FormMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void BookView::wheelEvent(QWheelEvent *e)
{
    e->accept();
    owner_->FormWheel(e->angleDelta().y());
}

void BookView::mousePressEvent(QMouseEvent *e)
{
    owner_->FormMouseDown(e->button(), e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}

void BookView::contextMenuEvent(QContextMenuEvent *e)
{
    if (owner_->Mode() == PaintMode::AutoFlipping) return;
    owner_->PopupMenuAt(e->pos(), e->globalPos());
}

// ---------------------------------------------------------------- hit state

HitScene TTurvane_Fm::MakeHitScene() const
{
    HitScene s;
    s.geo = &geo_;
    s.layout = &layout_;
    s.flip = &flip_;
    s.overview = scene_.overview;
    s.contents = scene_.contents;
    s.index = scene_.index;
    if (annotations_) annotations_->FillHitScene(s);
    return s;
}

void TTurvane_Fm::FormMouseMove(int x, int y)
{
    if (MustWaitForFlip()) {
        AfterFlip([this, x, y] { FormMouseMove(x, y); });
        return;
    }
    if (Building()) return;
    LastMouseX = x;
    LastMouseY = y;
    if (mode_ == PaintMode::ScreenSaver) {
        if (MoveCount > 5) close();
        else ++MoveCount;
        return;
    }
    if (mode_ != PaintMode::Normal || !session_.AlbumOpen || menus_.actions.TWainSaveAs->isEnabled()) return;
    Hot = HitTester::HitTest(MakeHitScene(), x, y);
    overlay_.Track(Hot, x, y, settings_.JCAutoShow);
}

// ---------------------------------------------------------------- clicks

void TTurvane_Fm::FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    // Clicks and keys during a flip wait for the leaves to land and then count, in order.
    if (MustWaitForFlip()) {
        AfterFlip([this, button, shift, x, y] { FormMouseDown(button, shift, x, y); });
        return;
    }
    if (button == Qt::RightButton && mode_ != PaintMode::AutoFlipping) {
        RightClickPending = true;
        return;
    }
    if (RightClickPending) {
        RightClickPending = false;
        return;
    }
    if (Building()) return;
    if (mode_ == PaintMode::ScreenSaver) {
        close();
        return;
    }
    if (mode_ == PaintMode::AutoFlipping) {
        StopAutoFlipping();
        return;
    }
    if (mode_ == PaintMode::Paused) {
        mode_ = PaintMode::Normal;
        return;
    }
    if (mode_ != PaintMode::Normal || !session_.AlbumOpen) return;
    Hot = HitTester::HitTest(MakeHitScene(), x, y);
    RemoveHighlight();

    const HitScene scene = MakeHitScene();
    const int file = HitTester::FileOfHotCode(scene, Hot);
    if (file >= 0 && file < pages_.Count() && (shift & Qt::ControlModifier)) {
        selection_.Toggle(pages_.PagePath(file));
        DrawBook();
        SelectAnchor = file;
        return;
    }
    if (file >= 0 && file < pages_.Count() && (shift & Qt::ShiftModifier)) {
        if (selection_.IsEmpty() || SelectAnchor < 0 || SelectAnchor >= pages_.Count()) {
            selection_.Add(pages_.PagePath(file));
            SelectAnchor = file;
        } else {
            selection_.Clear();
            for (int i = std::min(SelectAnchor, file); i <= std::max(SelectAnchor, file); ++i)
                selection_.Add(pages_.PagePath(i));
        }
        DrawBook();
        return;
    }
    const int code = Hot.HotCode;
    if (code == HotLeftPage || code == HotRightPage) {
        Flip(Hot.HotSide, 2);
    } else if (code > 3000 && code < 4000) {
        FlipTo(HitTester::PageOfHotCode(scene, Hot));
    } else if (code > 70000) {
        if (Hot.HotSubKind == 1) FlipTo(layout_.FirstFilePage + HitTester::EntryOfCode(code));
        else if (file >= 0 && file < pages_.Count()) PreviewOrPlay(pages_.PagePath(file));
    } else if (code > 50000) {
        FlipTo(layout_.FirstFilePage + HitTester::EntryOfCode(code));
    } else if (code == HotLeftStack || code == HotRightStack) {
        const int side = code - 4500;
        FlipTo(overlay_.JumpCursorShown ? overlay_.JumpCursorPage
                               : PageFromStack(geo_, x, side, flip_.LeftPageNo, flip_.RightPageNo,
                                               flip_.LastPageNo));
    }
}

// ---------------------------------------------------------------- keys

void TTurvane_Fm::keyPressEvent(QKeyEvent *e)
{
    FormKeyDown(e->key());
}

void TTurvane_Fm::FormWheel(int delta)
{
    // One leaf per notch (120 units; a touchpad's small steps add up). Notches that arrive while a
    // flip runs are dropped, not queued, so a fast spin does not keep the book turning afterwards.
    if (Flipping() || MustWaitForFlip() || Building() || mode_ != PaintMode::Normal || !session_.AlbumOpen) {
        wheelRest_ = 0;
        return;
    }
    wheelRest_ += delta;
    if (wheelRest_ <= -120) Flip(Forward, 2);
    else if (wheelRest_ >= 120) Flip(Backward, 2);
    else return;
    wheelRest_ = 0;
}

void TTurvane_Fm::FormKeyDown(int key)
{
    if (MustWaitForFlip()) {
        AfterFlip([this, key] { FormKeyDown(key); });
        return;
    }
    if (mode_ == PaintMode::ScreenSaver) {
        close();
        return;
    }
    if (mode_ == PaintMode::AutoFlipping) {
        StopAutoFlipping();
        return;
    }
    if (Building() && key != Qt::Key_Escape) return;
    switch (key) {
    case Qt::Key_Escape:
        if (windowFlags() & Qt::FramelessWindowHint) ToggleWindowFrame();
        else if (ThePrompter().Confirm(QString("Exit ") + kApplicationTitle + "?")) close();
        break;
    case Qt::Key_Left:
        if (session_.AlbumOpen) Flip(Backward, 2);
        break;
    case Qt::Key_Right:
        if (session_.AlbumOpen) Flip(Forward, 2);
        break;
    // Keys people expect beside the arrows: a spread per Page key, the covers by Home and End.
    case Qt::Key_PageDown:
        if (session_.AlbumOpen) Flip(Forward, 2);
        break;
    case Qt::Key_PageUp:
        if (session_.AlbumOpen) Flip(Backward, 2);
        break;
    case Qt::Key_Home:
        if (session_.AlbumOpen) FlipTo(layout_.FrontCoverPage);
        break;
    case Qt::Key_End:
        if (session_.AlbumOpen) FlipTo(layout_.BackCoverPage);
        break;
    case Qt::Key_F1:
        // The help pages live in the current folder's "Help" (the program folder after start).
        ShowHelp(this, QDir(QDir::currentPath()).filePath("Help"));
        break;
    case Qt::Key_F2:
        ToggleWindowFrame();
        break;
    case Qt::Key_Space:
        // The element under the pointer as it is now: the spread may have turned since the last move.
        if (session_.AlbumOpen && mode_ == PaintMode::Normal) {
            Hot = HitTester::HitTest(MakeHitScene(), LastMouseX, LastMouseY);
            const QString path = FileOfPage(HitTester::PageOfHotCode(MakeHitScene(), Hot));
            if (!path.isEmpty()) PreviewOrPlay(path);
        }
        break;
    default:
        break;   // Delete and Insert run the delete and copy-from commands
    }
}

QString TTurvane_Fm::FileOfPage(int page) const
{
    if (page < layout_.FirstFilePage || page >= layout_.FirstIndexPage) return QString();
    const int entry = page - layout_.FirstFilePage;
    return entry < pages_.Count() ? pages_.PagePath(entry) : QString();
}

// ---------------------------------------------------------------- pop-up menu

void TTurvane_Fm::PopupMenuAt(QPoint clientPos, QPoint globalPos)
{
    if (MustWaitForFlip()) {
        AfterFlip([this, clientPos, globalPos] { PopupMenuAt(clientPos, globalPos); });
        return;
    }
    QMenu *popup = menus_.popup;
    const bool normal = mode_ == PaintMode::Normal && session_.AlbumOpen;
    PopupTarget = PopupPage = 0;
    PopupFile.clear();
    if (normal) {
        const HitScene scene = MakeHitScene();
        const HotState hot = HitTester::HitTest(scene, clientPos.x(), clientPos.y());
        PopupTarget = hot.HotCode;
        PopupPage = hot.HotPage;
        // Pages and entries designate files; bookmark tabs and stack edges do not.
        const bool designates = PopupTarget == HotLeftPage || PopupTarget == HotRightPage
                                || HitTester::IsEntryCode(PopupTarget);
        const int file = designates ? HitTester::FileOfHotCode(scene, hot) : -1;
        if (file >= 0 && file < pages_.Count()) PopupFile = pages_.PagePath(file);
    }
    const bool withFile = normal && !PopupFile.isEmpty();
    menus_.actions.btnView1->setEnabled(withFile);
    menus_.actions.btnInfo1->setEnabled(withFile);
    annotations_->PopupOpened(PopupTarget, PopupPage, normal);
    // The rotation submenu holds only commands this window does not offer yet.
    menus_.menus.Rotate3->menuAction()->setEnabled(false);
    popup->popup(globalPos);
}

void TTurvane_Fm::ToggleWindowFrame()
{
    const QRect bounds = geometry();
    setWindowFlag(Qt::FramelessWindowHint, !(windowFlags() & Qt::FramelessWindowHint));
    setGeometry(bounds);
    show();
    menus_.actions.WindowFrame2->setChecked(!(windowFlags() & Qt::FramelessWindowHint));
}

// ---------------------------------------------------------------- menus

void TTurvane_Fm::ToolBar1Click()
{
    settings_.ToolBarVisible = !settings_.ToolBarVisible;
    menus_.actions.ToolBar1->setChecked(settings_.ToolBarVisible);
    menus_.toolBar->setVisible(settings_.ToolBarVisible);
    Layout();
    DrawBook();
}

void TTurvane_Fm::FilterPages1Click()
{
    filterDlg_->Preset(session_.AlbumFolder, session_.FilterMask);
    if (filterDlg_->exec() == QDialog::Accepted && filterDlg_->Mask() != session_.FilterMask) {
        FlipTo(2, [this, mask = filterDlg_->Mask()] {
            session_.FilterMask = mask;
            Rebuild([this](bool built) {
                if (built) DrawBook();
                RefreshToolBar();
            });
        });
    }
    filterDlg_->SetFolder(QDir::currentPath());
    RefreshToolBar();
}

// The overview grid or its cache changed: the album is opened again and the book laid out anew.
void TTurvane_Fm::ReopenAlbum()
{
    if (Building()) {
        AfterBuild([this] { ReopenAlbum(); });
        return;
    }
    session_.OpenAlbum(session_.AlbumFolder, [this](bool opened) {
        if (!opened) return;
        Layout();
        DrawBook();
    });
}

void TTurvane_Fm::Open2Click()
{
    openDlg_->CurrentFolder = session_.AlbumFolder;
    openDlg_->SetFolder(session_.AlbumFolder);
    if (openDlg_->ExecuteMode(TOpenDlg::OpenFolder, true)) SwitchAlbum(openDlg_->ChosenFolder());
}

void TTurvane_Fm::RefreshToolBar()
{
    // Also while the album is being opened: its first flips refresh the bar before it counts as open.
    const bool on = (session_.AlbumOpen || session_.Opening) && mode_ == PaintMode::Normal;
    menus_.actions.OpenImg->setEnabled(!Building());
    menus_.actions.FlipToOverviewImg->setEnabled(on);
    if (annotations_) annotations_->RefreshToolBar();
}

void TTurvane_Fm::ConnectCommands()
{
    const MainActions &act = menus_.actions;
    // A command chosen while a flip runs waits for the leaves to land.
    const auto on = [this](QAction *a, auto handler) {
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, [this, handler] { AfterFlip(handler); });
    };
    const auto toggle = [this, &on](QAction *a, bool Settings::*field) {
        on(a, [this, a, field] { settings_.*field = a->isChecked(); });
    };
    on(act.Open2, [this] { Open2Click(); });
    on(act.OpenImg, [this] { Open2Click(); });
    on(act.Exit2, [this] { close(); });
    for (QAction *item : menus_.mru)
        connect(item, &QAction::triggered, this, [this, item] { AfterFlip([this, item] { RUClick(item); }); });

    on(act.ToolBar1, [this] { ToolBar1Click(); });
    on(act.FilterPages1, [this] { if (session_.AlbumOpen) FilterPages1Click(); });
    on(act.WindowFrame2, [this] { ToggleWindowFrame(); });
    on(act.WindowFrame1, [this] { ToggleWindowFrame(); });

    toggle(act.JCAutoShow, &Settings::JCAutoShow);
    toggle(act.AutoReopen, &Settings::AutoReopen);
    toggle(act.FlippingSound1, &Settings::FlippingSound);
    connect(menus_.menus.Options1, &QMenu::aboutToShow, this, [this] {
        menus_.actions.FlippingSound1->setEnabled(!settings_.BackgroundMusic);
    });

    on(act.Context1, [this] { FormKeyDown(Qt::Key_F1); });
    on(act.About1, [this] { ShowAbout(this); });
    RefreshToolBar();
}

} // namespace pagero
