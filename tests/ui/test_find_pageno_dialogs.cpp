// The page-number and find dialogs driven by typing and clicking: their texts, the digit filter,
// validation with beeps, prefix matching, exact matches, the recent-names list and the flips.
#include "support/ScriptedPrompter.h"
#include "pages/OrvFindDlg.h"
#include "pages/OrvPageNoDlg.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

QStringList LabelTexts(const QWidget &w)
{
    QStringList out;
    for (const QLabel *l : w.findChildren<QLabel *>()) out << l->text();
    return out;
}

QStringList ListTexts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

// A real double click: a click, then the double-click event on the same spot.
void DoubleClickItem(QListWidget *list, QListWidgetItem *item)
{
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void ShowActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

} // namespace

TEST(PageNoDialog, TextsAndDigitFilter)
{
    test::ScriptedPrompter prompter;
    TPageNoDlg dlg;
    int beeps = 0;
    dlg.Beep = [&] { ++beeps; };
    dlg.SetHighest(17);
    EXPECT_EQ(dlg.windowTitle(), "Flip To Page No.");
    EXPECT_TRUE(LabelTexts(dlg).contains("From 1  To "));
    EXPECT_TRUE(LabelTexts(dlg).contains("Flip To:"));
    EXPECT_EQ(dlg.PageNoLabel->text(), "17");
    EXPECT_EQ(dlg.OKBtn->text(), "OK");
    EXPECT_TRUE(dlg.OKBtn->isDefault());
    EXPECT_EQ(dlg.CancelBtn->text(), "Cancel");

    dlg.ToPageNo->setText("leftover");
    beeps = 0;
    ShowActive(dlg);
    EXPECT_TRUE(dlg.ToPageNo->text().isEmpty());
    EXPECT_TRUE(dlg.ToPageNo->hasFocus());

    QTest::keyClicks(dlg.ToPageNo, "a1b2");
    EXPECT_EQ(dlg.ToPageNo->text(), "12");
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(prompter.texts.isEmpty());
    dlg.hide();
}

TEST(PageNoDialog, ValidationKeepsTheDialogOpen)
{
    TPageNoDlg dlg;
    int beeps = 0;
    dlg.Beep = [&] { ++beeps; };
    dlg.SetHighest(17);
    ShowActive(dlg);

    QTest::keyClick(dlg.ToPageNo, Qt::Key_Return);          // empty
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(dlg.isVisible());

    QTest::keyClicks(dlg.ToPageNo, "18");
    QTest::keyClick(dlg.ToPageNo, Qt::Key_Return);          // above the highest
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.ToPageNo->text(), "18");
    EXPECT_TRUE(dlg.RangeHint->isVisible());
    EXPECT_EQ(dlg.RangeHint->text(), "Please type a number from 1 to 17.");

    dlg.ToPageNo->clear();
    QTest::keyClicks(dlg.ToPageNo, "99999999999999999999");  // too long for any number
    QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
    EXPECT_EQ(beeps, 3);
    EXPECT_TRUE(dlg.isVisible());

    dlg.ToPageNo->clear();
    QTest::keyClicks(dlg.ToPageNo, "0");
    QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);           // below 1 becomes 1
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(dlg.ToPageNo->text(), "1");
    EXPECT_TRUE(dlg.isVisible());

    dlg.ToPageNo->clear();
    QTest::keyClicks(dlg.ToPageNo, "17");
    QTest::keyClick(dlg.ToPageNo, Qt::Key_Return);
    EXPECT_EQ(beeps, 4);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Confirmed());
    EXPECT_EQ(dlg.Number(), 17);

    ShowActive(dlg);
    QTest::keyClicks(dlg.ToPageNo, "5");
    QTest::keyClick(dlg.ToPageNo, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.Confirmed());
}

