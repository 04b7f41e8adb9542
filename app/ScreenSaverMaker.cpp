#include "app/ScreenSaverMaker.h"

#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "platform/Prompter.h"
#include "platform/system/ProgramFolder.h"

#include <QAction>
#include <QMenu>
#include <QtConcurrent/QtConcurrentRun>

namespace pagero {

ScreenSaverMaker::ScreenSaverMaker(BookContext &book, const MainMenus &menus, QString programFile)
    : book_(book), menus_(menus), programFile_(std::move(programFile))
{
    // The command is shown (with its separator) on this platform, where a screen saver can be made.
    QAction *command = menus_.actions.MaketoScreenSaver1;
    command->setVisible(true);
    if (QMenu *tools = menus_.menus.Tools1)
        for (QAction *a : tools->actions())
            if (a->objectName() == QLatin1String("N29")) a->setVisible(true);
    ConnectCommand(book_, command, this, [this] { MakeScreenSaver(); });
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] { CopyEnded(); });
}

ScreenSaverMaker::~ScreenSaverMaker()
{
    // The copy writes only its own temporary files and renames them: waiting is short and safe.
    watcher_.waitForFinished();
}

void ScreenSaverMaker::MakeScreenSaver()
{
    if (Copying()) return;
    sys::RegistryWrite("GEnv", "ExeDir", book_.ProgramFolder());
    sys::RegistryWrite("ScnSVr", "DataDIR", book_.AlbumFolder());
    sys::RegistryWrite("ScnSVr", "ScvIns", false);
    sys::RegistryWrite("ScnSVr", "FlipSnd", menus_.actions.FlippingSound1->isChecked());
    sys::RegistryWrite("ScnSVr", "BgkMusic", menus_.actions.BackgroundMusic1->isChecked());
    menus_.actions.MaketoScreenSaver1->setEnabled(false);
    watcher_.setFuture(QtConcurrent::run(InstallScreenSaverFile, programFile_, sys::SystemFolder()));
}

void ScreenSaverMaker::CopyEnded()
{
    menus_.actions.MaketoScreenSaver1->setEnabled(true);
    const ScreenSaverInstall result = watcher_.result();
    // A copy that failed is said too: the user would otherwise believe the screen saver is there.
    if (result.ok) book_.Prompt().Inform(ScreenSaverEnabledText(ScreenSaverName()));
    else book_.Prompt().Fail(QStringLiteral("The screen saver could not be made.\n\r") + result.error);
    if (finished) finished(result);
}

} // namespace pagero
