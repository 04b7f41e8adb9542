// Page comments: records built by hand as the store keeps them, the font line, rescaling to the
// page, damaged records, and round trips through "~mqxTxt.~pa".
#include "core/annotations/CommentFitting.h"
#include "core/annotations/CommentStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

TEST(CommentFont, DescriptionLineBothWays)
{
    CommentFont f;
    f.name = "DejaVu Sans %1";
    f.charset = 0;
    f.colour = 255;
    f.height = -21;
    f.size = 16;
    f.bold = f.strikeout = true;
    const QString line = "[DejaVu Sans %1][0][255][-21][16][fsBold,fsStrikeout,]";
    EXPECT_EQ(FormatCommentFont(f), line);
    CommentFont back;
    ASSERT_TRUE(ParseCommentFont(line, back));
    EXPECT_EQ(back, f);
    EXPECT_EQ(FormatCommentFont(CommentFont{}), "[MS Sans Serif][1][0][-16][12][]");

    // Damaged fields fall back one by one; a line that is no description at all gives the defaults.
    ASSERT_TRUE(ParseCommentFont("[Serif][x][-5][][99999][fsItalic,]", back));
    EXPECT_EQ(back.name, "Serif");
    EXPECT_EQ(back.colour, 0u);
    EXPECT_EQ(back.size, 12);
    EXPECT_TRUE(back.italic);
    EXPECT_FALSE(ParseCommentFont("Serif 12", back));
    EXPECT_EQ(back, CommentFont{});
}

TEST(CommentStore, ReadsRecordsAsTheStoreKeepsThem)
{
    CommentStore store;
    store.SetLines({"#~#a.jpg", "5000", "2500", "0", "1", "65280", "[Serif][1][0][-16][12][]", "Hello", "",
                    "second", "#~#B.JPG", "100", "100", "1", "0", "16777215", "[Serif][1][0][-16][12][]", "x",
                    "#~#", "#~#c.jpg", "1", "2"});
    const CommentStore::Range r = store.FindComment("/album/A.JPG");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.first, 0);
    EXPECT_EQ(r.end, 10);

    PageComment c;
    ASSERT_TRUE(store.ReadComment("/album/a.jpg", 801, 600, c));
    EXPECT_EQ(c.x, 400);   // 5000 * 801 / 10000 = 400.5, ties to even
    EXPECT_EQ(c.y, 150);
    EXPECT_FALSE(c.transparent);
    EXPECT_TRUE(c.border);
    EXPECT_EQ(c.background, 0x00FF00u);
    EXPECT_EQ(c.font.name, "Serif");
    EXPECT_EQ(c.lines, QStringList({"Hello", "", "second"}));
    // A resize keeps the comment in place proportionally.
    ASSERT_TRUE(store.ReadComment("/album/a.jpg", 400, 300, c));
    EXPECT_EQ(c.x, 200);
    EXPECT_EQ(c.y, 75);

    // Names differing only in case share one record; "#~#" alone names nothing but ends a record.
    ASSERT_TRUE(store.ReadComment("b.jpg", 1000, 1000, c));
    EXPECT_EQ(c.lines, QStringList({"x"}));
    // A record cut short is found but has no text.
    ASSERT_TRUE(store.ReadComment("c.jpg", 1000, 1000, c));
    EXPECT_TRUE(c.lines.isEmpty());
    EXPECT_FALSE(store.FindComment("d.jpg").found);
}

TEST(CommentStore, NumberLinesThatAreNotNumbersTakeTheDefaults)
{
    CommentStore store;
    store.SetLines({"#~#a.jpg", "left", "99999", "yes", "", "-2147483643", "garbage", "text"});
    PageComment c;
    ASSERT_TRUE(store.ReadComment("a.jpg", 800, 600, c));
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 600);              // clamped to the page
    EXPECT_TRUE(c.transparent);
    EXPECT_FALSE(c.border);
    EXPECT_EQ(c.background, 0xFFFFFFu);
    EXPECT_EQ(c.font, CommentFont{});
    EXPECT_EQ(c.lines, QStringList({"text"}));
}

