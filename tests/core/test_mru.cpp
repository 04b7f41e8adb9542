// The recently used folders and their menu captions.
#include "core/book/MruList.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

TEST(Mru, AddPutsInFrontAndNeverTrims)
{
    QStringList mru;
    for (int i = 0; i < 20; ++i) AddToMRU(mru, QString("/f%1").arg(i));
    EXPECT_EQ(mru.size(), 20);
    EXPECT_EQ(mru.first(), "/f19");
    EXPECT_EQ(mru.last(), "/f0");
}

TEST(Mru, RemoveDeletesTheFirstEntryEqualIgnoringCase)
{
    QStringList mru = {"/a/Photos", "/b", "/A/photos"};
    RemoveFromMRU(mru, "/a/PHOTOS");
    EXPECT_EQ(mru, QStringList({"/b", "/A/photos"}));
    RemoveFromMRU(mru, "/none");
    EXPECT_EQ(mru.size(), 2);
}

TEST(Mru, RefreshDropsFoldersThatNoLongerExist)
{
    QTemporaryDir dir;
    QDir().mkdir(dir.path() + "/kept");
    const QStringList mru = {dir.path() + "/gone", dir.path() + "/kept", "", dir.path()};
    EXPECT_EQ(RefreshedMRU(mru), QStringList({dir.path() + "/kept", dir.path()}));
}

TEST(Mru, CaptionsOfTheFirstTwelveAndBack)
{
    QStringList mru;
    for (int i = 14; i >= 1; --i) AddToMRU(mru, QString("/albums/n.%1").arg(i));
    mru[2] = "/albums/Tom & Jerry";
    const QStringList captions = MenuCaptions(mru);
    ASSERT_EQ(captions.size(), kMruMenuItems);
    EXPECT_EQ(captions[0], "&1. /albums/n.1");
    EXPECT_EQ(captions[2], "&3. /albums/Tom && Jerry");
    EXPECT_EQ(captions[11], "&12. /albums/n.12");
    for (int i = 0; i < kMruMenuItems; ++i) EXPECT_EQ(FolderFromCaption(captions[i]), mru[i]);
    EXPECT_EQ(FolderFromCaption("no point here"), "no point here");
    EXPECT_EQ(MenuCaptions({}).size(), 0);
}
