// The reader's place: kept across rebuilds of the book, taken from a file named at start, and
// remembered per album between runs.
#include "main_window_fixture.h"

using namespace pagero;
using namespace pagero::test;

namespace {

// The file names of the open spread's pages (empty for pages without a file).
QStringList SpreadFiles(const TTurvane_Fm &w)
{
    const BookLayout &l = w.Layout_();
    QStringList names;
    for (int page : {w.Flip_().LeftPageNo, w.Flip_().RightPageNo})
        names << w.Pages().NameOf(page >= l.FirstFilePage && page < l.FirstIndexPage ? page - l.FirstFilePage : -1);
    return names;
}

class PlaceTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        big = root.filePath("big");
        ASSERT_TRUE(QDir().mkpath(big));
        for (int i = 0; i < 60; ++i) MakePicture(QString("%1/p%2.png").arg(big).arg(i, 2, 10, QChar('0')), 8, 8, Qt::gray);
    }
    QString big;
};

} // namespace

TEST_F(PlaceTest, ResizingShowsTheSameFileWhenTheSectionsChangeLength)
{
    TTurvane_Fm &w = Start({big});
    ASSERT_TRUE(WaitOpen());
    const int firstFile = w.Layout_().FirstFilePage;
    w.FlipTo(firstFile + 41);
    ASSERT_TRUE(Landed());
    const QStringList before = SpreadFiles(w);
    ASSERT_TRUE(before.contains("p41.png"));

    w.resize(560, 420);   // smaller pages: more overview and contents pages before the files
    ASSERT_TRUE(WaitFor([&] { return w.Layout_().FirstFilePage != firstFile && !w.Building() && w.Idle(); }));
    EXPECT_TRUE(SpreadFiles(w).contains("p41.png")) << SpreadFiles(w).join(",").toStdString();
}

TEST_F(PlaceTest, ANamedFileOpensAtItsPageEvenWithTheOverviewFlipSet)
{
    TTurvane_Fm &w = Start({big + "/p33.png"});
    ASSERT_TRUE(WaitOpen());
    EXPECT_TRUE(SpreadFiles(w).contains("p33.png"));
}

TEST_F(PlaceTest, AnAlbumReopensWhereItWasClosedUnlessTheOverviewFlipIsSet)
{
    WriteSettings([](Settings &s) { s.AutoFlipToOverview = false; });
    TTurvane_Fm &w = Start({big});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);   // nothing remembered yet: the closed book
    w.FlipTo(w.Layout_().FirstFilePage + 17);
    ASSERT_TRUE(Landed());
    w.close();
    ASSERT_TRUE(WaitFor([&w] { return !w.isVisible(); }));

    TTurvane_Fm &again = Start();   // the recent list reopens it
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(again.Session().AlbumFolder, big);
    EXPECT_TRUE(SpreadFiles(again).contains("p17.png"));
    again.Options().AutoFlipToOverview = true;
    again.close();
    ASSERT_TRUE(WaitFor([&again] { return !again.isVisible(); }));

    TTurvane_Fm &third = Start();
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(third.Flip_().LeftPageNo, third.Layout_().FirstOverviewPage);
}

TEST_F(PlaceTest, AnotherThumbnailSizeReopensAtTheSameFile)
{
    TTurvane_Fm &w = Start({big});
    ASSERT_TRUE(WaitOpen());
    const int firstFile = w.Layout_().FirstFilePage;
    w.FlipTo(firstFile + 41);
    ASSERT_TRUE(Landed());
    w.Menus().actions.btnSmallest1->trigger();   // fewer overview pages: the files move forward
    ASSERT_TRUE(WaitFor([&] { return w.Layout_().FirstFilePage != firstFile && w.AlbumOpen() && w.Idle(); }));
    EXPECT_TRUE(SpreadFiles(w).contains("p41.png")) << SpreadFiles(w).join(",").toStdString();
}
