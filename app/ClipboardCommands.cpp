#include "app/ClipboardCommands.h"
#include "app/BookContext.h"
#include "app/EditorCommands.h"
#include "app/MainMenus.h"
#include "app/PictureIntake.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/common/MyLib.h"
#include "editor/OrvLead_Fm.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>

namespace pagero {

namespace {
bool IsPicture(const QString &path)
{
    const int kind = MediaKind(path);
    return !path.isEmpty() && (kind == KindPicture || kind == KindImaging);
}
} // namespace

ClipboardCommands::ClipboardCommands(BookContext &book, const MainMenus &menus, EditorCommands &editor,
                                     std::function<QString()> popupFile, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), editor_(editor)
{
    const MainActions &a = menus.actions;
    const auto left = [this] { CopyPagePicture(book_.FileOfPage(book_.Spread().LeftPageNo)); };
    const auto right = [this] { CopyPagePicture(book_.FileOfPage(book_.Spread().RightPageNo)); };
    for (QAction *copy : {a.LeftPageImage4, a.CopyToClipBdLImg}) ConnectCommand(book_, copy, this, left);
    for (QAction *copy : {a.RightPageImage4, a.CopyToClipBdRImg}) ConnectCommand(book_, copy, this, right);
    ConnectCommand(book_, a.CopytoClipboard1, this, [this, popupFile] { CopyPagePicture(popupFile()); }, false);
    ConnectCommand(book_, a.Paste1, this, [this] { PastePicture(); });
    ConnectCommand(book_, a.PastFromClipBdImg, this, [this] { PastePicture(); });

    connect(menus.menus.Edit1, &QMenu::aboutToShow, this, [this] {
        const MainActions &a = menus_.actions;
        const bool normal = book_.AlbumOpen() && book_.Mode() == PaintMode::Normal && !book_.Building();
        a.LeftPageImage4->setEnabled(normal && IsPicture(book_.FileOfPage(book_.Spread().LeftPageNo)));
        a.RightPageImage4->setEnabled(normal && IsPicture(book_.FileOfPage(book_.Spread().RightPageNo)));
        a.Paste1->setEnabled(normal && !pasting_);
    });
    connect(menus.popup, &QMenu::aboutToShow, this, [this, popupFile] {
        menus_.actions.CopytoClipboard1->setEnabled(book_.AlbumOpen() && book_.Mode() == PaintMode::Normal
                                                    && IsPicture(popupFile()));
    });
    // Whether the clipboard holds a picture is asked once per change, not at every refresh: with
    // X11 each question is a round trip to the clipboard's owner.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &ClipboardCommands::ClipboardChanged);
    ClipboardChanged();
}

void ClipboardCommands::ClipboardChanged()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    clipboardPicture_ = data && data->hasImage();
    book_.RefreshToolBar();
}

void ClipboardCommands::RefreshToolBar()
{
    const MainActions &a = menus_.actions;
    const bool normal = book_.AlbumOpen() && book_.Mode() == PaintMode::Normal && !book_.Building() && !pasting_;
    a.CopyToClipBdLImg->setEnabled(normal && IsPicture(book_.FileOfPage(book_.Spread().LeftPageNo)));
    a.CopyToClipBdRImg->setEnabled(normal && IsPicture(book_.FileOfPage(book_.Spread().RightPageNo)));
    a.PastFromClipBdImg->setEnabled(normal && clipboardPicture_);
}

bool ClipboardCommands::CopyPagePicture(const QString &path)
{
    if (!IsPicture(path)) return false;
    editor::TLead_Fm &editor = editor_.EnsureEditor();
    if (!editor.LoadFile(path)) return false;
    editor.CopyToClipboard();
    return true;
}

void ClipboardCommands::PastePicture(std::function<void(bool saved)> done)
{
    const auto finish = [done](bool saved) {
        if (done) done(saved);
    };
    const QString folder = book_.AlbumFolder();
    if (pasting_ || folder.isEmpty()) return finish(false);
    editor::TLead_Fm &editor = editor_.EnsureEditor();
    QString name = JoinPath(folder, QStringLiteral("Z_BMP.bmp"));
    if (QFileInfo::exists(name)) name = UniqueFileName(name);
    if (!editor.TakeClipboardPicture(name)) return finish(false);

    pasting_ = true;
    RestMainCommands(book_, menus_, true);
    editor.SaveAsIn(folder, QFileInfo(name).fileName(), [this, &editor, finish](bool saved) {
        const QString path = editor.Document().FileName();
        const QString album = book_.AlbumFolder();
        const auto end = [this, finish, saved] {
            pasting_ = false;
            RestMainCommands(book_, menus_, false);
            finish(saved);
        };
        if (!saved || !InAlbumFolder(path, album)) return end();
        book_.DropThumbnail(path);
        book_.Rebuild([this, path, end](bool built) {
            // Among the file pages the book turns to the new one; elsewhere it stays.
            const int page = built ? FilePageOf(book_, path) : -1;
            if (page > 0 && book_.Spread().LeftPageNo >= book_.Sections().FirstFilePage) book_.FlipTo(page);
            else book_.DrawBook();
            end();
        });
    });
}

} // namespace pagero
