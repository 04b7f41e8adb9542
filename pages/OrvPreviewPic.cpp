#include "pages/OrvPreviewPic.h"
#include "common/Fonts.h"
#include "common/OrvMyLib.h"
#include "core/book/Settings.h"
#include "pages/OrvImgInfoBox.h"
#include "platform/Prompter.h"
#include "platform/imaging/Imaging.h"
#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace pagero {

namespace {

constexpr uint32_t kDefaultPreviewColor = 0x808080;   // RGB 128,128,128
constexpr double kZoomStep = 1.25;                    // one wheel notch or one "+"

// Colours are kept as 32-bit RGB values with red in the low byte.
QColor ColorOf(uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
uint32_t ValueOf(const QColor &c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

} // namespace

// The scrolled client of the preview: paints through the window and passes clicks and the menu on.
class PreviewView : public QAbstractScrollArea {
public:
    explicit PreviewView(TPreviewPic_Fm *owner) : QAbstractScrollArea(owner), owner_(owner)
    {
        setFrameShape(QFrame::NoFrame);
        viewport()->setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(viewport());
        owner_->PaintPreview(p, viewport()->size(),
                             QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
    }
    // A click closes the preview; a press that moves further than a click would pans the picture.
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton) return;
        pressed_ = true;
        dragging_ = false;
        pressAt_ = event->position().toPoint();
        scrollAtPress_ = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
        const QPoint moved = event->position().toPoint() - pressAt_;
        if (!dragging_ && moved.manhattanLength() < QApplication::startDragDistance()) return;
        if (!dragging_) viewport()->setCursor(Qt::ClosedHandCursor);
        dragging_ = true;
        horizontalScrollBar()->setValue(scrollAtPress_.x() - moved.x());
        verticalScrollBar()->setValue(scrollAtPress_.y() - moved.y());
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton || !pressed_) return;
        pressed_ = false;
        if (dragging_) {
            dragging_ = false;
            viewport()->unsetCursor();
            return;
        }
        owner_->reject();
    }
    // One notch (120) zooms one step about the pointer; smaller deltas from touchpads in proportion.
    void wheelEvent(QWheelEvent *event) override
    {
        const int delta = event->angleDelta().y();
        if (delta != 0) owner_->ZoomBy(std::pow(kZoomStep, delta / 120.0), event->position().toPoint());
        event->accept();
    }
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        owner_->PreviewNormal1->setChecked(owner_->mode_ == TPreviewPic_Fm::ModeNormal);
        owner_->PreviewFit1->setChecked(owner_->mode_ == TPreviewPic_Fm::ModeFit);
        owner_->PopupMenu1->popup(event->globalPos());
    }
    void resizeEvent(QResizeEvent *event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        owner_->UpdateScrollRanges();
    }

private:
    TPreviewPic_Fm *owner_;
    bool pressed_ = false, dragging_ = false;
    QPoint pressAt_, scrollAtPress_;
};

TPreviewPic_Fm::TPreviewPic_Fm(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    if (const QScreen *s = QGuiApplication::primaryScreen()) setGeometry(s->geometry());
    view_ = new PreviewView(this);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(view_);

    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(150);
    connect(settle_, &QTimer::timeout, this, [this] {
        zooming_ = false;
        view_->viewport()->update();
    });

    PickColor = [](QColor &colour) { return ChooseColor(colour); };
    // ChooseBitmap already refuses a file that is not a bitmap, with its message.
    PickBitmapFile = [](const QString &title, const QString &folder) {
        QString file;
        return ChooseBitmap(title, folder, file) ? file : QString();
    };

    PopupMenu1 = new QMenu(this);
    PreviewNormal1 = PopupMenu1->addAction(QStringLiteral("Pre&view (Normal)"), this, [this] { SetMode(ModeNormal); });
    PreviewFit1 = PopupMenu1->addAction(QStringLiteral("Preview ( &Fit to Screen )"), this, [this] { SetMode(ModeFit); });
    PreviewNormal1->setCheckable(true);
    PreviewFit1->setCheckable(true);
    PopupMenu1->addSeparator();
    Information1 = PopupMenu1->addAction(QStringLiteral("&Information"), this, [this] {
        if (!infoBox_) infoBox_ = ownInfoBox_ = new TInfoBox(this);
        ShowFileInfo(*infoBox_, path_);
    });
    PopupMenu1->addSeparator();
    Edit1 = PopupMenu1->addAction(QStringLiteral("&Edit..."), this, [this] { CloseWith(EditFile); });
    SaveAs1 = PopupMenu1->addAction(QStringLiteral("&Save as..."), this, [this] { CloseWith(SaveFileAs); });
    CopyTo1 = PopupMenu1->addAction(QStringLiteral("&Copy to..."), this, [this] { CloseWith(CopyFileTo); });
    MoveTo1 = PopupMenu1->addAction(QStringLiteral("&Move to..."), this, [this] { CloseWith(MoveFileTo); });
    Rename1 = PopupMenu1->addAction(QStringLiteral("&Rename..."), this, [this] { CloseWith(RenameFile); });
    Delete1 = PopupMenu1->addAction(QStringLiteral("&Delete..."), this, [this] { CloseWith(DeleteFile); });
    PopupMenu1->addSeparator();
    Print1 = PopupMenu1->addAction(QStringLiteral("&Print..."), this, [this] { CloseWith(PrintPicture); });
    PopupMenu1->addSeparator();
    QMenu *background = PopupMenu1->addMenu(QStringLiteral("Set Preview &Background"));
    BackDefault1 = background->addAction(QStringLiteral("&Default"), this, [this] {
        if (!settings_) return;
        settings_->PreviewBackColor = kDefaultPreviewColor;
        settings_->PreviewBackKind = 1;
        view_->viewport()->update();
    });
    BackColor1 = background->addAction(QStringLiteral("&Color..."), this, [this] { ChooseBackgroundColor(); });
    BackBitmap1 = background->addAction(QStringLiteral("&Bitmap..."), this, [this] { ChooseBackgroundBitmap(); });
}

