#include "app/FeatureControllers.h"
#include "app/AnnotationController.h"
#include "app/BatchCommands.h"
#include "app/BookContext.h"
#include "app/ClipboardCommands.h"
#include "app/EditorCommands.h"
#include "app/FileCommands.h"
#include "app/MailCommands.h"
#include "app/MediaController.h"
#include "app/MusicController.h"
#include "app/PageZoomController.h"
#include "app/PlaceController.h"
#include "app/PrintCommands.h"
#include "app/ScanCommands.h"
#include "app/ViewController.h"
#include "commands/OrvOpenDlg.h"
#include "core/book/Settings.h"

namespace pagero {

FeatureControllers::FeatureControllers(BookContext &book, MainMenus &menus, const Parts &parts)
{
    places_ = std::make_unique<PlaceController>(book);
    printing_ = std::make_unique<PrintCommands>(book, menus, parts.overview, parts.popupFile,
                                                parts.viewing.Preview());
    mail_ = std::make_unique<MailCommands>(book, menus, parts.dataFolder, parts.window);
    // Batch selection and batch commands; copy and move choose their folder with the open dialog.
    TOpenDlg &dialog = parts.openDialog;
    batch_ = std::make_unique<BatchCommands>(book, menus, parts.popupFile,
        [&dialog](int mode, const QString &source, QString &folder) {
            dialog.SourceFile = source;
            if (!dialog.ExecuteMode(mode, false)) return false;
            folder = dialog.ChosenFolder();
            return true;
        });
    annotations_ = std::make_unique<AnnotationController>(book, menus, parts.scene, parts.overlay, parts.saves,
                                                          parts.bookmarkDir, parts.screenSaverMode);
    annotations_->FillHitScene(parts.hitScene);
    // Folder and file commands; renames and deletes keep the album's stored bookmarks and comments
    // in step.
    files_ = std::make_unique<FileCommands>(
        book, menus, dialog, parts.popupFile, [this](const QString &oldPath, const QString &newPath) {
            if (newPath.isEmpty()) annotations_->FileDropped(oldPath);
            else annotations_->FileRenamed(oldPath, newPath);
        });
    // Sound and motion: background music and the media window.
    music_ = std::make_unique<MusicController>(book, menus, parts.sysSoundDir);
    media_ = std::make_unique<MediaController>(book, *music_);
    parts.viewing.playMedia = [this](const QString &path) { media_->PlayMediaFile(path); };
    parts.viewing.showMediaInfo = [this](const QString &path) { media_->ShowMediaInfo(path); };
    if (book.Options().BackgroundMusic && !parts.screenSaverMode) music_->StartMusic();
    editor_ = std::make_unique<EditorCommands>(book, menus, parts.dataFolder, parts.popupFile, parts.window);
    zoom_ = std::make_unique<PageZoomController>(book, book.ParentWidget());
    // The editor prints through the book's print setup; pictures come in through the editor.
    editor_->PrintFile = [this](const QString &path) { return printing_->PrintPicture(path); };
    clipboard_ = std::make_unique<ClipboardCommands>(book, menus, *editor_, parts.popupFile);
    scanning_ = std::make_unique<ScanCommands>(book, menus, *editor_);
}

void FeatureControllers::RefreshToolBar()
{
    clipboard_->RefreshToolBar();
}

FeatureControllers::~FeatureControllers() = default;

} // namespace pagero
