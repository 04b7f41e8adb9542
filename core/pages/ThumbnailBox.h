#pragma once
// The boxes cached thumbnails are fitted into. The overview folder itself holds the bitmaps of the
// three small sizes: pictures fitted into 72 x 70 book pixels, shrunk when drawn smaller. The large
// sizes (144 x 140, 256 x 250) and screens with more than one device pixel per book pixel get caches
// of their own, each a folder of the same layout beside the overview folder, whose bitmaps hold the
// fitted picture at that many device pixels per book pixel.
#include <QString>
#include <QStringList>

namespace pagero {

struct ThumbnailBox {
    int width = 72;    // book pixels
    int height = 70;
    int scale = 1;     // device pixels per book pixel of the bitmaps
    int DeviceWidth() const { return width * scale; }
    int DeviceHeight() const { return height * scale; }
    bool IsWritten() const { return width == 72 && height == 70 && scale == 1; }
    bool operator==(const ThumbnailBox &) const = default;
};

// The box a thumbnail size of `width` x `height` book pixels is cached in on a screen of `ratio`
// device pixels per book pixel: 72 x 70 for the sizes up to 72 wide, else 144 x 140 or 256 x 250;
// the scale is the ratio rounded up (1 .. 4).
ThumbnailBox ThumbnailBoxFor(int width, int height, double ratio);

// The cache root of `box`: the overview folder itself for the 72 x 70 box at scale 1, else the
// folder beside it named after the box ("Overview" gives "Overview-144x140", "Overview-72x70@2x").
QString ThumbnailCacheRootFor(const QString &overviewDir, const ThumbnailBox &box);

// The overview folder and every folder beside it that a box may use (emptying the cache deletes
// them all).
QStringList AllThumbnailCacheRoots(const QString &overviewDir);

} // namespace pagero
