#pragma once
// Where a screen-saver run draws when a screen-saver daemon starts it: the window given with
// "-window-id ID", else with "-root" the daemon's window in $XSCREENSAVER_WINDOW or, without it,
// the root window; $XSCREENSAVER_WINDOW alone also names the window. Otherwise the run shows a
// window of its own.
#include <QString>
#include <QtGlobal>

namespace pagero {

struct DisplayTarget {
    enum Kind { OwnWindow, Foreign, Root, Invalid } kind = OwnWindow;
    quint64 window = 0;   // Foreign: the window's id
};

// `windowId` is the option's value (null when not given); ids are decimal or "0x" hexadecimal, as
// the daemons write them. An id that is not a number, or zero, gives Invalid.
DisplayTarget ChooseDisplayTarget(const QString &windowId, bool root, const QString &daemonWindow);

} // namespace pagero
