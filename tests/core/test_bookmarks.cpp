// Bookmarks: the album files and the register byte for byte, their naming and clean-up, the mapping
// of bookmarks to pages after a rebuild, and the tab layout.
#include "core/FileBytes.h"
#include "core/annotations/BookmarkEdits.h"
#include "core/annotations/BookmarkFile.h"
#include "core/annotations/BookmarkMapping.h"
#include "core/annotations/BookmarkRegister.h"
#include "core/annotations/BookmarkTabs.h"
#include "core/annotations/FileNameIndex.h"
#include "core/book/BookLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

QByteArray I32(qint32 v)
{
    char b[4];
    qToLittleEndian<qint32>(v, b);
    return QByteArray(b, 4);
}

using pagero::test::ReadAll;
using pagero::test::WriteAll;

FileNameIndex IndexOf(const QStringList &names)
{
    return FileNameIndex(int(names.size()), [names](int i) { return names[i]; });
}

// 20 files, 4 thumbnails per overview page, 10 contents lines, index of 20 lines at 10 a page.
BookLayout LayoutFor(int files)
{
    SectionSizes s;
    s.files = files;
    s.thumbsPerPage = 4;
    s.contentsLines = 10;
    s.overviewPages = (files + 3) / 4;
    s.contentsPages = (files + 3 + 9) / 10;
    s.indexPages = (files + 9) / 10;
    s.indexFirstLineOfPage = [](int page) { return (page - 1) * 10; };
    s.indexPageOfLine = [](int line) { return line / 10; };
    BookLayout layout;
    layout.Compute(s);
    return layout;
}

} // namespace

TEST(BookmarkFile, ReadsAndWritesTheBinaryLayoutExactly)
{
    const QByteArray bytes = I32(3) + I32(7) + I32(4) + I32(2) + I32(0) + I32(10) + I32(1)
        + "b\xC3\xA4r.jpg\r\na.jpg\r\nc, \"d\".png\r\n";
    BookmarkTable table;
    ASSERT_TRUE(DecodeBookmarkFile(bytes, table));
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].Section, 7);
    EXPECT_EQ(table[0].FileIndex, 4);
    EXPECT_EQ(table[0].FileName, QString::fromUtf8("b\xC3\xA4r.jpg"));
    EXPECT_EQ(table[2].Section, 10);
    EXPECT_EQ(table[2].FileName, "c, \"d\".png");
    EXPECT_EQ(EncodeBookmarkFile(table), bytes);
}

TEST(BookmarkFile, CountsThatDoNotMatchTheFileMakeItMissing)
{
    const QByteArray oneRecord = I32(7) + I32(0);
    const QList<QByteArray> bad = {
        QByteArray("\x01\x00"),                                  // shorter than the count
        I32(-1) + oneRecord + "a.jpg\r\n",                       // negative
        I32(0x7FFFFFFF) + oneRecord + "a.jpg\r\n",               // absurdly large
        I32(1001) + oneRecord + "a.jpg\r\n",                     // more than an album can hold
        I32(2) + oneRecord + "a.jpg\r\n",                        // records cut short
        I32(2) + oneRecord + oneRecord + "a.jpg\r\n",            // a name line missing
        I32(1) + oneRecord + "a.jpg\r\nb.jpg\r\n",               // a name line too many
    };
    for (const QByteArray &bytes : bad) {
        BookmarkTable table(1);
        EXPECT_FALSE(DecodeBookmarkFile(bytes, table)) << bytes.toHex().constData();
        EXPECT_TRUE(table.empty());
    }
}

TEST(BookmarkFile, NoBookmarksDeletesTheFileAndFailuresKeepTheOldOne)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/~bmA.~bm";
    BookmarkTable table(1);
    table[0].Section = 7;
    table[0].FileName = "a.jpg";
    ASSERT_TRUE(WriteBookmarkFile(path, table));
    const QByteArray written = ReadAll(path);
    BookmarkTable back;
    ASSERT_TRUE(ReadBookmarkFile(path, back));
    EXPECT_EQ(back[0].FileName, "a.jpg");

    // A name with a line break cannot be stored without spoiling the file; it is left out.
    table.push_back(table[0]);
    table[1].FileName = "two\nlines.jpg";
    EXPECT_EQ(EncodeBookmarkFile(table), written);

    // A folder in the way of the file: the write fails and nothing else changes.
    const QString blocked = dir.path() + "/blocked";
    QDir().mkpath(blocked + "/inner");
    EXPECT_FALSE(WriteBookmarkFile(blocked, table));
    EXPECT_TRUE(QFileInfo(blocked + "/inner").isDir());

    EXPECT_TRUE(WriteBookmarkFile(path, {}));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(ReadBookmarkFile(path, back));
}

