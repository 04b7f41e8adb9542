// Start-up of the main window: where the first album comes from and what happens when none is chosen.
#include "main_window_fixture.h"
#include "core/common/AtomicFile.h"
#include "core/common/ProductInfo.h"
#include "pages/OrvOverView_Ut.h"
#include "commands/OrvOpenDlg.h"
#include "platform/system/ProgramFolder.h"
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

using namespace pagero;
using namespace pagero::test;

namespace {
const char *const kExitQuestion = "In order not to exit the program, \n\ryou must open a folder now."
                                  "\n\r\n\rDo you really want to exit the program?";
}

TEST_F(MainWindowTest, OneArgumentOpensTheFolderOfTheNamedFile)
{
    TTurvane_Fm &w = Start({album + "/pic3.png"});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Session().AlbumFolder, album);
    EXPECT_EQ(w.windowTitle(), QString(kApplicationTitle) + "    Folder: " + album);
    EXPECT_EQ(w.Pages().Count(), 6);
    EXPECT_EQ(w.Session().FilterMask, QString(kDefaultFilterMask));
    EXPECT_TRUE(unexpectedDialog.isNull());
}

TEST_F(MainWindowTest, TwoArgumentsOpenTheSamplesFolder)
{
    TTurvane_Fm &w = Start({album, other});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Session().AlbumFolder, exeDir + "/Samples");
    EXPECT_EQ(w.Pages().Count(), 2);
}

TEST_F(MainWindowTest, AutoReopenOpensTheMostRecentFolderWithoutTheDialog)
{
    WriteSettings([&](Settings &s) { s.MRUList = {other, album}; });
    TTurvane_Fm &w = Start();
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Session().AlbumFolder, other);
    EXPECT_TRUE(unexpectedDialog.isNull());
    // The open folder is never in the recent list while it is open.
    EXPECT_EQ(w.Options().MRUList, QStringList{album});
}

TEST_F(MainWindowTest, EmptyRecentListOpensTheSamplesFolder)
{
    TTurvane_Fm &w = Start();
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Session().AlbumFolder, exeDir + "/Samples");
}

TEST_F(MainWindowTest, RecentFoldersThatVanishedAreDroppedAtStart)
{
    WriteSettings([&](Settings &s) { s.MRUList = {root.filePath("gone"), album}; });
    TTurvane_Fm &w = Start();
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Session().AlbumFolder, album);
    EXPECT_TRUE(w.Options().MRUList.isEmpty());
}

TEST_F(MainWindowTest, WithoutAutoReopenTheDialogIsPresetWithTheMostRecentFolder)
{
    WriteSettings([&](Settings &s) {
        s.AutoReopen = false;
        s.MRUList = {album};
    });
    QStringList presets;
    TTurvane_Fm &w = Start({}, [&](const QString &preset, QString &folder) {
        presets << preset;
        folder = other;
        return true;
    });
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(presets, QStringList{album});
    EXPECT_EQ(w.Session().AlbumFolder, other);
}

TEST_F(MainWindowTest, CancelAsksTheExitQuestionAndNoShowsTheDialogAgain)
{
    WriteSettings([&](Settings &s) { s.AutoReopen = false; });
    prompter.answers = {PromptAnswer::No};
    int shown = 0;
    TTurvane_Fm &w = Start({}, [&](const QString &, QString &folder) {
        if (++shown == 1) return false;
        folder = album;
        return true;
    });
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], kExitQuestion);
    EXPECT_EQ(prompter.kinds[0], PromptKind::Confirmation);
    EXPECT_EQ(w.Session().AlbumFolder, album);
}

TEST_F(MainWindowTest, CancelAndYesEndsTheProgramAndStillWritesTheSettings)
{
    WriteSettings([&](Settings &s) {
        s.AutoReopen = false;
        s.FlipSpeed = 33;
    });
    QFile::remove(exeDir + "/" + kSettingsFile2);
    prompter.answers = {PromptAnswer::Yes};
    TTurvane_Fm &w = Start({}, [](const QString &, QString &) { return false; });
    ASSERT_TRUE(WaitFor([&] { return !w.isVisible(); }));
    EXPECT_FALSE(w.AlbumOpen());
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], kExitQuestion);
    Settings back;
    LoadSettings(exeDir, back);
    EXPECT_EQ(back.FlipSpeed, 33);
    EXPECT_TRUE(QFile::exists(exeDir + "/" + kSettingsFile2));
}

TEST_F(MainWindowTest, AMissingPathOnTheCommandLineIsToldAndTheStartGoesOnWithoutIt)
{
    // Not the current folder (the program folder): the start goes on as without an argument.
    TTurvane_Fm &w = Start({root.filePath("missing/x.jpg")});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Session().AlbumFolder, exeDir + "/Samples");
    EXPECT_TRUE(unexpectedDialog.isNull());
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], root.filePath("missing/x.jpg") + "\r\ndoes not exist.");
    w.close();
    ASSERT_TRUE(WaitFor([&w] { return !w.isVisible(); }));
    EXPECT_FALSE(w.Options().MRUList.contains(exeDir));
}

