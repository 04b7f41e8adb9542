#include "core/motion/DisplayTarget.h"

namespace pagero {
namespace {

DisplayTarget ForeignWindow(const QString &text)
{
    bool ok = false;
    const quint64 id = text.trimmed().toULongLong(&ok, 0);   // base 0: "0x..." or decimal
    // X window ids have 29 bits; anything else is not a window of this display.
    if (!ok || id == 0 || id > 0x1FFFFFFFu) return {DisplayTarget::Invalid, 0};
    return {DisplayTarget::Foreign, id};
}

} // namespace

DisplayTarget ChooseDisplayTarget(const QString &windowId, bool root, const QString &daemonWindow)
{
    if (!windowId.isNull()) return ForeignWindow(windowId);
    if (!daemonWindow.trimmed().isEmpty()) return ForeignWindow(daemonWindow);
    if (root) return {DisplayTarget::Root, 0};
    return {};
}

} // namespace pagero
