// Album lifecycle of the main window: switching, closing, the recent-folder list, re-activation,
// the close query with the settings files, and SIGTERM on the real program.
#include "main_window_fixture.h"
#include "core/common/MyLib.h"
#include "core/common/ProductInfo.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/OrvProgress.h"
#include "tests/support/ScriptedChoosers.h"
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <QToolBar>
#include <csignal>
#include <utime.h>

using namespace pagero;
using namespace pagero::test;

TEST_F(MainWindowTest, SwitchingAlbumsPutsTheClosedFolderOnTopOfTheRecentList)
{
    WriteSettings([&](Settings &s) { s.MRUList = {album, other}; });
    TTurvane_Fm &w = Start();
    ASSERT_TRUE(WaitOpen());
    ASSERT_EQ(w.Session().AlbumFolder, album);
    EXPECT_EQ(w.Options().MRUList, QStringList{other});
    QAction *mru1 = w.Menus().mru[0];
    EXPECT_TRUE(mru1->isVisible());
    EXPECT_EQ(mru1->text(), "&1. " + other);
    EXPECT_FALSE(w.Menus().mru[1]->isVisible());

    mru1->trigger();   // RUClick: closes the album to the back and opens the other folder
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Session().AlbumFolder, other);
    EXPECT_EQ(w.Options().MRUList, QStringList{album});
    EXPECT_EQ(w.Menus().mru[0]->text(), "&1. " + album);
}

TEST_F(MainWindowTest, ARecentItemNamingTheOpenAlbumDoesNothing)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    // The list can hold the open album in another spelling (a trailing slash, another case).
    for (const QString &variant : {album + "/", album.toUpper()}) {
        w.Options().MRUList = QStringList{variant, other};
        w.Menus().mru[0]->setText("&1. " + variant);
        w.Menus().mru[0]->trigger();
        Landed();
        EXPECT_TRUE(prompter.texts.isEmpty()) << variant.toStdString();
        EXPECT_EQ(w.Session().AlbumFolder, album);
        EXPECT_TRUE(w.AlbumOpen());
    }
}

TEST_F(MainWindowTest, ChoosingTheOpenFolderWithTheSameMaskOnlyTellsSo)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.SwitchAlbum(album);
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], "You have selected the current folder and the same filter mask.");
    EXPECT_TRUE(w.AlbumOpen());
    EXPECT_TRUE(w.Options().MRUList.isEmpty());
}

TEST_F(MainWindowTest, ClosingWritesBothSettingsFilesWithTheAlbumOnTopOfTheRecentList)
{
    WriteSettings([&](Settings &s) { s.MRUList = {other}; });
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.SetFlipSpeed(40);
    w.Menus().actions.JCAutoShow->trigger();   // unchecks it
    Landed();
    w.close();   // the book closes on screen, then the window
    EXPECT_FALSE(w.AlbumOpen());
    ASSERT_TRUE(WaitFor([&w] { return !w.isVisible(); }));
    Settings back;
    LoadSettings(exeDir, back);
    LoadSettings2(exeDir, back);
    EXPECT_EQ(back.MRUList, (QStringList{album, other}));
    EXPECT_EQ(back.FlipSpeed, 40);
    EXPECT_FALSE(back.JCAutoShow);
    EXPECT_EQ(back.SortOrder, 1);
    EXPECT_TRUE(QFileInfo(exeDir + "/" + kSettingsFile2).size() == 165);
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeSavedIsToldByNameAndWhy)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString blocked = exeDir + "/" + kSettingsFile;
    ASSERT_TRUE(QDir().mkpath(blocked));   // a folder of that name: the save cannot replace it
    w.close();
    ASSERT_TRUE(WaitFor([&w] { return !w.isVisible(); }));
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].contains(blocked));
    EXPECT_TRUE(prompter.texts[0].contains("a folder of that name is in the way"));
    EXPECT_TRUE(QFileInfo(exeDir + "/" + kSettingsFile2).isFile());   // the other file is still saved
}

TEST_F(MainWindowTest, ClosingFlipsTheBookShutAndGreysTheFrame)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    ASSERT_EQ(w.Flip_().LeftPageNo, 2);   // opened at the overview
    w.CloseAlbum(1);
    Landed();
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
    EXPECT_EQ(w.Flip_().RightPageNo, 1);
    const QImage &frame = w.Painter().ViewImage1;
    EXPECT_EQ(QColor(frame.pixel(frame.width() / 2, frame.height() / 2)), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(w.Options().MRUList.value(0), album);
}

