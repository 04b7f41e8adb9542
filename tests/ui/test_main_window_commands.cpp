// Options, sort order, tool bar and background commands of the main window, and the frame it shows.
#include "main_window_fixture.h"
#include "pages/OrvOverView_Ut.h"
#include <QAction>
#include <QFileInfo>
#include <QToolBar>

using namespace pagero;
using namespace pagero::test;

TEST_F(MainWindowTest, TheWindowShowsTheComposedFrame)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QImage shown = w.View()->grab().toImage();
    const QImage &frame = w.Painter().ViewImage1;
    ASSERT_EQ(frame.size(), w.View()->size());
    const BookGeometry &g = w.Geometry();
    // A page's white margin, the background left of the book, and the spine.
    for (QPoint p : {QPoint(g.rightR - 5, g.rightB - 5), QPoint(5, g.BookBottomY), QPoint(g.SpineX, g.rightB - 3)})
        EXPECT_EQ(QColor(shown.pixel(p)), QColor(frame.pixel(p))) << p.x() << "," << p.y();
    EXPECT_EQ(QColor(frame.pixel(g.rightR - 5, g.rightB - 5)), QColor(Qt::white));
}

TEST_F(MainWindowTest, DefaultBackgroundWithoutItsPictureIsGreyAndTheDefaultCoverClosesTheBook)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.Menus().actions.Default1->trigger();
    Landed();
    EXPECT_EQ(w.Options().ScreenBackKind, 1);
    EXPECT_EQ(w.Options().ScreenBackColor, 0x808080u);
    const QImage &frame = w.Painter().ViewImage1;
    EXPECT_EQ(QColor(frame.pixel(3, frame.height() - 3)), QColor(0x80, 0x80, 0x80));
    w.Menus().actions.Default2->trigger();
    Landed();
    EXPECT_EQ(w.Options().CoverKind, 0);
    EXPECT_EQ(w.Options().CoverColor, 0xFFFFFFu);
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
}

TEST_F(MainWindowTest, DefaultBackgroundLoadsThePictureOfTheProgramFolder)
{
    QImage back(8, 8, QImage::Format_RGB32);
    back.fill(QColor(10, 200, 30));
    ASSERT_TRUE(back.save(exeDir + "/~bkgnd.bmp"));
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Options().ScreenBackKind, 2);
    const QImage &frame = w.Painter().ViewImage1;
    EXPECT_EQ(QColor(frame.pixel(3, frame.height() - 3)), QColor(10, 200, 30));
    // Closing saves the picture beside the settings, since the kind is the bitmap.
    w.close();
    EXPECT_TRUE(QFileInfo(exeDir + "/scbackBitmap.BMP").size() > 0);
}

TEST_F(MainWindowTest, ChosenBackgroundPicturesAreReadAndWrittenInTheDataFolder)
{
    // A read-only program folder sends the program's writing to a per-user data folder: the chosen
    // pictures are read from there and written there with the settings, never beside the program.
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString user = root.filePath("user-data");
    ASSERT_TRUE(QDir().mkpath(user));
    w.DataDir = user;
    QImage back(8, 8, QImage::Format_RGB32);
    back.fill(QColor(10, 200, 30));
    ASSERT_TRUE(back.save(user + "/vwbackBitmap.BMP"));
    w.Options().PreviewBackKind = 2;
    w.Controls().Backgrounds().Load();
    EXPECT_EQ(w.Options().PreviewBackKind, 2);
    EXPECT_EQ(QColor(w.PreviewBackBitmap().pixel(0, 0)), QColor(10, 200, 30));

    ASSERT_TRUE(QFile::remove(user + "/vwbackBitmap.BMP"));
    w.Controls().Backgrounds().Save();
    EXPECT_GT(QFileInfo(user + "/vwbackBitmap.BMP").size(), 0);
    EXPECT_FALSE(QFileInfo::exists(exeDir + "/vwbackBitmap.BMP"));
}

