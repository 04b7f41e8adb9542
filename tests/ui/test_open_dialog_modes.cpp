// The folder and file chooser's other eight modes: what each shows and enables, and the checks and
// operations on OK, with the questions answered by the scripted prompter.
#include "commands/OrvOpenDlg.h"
#include "core/common/MyLib.h"
#include "tests/support/ScriptedPrompter.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>

using namespace pagero;
using namespace pagero::test;

namespace {

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class OpenDialogModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        album = dir.filePath("album");
        other = dir.filePath("other");
        QDir().mkpath(album);
        QDir().mkpath(other);
        Write(album + "/a.jpg", "picture a");
        dlg.SetFolder(album);
        dlg.CurrentFolder = album;
        dlg.SourceFile = album + "/a.jpg";
    }
    // Shows the dialog in `mode`; `act` runs once it shows, then an open dialog is cancelled.
    bool Run(int mode, const std::function<void()> &act, bool doIt = true)
    {
        QTimer::singleShot(0, &dlg, [this, act] {
            act();
            if (dlg.isVisible()) dlg.reject();
        });
        return dlg.ExecuteMode(mode, doIt);
    }
    // Types `name` into the name box and presses OK; true when the dialog closed with success.
    bool Ok(int mode, const QString &name = QString())
    {
        return Run(mode, [&] {
            if (!name.isNull()) dlg.edFileName->setText(name);
            dlg.Button1->click();
        });
    }
    QTemporaryDir dir;
    QString album, other;
    ScriptedPrompter prompter;
    TOpenDlg dlg;
};

} // namespace

TEST_F(OpenDialogModes, EachModeShowsItsCaptionsAndEnablesItsControls)
{
    struct Expect { int mode; const char *title, *ok, *folderCaption, *fileCaption, *name; bool nameBox, fileList, folders; };
    const Expect table[] = {
        {0, " Create a New Folder", "&NewFolder", "New Folder", "File Name", "", false, false, true},
        {2, " Open File", "&OpenFile", "Folder Name", "File Name", "", true, true, true},
        {3, " Select an image file to copy to the current folder.", "Copy&From", "Folder Name", "New File", "", false, true, true},
        {4, " Select the folder to copy the image file into.", "&CopyTo", "Folder Name", "New File", "a.jpg", true, false, true},
        {5, " Select the folder to move the image file into.", "&MoveTo", "Folder Name", "New File", "a.jpg", true, false, true},
        {6, "  Rename image file.", "&RenameFile", "Folder Name", "New Name", "a.jpg", true, false, false},
        {7, " Select an image file to delete.", "&DeleteFile", "Folder Name", "File Name", "a.jpg", true, true, true},
        {8, " Select the folder to be deleted.", "&DeleteFolder", "Folder Name", "File Name", "", false, true, true},
    };
    for (const Expect &e : table) {
        Run(e.mode, [&] {
            SCOPED_TRACE(e.mode);
            EXPECT_EQ(dlg.windowTitle(), e.title);
            EXPECT_EQ(dlg.Button1->text(), e.ok);
            EXPECT_EQ(dlg.stxFolder->text(), e.folderCaption);
            EXPECT_EQ(dlg.stxFileName->text(), e.fileCaption);
            EXPECT_EQ(dlg.edFileName->text(), e.name);
            EXPECT_EQ(dlg.edFileName->isEnabled(), e.nameBox);
            EXPECT_EQ(dlg.FileListBox1->isEnabled(), e.fileList);
            EXPECT_EQ(dlg.DirectoryListBox1->isEnabled(), e.folders);
            EXPECT_EQ(dlg.cmbFolderName->isEnabled(), e.folders);
            EXPECT_EQ(dlg.cmbFolderName->currentText(), e.mode == 0 ? QString("New Folder") : album);
        });
    }
}

TEST_F(OpenDialogModes, RenameRules)
{
    EXPECT_FALSE(Ok(TOpenDlg::RenameFile, "a"));        // completed to a.jpg: the same name
    EXPECT_FALSE(Ok(TOpenDlg::RenameFile, "A.JPG"));
    EXPECT_FALSE(Ok(TOpenDlg::RenameFile, "a.jpeg"));
    EXPECT_FALSE(Ok(TOpenDlg::RenameFile, "a.jpeg2"));
    EXPECT_EQ(prompter.texts, QStringList({"You entered the same name!", "You entered the same name!",
                                           "File name extension too long!", "File name extension too long!"}));
    EXPECT_EQ(prompter.kinds.first(), PromptKind::Warning);

    // A changed extension: No, then auto-correct Yes puts the old extension back and stays.
    prompter.texts.clear();
    prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
    QString corrected;
    Run(TOpenDlg::RenameFile, [&] {
        dlg.edFileName->setText("b.png");
        dlg.Button1->click();
        corrected = dlg.edFileName->text();
        EXPECT_TRUE(dlg.isVisible());
    });
    EXPECT_EQ(corrected, "b.jpg");
    ASSERT_EQ(prompter.texts.size(), 2);
    EXPECT_EQ(prompter.texts[0], "If you change a file name extension, the file may become unusable.\r\n\r\n"
                                 "Are you sure you want to change it?");
    EXPECT_EQ(prompter.texts[1], "Do you want to auto correct the file name extension?");

    Write(album + "/taken.jpg", "other");
    prompter.texts.clear();
    EXPECT_FALSE(Ok(TOpenDlg::RenameFile, "taken."));
    EXPECT_EQ(prompter.texts, QStringList({"This file name occupied already! Please enter a new name.\r\n" + album + "/taken.jpg"}));
    EXPECT_EQ(Read(album + "/taken.jpg"), "other");

    ASSERT_TRUE(Ok(TOpenDlg::RenameFile, "new"));
    EXPECT_EQ(dlg.SelectedPath, album + "/new.jpg");
    EXPECT_EQ(Read(album + "/new.jpg"), "picture a");
    EXPECT_FALSE(QFile::exists(album + "/a.jpg"));

    // A file that already has a long extension keeps it through a rename.
    Write(album + "/c.jpeg", "c");
    dlg.SourceFile = album + "/c.jpeg";
    EXPECT_TRUE(Ok(TOpenDlg::RenameFile, "d.jpeg"));
    EXPECT_EQ(Read(album + "/d.jpeg"), "c");
}

