#include "common/OrvComAnimate.h"

#include <QApplication>
#include <cmath>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace pagero {

namespace {
constexpr int kFrameMs = 60;       // drawing speed of the running animation
constexpr int kFrames = 24;        // frames for one trip of the document
constexpr int kRunOutStepMs = 2;   // progress step after the operation ended
constexpr int kDrawHeight = 70;
} // namespace

QString AnimationCaption(int kind)
{
    switch (kind) {
    case AnimFindFolder: return QStringLiteral("Find Folder...");
    case AnimFindFile: return QStringLiteral("Find File...");
    case AnimFindComputer: return QStringLiteral("Find Computer...");
    case AnimCopyFiles: return QStringLiteral("Copy Files...");
    case AnimCopyFile: return QStringLiteral("Copy File...");
    case AnimDelete:
    case AnimDeleteFile: return QStringLiteral("Delete...");
    case AnimEmpty: return QStringLiteral("Empty...");
    default: return QString();
    }
}

TComAnimate_Fm::TComAnimate_Fm(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(300, kDrawHeight + 40);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(12, kDrawHeight + 6, 12, 10);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    box->addWidget(progress_);
    frameTimer_.setInterval(kFrameMs);
    connect(&frameTimer_, &QTimer::timeout, this, &TComAnimate_Fm::NextFrame);
    runOutTimer_.setInterval(kRunOutStepMs);
    runOutTimer_.setTimerType(Qt::PreciseTimer);
    connect(&runOutTimer_, &QTimer::timeout, this, &TComAnimate_Fm::RunOutStep);
    CentreOnScreen();
}

int TComAnimate_Fm::Progress() const { return progress_->value(); }

void TComAnimate_Fm::CentreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TComAnimate_Fm::StartAnimation(int kind)
{
    runOutTimer_.stop();   // a new operation right after the last one reuses the window
    kind_ = kind;
    frame_ = 0;
    progress_->setValue(0);
    setWindowTitle(AnimationCaption(kind));
    CentreOnScreen();
    frameTimer_.start();
    if (!isVisible()) show();
    update();   // the frame timer moves the drawing on from the event loop
}

void TComAnimate_Fm::StopAnimation()
{
    if (!runOutTimer_.isActive()) runOutTimer_.start();
}

void TComAnimate_Fm::RunOutStep()
{
    if (progress_->value() < 100) {
        progress_->setValue(progress_->value() + 1);
        return;
    }
    runOutTimer_.stop();
    frameTimer_.stop();
    if (isVisible()) close();
}

void TComAnimate_Fm::NextFrame()
{
    frame_ = (frame_ + 1) % kFrames;
    update();
}

void TComAnimate_Fm::DrawFolder(QPainter &p, const QRectF &r) const
{
    QPainterPath tab;
    tab.moveTo(r.left(), r.top() + 6);
    tab.lineTo(r.left() + 4, r.top());
    tab.lineTo(r.left() + r.width() * 0.4, r.top());
    tab.lineTo(r.left() + r.width() * 0.45, r.top() + 6);
    tab.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 80));
    p.drawPath(tab);
    p.drawRect(r.adjusted(0, 6, 0, 0));
}

void TComAnimate_Fm::DrawBin(QPainter &p, const QRectF &r) const
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(200, 200, 205));
    QPolygonF body;
    body << QPointF(r.left() + 3, r.top() + 6) << QPointF(r.right() - 3, r.top() + 6)
         << QPointF(r.right() - 7, r.bottom()) << QPointF(r.left() + 7, r.bottom());
    p.drawPolygon(body);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 5));
    for (int i = 1; i < 4; ++i) {
        const qreal x = r.left() + r.width() * i / 4.0;
        p.drawLine(QPointF(x, r.top() + 10), QPointF(x, r.bottom() - 4));
    }
}

void TComAnimate_Fm::DrawDocument(QPainter &p, const QRectF &r) const
{
    QPainterPath page;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - 5, r.top());
    page.lineTo(r.right(), r.top() + 5);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(QColor(40, 40, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    for (int i = 0; i < 3; ++i) {
        const qreal y = r.top() + 7 + i * 4;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void TComAnimate_Fm::DrawMagnifier(QPainter &p, const QPointF &centre) const
{
    p.setPen(QPen(QColor(50, 50, 50), 3));
    p.setBrush(QColor(190, 220, 255, 150));
    p.drawEllipse(centre, 11, 11);
    p.drawLine(centre + QPointF(8, 8), centre + QPointF(18, 18));
}

void TComAnimate_Fm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    const qreal phase = qreal(frame_) / (kFrames - 1);   // 0 .. 1 over one trip
    const QRectF left(20, 22, 48, 36), right(width() - 68, 22, 48, 36);
    if (kind_ >= AnimFindFolder && kind_ <= AnimFindComputer) {
        // A magnifier sweeping over a folder.
        DrawFolder(p, QRectF(width() / 2.0 - 40, 18, 80, 44));
        const qreal x = width() / 2.0 - 40 + 80 * (0.5 - 0.5 * std::cos(phase * 2 * M_PI));
        DrawMagnifier(p, QPointF(x, 34));
        return;
    }
    DrawFolder(p, left);
    const bool toBin = kind_ == AnimDelete || kind_ == AnimEmpty || kind_ == AnimDeleteFile;
    if (toBin)
        DrawBin(p, right.adjusted(8, -4, -8, 4));
    else
        DrawFolder(p, right);
    // The document flies from the left folder to the right along an arc.
    const qreal x = left.center().x() + (right.center().x() - left.center().x()) * phase - 10;
    const qreal y = 30 - 24 * std::sin(phase * M_PI);
    DrawDocument(p, QRectF(x, y, 20, 24));
}

TComAnimate_Fm &ComAnimate()
{
    // Never deleted: it lives as long as the program, like the other windows created once.
    static QPointer<TComAnimate_Fm> window;
    if (!window) window = new TComAnimate_Fm;
    return *window;
}

BusyAnimation::BusyAnimation(int kind)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ComAnimate().StartAnimation(kind);
}

BusyAnimation::~BusyAnimation()
{
    ComAnimate().StopAnimation();
    QApplication::restoreOverrideCursor();
}

} // namespace pagero
