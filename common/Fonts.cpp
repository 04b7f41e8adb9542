#include "common/Fonts.h"

namespace pagero {

QFont BookFont(int points, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    // Points at 96 dots per inch, as the book's layout was made for; pixel sizes keep text metrics
    // the same on every screen and in offscreen tests.
    f.setPixelSize(qMax(1, (points * 96 + 36) / 72));
    f.setBold(bold);
    return f;
}

} // namespace pagero
