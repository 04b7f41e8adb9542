// Scanning into the album from the book: the scan is saved through the editor's save dialog as
// "Z_Img.jpg" in the album, the book turns to its page, and a cancelled save asks before the scan
// is thrown away.
#include "app/EditorCommands.h"
#include "app/ScanCommands.h"
#include "editor/OrvLead_Fm.h"
#include "editor/OrvSaveDlg.h"
#include "tests/support/SaneTestBackend.h"
#include "tests/ui/main_window_fixture.h"

#include <QLineEdit>
#include <QToolBar>

using namespace pagero;
using pagero::test::SaneTestBackend;
using pagero::test::WaitFor;

namespace {

class ScanIntoAlbum : public pagero::test::MainWindowTest {
protected:
    // Runs the book's Acquire and waits for its end; the save dialog answers from `saves`.
    std::optional<bool> Acquire(QList<bool> saves)
    {
        editor::TLead_Fm &editor = window->Features().Editing().EnsureEditor();
        editor.RunDialog = [this, saves](QDialog &d) mutable {
            auto &dialog = dynamic_cast<editor::TSaveDlg &>(d);
            proposed << dialog.ChosenPath();
            return saves.isEmpty() ? false : saves.takeFirst();
        };
        std::optional<bool> saved;
        window->Features().Scanning().AcquirePicture([&saved](bool s) { saved = s; });
        WaitFor([&] { return saved.has_value(); }, 30000);
        return saved;
    }
    QStringList proposed;
};

TEST_F(ScanIntoAlbum, TheScanBecomesAPageOfTheAlbum)
{
    SaneTestBackend backend({{"mode", "Color"}, {"test-picture", "\"Color pattern\""}});
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.FlipTo(0);
    ASSERT_TRUE(Landed());
    // From the closed book the new file's own page opens.
    ASSERT_EQ(Acquire({true}), std::optional<bool>(true));
    const QString file = album + "/Z_Img.jpg";
    EXPECT_EQ(proposed, QStringList{file});
    EXPECT_EQ(QImage(file).size(), QSize(78, 59));
    ASSERT_TRUE(Landed());
    const int index = w.Pages().IndexOfName("Z_Img.jpg");
    ASSERT_GE(index, 0);
    const auto shows = [&w](int page) { return w.Flip_().LeftPageNo == page || w.Flip_().RightPageNo == page; };
    EXPECT_TRUE(shows(w.Layout_().FirstFilePage + index));
    EXPECT_TRUE(w.Menus().toolBar->isEnabled());

    // From an overview page, the overview page that lists it.
    w.FlipTo(w.Layout_().FirstOverviewPage);
    ASSERT_TRUE(Landed());
    ASSERT_EQ(Acquire({true}), std::optional<bool>(true));
    ASSERT_TRUE(Landed());
    EXPECT_TRUE(shows(w.Layout_().SectionToPage(Overview, index)));
}

TEST_F(ScanIntoAlbum, ACancelledSaveAsksBeforeTheScanIsLost)
{
    SaneTestBackend backend;
    Start({album});
    ASSERT_TRUE(WaitOpen());
    // Cancel, "No" (Save As again), Cancel, "Yes": the scan is given up.
    prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
    ASSERT_EQ(Acquire({false, false}), std::optional<bool>(false));
    EXPECT_EQ(proposed.size(), 2);
    EXPECT_EQ(prompter.texts, QStringList(2, "Image will not be saved on disk. Continue?"));
    EXPECT_FALSE(QFile::exists(album + "/Z_Img.jpg"));
    EXPECT_TRUE(window->Menus().toolBar->isEnabled());
}

} // namespace
