#pragma once
// The window that shows while overview thumbnails are made: caption "Creating Thumbnails for
// Overview...", a 0..100 gauge, a preview of each new thumbnail sliding along the window and
// "Please wait...". While thumbnails are being made a close from the title bar asks whether to end
// the program; a close request from code is refused without a question.
#include <QImage>
#include <QWidget>

class QProgressBar;

namespace pagero {

class TProgress_Fm : public QWidget {
    Q_OBJECT
public:
    explicit TProgress_Fm(QWidget *parent = nullptr);

    // True while the build loop runs; a confirmed close from the title bar clears it.
    bool Generating = false;

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
    // The drawing surface (silver background, previews, text) below the gauge, for tests.
    const QImage &Surface() const { return surface_; }
    QRect PreviewRect() const { return previewRect_; }

signals:
    // The user confirmed ending the program while thumbnails were being made.
    void ExitConfirmed();

protected:
    void paintEvent(QPaintEvent *) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void centreOnScreen();
    QImage surface_;
    QRect previewRect_;
    bool pleaseWaitWritten_ = false;
};

} // namespace pagero
