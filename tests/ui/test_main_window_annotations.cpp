// Bookmarks, page comments and the album name in the running window: tabs on the frames it draws,
// clicks on them, the Bookmarks menu, the files written, and the failure told once.
#include "main_window_fixture.h"
#include "app/AnnotationController.h"
#include "app/BookmarkTabPainter.h"
#include "core/common/AtomicFile.h"
#include "pages/OrvEditAlbumName_Dlg.h"
#include "pages/OrvEditComment_Ut.h"
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtEndian>

using namespace pagero;
using namespace pagero::test;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Runs `act` on the modal dialog of type D as soon as it shows.
template <typename D>
void WhenShown(std::function<void(D &)> act)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *d = qobject_cast<D *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*d);
        }
    });
    timer->start(10);
}

class AnnotationWindowTest : public MainWindowTest {
protected:
    // An album of `n` pictures of growing size named so that name and size orders differ.
    QString MakeAlbum(int n)
    {
        const QString folder = root.filePath("big");
        QDir().mkpath(folder);
        for (int i = 0; i < n; ++i)
            MakePicture(QString("%1/p%2.png").arg(folder).arg(QChar('a' + (i * 7) % n)), 20 + 10 * i, 20 + i, Qt::blue);
        return folder;
    }
    void FlipAndLand(int page)
    {
        window->FlipTo(page);
        ASSERT_TRUE(Landed());
    }
    QRgb Pixel(QPoint p) const { return window->Painter().ViewImage1.pixel(p); }
    int EntryOf(const QString &name) const
    {
        for (int i = 0; i < window->Pages().Count(); ++i)
            if (window->Pages().NameOf(i) == name) return i;
        return -1;
    }
};

} // namespace

TEST_F(AnnotationWindowTest, TabsSitWhereTheTableSaysAndClicksOnThemFlip)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const int page = w.Layout_().FirstFilePage + 3;   // a right page
    FlipAndLand(page);
    ASSERT_EQ(w.Flip_().RightPageNo, page);
    ASSERT_TRUE(w.Menus().actions.AddBookmarkRImg->isEnabled());
    w.Menus().actions.AddBookmarkRImg->trigger();
    ASSERT_TRUE(Landed());

    // The album's file as written: one record (file page section 7, its entry), then its name.
    const QString file = w.Annotations().Register().FindBookmarkFile(album);
    ASSERT_FALSE(file.isEmpty());
    const QByteArray bytes = ReadAll(file);
    ASSERT_GE(bytes.size(), 12);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData()), 1);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 4), 7);
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 8), 3);
    EXPECT_EQ(bytes.mid(12), w.Pages().NameOf(3).toUtf8() + "\r\n");

    // Open page, first tab: on the outer edge 20 pixels down, full length (33) reaching 11 pixels
    // over the page.
    const BookGeometry &g = w.Geometry();
    EXPECT_EQ(QColor(Pixel({g.rightR - 9, g.rightT + 28})), kTabFill);
    EXPECT_EQ(QColor(Pixel({g.rightR + 20, g.rightT + 28})), kTabFill);
    EXPECT_NE(QColor(Pixel({g.rightR - 13, g.rightT + 28})), kTabFill);

    // Back to the second spread: the tab is inside the right stack, pushed out by its depth.
    FlipAndLand(2);
    const FlipState &f = w.Flip_();
    const int thickness = std::min((f.LastPageNo - f.RightPageNo + 1) / 2, 14);
    const int s = (page - f.RightPageNo) * thickness / (f.LastPageNo - f.RightPageNo);
    const QRect tab(QPoint(g.rightR + s, g.rightT + 20 + s), QPoint(g.rightR + s + 22 - 1, g.rightT + 20 + s + 16 - 1));
    EXPECT_EQ(QColor(Pixel(tab.center())), kTabFill);
    EXPECT_EQ(QColor(Pixel({g.rightR - 9, g.rightT + 28})), QColor(Qt::white));   // no longer over the page
    EXPECT_NE(QColor(Pixel(tab.topRight() + QPoint(2, 0))), kTabFill);

    // Pointing at it gives the file's name; a picture tab's hint leads with its caption.
    QTest::mouseMove(w.View(), tab.center());
    EXPECT_EQ(w.View()->toolTip(), w.Pages().NameOf(3));
    w.Menus().actions.Fancy1->trigger();
    ASSERT_TRUE(Landed());
    EXPECT_FALSE(w.Options().WithPageNo);
    EXPECT_EQ(QColor(Pixel(tab.center())), QColor(BookmarkPictures::Cut(TabOuter, true).pixel(11, 8)));
    QTest::mouseMove(w.View(), tab.center() + QPoint(1, 0));
    EXPECT_EQ(w.View()->toolTip(), w.PageLabel(page) + ": " + w.Pages().NameOf(3));
    // A click flips to its page.
    QTest::mouseClick(w.View(), Qt::LeftButton, {}, tab.center());
    ASSERT_TRUE(Landed());
    EXPECT_EQ(w.Flip_().RightPageNo, page);

    // Removing the only bookmark deletes the file rather than writing an empty one.
    w.Menus().actions.RemoveBookmarkRImg->trigger();
    ASSERT_TRUE(Landed());
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_NE(QColor(Pixel({g.rightR + 20, g.rightT + 28})), kTabFill);
}

