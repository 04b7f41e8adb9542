#include "app/ScanCommands.h"
#include "app/BookContext.h"
#include "app/EditorCommands.h"
#include "app/MainMenus.h"
#include "app/PictureIntake.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "editor/OrvLead_Fm.h"
#include "platform/Prompter.h"
#include <QAction>
#include <QDir>
#include <QMenu>

namespace pagero {

ScanCommands::ScanCommands(BookContext &book, const MainMenus &menus, EditorCommands &editor, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), editor_(editor)
{
    const MainActions &a = menus.actions;
    ConnectCommand(book_, a.Select1, this, [this] { SelectSource(); });
    ConnectCommand(book_, a.Acquire1, this, [this] { AcquirePicture(); });
    connect(menus.menus.GetImage1, &QMenu::aboutToShow, this, [this] {
        const bool idle = !running_ && book_.Mode() == PaintMode::Normal;
        menus_.actions.Select1->setEnabled(idle);
        menus_.actions.Acquire1->setEnabled(idle && book_.AlbumOpen());
    });
}

void ScanCommands::SelectSource()
{
    if (running_) return;
    running_ = true;
    editor_.EnsureEditor().SelectScanSource([this] { running_ = false; });
}

void ScanCommands::AcquirePicture(std::function<void(bool saved)> done)
{
    const auto finish = [done](bool saved) {
        if (done) done(saved);
    };
    if (running_ || !book_.AlbumOpen()) return finish(false);
    running_ = true;
    editor_.EnsureEditor().Acquire([this, finish](bool acquired) {
        if (!acquired) {
            running_ = false;
            return finish(false);
        }
        RestMainCommands(book_, menus_, true);
        SaveScan([this, finish](bool saved) {
            running_ = false;
            RestMainCommands(book_, menus_, false);
            finish(saved);
        });
    });
}

void ScanCommands::SaveScan(std::function<void(bool saved)> done)
{
    editor::TLead_Fm &editor = editor_.EnsureEditor();
    QString folder = book_.AlbumFolder();
    if (folder.isEmpty()) folder = QDir::homePath();
    editor.SaveAsIn(folder, QStringLiteral("Z_Img.jpg"), [this, &editor, done](bool saved) {
        if (saved) return Saved(editor.Document().FileName(), [done] { done(true); });
        // The scan exists only in memory: it goes only when the user says so.
        if (book_.Prompt().Confirm(QStringLiteral("Image will not be saved on disk. Continue?"))) return done(false);
        SaveScan(done);
    });
}

void ScanCommands::Saved(const QString &path, std::function<void()> end)
{
    book_.DropThumbnail(path);
    if (!InAlbumFolder(path, book_.AlbumFolder())) return end();
    // The book turns to the new file's page; when it was open, to the place of that file in the
    // section it showed (the overview page that lists it, for one).
    const FlipState &spread = book_.Spread();
    const bool closed = spread.LeftPageNo == 0 || spread.LeftPageNo == spread.LastPageNo;
    const int section = book_.Sections().SectionOf(spread.LeftPageNo);
    book_.Rebuild([this, path, closed, section, end](bool built) {
        const int filePage = built ? FilePageOf(book_, path) : -1;
        if (filePage < 0) {
            book_.DrawBook();
            return end();
        }
        const int index = filePage - book_.Sections().FirstFilePage;
        int page = closed ? filePage : book_.Sections().SectionToPage(section, index);
        if (page < 0) page = filePage;
        book_.FlipTo(page);
        end();
    });
}

} // namespace pagero
