// The main window's ways to one page file: the page-number and find dialogs flip to it, a thumbnail
// picture or Space opens the preview, the information commands show the file's header data; the
// preview background is kept with the settings, the progress window follows minimise and restore,
// and the window fills its screen when shown maximised.
#include "support/ScriptedChoosers.h"
#include "main_window_fixture.h"
#include "pages/OrvFindDlg.h"
#include "pages/OrvImgInfoBox.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/OrvPageNoDlg.h"
#include "pages/OrvPreviewPic.h"
#include "pages/OrvProgress.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

using namespace pagero;
using namespace pagero::test;

namespace {

// Runs `trigger`; when a modal window of type Dialog comes up meanwhile, `answer` handles (and must
// close) it. Returns whether the modal window came up.
template <class Dialog>
bool AnswerModal(const std::function<void()> &trigger, const std::function<void(Dialog &)> &answer)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = true;
            answer(*dialog);
        }
    });
    poll.start();
    trigger();
    poll.stop();
    return seen;
}

} // namespace

class PagesCommandsTest : public MainWindowTest {
protected:
    TTurvane_Fm &OpenAtOverview()
    {
        TTurvane_Fm &w = Start({album});
        EXPECT_TRUE(WaitOpen());
        w.FlipTo(w.Layout_().FirstOverviewPage);
        Landed();
        return w;
    }
    bool OnSpread(int page) const
    {
        return window->Flip_().LeftPageNo == page || window->Flip_().RightPageNo == page;
    }
    QPoint FindHot(int code, int subKind = 0)
    {
        const BookGeometry &g = window->Geometry();
        for (int y = g.leftT; y < g.rightB; y += 2)
            for (int x = g.leftL; x < g.rightR; x += 2) {
                const HotState hot = HitTester::HitTest(window->MakeHitScene(), x, y);
                if (hot.HotCode == code && (!subKind || hot.HotSubKind == subKind)) return QPoint(x, y);
            }
        return QPoint(-1, -1);
    }
    // The centre of the open page `page` (which must be on the spread).
    QPoint CentreOf(int page) const
    {
        return page == window->Flip_().LeftPageNo ? LeftPageCentre() : RightPageCentre();
    }
    // Opens the preview through `trigger` and returns the path it showed ("" when none came up).
    QString PreviewedBy(const std::function<void()> &trigger)
    {
        QString shown;
        bool loaded = false;
        const bool seen = AnswerModal<TPreviewPic_Fm>(trigger, [&](TPreviewPic_Fm &preview) {
            shown = preview.Path();
            loaded = preview.Loaded();
            QTest::keyClick(&preview, Qt::Key_Escape);
            Landed();
        });
        EXPECT_TRUE(!seen || loaded);
        return seen ? shown : QString();
    }
    QString Pic(int n) const { return QString("%1/pic%2.png").arg(album).arg(n); }
};

TEST_F(PagesCommandsTest, ThePageNumberDialogFlipsToTheTypedFileAndRefusesNumbersBeyondTheLast)
{
    TTurvane_Fm &w = OpenAtOverview();
    emit w.Menus().menus.FlipTo1->aboutToShow();
    ASSERT_TRUE(w.Menus().actions.PageNo1->isEnabled());
    int beeps = 0;
    w.PageNoDialog()->Beep = [&] { ++beeps; };
    const bool shown = AnswerModal<TPageNoDlg>([&] { w.Menus().actions.PageNo1->trigger(); }, [&](TPageNoDlg &dlg) {
        EXPECT_EQ(dlg.PageNoLabel->text(), "6");   // six files in the album
        QTest::keyClicks(dlg.ToPageNo, "7");
        QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);   // beyond the last file: stays open
        dlg.ToPageNo->clear();
        QTest::keyClicks(dlg.ToPageNo, "5");
        QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
    });
    ASSERT_TRUE(shown);
    Landed();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(OnSpread(w.Layout_().FirstFilePage + 4));
    EXPECT_TRUE(w.Flip_().Consistent());

    // Cancel leaves the book where it is.
    const int left = w.Flip_().LeftPageNo;
    ASSERT_TRUE(AnswerModal<TPageNoDlg>([&] { w.Menus().actions.PageNo1->trigger(); },
                                        [](TPageNoDlg &dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); }));
    EXPECT_EQ(w.Flip_().LeftPageNo, left);
}

