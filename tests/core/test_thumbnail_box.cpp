// Which cache a thumbnail size is served from on a screen of a given device pixel ratio, where that
// cache lives, and how the large sizes are kept in the settings file.
#include "core/book/Settings.h"
#include "core/pages/ThumbnailBox.h"

#include <gtest/gtest.h>
#include <cmath>

using namespace pagero;

TEST(ThumbnailBoxes, TheSmallSizesAtOneDevicePixelUseTheOverviewFolderItself)
{
    for (auto [w, h] : {std::pair{72, 70}, {56, 55}, {38, 36}}) {
        const ThumbnailBox box = ThumbnailBoxFor(w, h, 1.0);
        EXPECT_TRUE(box.IsWritten()) << w;
        EXPECT_EQ(ThumbnailCacheRootFor("/data/Overview", box), "/data/Overview");
    }
    // A ratio a rounding error above 1 is still 1.
    EXPECT_TRUE(ThumbnailBoxFor(72, 70, 1.0000001).IsWritten());
}

TEST(ThumbnailBoxes, LargerSizesAndDenserScreensGetFoldersBesideTheOverviewFolder)
{
    const ThumbnailBox large = ThumbnailBoxFor(144, 140, 1.0);
    EXPECT_EQ(large, (ThumbnailBox{144, 140, 1}));
    EXPECT_EQ(ThumbnailCacheRootFor("/data/Overview", large), "/data/Overview-144x140");

    const ThumbnailBox extra = ThumbnailBoxFor(256, 250, 2.0);
    EXPECT_EQ(extra, (ThumbnailBox{256, 250, 2}));
    EXPECT_EQ(extra.DeviceWidth(), 512);
    EXPECT_EQ(ThumbnailCacheRootFor("/data/Overview/", extra), "/data/Overview-256x250@2x");

    // 1.5 device pixels per book pixel rounds up; nonsense ratios stay within 1 .. 4.
    EXPECT_EQ(ThumbnailBoxFor(56, 55, 1.5), (ThumbnailBox{72, 70, 2}));
    EXPECT_EQ(ThumbnailBoxFor(72, 70, 0.0).scale, 1);
    EXPECT_EQ(ThumbnailBoxFor(72, 70, 1e9).scale, 4);
    EXPECT_EQ(ThumbnailBoxFor(72, 70, std::nan("")).scale, 1);

    // Emptying the cache reaches every folder a box may use, and only those.
    const QStringList roots = AllThumbnailCacheRoots("/data/Overview");
    EXPECT_EQ(roots.first(), "/data/Overview");
    EXPECT_TRUE(roots.contains("/data/Overview-72x70@2x"));
    EXPECT_TRUE(roots.contains("/data/Overview-256x250@4x"));
    EXPECT_EQ(roots.size(), 12);
    EXPECT_TRUE(AllThumbnailCacheRoots(QString()).isEmpty());
}

TEST(ThumbnailBoxes, TheLargeSizesAreStoredAsTheirWidthAndHeight)
{
    for (auto [w, h] : {std::pair{144, 140}, {256, 250}}) {
        Settings s;
        s.ThumbW = w;
        s.ThumbH = h;
        const QByteArray bytes = EncodeSettings2(s);
        Settings back;
        DecodeSettings2(bytes, back);
        EXPECT_EQ(back.ThumbW, w);
        EXPECT_EQ(back.ThumbH, h);
    }
    // Any other pair, such as a large width with a small height, is no size of the menu.
    Settings s;
    s.ThumbW = 144;
    s.ThumbH = 70;
    Settings back;
    DecodeSettings2(EncodeSettings2(s), back);
    EXPECT_EQ(back.ThumbW, 72);
    EXPECT_EQ(back.ThumbH, 70);
}
