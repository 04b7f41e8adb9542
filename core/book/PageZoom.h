#pragma once
// The zoomed view of one page's picture: its scale, where it lies in the view, the zoom steps and
// the limits of panning, and which decoded size the view needs. Window-free arithmetic in logical
// pixels; "image pixels" are the picture's own (upright) pixels.
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace pagero {

class PageZoom {
public:
    // One zoom step: two steps double the scale.
    static constexpr double kStepFactor = 1.4142135623730951;

    // Starts at the picture as the page shows it: `original` is its full upright size, `shown` the
    // rectangle the page draws it in (view coordinates), `view` the size of the view and
    // `fullScale` the scale at which one image pixel fills one device pixel (1 / device pixel
    // ratio). The zoom reaches down to the page's own scale and up to full resolution; a picture
    // the page shows at full size or larger still gets two steps, its pixels enlarged. False (and
    // nothing zoomed) when a size is empty or a value is not a finite positive number.
    bool Start(QSize original, const QRectF &shown, QSizeF view, double fullScale);
    bool Active() const { return active_; }
    void Stop() { active_ = false; }

    double Scale() const { return scale_; }           // logical pixels per image pixel
    double MinScale() const { return minScale_; }     // the page's own
    double MaxScale() const { return maxScale_; }
    bool AtMinimum() const { return scale_ <= minScale_ * (1 + 1e-9); }
    bool AtMaximum() const { return scale_ >= maxScale_ * (1 - 1e-9); }
    QSize Original() const { return original_; }
    QSizeF ViewSize() const { return view_; }

    // Zooms by `steps` (negative: out; fractions from a touchpad's small wheel steps), clamped to
    // the range, keeping the picture point under `anchor` where it is as far as the pan limits
    // allow. False when the scale did not change (already at that end of the range).
    bool ZoomBy(double steps, QPointF anchor);
    // Moves the picture by `delta`, held within the pan limits.
    void PanBy(QPointF delta);
    // The view was resized: the picture stays where it was, held within the new limits.
    void SetViewSize(QSizeF view);

    // Where the whole picture lies in the view. Pan limits, per axis: a picture wider than the view
    // leaves no gap at either side; a narrower one stays wholly inside the view.
    QRectF PictureRect() const;
    // The part of the picture visible in the view, in image pixels (empty when none is).
    QRectF VisibleImageRect() const;

    // The decoded size the view needs to show the picture sharply at the current scale on a screen
    // of `devicePixelRatio`: never more than the original, and within `maxPixels` (proportions
    // kept). Invalid when not active.
    QSize DecodeSize(double devicePixelRatio, qint64 maxPixels) const;

private:
    void Clamp();

    bool active_ = false;
    QSize original_;
    QSizeF view_;
    QPointF topLeft_;   // the picture's top-left corner in the view
    double scale_ = 1, minScale_ = 1, maxScale_ = 1;
};

// Whether a decoded picture of size `have` serves a view that needs `need`: it covers it (one pixel
// of rounding allowed) and is not so much larger that drawing it scaled down would be wasteful.
bool DecodeServes(QSize have, QSize need);
// Of two decoded pictures, whether `candidate` serves `need` better than `current`: one that covers
// the need beats one that does not; of two that cover it the smaller, of two that do not the larger.
bool DecodeIsBetter(QSize candidate, QSize current, QSize need);

} // namespace pagero