TEST_F(PagesCommandsTest, TheFindDialogOffersTheAlbumNamesAndFlipsToTheChosenFile)
{
    TTurvane_Fm &w = OpenAtOverview();
    emit w.Menus().menus.FlipTo1->aboutToShow();
    ASSERT_TRUE(w.Menus().actions.FileName1->isEnabled());
    const bool shown = AnswerModal<TFindDlg>([&] { w.Menus().actions.FileName1->trigger(); }, [&](TFindDlg &dlg) {
        EXPECT_EQ(dlg.AllNames(), w.Pages().Names());
        QTest::keyClicks(dlg.ComboBox1->lineEdit(), "pic3.png");
        QTest::mouseClick(dlg.FlipToBtn, Qt::LeftButton);
    });
    ASSERT_TRUE(shown);
    Landed();
    EXPECT_TRUE(OnSpread(w.Layout_().FirstFilePage + 2));

    // A name that differs only in case still finds its file; a name that is not there does nothing.
    EXPECT_TRUE(w.FlipToFile("PIC6.PNG"));
    Landed();
    EXPECT_TRUE(OnSpread(w.Layout_().FirstFilePage + 5));
    EXPECT_FALSE(w.FlipToFile("missing.png"));
    EXPECT_TRUE(OnSpread(w.Layout_().FirstFilePage + 5));
}

TEST_F(PagesCommandsTest, AClickOnAThumbnailPictureOpensThePreviewOfItsFileWithoutFlipping)
{
    TTurvane_Fm &w = OpenAtOverview();
    const QPoint picture = FindHot(HotThumbBase + 3, 2);
    ASSERT_NE(picture.x(), -1);
    const int left = w.Flip_().LeftPageNo;
    EXPECT_EQ(PreviewedBy([&] {
                  QTest::mouseMove(w.View(), picture);
                  QTest::mouseClick(w.View(), Qt::LeftButton, {}, picture);
              }),
              Pic(4));
    EXPECT_EQ(w.Flip_().LeftPageNo, left);
    EXPECT_EQ(w.PreviewWindow()->Mode(), TPreviewPic_Fm::ModeNormal);
    // The preview's file commands are not offered yet.
    EXPECT_FALSE(w.PreviewWindow()->Edit1->isEnabled());
    EXPECT_FALSE(w.PreviewWindow()->Delete1->isEnabled());
    EXPECT_TRUE(w.PreviewWindow()->Information1->isEnabled());
}

TEST_F(PagesCommandsTest, SpacePreviewsTheFileOfThePageOrEntryUnderThePointer)
{
    TTurvane_Fm &w = OpenAtOverview();
    // Over a contents line: that line's file.
    w.FlipTo(w.Layout_().FirstContentsPage);
    Landed();
    const QPoint line = FindHot(HotContentsBase + 1);
    ASSERT_NE(line.x(), -1);
    QTest::mouseMove(w.View(), line);
    EXPECT_EQ(PreviewedBy([&] { QTest::keyClick(w.View(), Qt::Key_Space); }), Pic(2));

    // Over a file page: the page's file, also after the book turned under a still pointer.
    const int page = w.Layout_().FirstFilePage + 1;
    w.FlipTo(page);
    Landed();
    QTest::mouseMove(w.View(), CentreOf(page));
    EXPECT_EQ(PreviewedBy([&] { QTest::keyClick(w.View(), Qt::Key_Space); }), Pic(2));
    w.FlipTo(page + 2);
    Landed();
    EXPECT_EQ(PreviewedBy([&] { QTest::keyClick(w.View(), Qt::Key_Space); }), Pic(4));

    // Over the front cover nothing designates a file.
    w.FlipTo(0);
    Landed();
    QTest::mouseMove(w.View(), RightPageCentre());
    EXPECT_EQ(PreviewedBy([&] { QTest::keyClick(w.View(), Qt::Key_Space); }), QString());
}

