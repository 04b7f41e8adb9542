// The comment editor driven alone: the starting text, breaking long lines to the page, presets,
// Apply writing into the store, Cancel undoing every Apply exactly, Ok keeping the text, and the
// transparent box remembering the background colour.
#include "pages/CommentPainter.h"
#include "pages/OrvEditComment_Ut.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void WhileShown(TEditCommentDlg_Fm &dlg, const std::function<void()> &script)
{
    QTimer::singleShot(0, &dlg, [&dlg, script] {
        if (dlg.isVisible()) script();
    });
}

QImage PagePicture()
{
    QImage page(400, 500, QImage::Format_RGB32);
    page.fill(QColor(30, 90, 160));
    return page;
}

} // namespace

TEST(CommentEditor, NewCommentIsFittedPlacedAppliedAndCancelledAway)
{
    CommentStore store;
    TEditCommentDlg_Fm dlg;
    dlg.Setup(store, "/album/a.jpg", 400, 500, PagePicture());
    int repaints = 0;
    dlg.Repaint = [&] { ++repaints; };
    WhileShown(dlg, [&] {
        EXPECT_EQ(dlg.windowTitle(), " Edit Page Annotation");
        EXPECT_EQ(dlg.Memo1->toPlainText(), "Text...");
        EXPECT_TRUE(dlg.CheckBox1->isChecked());
        EXPECT_FALSE(dlg.BitBtn1->isEnabled());
        EXPECT_FALSE(dlg.Button1->isEnabled());
        QTest::mouseClick(dlg.Button4, Qt::LeftButton);
        QTest::keyClicks(dlg.Memo1, QString(80, QChar('W')));
        const QFont font = CommentQFont(CommentFont{});
        const QStringList lines = dlg.Memo1->toPlainText().split('\n');
        EXPECT_GT(lines.size(), 1);   // broken to fit the page
        for (const QString &line : lines) EXPECT_LE(CommentTextWidth(font, line), 400 - 20);
        EXPECT_TRUE(dlg.Button1->isEnabled());

        dlg.Memo1->setPlainText("Hello");
        dlg.RadioGroup1->button(int(CommentPreset::RightDown))->click();
        const QSize block = CommentBlockSize(font, {"Hello"});
        EXPECT_EQ(dlg.HorScrollBar1->value(), 400 - block.width() - 20);
        EXPECT_EQ(dlg.VerScrollBar1->value(), 500 - block.height() - 20);
        // The preview frames the block in light grey without a border, in black with one.
        const QImage grey = dlg.PreviewImage();
        QTest::mouseClick(dlg.ckbBorder, Qt::LeftButton);
        const QImage black = dlg.PreviewImage();
        const QPoint corner(int(dlg.HorScrollBar1->value() * grey.width() / 400.0),
                            int(dlg.VerScrollBar1->value() * grey.height() / 500.0));
        EXPECT_EQ(QColor(grey.pixel(corner)), QColor(200, 200, 200));
        EXPECT_EQ(QColor(black.pixel(corner)), QColor(Qt::black));

        QTest::mouseClick(dlg.Button1, Qt::LeftButton);
        PageComment written;
        EXPECT_TRUE(store.ReadComment("a.jpg", 400, 500, written));
        EXPECT_EQ(written.lines, QStringList({"Hello"}));
        EXPECT_TRUE(written.border);
        QTest::mouseClick(dlg.Button3, Qt::LeftButton);
    });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_TRUE(store.Lines().isEmpty());
    EXPECT_EQ(repaints, 2);
}

TEST(CommentEditor, CancelRestoresTheRecordExactlyAndOkKeepsTheEdit)
{
    const QStringList original = {"#~#b.jpg", "5001", "2500", "0", "0", "255", "[MS Sans Serif][1][0][-16][12][]",
                                  "first", "", "third"};
    CommentStore store;
    store.SetLines(original);
    TEditCommentDlg_Fm dlg;
    dlg.Setup(store, "/album/B.JPG", 401, 500, PagePicture());
    WhileShown(dlg, [&] {
        EXPECT_EQ(dlg.Memo1->toPlainText(), "first\n\nthird");
        EXPECT_FALSE(dlg.CheckBox1->isChecked());
        EXPECT_EQ(dlg.Current().background, 255u);
        QTest::mouseClick(dlg.CheckBox1, Qt::LeftButton);   // transparent: white, colour button off
        EXPECT_EQ(dlg.Current().background, 0xFFFFFFu);
        EXPECT_FALSE(dlg.BitBtn1->isEnabled());
        QTest::mouseClick(dlg.CheckBox1, Qt::LeftButton);   // the remembered colour returns
        EXPECT_EQ(dlg.Current().background, 255u);
        dlg.Memo1->setPlainText("changed");
        QTest::mouseClick(dlg.Button1, Qt::LeftButton);
        dlg.Memo1->setPlainText("changed again");
        QTest::mouseClick(dlg.Button1, Qt::LeftButton);
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(store.Lines(), original);

    WhileShown(dlg, [&] {
        dlg.Memo1->setPlainText("kept");
        QTest::mouseClick(dlg.Button2, Qt::LeftButton);
    });
    EXPECT_TRUE(dlg.Execute());
    PageComment c;
    ASSERT_TRUE(store.ReadComment("b.jpg", 401, 500, c));
    EXPECT_EQ(c.lines, QStringList({"kept"}));
    EXPECT_EQ(c.background, 255u);
}
