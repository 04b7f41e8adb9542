#include "core/pages/ThumbnailBox.h"

#include <cmath>

namespace pagero {

namespace {

constexpr int kMaxScale = 4;

QString WithoutTrailingSlash(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

} // namespace

ThumbnailBox ThumbnailBoxFor(int width, int height, double ratio)
{
    ThumbnailBox box;
    if (width > 144 || height > 140) {
        box.width = 256;
        box.height = 250;
    } else if (width > 72 || height > 70) {
        box.width = 144;
        box.height = 140;
    }
    // A ratio a hair above a whole number (1.0000001 from a scale factor) is that number.
    const double scale = std::ceil(std::isfinite(ratio) ? ratio - 1e-6 : 1.0);
    box.scale = scale < 1 ? 1 : scale > kMaxScale ? kMaxScale : int(scale);
    return box;
}

QString ThumbnailCacheRootFor(const QString &overviewDir, const ThumbnailBox &box)
{
    if (box.IsWritten() || overviewDir.isEmpty())
        return overviewDir;
    QString name = WithoutTrailingSlash(overviewDir) + QLatin1Char('-') + QString::number(box.width)
        + QLatin1Char('x') + QString::number(box.height);
    if (box.scale != 1)
        name += QLatin1Char('@') + QString::number(box.scale) + QLatin1Char('x');
    return name;
}

QStringList AllThumbnailCacheRoots(const QString &overviewDir)
{
    QStringList roots;
    if (overviewDir.isEmpty())
        return roots;
    roots << overviewDir;
    for (const int width : {72, 144, 256})
        for (int scale = 1; scale <= kMaxScale; ++scale) {
            const ThumbnailBox box = ThumbnailBoxFor(width, width == 72 ? 70 : width == 144 ? 140 : 250, scale);
            if (!box.IsWritten())
                roots << ThumbnailCacheRootFor(overviewDir, box);
        }
    return roots;
}

} // namespace pagero
