#pragma once
// The overview thumbnail sizes of the "Thumbnail &Size" menu. The main window keeps the chosen size;
// an item is checked when its width equals the current width. A change of width re-opens the album
// and re-lays out the book. The three small sizes share one cache (its bitmaps fit the 72 x 70 box);
// the two large ones have caches of their own (core/pages/ThumbnailBox.h).
#include <array>

namespace pagero {

struct ThumbnailSize {
    int width;
    int height;
};

inline constexpr ThumbnailSize kLargeThumbnail{72, 70};    // also the box every cached bitmap fits
inline constexpr ThumbnailSize kMiddleThumbnail{56, 55};
inline constexpr ThumbnailSize kSmallThumbnail{38, 36};
inline constexpr ThumbnailSize kLargerThumbnail{144, 140};
inline constexpr ThumbnailSize kExtraLargeThumbnail{256, 250};

struct ThumbnailSizeItem {
    const char *text;      // menu item text
    const char *handler;   // the main window's handler name
    int width;
    int height;
};

// Items 0 .. 2 are the three small sizes; 3 and 4 the large ones, listed above them in the menu.
inline constexpr std::array<ThumbnailSizeItem, 5> kThumbnailSizeItems = {{
    {"&Large (72 x 70)", "btnLargest1Click", kLargeThumbnail.width, kLargeThumbnail.height},
    {"&Medium (56 x 55)", "btnMiddle1Click", kMiddleThumbnail.width, kMiddleThumbnail.height},
    {"&Small (38x 36)", "btnSmallest1Click", kSmallThumbnail.width, kSmallThumbnail.height},
    {"Lar&ge (144 x 140)", "btnLarger1Click", kLargerThumbnail.width, kLargerThumbnail.height},
    {"E&xtra Large (256 x 250)", "btnExtraLarge1Click", kExtraLargeThumbnail.width, kExtraLargeThumbnail.height},
}};

// The item to check for the current thumbnail width; -1 when none matches.
constexpr int CheckedThumbnailSizeItem(int width)
{
    for (int i = 0; i < int(kThumbnailSizeItems.size()); ++i)
        if (kThumbnailSizeItems[i].width == width) return i;
    return -1;
}

// Whether choosing an item must re-open the album: the overview's width differs from the new one.
constexpr bool ThumbnailSizeNeedsReopen(int currentOverviewWidth, int item)
{
    return item >= 0 && item < int(kThumbnailSizeItems.size()) && kThumbnailSizeItems[item].width != currentOverviewWidth;
}

} // namespace pagero
