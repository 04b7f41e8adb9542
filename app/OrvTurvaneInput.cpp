// The main window's pointer and keyboard handling, its overlays and the commands it runs itself.
#include "app/OrvTurvane.h"
#include "app/OrvFlippingTool.h"
#include "app/OrvSetFileTypeFilter.h"
#include "app/OrvSetFlipSpeed.h"
#include "commands/OrvOpenDlg.h"
#include "pages/OrvFindDlg.h"
#include "pages/OrvImgInfoBox.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/OrvPageNoDlg.h"
#include "pages/OrvPreviewPic.h"
#include "pages/ThumbnailSizes.h"
#include "common/Fonts.h"
#include "common/OrvMyLib.h"
#include "core/book/StackArithmetic.h"
#include "core/common/MyLib.h"
#include "core/common/ProductInfo.h"
#include "platform/Assets.h"
#include "platform/Prompter.h"
#include <QAction>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QToolBar>
#include <QUrl>

namespace pagero {

namespace {
QImage JumpBox()
{
    static const QImage box = DesignImage("ThumbCursorImg");
    return box;
}
uint32_t RedLow(const QColor &c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }
QColor FromRedLow(uint32_t v) { return QColor(int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF)); }
} // namespace

// ---------------------------------------------------------------- BookView events

