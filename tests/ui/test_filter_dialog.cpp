// The file type filter dialog: presets, the file list and count for the chosen type, OK and Cancel.
#include "app/OrvSetFileTypeFilter.h"
#include "core/book/PageList.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

QStringList listed(const TSetFileTypeFilter_Fm &form)
{
    QStringList names;
    for (int i = 0; i < form.FileListBox1->count(); ++i) names << form.FileListBox1->item(i)->text();
    return names;
}

class FilterDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char *name : {"b.jpg", "A.JPG", "c.bmp", "song.wav", "notes.txt", ".hidden.jpg"}) {
            QFile f(dir.filePath(QLatin1String(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
        ASSERT_TRUE(QDir(dir.path()).mkdir("sub.jpg"));   // a folder is never a page
    }
    QTemporaryDir dir;
    TSetFileTypeFilter_Fm form;
};

} // namespace

TEST_F(FilterDialog, ControlsAsDesigned)
{
    EXPECT_EQ(form.windowTitle(), " Select File Type");
    EXPECT_EQ(form.findChild<QLabel *>("Label1")->text(), "File Type :");
    EXPECT_EQ(form.findChild<QLabel *>("Label2")->text(), "Total number of selected files:");
    EXPECT_EQ(form.findChild<QLabel *>("Label3")->text(), "Folder");
    EXPECT_EQ(form.findChild<QPushButton *>("OKBtn")->text(), "OK");
    EXPECT_EQ(form.findChild<QPushButton *>("CancelBtn")->text(), "Cancel");
    auto *combo = form.findChild<QComboBox *>("FilterComboBox1");
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 14);
    EXPECT_EQ(combo->itemText(0), "All Acceptable Formats");
    EXPECT_EQ(combo->itemData(0).toString(), QString::fromLatin1(kDefaultFilterMask));
    EXPECT_EQ(combo->itemText(2), "JPEG  (Interchange Format)");
    EXPECT_EQ(combo->itemData(2).toString(), "*.jpg");
    EXPECT_EQ(combo->itemText(13), "AVI     (MOVIE)");
    EXPECT_EQ(combo->itemData(13).toString(), "*.avi");
    EXPECT_NE(form.findChild<QListWidget *>("FileListBox1"), nullptr);
}

TEST_F(FilterDialog, PresetSelectsTheMatchingTypeAndListsItsFiles)
{
    form.Preset(dir.path(), "*.jpg");
    EXPECT_EQ(form.FilterComboBox1->currentIndex(), 2);
    EXPECT_EQ(form.Mask(), "*.jpg");
    EXPECT_EQ(listed(form), (QStringList{"A.JPG", "b.jpg"}));
    EXPECT_EQ(form.FileCount->text(), "2");
    EXPECT_EQ(form.StaticText1->text(), dir.path());

    form.Preset(dir.path(), QString::fromLatin1(kDefaultFilterMask));
    EXPECT_EQ(form.FilterComboBox1->currentIndex(), 0);
    EXPECT_EQ(listed(form), (QStringList{"A.JPG", "b.jpg", "c.bmp", "song.wav"}));
    EXPECT_EQ(form.FileCount->text(), "4");

    // A mask of no entry (or differing in case) leaves the first entry selected.
    form.Preset(dir.path(), "*.wav");
    form.Preset(dir.path(), "*.xyz");
    EXPECT_EQ(form.FilterComboBox1->currentIndex(), 0);
    form.Preset(dir.path(), "*.WAV");
    EXPECT_EQ(form.FilterComboBox1->currentIndex(), 0);
}

TEST_F(FilterDialog, ChoosingAnotherTypeUpdatesListAndCount)
{
    form.Preset(dir.path(), "*.jpg");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.FilterComboBox1->setFocus();
    QTest::keyClick(form.FilterComboBox1, Qt::Key_Up);   // "BMP   (Windows Bitmap)"
    EXPECT_EQ(form.Mask(), "*.bmp");
    EXPECT_EQ(listed(form), QStringList{"c.bmp"});
    EXPECT_EQ(form.FileCount->text(), "1");
    QTest::keyClick(form.FilterComboBox1, Qt::Key_End);   // "AVI     (MOVIE)": no files
    EXPECT_EQ(form.Mask(), "*.avi");
    EXPECT_EQ(form.FileCount->text(), "0");
    EXPECT_EQ(form.SelectedFileCount(), 0);

    // The folder can be set back without losing the chosen type; a missing folder lists nothing.
    form.SetFolder(dir.filePath("missing"));
    EXPECT_EQ(form.Mask(), "*.avi");
    EXPECT_EQ(form.FileCount->text(), "0");
}

TEST_F(FilterDialog, OkConfirmsAndEscapeCancels)
{
    form.Preset(dir.path(), "*.jpg");
    QTimer::singleShot(0, &form, [&] {
        QTest::keyClick(form.FilterComboBox1, Qt::Key_Up);
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    EXPECT_EQ(form.exec(), QDialog::Rejected);

    form.Preset(dir.path(), "*.jpg");
    QTimer::singleShot(0, &form, [&] {
        QTest::keyClick(form.FilterComboBox1, Qt::Key_Down);   // "PCX    (ZSoft PCX)"
        QTest::mouseClick(form.OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.Mask(), "*.pcx");
}
