#pragma once
// Text drawing shared by the contents and index pages.
#include <QColor>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>

namespace pagero {

// Selected files are written in blue on the contents and index pages.
inline const QColor kSelectedEntryColor(0, 0, 255);

// Writes `text` with its top-left at `at`, clipped to `clip`, on a white text background.
void WriteClipped(QPainter &p, const QRect &clip, QPoint at, const QString &text);

// A usable page area before the book gives the real one: a third of the primary screen.
QSize InitialPageArea();

} // namespace pagero