TEST(PageNoDialog, MenuCommandFlipsToTheFilePage)
{
    TPageNoDlg dlg;
    dlg.Beep = [] {};
    QList<int> flips;
    QTimer::singleShot(0, &dlg, [&] {
        QTest::keyClicks(dlg.ToPageNo, "3");
        QTest::keyClick(dlg.ToPageNo, Qt::Key_Return);
    });
    PageNo1Click(dlg, 10, 27, [&](int page) { flips << page; });
    EXPECT_EQ(dlg.PageNoLabel->text(), "17");
    EXPECT_EQ(flips, QList<int>({12}));

    QTimer::singleShot(0, &dlg, [&] { QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton); });
    PageNo1Click(dlg, 10, 27, [&](int page) { flips << page; });
    EXPECT_EQ(flips.size(), 1);
}

TEST(FindDialog, TextsAndPrefixMatching)
{
    TFindDlg dlg;
    int beeps = 0;
    dlg.Beep = [&] { ++beeps; };
    EXPECT_EQ(dlg.windowTitle(), "  Find File ");
    const QStringList labels = LabelTexts(dlg);
    EXPECT_TRUE(labels.contains("1 &Type the first few letters of the file name:"));
    EXPECT_TRUE(labels.contains("2 &Click to select"));
    EXPECT_TRUE(labels.contains("/  &Double Click to flip to"));
    EXPECT_EQ(dlg.FlipToBtn->text(), "&Flip To");
    EXPECT_TRUE(dlg.FlipToBtn->isDefault());
    EXPECT_EQ(dlg.CancelBtn->text(), "C&ancel");

    const QStringList names{"apple.jpg", "Apricot.png", "banana.jpg", "Cherry.bmp"};
    dlg.SetNames(names);
    ShowActive(dlg);
    EXPECT_TRUE(dlg.ComboBox1->currentText().isEmpty());
    EXPECT_EQ(ListTexts(dlg.ListBox1), names);
    EXPECT_TRUE(dlg.ComboBox1->hasFocus());

    QTest::keyClicks(dlg.ComboBox1->lineEdit(), "aP");
    EXPECT_EQ(ListTexts(dlg.ListBox1), QStringList({"apple.jpg", "Apricot.png"}));
    QTest::keyClicks(dlg.ComboBox1->lineEdit(), "X");
    EXPECT_TRUE(ListTexts(dlg.ListBox1).isEmpty());
    QTest::mouseClick(dlg.FlipToBtn, Qt::LeftButton);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(dlg.isVisible());

    // The exact match of "&Flip To" minds case; the prefix list does not.
    dlg.ComboBox1->lineEdit()->clear();
    QTest::keyClicks(dlg.ComboBox1->lineEdit(), "CHERRY.BMP");
    EXPECT_EQ(ListTexts(dlg.ListBox1), QStringList({"Cherry.bmp"}));
    QTest::keyClick(dlg.ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(beeps, 2);   // one beep for one Enter
    EXPECT_TRUE(dlg.isVisible());

    dlg.ComboBox1->lineEdit()->clear();
    QTest::keyClicks(dlg.ComboBox1->lineEdit(), "banana.jpg");
    QTest::keyClick(dlg.ComboBox1->lineEdit(), Qt::Key_Return);   // Enter reaches "&Flip To"
    EXPECT_EQ(beeps, 2);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Confirmed());
    EXPECT_EQ(dlg.SelectedName(), "banana.jpg");
    EXPECT_EQ(dlg.ComboBox1->itemText(0), "banana.jpg");

    // Down moves the highlight through the matching names; Enter flips to the highlighted one.
    ShowActive(dlg);
    QTest::keyClicks(dlg.ComboBox1->lineEdit(), "ap");
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Down);
    EXPECT_EQ(dlg.ComboBox1->currentText(), "apple.jpg");
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Down);
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Down);   // stays on the last name
    EXPECT_EQ(dlg.ComboBox1->currentText(), "Apricot.png");
    EXPECT_EQ(ListTexts(dlg.ListBox1), QStringList({"apple.jpg", "Apricot.png"}));
    QTest::keyClick(dlg.ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.SelectedName(), "Apricot.png");
    EXPECT_EQ(beeps, 2);

    // In the list itself the arrow keys pick the name as a click does.
    ShowActive(dlg);
    dlg.ListBox1->setFocus();
    dlg.ListBox1->setCurrentRow(0);
    QTest::keyClick(dlg.ListBox1, Qt::Key_Down);
    EXPECT_EQ(dlg.ComboBox1->currentText(), "Apricot.png");
    QTest::keyClick(dlg.ListBox1, Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.SelectedName(), "Apricot.png");
}

