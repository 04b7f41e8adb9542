// The screen-saver run on the real window: started from the system folder it shows the album the
// screen-saver maker chose, flips it on a timer with the pointer hidden, ends on the seventh move,
// a click or a key, and leaves the settings files alone. The per-user lock keeps a second run out
// and makes a mark left by a crashed run harmless.
#include "main_window_fixture.h"
#include "app/AnnotationController.h"
#include "app/MusicController.h"
#include "platform/system/ProgramFolder.h"
#include <QFileInfo>
#include <QSettings>

using namespace pagero;
using namespace pagero::test;

class ScreenSaverTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The program is started from the system folder; the registry tells where its data lives.
        systemDir = root.filePath("system");
        ASSERT_TRUE(QDir().mkpath(systemDir));
        qputenv("PAGERO_EXEDIR", systemDir.toUtf8());
        qputenv("PAGERO_RUNTIMEDIR", root.filePath("runtime").toUtf8());
        sys::RegistryWrite("GEnv", "ExeDir", exeDir);
        sys::RegistryWrite("ScnSVr", "DataDIR", album);
        sys::RegistryWrite("ScnSVr", "ScvIns", false);
    }
    void TearDown() override
    {
        if (second) {
            second->close();
            second.reset();
        }
        MainWindowTest::TearDown();
        qunsetenv("PAGERO_RUNTIMEDIR");
    }
    // Starts a screen-saver run and waits until it shows the album.
    TTurvane_Fm &StartRun()
    {
        TTurvane_Fm &w = Start();
        EXPECT_TRUE(w.ScreenSaverMode);
        EXPECT_TRUE(WaitOpen());
        return w;
    }
    bool Running() const { return sys::RegistryRead("ScnSVr", "ScvIns", QVariant()).toBool(); }
    bool SettingsWritten() const
    {
        return QFileInfo::exists(exeDir + "/~evParam.~ev") || QFileInfo::exists(exeDir + "/~evParam2.~ev");
    }

    QString systemDir;
    std::unique_ptr<TTurvane_Fm> second;
};

TEST_F(ScreenSaverTest, ARunShowsTheChosenAlbumFlipsOnTheTimerAndEndsOnTheSeventhMove)
{
    sys::RegistryWrite("ScnSVr", "FlipSnd", false);
    TTurvane_Fm &w = StartRun();
    EXPECT_EQ(w.ExeDir, exeDir);
    EXPECT_EQ(w.Session().AlbumFolder, album);
    EXPECT_EQ(w.windowTitle(), "Pagero Screen Saver");
    EXPECT_EQ(w.Mode(), PaintMode::ScreenSaver);
    EXPECT_EQ(w.AutoFlip().Timer1.interval(), 1500);
    EXPECT_EQ(w.AutoFlip().AutoFlipDirection, 1);
    EXPECT_EQ(w.View()->cursor().shape(), Qt::BlankCursor);
    EXPECT_FALSE(w.Options().FlippingSound);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(sys::ScreenSaverRunning());   // any other start of the program ends at once

    const int right = w.Flip_().RightPageNo;
    // The tick's flip has landed (moves during a flip would wait for it).
    EXPECT_TRUE(WaitFor([&w, right] { return w.Flip_().RightPageNo == right + 2 && w.Idle(); }, 4000));
    EXPECT_EQ(w.Mode(), PaintMode::ScreenSaver);

    const QPoint at = RightPageCentre();
    for (int i = 0; i < 6; ++i) w.FormMouseMove(at.x() + i, at.y());
    EXPECT_TRUE(w.isVisible());
    w.FormMouseMove(at.x() - 5, at.y());
    EXPECT_FALSE(w.isVisible());
    EXPECT_NE(w.View()->cursor().shape(), Qt::BlankCursor);   // hiding shows the pointer again
    EXPECT_FALSE(w.AutoFlip().Timer1.isActive());
    EXPECT_FALSE(Running());
    EXPECT_FALSE(SettingsWritten());
    EXPECT_FALSE(sys::ScreenSaverRunning());
}

TEST_F(ScreenSaverTest, AClickOrAKeyEndsTheRun)
{
    TTurvane_Fm &w = StartRun();
    QTest::mouseClick(w.View(), Qt::LeftButton, {}, RightPageCentre());
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(Running());
    window.reset();

    TTurvane_Fm &w2 = StartRun();
    EXPECT_EQ(w2.Mode(), PaintMode::ScreenSaver);
    QTest::keyClick(w2.View(), Qt::Key_A);
    EXPECT_FALSE(w2.isVisible());
    EXPECT_FALSE(Running());
    EXPECT_FALSE(SettingsWritten());
}

