#pragma once
// The pictures and pointer shapes of the window design, compiled into the program as resources.
#include <QCursor>
#include <QImage>
#include <QString>
#include <QStringList>

namespace pagero {

// Design pictures by name: "ErrorImage" (error sign), "RightLkImg" / "LeftLkImg" (binding rings of a
// closed book, left / right of the spine), "LeftFlipLkImg" / "RightFlipLkImg" (rings on the spine
// edge of a left / right page), "wavIcon" (49 x 49), "midIcon" (71 x 71), "ThumbCursorImg" (the
// page-jump box) and its section icons "CoverImg", "OverviewImg", "ContentsImg", "IndexImg".
// A null image for an unknown name. Safe to call from any thread.
QImage DesignImage(const QString &name);
QStringList DesignImageNames();

// Layout of the page-jump box "ThumbCursorImg": the page label is centred in a field of
// kJumpLabelWidth pixels starting at kJumpLabelLeft, written at y kJumpLabelTop; the section icon
// (16 x 16) goes at (kJumpIconLeft, kJumpIconTop).
inline constexpr int kJumpLabelLeft = 1;
inline constexpr int kJumpLabelWidth = 21;
inline constexpr int kJumpLabelTop = 11;
inline constexpr int kJumpIconLeft = 25;
inline constexpr int kJumpIconTop = 5;

// The custom pointer shapes, by their ids: 1 "HAND", 2 "HANDMOVE", 3 "HANDPNT", 4 "HANDPNTMOVE",
// 5 "HANDPNTGOTO", 6 "HANDPNTVIEW", 7 "HANDPNTGOTO2", 8 "ZOOMIN", 9 "HANDPNTRIGHT1".
enum DesignCursorId {
    CursorHand = 1,
    CursorHandMove = 2,
    CursorHandPoint = 3,
    CursorHandPointMove = 4,
    CursorHandPointGoto = 5,
    CursorHandPointView = 6,
    CursorHandPointGoto2 = 7,
    CursorZoomIn = 8,
    CursorHandPointRight = 9,
};
// The pointer for an id; the arrow for an unknown id. GUI thread only (QCursor needs the GUI).
QCursor DesignCursor(int id);
// Resource name of a pointer id ("HAND" ...), empty for an unknown id.
QString DesignCursorName(int id);

} // namespace pagero