void BookView::mouseMoveEvent(QMouseEvent *e)
{
    owner_->FormMouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void BookView::mousePressEvent(QMouseEvent *e)
{
    owner_->FormMouseDown(e->button(), e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}

void BookView::contextMenuEvent(QContextMenuEvent *e)
{
    if (owner_->PaintMode == 3) return;
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
    return s;
}

void TTurvane_Fm::FormMouseMove(int x, int y)
{
    if (Building()) return;
    LastMouseX = x;
    LastMouseY = y;
    if (PaintMode == 7) {
        if (MoveCount > 5) close();
        else ++MoveCount;
        return;
    }
    if (PaintMode != 1 || !session_.AlbumOpen || menus_.Act("TWainSaveAs")->isEnabled()) return;
    Hot = HitTester::HitTest(MakeHitScene(), x, y);
    SetPointerShape();
    if (HighlightCode != -1 && HighlightCode != Hot.HotCode) RemoveHighlight();
    if (HighlightCode == -1 && flip_.Consistent()) UpdateHighlight();
    if (settings_.JCAutoShow) UpdateJumpCursor(x, y);
    UpdateHint();
}

void TTurvane_Fm::SetPointerShape()
{
    const int code = Hot.HotCode;
    if (code == HotLeftPage || code == HotRightPage) {
        view_->setCursor(Qt::PointingHandCursor);
    } else if ((code > 3000 && code < 4000) || code == HotLeftStack || code == HotRightStack) {
        view_->setCursor(DesignCursor(LastMouseX > geo_.SpineX ? CursorHandPoint : CursorHandPointRight));
    } else if (code > 70000) {
        view_->setCursor(DesignCursor(Hot.HotSubKind == 1 ? CursorHandPointGoto : CursorZoomIn));
    } else if (code > 60000) {
        view_->setCursor(DesignCursor(CursorHandPointGoto2));
    } else if (code > 50000) {
        view_->setCursor(DesignCursor(CursorHandPointGoto));
    } else {
        view_->setCursor(Qt::ArrowCursor);
    }
}

void TTurvane_Fm::UpdateHighlight()
{
    const int code = Hot.HotCode;
    if (!HitTester::IsEntryCode(code)) return;
    HighlightCode = code;
    HighlightRect = Hot.HotRect;
    HighlightKind = Hot.HotSubKind;
    view_->update(HighlightRect.adjusted(-2, -2, 2, 2));
}

void TTurvane_Fm::RemoveHighlight()
{
    if (HighlightCode != -1) view_->update(HighlightRect.adjusted(-2, -2, 2, 2));
    if (JumpCursorShown) view_->update(JumpCursorRect);
    HighlightCode = -1;
    JumpCursorShown = false;
}

void TTurvane_Fm::UpdateJumpCursor(int x, int y)
{
    const bool overStack = Hot.HotCode == HotLeftStack || Hot.HotCode == HotRightStack;
    if (JumpCursorShown) view_->update(JumpCursorRect);
    if (!overStack) {
        JumpCursorShown = false;
        return;
    }
    const int side = Hot.HotCode - 4500;
    JumpCursorPage = PageFromStack(geo_, x, side, flip_.LeftPageNo, flip_.RightPageNo, flip_.LastPageNo);
    const QSize box = JumpBox().isNull() ? QSize(48, 32) : JumpBox().size();
    const int left = side == 1 ? x - box.width() / 2 : x - box.width();
    JumpCursorRect = QRect(QPoint(left, y + 10 - box.height()), box);
    JumpCursorShown = true;
    view_->update(JumpCursorRect);
}

void TTurvane_Fm::UpdateHint()
{
    QString hint;
    if (Hot.HotCode > 70000 && Hot.HotSubKind == 1) {
        const int entry = Hot.HotCode - HotThumbBase;
        if (entry >= 0 && entry < pages_.Count()) hint = pages_.names[entry];
    }
    view_->setToolTip(hint);
}

void TTurvane_Fm::PaintOverlays(QPainter &p)
{
    if (HighlightCode != -1) {
        if (HighlightKind == 1) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(HighlightRect, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else {
            p.setPen(QColor(0, 0, 255));
            p.setBrush(Qt::NoBrush);
            p.drawRect(HighlightRect);
        }
    }
    if (JumpCursorShown) {
        const QPoint at = JumpCursorRect.topLeft();
        if (JumpBox().isNull()) p.fillRect(JumpCursorRect, QColor(255, 255, 225));
        else p.drawImage(at, JumpBox());
        const int kind = layout_.SectionOf(JumpCursorPage);
        const char *icon = kind == FrontCover || kind == BackCover ? "CoverImg"
                           : kind == Overview                      ? "OverviewImg"
                           : kind == Contents                      ? "ContentsImg"
                           : kind == Index                         ? "IndexImg"
                                                                   : nullptr;
        p.setPen(Qt::black);
        p.setFont(BookFont(8));
        const QString label = PageLabel(JumpCursorPage);
        const int textW = p.fontMetrics().horizontalAdvance(label);
        p.drawText(at.x() + kJumpLabelLeft + (kJumpLabelWidth - textW) / 2,
                   at.y() + kJumpLabelTop + p.fontMetrics().ascent(), label);
        if (icon) p.drawImage(at + QPoint(kJumpIconLeft, kJumpIconTop), DesignImage(icon));
    }
}

// ---------------------------------------------------------------- clicks

void TTurvane_Fm::FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (button == Qt::RightButton && PaintMode != 3) {
        RightClickPending = true;
        return;
    }
    if (RightClickPending) {
        RightClickPending = false;
        return;
    }
    if (Building()) return;
    if (PaintMode == 7) {
        close();
        return;
    }
    if (PaintMode == 3) {
        StopAutoFlipping();
        return;
    }
    if (PaintMode == 5) {
        PaintMode = 1;
        return;
    }
    if (PaintMode != 1 || !session_.AlbumOpen) return;
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
        FlipTo(JumpCursorShown ? JumpCursorPage
                               : PageFromStack(geo_, x, side, flip_.LeftPageNo, flip_.RightPageNo,
                                               flip_.LastPageNo));
    }
}

// ---------------------------------------------------------------- keys

void TTurvane_Fm::keyPressEvent(QKeyEvent *e)
{
    FormKeyDown(e->key());
}

void TTurvane_Fm::FormKeyDown(int key)
{
    if (PaintMode == 7) {
        close();
        return;
    }
    if (PaintMode == 3) {
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
    case Qt::Key_F1: {
        const QString help = QDir(QDir::currentPath()).filePath("Help/index.html");
        if (QFileInfo::exists(help)) QDesktopServices::openUrl(QUrl::fromLocalFile(help));
        break;
    }
    case Qt::Key_F2:
        ToggleWindowFrame();
        break;
    case Qt::Key_Space:
        // The element under the pointer as it is now: the spread may have turned since the last move.
        if (session_.AlbumOpen && PaintMode == 1) {
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

void TTurvane_Fm::PreviewOrPlay(const QString &path)
{
    const int kind = MediaKind(path);
    if (kind != KindPicture && kind != KindImaging) return;   // playing sound, MIDI and video comes later
    RemoveHighlight();
    preview_->ShowPreview(path);
}

void TTurvane_Fm::ShowInformation(const QString &path)
{
    // Sounds, MIDI and video have a media information window of their own, not yet offered.
    if (path.isEmpty()) return;
    pagero::btnInfo1Click(*infoBox_, path, {});
}

// ---------------------------------------------------------------- pop-up menu

void TTurvane_Fm::PopupMenuAt(QPoint clientPos, QPoint globalPos)
{
    QMenu *popup = menus_.popup;
    const bool normal = PaintMode == 1 && session_.AlbumOpen;
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
    menus_.Act("btnView1")->setEnabled(withFile);
    menus_.Act("btnInfo1")->setEnabled(withFile);
    // The bookmark and rotation submenus hold only commands this window does not offer yet.
    menus_.Menu("Bookmarks1")->menuAction()->setEnabled(false);
    menus_.Menu("Rotate3")->menuAction()->setEnabled(false);
    popup->popup(globalPos);
}

void TTurvane_Fm::ToggleWindowFrame()
{
    const QRect bounds = geometry();
    setWindowFlag(Qt::FramelessWindowHint, !(windowFlags() & Qt::FramelessWindowHint));
    setGeometry(bounds);
    show();
    menus_.Act("WindowFrame2")->setChecked(!(windowFlags() & Qt::FramelessWindowHint));
}

// ---------------------------------------------------------------- menus

int TTurvane_Fm::CurrentSortOrder() const
{
    const char *names[] = {"byName1", "byType1", "bySize1", "byDate1"};
    for (int i = 0; i < 4; ++i)
        if (menus_.Act(names[i])->isChecked()) return i + 1;
    return 0;
}

void TTurvane_Fm::ApplySortOrderToMenu(int order)
{
    const char *names[] = {"byDefault1", "byName1", "byType1", "bySize1", "byDate1"};
    for (int i = 0; i < 5; ++i) menus_.Act(names[i])->setChecked(i == order);
}

void TTurvane_Fm::SortCommand(const QString &itemName, int order)
{
    QAction *item = menus_.Act(itemName);
    if (!item->isChecked()) {   // it was checked already: triggering only unchecked it
        item->setChecked(true);
        return;
    }
    ApplySortOrderToMenu(order);
    Rebuild([this](bool built) { if (built) DrawBook(); });
}

namespace {

// The colour and bitmap choices of the book background and the cover pattern: asks the user and, on
// a choice, sets the colour or the picture and the kind. False when the user chose nothing.
bool ChooseFill(int kind, const QString &title, const QString &patternFolder, uint32_t &colour,
                int32_t &fillKind, QImage &bitmap)
{
    if (kind == 1) {
        QColor c = FromRedLow(colour);
        if (!ChooseColor(c)) return false;
        colour = RedLow(c);
        fillKind = 1;
        return true;
    }
    QString file;
    if (!ChooseBitmap(title, patternFolder, file)) return false;
    const QImage image(file);
    if (image.isNull()) return false;
    bitmap = image;
    fillKind = 2;
    return true;
}

} // namespace

void TTurvane_Fm::BackgroundCommand(int which, int kind)
{
    // which: 1 the book background, 2 the cover pattern; kind: 0 default, 1 colour, 2 bitmap.
    const QString patterns = QDir(ExeDir).filePath("BitPattern");
    if (which == 1) {
        if (kind == 0) {
            scene_.screenBackBitmap = QImage(QDir(ExeDir).filePath(kDefaultBackBitmap));
            settings_.ScreenBackKind = scene_.screenBackBitmap.isNull() ? 1 : 2;
            if (settings_.ScreenBackKind == 1) settings_.ScreenBackColor = 0x808080;
        } else if (!ChooseFill(kind, "Select Book Background Fill Bitmap", patterns, settings_.ScreenBackColor,
                               settings_.ScreenBackKind, scene_.screenBackBitmap)) {
            return;
        }
        DrawBook();
        return;
    }
    if (kind == 0) {
        settings_.CoverColor = 0xFFFFFF;
        settings_.CoverKind = 0;
    } else if (!ChooseFill(kind, "Select Cover Background Fill Bitmap", patterns, settings_.CoverColor,
                           settings_.CoverKind, scene_.coverBitmap)) {
        return;
    }
    DrawBook();
    FlipTo(0);
}

void TTurvane_Fm::ToolBar1Click()
{
    settings_.ToolBarVisible = !settings_.ToolBarVisible;
    menus_.Act("ToolBar1")->setChecked(settings_.ToolBarVisible);
    menus_.toolBar->setVisible(settings_.ToolBarVisible);
    Layout();
    DrawBook();
}

void TTurvane_Fm::FlipTo1Click()
{
    const auto offSpread = [this](int page) {
        return session_.AlbumOpen && page != flip_.LeftPageNo && page != flip_.RightPageNo;
    };
    menus_.Act("Overview1")->setEnabled(offSpread(layout_.FirstOverviewPage));
    menus_.Act("Contents1")->setEnabled(offSpread(layout_.FirstContentsPage));
    menus_.Act("FirstPage1")->setEnabled(offSpread(layout_.FirstFilePage));
    menus_.Act("Index1")->setEnabled(offSpread(layout_.FirstIndexPage));
    // Typing a number or a name needs files to choose from.
    const bool withFiles = session_.AlbumOpen && pages_.Count() > 0;
    menus_.Act("PageNo1")->setEnabled(withFiles);
    menus_.Act("FileName1")->setEnabled(withFiles);
}

void TTurvane_Fm::View1Click()
{
    const bool left = !FileOfPage(flip_.LeftPageNo).isEmpty();
    const bool right = !FileOfPage(flip_.RightPageNo).isEmpty();
    menus_.Act("LeftImage1")->setEnabled(left);
    menus_.Act("LeftImage2")->setEnabled(left);
    menus_.Act("RightImage1")->setEnabled(right);
    menus_.Act("RightImage2")->setEnabled(right);
}

void TTurvane_Fm::PageNo1Click()
{
    if (!session_.AlbumOpen || pages_.Count() == 0) return;
    pagero::PageNo1Click(*pageNoDlg_, layout_.FirstFilePage, layout_.FirstIndexPage,
                         [this](int page) { FlipTo(page); });
}

void TTurvane_Fm::FileName1Click()
{
    if (!session_.AlbumOpen || pages_.Count() == 0) return;
    pagero::FileName1Click(*findDlg_, pages_.names, [this](const QString &name) { FlipToFile(name); });
}

bool TTurvane_Fm::FlipToFile(const QString &name)
{
    int entry = pages_.names.indexOf(name);
    if (entry < 0) entry = pages_.names.indexOf(QRegularExpression(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(name)),
        QRegularExpression::CaseInsensitiveOption));
    if (entry < 0) return false;
    FlipTo(layout_.FirstFilePage + entry);
    return true;
}

void TTurvane_Fm::FilterPages1Click()
{
    filterDlg_->Preset(session_.AlbumFolder, session_.FilterMask);
    if (filterDlg_->exec() == QDialog::Accepted && filterDlg_->Mask() != session_.FilterMask) {
        FlipTo(2);
        session_.FilterMask = filterDlg_->Mask();
        Rebuild([this](bool built) { if (built) DrawBook(); });
    }
    filterDlg_->SetFolder(QDir::currentPath());
    RefreshToolBar();
}

void TTurvane_Fm::ThumbnailSizeClick(int item)
{
    const ThumbnailSizeItem &size = kThumbnailSizeItems[size_t(item)];
    settings_.ThumbW = size.width;
    settings_.ThumbH = size.height;
    const char *names[] = {"btnLargest1", "btnMiddle1", "btnSmallest1"};
    for (int i = 0; i < 3; ++i) menus_.Act(names[i])->setChecked(i == CheckedThumbnailSizeItem(size.width));
    if (session_.AlbumOpen && ThumbnailSizeNeedsReopen(overview_->ThumbWidth(), item)) ReopenAlbum();
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

void TTurvane_Fm::SetFlipSpeedWnClick()
{
    speedDlg_->ShowAt(view_->mapToGlobal(QPoint(geo_.SpineX, 30)), flip_.FlipSpeed);
}

void TTurvane_Fm::FlippingControl2Click()
{
    if (flippingTool_->isVisible()) return;
    flippingTool_->ShowAt(view_->mapToGlobal(QPoint(geo_.SpineX, 20)), 0, flip_.LastPageNo + 1, flip_.RightPageNo);
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
    const bool on = (session_.AlbumOpen || session_.Opening) && PaintMode == 1;
    menus_.Act("OpenImg")->setEnabled(!Building());
    menus_.Act("FlipToOverviewImg")->setEnabled(on);
}

void TTurvane_Fm::ConnectCommands()
{
    const auto on = [this](const char *name, auto handler) {
        QAction *a = menus_.Act(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, handler);
    };
    const auto toggle = [this, &on](const char *name, bool Settings::*field) {
        on(name, [this, name, field] { settings_.*field = menus_.Act(name)->isChecked(); });
    };
    on("Open2", [this] { Open2Click(); });
    on("OpenImg", [this] { Open2Click(); });
    on("Exit2", [this] { close(); });
    for (QAction *item : menus_.mru)
        connect(item, &QAction::triggered, this, [this, item] { RUClick(item); });

    on("byName1", [this] { SortCommand("byName1", SortByName); });
    on("byType1", [this] { SortCommand("byType1", SortByType); });
    on("bySize1", [this] { SortCommand("bySize1", SortBySize); });
    on("byDate1", [this] { SortCommand("byDate1", SortByDate); });
    on("byDefault1", [this] { SortCommand("byDefault1", SortDefault); });
    on("ToolBar1", [this] { ToolBar1Click(); });
    on("FilterPages1", [this] { if (session_.AlbumOpen) FilterPages1Click(); });
    on("SetFlipSpeedWn", [this] { SetFlipSpeedWnClick(); });
    on("btnLargest1", [this] { ThumbnailSizeClick(0); });
    on("btnMiddle1", [this] { ThumbnailSizeClick(1); });
    on("btnSmallest1", [this] { ThumbnailSizeClick(2); });
    on("EmptyOverviewCache1", [this] { if (session_.AlbumOpen) EmptyOverviewCache1Click(); });
    on("FlippingControl2", [this] { if (session_.AlbumOpen) FlippingControl2Click(); });
    on("WindowFrame2", [this] { ToggleWindowFrame(); });
    on("WindowFrame1", [this] { ToggleWindowFrame(); });

    connect(menus_.Menu("FlipTo1"), &QMenu::aboutToShow, this, &TTurvane_Fm::FlipTo1Click);
    on("Overview1", [this] { FlipTo(layout_.FirstOverviewPage); });
    on("Contents1", [this] { FlipTo(layout_.FirstContentsPage); });
    on("FirstPage1", [this] { FlipTo(layout_.FirstFilePage); });
    on("Index1", [this] { FlipTo(layout_.FirstIndexPage); });
    on("FlipToOverviewImg", [this] { FlipTo(layout_.FirstOverviewPage); });
    const auto command = [this](const char *name, auto handler) {   // enabled when its menu opens
        connect(menus_.Act(name), &QAction::triggered, this, handler);
    };
    command("PageNo1", [this] { PageNo1Click(); });
    command("FileName1", [this] { FileName1Click(); });

    connect(menus_.Menu("View1"), &QMenu::aboutToShow, this, &TTurvane_Fm::View1Click);
    command("LeftImage1", [this] { PreviewOrPlay(FileOfPage(flip_.LeftPageNo)); });
    command("RightImage1", [this] { PreviewOrPlay(FileOfPage(flip_.RightPageNo)); });
    command("LeftImage2", [this] { ShowInformation(FileOfPage(flip_.LeftPageNo)); });
    command("RightImage2", [this] { ShowInformation(FileOfPage(flip_.RightPageNo)); });
    command("btnView1", [this] { if (!PopupFile.isEmpty()) PreviewOrPlay(PopupFile); });
    command("btnInfo1", [this] { if (!PopupFile.isEmpty()) ShowInformation(PopupFile); });

    toggle("JCAutoShow", &Settings::JCAutoShow);
    toggle("AutoReopen", &Settings::AutoReopen);
    toggle("FlippingSound1", &Settings::FlippingSound);
    on("AutoFlipToOverview", [this] {
        settings_.AutoFlipToOverview = menus_.Act("AutoFlipToOverview")->isChecked();
        if (settings_.AutoFlipToOverview && session_.AlbumOpen) {
            FlipTo(1);
            const int speed = flip_.FlipSpeed;
            flip_.SetFlipSpeed(25);
            FlipTo(layout_.FirstOverviewPage);
            flip_.SetFlipSpeed(speed);
        }
    });
    connect(menus_.Menu("Options1"), &QMenu::aboutToShow, this, [this] {
        menus_.Act("FlippingSound1")->setEnabled(!settings_.BackgroundMusic);
    });

    on("Default1", [this] { BackgroundCommand(1, 0); });
    on("Color1", [this] { BackgroundCommand(1, 1); });
    on("btnBitmap1", [this] { BackgroundCommand(1, 2); });
    on("Default2", [this] { BackgroundCommand(2, 0); });
    on("Color2", [this] { BackgroundCommand(2, 1); });
    on("btnBitmap2", [this] { BackgroundCommand(2, 2); });
    on("Context1", [this] { FormKeyDown(Qt::Key_F1); });
    RefreshToolBar();
}

} // namespace pagero
