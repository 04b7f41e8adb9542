// The album page list: which files become pages, in which order, and when the folder has changed.
#include "core/book/PageList.h"
#include "core/common/FolderListing.h"
#include "core/common/MyLib.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class PageListTest : public ::testing::Test {
protected:
    void Make(const QString &name, int size = 1, const QDateTime &modified = {})
    {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'p'));
        f.flush();   // written data would otherwise move the time again on close
        if (modified.isValid()) {
            ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    }
    QStringList Build(int order, const QString &mask = kDefaultFilterMask)
    {
        EXPECT_TRUE(list.Build(dir.path(), mask, order));
        return list.names;
    }
    QTemporaryDir dir;
    PageList list;
};

QDateTime Day(int d) { return QDateTime(QDate(2020, 3, d), QTime(10, 0, 0)); }

} // namespace

TEST_F(PageListTest, ListsOrdinaryVisibleMatchingFilesInCaseInsensitiveOrder)
{
    Make("b.jpg");
    Make("A.JPG");
    Make("c.Png");
    Make("notes.txt");
    Make(".hidden.jpg");
    Make("noext");
    QDir().mkdir(dir.path() + "/folder.jpg");
    QDir().mkdir(dir.path() + "/.cache");
    QFile::link(dir.path() + "/b.jpg", dir.path() + "/link.jpg");
    QFile::link(dir.path() + "/gone.jpg", dir.path() + "/dangling.jpg");
    mkfifo(QFile::encodeName(dir.path() + "/pipe.jpg").constData(), 0600);

    EXPECT_EQ(Build(SortByName), QStringList({"A.JPG", "b.jpg", "c.Png", "link.jpg"}));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.sizes.size(), 4);
    EXPECT_EQ(list.dates.size(), 4);
    EXPECT_EQ(list.kinds, QStringList({"1", "1", "2", "1"}));
    EXPECT_EQ(Build(SortDefault), QStringList({"A.JPG", "b.jpg", "c.Png", "link.jpg"}));
    EXPECT_EQ(ListMatchingFiles(dir.path(), "*.txt; *.jpg"), QStringList({"A.JPG", "b.jpg", "link.jpg", "notes.txt"}));
    EXPECT_EQ(ListMatchingFiles(dir.path(), "*.*").size(), 6);
    EXPECT_EQ(ListMatchingFiles(dir.path(), "?.jpg"), QStringList({"A.JPG", "b.jpg"}));
    EXPECT_EQ(ListMatchingFiles(dir.path(), "n*t"), QStringList({"noext", "notes.txt"}));
}

TEST_F(PageListTest, NameOrderReadsAccentsWithTheirBaseLetters)
{
    for (const char *name : {"zoo.jpg", "École.jpg", "apple.jpg", "Ähre.jpg", "a.jpg", "A.jpg", "10.jpg", "2.jpg"})
        Make(QString::fromUtf8(name));
    const QStringList expected = {"10.jpg", "2.jpg", "A.jpg", "a.jpg", QString::fromUtf8("Ähre.jpg"), "apple.jpg",
                                  QString::fromUtf8("École.jpg"), "zoo.jpg"};
    EXPECT_EQ(Build(SortByName), expected);
    EXPECT_FALSE(list.HasFolderChanged());   // the listing keeps the same order
    EXPECT_EQ(Build(SortBySize), expected);  // equal sizes keep the name order
}

TEST(FileMaskTest, WildcardsIgnoreCase)
{
    FileMask m("*.jpg;IMG_??.PNG");
    EXPECT_TRUE(m.Matches("x.JPG"));
    EXPECT_TRUE(m.Matches(".jpg"));
    EXPECT_FALSE(m.Matches("x.jpgx"));
    EXPECT_FALSE(m.Matches("x.jpeg"));
    EXPECT_TRUE(m.Matches("img_01.png"));
    EXPECT_FALSE(m.Matches("img_001.png"));
    EXPECT_TRUE(FileMask("a*b*c").Matches("aXbYbZc"));
    EXPECT_FALSE(FileMask("a*b*c").Matches("aXbYbZ"));
    EXPECT_TRUE(FileMask("").Matches("anything"));
    EXPECT_FALSE(FileMask("*.wav").Matches(QString(5000, 'a')));
}

