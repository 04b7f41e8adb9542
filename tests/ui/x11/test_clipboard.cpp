// The book's clipboard commands on a real X clipboard (a private Xvfb): xclip puts pictures there
// and reads back what the program copied.
#include "app/ClipboardCommands.h"
#include "app/EditorCommands.h"
#include "editor/OrvLead_Fm.h"
#include "editor/OrvSaveDlg.h"
#include "tests/ui/main_window_fixture.h"

#include <QAction>
#include <QBuffer>
#include <QProcess>

using namespace pagero;
using pagero::test::WaitFor;

namespace {

class XClipboard : public pagero::test::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server";
    }
    // Runs xclip with `args` (and `input` on its standard input) while the event loop keeps
    // answering the X server; its standard output.
    QByteArray XClip(const QStringList &args, const QByteArray &input = {})
    {
        QProcess p;
        p.start("xclip", args);
        if (!input.isEmpty()) p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(WaitFor([&p] { return p.state() == QProcess::NotRunning; }, 10000));
        return p.readAllStandardOutput();
    }
    void OfferPicture(const QImage &image)
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        XClip({"-selection", "clipboard", "-t", "image/png", "-i"}, png);
        ASSERT_TRUE(WaitFor([this] { return window->Features().Clipboard().ClipboardHasPicture(); }));
    }
    // Pastes with the save dialog accepted as proposed; the path it proposed, empty when not saved.
    QString Paste()
    {
        editor::TLead_Fm &editor = window->Features().Editing().EnsureEditor();
        QString proposed;
        editor.RunDialog = [&proposed](QDialog &d) {
            proposed = dynamic_cast<editor::TSaveDlg &>(d).ChosenPath();
            return true;
        };
        std::optional<bool> saved;
        window->Features().Clipboard().PastePicture([&saved](bool s) { saved = s; });
        EXPECT_TRUE(WaitFor([&] { return saved.has_value(); }, 30000));
        EXPECT_TRUE(Landed());
        return saved.value_or(false) ? proposed : QString();
    }
};

TEST_F(XClipboard, PastedPicturesBecomeNumberedFilesOfTheAlbum)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.FlipTo(0);
    ASSERT_TRUE(Landed());
    QImage offered(50, 40, QImage::Format_RGB32);
    offered.fill(qRgb(200, 100, 50));
    OfferPicture(offered);
    EXPECT_TRUE(w.Menus().actions.PastFromClipBdImg->isEnabled());

    // The closed book only repaints; the files are new pages all the same.
    EXPECT_EQ(Paste(), album + "/Z_BMP.bmp");
    EXPECT_EQ(Paste(), album + "/Z_BMP_1.bmp");
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
    EXPECT_EQ(QImage(album + "/Z_BMP.bmp").convertToFormat(QImage::Format_RGB32), offered);
    EXPECT_GE(w.Pages().IndexOfName("Z_BMP_1.bmp"), 0);

    // Among the file pages the book turns to the new one.
    w.FlipTo(w.Layout_().FirstFilePage);
    ASSERT_TRUE(Landed());
    EXPECT_EQ(Paste(), album + "/Z_BMP_2.bmp");
    const int page = w.Layout_().FirstFilePage + w.Pages().IndexOfName("Z_BMP_2.bmp");
    EXPECT_TRUE(w.Flip_().LeftPageNo == page || w.Flip_().RightPageNo == page);

    // Text on the clipboard is no picture: the paste button rests and Paste says so.
    XClip({"-selection", "clipboard", "-i"}, "just text");
    ASSERT_TRUE(WaitFor([&w] { return !w.Features().Clipboard().ClipboardHasPicture(); }));
    EXPECT_FALSE(w.Menus().actions.PastFromClipBdImg->isEnabled());
    prompter.texts.clear();
    EXPECT_EQ(Paste(), QString());
    EXPECT_EQ(prompter.texts, QStringList{"Error in copying from clipboard."});
}

TEST_F(XClipboard, CopiesAPagePictureForOtherPrograms)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString file = album + "/pic3.png";
    ASSERT_TRUE(w.Features().Clipboard().CopyPagePicture(file));
    const QImage copied = QImage::fromData(XClip({"-selection", "clipboard", "-t", "image/png", "-o"}));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), QImage(file).convertToFormat(QImage::Format_RGB32));

    EXPECT_FALSE(w.Features().Clipboard().CopyPagePicture(album + "/missing.wav"));
    EXPECT_FALSE(w.Features().Clipboard().CopyPagePicture(album + "/gone.png"));
    EXPECT_EQ(prompter.texts.size(), 1);   // the load error of the missing picture
}

} // namespace
