#pragma once
// Decodes the pictures of slide-show screens on worker threads, already fitted to their cells, so a
// screen change finds its pictures ready: the screen on show and the two after it are decoded while
// the current one is watched.
#include <QFuture>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QThreadPool>

namespace pagero {

struct SlideFile {
    QString path;
    int kind = 0;   // the page list's file kind
};

// The picture of one slide: the file decoded at the smallest size that covers `box`, then scaled
// to fit it with its proportions kept (small pictures are enlarged). Null when it cannot be decoded.
QImage DecodeSlide(const QString &path, QSize box);

class SlideDecoder {
public:
    SlideDecoder();
    ~SlideDecoder();   // drops queued work and waits for running decodes

    // Screens decoded ahead of the one on show.
    static constexpr int kScreensAhead = 2;

    // The pictures of the screen starting at `first` (one future per slide; media kinds other than
    // video give a null picture at once: the window draws their icons). Screens already asked for
    // with the same box are reused; the screen on show and those ahead are kept.
    QList<QFuture<QImage>> Screen(const QList<SlideFile> &files, int first, int count, QSize box);

private:
    struct Job {
        int first = -1;
        int count = 0;
        QSize box;
        QList<QFuture<QImage>> slides;
    };
    QThreadPool pool_;
    QList<Job> jobs_;
};

} // namespace pagero