TEST_F(MainWindowTest, TheRealOpenFolderDialogChoosesTheFirstAlbum)
{
    WriteSettings([&](Settings &s) { s.AutoReopen = false; });
    window = std::make_unique<TTurvane_Fm>();
    window->FrameIntervalMs = 0;
    // Answer the modal dialog once it shows: type the album folder and press its OK button.
    QTimer answer;
    bool answered = false;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *dlg = qobject_cast<TOpenDlg *>(QApplication::activeModalWidget());
        if (!dlg || answered) return;
        answered = true;
        EXPECT_EQ(dlg->windowTitle(), " Open Folder");
        EXPECT_EQ(dlg->Button1->text(), "&OpenFolder");
        dlg->cmbFolderName->setEditText(album);
        dlg->Button1->click();
    });
    answer.start(20);
    window->resize(900, 600);
    window->show();
    ASSERT_TRUE(WaitOpen());
    EXPECT_TRUE(answered);
    EXPECT_EQ(window->Session().AlbumFolder, album);
}

TEST_F(MainWindowTest, StartWithoutAProgramFolderLeavesAnInertWindowThatCloses)
{
    qputenv("PAGERO_EXEDIR", root.filePath("nowhere").toUtf8());
    TTurvane_Fm &w = Start({album});
    QTest::qWait(50);
    EXPECT_FALSE(w.AlbumOpen());
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(QFile::exists(root.filePath("nowhere")));
}

TEST_F(MainWindowTest, TheMenuBarCarriesTheEightMenusAndLaterCommandsAreDisabled)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    QStringList captions;
    for (QAction *a : w.Menus().bar->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"&File", "&Edit", "&View", "F&lipTo", "&Bookmarks", "&Tools",
                                     "&Options", "&Help"}));
    EXPECT_EQ(w.Menus().actions.byName1->text(), "by &Name");
    EXPECT_TRUE(w.Menus().actions.byName1->isChecked());
    EXPECT_FALSE(w.Menus().actions.byDefault1->isVisible());
    EXPECT_EQ(w.Menus().actions.FilterPages1->text(), "File Type &Filter...");
    EXPECT_EQ(w.Menus().actions.btnView1->text(), "Pre&view/Play ");
    EXPECT_FALSE(w.Menus().actions.btnView1->isEnabled());     // arrives with the preview window
    // The image editor's button is available when the left page shows a picture file.
    EXPECT_EQ(w.Menus().actions.EditLImg->isEnabled(),
              w.Flip_().LeftPageNo >= w.Layout_().FirstFilePage && w.Flip_().LeftPageNo < w.Layout_().FirstIndexPage);
    EXPECT_TRUE(w.Menus().actions.EMailImg->isEnabled());     // the mail window sends the selection
    EXPECT_EQ(w.Menus().actions.FlipToOverviewImg->toolTip(), "Flip to Overview page");
    EXPECT_TRUE(w.Menus().actions.Open2->isEnabled());
    EXPECT_TRUE(w.Menus().actions.ToolBar1->isChecked());
}

TEST_F(MainWindowTest, TheProgramEndsAtOnceWhileAScreenSaverRunShows)
{
    const QString program = QString(PAGERO_TEST_PROGRAM_DIR) + "/pagero";
    if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "program not built";
    qputenv("PAGERO_RUNTIMEDIR", root.filePath("runtime").toUtf8());
    const auto lock = sys::AcquireScreenSaverLock();   // this process plays the screen-saver run
    ASSERT_TRUE(lock->held());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program, {album});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(exeDir + "/" + kSettingsFile));
    qunsetenv("PAGERO_RUNTIMEDIR");
}

TEST_F(MainWindowTest, AThumbnailCacheThatCannotBeWrittenStillShowsTheBookAndSaysWhyOnce)
{
    // A file where the cache folder belongs: nothing can be written there, as in a read-only folder.
    ASSERT_TRUE(QDir(exeDir + "/Overview").removeRecursively());
    QFile blocker(exeDir + "/Overview");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(w.Pages().Count(), 6);
    EXPECT_GT(w.Layout_().LastPageNo, w.Layout_().FirstFilePage + 6);
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].contains("thumbnail cache\r\n" + exeDir + "/Overview\r\ncannot be written"));
    EXPECT_TRUE(prompter.texts[0].contains("without thumbnails"));
    ASSERT_TRUE(RebuildAndWait());   // the same fault is not told again
    EXPECT_EQ(prompter.texts.size(), 1);
}

TEST_F(MainWindowTest, ThumbnailsThatCannotBeSavedAreToldOncePerBuild)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    ASSERT_TRUE(prompter.texts.isEmpty());
    MakePicture(album + "/new1.png", 20, 20, Qt::gray);
    MakePicture(album + "/new2.png", 20, 20, Qt::gray);
    InjectWriteFault(InjectedWriteFault::Write);
    const bool built = RebuildAndWait();
    InjectWriteFault(InjectedWriteFault::None);
    ASSERT_TRUE(built);
    EXPECT_TRUE(w.OverviewWindow()->CacheWriteFailed());
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith("Some thumbnails could not be saved"));
    ASSERT_TRUE(RebuildAndWait());   // the missing ones are made now
    EXPECT_EQ(prompter.texts.size(), 1);
}
