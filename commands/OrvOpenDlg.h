#pragma once
// The folder and file chooser. One modal window serves every folder and file choice of the program;
// each mode sets its captions and what is enabled, and its OK check validates the choice and, when
// asked to (DoIt), performs the operation itself: create, copy, move, rename or delete. The window
// keeps a history of the folders chosen in this run.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;

namespace pagero {

class TOpenDlg : public QDialog {
    Q_OBJECT
public:
    enum Modes { NewFolder = 0, OpenFolder = 1, OpenFile = 2, CopyFrom = 3, CopyTo = 4, MoveTo = 5,
                 RenameFile = 6, DeleteFile = 7, DeleteFolder = 8 };

    explicit TOpenDlg(QWidget *parent = nullptr);

    // Shows the dialog modally in `mode`; true when it closed by a successful OK.
    bool ExecuteMode(int mode, bool doIt);
    void SetFolder(const QString &path);
    QString ChosenFolder() const { return folder_; }
    // The mask of the selected entry of the file type filter.
    QString Mask() const;
    void SetMask(const QString &mask);   // selects the first entry with that mask, else the first entry

    QString SelectedPath, CurrentFolder, NewFolderPath, SourceFile;
    int Mode = OpenFolder;
    bool DoIt = true;
    QStringList History;   // chosen folders, newest first, at most 12

    // Controls, named as the window's design names them (tests drive them directly).
    QComboBox *DriveComboBox1, *cmbFolderName, *FilterComboBox1;
    QListWidget *DirectoryListBox1, *FileListBox1;
    QLineEdit *edFileName, *Edit1, *Edit2;
    QLabel *stxFolder, *stxFileName, *Label1, *Label2, *Label3, *Preview;
    QPushButton *Button1, *BitBtn1, *SpeedButton1;
    QTimer *Timer1;

    // Runs the OK check of the current mode; on success records the history and accepts.
    void Button1Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void refreshLists();
    void refreshInfo();
    void directoryActivated(QListWidgetItem *item);
    void fileClicked(QListWidgetItem *item);
    void folderBoxChosen(int index);
    void previewFile(const QString &path);
    void pushHistory(const QString &folder);
    // The OK checks of the modes (OrvOpenDlgChecks.cpp); true when the choice stands.
    bool checkNewFolder();
    bool checkOpenFolder();
    bool checkOpenFile();
    bool checkCopyFrom();
    bool checkCopyOrMoveTo();
    bool checkRename();
    bool checkDeleteFile();
    bool checkDeleteFolder();
    void applyMode();
    QString typedPath(const QString &text) const;   // relative to the listed folder when it has no "/"
    QString folder_;
};

} // namespace pagero