TEST(BookmarkRegister, NamesAlbumsUniquelyAndWritesPairsOfLines)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + "/Bookmark";   // created on first use
    const BookmarkRegister reg(dir);
    EXPECT_EQ(reg.BookmarkFileFor("/a/Holidays"), dir + "/~bmHolidays.~bm");
    EXPECT_EQ(reg.BookmarkFileFor("/b/holidays"), dir + "/~bmholidays1.~bm");
    EXPECT_EQ(reg.BookmarkFileFor("/c/Holidays/"), dir + "/~bmHolidays2.~bm");
    EXPECT_EQ(reg.BookmarkFileFor("/d/Trip.1998"), dir + "/~bmTrip.~bm");
    // A registered album is found ignoring case and costs no write.
    const QByteArray before = ReadAll(reg.RegisterPath());
    EXPECT_EQ(reg.BookmarkFileFor("/B/HOLIDAYS"), dir + "/~bmholidays1.~bm");
    EXPECT_EQ(ReadAll(reg.RegisterPath()), before);
    EXPECT_EQ(before, "/a/Holidays\r\n~bmHolidays.~bm\r\n/b/holidays\r\n~bmholidays1.~bm\r\n"
                      "/c/Holidays/\r\n~bmHolidays2.~bm\r\n/d/Trip.1998\r\n~bmTrip.~bm\r\n");
}

TEST(BookmarkRegister, ReadsAWrittenRegisterAndNeverLeavesItsFolder)
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + "/Bookmark";
    QDir().mkpath(dir);
    QDir().mkpath(tmp.path() + "/kept");
    WriteAll(tmp.path() + "/victim", "precious");
    WriteAll(dir + "/~bmKept.~bm", "k");
    WriteAll(dir + "/~bmGone.~bm", "g");
    WriteAll(dir + "/~bmAllFiles.~bm", (tmp.path() + "/kept\r\n~bmKept.~bm\r\n" + tmp.path() + "/gone\r\n~bmGone.~bm\n"
                                        + tmp.path() + "/gone2\r\n../victim\r\n" + tmp.path() + "/odd")
                                           .toUtf8());
    const BookmarkRegister reg(dir);
    EXPECT_EQ(reg.BookmarkFileFor(tmp.path() + "/KEPT"), dir + "/~bmKept.~bm");
    EXPECT_TRUE(reg.BookmarkFileFor(tmp.path() + "/gone2").isEmpty());   // a damaged name leads nowhere

    ASSERT_TRUE(reg.Purge());
    EXPECT_EQ(ReadAll(reg.RegisterPath()), (tmp.path() + "/kept\r\n~bmKept.~bm\r\n").toUtf8());
    EXPECT_TRUE(QFileInfo::exists(dir + "/~bmKept.~bm"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/~bmGone.~bm"));
    EXPECT_EQ(ReadAll(tmp.path() + "/victim"), "precious");

    ASSERT_TRUE(reg.EmptyFolder());
    EXPECT_TRUE(QDir(dir).isEmpty(QDir::Files | QDir::Hidden));
    EXPECT_EQ(ReadAll(tmp.path() + "/victim"), "precious");
    // A bookmark folder that cannot exist (a file in its place) gives no path, so nothing is saved.
    WriteAll(tmp.path() + "/file", "x");
    EXPECT_TRUE(BookmarkRegister(tmp.path() + "/file").BookmarkFileFor("/a/b").isEmpty());
}

TEST(BookmarkRegister, BookmarksSurviveARunThroughRegisterAndAlbumFile)
{
    QTemporaryDir tmp;
    const QStringList names = {"a.jpg", "B.jpg", "c.jpg", "d.jpg", "e.jpg"};
    const BookLayout layout = LayoutFor(int(names.size()));
    BookmarkTable table;
    ASSERT_TRUE(AddBookmark(table, layout.FirstFilePage + 3, layout, IndexOf(names)));
    ASSERT_TRUE(AddBookmark(table, layout.FirstOverviewPage, layout, IndexOf(names)));
    const BookmarkRegister reg(tmp.path() + "/Bookmark");
    // A screen-saver run reads but never writes, not even the register.
    BookmarkTable next;
    EXPECT_FALSE(LoadAlbumBookmarks(reg, "/x/Album", next, true));
    EXPECT_TRUE(SaveAlbumBookmarks(reg, "/x/Album", table, true));
    EXPECT_TRUE(SaveAlbumBookmarks(reg, "/x/Album", {}, false));
    EXPECT_FALSE(QFileInfo::exists(reg.RegisterPath()));
    ASSERT_TRUE(SaveAlbumBookmarks(reg, "/x/Album", table, false));

    ASSERT_TRUE(LoadAlbumBookmarks(BookmarkRegister(tmp.path() + "/Bookmark"), "/x/Album", next, true));
    MapBookmarksToPages(next, layout, IndexOf(names), [](const QString &) { return true; });
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[0].Page, layout.FirstOverviewPage);
    EXPECT_EQ(next[1].Page, layout.FirstFilePage + 3);
    EXPECT_EQ(next[1].FileName, "d.jpg");
}

