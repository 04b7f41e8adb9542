#pragma once
// Keeping a comment on its page while it is edited: long lines are broken, lines that do not fit
// below are dropped, the block is pushed back inside the margins, and the position presets of the
// editor place it.
#include <QStringList>
#include <functional>

namespace pagero {

struct CommentBlock {
    QStringList lines;
    int x = 0, y = 0;   // top-left corner, page pixels
    int w = 0, h = 0;   // widest line; lines times the height of "H"
};

// The page and the text metrics of the comment's font.
struct CommentPage {
    int W = 0, H = 0;                 // page size
    int mx = 20, my = 20;             // margins
    int lineHeight = 0;               // height of "H"
    std::function<int(const QString &)> textWidth;
};

// Every line wider than W - mx keeps its longest leading part that fits (at least one character, so
// a page narrower than one letter still ends) and the rest continues on a new line; lines that do not
// fit in H - my are dropped from the end; then the block is moved back inside the far margins.
CommentBlock FitCommentToPage(const QStringList &lines, int x, int y, const CommentPage &page);

// "Manual", "LeftTop", "RightTop", "LeftDown", "RightDown", "Center", "Horizontal Center",
// "Vertical Center", "Top Center", "Bottom Center", in this order.
enum class CommentPreset { Manual, LeftTop, RightTop, LeftDown, RightDown, Center, HorizontalCenter,
                           VerticalCenter, TopCenter, BottomCenter };
QStringList CommentPresetNames();
// The block's corner for a preset, from its size; Manual keeps x and y.
void PlaceComment(CommentPreset preset, CommentBlock &block, const CommentPage &page);

} // namespace pagero
