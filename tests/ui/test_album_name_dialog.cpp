// The album-name dialog driven alone: Apply and Enter show the lines at once, Cancel and Escape
// undo every Apply, Default restores the folder's default name, OK keeps what was applied.
#include "pages/OrvEditAlbumName_Dlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Runs `script` once the modal dialog is showing.
void WhileShown(TEditAlbumName_Dlg &dlg, const std::function<void()> &script)
{
    QTimer::singleShot(0, &dlg, [&dlg, script] {
        if (!dlg.isVisible()) return;
        script();
    });
}

} // namespace

TEST(AlbumNameDialog, CancelAfterTwoAppliesRestoresTheName)
{
    TEditAlbumName_Dlg dlg;
    QStringList lines = {"Folder Name", "TRIP"};
    QList<QStringList> shown;
    int shut = 0;
    WhileShown(dlg, [&] {
        EXPECT_EQ(dlg.windowTitle(), "Change Album Name...");
        EXPECT_EQ(dlg.Edit1->text(), "Folder Name");
        dlg.Edit1->clear();
        QTest::keyClicks(dlg.Edit1, "Summer");
        QTest::mouseClick(dlg.ApplyBtn, Qt::LeftButton);
        QTest::keyClicks(dlg.Edit2, " 98");
        QTest::keyClick(dlg.Edit2, Qt::Key_Return);   // applies and stays open
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
    });
    AlbumName1Click(dlg, lines, "/photos/Trip", [&] { ++shut; }, [&] { shown << lines; });
    EXPECT_EQ(shut, 1);
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QStringList({"Summer", "TRIP"}));
    EXPECT_EQ(shown[1], QStringList({"Summer", "TRIP 98"}));
    EXPECT_EQ(lines, QStringList({"Folder Name", "TRIP"}));
    EXPECT_EQ(shown[2], lines);
}

TEST(AlbumNameDialog, DefaultThenOkKeepsTheDefaultsAndEscapeUndoes)
{
    TEditAlbumName_Dlg dlg;
    QStringList lines = {"Old", "NAME"};
    WhileShown(dlg, [&] {
        QTest::mouseClick(dlg.DefaultBtn, Qt::LeftButton);
        EXPECT_EQ(dlg.Edit2->text(), "TRIP.1998");
        QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
    });
    AlbumName1Click(dlg, lines, "/photos/Trip.1998/", {}, {});
    EXPECT_EQ(lines, QStringList({"Folder Name", "TRIP.1998"}));

    WhileShown(dlg, [&] {
        QTest::mouseClick(dlg.DefaultBtn, Qt::LeftButton);
        dlg.Edit1->setText("changed");
        QTest::mouseClick(dlg.ApplyBtn, Qt::LeftButton);
        QTest::keyClick(dlg.Edit1, Qt::Key_Escape);
    });
    lines = QStringList{"Kept", "AS IS"};
    AlbumName1Click(dlg, lines, "/photos/x", {}, {});
    EXPECT_EQ(lines, QStringList({"Kept", "AS IS"}));
}
