#include "commands/OrvSliderShow.h"

#include "app/PageRenderer.h"
#include "common/Fonts.h"
#include "core/common/MyLib.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>

namespace pagero {

namespace {
constexpr int kFrameWidth = 4;     // blue frame with a white one inside, around the picture
constexpr int kCellMargin = 6;
}

TSliderShow_Fm::TSliderShow_Fm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SliderShow_Fm"));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    Timer1.setSingleShot(true);
    SlideTimer.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(&SlideTimer, &QTimer::timeout, this, [this] { DrawNextSlide(); });
    // A decode that ends while the slide timer runs is drawn when the timer fires.
    connect(&waiting_, &QFutureWatcherBase::finished, this, [this] {
        if (!SlideTimer.isActive()) DrawNextSlide();
    });

    PopupMenu1 = new QMenu(this);
    Continue1 = PopupMenu1->addAction(QStringLiteral("&Continue"));
    NextScreen1 = PopupMenu1->addAction(QStringLiteral("&Next Screen"));
    PreviousScreen1 = PopupMenu1->addAction(QStringLiteral("&Previous Screen"));
    PopupMenu1->addSeparator();
    Exit1 = PopupMenu1->addAction(QStringLiteral("&Exit"));
    connect(Continue1, &QAction::triggered, this, [this] {
        MenuOpen = false;
        Paused = !Automatic();
    });
    connect(NextScreen1, &QAction::triggered, this, [this] {
        MenuOpen = false;
        Step(StepForward);
    });
    connect(PreviousScreen1, &QAction::triggered, this, [this] {
        MenuOpen = false;
        Step(StepBackward);
    });
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
}

TSliderShow_Fm::~TSliderShow_Fm()
{
    waiting_.disconnect(this);
}

void TSliderShow_Fm::StartSlideShow(const QList<SlideFile> &files, const Settings &options)
{
    Timer1.stop();
    files_ = files;
    options_ = options;
    options_.SlideRows = std::clamp(options_.SlideRows, 1, 6);
    options_.SlideColumns = std::clamp(options_.SlideColumns, 1, 6);
    direction_ = options_.SlideDirection == SlideBackward ? SlideBackward : SlideForward;
    FirstSlide = 0;
    MenuOpen = false;
    Paused = !Automatic();
    Timer1.setInterval(std::clamp(options_.SlideScreenInterval, 1, 60000));
    QScreen *screen = parentWidget() && parentWidget()->screen() ? parentWidget()->screen()
                                                                 : QGuiApplication::primaryScreen();
    if (screen) setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
    setFocus();
    ShowScreen();
}

int TSliderShow_Fm::SlideCount() const
{
    return LastSlideOfScreen(FirstSlide, PerScreen(), int(files_.size())) - std::min<int>(FirstSlide, files_.size());
}

QRect TSliderShow_Fm::CellRect(int k) const
{
    const int cellW = (width() - 4) / options_.SlideColumns;
    const int cellH = (height() - 6) / options_.SlideRows;
    return QRect(2 + (k % options_.SlideColumns) * cellW, 3 + (k / options_.SlideColumns) * cellH, cellW, cellH);
}

// The picture's box inside a cell: a margin for the frame, and a line for the name under it.
QSize TSliderShow_Fm::PictureBox() const
{
    const QRect cell = CellRect(0);
    const int nameHeight = options_.SlideShowFileName ? QFontMetrics(BookFont(10)).height() + 2 : 0;
    return QSize(std::max(1, cell.width() - 2 * kCellMargin), std::max(1, cell.height() - 2 * kCellMargin - nameHeight));
}

void TSliderShow_Fm::ShowScreen()
{
    Timer1.stop();
    SlideTimer.stop();
    frame_ = QImage(size(), QImage::Format_RGB32);
    frame_.fill(Qt::black);
    shown_ = 0;
    const QSize box = PictureBox();
    slides_ = decoder_.Screen(files_, FirstSlide, SlideCount(), box);
    // The screens that the next steps will show are decoded meanwhile, two ahead: a short look at
    // one screen then still finds the next one ready.
    SlidePosition at{FirstSlide, direction_};
    for (int ahead = 0; ahead < SlideDecoder::kScreensAhead; ++ahead) {
        const SlideStepResult next = pagero::Step(StepKeep, at, int(files_.size()), PerScreen(), options_.SlideEndAction);
        if (!next.redraw || next.position.firstSlide == FirstSlide) break;
        const int count = LastSlideOfScreen(next.position.firstSlide, PerScreen(), int(files_.size()))
                          - next.position.firstSlide;
        decoder_.Screen(files_, next.position.firstSlide, count, box);
        at = next.position;
    }
    update();
    DrawNextSlide();
}

