#pragma once
// The controllers of the window's own commands: folders, the window frame, options, navigation,
// sort order, viewing, backgrounds, thumbnail sizes, auto flipping and the screen-saver run. They
// are built before the window reads its settings (its start-up shows their check marks and loads
// the backgrounds through them), so they live apart from the later FeatureControllers.
#include "app/AutoFlipController.h"
#include "app/BackgroundController.h"
#include "app/FolderController.h"
#include "app/NavigationController.h"
#include "app/OptionsController.h"
#include "app/ScreenSaverRun.h"
#include "app/SortController.h"
#include "app/ThumbnailSizeController.h"
#include "app/ViewController.h"
#include "app/WindowFrameController.h"
#include <QString>
#include <functional>
#include <memory>

class QImage;
class QMainWindow;

namespace pagero {

class AlbumSession;
class BookContext;
class SaveReporter;
class TOverView_Fm;
struct BookScene;
struct MainMenus;

class WindowControllers {
public:
    // The window's parts and hooks the controllers use; each outlives this object.
    struct Parts {
        QMainWindow &window;   // framed and unframed by the frame controller; parent of the dialogs
        AlbumSession &session;
        BookScene &scene;
        QImage &previewBack;   // the preview background picture, loaded and saved with the backgrounds
        SaveReporter &saves;
        TOverView_Fm &overview;
        const FolderChooserFn *folderChooser;   // the window's test hook for folder choices
        std::function<QString()> popupFile;     // the pop-up menu's file (empty: none)
        std::function<void(const QString &)> switchAlbum;
        std::function<void()> layout, removeHighlight, reopenAlbum, emptyOverviewCache, closeWindow;
        std::function<void()> screenSaverAlbumOpened;
    };
    WindowControllers(BookContext &book, MainMenus &menus, const Parts &parts);
    ~WindowControllers();

    AutoFlipController &AutoFlip() { return *autoFlip_; }
    BackgroundController &Backgrounds() { return *backgrounds_; }
    FolderController &Folders() { return *folders_; }
    NavigationController &Navigation() { return *navigation_; }
    OptionsController &Options() { return *options_; }
    ScreenSaverRun &ScreenSaver() { return *screenSaver_; }
    SortController &Sorting() { return *sorting_; }
    ThumbnailSizeController &ThumbnailSizes() { return *thumbnailSizes_; }
    ViewController &Viewing() { return *viewing_; }
    WindowFrameController &Frames() { return *frames_; }

private:
    std::unique_ptr<FolderController> folders_;
    std::unique_ptr<WindowFrameController> frames_;
    std::unique_ptr<OptionsController> options_;
    std::unique_ptr<NavigationController> navigation_;
    std::unique_ptr<SortController> sorting_;
    std::unique_ptr<ViewController> viewing_;
    std::unique_ptr<BackgroundController> backgrounds_;
    std::unique_ptr<ThumbnailSizeController> thumbnailSizes_;
    std::unique_ptr<AutoFlipController> autoFlip_;
    std::unique_ptr<ScreenSaverRun> screenSaver_;
};

} // namespace pagero