TEST(BookmarkMapping, FollowsFilesThroughResortsAndRemovals)
{
    const QStringList names = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg"};
    const BookLayout layout = LayoutFor(int(names.size()));
    BookmarkTable table;
    for (int page : {layout.FirstFilePage + 1, layout.FirstFilePage + 4, layout.FirstIndexPage,
                     layout.FirstContentsPage, layout.FirstOverviewPage + 1})
        ASSERT_TRUE(AddBookmark(table, page, layout, IndexOf(names)));
    ASSERT_EQ(table.size(), 5u);   // sorted by page at insertion
    EXPECT_EQ(table[0].Section, Overview);
    EXPECT_EQ(table[0].FileName, "e.jpg");   // first file of the second overview page
    EXPECT_EQ(table[3].FileName, "e.jpg");

    // Re-sorted in reverse, with b.jpg deleted and e.jpg filtered out of the album but still on disk.
    const QStringList resorted = {"F.JPG", "d.jpg", "c.jpg", "a.jpg"};
    const BookLayout after = LayoutFor(int(resorted.size()));
    MapBookmarksToPages(table, after, IndexOf(resorted), [](const QString &n) { return n != "b.jpg"; });
    ASSERT_EQ(table.size(), 4u);                         // the deleted file page's bookmark is gone
    EXPECT_EQ(table[0].Page, -1);                        // overview bookmark of e.jpg: hidden, kept
    EXPECT_EQ(table[1].FileName, "a.jpg");               // contents bookmark follows a.jpg
    EXPECT_EQ(table[1].Page, after.SectionToPage(Contents, 3));
    EXPECT_EQ(table[2].FileName, "e.jpg");               // file page of a filtered file: hidden, kept
    EXPECT_EQ(table[2].Page, -1);
    EXPECT_EQ(table[3].Page, after.FirstIndexPage);

    // e.jpg returns and shows again.
    const QStringList back = {"a.jpg", "c.jpg", "d.jpg", "e.jpg", "F.jpg"};
    MapBookmarksToPages(table, LayoutFor(5), IndexOf(back), [](const QString &) { return true; });
    EXPECT_EQ(table[2].Page, LayoutFor(5).FirstFilePage + 3);
    EXPECT_EQ(table[0].Page, LayoutFor(5).SectionToPage(Overview, 3));

    // Two bookmarks that land on one page: only the first is shown.
    BookmarkTable twins(2);
    twins[0].Section = twins[1].Section = Contents;
    twins[0].FileName = "c.jpg";
    twins[1].FileName = "a.jpg";
    MapBookmarksToPages(twins, LayoutFor(5), IndexOf(back), [](const QString &) { return true; });
    EXPECT_EQ(twins[0].Page, LayoutFor(5).FirstContentsPage);
    EXPECT_EQ(twins[1].Page, -1);
}

TEST(BookmarkEdits, AddRemoveRenameDropAndTheMenu)
{
    const QStringList names = {"a.jpg", "b.jpg", "c.jpg"};
    const BookLayout layout = LayoutFor(3);
    BookmarkTable table;
    for (int page = 2; page < layout.LastPageNo; ++page) ASSERT_TRUE(AddBookmark(table, page, layout, IndexOf(names)));
    EXPECT_EQ(FindBookmarkOfPage(table, layout.FirstFilePage + 1), layout.FirstFilePage - 1);
    EXPECT_TRUE(RemoveBookmark(table, layout.FirstFilePage + 1));
    EXPECT_FALSE(RemoveBookmark(table, layout.FirstFilePage + 1));
    EXPECT_EQ(FindBookmarkOfPage(table, layout.FirstFilePage + 1), -1);

    EXPECT_TRUE(RenameBookmarkFile(table, "/album/C.JPG", "/album/z.jpg"));
    EXPECT_EQ(table[FindBookmarkOfPage(table, layout.FirstFilePage + 2)].FileName, "z.jpg");
    EXPECT_FALSE(RenameBookmarkFile(table, "/album/none.jpg", "/album/y.jpg"));
    const size_t before = table.size();
    EXPECT_TRUE(DropBookmarkOfFile(table, "/album/z.jpg"));
    EXPECT_EQ(table.size(), before - 1);

    // The menu lists the first twelve bookmarked pages in page order; a thirteenth only has a tab.
    BookmarkTable many;
    for (int page = 15; page >= 2; --page) {
        BookMarkRec b;
        b.Page = page;
        many.push_back(b);
    }
    const auto items = BookmarkMenuItems(many, 16);
    ASSERT_EQ(items.size(), size_t(kBookmarkMenuItems));
    EXPECT_EQ(items.front().page, 2);
    EXPECT_EQ(items.front().slot, 13);
    EXPECT_EQ(items.back().page, 13);

    // A full table refuses the add and stays as it was.
    BookmarkTable full(kMaxBookmarks);
    EXPECT_FALSE(AddBookmark(full, 2, layout, IndexOf(names)));
    EXPECT_EQ(full.size(), size_t(kMaxBookmarks));
}

