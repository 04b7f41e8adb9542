#pragma once
// The codes of what lies under the pointer, as the hit test reports them and the main window keeps
// them: the two pages, a bookmark tab, a stack edge, or an entry of a contents, index or overview
// page. Entry codes count from their base, which stands for the first page-list entry.
namespace pagero {

enum HotCodes : int {
    HotNone = 0,
    HotLeftPage = 1999,
    HotRightPage = 2999,
    HotBookmarkBase = 3001,   // 3001 .. 3999: bookmark tab code - 3001
    HotLeftStack = 4501,
    HotRightStack = 4502,
    HotContentsBase = 50001,  // 50001 .. 60000: contents line of page-list entry code - 50001
    HotIndexBase = 60001,     // 60001 .. 70000: index line of entry code - 60001
    HotThumbBase = 70001,     // from 70001: thumbnail of entry code - 70001
};

// Contents and index lines have room for this many entries; a line of a later entry would read as
// the next section's code, so the hit test does not report it.
inline constexpr int kLineEntryCodes = 10000;

constexpr bool IsLeftPage(int code) { return code == HotLeftPage; }
constexpr bool IsRightPage(int code) { return code == HotRightPage; }
constexpr bool IsBookmarkTab(int code) { return code > 3000 && code < 4000; }
constexpr int BookmarkTabOfCode(int code) { return code - HotBookmarkBase; }
constexpr bool IsStackEdge(int code) { return code == HotLeftStack || code == HotRightStack; }
constexpr bool IsContentsLine(int code) { return code > 50000 && code <= 60000; }
constexpr bool IsIndexLine(int code) { return code > 60000 && code <= 70000; }
constexpr bool IsThumbnail(int code) { return code > 70000; }
// A contents line, index line or thumbnail: a code that stands for one page-list entry.
constexpr bool IsEntryCode(int code) { return code > 50000; }

// The page-list entry (from 0) of a contents, index or thumbnail code.
constexpr int EntryOfCode(int code)
{
    if (code > 70000) return code - HotThumbBase;
    if (code > 60000) return code - HotIndexBase;
    return code - HotContentsBase;
}

} // namespace pagero