TEST_F(AnnotationWindowTest, MenuListsTwelveTabsWrapAndFollowTheirFilesThroughASort)
{
    const QString big = MakeAlbum(20);
    TTurvane_Fm &w = Start({big});
    ASSERT_TRUE(WaitOpen());
    AnnotationController &a = w.Annotations();
    const BookLayout &l = w.Layout_();
    for (int i = 0; i < 16; ++i) a.AddBookmarkToPage(l.FirstFilePage + i);
    ASSERT_EQ(a.Bookmarks().size(), 16u);

    emit w.Menus().menus.BookMark1->aboutToShow();
    ASSERT_EQ(a.MenuPages().size(), 12u);
    EXPECT_EQ(a.MenuPages().front(), l.FirstFilePage);
    EXPECT_TRUE(w.Menus().bookmarks[11]->isVisible());
    EXPECT_EQ(w.Menus().bookmarks[11]->text(), w.PageLabel(l.FirstFilePage + 11));
    EXPECT_TRUE(w.Menus().actions.Clearallbookmark1->isEnabled());
    // The thirteenth and later have no menu item but a tab; sixteen tabs wrap onto the top edge.
    bool onTop = false;
    for (const BookMarkRec &b : a.Bookmarks()) {
        EXPECT_GT(b.Page, 1);
        onTop = onTop || b.TabSide == TabTop;
    }
    EXPECT_TRUE(onTop);
    w.Menus().bookmarks[4]->trigger();
    ASSERT_TRUE(Landed());
    EXPECT_TRUE(w.Flip_().LeftPageNo == l.FirstFilePage + 4 || w.Flip_().RightPageNo == l.FirstFilePage + 4);

    // Sorting by size moves every file-page tab to its file's new page.
    std::vector<int> before;
    for (const BookMarkRec &b : a.Bookmarks()) before.push_back(b.Page);
    w.Menus().actions.bySize1->trigger();
    ASSERT_TRUE(WaitFor([&] { return !w.Building() && w.Idle(); }));
    std::vector<int> after;
    for (const BookMarkRec &b : a.Bookmarks()) after.push_back(b.Page);
    EXPECT_NE(before, after);
    for (const BookMarkRec &b : a.Bookmarks()) {
        const int entry = EntryOf(b.FileName);
        ASSERT_GE(entry, 0);
        EXPECT_EQ(b.Page, l.FirstFilePage + entry) << b.FileName.toStdString();
    }

    // Clear All asks, then the album's file goes.
    const QString file = a.Register().FindBookmarkFile(big);
    EXPECT_TRUE(QFileInfo::exists(file));
    w.Menus().actions.Clearallbookmark1->trigger();
    ASSERT_TRUE(Landed());
    EXPECT_TRUE(prompter.texts.contains("Do you really want to clear all the bookmarks?"));
    EXPECT_TRUE(a.Bookmarks().empty());
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(AnnotationWindowTest, AFailedBookmarkSaveKeepsTheOldFileAndIsToldOnce)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    AnnotationController &a = w.Annotations();
    const int first = w.Layout_().FirstFilePage;
    a.AddBookmarkToPage(first);
    const QString file = a.Register().FindBookmarkFile(album);
    const QByteArray saved = ReadAll(file);
    ASSERT_FALSE(saved.isEmpty());
    InjectWriteFault(InjectedWriteFault::Write);
    a.AddBookmarkToPage(first + 1);
    a.AddBookmarkToPage(first + 2);
    InjectWriteFault(InjectedWriteFault::None);
    EXPECT_EQ(ReadAll(file), saved);
    EXPECT_EQ(prompter.texts.filter("could not be saved").size(), 1);
    // The bookmarks are still held and reach the disk at the next save that works.
    w.close();
    EXPECT_EQ(qFromLittleEndian<qint32>(ReadAll(file).constData()), 3);
}