TEST(FindDialog, ClickSelectsAndDoubleClickFlips)
{
    TFindDlg dlg;
    dlg.Beep = [] {};
    dlg.SetNames({"a.jpg", "b.jpg", "c.jpg"});
    ShowActive(dlg);

    QListWidgetItem *c = dlg.ListBox1->item(2);
    QTest::mouseClick(dlg.ListBox1->viewport(), Qt::LeftButton, {}, dlg.ListBox1->visualItemRect(c).center());
    EXPECT_EQ(dlg.ComboBox1->currentText(), "c.jpg");
    EXPECT_EQ(dlg.SelectedName(), "c.jpg");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.ListBox1->count(), 3);   // a name copied into the box does not filter the list
    QTest::mouseClick(dlg.FlipToBtn, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.SelectedName(), "c.jpg");

    ShowActive(dlg);
    QListWidgetItem *b = dlg.ListBox1->item(1);
    DoubleClickItem(dlg.ListBox1, b);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.Confirmed());
    EXPECT_EQ(dlg.SelectedName(), "b.jpg");
    EXPECT_EQ(dlg.ComboBox1->itemText(0), "b.jpg");
    EXPECT_EQ(dlg.ComboBox1->itemText(1), "c.jpg");
}

TEST(FindDialog, RecentNamesStayBelowNine)
{
    TFindDlg dlg;
    dlg.Beep = [] {};
    QStringList names;
    for (int i = 0; i < 12; ++i) names << QStringLiteral("n%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    dlg.SetNames(names);
    for (int round = 0; round < 12; ++round) {
        dlg.show();
        dlg.ComboBox1->lineEdit()->clear();
        QTest::keyClicks(dlg.ComboBox1->lineEdit(), names[round]);
        QTest::mouseClick(dlg.FlipToBtn, Qt::LeftButton);
        ASSERT_FALSE(dlg.isVisible());
    }
    EXPECT_EQ(dlg.ComboBox1->count(), 8);
    EXPECT_EQ(dlg.ComboBox1->itemText(0), "n11.jpg");
    EXPECT_EQ(dlg.ComboBox1->itemText(7), "n04.jpg");

    // Choosing a name already in the list moves it to the top instead of doubling it.
    dlg.show();
    dlg.ComboBox1->lineEdit()->clear();
    QTest::keyClicks(dlg.ComboBox1->lineEdit(), "n06.jpg");
    QTest::mouseClick(dlg.FlipToBtn, Qt::LeftButton);
    EXPECT_EQ(dlg.ComboBox1->count(), 8);
    EXPECT_EQ(dlg.ComboBox1->itemText(0), "n06.jpg");
    EXPECT_EQ(dlg.ComboBox1->findText("n06.jpg"), 0);

    // The menu command offers the album afresh: the recent names are gone.
    QString flipped;
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_EQ(dlg.ComboBox1->count(), 0);
        QTest::keyClicks(dlg.ComboBox1->lineEdit(), "n1");
        EXPECT_EQ(ListTexts(dlg.ListBox1), QStringList({"n10.jpg", "n11.jpg"}));
        QListWidgetItem *item = dlg.ListBox1->item(1);
        DoubleClickItem(dlg.ListBox1, item);
    });
    FileName1Click(dlg, names, [&](const QString &name) { flipped = name; });
    EXPECT_EQ(flipped, "n11.jpg");

    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    flipped.clear();
    FileName1Click(dlg, names, [&](const QString &name) { flipped = name; });
    EXPECT_TRUE(flipped.isEmpty());
    EXPECT_FALSE(dlg.Confirmed());
}
