#include "pages/OrvProgress.h"

#include "common/Fonts.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>

namespace pagero {

namespace {
const QColor kSilver(192, 192, 192);
const QColor kBlue(0, 0, 255);
} // namespace

TProgress_Fm::TProgress_Fm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Creating Thumbnails for Overview..."));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(BookFont(8));
    surface_ = QImage(kClientWidth, kClientHeight, QImage::Format_RGB32);
    surface_.fill(kSilver);
    Gauge1 = new QProgressBar(this);
    Gauge1->setRange(0, 100);
    Gauge1->setTextVisible(false);
    Gauge1->setGeometry(10, 92, kClientWidth - 20, 14);
    QPalette pal = Gauge1->palette();
    pal.setColor(QPalette::Highlight, kBlue);
    Gauge1->setPalette(pal);
    previewRect_ = QRect(3, 3, 72, 70);
    centreOnScreen();
}

void TProgress_Fm::centreOnScreen()
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

void TProgress_Fm::showEvent(QShowEvent *event)
{
    Gauge1->setValue(0);
    centreOnScreen();
    QWidget::showEvent(event);
}

void TProgress_Fm::SetGauge(int percent)
{
    Gauge1->setValue(qBound(0, percent, 100));
}

int TProgress_Fm::Gauge() const
{
    return Gauge1->value();
}

void TProgress_Fm::BeginPreviews(int thumbWidth, int thumbHeight)
{
    // Every build starts on a plain window: the last preview of an earlier build must not stay at
    // the far end while the new previews slide towards it.
    surface_.fill(kSilver);
    previewRect_ = QRect(3, 3, thumbWidth, thumbHeight);
    pleaseWaitWritten_ = false;
    update();
}

void TProgress_Fm::ShowPreview(const QImage &thumbnail, int i, int count)
{
    QPainter p(&surface_);
    // The previous preview and its frame go back to the window colour.
    p.fillRect(previewRect_.adjusted(-1, -1, 1, 1), kSilver);
    const int w = thumbnail.width();
    const int left = count > 0 ? RoundHalfEven(double(kClientWidth - 20 - w) * (i + 1) / count) + 10 : 10;
    previewRect_ = QRect(left, 3, w, thumbnail.height());
    p.drawImage(previewRect_.topLeft(), thumbnail);
    p.setPen(kBlue);
    p.setBrush(Qt::NoBrush);
    p.drawRect(previewRect_.adjusted(-1, -1, 0, 0));
    p.end();
    update();
}

void TProgress_Fm::WritePleaseWait()
{
    // The text never changes and nothing else draws there: write it once per build (shaping text for
    // every one of ten thousand files would cost more than checking their cache entries).
    if (pleaseWaitWritten_) return;
    pleaseWaitWritten_ = true;
    QPainter p(&surface_);
    const QFontMetrics fm(font());
    const QString text = QStringLiteral("Please wait...");
    const QPoint at(Gauge1->x(), Gauge1->y() - 18);
    p.fillRect(QRect(at, QSize(fm.horizontalAdvance(text), fm.height())), kSilver);
    p.setFont(font());
    p.setPen(Qt::black);
    p.drawText(at + QPoint(0, fm.ascent()), text);
    p.end();
    update();
}

void TProgress_Fm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

void TProgress_Fm::closeEvent(QCloseEvent *event)
{
    if (!Generating) {
        event->accept();
        return;
    }
    event->ignore();
    // Only the user's own close (from the window's title bar) asks; other requests are refused.
    if (!event->spontaneous()) return;
    const QString question = QStringLiteral("The thumbnails generating is not completed.") + QStringLiteral("\n\r")
        + QStringLiteral("Exit the Pagero now?");
    if (asking_) return;
    asking_ = true;
    const bool exit = ThePrompter().Ask(PromptKind::Confirmation, question) == PromptAnswer::Yes;
    asking_ = false;
    if (!Generating) return;   // the build was cancelled while the question was up
    if (exit) {
        Generating = false;
        emit ExitConfirmed();
    } else {
        emit ExitDeclined();
    }
}

void TProgress_Fm::SetAlbumProgress(int percent)
{
    percent = qBound(0, percent, 100);
    if (percent == albumProgress_) return;
    albumProgress_ = percent;
    emit AlbumProgressChanged(percent);
}

} // namespace pagero
