#pragma once
// The window that shows while overview thumbnails are made: caption "Creating Thumbnails for
// Overview...", a 0..100 gauge, a preview of each new thumbnail sliding along the window and
// "Please wait...". While thumbnails are being made a close from the title bar asks whether to end
// the program; a close request from code is refused without a question. The window also receives
// the album-opening progress (page list, thumbnails, index) as a percentage it keeps without showing.
#include <QImage>
#include <QWidget>

class QProgressBar;

namespace pagero {

class TProgress_Fm : public QWidget {
    Q_OBJECT
public:
    explicit TProgress_Fm(QWidget *parent = nullptr);

    // True while thumbnails are made; a confirmed close from the title bar clears it.
    bool Generating = false;
    // True while the "end the program" question is up: the build waits for the answer.
    bool Asking() const { return asking_; }

    QProgressBar *Gauge1 = nullptr;
    static constexpr int kClientWidth = 282;
    static constexpr int kClientHeight = 112;

    void SetGauge(int percent);
    int Gauge() const;
    // Starts a build: the preview starts at (3, 3) with the thumbnail size.
    void BeginPreviews(int thumbWidth, int thumbHeight);
    // Draws the thumbnail of item i (of count) at its place along the window, framed in blue, after
    // filling the previous preview silver.
    void ShowPreview(const QImage &thumbnail, int i, int count);
    // "Please wait..." in black on silver above the gauge.
    void WritePleaseWait();
    // The album-opening progress in percent; the window is not shown for it.
    void SetAlbumProgress(int percent);
    int AlbumProgress() const { return albumProgress_; }
    // The drawing surface (silver background, previews, text) below the gauge, for tests.
    const QImage &Surface() const { return surface_; }
    QRect PreviewRect() const { return previewRect_; }

signals:
    // The user confirmed ending the program while thumbnails were being made.
    void ExitConfirmed();
    // The user answered No: the build goes on.
    void ExitDeclined();
    // A new album-opening percentage arrived.
    void AlbumProgressChanged(int percent);

protected:
    void paintEvent(QPaintEvent *) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void centreOnScreen();
    QImage surface_;
    QRect previewRect_;
    bool pleaseWaitWritten_ = false;
    bool asking_ = false;
    int albumProgress_ = -1;   // none received yet
};

} // namespace pagero
