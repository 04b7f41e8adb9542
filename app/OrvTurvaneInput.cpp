// The main window's pointer and keyboard handling, its overlays and the commands it runs itself.
#include "app/OrvTurvane.h"
#include "app/AboutBox.h"
#include "app/AnnotationController.h"
#include "app/HelpWindow.h"
#include "app/FileCommands.h"
#include "app/PlaceController.h"
#include "core/book/StackArithmetic.h"
#include "core/common/ProductInfo.h"
#include "platform/Prompter.h"
#include <QAction>
#include <QDir>
#include <QKeyEvent>

namespace pagero {

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
        if (controls_->ScreenSaver().PointerMoved()) close();
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
    if (selection_.Click(pages_, file, shift, SelectAnchor)) {
        DrawBook();
        return;
    }
    const int code = Hot.HotCode;
    if (IsLeftPage(code) || IsRightPage(code)) {
        Flip(Hot.HotSide, 2);
    } else if (IsBookmarkTab(code)) {
        FlipTo(HitTester::PageOfHotCode(scene, Hot));
    } else if (IsThumbnail(code)) {
        if (Hot.HotSubKind == 1) FlipTo(layout_.FirstFilePage + EntryOfCode(code));
        else if (file >= 0 && file < pages_.Count()) PreviewOrPlay(pages_.PagePath(file));
    } else if (IsEntryCode(code)) {   // a contents or index line
        FlipTo(layout_.FirstFilePage + EntryOfCode(code));
    } else if (IsStackEdge(code)) {
        const int side = code == HotLeftStack ? 1 : 2;   // the stack's side, as StackEdgeAt numbers it
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
    if (controls_->Navigation().TurnByKey(key)) return;
    switch (key) {
    case Qt::Key_Escape:
        if (controls_->Frames().Frameless()) controls_->Frames().ToggleFrame();
        else if (ThePrompter().Confirm(QString("Exit ") + kApplicationTitle + "?")) close();
        break;
    case Qt::Key_F1:
        // The help pages live in the current folder's "Help" (the program folder after start).
        ShowHelp(this, QDir(QDir::currentPath()).filePath("Help"));
        break;
    case Qt::Key_F2:
        controls_->Frames().ToggleFrame();
        break;
    case Qt::Key_Space:
        // The element under the pointer as it is now: the spread may have turned since the last move.
        if (session_.AlbumOpen && mode_ == PaintMode::Normal) {
            Hot = HitTester::HitTest(MakeHitScene(), LastMouseX, LastMouseY);
            const QString path = FileOfPage(HitTester::PageOfHotCode(MakeHitScene(), Hot));
            if (!path.isEmpty()) PreviewOrPlay(path);
        }
        break;
    case Qt::Key_Delete:
        if (session_.AlbumOpen && mode_ == PaintMode::Normal) {
            Hot = HitTester::HitTest(MakeHitScene(), LastMouseX, LastMouseY);
            features_->Files().DeleteFile(FileOfPage(HitTester::PageOfHotCode(MakeHitScene(), Hot)));
        }
        break;
    case Qt::Key_Insert:
        if (session_.AlbumOpen && mode_ == PaintMode::Normal) features_->Files().CopyFrom();
        break;
    default:
        break;
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
    popup_.OpenAt(clientPos, globalPos);
}

// ---------------------------------------------------------------- menus

// The overview grid or its cache changed: the album is opened again and the book laid out anew.
void TTurvane_Fm::ReopenAlbum()
{
    if (Building()) {
        build_->AfterBuild([this] { ReopenAlbum(); });
        return;
    }
    if (session_.AlbumOpen) Places().reopenAt = Places().Current();
    session_.OpenAlbum(session_.AlbumFolder, [this](bool opened) {
        Places().reopenAt.reset();
        if (!opened) return;
        Layout();
        DrawBook();
    });
}

void TTurvane_Fm::RefreshToolBar()
{
    // The clipboard buttons keep their own picture check; the availability rules have the last word.
    if (features_) features_->RefreshToolBar();
    if (availability_) availability_->RefreshToolBar();
}

void TTurvane_Fm::ConnectCommands()
{
    const MainActions &act = menus_.actions;
    ConnectCommand(Book(), act.Exit2, this, [this] { close(); });
    ConnectCommand(Book(), act.Context1, this, [this] { FormKeyDown(Qt::Key_F1); });
    ConnectCommand(Book(), act.About1, this, [this] { ShowAbout(this); });
    RefreshToolBar();
}

} // namespace pagero
