#include "core/book/PageZoom.h"

#include <algorithm>
#include <cmath>

namespace pagero {

namespace {

bool PositiveFinite(double v) { return std::isfinite(v) && v > 0; }

// One axis of the pan limits: `start` of a picture of `extent` in a view of `view`.
double ClampAxis(double start, double extent, double view)
{
    if (extent <= view) return std::clamp(start, 0.0, view - extent);
    return std::clamp(start, view - extent, 0.0);
}

bool Covers(QSize have, QSize need)
{
    return have.width() + 1 >= need.width() && have.height() + 1 >= need.height();
}

} // namespace

bool PageZoom::Start(QSize original, const QRectF &shown, QSizeF view, double fullScale)
{
    active_ = false;
    if (original.isEmpty() || !PositiveFinite(shown.width()) || !PositiveFinite(shown.height())
        || !PositiveFinite(view.width()) || !PositiveFinite(view.height()) || !PositiveFinite(fullScale)
        || !std::isfinite(shown.x()) || !std::isfinite(shown.y()))
        return false;
    original_ = original;
    view_ = view;
    // The page fits the picture keeping its proportions; the smaller ratio is the one it used.
    minScale_ = std::min(shown.width() / original.width(), shown.height() / original.height());
    maxScale_ = std::max(fullScale, minScale_ * kStepFactor * kStepFactor);
    scale_ = minScale_;
    topLeft_ = shown.topLeft();
    active_ = true;
    Clamp();
    return true;
}

bool PageZoom::ZoomBy(double steps, QPointF anchor)
{
    if (!active_ || !std::isfinite(steps) || !std::isfinite(anchor.x()) || !std::isfinite(anchor.y()))
        return false;
    const double wanted = std::clamp(scale_ * std::pow(kStepFactor, steps), minScale_, maxScale_);
    if (wanted == scale_) return false;
    // The picture point under the anchor stays under it.
    const double ratio = wanted / scale_;
    topLeft_ = anchor - (anchor - topLeft_) * ratio;
    scale_ = wanted;
    Clamp();
    return true;
}

void PageZoom::PanBy(QPointF delta)
{
    if (!active_ || !std::isfinite(delta.x()) || !std::isfinite(delta.y())) return;
    topLeft_ += delta;
    Clamp();
}

void PageZoom::SetViewSize(QSizeF view)
{
    if (!PositiveFinite(view.width()) || !PositiveFinite(view.height())) return;
    view_ = view;
    Clamp();
}

void PageZoom::Clamp()
{
    topLeft_.setX(ClampAxis(topLeft_.x(), original_.width() * scale_, view_.width()));
    topLeft_.setY(ClampAxis(topLeft_.y(), original_.height() * scale_, view_.height()));
}

QRectF PageZoom::PictureRect() const
{
    if (!active_) return QRectF();
    return QRectF(topLeft_, QSizeF(original_.width() * scale_, original_.height() * scale_));
}

QRectF PageZoom::VisibleImageRect() const
{
    const QRectF visible = PictureRect().intersected(QRectF(QPointF(0, 0), view_));
    if (visible.isEmpty()) return QRectF();
    return QRectF((visible.topLeft() - topLeft_) / scale_, visible.size() / scale_);
}

QSize PageZoom::DecodeSize(double devicePixelRatio, qint64 maxPixels) const
{
    if (!active_ || !PositiveFinite(devicePixelRatio) || maxPixels < 1) return QSize();
    double factor = std::min(1.0, scale_ * devicePixelRatio);
    const double pixels = double(original_.width()) * original_.height() * factor * factor;
    if (pixels > double(maxPixels)) factor *= std::sqrt(double(maxPixels) / pixels);
    const int w = std::clamp(int(std::ceil(original_.width() * factor - 1e-6)), 1, original_.width());
    const int h = std::clamp(int(std::ceil(original_.height() * factor - 1e-6)), 1, original_.height());
    return QSize(w, h);
}

bool DecodeServes(QSize have, QSize need)
{
    if (have.isEmpty() || need.isEmpty()) return false;
    return Covers(have, need) && have.width() <= 2 * need.width() && have.height() <= 2 * need.height();
}

bool DecodeIsBetter(QSize candidate, QSize current, QSize need)
{
    if (candidate.isEmpty()) return false;
    if (current.isEmpty()) return true;
    const bool candidateCovers = Covers(candidate, need), currentCovers = Covers(current, need);
    if (candidateCovers != currentCovers) return candidateCovers;
    const qint64 a = qint64(candidate.width()) * candidate.height();
    const qint64 b = qint64(current.width()) * current.height();
    return candidateCovers ? a < b : a > b;
}

} // namespace pagero