TEST_F(MainWindowTest, ReactivationRebuildsTheBookWhenTheFolderChanged)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const int lastBefore = w.Flip_().LastPageNo;
    // Nothing changed: activation keeps the list.
    w.Deactivated = true;
    w.FormActivate();
    EXPECT_EQ(w.Pages().Count(), 6);
    for (int i = 7; i <= 9; ++i) MakePicture(QString("%1/pic%2.png").arg(album).arg(i), 20, 20, Qt::gray);
    w.Deactivated = true;
    w.FormActivate();
    ASSERT_TRUE(WaitFor([&] { return !w.Building(); }));   // the new thumbnails are made
    EXPECT_EQ(w.Pages().Count(), 9);
    EXPECT_GE(w.Flip_().LastPageNo, lastBefore + 2);
    EXPECT_FALSE(w.Deactivated);
}

TEST_F(MainWindowTest, ReactivationNoticesATouchedFile)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString file = album + "/pic2.png";
    struct utimbuf times = {1000000000, 1000000000};
    ASSERT_EQ(::utime(file.toLocal8Bit().constData(), &times), 0);
    w.Deactivated = true;
    w.FormActivate();
    const int entry = w.Pages().IndexOfPath(file);
    ASSERT_GE(entry, 0);
    EXPECT_EQ(w.Pages().DateOf(entry), FileAge(file));
}

TEST_F(MainWindowTest, EscapeAsksBeforeExiting)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    prompter.answers = {PromptAnswer::No};
    QTest::keyClick(w.View(), Qt::Key_Escape);
    Landed();
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], QString("Exit ") + kApplicationTitle + "?");
    EXPECT_TRUE(w.isVisible());
    prompter.answers = {PromptAnswer::Yes};
    QTest::keyClick(w.View(), Qt::Key_Escape);
    Landed();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(QFile::exists(exeDir + "/" + kSettingsFile));
}

TEST_F(MainWindowTest, HidingTheToolBarGivesThePagesItsHeight)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const int withBar = w.Geometry().PageH;
    const int barHeight = w.Menus().toolBar->sizeHint().height();
    w.Menus().actions.ToolBar1->trigger();
    Landed();
    EXPECT_FALSE(w.Menus().actions.ToolBar1->isChecked());
    EXPECT_FALSE(w.Menus().toolBar->isVisible());
    EXPECT_EQ(w.Geometry().PageH, withBar + barHeight);
    EXPECT_EQ(w.Geometry().PageH, w.View()->height() - BookGeometry::StackDepth - 30);
}

TEST_F(MainWindowTest, TheClientAreaNeverGetsSmallerThanTheMinimum)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.resize(300, 200);
    QTest::qWait(20);
    EXPECT_GE(w.View()->width(), BookGeometry::MinClientWidth);
    EXPECT_GE(w.View()->height(), BookGeometry::MinClientHeight);
    EXPECT_EQ(w.Geometry().PageW, w.View()->width() / 2 - 30);
}

TEST_F(MainWindowTest, AResizeRebuildsTheBookOnceAfterTheTimer)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.resize(700, 500);
    QTest::qWait(20);
    w.resize(1200, 800);
    ASSERT_TRUE(WaitFor([&] { return w.Geometry().PageW == w.View()->width() / 2 - 30; }));
    // The spread stays valid and the frame has the client size once the rebuild ran.
    ASSERT_TRUE(WaitFor([&] { return w.Painter().ViewImage1.size() == w.View()->size(); }, 2000));
    QTest::qWait(300);
    EXPECT_TRUE(w.Flip_().Consistent());
    EXPECT_LE(w.Flip_().RightPageNo, w.Flip_().LastPageNo + 1);
}

