#pragma once
// The windows' logging category ("pagero"): what goes wrong in app/ is logged here as well as told
// to the user.
#include <QLoggingCategory>

namespace pagero {
Q_DECLARE_LOGGING_CATEGORY(lcPagero)
}
