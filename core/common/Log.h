#pragma once
// The logging category of the window-free code. Failures the core cannot report to the user itself
// (a cache file that would not write, a folder that would not list) are logged here instead of
// being dropped; QT_LOGGING_RULES="pagero.core.debug=true" shows the details.
#include <QLoggingCategory>

namespace pagero {

Q_DECLARE_LOGGING_CATEGORY(lcCore)

} // namespace pagero
