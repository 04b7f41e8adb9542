#include "pages/OrvPreviewPic.h"
#include "common/Fonts.h"
#include "common/OrvMyLib.h"
#include "core/book/Settings.h"
#include "core/common/StoredColor.h"
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
#include <QVBoxLayout>
#include <algorithm>

namespace pagero {

namespace {

constexpr uint32_t kDefaultPreviewColor = 0x808080;   // RGB 128,128,128

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
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton) owner_->reject();
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
    mode_ = ModeNormal;
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
    if (command) command(path);
}

void TPreviewPic_Fm::SetMode(int mode)
{
    mode_ = mode;
    UpdateScrollRanges();
    view_->viewport()->update();
}

void TPreviewPic_Fm::UpdateScrollRanges()
{
    const QSize client = view_->viewport()->size();
    int w = 0, h = 0;
    if (mode_ == ModeNormal && !picture_.isNull()) {
        w = std::max(0, picture_.width() - client.width());
        h = std::max(0, picture_.height() - client.height());
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
    else painter.fillRect(client, ColorFromStored(settings_ ? settings_->PreviewBackColor : kDefaultPreviewColor));

    if (picture_.isNull()) {
        painter.setFont(BookFont(12));
        painter.setPen(Qt::black);
        painter.drawText(client, Qt::AlignCenter, QStringLiteral("Error Loading Image!"));
        return;
    }
    if (mode_ == ModeFit) {
        const QRect box = client.adjusted(2, 3, -2, -3);
        if (box.isEmpty()) return;
        // The largest size with the picture's proportions that fits the box.
        const double scale = std::min(double(box.width()) / picture_.width(),
                                      double(box.height()) / picture_.height());
        const QSize fitted(std::max(1, int(picture_.width() * scale + 0.5)),
                           std::max(1, int(picture_.height() * scale + 0.5)));
        const QRect target(box.left() + (box.width() - fitted.width()) / 2,
                           box.top() + (box.height() - fitted.height()) / 2, fitted.width(), fitted.height());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture_);
    } else {
        painter.drawImage(-scroll, picture_);
    }
}

void TPreviewPic_Fm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Space) {
        reject();
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
    if (!settings_) return;
    QColor colour = ColorFromStored(settings_->PreviewBackColor);
    if (!ChooseColor(colour)) return;
    settings_->PreviewBackColor = StoredFromColor(colour);
    settings_->PreviewBackKind = 1;
    view_->viewport()->update();
}

void TPreviewPic_Fm::ChooseBackgroundBitmap()
{
    if (!settings_ || !backBitmap_) return;
    // ChooseBitmap refuses a file that is not a bitmap, with its message.
    QString file;
    if (!ChooseBitmap(QStringLiteral("Select Preview Background Fill Bitmap"),
                      QDir(exeDir_).filePath(QStringLiteral("BitPattern")), file))
        return;
    QImage bitmap(file);
    if (bitmap.isNull()) return;   // an unreadable bitmap keeps the background as it was
    *backBitmap_ = bitmap;
    settings_->PreviewBackKind = 2;
    view_->viewport()->update();
}

} // namespace pagero
