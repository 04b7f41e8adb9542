#pragma once
// The media window: plays a sound, MIDI or video page over the whole screen. Sound and MIDI show
// the file name and their picture wandering over a white window with a cycling colour; a video is
// drawn at its natural size or fitted to the screen. Any key or a left click closes it; the right
// button offers information, play, pause, replay and the video views.
// Opening polls the player on a timer (at most 11 looks, 500 ms apart): a file the player cannot
// open gives a message, never a hang.
#include "platform/media/MediaPlayer.h"

#include <QImage>
#include <QPoint>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QVideoSink;

namespace pagero {

class TMMFInfo_Fm;

class TPlayMedia_aviFm : public QWidget {
public:
    explicit TPlayMedia_aviFm(QWidget *parent = nullptr);
    ~TPlayMedia_aviFm() override;

    // Opens the file; once it is ready the window shows (modal) and plays. A file that does not
    // become ready within the polls is told and the window stays hidden; `done` then runs at once.
    void PlayMediaFile(const QString &path);
    void ShowMediaInfo();
    void FitToScreen();     // view 3
    void NormalSize();      // view 2

    media::MediaPlayer MediaPlayer1;
    QTimer Timer1;                  // 500 ms: the picture's moves and colours
    QTimer OpenTimer;               // the polls of the opening
    int PollIntervalMs = 500;
    static constexpr int kMaxPolls = 11;
    int Ticks = 0;
    int ColourIndex = 4;
    int Kind = 0;                   // 3 wave, 4 MIDI, 5 video
    int ViewMode = 2;
    QPoint PicturePos;
    QRect VideoRect;
    QSize NaturalSize;
    QImage LastFrame;               // the video frame on show
    QMenu *PopupMenu1 = nullptr;
    QAction *Information1 = nullptr, *Play1 = nullptr, *Pause1 = nullptr, *Replay1 = nullptr;
    QAction *ViewNormal1 = nullptr, *ViewFit1 = nullptr;
    // Runs when the play has ended: the window closed, or the file could not be opened.
    std::function<void()> done;

    // The 16 colours of the colour index.
    static QColor Colour(int index);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void closeEvent(QCloseEvent *) override;

private:
    void PollOpen();
    void Opened();
    void Timer1Timer();
    void RandomPosition();
    void Replay();
    void UpdateMenu();
    QRect ScreenRect() const;

    QString path_;
    int polls_ = 0;
    QVideoSink *sink_ = nullptr;
    TMMFInfo_Fm *info_ = nullptr;
    QRandomGenerator random_{QRandomGenerator::securelySeeded()};
};

} // namespace pagero
