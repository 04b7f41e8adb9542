#include "pages/PageText.h"
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

namespace pagero {

void WriteClipped(QPainter &p, const QRect &clip, QPoint at, const QString &text)
{
    if (clip.isEmpty()) return;
    const QFontMetrics fm(p.font());
    const QRect cell = QRect(at, QSize(fm.horizontalAdvance(text), fm.height())) & clip;
    if (cell.isEmpty()) return;
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    p.fillRect(cell, Qt::white);
    p.drawText(at.x(), at.y() + fm.ascent(), text);
    p.restore();
}

QSize InitialPageArea()
{
    QSize screen(1024, 768);
    if (const QScreen *s = QGuiApplication::primaryScreen()) screen = s->size();
    return QSize(screen.width() / 3, screen.height() / 3);
}

} // namespace pagero
