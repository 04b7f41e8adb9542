// The open-folder mode of the folder and file chooser, driven as a user would.
#include "commands/OrvOpenDlg.h"
#include "core/book/PageList.h"
#include "tests/support/ScriptedPrompter.h"
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

using namespace pagero;
using namespace pagero::test;

namespace {

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        album = dir.filePath("album");
        QDir().mkpath(album + "/sub1");
        QDir().mkpath(album + "/sub2");
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(album + "/a.png");
        image.save(album + "/b.jpg");
        QFile f(album + "/notes.txt");
        f.open(QIODevice::WriteOnly);
        f.write("x");
    }
    // Runs the dialog modally in open-folder mode; `act` runs once it shows.
    bool Run(const std::function<void()> &act)
    {
        QTimer::singleShot(0, &dlg, [this, act] {
            act();
            if (dlg.isVisible()) dlg.reject();   // never leave a test waiting
        });
        return dlg.ExecuteMode(TOpenDlg::OpenFolder, true);
    }
    QTemporaryDir dir;
    QString album;
    ScriptedPrompter prompter;
    TOpenDlg dlg;
};

} // namespace

TEST_F(OpenDialogTest, OpenFolderModeCaptionsAndControls)
{
    dlg.SetFolder(album);
    Run([&] {
        EXPECT_EQ(dlg.windowTitle(), " Open Folder");
        EXPECT_EQ(dlg.Button1->text(), "&OpenFolder");
        EXPECT_EQ(dlg.BitBtn1->text(), "&Cancel");
        EXPECT_FALSE(dlg.edFileName->isEnabled());
        EXPECT_TRUE(dlg.FileListBox1->isEnabled());
        EXPECT_EQ(dlg.size(), QSize(511, 371));
        EXPECT_EQ(dlg.FilterComboBox1->count(), 14);
        EXPECT_EQ(dlg.FilterComboBox1->itemText(0), "All Acceptable Formats");
        EXPECT_EQ(dlg.Mask(), QString(kDefaultFilterMask));
        // Only the matching files are listed, sub-folders in the folder list.
        QStringList files;
        for (int i = 0; i < dlg.FileListBox1->count(); ++i) files << dlg.FileListBox1->item(i)->text();
        EXPECT_EQ(files, (QStringList{"a.png", "b.jpg"}));
        EXPECT_EQ(dlg.Label2->text(), "Sub-Folders: 2");
        EXPECT_TRUE(dlg.Label1->text().startsWith("No. of Files: 2   Size: "));
        EXPECT_TRUE(dlg.Label3->text().startsWith("Disk Free Space: "));
        EXPECT_EQ(dlg.cmbFolderName->currentText(), album);
    });
}

TEST_F(OpenDialogTest, AMissingFolderIsRefusedAndTheDialogStays)
{
    dlg.SetFolder(album);
    const bool ok = Run([&] {
        dlg.cmbFolderName->setEditText(album + "/nothere");
        dlg.Button1->click();
        EXPECT_TRUE(dlg.isVisible());
    });
    EXPECT_FALSE(ok);
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], album + "/nothere\r\nThis folder does not exists, Select another one please.");
}

TEST_F(OpenDialogTest, TheOpenAlbumIsRefused)
{
    dlg.SetFolder(album);
    dlg.CurrentFolder = album;
    EXPECT_FALSE(Run([&] { dlg.Button1->click(); }));
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], "You already have that folder opened!");
}

TEST_F(OpenDialogTest, ARelativeNameIsTakenInTheListedFolderAndBecomesTheChosenFolder)
{
    dlg.SetFolder(album);
    dlg.CurrentFolder = dir.path();
    const bool ok = Run([&] {
        dlg.cmbFolderName->setEditText("sub2");
        dlg.Button1->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(dlg.ChosenFolder(), album + "/sub2");
    EXPECT_EQ(dlg.History.value(0), album + "/sub2");
}

TEST_F(OpenDialogTest, FolderListNavigationAndTheFilterNarrowTheFileList)
{
    dlg.SetFolder(album + "/sub1");
    Run([&] {
        ASSERT_EQ(dlg.DirectoryListBox1->item(0)->text(), "..");
        emit dlg.DirectoryListBox1->itemActivated(dlg.DirectoryListBox1->item(0));
        EXPECT_EQ(dlg.ChosenFolder(), album);
        dlg.FilterComboBox1->setCurrentIndex(2);   // JPEG
        EXPECT_EQ(dlg.Mask(), "*.jpg");
        ASSERT_EQ(dlg.FileListBox1->count(), 1);
        EXPECT_EQ(dlg.FileListBox1->item(0)->text(), "b.jpg");
        QTest::mouseClick(dlg.FileListBox1->viewport(), Qt::LeftButton, {},
                          dlg.FileListBox1->visualItemRect(dlg.FileListBox1->item(0)).center());
        EXPECT_EQ(dlg.Edit1->text(), " File: b.jpg");
        EXPECT_TRUE(dlg.Edit2->text().startsWith(" Size: 10 x 10,   "));
    });
}

TEST_F(OpenDialogTest, HistoryKeepsTwelveNewestFirstWithoutDuplicates)
{
    QStringList folders;
    for (int i = 0; i < 14; ++i) {
        folders << dir.filePath(QString("f%1").arg(i));
        QDir().mkpath(folders.last());
    }
    for (const QString &f : folders) {
        dlg.SetFolder(f);
        ASSERT_TRUE(Run([&] { dlg.Button1->click(); }));
    }
    dlg.SetFolder(folders[5]);
    ASSERT_TRUE(Run([&] { dlg.Button1->click(); }));
    ASSERT_EQ(dlg.History.size(), 12);
    EXPECT_EQ(dlg.History[0], folders[5]);
    EXPECT_EQ(dlg.History[1], folders[13]);
    EXPECT_EQ(dlg.History.count(folders[5]), 1);
    EXPECT_FALSE(dlg.History.contains(folders[0]));
}

TEST_F(OpenDialogTest, AHistoryEntryThatVanishedIsDropped)
{
    const QString gone = dir.filePath("gone");
    QDir().mkpath(gone);
    dlg.SetFolder(gone);
    ASSERT_TRUE(Run([&] { dlg.Button1->click(); }));
    QDir(gone).removeRecursively();
    dlg.SetFolder(album);
    Run([&] {
        const int i = dlg.cmbFolderName->findText(gone);
        ASSERT_GE(i, 0);
        emit dlg.cmbFolderName->activated(i);
        EXPECT_LT(dlg.cmbFolderName->findText(gone), 0);
        EXPECT_EQ(dlg.cmbFolderName->currentText(), album);
    });
    EXPECT_FALSE(dlg.History.contains(gone));
}

TEST_F(OpenDialogTest, CancelReturnsFalse)
{
    dlg.SetFolder(album);
    EXPECT_FALSE(Run([&] { dlg.BitBtn1->click(); }));
}

TEST_F(OpenDialogTest, EnterInTheFolderBoxChecksOnce)
{
    dlg.SetFolder(album);
    Run([&] {
        dlg.cmbFolderName->setEditText(album + "/nothere");
        QTest::keyClick(dlg.cmbFolderName->lineEdit(), Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
    });
    EXPECT_EQ(prompter.texts.size(), 1);
}