TEST_F(AnnotationWindowTest, CommentsAreDrawnWhereStoredKeptThroughAResizeAndSavedWhenEdited)
{
    // pic2: opaque red block at the middle of the page, with text; written by hand as the format says.
    const QByteArray record = "#~#pic2.png\r\n5000\r\n5000\r\n0\r\n1\r\n255\r\n"
                              "[MS Sans Serif][1][0][-16][12][]\r\n    Hello, \"world\"\r\n\r\n";
    WriteAll(album + "/~mqxTxt.~pa", record);
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_TRUE(w.Menus().menus.Annotate1->menuAction()->isEnabled());
    const int entry = EntryOf("pic2.png");
    int page = w.Layout_().FirstFilePage + entry;
    FlipAndLand(page);
    // The block begins with spaces: its first pixels show only its background.
    const auto blockCorner = [&] {
        const BookGeometry &g = w.Geometry();
        const QPoint origin = page % 2 ? QPoint(g.rightL + 1, g.rightT + 1) : QPoint(g.leftL + 1, g.leftT + 1);
        return origin + QPoint(qRound(g.PageW * 0.5), qRound(g.PageH * 0.5));
    };
    EXPECT_EQ(QColor(Pixel(blockCorner() + QPoint(3, 3))), QColor(Qt::red));

    w.resize(820, 560);
    ASSERT_TRUE(WaitFor([&] { return w.Geometry().PageW == w.View()->width() / 2 - 30 && !w.Building(); }));
    QTest::qWait(400);   // the rebuild after a resize waits for quiet
    ASSERT_TRUE(WaitFor([&] { return !w.Building() && w.Idle(); }));
    page = w.Layout_().FirstFilePage + entry;
    FlipAndLand(page);
    EXPECT_EQ(QColor(Pixel(blockCorner() + QPoint(3, 3))), QColor(Qt::red));

    // Closing an album whose comments did not change leaves the file byte for byte.
    w.CloseAlbum(1);
    EXPECT_EQ(ReadAll(album + "/~mqxTxt.~pa"), record);
    ASSERT_TRUE(OpenAndWait(album));
    FlipAndLand(page);

    // The editor's Ok writes the comment to disk at once.
    WhenShown<TEditCommentDlg_Fm>([](TEditCommentDlg_Fm &d) {
        d.Memo1->setPlainText(QString::fromUtf8("Größer, \"neu\""));
        d.Button2Click();
    });
    w.Annotations().EditComment(page);
    const QByteArray written = ReadAll(album + "/~mqxTxt.~pa");
    EXPECT_TRUE(written.startsWith("#~#pic2.png\r\n"));
    EXPECT_TRUE(written.contains(QString::fromUtf8("Größer, \"neu\"\r\n").toUtf8()));
}

TEST_F(AnnotationWindowTest, AlbumNameIsLoadedEditedAndSavedAndAReadOnlyFolderOffersNoAnnotating)
{
    WriteAll(album + "/~mqxNm.~pa", "Holiday\r\nSEA\r\n");
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Annotations().Files().AlbumNameLines, QStringList({"Holiday", "SEA"}));
    WhenShown<TEditAlbumName_Dlg>([](TEditAlbumName_Dlg &d) {
        d.Edit1->setText("Summer");
        d.Edit2->setText("BEACH");
        d.OKBtnClick();
    });
    w.Menus().actions.AlbumName1->trigger();
    ASSERT_TRUE(Landed());
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);   // shut, so the cover shows
    EXPECT_EQ(ReadAll(album + "/~mqxNm.~pa"), QByteArray("Summer\r\nBEACH\r\n"));

    // A folder where the write test cannot create its file: no annotating, and nothing written.
    ASSERT_TRUE(QDir().mkpath(other + "/~mqxft.~t"));
    w.SwitchAlbum(other);
    ASSERT_TRUE(WaitFor([&] { return w.AlbumOpen() && !w.Building() && w.Session().AlbumFolder == other; }));
    EXPECT_FALSE(w.Menus().menus.Annotate1->menuAction()->isEnabled());
    EXPECT_FALSE(w.Menus().actions.AnnotationRImg->isEnabled());
}