TEST(CommentStore, WriteRenameDropAndARoundTripThroughTheFile)
{
    CommentStore store;
    store.SetLines({"#~#keep.jpg", "0", "0", "1", "0", "0", "[Serif][1][0][-16][12][]", "kept"});
    PageComment c;
    c.x = 80;
    c.y = 30;
    c.transparent = false;
    c.background = 0x123456;
    c.lines = {QString::fromUtf8("Grüße, \"quoted\" 日本"), "", "#~#not a record", "two\nlines", ""};
    ASSERT_TRUE(store.WriteComment("/album/Ä.jpg", 800, 600, c));
    EXPECT_EQ(store.Lines().mid(8), QStringList({QString::fromUtf8("#~#Ä.jpg"), "1000", "500", "0", "0", "1193046",
                                                 "[MS Sans Serif][1][0][-16][12][]", c.lines[0], "",
                                                 " #~#not a record", "two", "lines", ""}));

    QTemporaryDir dir;
    const QString path = dir.path() + "/~mqxTxt.~pa";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(store.Bytes());
    }
    CommentStore next;
    ASSERT_EQ(next.LoadFile(path), CommentStore::LoadResult::Loaded);
    EXPECT_EQ(next.Lines(), store.Lines());
    PageComment back;
    ASSERT_TRUE(next.ReadComment(QString::fromUtf8("ä.JPG"), 800, 600, back));
    EXPECT_EQ(back.lines, QStringList({c.lines[0], "", " #~#not a record", "two", "lines", ""}));
    EXPECT_EQ(back.x, 80);

    // Rename, then writing without text removes the record; the other record stays untouched.
    ASSERT_TRUE(next.RenameComment(QString::fromUtf8("/album/Ä.jpg"), "/album/new.jpg"));
    EXPECT_FALSE(next.FindComment(QString::fromUtf8("Ä.jpg")).found);
    ASSERT_TRUE(next.ReadComment("new.jpg", 800, 600, back));
    ASSERT_TRUE(next.WriteComment("new.jpg", 800, 600, PageComment{}));
    EXPECT_FALSE(next.FindComment("new.jpg").found);
    EXPECT_TRUE(next.DropComment("keep.jpg"));
    EXPECT_TRUE(next.Lines().isEmpty());
    EXPECT_FALSE(next.WriteComment("bad\nname.jpg", 800, 600, c));
    EXPECT_EQ(next.LoadFile(dir.path() + "/none"), CommentStore::LoadResult::Missing);
}

TEST(CommentFitting, BreaksDropsAndPushesTheBlockInsideThePage)
{
    CommentPage page;
    page.W = 120;   // room for 100 pixels: 10 characters of 10
    page.H = 100;   // room for 80 pixels: 4 lines of 20
    page.lineHeight = 20;
    page.textWidth = [](const QString &s) { return int(s.size()) * 10; };
    const CommentBlock b = FitCommentToPage({"abcdefghijklmnopqrstuvwxy", "", "z", "dropped"}, 90, 70, page);
    EXPECT_EQ(b.lines, QStringList({"abcdefghij", "klmnopqrst", "uvwxy", ""}));
    EXPECT_EQ(b.w, 100);
    EXPECT_EQ(b.h, 80);
    EXPECT_EQ(b.x, 0);     // 120 - 20 - 100
    EXPECT_EQ(b.y, 0);     // 100 - 20 - 80

    // A page narrower than one letter still ends, one letter a line.
    page.W = 25;
    EXPECT_EQ(FitCommentToPage({"abc"}, 0, 0, page).lines, QStringList({"a", "b", "c"}));

    page.W = 300;
    page.H = 200;
    CommentBlock small = FitCommentToPage({"abcd"}, 7, 9, page);   // 40 x 20
    PlaceComment(CommentPreset::RightDown, small, page);
    EXPECT_EQ(small.x, 240);
    EXPECT_EQ(small.y, 160);
    PlaceComment(CommentPreset::VerticalCenter, small, page);
    EXPECT_EQ(small.x, 240);
    EXPECT_EQ(small.y, 90);
    PlaceComment(CommentPreset::TopCenter, small, page);
    EXPECT_EQ(small.x, 130);
    EXPECT_EQ(small.y, 20);
}
