#pragma once
// The three overview thumbnail sizes of the "Thumbnail &Size" menu. The main window keeps the chosen
// size; an item is checked when its width equals the current width. A change of width re-opens the
// album and re-lays out the book; the cache serves all three sizes (its bitmaps fit the large box).
#include <array>

namespace pagero {

struct ThumbnailSize {
    int width;
    int height;
};

inline constexpr ThumbnailSize kLargeThumbnail{72, 70};    // also the box every cached bitmap fits
inline constexpr ThumbnailSize kMiddleThumbnail{56, 55};
inline constexpr ThumbnailSize kSmallThumbnail{38, 36};

struct ThumbnailSizeItem {
    const char *text;      // menu item text
    const char *handler;   // the main window's handler name
    int width;
    int height;
};

inline constexpr std::array<ThumbnailSizeItem, 3> kThumbnailSizeItems = {{
    {"&Large (72 x 70)", "btnLargest1Click", kLargeThumbnail.width, kLargeThumbnail.height},
    {"&Medium (56 x 55)", "btnMiddle1Click", kMiddleThumbnail.width, kMiddleThumbnail.height},
    {"&Small (38x 36)", "btnSmallest1Click", kSmallThumbnail.width, kSmallThumbnail.height},
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
