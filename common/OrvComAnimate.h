#pragma once
// The small window shown while files are found, copied or deleted: a caption per kind of operation,
// a drawn animation of a document on its way, and a progress bar that runs to its end when the
// operation stops.
#include <QString>
#include <QTimer>
#include <QWidget>

class QProgressBar;

namespace pagero {

enum AnimationKind : int {
    AnimFindFolder = 1, AnimFindFile = 2, AnimFindComputer = 3, AnimCopyFiles = 4, AnimCopyFile = 5,
    AnimDelete = 6, AnimEmpty = 7, AnimDeleteFile = 8
};

// The caption of an animation kind; "" for an unknown kind.
QString AnimationCaption(int kind);

class TComAnimate_Fm : public QWidget {
    Q_OBJECT
public:
    explicit TComAnimate_Fm(QWidget *parent = nullptr);

    // Sets the caption, starts the animation of that kind, centres and shows the window if hidden.
    // The drawing moves on a timer, so it runs only while the event loop does: show it for work that
    // runs off this thread.
    void StartAnimation(int kind);
    // Runs the progress up to 100 one step every 2 ms, then stops the animation and closes the
    // window. Returns at once; the run-out happens on the event loop.
    void StopAnimation();

    int Kind() const { return kind_; }
    int Progress() const;
    bool Animating() const { return frameTimer_.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void CentreOnScreen();
    void NextFrame();
    void RunOutStep();
    void DrawFolder(class QPainter &p, const QRectF &r) const;
    void DrawBin(class QPainter &p, const QRectF &r) const;
    void DrawDocument(class QPainter &p, const QRectF &r) const;
    void DrawMagnifier(class QPainter &p, const QPointF &centre) const;

    int kind_ = 0;
    int frame_ = 0;
    QTimer frameTimer_;    // moves the drawing on
    QTimer runOutTimer_;   // advances the progress after StopAnimation
    QProgressBar *progress_ = nullptr;
};

// The one animation window of the run, created on first use.
TComAnimate_Fm &ComAnimate();

// Hourglass pointer and the animation of `kind` for the lifetime of the guard.
class BusyAnimation {
public:
    explicit BusyAnimation(int kind);
    ~BusyAnimation();
    BusyAnimation(const BusyAnimation &) = delete;
    BusyAnimation &operator=(const BusyAnimation &) = delete;
};

} // namespace pagero