TEST_F(OpenDialogModes, CopyIntoTheSameFolderOffersAFreeNameAndOverwritingAsksFirst)
{
    ASSERT_TRUE(Ok(TOpenDlg::CopyTo));
    EXPECT_EQ(prompter.texts, QStringList({album + "/a.jpg\n\rA file with the same name already exists. Duplicate the file name?"}));
    EXPECT_EQ(dlg.SelectedPath, album + "/a_1.jpg");
    EXPECT_EQ(Read(album + "/a_1.jpg"), "picture a");
    EXPECT_EQ(dlg.History.value(0), album);

    // Into another folder over a read-only file: both questions; No to the second keeps it.
    Write(other + "/a.jpg", "old");
    SetReadOnly(other + "/a.jpg", true);
    dlg.SetFolder(other);
    prompter.texts.clear();
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
    EXPECT_FALSE(Ok(TOpenDlg::CopyTo));
    EXPECT_EQ(prompter.texts, QStringList({"A file with the same name already exists. Overwrite it?\n\r" + other + "/a.jpg",
                                           "This is a ReadOnly File. Replace it anyway?\n\r" + other + "/a.jpg"}));
    EXPECT_EQ(Read(other + "/a.jpg"), "old");
    dlg.SetFolder(other);
    ASSERT_TRUE(Ok(TOpenDlg::MoveTo));
    EXPECT_EQ(Read(other + "/a.jpg"), "picture a");
    EXPECT_FALSE(QFile::exists(album + "/a.jpg"));
}

TEST_F(OpenDialogModes, CopyFromWantsAFileOfAnotherFolder)
{
    EXPECT_FALSE(Ok(TOpenDlg::CopyFrom));
    Run(TOpenDlg::CopyFrom, [&] {
        emit dlg.FileListBox1->itemClicked(dlg.FileListBox1->item(0));
        dlg.Button1->click();
    });
    EXPECT_EQ(prompter.texts, QStringList({"You should select a file to copy from.",
                                           "You should select the file in other folder to copy from."}));
    Write(other + "/b.jpg", "picture b");
    dlg.SetFolder(other);
    ASSERT_TRUE(Run(TOpenDlg::CopyFrom, [&] {
        emit dlg.FileListBox1->itemClicked(dlg.FileListBox1->item(0));
        dlg.Button1->click();
    }));
    EXPECT_EQ(dlg.SelectedPath, album + "/b.jpg");
    EXPECT_EQ(Read(album + "/b.jpg"), "picture b");
}

TEST_F(OpenDialogModes, FolderModesCreateOpenAndDelete)
{
    ASSERT_TRUE(Run(TOpenDlg::NewFolder, [&] {
        dlg.cmbFolderName->setEditText("fresh");
        dlg.Button1->click();
    }));
    EXPECT_EQ(dlg.NewFolderPath, album + "/fresh");
    EXPECT_TRUE(QFileInfo(album + "/fresh").isDir());
    EXPECT_EQ(dlg.History.value(0), album + "/fresh");
    EXPECT_FALSE(Run(TOpenDlg::NewFolder, [&] {
        dlg.cmbFolderName->setEditText("fresh");
        dlg.Button1->click();
    }));
    EXPECT_EQ(prompter.texts.last(), album + "/fresh already exists.\r\nPlease select a new folder name");

    EXPECT_FALSE(Ok(TOpenDlg::OpenFile, "nothing.jpg"));
    EXPECT_EQ(prompter.texts.last(), album + "/nothing.jpg\r\nThis file does not exists, Select another one please.");
    EXPECT_TRUE(Ok(TOpenDlg::OpenFile, "a.jpg"));
    EXPECT_EQ(dlg.SelectedPath, album + "/a.jpg");

    prompter.texts.clear();
    prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(Ok(TOpenDlg::DeleteFolder));
    EXPECT_TRUE(QFileInfo(album).isDir());
    ASSERT_TRUE(Ok(TOpenDlg::DeleteFolder));
    EXPECT_EQ(prompter.texts.last(), album + "\r\n\r\nWARNING!\r\n\r\nDo you really want to delete this Folder\r\n"
                                             "including all the files and sub-folders in it\r\nPERMANENTLY from the DISK?");
    EXPECT_FALSE(QFileInfo::exists(album));
    EXPECT_EQ(dlg.ChosenFolder(), dir.path());
}

TEST_F(OpenDialogModes, DeleteFileAsksAndValidationAloneChangesNothing)
{
    EXPECT_TRUE(Run(TOpenDlg::DeleteFile, [&] { dlg.Button1->click(); }, false));
    EXPECT_TRUE(prompter.texts.isEmpty());
    EXPECT_TRUE(QFile::exists(album + "/a.jpg"));
    prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(Ok(TOpenDlg::DeleteFile));
    EXPECT_TRUE(QFile::exists(album + "/a.jpg"));
    EXPECT_TRUE(Ok(TOpenDlg::DeleteFile));
    EXPECT_FALSE(QFile::exists(album + "/a.jpg"));
}
