#pragma once
// The slide show: a borderless, always-on-top window over the whole screen that shows the album's
// files as screens of rows x columns cells, screen after screen. Within a screen the slides appear
// one by one (automatic mode); the next screen comes by timer or by key. Pictures are decoded on
// worker threads, the next screen's while the current one shows, and the window only waits on
// timers: nothing sleeps.
#include "commands/SlideDecoder.h"
#include "core/book/Settings.h"
#include "core/motion/SlideStep.h"

#include <QFutureWatcher>
#include <QImage>
#include <QTimer>
#include <QWidget>

class QAction;
class QMenu;

namespace pagero {

class TSliderShow_Fm : public QWidget {
public:
    explicit TSliderShow_Fm(QWidget *parent = nullptr);
    ~TSliderShow_Fm() override;

    // Copies the options, starts at the first file and shows the window full screen and modal.
    void StartSlideShow(const QList<SlideFile> &files, const Settings &options);
    // One step (0 keep direction, 1 backward, 2 forward): the next screen by the end action.
    void Step(int kind);
    // Draws the current screen anew (the slides appear one by one again).
    void ShowScreen();

    // State, read by tests.
    int FirstSlide = 0;
    bool Paused = false;
    bool MenuOpen = false;
    int Direction() const { return direction_; }
    // Slides of the current screen drawn so far, and whether all are.
    int SlidesShown() const { return shown_; }
    bool ScreenComplete() const { return shown_ >= SlideCount(); }
    const QImage &Frame() const { return frame_; }
    QTimer Timer1;        // between screens
    QTimer SlideTimer;    // between the slides of one screen
    QMenu *PopupMenu1 = nullptr;
    QAction *Continue1 = nullptr, *NextScreen1 = nullptr, *PreviousScreen1 = nullptr, *Exit1 = nullptr;

    void OpenPopupAt(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *) override;
    void closeEvent(QCloseEvent *e) override;

private:
    bool Automatic() const { return options_.SlideNextScreen == 1; }
    int PerScreen() const { return options_.SlideRows * options_.SlideColumns; }
    int SlideCount() const;
    QRect CellRect(int k) const;
    QSize PictureBox() const;
    void DrawNextSlide();
    void DrawSlide(int k, const QImage &picture);
    void ScreenDone();
    void Timer1Timer();

    QList<SlideFile> files_;
    Settings options_;
    int direction_ = SlideForward;
    int shown_ = 0;
    QImage frame_;
    SlideDecoder decoder_;
    QList<QFuture<QImage>> slides_;
    QFutureWatcher<QImage> waiting_;
};

} // namespace pagero
