#pragma once
// The feature controllers whose construction is only wiring: mail, batch, bookmarks and comments,
// file commands, music, media, the image editor, printing, the reader's place and the page zoom.
// The main window builds this one object after its own start-up and reaches each controller
// through it.
#include <QString>
#include <functional>
#include <memory>

class QObject;

namespace pagero {

class AnnotationController;
class BatchCommands;
class BookContext;
class EditorCommands;
class FileCommands;
class MailCommands;
class MediaController;
class MusicController;
class PageZoomController;
class PlaceController;
class PointerOverlay;
class PrintCommands;
class SaveReporter;
class TOpenDlg;
class TOverView_Fm;
class ViewController;
struct BookScene;
struct HitScene;
struct MainMenus;

class FeatureControllers {
public:
    // The window's parts the controllers use; each outlives this object.
    struct Parts {
        BookScene &scene;
        HitScene &hitScene;   // gets the bookmark tabs' hooks
        PointerOverlay &overlay;
        SaveReporter &saves;
        TOverView_Fm &overview;
        TOpenDlg &openDialog;   // copy, move and the file commands choose their folder with it
        ViewController &viewing;   // plays media pages through the media window
        QObject *window;   // parent of the mail and editor windows
        QString dataFolder, bookmarkDir, sysSoundDir;
        bool screenSaverMode;
        std::function<QString()> popupFile;   // the pop-up menu's file (empty: none)
    };
    FeatureControllers(BookContext &book, MainMenus &menus, const Parts &parts);
    ~FeatureControllers();

    AnnotationController &Annotations() { return *annotations_; }
    BatchCommands &Batch() { return *batch_; }
    EditorCommands &Editing() { return *editor_; }
    FileCommands &Files() { return *files_; }
    MailCommands &Mail() { return *mail_; }
    MediaController &Media() { return *media_; }
    MusicController &Music() { return *music_; }
    PlaceController &Places() { return *places_; }
    PageZoomController &Zoom() { return *zoom_; }
    PrintCommands &Printing() { return *printing_; }

private:
    std::unique_ptr<PlaceController> places_;   // the reader's place across rebuilds and reopenings
    std::unique_ptr<PrintCommands> printing_;
    std::unique_ptr<MailCommands> mail_;
    std::unique_ptr<BatchCommands> batch_;
    std::unique_ptr<AnnotationController> annotations_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<MusicController> music_;
    std::unique_ptr<MediaController> media_;
    std::unique_ptr<EditorCommands> editor_;
    std::unique_ptr<PageZoomController> zoom_;   // zooming into a file page's picture
};

} // namespace pagero