TEST_F(AnnotationWindowTest, BookmarkAndCommentFollowARenamedFileAndGoWithADeletedOne)
{
    WriteAll(album + "/~mqxTxt.~pa", "#~#pic3.png\r\n0\r\n0\r\n1\r\n0\r\n16777215\r\n"
                                     "[MS Sans Serif][1][0][-16][12][]\r\nnote\r\n");
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    AnnotationController &a = w.Annotations();
    a.AddBookmarkToPage(w.Layout_().FirstFilePage + EntryOf("pic3.png"));
    const QString file = a.Register().FindBookmarkFile(album);

    // As the rename command does it: the file on disk, the hook, then the rebuild.
    ASSERT_TRUE(QFile::rename(album + "/pic3.png", album + "/zz.png"));
    static_cast<FileAnnotations &>(a).FileRenamed(album + "/pic3.png", album + "/zz.png");
    ASSERT_TRUE(RebuildAndWait());
    ASSERT_EQ(a.Bookmarks().size(), 1u);
    EXPECT_EQ(a.Bookmarks()[0].Page, w.Layout_().FirstFilePage + EntryOf("zz.png"));
    EXPECT_TRUE(ReadAll(file).endsWith("zz.png\r\n"));
    EXPECT_TRUE(ReadAll(album + "/~mqxTxt.~pa").startsWith("#~#zz.png\r\n"));

    ASSERT_TRUE(QFile::remove(album + "/zz.png"));
    static_cast<FileAnnotations &>(a).FileDropped(album + "/zz.png");
    ASSERT_TRUE(RebuildAndWait());
    EXPECT_TRUE(a.Bookmarks().empty());
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(ReadAll(album + "/~mqxTxt.~pa").isEmpty());

    // Emptying the bookmark folder takes every album's file and the register.
    a.AddBookmarkToPage(w.Layout_().FirstFilePage);
    w.Menus().actions.EmptyBookmarksFolder1->trigger();
    ASSERT_TRUE(Landed());
    EXPECT_TRUE(prompter.texts.contains("This will delete the bookmark files of all opened books!"));
    EXPECT_TRUE(a.Bookmarks().empty());
    EXPECT_TRUE(QDir(w.BookmarkDir).isEmpty());
}

TEST_F(AnnotationWindowTest, PopUpBookmarksActOnThePageUnderThePointer)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const int page = w.Layout_().FirstFilePage + 1;
    FlipAndLand(page);
    const QPoint centre = page % 2 ? RightPageCentre() : LeftPageCentre();
    w.PopupMenuAt(centre, w.View()->mapToGlobal(centre));
    w.Menus().popup->hide();
    ASSERT_TRUE(w.Menus().actions.PopupBookmarkAdd1->isEnabled());
    EXPECT_FALSE(w.Menus().actions.PopupBookmarkRemove1->isEnabled());
    EXPECT_TRUE(w.Menus().actions.btnAnnotate1->isEnabled());
    w.Menus().actions.PopupBookmarkAdd1->trigger();
    ASSERT_TRUE(Landed());
    ASSERT_EQ(w.Annotations().Bookmarks().size(), 1u);
    EXPECT_EQ(w.Annotations().Bookmarks()[0].Page, page);
    w.PopupMenuAt(centre, w.View()->mapToGlobal(centre));
    w.Menus().popup->hide();
    EXPECT_FALSE(w.Menus().actions.PopupBookmarkAdd1->isEnabled());
    EXPECT_TRUE(w.Menus().actions.PopupBookmarkRemove1->isEnabled());
}