TEST_F(MainWindowTest, TerminationWhileTheFirstDialogShowsClosesWithoutAsking)
{
    WriteSettings([&](Settings &s) {
        s.AutoReopen = false;
        s.FlipSpeed = 21;
    });
    QFile::remove(exeDir + "/" + kSettingsFile2);
    window = std::make_unique<TTurvane_Fm>();
    // The dialog runs its own loop inside the first paint: the request comes from a timer in it.
    bool requested = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!requested && QApplication::activeModalWidget()) {
            requested = true;
            window->RequestTermination();
        }
    });
    poll.start(20);
    window->show();
    ASSERT_TRUE(WaitFor([&] { return requested && !window->isVisible(); }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(prompter.texts.isEmpty());
    EXPECT_TRUE(QFile::exists(exeDir + "/" + kSettingsFile2));
}

TEST_F(MainWindowTest, SigtermClosesTheProgramAndWritesTheSettings)
{
    const QString program = QString(PAGERO_TEST_PROGRAM_DIR) + "/pagero";
    if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "program not built";
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PAGERO_EXEDIR", exeDir);
    env.insert("PAGERO_CONFIGDIR", root.filePath("config"));
    env.insert("PAGERO_SYSTEMDIR", root.filePath("system"));
    process.setProcessEnvironment(env);
    process.start(program, {album});
    ASSERT_TRUE(process.waitForStarted(5000));
    // The first album is being opened once the per-user registry file appears; give it time to build.
    const QDir config(root.filePath("config"));
    ASSERT_TRUE(WaitFor([&] { return config.exists() && !config.entryList(QDir::Files).isEmpty(); }, 10000));
    QTest::qWait(1000);
    ASSERT_EQ(process.state(), QProcess::Running) << process.readAllStandardError().toStdString();
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    Settings back;
    LoadSettings(exeDir, back);
    EXPECT_EQ(back.MRUList.value(0), album);
    EXPECT_TRUE(QFile::exists(exeDir + "/" + kSettingsFile2));
}

TEST_F(MainWindowTest, ClosingWhileThumbnailsAreMadeCancelsTheBuildAndShowsTheBook)
{
    // Pictures large enough, decoded on one thread, that the close arrives while the build runs.
    const int count = 16;
    for (int i = 0; i < count; ++i)
        MakePicture(QString("%1/big%2.png").arg(album).arg(i, 2, 10, QChar('0')), 1600, 1200, QColor(i * 9, 90, 200));
    TTurvane_Fm &w = Start({album});
    TOverView_Fm *ov = w.OverviewWindow();
    ov->SetDecodeThreads(1);
    ASSERT_TRUE(WaitFor([&] { return ov->Generating() && QFileInfo::exists(ov->ThumbnailPath(0)); }, 20000));

    EXPECT_FALSE(w.close());
    EXPECT_FALSE(ov->Progress()->isVisible());
    ASSERT_TRUE(WaitFor([&] { return !w.Building(); }));   // the made bitmaps are committed
    EXPECT_TRUE(w.isVisible());   // the program keeps running, without a question
    EXPECT_TRUE(prompter.texts.isEmpty());
    EXPECT_FALSE(ov->Generating());
    EXPECT_TRUE(w.AlbumOpen());   // the book shows with the thumbnails made so far
    const int total = w.Pages().Count();
    const auto made = [&] {
        int n = 0;
        for (int i = 0; i < total; ++i) n += QFileInfo::exists(ov->ThumbnailPath(i));
        return n;
    };
    EXPECT_GE(made(), 1);
    EXPECT_LT(made(), total);

    // The next build makes the rest.
    ASSERT_TRUE(RebuildAndWait());
    EXPECT_EQ(made(), total);
}

TEST_F(MainWindowTest, TheAlbumOpeningProgressReachesTheHiddenProgressWindow)
{
    TTurvane_Fm &w = Start({album});
    TProgress_Fm *progress = w.OverviewWindow()->Progress();
    QList<int> values;
    bool shownWithAValue = false;
    QObject::connect(progress, &TProgress_Fm::AlbumProgressChanged, [&](int v) {
        values << v;
        shownWithAValue = shownWithAValue || progress->isVisible();
    });
    ASSERT_TRUE(WaitOpen());
    // Page list from 0, thumbnails from 40 and 50 at their end, index entries 90 .. 93, then the
    // grouping under headings 75 .. 100.
    ASSERT_FALSE(values.isEmpty());
    EXPECT_EQ(values.first(), 0);
    EXPECT_EQ(values.last(), 100);
    const qsizetype thumbsEnd = values.lastIndexOf(50);
    EXPECT_LT(values.indexOf(40), thumbsEnd);
    EXPECT_EQ(values.value(thumbsEnd + 1), 90);
    EXPECT_GT(values.indexOf(93), thumbsEnd);
    EXPECT_GE(values.value(values.indexOf(93) + 1), 75);

    // With every thumbnail cached the values arrive again and the window stays hidden.
    values.clear();
    shownWithAValue = false;
    ASSERT_TRUE(RebuildAndWait());
    EXPECT_EQ(values.value(0), 0);
    EXPECT_EQ(values.last(), 100);
    EXPECT_FALSE(shownWithAValue);
}

TEST_F(MainWindowTest, FileOpenGoesThroughTheScriptedFolderChooser)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.FolderChooser = nullptr;   // the process-wide chooser answers instead of this window's
    QString preset;
    ScriptedFolderChooser chooser([&](const QString &offered, QString &folder) {
        preset = offered;
        folder = other;
        return true;
    });
    w.Menus().actions.Open2->trigger();
    ASSERT_TRUE(WaitFor([&w, this] { return w.Session().AlbumFolder == other && w.AlbumOpen() && w.Idle(); }));
    EXPECT_EQ(preset, album);
    EXPECT_EQ(w.Pages().Count(), 1);
}
