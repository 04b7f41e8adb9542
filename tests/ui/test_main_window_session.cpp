// The album sequencing and the recent-folder list without a window, and the hit tester.
#include "app/AlbumSession.h"
#include "app/HitTester.h"
#include "pages/SectionPages.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

class FakeHost : public AlbumHost {
public:
    QStringList log;
    QList<std::pair<Choice, QString>> choices;   // consumed in order; default: Cancelled
    bool exitAnswer = false;
    bool buildResult = true;

    Choice ChooseFolder(const QString &preset, QString &folder) override
    {
        log << "choose " + preset;
        if (choices.isEmpty()) return Choice::Cancelled;
        auto [choice, picked] = choices.takeFirst();
        folder = picked;
        return choice;
    }
    bool AskExitInsteadOfOpening() override { log << "ask exit"; return exitAnswer; }
    void TellFolderMissing(const QString &f) override { log << "missing " + f; }
    void TellPathMissing(const QString &p) override { log << "no path " + p; }
    void TellSameFolderAndMask() override { log << "same"; }
    void CloseWindow() override { log << "close window"; }
    void AlbumOpening(const QString &f) override { log << "opening " + f; }
    void BuildBook(std::function<void(bool)> done) override
    {
        log << "build";
        done(buildResult);
    }
    void AlbumOpened(const QString &f) override { log << "opened " + f; }
    void AlbumClosing(int d) override { log << QString("closing %1").arg(d); }
    void AlbumClosed() override { log << "closed"; }
    void MruChanged() override {}
};

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = dir.filePath("a");
        b = dir.filePath("b");
        samples = dir.filePath("Samples");
        QDir().mkpath(a);
        QDir().mkpath(b);
        QDir().mkpath(samples);
        session.MRUList = &mru;
    }
    QTemporaryDir dir;
    QString a, b, samples;
    QStringList mru;
    FakeHost host;
    AlbumSession session{host};
};

} // namespace

TEST_F(SessionTest, StartFolderByArgumentCount)
{
    EXPECT_EQ(AlbumSession::StartFolder({a + "/x.jpg"}, {b}, samples), a);
    EXPECT_EQ(AlbumSession::StartFolder({a}, {b}, samples), a);
    EXPECT_EQ(AlbumSession::StartFolder({a, b}, {b}, samples), samples);
    EXPECT_EQ(AlbumSession::StartFolder({}, {b, a}, samples), b);
    EXPECT_EQ(AlbumSession::StartFolder({a, b, a}, {}, samples), QString());
}

TEST_F(SessionTest, ANamedPathThatDoesNotExistIsToldAndNeverReplacedByTheCurrentFolder)
{
    // The start goes on as without an argument: the most recent folder, else Samples.
    const QString gone = dir.filePath("nonexistent/photo.jpg");
    mru = {b};
    ASSERT_TRUE(session.OpenFirstAlbum({gone}, true, samples, "*.jpg"));
    EXPECT_EQ(host.log.first(), "no path " + gone);
    EXPECT_EQ(session.AlbumFolder, b);
    EXPECT_TRUE(session.StartFile.isEmpty());

    // A start folder that vanished gives way to Samples, not to the current folder.
    ASSERT_TRUE(session.OpenStartFolder(dir.filePath("gone"), samples, "*.jpg"));
    EXPECT_EQ(session.AlbumFolder, samples);
}

TEST_F(SessionTest, ANamedFileOpensItsFolderAndIsKeptForItsPage)
{
    QFile(a + "/x.jpg").open(QIODevice::WriteOnly);
    ASSERT_TRUE(session.OpenFirstAlbum({a + "/x.jpg"}, false, samples, "*.jpg"));
    EXPECT_EQ(session.AlbumFolder, a);
    EXPECT_EQ(session.StartFile, "x.jpg");
}

TEST_F(SessionTest, OpeningRunsTheStepsInOrderAndTakesTheFolderOffTheRecentList)
{
    mru = {a, b};
    ASSERT_TRUE(session.OpenAlbum(a));
    EXPECT_EQ(host.log, (QStringList{"opening " + a, "build", "opened " + a}));
    EXPECT_TRUE(session.AlbumOpen);
    EXPECT_FALSE(session.Opening);
    EXPECT_EQ(mru, QStringList{b});
}

