#pragma once
// Playing a media page (sound, MIDI, video) in the full-screen media window, with the background
// music paused around it, and the media information box of such a page.
#include <QObject>
#include <QString>

namespace pagero {

class BookContext;
class MusicController;
class TMMFInfo_Fm;
class TPlayMedia_aviFm;

class MediaController : public QObject {
public:
    MediaController(BookContext &book, MusicController &music, QObject *parent = nullptr);

    void PlayMediaFile(const QString &path);
    void ShowMediaInfo(const QString &path);
    TPlayMedia_aviFm *Player();   // made on first use
    TMMFInfo_Fm *InfoBox();

private:
    BookContext &book_;
    MusicController &music_;
    TPlayMedia_aviFm *player_ = nullptr;
    TMMFInfo_Fm *info_ = nullptr;
};

} // namespace pagero
