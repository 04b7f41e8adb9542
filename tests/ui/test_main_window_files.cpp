// The main window's folder and file commands: what the File menu offers on each kind of page, and
// copy, rename and delete of page files and of the album's own folder, with the book rebuilt and the
// album's bookmarks and comments kept in step.
#include "main_window_fixture.h"
#include "commands/OrvOpenDlg.h"
#include "core/annotations/AlbumFolderFiles.h"
#include "core/annotations/BookmarkFile.h"
#include "core/annotations/BookmarkRegister.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace pagero;
using namespace pagero::test;

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class FileCommandsTest : public MainWindowTest {
protected:
    // Runs `act` on the chooser once it shows (then cancels it if it is still open).
    void OnDialog(const std::function<void(TOpenDlg &)> &act)
    {
        QTimer::singleShot(0, window.get(), [act] {
            auto *dlg = qobject_cast<TOpenDlg *>(QApplication::activeModalWidget());
            if (!dlg) {
                ADD_FAILURE() << "the chooser did not open";
                return;
            }
            act(*dlg);
            if (dlg->isVisible()) dlg->reject();
        });
    }
    // The album open with the spread of the first two file pages showing.
    TTurvane_Fm &OpenAtFirstFiles()
    {
        TTurvane_Fm &w = Start({album});
        EXPECT_TRUE(WaitOpen());
        w.FlipTo(w.Layout_().FirstFilePage);
        Landed();
        return w;
    }
    bool BuiltAndLanded()
    {
        return WaitFor([this] { return !window->Building() && window->Idle(); }, 60000);
    }
    QString CommentFile() const { return album + "/" + kCommentFileName; }
};

} // namespace

TEST_F(FileCommandsTest, PageFileCommandsAreOfferedOnlyOnFilePages)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const MainActions &a = w.Menus().actions;
    emit w.Menus().menus.File1->aboutToShow();   // the closed book: covers only
    for (QAction *item : {a.CopyLeftPageFileAs1, a.RenameRightPageImageFile1, a.DeleteLeftPageFile1, a.MoveRightpagefileas1})
        EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
    w.FlipTo(w.Layout_().FirstFilePage);
    Landed();
    emit w.Menus().menus.File1->aboutToShow();
    const bool leftIsFile = w.Flip_().LeftPageNo >= w.Layout_().FirstFilePage;
    EXPECT_EQ(a.CopyLeftPageFileAs1->isEnabled(), leftIsFile);
    EXPECT_TRUE(a.DeleteRightPageFile1->isEnabled());
    EXPECT_TRUE(a.RenameRightPageImageFile1->isEnabled());
    EXPECT_TRUE(a.NewFolder1->isEnabled());
    EXPECT_TRUE(a.DeleteFolder1->isEnabled());
}

TEST_F(FileCommandsTest, RenameAndDeleteRebuildTheBookAndKeepCommentsAndBookmarksInStep)
{
    WriteFile(CommentFile(), "#~#pic1.png\r\nfirst\r\n#~#pic2.png\r\nsecond\r\n");
    const QString bookmarks = BookmarkRegister(exeDir + "/Bookmark").BookmarkFileFor(album);
    ASSERT_FALSE(bookmarks.isEmpty());
    BookmarkTable table(1);
    table[0].Section = Context;
    table[0].FileIndex = 1;
    table[0].FileName = "pic2.png";
    ASSERT_TRUE(WriteBookmarkFile(bookmarks, table));

    TTurvane_Fm &w = OpenAtFirstFiles();
    const int page2 = w.Layout_().FirstFilePage + 1;
    ASSERT_EQ(w.Pages().PagePath(1), album + "/pic2.png");
    w.FlipTo(page2);
    Landed();
    const bool right = w.Flip_().RightPageNo == page2;
    OnDialog([](TOpenDlg &dlg) {
        dlg.edFileName->setText("zz");
        dlg.Button1->click();
    });
    emit w.Menus().menus.File1->aboutToShow();
    (right ? w.Menus().actions.RenameRightPageImageFile1 : w.Menus().actions.RenameLeftPageImageFile1)->trigger();
    ASSERT_TRUE(BuiltAndLanded());
    EXPECT_TRUE(QFile::exists(album + "/zz.png"));
    EXPECT_EQ(w.Pages().IndexOfName("zz.png"), 5);   // sorted last
    EXPECT_EQ(w.Pages().IndexOfName("pic2.png"), -1);
    EXPECT_EQ(ReadFile(CommentFile()), "#~#pic1.png\r\nfirst\r\n#~#zz.png\r\nsecond\r\n");
    BookmarkTable after;
    ASSERT_TRUE(ReadBookmarkFile(bookmarks, after));
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].FileName, "zz.png");

    // The Delete key acts on the file under the pointer.
    w.FlipTo(w.Layout_().FirstFilePage);
    Landed();
    const QPoint over = w.Flip_().RightPageNo == w.Layout_().FirstFilePage ? RightPageCentre() : LeftPageCentre();
    w.LastMouseX = over.x();
    w.LastMouseY = over.y();
    prompter.answers = {PromptAnswer::No};
    w.FormKeyDown(Qt::Key_Delete);
    EXPECT_TRUE(QFile::exists(album + "/pic1.png"));
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith(album + "/pic1.png\n\r\n\rWARNING!"));
    w.FormKeyDown(Qt::Key_Delete);
    ASSERT_TRUE(BuiltAndLanded());
    EXPECT_FALSE(QFile::exists(album + "/pic1.png"));
    EXPECT_EQ(w.Pages().Count(), 5);
    EXPECT_EQ(ReadFile(CommentFile()), "#~#zz.png\r\nsecond\r\n");
}