TEST_F(MainWindowTest, AnUnknownSortOrderChecksNoItemAndIsSavedAsDefault)
{
    // The writer never stores an unknown order, so the file is patched at its offset 28.
    QByteArray bytes = EncodeSettings(Settings{});
    bytes[28] = 7;
    QFile file(exeDir + "/" + kSettingsFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const MainActions &a = w.Menus().actions;
    for (QAction *item : {a.byName1, a.byType1, a.bySize1, a.byDate1, a.byDefault1})
        EXPECT_FALSE(item->isChecked()) << item->objectName().toStdString();
    EXPECT_EQ(w.Pages().Order(), SortDefault);
    w.close();
    Settings back;
    LoadSettings(exeDir, back);
    EXPECT_EQ(back.SortOrder, 0);
}

TEST_F(MainWindowTest, CheckingFlipToOverviewTurnsToTheOverviewAtOnce)
{
    WriteSettings([](Settings &s) { s.AutoFlipToOverview = false; });
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    ASSERT_EQ(w.Flip_().LeftPageNo, 0);
    w.Menus().actions.AutoFlipToOverview->trigger();
    Landed();
    EXPECT_TRUE(w.Options().AutoFlipToOverview);
    EXPECT_EQ(w.Flip_().LeftPageNo, w.Layout_().FirstOverviewPage);
    EXPECT_EQ(w.Flip_().FlipSpeed, 15);
    w.Menus().actions.AutoFlipToOverview->trigger();
    Landed();
    EXPECT_FALSE(w.Options().AutoFlipToOverview);
    EXPECT_EQ(w.Flip_().LeftPageNo, w.Layout_().FirstOverviewPage);
}

TEST_F(MainWindowTest, OptionTogglesFollowTheirCheckMarks)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.Menus().actions.AutoReopen->trigger();
    Landed();
    w.Menus().actions.FlippingSound1->trigger();
    Landed();
    EXPECT_FALSE(w.Options().AutoReopen);
    EXPECT_FALSE(w.Options().FlippingSound);
    w.close();
    Settings back;
    LoadSettings(exeDir, back);
    EXPECT_FALSE(back.AutoReopen);
    EXPECT_FALSE(back.FlippingSound);
    EXPECT_TRUE(back.JCAutoShow);
}

TEST_F(MainWindowTest, TheToolBarIsShownAtStartWhateverTheSettingsSaid)
{
    Settings hidden;
    hidden.ToolBarVisible = false;
    ASSERT_TRUE(SaveSettings2(exeDir, hidden));
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_TRUE(w.Menus().actions.ToolBar1->isChecked());
    EXPECT_TRUE(w.Menus().toolBar->isVisible());
}

TEST_F(MainWindowTest, AFilterOfOneTypeKeepsOnlyThoseFilePages)
{
    MakePicture(album + "/photo.jpg", 30, 20, Qt::white);
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    ASSERT_EQ(w.Pages().Count(), 7);
    w.Session().FilterMask = "*.jpg";
    ASSERT_TRUE(RebuildAndWait());
    EXPECT_EQ(w.Pages().Count(), 1);
    EXPECT_TRUE(w.Flip_().Consistent());
    EXPECT_LE(w.Flip_().RightPageNo, w.Flip_().LastPageNo);
}

TEST_F(MainWindowTest, ASmallerThumbnailSizeReopensTheAlbumWithMoreThumbnailsPerPage)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const int before = w.Layout_().Sizes().thumbsPerPage;
    w.Menus().actions.btnSmallest1->trigger();
    Landed();
    EXPECT_TRUE(w.Menus().actions.btnSmallest1->isChecked());
    EXPECT_FALSE(w.Menus().actions.btnLargest1->isChecked());
    EXPECT_EQ(w.Options().ThumbW, 38);
    EXPECT_TRUE(w.AlbumOpen());
    EXPECT_GT(w.Layout_().Sizes().thumbsPerPage, before);
    w.close();
    Settings back;
    LoadSettings2(exeDir, back);
    EXPECT_EQ(back.ThumbW, 38);
    EXPECT_EQ(back.ThumbH, 36);
}

TEST_F(MainWindowTest, ALargeThumbnailSizeIsCheckedAloneCachedBesideTheOverviewFolderAndStored)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString written = w.OverviewWindow()->CacheRoot();
    const MainActions &a = w.Menus().actions;
    a.btnLarger1->trigger();
    ASSERT_TRUE(WaitFor([&] { return w.AlbumOpen() && w.Idle(); }, 60000));   // its thumbnails are made anew
    for (QAction *item : {a.btnExtraLarge1, a.btnLargest1, a.btnMiddle1, a.btnSmallest1})
        EXPECT_FALSE(item->isChecked()) << item->objectName().toStdString();
    EXPECT_TRUE(a.btnLarger1->isChecked());
    EXPECT_EQ(w.Options().ThumbW, 144);
    EXPECT_TRUE(w.AlbumOpen());
    EXPECT_EQ(w.OverviewWindow()->ThumbWidth(), 144);
    EXPECT_EQ(w.OverviewWindow()->CacheRoot(), written + "-144x140");
    EXPECT_TRUE(QFileInfo::exists(w.OverviewWindow()->ThumbnailPath(0)));
    w.close();
    Settings back;
    LoadSettings2(exeDir, back);
    EXPECT_EQ(back.ThumbW, 144);
    EXPECT_EQ(back.ThumbH, 140);
}

TEST_F(MainWindowTest, EmptyingTheOverviewCacheRestsTheBookAndMakesTheThumbnailsAgain)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString first = w.OverviewWindow()->ThumbnailPath(0);
    ASSERT_TRUE(QFileInfo::exists(first));
    prompter.answers = {PromptAnswer::Yes};
    w.Menus().actions.EmptyOverviewCache1->trigger();
    EXPECT_TRUE(w.Building());   // the cache goes on a worker thread meanwhile
    ASSERT_TRUE(WaitFor([&] { return !w.Building() && w.AlbumOpen() && QFileInfo::exists(first); }));
    EXPECT_EQ(w.Pages().Count(), 6);
}
