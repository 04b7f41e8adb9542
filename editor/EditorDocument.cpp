#include "editor/EditorDocument.h"
#include "platform/imaging/Imaging.h"

#include <QFileInfo>
#include <QPainter>

namespace pagero::editor {

EditorDocument::PictureRead EditorDocument::Read(const QString &path)
{
    PictureRead read;
    // Stamped before reading: a change made during the read still shows as a change on disk.
    const QFileInfo fi(path);
    read.time = fi.lastModified();
    read.size = fi.exists() ? fi.size() : -1;
    imaging::LoadResult r = imaging::Load(path);
    if (!r.ok()) {
        read.error = r.error;
        return read;
    }
    read.image = r.image.convertToFormat(QImage::Format_RGB32);
    if (read.image.isNull()) read.error = QStringLiteral("Not enough memory");   // a second copy of the pixels
    return read;
}

bool EditorDocument::Adopt(const QString &path, PictureRead read, QString *error)
{
    Deselect();
    main_ = QImage();
    fileName_ = path;
    if (read.image.isNull()) {
        if (error) *error = read.error;
        return false;
    }
    main_ = std::move(read.image);
    state_ = Clean;
    stampTime_ = read.time;
    stampSize_ = read.size;
    return true;
}

void EditorDocument::Replace(QImage image, int state, const QString &fileName)
{
    Deselect();
    main_ = image.convertToFormat(QImage::Format_RGB32);
    state_ = state;
    fileName_ = fileName;
    stampSize_ = -1;
}

void EditorDocument::Saved(const QString &path)
{
    fileName_ = path;
    state_ = Clean;
    DropUndo();
    Stamp();
}

void EditorDocument::Stamp()
{
    const QFileInfo fi(fileName_);
    stampTime_ = fi.lastModified();
    stampSize_ = fi.exists() ? fi.size() : -1;
}

bool EditorDocument::ChangedOnDisk() const
{
    if (stampSize_ < 0) return false;
    const QFileInfo fi(fileName_);
    return !fi.exists() || fi.size() != stampSize_ || fi.lastModified() != stampTime_;
}

void EditorDocument::TakeUndoPoint()
{
    undo_ = main_;   // implicitly shared: the pixels are copied only when the picture changes
    undoFileName_ = fileName_;
    undoState_ = state_;
}

void EditorDocument::Undo()
{
    if (undo_.isNull()) return;
    Deselect();
    main_ = undo_;
    fileName_ = undoFileName_;
    state_ = undoState_;
    undo_ = QImage();
}

bool EditorDocument::MakeSelection(QRect rect, RegionKind kind)
{
    rect = rect.normalized() & main_.rect();
    if (rect.width() < 2 || rect.height() < 2 || kind == NoRegion) return false;
    floating_ = main_.copy(rect);
    if (floating_.isNull()) return false;
    kind_ = kind;
    origin_ = current_ = rect;
    TakeUndoPoint();
    return true;
}

void EditorDocument::FloatImage(const QImage &image, QPoint at)
{
    Deselect();
    floating_ = image.convertToFormat(QImage::Format_RGB32);
    kind_ = RectRegion;
    origin_ = current_ = QRect(at, floating_.size());
}

QPainterPath EditorDocument::FloatingRegion() const
{
    QPainterPath path;
    if (kind_ == EllipseRegion) path.addEllipse(QRectF(current_));
    else path.addRect(QRectF(current_));
    return path;
}

bool EditorDocument::InFloatingRegion(QPoint p) const
{
    return Floating() && FloatingRegion().contains(QPointF(p) + QPointF(0.5, 0.5));
}

void EditorDocument::PasteDown()
{
    if (!Floating()) return;
    QPainter painter(&main_);
    painter.setClipPath(FloatingRegion());
    painter.drawImage(current_.topLeft(), floating_);
    painter.end();
    Deselect();
}

void EditorDocument::Deselect()
{
    floating_ = QImage();
    kind_ = NoRegion;
    origin_ = current_ = QRect();
}

bool EditorDocument::Crop(QColor fill)
{
    if (!Floating()) return false;
    QImage cropped(floating_.size(), QImage::Format_RGB32);
    if (cropped.isNull()) return false;
    cropped.fill(fill);
    QPainter painter(&cropped);
    QPainterPath region = FloatingRegion();
    region.translate(-current_.topLeft());
    painter.setClipPath(region);
    painter.drawImage(0, 0, floating_);
    painter.end();
    Deselect();
    TakeUndoPoint();
    main_ = cropped;
    state_ = StateAfterChange(state_);
    return true;
}

void EditorDocument::SetTarget(QImage image)
{
    if (Floating()) {
        floating_ = std::move(image);
        current_.setSize(floating_.size());
    } else {
        main_ = std::move(image);
    }
    state_ = StateAfterChange(state_);
}

} // namespace pagero::editor