TPreviewPic_Fm::~TPreviewPic_Fm() = default;

void TPreviewPic_Fm::SetBackground(Settings *settings, QImage *bitmap, const QString &exeDir)
{
    settings_ = settings;
    backBitmap_ = bitmap;
    exeDir_ = exeDir;
}

void TPreviewPic_Fm::Prepare(const QString &path)
{
    path_ = path;
    pending_ = nullptr;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    picture_ = imaging::Load(path).image;
    QApplication::restoreOverrideCursor();
    reduced_ = QImage();
    reducedFor_ = QSize();
    // The window covers the screen: a picture larger than it opens fitted, a smaller one at its
    // own size (and centred).
    QSize screen = size();
    if (const QScreen *s = QGuiApplication::primaryScreen()) screen = s->geometry().size();
    const bool larger = picture_.width() > screen.width() || picture_.height() > screen.height();
    mode_ = larger ? ModeFit : ModeNormal;
    zoom_ = 1.0;
    UpdateScrollRanges();
    view_->horizontalScrollBar()->setValue(0);
    view_->verticalScrollBar()->setValue(0);
    view_->viewport()->update();
}

void TPreviewPic_Fm::ShowPreview(const QString &path)
{
    Prepare(path);
    if (const QScreen *s = QGuiApplication::primaryScreen()) setGeometry(s->geometry());
    exec();
    auto command = std::move(pending_);
    pending_ = nullptr;
    picture_ = QImage();   // the picture is held only while it is shown
    reduced_ = QImage();
    reducedFor_ = QSize();
    if (command) command(path);
}

void TPreviewPic_Fm::SetMode(int mode)
{
    mode_ = mode;
    UpdateScrollRanges();
    view_->viewport()->update();
}

double TPreviewPic_Fm::FitScale(QSize client) const
{
    const QRect box = QRect(QPoint(0, 0), client).adjusted(2, 3, -2, -3);
    if (picture_.isNull() || box.isEmpty()) return 1.0;
    return std::min(double(box.width()) / picture_.width(), double(box.height()) / picture_.height());
}

double TPreviewPic_Fm::Scale(QSize client) const
{
    if (mode_ == ModeFit) return FitScale(client);
    if (mode_ == ModeZoom) return zoom_;
    return 1.0;
}

QSize TPreviewPic_Fm::ShownSize(QSize client) const
{
    if (picture_.isNull()) return QSize();
    if (mode_ == ModeNormal) return picture_.size();
    const double scale = Scale(client);
    return QSize(std::max(1, int(picture_.width() * scale + 0.5)), std::max(1, int(picture_.height() * scale + 0.5)));
}

QRect TPreviewPic_Fm::PictureRect(QSize client, QPoint scroll) const
{
    const QSize shown = ShownSize(client);
    if (mode_ == ModeFit) {
        // Fitted into the client less 2 pixels left and right and 3 at the top and bottom.
        const QRect box = QRect(QPoint(0, 0), client).adjusted(2, 3, -2, -3);
        return QRect(box.left() + (box.width() - shown.width()) / 2, box.top() + (box.height() - shown.height()) / 2,
                     shown.width(), shown.height());
    }
    // Centred along a side where it is smaller than the client, scrolled along one where larger.
    const int x = shown.width() < client.width() ? (client.width() - shown.width()) / 2 : -scroll.x();
    const int y = shown.height() < client.height() ? (client.height() - shown.height()) / 2 : -scroll.y();
    return QRect(QPoint(x, y), shown);
}

