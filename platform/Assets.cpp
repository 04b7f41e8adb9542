#include "platform/Assets.h"

#include <QHash>
#include <QMutex>
#include <QPixmap>

namespace pagero {
namespace {

const QStringList &Names()
{
    static const QStringList names{"ErrorImage", "RightLkImg", "LeftLkImg", "LeftFlipLkImg", "RightFlipLkImg",
                                   "wavIcon", "midIcon", "ThumbCursorImg", "CoverImg", "OverviewImg",
                                   "ContentsImg", "IndexImg"};
    return names;
}

struct CursorShape {
    const char *name;
    QPoint hotSpot;
};

// Hot spots: the finger tip of the pointing hands, the lens centre of the magnifier.
const CursorShape kCursors[] = {
    {"HAND", {16, 16}},          {"HANDMOVE", {16, 16}},    {"HANDPNT", {12, 1}},
    {"HANDPNTMOVE", {12, 1}},    {"HANDPNTGOTO", {12, 1}},  {"HANDPNTVIEW", {12, 1}},
    {"HANDPNTGOTO2", {12, 1}},   {"ZOOMIN", {13, 13}},      {"HANDPNTRIGHT1", {19, 1}},
};

} // namespace

QStringList DesignImageNames() { return Names(); }

QImage DesignImage(const QString &name)
{
    static QMutex mutex;
    static QHash<QString, QImage> cache;
    if (!Names().contains(name)) return {};
    QMutexLocker lock(&mutex);
    auto it = cache.find(name);
    if (it == cache.end()) {
        QImage image(QStringLiteral(":/design/%1.png").arg(name));
        if (!image.isNull()) image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        it = cache.insert(name, image);
    }
    return *it;   // implicitly shared: callers get a cheap copy
}

QString DesignCursorName(int id)
{
    if (id < 1 || id > int(std::size(kCursors))) return {};
    return QString::fromLatin1(kCursors[id - 1].name);
}

QCursor DesignCursor(int id)
{
    if (id < 1 || id > int(std::size(kCursors))) return QCursor(Qt::ArrowCursor);
    const CursorShape &shape = kCursors[id - 1];
    const QPixmap pixmap(QStringLiteral(":/design/%1.png").arg(QLatin1String(shape.name)));
    if (pixmap.isNull()) return QCursor(Qt::ArrowCursor);
    return QCursor(pixmap, shape.hotSpot.x(), shape.hotSpot.y());
}

} // namespace pagero
