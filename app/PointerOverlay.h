#pragma once
// What the pointer adds over the book: its shape by what lies under it, the highlight of an overview,
// contents or index entry, the page-jump cursor over a stack edge and the file-name hint of a
// thumbnail. They are drawn over the frame and forgotten whenever the frame is drawn anew.
#include "app/HitTester.h"
#include <QRect>
#include <QString>
#include <functional>

class QPainter;

namespace pagero {

class BookContext;

class PointerOverlay {
public:
    explicit PointerOverlay(BookContext &book) : book_(book) {}

    // The pointer is at (x, y) over `hot`; the jump cursor follows it only when `jumpCursor` is on.
    void Track(const HotState &hot, int x, int y, bool jumpCursor);
    // Takes the highlight and the jump cursor off the screen.
    void Remove();
    // The frame is drawn anew: both are forgotten without repainting their places.
    void Forget();
    void Paint(QPainter &p) const;

    int HighlightCode = -1, HighlightKind = 0;
    QRect HighlightRect;
    // The hint of bookmark tab `tab` (set by the bookmarks' controller).
    std::function<QString(int tab)> BookmarkHint;

    bool JumpCursorShown = false;
    int JumpCursorPage = 0;
    QRect JumpCursorRect;

private:
    void SetPointerShape(const HotState &hot, int x);
    void UpdateHighlight(const HotState &hot);
    void UpdateJumpCursor(const HotState &hot, int x, int y);
    void UpdateHint(const HotState &hot);

    BookContext &book_;
};

} // namespace pagero