TEST_F(PagesCommandsTest, SoundFilesOpenNoPreview)
{
    QFile tune(album + "/tune.wav");
    ASSERT_TRUE(tune.open(QIODevice::WriteOnly));
    tune.write("RIFF");
    tune.close();
    TTurvane_Fm &w = OpenAtOverview();
    ASSERT_EQ(w.Pages().Names().last(), "tune.wav");
    const QPoint picture = FindHot(HotThumbBase + 6, 2);
    ASSERT_NE(picture.x(), -1);
    EXPECT_EQ(PreviewedBy([&] {
                  QTest::mouseMove(w.View(), picture);
                  QTest::mouseClick(w.View(), Qt::LeftButton, {}, picture);
              }),
              QString());
    const int page = w.Layout_().FirstFilePage + 6;
    w.FlipTo(page);
    Landed();
    QTest::mouseMove(w.View(), CentreOf(page));
    EXPECT_EQ(PreviewedBy([&] { QTest::keyClick(w.View(), Qt::Key_Space); }), QString());
}

TEST_F(PagesCommandsTest, TheInformationCommandsShowTheHeaderOfTheFileConcerned)
{
    TTurvane_Fm &w = OpenAtOverview();
    const int page = w.Layout_().FirstFilePage + 4;   // pic5.png, 64 x 40
    w.FlipTo(page);
    Landed();
    const auto readBox = [&](QStringList &fields) {
        return [&fields](TInfoBox &box) {
            fields = {box.FName->text(), box.FWidth->text(), box.FHeight->text()};
            QTest::mouseClick(box.OKBtn, Qt::LeftButton);
        };
    };
    const QStringList expected{"pic5.png", "64", "40"};

    // The page pop-up menu, opened over the file page.
    QStringList fields;
    w.PopupMenuAt(CentreOf(page), w.View()->mapToGlobal(CentreOf(page)));
    w.Menus().popup->hide();
    EXPECT_EQ(w.PopupFile(), Pic(5));
    ASSERT_TRUE(w.Menus().actions.btnInfo1->isEnabled());
    ASSERT_TRUE(AnswerModal<TInfoBox>([&] { w.Menus().actions.btnInfo1->trigger(); }, readBox(fields)));
    EXPECT_EQ(fields, expected);
    EXPECT_EQ(PreviewedBy([&] { w.Menus().actions.btnView1->trigger(); }), Pic(5));
    EXPECT_TRUE(w.Menus().menus.Rotate3->menuAction()->isEnabled());   // a picture can be turned

    // The View menu's item for the side the file page is on.
    emit w.Menus().menus.View1->aboutToShow();
    const bool left = w.Flip_().LeftPageNo == page;
    QAction *item = left ? w.Menus().actions.LeftImage2 : w.Menus().actions.RightImage2;
    ASSERT_TRUE(item->isEnabled());
    fields.clear();
    ASSERT_TRUE(AnswerModal<TInfoBox>([&] { item->trigger(); }, readBox(fields)));
    EXPECT_EQ(fields, expected);

    // Over the cover the pop-up offers no file command.
    w.FlipTo(0);
    Landed();
    w.PopupMenuAt(RightPageCentre(), w.View()->mapToGlobal(RightPageCentre()));
    w.Menus().popup->hide();
    EXPECT_TRUE(w.PopupFile().isEmpty());
    EXPECT_FALSE(w.Menus().actions.btnInfo1->isEnabled());
    EXPECT_FALSE(w.Menus().actions.btnView1->isEnabled());
    emit w.Menus().menus.View1->aboutToShow();
    EXPECT_FALSE(w.Menus().actions.RightImage2->isEnabled());
}

TEST_F(PagesCommandsTest, AnUnreadablePictureGivesTheErrorMessageInsteadOfTheBox)
{
    QFile bad(album + "/pic7.png");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture at all");
    bad.close();
    TTurvane_Fm &w = OpenAtOverview();
    const int page = w.Layout_().FirstFilePage + 6;
    w.FlipTo(page);
    Landed();
    w.PopupMenuAt(CentreOf(page), w.View()->mapToGlobal(CentreOf(page)));
    w.Menus().popup->hide();
    EXPECT_FALSE(AnswerModal<TInfoBox>([&] { w.Menus().actions.btnInfo1->trigger(); },
                                       [](TInfoBox &box) { box.reject(); }));
    ASSERT_FALSE(prompter.texts.isEmpty());
    EXPECT_TRUE(prompter.texts.last() == "Unknown image file format."
                || prompter.texts.last() == "Error in getting image file info.");
}