TEST(BookmarkTabs, RunDownTheOuterEdgeThenTopThenBottomThenASecondPassFurtherIn)
{
    const BookLayout layout = LayoutFor(20);   // file pages 10..29, labelled "1".."20"
    BookmarkTable table;
    for (int page = 22; page >= 10; --page) {   // table order must not matter
        BookMarkRec b;
        b.Page = page;
        table.push_back(b);
    }
    BookMarkRec hidden;
    hidden.Page = 10;                           // a second bookmark of page 10 gets no tab
    hidden.TabX = -5;
    table.push_back(hidden);
    LayOutBookmarkTabs(table, layout, 200, 150, [](const QString &s) { return int(s.size()) * 6; });

    struct Want { int side, x, y; };
    const Want want[13] = {{602, 200, 20}, {602, 200, 66}, {602, 200, 112}, {601, 31, -22}, {601, 77, -22},
                           {601, 123, -22}, {603, 31, 150}, {603, 77, 150}, {603, 123, 150},
                           {602, 200, 20}, {602, 200, 66}, {602, 200, 112}, {601, 41, -22}};
    for (int k = 0; k < 13; ++k) {
        const BookMarkRec &b = table[12 - k];
        EXPECT_EQ(b.Caption, QString::number(k + 1));
        EXPECT_EQ(b.TabSide, want[k].side) << k;
        EXPECT_EQ(b.TabX, want[k].x) << k;
        EXPECT_EQ(b.TabY, want[k].y) << k;
    }
    EXPECT_EQ(table[12].CaptionOffset, 8);   // outer edge: (22 - 6) div 2
    EXPECT_EQ(table[9].CaptionOffset, 8);    // wrapped to the top, centred as it started
    EXPECT_EQ(table[8].CaptionOffset, 5);    // top edge: (16 - 6) div 2
    EXPECT_EQ(table[3].CaptionOffset, 2);    // "10" from the bottom edge: (16 - 12) div 2
    EXPECT_EQ(table[0].CaptionOffset, 5);    // "13" wrapped from the outer edge: (22 - 12) div 2
    EXPECT_EQ(table[13].TabX, -5);
}

TEST(BookmarkTabs, RectanglesOfOpenAndStackTabsWithTheDepthShift)
{
    TabFrame f;
    f.LeftPageNo = 10;
    f.RightPageNo = 11;
    f.LastPageNo = 32;
    f.leftPage = {100, 50, 400, 350};
    f.rightPage = {400, 50, 700, 350};
    f.BookBottomY = 350;
    f.leftStackThickness = 10;
    f.rightStackThickness = 12;
    const auto rect = [&](int page, int side, int tabX, int tabY) {
        BookMarkRec b;
        b.Page = page;
        b.TabSide = side;
        b.TabX = tabX;
        b.TabY = tabY;
        return BookmarkTabRect(b, f);
    };
    EXPECT_EQ(rect(10, 602, 200, 20), (EdgeRect{78, 70, 111, 86}));     // left open, outer edge
    EXPECT_EQ(rect(5, 602, 200, 20), (EdgeRect{73, 75, 95, 91}));       // left stack, shift 5
    EXPECT_EQ(rect(5, 601, 31, -22), (EdgeRect{126, 32, 142, 50}));     // left stack, top edge
    EXPECT_EQ(rect(10, 601, 31, -22), (EdgeRect{131, 27, 147, 60}));    // left open, top edge
    EXPECT_EQ(rect(5, 603, 77, 150), (EdgeRect{172, 355, 188, 377}));   // left stack, bottom edge
    EXPECT_EQ(rect(21, 602, 200, 66), (EdgeRect{705, 121, 727, 137}));  // right stack, shift 120 / 21
    EXPECT_EQ(rect(11, 602, 200, 66), (EdgeRect{689, 116, 722, 132}));  // right open, outer edge
    EXPECT_EQ(rect(31, 601, 41, -22), (EdgeRect{654, 38, 670, 50}));    // right stack, top edge
    EXPECT_EQ(rect(11, 603, 31, 150), (EdgeRect{653, 339, 669, 372}));  // right open, bottom edge

    // A book shut at the back has no right stack to divide by.
    f.LeftPageNo = 32;
    f.RightPageNo = 33;
    EXPECT_EQ(rect(20, 602, 200, 20).left, 100 - 22 - (12 * 10 / 32));
}
