#include "app/ScreenSaverRun.h"
#include "app/AlbumSession.h"
#include "app/AutoFlipController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "core/common/MyLib.h"
#include "platform/system/ProgramFolder.h"
#include <QAction>
#include <QDir>
#include <QWidget>

namespace pagero {

ScreenSaverRun::ScreenSaverRun(BookContext &book, const MainMenus &menus, AlbumSession &session,
                               AutoFlipController &autoFlip, QWidget &window, std::function<void()> closeWindow,
                               std::function<void()> opened)
    : book_(book), menus_(menus), session_(session), autoFlip_(autoFlip), window_(window),
      closeWindow_(std::move(closeWindow)), opened_(std::move(opened))
{
}

ScreenSaverRun::~ScreenSaverRun() = default;

void ScreenSaverRun::Lock()
{
    lock_ = sys::AcquireScreenSaverLock();
}

void ScreenSaverRun::Start(const QString &programFolder)
{
    // "ScvIns" marks a run in progress, but a mark that is missing (no run yet) or left true by a run
    // that crashed would keep the screen saver from ever running again. The lock is held only by a
    // live run, so it alone decides; the mark is still kept up to date for other readers.
    if (!lock_ || !lock_->held()) {
        closeWindow_();
        return;
    }
    QString folder = sys::RegistryRead("ScnSVr", "DataDIR", QString()).toString();
    if (folder.isEmpty()) folder = JoinPath(programFolder, "Samples");
    sys::RegistryWrite("ScnSVr", "ScvIns", true);
    session_.OpenStartFolder(folder, JoinPath(programFolder, "Samples"), kDefaultFilterMask, [this](bool opened) {
        if (opened) BeginShow();
    });
}

void ScreenSaverRun::BeginShow()
{
    opened_();
    Settings &s = book_.Options();
    s.FlippingSound = sys::RegistryRead("ScnSVr", "FlipSnd", s.FlippingSound).toBool();
    s.BackgroundMusic = sys::RegistryRead("ScnSVr", "BgkMusic", s.BackgroundMusic).toBool();
    menus_.actions.FlippingSound1->setChecked(s.FlippingSound);
    menus_.actions.BackgroundMusic1->setChecked(s.BackgroundMusic);
    if (s.BackgroundMusic && startMusic) startMusic();
    autoFlip_.StartTimer(1500, 1, s.AutoFlipEndAction);
    book_.SetMode(PaintMode::ScreenSaver);
    moves_ = 0;
    book_.BookArea()->setCursor(Qt::BlankCursor);
    window_.setCursor(Qt::BlankCursor);
}

void ScreenSaverRun::Closing()
{
    // Closing without saving settings. Only the run itself clears its mark: a refused second start
    // must not clear the mark of the run that is showing.
    autoFlip_.Timer1.stop();
    if (lock_ && lock_->held()) sys::RegistryWrite("ScnSVr", "ScvIns", false);
}

void ScreenSaverRun::Release()
{
    lock_.reset();
}

} // namespace pagero