TEST_F(PagesCommandsTest, ABitmapPreviewBackgroundIsSavedWithTheSettingsAndReadBack)
{
    MakePicture(exeDir + "/BitPattern/tile.bmp", 8, 8, QColor(10, 200, 30));
    TTurvane_Fm &w = OpenAtOverview();
    TPreviewPic_Fm *preview = w.PreviewWindow();
    const pagero::test::ScriptedChoosers choosers([&](const QString &, const QString &) { return exeDir + "/BitPattern/tile.bmp"; });
    preview->BackBitmap1->trigger();
    EXPECT_EQ(w.Options().PreviewBackKind, 2);
    w.close();
    window.reset();
    const QImage saved(exeDir + "/vwbackBitmap.BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.pixelColor(3, 3), QColor(10, 200, 30));

    TTurvane_Fm &again = Start({album});
    ASSERT_TRUE(WaitOpen());
    EXPECT_EQ(again.Options().PreviewBackKind, 2);
    EXPECT_EQ(again.PreviewBackBitmap().pixelColor(1, 1), QColor(10, 200, 30));
    // The preview paints the main window's background.
    QImage client(40, 30, QImage::Format_RGB32);
    QPainter painter(&client);
    again.PreviewWindow()->PaintPreview(painter, client.size(), QPoint(0, 0));
    painter.end();
    EXPECT_EQ(client.pixelColor(1, 1), QColor(10, 200, 30));
}

TEST_F(PagesCommandsTest, TheProgressWindowShowingAtMinimiseComesBackAtRestore)
{
    TTurvane_Fm &w = OpenAtOverview();
    TProgress_Fm *progress = w.OverviewWindow()->Progress();
    progress->show();
    progress->SetGauge(100);   // the thumbnails were finished while the program was down
    w.AppMinimize();
    EXPECT_TRUE(w.OverviewWasVisible);
    EXPECT_TRUE(w.OverviewWindow()->OverviewWasVisible);
    progress->showMinimized();   // as a desktop does with the program's other windows
    w.AppRestore();
    EXPECT_TRUE(progress->isVisible());
    EXPECT_FALSE(progress->isMinimized());
    EXPECT_EQ(progress->Gauge(), 100);
    EXPECT_FALSE(w.OverviewWasVisible);
    EXPECT_FALSE(w.OverviewWindow()->OverviewWasVisible);

    // A window that was not showing stays hidden.
    progress->hide();
    w.AppMinimize();
    EXPECT_FALSE(w.OverviewWasVisible);
    w.AppRestore();
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(PagesCommandsTest, ShownMaximisedTheWindowFillsTheAvailableScreen)
{
    window = std::make_unique<TTurvane_Fm>(QStringList{album});
    window->FrameIntervalMs = 0;
    window->FolderChooser = [](const QString &, QString &) { return false; };
    window->ShowMaximisedOnScreen();
    ASSERT_TRUE(WaitOpen());
    const QRect available = window->screen()->availableGeometry();
    // The offscreen test platform draws a frame of its own; a bare X server has none.
    EXPECT_EQ(window->frameGeometry(), available);
    // The tool bar is ready for the opened album.
    EXPECT_TRUE(window->Menus().actions.FlipToOverviewImg->isEnabled());
}

TEST_F(PagesCommandsTest, ToolBarButtonsShowPicturesWithTheirTextsAsToolTips)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QList<QAction *> buttons = w.Menus().toolBar->actions();
    ASSERT_EQ(buttons.size(), 23);
    for (QAction *button : buttons) {
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
        EXPECT_FALSE(button->toolTip().isEmpty());
    }
    // The left and right buttons of a pair tell their side apart.
    const auto picture = [](QAction *a) { return a->icon().pixmap(24, 24).toImage(); };
    EXPECT_NE(picture(w.Menus().actions.EditLImg), picture(w.Menus().actions.EditRImg));
    EXPECT_EQ(w.Menus().actions.FlipToOverviewImg->toolTip(), "Flip to Overview page");
    EXPECT_EQ(w.Menus().toolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
}