TEST_F(PageListTest, TypeOrderComparesExtensionsByCodeAndIsStable)
{
    Make("a.bmp");
    Make("b.JPG");
    Make("c.jpg");
    Make("d.Bmp");
    Make("e.JPG");
    Make("f.wav");
    EXPECT_EQ(Build(SortByType), QStringList({"d.Bmp", "b.JPG", "e.JPG", "a.bmp", "c.jpg", "f.wav"}));
    EXPECT_EQ(list.kinds, QStringList({"1", "1", "1", "1", "1", "3"}));
}

TEST_F(PageListTest, SizeAndDateOrdersKeepNameOrderForEqualKeys)
{
    Make("d.jpg", 300, Day(1));
    Make("C.jpg", 100, Day(3));
    Make("b.jpg", 200, Day(2));
    Make("a.jpg", 100, Day(2));
    EXPECT_EQ(Build(SortBySize), QStringList({"a.jpg", "C.jpg", "b.jpg", "d.jpg"}));
    EXPECT_EQ(list.sizes, QStringList({"100", "100", "200", "300"}));
    EXPECT_EQ(list.SizeOf(2), 200);
    EXPECT_EQ(Build(SortByDate), QStringList({"d.jpg", "a.jpg", "b.jpg", "C.jpg"}));
    EXPECT_EQ(list.DateOf(0), PackDosDateTime(Day(1)));
    EXPECT_EQ(list.dates[3], QString::number(PackDosDateTime(Day(3))));
    EXPECT_EQ(list.Order(), SortByDate);
    // An unknown order keeps the listing order.
    EXPECT_EQ(Build(7), QStringList({"a.jpg", "b.jpg", "C.jpg", "d.jpg"}));
}

TEST_F(PageListTest, PathsKindsAndProgress)
{
    Make("song.WAV");
    Make("tune.mid");
    Make("clip.avi");
    QList<int> seen;
    ASSERT_TRUE(list.Build(dir.path() + "/", kDefaultFilterMask, SortByName, [&](int p) { seen << p; }));
    EXPECT_EQ(seen, QList<int>({0, 33, 66}));
    EXPECT_EQ(list.PagePath(0), dir.path() + "/clip.avi");
    EXPECT_EQ(list.KindOf(0), KindVideo);
    EXPECT_EQ(list.KindOf(1), KindWave);
    EXPECT_EQ(list.KindOf(2), KindMidi);
    EXPECT_EQ(list.IndexOfPath(dir.path() + "/TUNE.MID"), 2);
    EXPECT_EQ(list.IndexOfPath(dir.path() + "/other.mid"), -1);
    EXPECT_EQ(list.PagePath(3), "");
    EXPECT_EQ(list.SizeOf(-1), -1);

    EXPECT_EQ(Build(SortByName, "*.wav"), QStringList({"song.WAV"}));
    EXPECT_EQ(list.KindOf(0), KindWave);
}

TEST_F(PageListTest, MissingOrEmptyFolders)
{
    EXPECT_FALSE(list.Build(dir.path() + "/missing", kDefaultFilterMask, SortByName));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.HasFolderChanged()) << "nothing built";
    EXPECT_TRUE(list.Build(dir.path(), kDefaultFilterMask, SortByName));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.HasFolderChanged());
}

TEST_F(PageListTest, HasFolderChangedComparesByPositionWithTheListing)
{
    Make("a.jpg", 10, Day(1));
    Make("b.jpg", 20, Day(1));
    Make("notes.txt");
    Build(SortByName);
    EXPECT_FALSE(list.HasFolderChanged());

    Make("notes2.txt");   // outside the mask
    EXPECT_FALSE(list.HasFolderChanged());

    {
        QFile f(dir.path() + "/b.jpg");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(Day(5), QFileDevice::FileModificationTime));
    }
    EXPECT_TRUE(list.HasFolderChanged());
    Build(SortByName);
    EXPECT_FALSE(list.HasFolderChanged());

    Make("c.jpg");
    EXPECT_TRUE(list.HasFolderChanged());
    Build(SortByName);
    ASSERT_TRUE(QFile::rename(dir.path() + "/c.jpg", dir.path() + "/C2.jpg"));
    EXPECT_TRUE(list.HasFolderChanged());

    // Sorted against the listing's order: by position it has changed, though no file did.
    Make("z.jpg", 0);
    Build(SortBySize);
    EXPECT_EQ(list.names.first(), "z.jpg");
    EXPECT_TRUE(list.HasFolderChanged());

    Build(SortByName);
    ASSERT_TRUE(dir.remove());
    EXPECT_TRUE(list.HasFolderChanged()) << "a vanished folder has changed";
}