void TPreviewPic_Fm::ZoomBy(double factor, QPoint anchor)
{
    if (picture_.isNull() || !(factor > 0)) return;
    const QSize client = view_->viewport()->size();
    const QPoint scroll(view_->horizontalScrollBar()->value(), view_->verticalScrollBar()->value());
    const QRect before = PictureRect(client, scroll);
    const double oldScale = Scale(client);
    const QPointF spot = QPointF(anchor - before.topLeft()) / oldScale;   // picture point under the anchor
    const double lowest = std::min(1.0, FitScale(client));
    zoom_ = std::clamp(oldScale * factor, lowest, 16.0);
    mode_ = ModeZoom;
    zooming_ = true;
    settle_->start();
    UpdateScrollRanges();
    // Scroll so that the same picture point stays under the anchor.
    view_->horizontalScrollBar()->setValue(int(spot.x() * zoom_ + 0.5) - anchor.x());
    view_->verticalScrollBar()->setValue(int(spot.y() * zoom_ + 0.5) - anchor.y());
    view_->viewport()->update();
}

void TPreviewPic_Fm::UpdateScrollRanges()
{
    const QSize client = view_->viewport()->size();
    int w = 0, h = 0;
    if (mode_ != ModeFit && !picture_.isNull()) {
        const QSize shown = ShownSize(client);
        w = std::max(0, shown.width() - client.width());
        h = std::max(0, shown.height() - client.height());
    }
    view_->horizontalScrollBar()->setRange(0, w);
    view_->horizontalScrollBar()->setPageStep(client.width());
    view_->verticalScrollBar()->setRange(0, h);
    view_->verticalScrollBar()->setPageStep(client.height());
}

void TPreviewPic_Fm::PaintPreview(QPainter &painter, QSize size, QPoint scroll) const
{
    const QRect client(QPoint(0, 0), size);
    const bool tiled = settings_ && settings_->PreviewBackKind == 2 && backBitmap_ && !backBitmap_->isNull();
    if (tiled) painter.drawTiledPixmap(client, QPixmap::fromImage(*backBitmap_));
    else painter.fillRect(client, ColorOf(settings_ ? settings_->PreviewBackColor : kDefaultPreviewColor));

    if (picture_.isNull()) {
        painter.setFont(BookFont(12));
        painter.setPen(Qt::black);
        painter.drawText(client, Qt::AlignCenter, QStringLiteral("Error Loading Image!"));
        return;
    }
    if (mode_ == ModeFit && client.adjusted(2, 3, -2, -3).isEmpty()) return;
    const QRect target = PictureRect(size, scroll);
    if (target.size() == picture_.size()) {
        painter.drawImage(target.topLeft(), picture_);
    } else if (target.width() < picture_.width()) {
        // Reduced once per size rather than at every paint (a camera photo takes tens of
        // milliseconds); while the wheel still turns, a quick unsmoothed drawing stands in.
        if (zooming_ && reducedFor_ != target.size()) {
            painter.drawImage(QRectF(target), picture_);
            return;
        }
        if (reducedFor_ != target.size()) {
            reduced_ = picture_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            reducedFor_ = target.size();
        }
        painter.drawImage(target.topLeft(), reduced_);
    } else {
        // Enlarged: only the part in view is drawn.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRect visible = target.intersected(client);
        if (visible.isEmpty()) return;
        const double sx = double(picture_.width()) / target.width(), sy = double(picture_.height()) / target.height();
        const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                            visible.width() * sx, visible.height() * sy);
        painter.drawImage(QRectF(visible), picture_, source);
    }
}

void TPreviewPic_Fm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Space) {
        reject();
        return;
    }
    const QPoint centre = view_->viewport()->rect().center();
    if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal) {
        ZoomBy(kZoomStep, centre);
        return;
    }
    if (event->key() == Qt::Key_Minus) {
        ZoomBy(1.0 / kZoomStep, centre);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPreviewPic_Fm::CloseWith(std::function<void(const QString &)> command)
{
    pending_ = std::move(command);
    reject();
}

void TPreviewPic_Fm::ChooseBackgroundColor()
{
    if (!settings_ || !PickColor) return;
    QColor colour = ColorOf(settings_->PreviewBackColor);
    if (!PickColor(colour)) return;
    settings_->PreviewBackColor = ValueOf(colour);
    settings_->PreviewBackKind = 1;
    view_->viewport()->update();
}

void TPreviewPic_Fm::ChooseBackgroundBitmap()
{
    if (!settings_ || !backBitmap_ || !PickBitmapFile) return;
    const QString file = PickBitmapFile(QStringLiteral("Select Preview Background Fill Bitmap"),
                                        QDir(exeDir_).filePath(QStringLiteral("BitPattern")));
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().toUpper() != QLatin1String("BMP")) {
        ThePrompter().Inform(QStringLiteral("Only BMP files available."));
        return;
    }
    QImage bitmap(file);
    if (bitmap.isNull()) return;   // an unreadable bitmap keeps the background as it was
    *backBitmap_ = bitmap;
    settings_->PreviewBackKind = 2;
    view_->viewport()->update();
}

} // namespace pagero
