#pragma once
// Colours as the settings file and the bitmaps' colour table keep them: one 32-bit value with red in
// the low byte, then green, then blue; the high byte is ignored. Header-only, as it needs Qt Gui's
// QColor, which the window-free library itself does not link.
#include <QColor>
#include <cstdint>

namespace pagero {

inline QColor ColorFromStored(uint32_t stored)
{
    return QColor(int(stored & 0xFF), int((stored >> 8) & 0xFF), int((stored >> 16) & 0xFF));
}

inline uint32_t StoredFromColor(const QColor &c)
{
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

} // namespace pagero