void TSliderShow_Fm::DrawNextSlide()
{
    if (!isVisible()) return;
    if (shown_ >= SlideCount()) {
        ScreenDone();
        return;
    }
    if (shown_ >= slides_.size()) return;
    const QFuture<QImage> &slide = slides_[shown_];
    if (!slide.isFinished()) {
        waiting_.setFuture(slide);   // its end calls this again
        return;
    }
    DrawSlide(shown_, slide.resultCount() > 0 ? slide.result() : QImage());
    ++shown_;
    update();
    if (shown_ >= SlideCount()) {
        ScreenDone();
    } else if (Automatic() && SlideCount() > 1 && options_.SlideSlideInterval >= 1) {
        SlideTimer.start(options_.SlideSlideInterval);
    } else {
        DrawNextSlide();
    }
}

void TSliderShow_Fm::DrawSlide(int k, const QImage &decoded)
{
    const int index = FirstSlide + k;
    if (index < 0 || index >= files_.size() || frame_.isNull()) return;
    const SlideFile &file = files_[index];
    QImage picture = decoded;
    if (file.kind == KindWave || file.kind == KindMidi) {
        const QImage &icon = file.kind == KindWave ? BookPictures::WavIcon() : BookPictures::MidIcon();
        const QSize box = PictureBox();
        picture = icon.width() <= box.width() && icon.height() <= box.height()
                      ? icon : icon.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    } else if (picture.isNull()) {
        picture = BookPictures::ErrorImage();
    }
    const QRect cell = CellRect(k);
    const QSize box = PictureBox();
    const QPoint at(cell.left() + kCellMargin + (box.width() - picture.width()) / 2,
                    cell.top() + kCellMargin + (box.height() - picture.height()) / 2);
    const QRect pictureRect(at, picture.size());
    QPainter p(&frame_);
    if (options_.SlideShowFrame) {
        p.fillRect(pictureRect.adjusted(-kFrameWidth, -kFrameWidth, kFrameWidth, kFrameWidth), QColor(0, 0, 255));
        p.fillRect(pictureRect.adjusted(-kFrameWidth / 2, -kFrameWidth / 2, kFrameWidth / 2, kFrameWidth / 2), Qt::white);
    }
    p.drawImage(at, picture);
    if (options_.SlideShowFileName) {
        p.setFont(BookFont(10));
        p.setPen(Qt::white);
        const QRect nameRect(cell.left(), pictureRect.bottom() + kFrameWidth + 2, cell.width(),
                             QFontMetrics(p.font()).height());
        const QString name = QString::number(index + 1) + QStringLiteral(". ") + QFileInfo(file.path).fileName();
        p.drawText(nameRect, Qt::AlignHCenter | Qt::AlignTop,
                   QFontMetrics(p.font()).elidedText(name, Qt::ElideMiddle, cell.width()));
    }
}

void TSliderShow_Fm::ScreenDone()
{
    if (Automatic()) Timer1.start();
}

void TSliderShow_Fm::Timer1Timer()
{
    if (Paused) {
        Timer1.start();   // tries again once the show goes on
        return;
    }
    Step(StepKeep);
}

void TSliderShow_Fm::Step(int kind)
{
    const SlideStepResult r = pagero::Step(kind, {FirstSlide, direction_}, int(files_.size()), PerScreen(),
                                           options_.SlideEndAction);
    direction_ = r.position.direction;
    if (!r.redraw) return;
    FirstSlide = r.position.firstSlide;
    ShowScreen();
}

void TSliderShow_Fm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (frame_.isNull()) p.fillRect(rect(), Qt::black);
    else p.drawImage(0, 0, frame_);
}

void TSliderShow_Fm::resizeEvent(QResizeEvent *)
{
    if (!files_.isEmpty() && isVisible()) ShowScreen();
}

void TSliderShow_Fm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        Timer1.stop();
        close();
        return;
    }
    if (Automatic()) {
        Paused = !Paused;
        return;
    }
    switch (e->key()) {
    case Qt::Key_Space: Step(StepKeep); break;
    case Qt::Key_Left: Step(StepBackward); break;
    case Qt::Key_Right: Step(StepForward); break;
    default: break;
    }
}

void TSliderShow_Fm::mousePressEvent(QMouseEvent *e)
{
    OpenPopupAt(e->globalPosition().toPoint());
}

void TSliderShow_Fm::OpenPopupAt(QPoint globalPos)
{
    MenuOpen = true;
    Paused = true;
    NextScreen1->setEnabled(!Automatic());
    PreviousScreen1->setEnabled(!Automatic());
    PopupMenu1->popup(globalPos);
}

void TSliderShow_Fm::closeEvent(QCloseEvent *e)
{
    Timer1.stop();
    SlideTimer.stop();
    QWidget::closeEvent(e);
}

} // namespace pagero
