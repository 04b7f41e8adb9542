#pragma once
// The fonts the book names ("MS Sans Serif" 8 points and so on) map to one sans font at the same point
// sizes at 96 dots per inch, so layout and painting agree on every platform and in tests.
#include <QFont>

namespace pagero {
QFont BookFont(int points, bool bold = false);
}
