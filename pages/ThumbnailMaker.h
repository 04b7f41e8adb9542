#pragma once
// Making the picture of one cached thumbnail: the file decoded at reduced size and fitted into the
// cache's box (72 x 70 for the overview folder; never enlarged beyond the box's book pixels), the
// built-in picture for sounds and MIDI files, or the "Data Error!" picture for files that cannot be
// decoded. A box with a scale above 1 holds the same fit at that many device pixels per book pixel.
// MakeThumbnail is safe to call from worker threads.
#include "core/pages/ThumbnailBox.h"
#include "pages/ThumbnailSizes.h"
#include <QImage>
#include <QSize>
#include <QString>

namespace pagero {

// The box every cached bitmap fits in; the medium and small overview sizes shrink from it.
inline constexpr int kThumbBoxWidth = kLargeThumbnail.width;
inline constexpr int kThumbBoxHeight = kLargeThumbnail.height;

struct ThumbnailIcons {
    QImage wavIcon;   // 49 x 49
    QImage midIcon;   // 71 x 71
};

// Fits `image` into the thumbnail box by the common library's rule (proportions kept, never
// enlarged beyond the box's book pixels, each side rounded and at least 1), times the box's scale.
QImage FitThumbnail(const QImage &image, QSize originalSize = QSize(), const ThumbnailBox &box = {});

// The thumbnail of the file at `path` of media kind `kind`; a null image when it cannot be decoded.
QImage MakeThumbnail(const QString &path, int kind, const ThumbnailIcons &icons, const ThumbnailBox &box = {});

// The picture cached for a file that cannot be decoded: width x height book pixels times `scale`,
// grey, "Data Error!".
QImage DataErrorThumbnail(int width, int height, int scale = 1);

// The built-in pictures for wave and MIDI files.
ThumbnailIcons LoadThumbnailIcons();

} // namespace pagero
