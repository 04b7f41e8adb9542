#pragma once
// Making the picture of one cached thumbnail: the file decoded at reduced size and fitted into the
// 72 x 70 box (never enlarged), the built-in picture for sounds and MIDI files, or the "Data Error!"
// picture for files that cannot be decoded. MakeThumbnail is safe to call from worker threads.
#include <QImage>
#include <QSize>
#include <QString>

namespace pagero {

// The box every cached bitmap fits in; the medium and small overview sizes shrink from it.
inline constexpr int kThumbBoxWidth = 72;
inline constexpr int kThumbBoxHeight = 70;

struct ThumbnailIcons {
    QImage wavIcon;   // 49 x 49
    QImage midIcon;   // 71 x 71
};

// Fits `image` into the thumbnail box by the common library's rule (proportions kept, never
// enlarged, each side rounded and at least 1).
QImage FitThumbnail(const QImage &image, QSize originalSize = QSize());

// The thumbnail of the file at `path` of media kind `kind`; a null image when it cannot be decoded.
QImage MakeThumbnail(const QString &path, int kind, const ThumbnailIcons &icons);

// The picture cached for a file that cannot be decoded: width x height, grey, "Data Error!".
QImage DataErrorThumbnail(int width, int height);

// The built-in pictures for wave and MIDI files.
ThumbnailIcons LoadThumbnailIcons();

} // namespace pagero
