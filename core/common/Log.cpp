#include "core/common/Log.h"

namespace pagero {

Q_LOGGING_CATEGORY(lcCore, "pagero.core")

} // namespace pagero