TEST_F(ScreenSaverTest, ASecondRunWhileOneShowsEndsAtOnceAndLeavesTheFirstAlone)
{
    TTurvane_Fm &w = StartRun();
    second = std::make_unique<TTurvane_Fm>();
    second->FolderChooser = [](const QString &, QString &) { return false; };
    second->resize(800, 600);
    second->show();
    EXPECT_TRUE(WaitFor([this] { return !second->isVisible(); }));
    EXPECT_FALSE(second->AlbumOpen());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Mode(), PaintMode::ScreenSaver);
    EXPECT_TRUE(Running());   // the refused run does not clear the mark of the one showing
    EXPECT_TRUE(sys::ScreenSaverRunning());
}

TEST_F(ScreenSaverTest, AMarkLeftByACrashedRunOrMissingBeforeTheFirstRunDoesNotBlockTheRun)
{
    sys::RegistryWrite("ScnSVr", "ScvIns", true);   // a run that never ended
    TTurvane_Fm &w = StartRun();
    EXPECT_EQ(w.Mode(), PaintMode::ScreenSaver);
    w.close();
    window.reset();

    {
        QSettings registry(sys::RegistryFilePath(), QSettings::IniFormat);
        registry.remove("ScnSVr/ScvIns");
        registry.remove("ScnSVr/DataDIR");
    }
    TTurvane_Fm &w2 = StartRun();
    EXPECT_EQ(w2.Session().AlbumFolder, exeDir + "/Samples");   // no chosen album: the samples
    EXPECT_TRUE(Running());
}

TEST_F(ScreenSaverTest, ANormalRunTellsTheScreenSaverWhereTheProgramLives)
{
    sys::RegistryWrite("GEnv", "ExeDir", QString());
    qputenv("PAGERO_EXEDIR", exeDir.toUtf8());
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_FALSE(w.ScreenSaverMode);
    EXPECT_EQ(sys::RegistryRead("GEnv", "ExeDir", QString()).toString(), exeDir);
    EXPECT_EQ(w.Mode(), PaintMode::Normal);
    EXPECT_FALSE(sys::ScreenSaverRunning());
}

TEST_F(ScreenSaverTest, ARunReadsTheAlbumsAnnotationsButWritesNone)
{
    {
        QFile name(album + "/~mqxNm.~pa");
        ASSERT_TRUE(name.open(QIODevice::WriteOnly));
        name.write("Only one line\r\n");
    }
    TTurvane_Fm &w = StartRun();
    EXPECT_EQ(w.Annotations().Files().AlbumNameLines, QStringList({"Folder Name", "ALBUM"}));
    // Even a bookmark made during the run is only held: the album is not registered, no file made.
    w.Annotations().AddBookmarkToPage(w.Layout_().FirstFilePage);
    EXPECT_EQ(w.Annotations().Bookmarks().size(), 1u);
    w.close();
    EXPECT_TRUE(QDir(exeDir + "/Bookmark").isEmpty());
    QFile name(album + "/~mqxNm.~pa");
    ASSERT_TRUE(name.open(QIODevice::ReadOnly));
    EXPECT_EQ(name.readAll(), QByteArray("Only one line\r\n"));
}

TEST_F(ScreenSaverTest, TheMusicChosenForTheScreenSaverPlaysDuringTheRun)
{
    for (const char *tune : {"bksnd1.mid", "bksnd2.mid", "bksnd3.mid"})
        ASSERT_TRUE(QFile::copy(QString(PAGERO_TEST_PROGRAM_DIR) + "/SysSound/" + tune, exeDir + "/SysSound/" + tune));
    sys::RegistryWrite("ScnSVr", "BgkMusic", true);
    TTurvane_Fm &w = StartRun();
    EXPECT_TRUE(w.Options().BackgroundMusic);
    EXPECT_TRUE(w.Menus().actions.BackgroundMusic1->isChecked());
    EXPECT_EQ(w.Music().MediaPlayer1.Mode(), media::PlayerMode::Playing);
    w.close();
    EXPECT_FALSE(SettingsWritten());
}
