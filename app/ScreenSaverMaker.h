#pragma once
// "Make to Screen Saver": records in the settings store which album the screen saver shows and
// whether it plays the flipping sound and background music, then copies the program into the
// system folder as the screen-saver file (on a worker: the program is large) and says so.
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <functional>

#include "core/motion/ScreenSaverFile.h"

namespace pagero {

class BookContext;
struct MainMenus;

class ScreenSaverMaker : public QObject {
public:
    // `programFile` is the program that gets copied (the running one in the program).
    ScreenSaverMaker(BookContext &book, const MainMenus &menus, QString programFile);
    ~ScreenSaverMaker() override;

    void MakeScreenSaver();
    bool Copying() const { return watcher_.isRunning(); }
    // Runs once a copy has ended and its outcome was shown (tests wait for it).
    std::function<void(const ScreenSaverInstall &)> finished;

private:
    void CopyEnded();

    BookContext &book_;
    const MainMenus &menus_;
    QString programFile_;
    QFutureWatcher<ScreenSaverInstall> watcher_;
};

} // namespace pagero