TEST_F(SessionTest, AFailedBuildLeavesTheAlbumClosedAndOpeningSet)
{
    host.buildResult = false;
    mru = {a};
    EXPECT_FALSE(session.OpenAlbum(a));
    EXPECT_FALSE(session.AlbumOpen);
    EXPECT_TRUE(session.Opening);
    EXPECT_EQ(mru, QStringList{a});
}

TEST_F(SessionTest, AMissingFolderIsReportedAndTheDialogAsked)
{
    const QString gone = dir.filePath("gone");
    host.choices = {{AlbumHost::Choice::Picked, b}};
    ASSERT_TRUE(session.OpenAlbum(gone));
    EXPECT_EQ(host.log.mid(0, 2), (QStringList{"missing " + gone, "choose " + gone}));
    EXPECT_EQ(session.AlbumFolder, b);
}

TEST_F(SessionTest, CancellingTheDialogForAMissingFolderClosesTheWindow)
{
    EXPECT_FALSE(session.OpenAlbum(dir.filePath("gone")));
    EXPECT_TRUE(host.log.contains("close window"));
    EXPECT_FALSE(host.log.contains("build"));
}

TEST_F(SessionTest, ADialogAlreadyShowingStopsOpening)
{
    host.choices = {{AlbumHost::Choice::AlreadyShowing, QString()}};
    EXPECT_FALSE(session.OpenAlbum(dir.filePath("gone")));
    EXPECT_FALSE(host.log.contains("close window"));
}

TEST_F(SessionTest, SwitchingClosesToTheBackAndPutsTheOldFolderOnTop)
{
    ASSERT_TRUE(session.OpenAlbum(a));
    session.FilterMask = "*.png";
    host.log.clear();
    session.SwitchAlbum(b, "*.jpg");
    EXPECT_EQ(host.log, (QStringList{"closing 2", "closed", "opening " + b, "build", "opened " + b}));
    EXPECT_EQ(mru, QStringList{a});
    EXPECT_EQ(session.FilterMask, "*.jpg");
}

TEST_F(SessionTest, SwitchingToTheSameFolderWithAnotherMaskReopensWithoutClosing)
{
    ASSERT_TRUE(session.OpenAlbum(a));
    session.FilterMask = "*.png";
    host.log.clear();
    session.SwitchAlbum(a, "*.png");
    EXPECT_EQ(host.log, QStringList{"same"});
    host.log.clear();
    session.SwitchAlbum(a, "*.jpg");
    EXPECT_EQ(host.log, (QStringList{"opening " + a, "build", "opened " + a}));
    EXPECT_TRUE(mru.isEmpty());
}

// ---------------------------------------------------------------- hit tests

namespace {

// A section whose entries are 20-pixel rows starting at the content rectangle's top.
class RowSection : public SectionPages {
public:
    int rows = 3;
    int offset = 0;   // added to every entry
    void DrawPage(QPainter &, const QRect &, int) override {}
    int HitTest(const QRect &content, int pageNo, QPoint pt, QRect *hot, int *sub) override
    {
        if (!content.contains(pt)) return 0;
        const int row = (pt.y() - content.top()) / 20;
        if (row >= rows) return 0;
        *hot = QRect(content.left(), content.top() + row * 20, content.width(), 20);
        *sub = pt.x() < content.center().x() ? 1 : 2;
        return offset + (pageNo - 1) * rows + row + 1;
    }
};

struct Book {
    BookGeometry geo = BookGeometry::For(QSize(1000, 700), 0);
    BookLayout layout;
    FlipState flip;
    RowSection overview, contents;
    Book()
    {
        SectionSizes sizes;
        sizes.files = 10;
        sizes.thumbsPerPage = 3;
        sizes.overviewPages = 4;
        sizes.contentsLines = 20;
        sizes.contentsPages = 1;
        sizes.indexPages = 1;
        layout.Compute(sizes);
        flip.LastPageNo = layout.LastPageNo;
        flip.SetPageW(geo.PageW);
    }
    HitScene Scene()
    {
        HitScene s;
        s.geo = &geo;
        s.layout = &layout;
        s.flip = &flip;
        s.overview = &overview;
        s.contents = &contents;
        return s;
    }
    void Open(int left) { flip.LeftPageNo = left; flip.RightPageNo = left + 1; }
};

} // namespace

