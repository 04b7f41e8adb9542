// The reader's place in the book across layouts: the same file or entry after a rebuild, and the
// bounded register of places per album.
#include "core/book/BookPlace.h"
#include "core/book/PageList.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

SectionSizes sizesFor(int n, int t, int l, int k)
{
    SectionSizes s;
    s.files = n;
    s.thumbsPerPage = t;
    s.contentsLines = l;
    s.overviewPages = (n + t - 1) / t;
    s.contentsPages = (n + 3 + l - 1) / l;
    const int indexLines = n + 5;
    s.indexPages = (indexLines + 6 + k - 1) / k;
    s.indexFirstLineOfPage = [k](int page) { return page <= 1 ? 0 : (page - 1) * k - 6; };
    s.indexPageOfLine = [k](int line) { return line < k - 6 ? 0 : (line + 6) / k; };
    return s;
}

class BookPlaceTest : public ::testing::Test {
protected:
    // `count` files "f00.jpg" ...; file i holds 100 - i bytes, so the size order reverses the names.
    void MakeFiles(int count)
    {
        for (int i = 0; i < count; ++i) {
            QFile f(dir.filePath(QStringLiteral("f%1.jpg").arg(i, 2, 10, QLatin1Char('0'))));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(100 - i, 'x'));
        }
    }
    BookLayout LayoutFor(const PageList &pages, int t, int l, int k)
    {
        BookLayout layout;
        layout.Compute(sizesFor(pages.Count(), t, l, k));
        return layout;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(BookPlaceTest, EverySpreadKeepsItsSectionAndEntryInAnotherPageSize)
{
    MakeFiles(40);
    PageList pages;
    ASSERT_TRUE(pages.Build(dir.path(), "*.jpg", SortByName));
    const BookLayout big = LayoutFor(pages, 16, 30, 40), small = LayoutFor(pages, 4, 6, 8);
    for (const auto &[from, to] : {std::pair{&big, &small}, std::pair{&small, &big}}) {
        for (int left = 0; left <= from->LastPageNo; left += 2) {
            const BookPlace place = PlaceOfSpread(*from, pages, left);
            const int page = PageOfPlace(*to, pages, place);
            SCOPED_TRACE(left);
            if (left == 0) { EXPECT_EQ(page, 0); continue; }
            if (left == from->LastPageNo) { EXPECT_EQ(page, to->LastPageNo); continue; }
            ASSERT_EQ(to->SectionOf(page), place.kind);
            if (place.kind == Context) {
                EXPECT_EQ(pages.NameOf(page - to->FirstFilePage), place.file);
            } else if (place.kind != FrontCover && place.kind != BackCover) {
                // The entry lies on the page: from its first entry up to the next page's first.
                const int first = std::max(0, to->PageToSection(page).position);
                const bool nextInSection = to->SectionOf(page + 1) == place.kind;
                EXPECT_LE(first, place.entry);
                if (nextInSection) {
                    EXPECT_LT(place.entry, to->PageToSection(page + 1).position);
                }
            }
        }
    }
}

TEST_F(BookPlaceTest, TheFileIsFoundAfterAnotherOrderOrItsDeletion)
{
    MakeFiles(10);
    PageList byName, bySize;
    ASSERT_TRUE(byName.Build(dir.path(), "*.jpg", SortByName));
    ASSERT_TRUE(bySize.Build(dir.path(), "*.jpg", SortBySize));
    const BookLayout layout = LayoutFor(byName, 16, 30, 40);
    // The spread whose left page holds f02 (the second file page is odd or even: take its spread).
    const int page = layout.FirstFilePage + 2;
    const BookPlace place = PlaceOfSpread(layout, byName, page / 2 * 2);
    const int moved = PageOfPlace(layout, bySize, place);
    EXPECT_EQ(bySize.NameOf(moved - layout.FirstFilePage), place.file);
    EXPECT_NE(moved, page / 2 * 2);

    // A deleted file gives way to the file that took its entry.
    ASSERT_TRUE(QFile::remove(dir.filePath(place.file)));
    PageList after;
    ASSERT_TRUE(after.Build(dir.path(), "*.jpg", SortByName));
    const BookLayout shorter = LayoutFor(after, 16, 30, 40);
    EXPECT_EQ(PageOfPlace(shorter, after, place), shorter.FirstFilePage + place.entry);
}

TEST(BookPlaceText, RoundTripsAndRefusesDamagedText)
{
    const BookPlace place{Context, 12, QStringLiteral("a name with spaces.jpg")};
    EXPECT_EQ(PlaceFromText(PlaceToText(place)), place);
    for (const char *bad : {"", "7", "7 12", "3 1 x", "7 -1 x", "7 99999999999 x", "x 1 y"})
        EXPECT_FALSE(PlaceFromText(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(PlaceRegisterTest, KeepsTheMostRecentAlbumsFirstAndBounded)
{
    PlaceRegister reg;
    for (int i = 0; i < PlaceRegister::kMaxAlbums + 5; ++i)
        reg.Remember(QStringLiteral("/albums/%1").arg(i), {Context, i, {}});
    reg.Remember(QStringLiteral("/albums/10/"), {Index, 3, {}});
    ASSERT_EQ(int(reg.Entries().size()), PlaceRegister::kMaxAlbums);
    EXPECT_EQ(reg.Entries().front().folder, QStringLiteral("/albums/10"));
    EXPECT_EQ(reg.Find(QStringLiteral("/albums/10"))->kind, Index);
    EXPECT_FALSE(reg.Find(QStringLiteral("/albums/0")).has_value());   // the oldest went
    EXPECT_TRUE(reg.Find(QStringLiteral("/albums/54")).has_value());
}
