#include "app/WindowControllers.h"
#include <QMainWindow>

namespace pagero {

WindowControllers::WindowControllers(BookContext &book, MainMenus &menus, const Parts &parts)
{
    folders_ = std::make_unique<FolderController>(book, menus, parts.session, &parts.window, parts.switchAlbum,
                                                  parts.folderChooser);
    InstallProgramIcon();
    frames_ = std::make_unique<WindowFrameController>(book, menus, parts.window, parts.layout);
    options_ = std::make_unique<OptionsController>(book, menus);
    navigation_ = std::make_unique<NavigationController>(book, menus);
    sorting_ = std::make_unique<SortController>(book, menus);
    viewing_ = std::make_unique<ViewController>(book, menus, parts.popupFile, parts.removeHighlight);
    backgrounds_ = std::make_unique<BackgroundController>(book, menus, parts.scene, parts.previewBack, parts.saves);
    thumbnailSizes_ = std::make_unique<ThumbnailSizeController>(book, menus, parts.overview, parts.reopenAlbum,
                                                                parts.emptyOverviewCache);
    autoFlip_ = std::make_unique<AutoFlipController>(book, menus);
    screenSaver_ = std::make_unique<ScreenSaverRun>(book, menus, parts.session, *autoFlip_, parts.window,
                                                    parts.closeWindow, parts.screenSaverAlbumOpened);
}

WindowControllers::~WindowControllers() = default;

} // namespace pagero
