#include "app/MediaController.h"

#include "app/BookContext.h"
#include "app/MusicController.h"
#include "commands/OrvMMFileInfo_Ut.h"
#include "commands/OrvPlayMedia_aviUt.h"

namespace pagero {

MediaController::MediaController(BookContext &book, MusicController &music, QObject *parent)
    : QObject(parent), book_(book), music_(music)
{
}

TPlayMedia_aviFm *MediaController::Player()
{
    if (!player_) {
        player_ = new TPlayMedia_aviFm(book_.ParentWidget());
        player_->done = [this] { music_.ResumeMusic(); };
    }
    return player_;
}

TMMFInfo_Fm *MediaController::InfoBox()
{
    if (!info_) info_ = new TMMFInfo_Fm(book_.ParentWidget());
    return info_;
}

void MediaController::PlayMediaFile(const QString &path)
{
    if (path.isEmpty() || Player()->isVisible() || Player()->OpenTimer.isActive()) return;
    music_.PauseMusic();
    Player()->PlayMediaFile(path);
}

void MediaController::ShowMediaInfo(const QString &path)
{
    if (path.isEmpty()) return;
    InfoBox()->Fill(path);
    InfoBox()->exec();
}

} // namespace pagero