TEST(HitTesterTest, PagesStacksAndSectionEntries)
{
    Book book;
    book.Open(2);   // overview pages 2 and 3
    const BookGeometry &g = book.geo;
    // A thumbnail row on the left overview page: entry 1 of page 1 -> code 70001.
    const QPoint firstRow(g.leftL + 1 + g.leftContentLocal().left() + 5, g.leftT + 1 + g.leftContentLocal().top() + 5);
    HotState hot = HitTester::HitTest(book.Scene(), firstRow.x(), firstRow.y());
    EXPECT_EQ(hot.HotCode, HotThumbBase);
    EXPECT_EQ(hot.HotSubKind, 1);
    EXPECT_EQ(hot.HotPage, 2);
    EXPECT_EQ(hot.HotRect.top(), g.leftT + 1 + g.leftContentLocal().top());
    EXPECT_EQ(HitTester::FileOfHotCode(book.Scene(), hot), 0);
    EXPECT_EQ(HitTester::PageOfHotCode(book.Scene(), hot), book.layout.FirstFilePage);
    // The same place on the right page is entry 4 (second overview page).
    hot = HitTester::HitTest(book.Scene(), g.rightL + 1 + g.rightContentLocal().left() + 5, firstRow.y());
    EXPECT_EQ(hot.HotCode, HotThumbBase + 3);
    // Below the rows: the page itself, which holds no file.
    hot = HitTester::HitTest(book.Scene(), firstRow.x(), g.leftB - 30);
    EXPECT_EQ(hot.HotCode, HotLeftPage);
    EXPECT_EQ(HitTester::FileOfHotCode(book.Scene(), hot), -1);
    // Just outside the right page: the right stack's edge.
    hot = HitTester::HitTest(book.Scene(), g.rightR + 2, (g.rightT + g.rightB) / 2);
    EXPECT_EQ(hot.HotCode, HotRightStack);
    EXPECT_EQ(hot.HotPage, 0);
}

// Contents lines past their code range would read as index lines: they are no hit. Thumbnails have
// no upper bound.
TEST(HitTesterTest, EntriesPastTheLineCodeRange)
{
    Book book;
    book.contents.offset = book.overview.offset = kLineEntryCodes;
    const BookGeometry &g = book.geo;
    const QPoint firstRow(g.leftL + 1 + g.leftContentLocal().left() + 5, g.leftT + 1 + g.leftContentLocal().top() + 5);
    book.Open(book.layout.FirstContentsPage);
    EXPECT_EQ(HitTester::HitTest(book.Scene(), firstRow.x(), firstRow.y()).HotCode, HotLeftPage);
    book.Open(2);
    const HotState hot = HitTester::HitTest(book.Scene(), firstRow.x(), firstRow.y());
    EXPECT_EQ(hot.HotCode, HotThumbBase + kLineEntryCodes);
    EXPECT_EQ(HitTester::FileOfHotCode(book.Scene(), hot), kLineEntryCodes);
}

TEST(HitTesterTest, FilePagesStandForTheirEntryAndThereIsNoPageLeftOfAClosedBook)
{
    Book book;
    book.Open(book.layout.FirstFilePage & ~1);
    const BookGeometry &g = book.geo;
    HotState hot = HitTester::HitTest(book.Scene(), (g.rightL + g.rightR) / 2, (g.rightT + g.rightB) / 2);
    EXPECT_EQ(hot.HotCode, HotRightPage);
    EXPECT_EQ(HitTester::FileOfHotCode(book.Scene(), hot), book.flip.RightPageNo - book.layout.FirstFilePage);
    EXPECT_EQ(HitTester::PageOfHotCode(book.Scene(), hot), book.flip.RightPageNo);
    book.Open(0);
    hot = HitTester::HitTest(book.Scene(), (g.leftL + g.leftR) / 2, (g.leftT + g.leftB) / 2);
    EXPECT_EQ(hot.HotCode, HotNone);
    EXPECT_EQ(HitTester::PageOfHotCode(book.Scene(), hot), 0);
}