TEST_F(FileCommandsTest, CopyingIntoTheAlbumFolderMakesAFreeNameAndTurnsToTheCopy)
{
    TTurvane_Fm &w = OpenAtFirstFiles();
    OnDialog([](TOpenDlg &dlg) { dlg.Button1->click(); });
    emit w.Menus().menus.File1->aboutToShow();
    w.Menus().actions.CopyRightPageFileAs1->trigger();
    ASSERT_TRUE(BuiltAndLanded());
    const int copy = w.Pages().IndexOfPath(w.OpenDialog()->SelectedPath);
    ASSERT_GE(copy, 0);
    EXPECT_TRUE(w.OpenDialog()->SelectedPath.endsWith("_1.png"));
    EXPECT_EQ(w.Pages().Count(), 7);
    const int page = w.Layout_().FirstFilePage + copy;
    EXPECT_TRUE(w.Flip_().LeftPageNo == page || w.Flip_().RightPageNo == page);

    // Moving the copy out of the album: the book comes back to the spread shown before.
    const int shownBefore = w.Flip_().LeftPageNo;
    const QString moving = w.OpenDialog()->SelectedPath;
    OnDialog([this](TOpenDlg &dlg) {
        dlg.SetFolder(other);
        dlg.Button1->click();
    });
    emit w.Menus().menus.File1->aboutToShow();
    (w.Flip_().RightPageNo == page ? w.Menus().actions.MoveRightpagefileas1 : w.Menus().actions.MoveLeftpagefileas1)->trigger();
    ASSERT_TRUE(BuiltAndLanded());
    EXPECT_FALSE(QFile::exists(moving));
    EXPECT_TRUE(QFile::exists(other + "/" + QFileInfo(moving).fileName()));
    EXPECT_EQ(w.Pages().Count(), 6);
    EXPECT_EQ(w.Flip_().LeftPageNo, shownBefore);
}

TEST_F(FileCommandsTest, DeletingTheAlbumsOwnFolderReportsItAndOpensTheMostRecentFolder)
{
    WriteSettings([&](Settings &s) { s.MRUList = {other}; });
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    OnDialog([](TOpenDlg &dlg) { dlg.Button1->click(); });
    w.Menus().actions.DeleteFolder1->trigger();
    ASSERT_TRUE(WaitFor([&] { return w.AlbumOpen() && w.Session().AlbumFolder == other && w.Idle(); }, 60000));
    EXPECT_FALSE(QFileInfo::exists(album));
    ASSERT_GE(prompter.texts.size(), 2);
    EXPECT_TRUE(prompter.texts[0].startsWith(album + "\r\n\r\nWARNING!"));
    EXPECT_EQ(prompter.texts[1], album + "\r\nwas deleted successfully.\r\n\r\n"
                                         "Pagero will now open the most recently opened folder...");
    EXPECT_FALSE(w.Options().MRUList.contains(album));
}
