#pragma once
// What lies under the pointer: a page, a stack edge, a bookmark tab or an entry that the overview,
// contents or index pages report. Window-free; the main window keeps the result as its hot state.
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/HotCodes.h"
#include <QRect>
#include <functional>

namespace pagero {

class SectionPages;

struct HotState {
    int HotPage = 0;      // page under the pointer, 0 for none
    int HotSide = 0;      // 1 left page, 2 right page
    int HotCode = HotNone;
    QRect HotRect;        // window coordinates
    int HotSubKind = 0;   // thumbnails: 1 caption, 2 picture
};

// Everything a hit test reads. The section pointers may be null (no such window yet).
struct HitScene {
    const BookGeometry *geo = nullptr;
    const BookLayout *layout = nullptr;
    const FlipState *flip = nullptr;
    SectionPages *overview = nullptr, *contents = nullptr, *index = nullptr;
    // Bookmark tabs: the tab index under a window point (-1 none) and its rectangle; the tab's page.
    std::function<int(QPoint, QRect *)> bookmarkTabAt;
    std::function<int(int)> bookmarkPage;
};

class HitTester {
public:
    static HotState HitTest(const HitScene &scene, int x, int y);
    // The page a hot element stands for (0: nothing to flip to).
    static int PageOfHotCode(const HitScene &scene, const HotState &hot);
    // The page-list entry a hot element stands for (-1: no file).
    static int FileOfHotCode(const HitScene &scene, const HotState &hot);
    static bool IsEntryCode(int code) { return pagero::IsEntryCode(code); }
    static int EntryOfCode(int code) { return pagero::EntryOfCode(code); }
};

} // namespace pagero
