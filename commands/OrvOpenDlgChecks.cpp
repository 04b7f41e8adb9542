// The OK checks of the folder and file chooser, one per mode. A refusal tells the user why and keeps
// the window open; with DoIt the accepted choice is carried out here (create, copy, move, rename,
// delete), every question going through the prompter.
#include "commands/OrvOpenDlg.h"
#include "common/OrvMyLib.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace pagero {

namespace {

const QLatin1String kLfCr("\n\r");

bool Confirm(const QString &question) { return ThePrompter().Confirm(question); }

bool SameFolder(const QString &a, const QString &b)
{
    return !a.isEmpty() && QDir::cleanPath(a) == QDir::cleanPath(b);
}

// A folder's parent, or "" for the root.
QString ParentOf(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    const QString parent = QFileInfo(clean).absolutePath();
    return parent == clean ? QString() : parent;
}

} // namespace

QString TOpenDlg::typedPath(const QString &text) const
{
    const QString trimmed = text.trimmed();
    return QDir::cleanPath(trimmed.contains('/') ? trimmed : QDir(folder_).filePath(trimmed));
}

bool TOpenDlg::checkNewFolder()
{
    const QString text = cmbFolderName->currentText().trimmed();
    if (text.isEmpty() || text.contains('/')) return false;
    const QString path = QDir(folder_).filePath(text);
    if (!CreateFolderShown(path)) return false;
    NewFolderPath = path;
    refreshLists();
    return true;
}

bool TOpenDlg::checkOpenFolder()
{
    const QString path = typedPath(cmbFolderName->currentText());
    if (!QFileInfo(path).isDir()) {
        ThePrompter().Inform(path + "\r\n" + "This folder does not exists, Select another one please.");
        return false;
    }
    if (path == CurrentFolder) {
        ThePrompter().Inform("You already have that folder opened!");
        return false;
    }
    // The caller opens ChosenFolder(): make it the folder that was checked, also when it was typed.
    if (path != folder_) {
        const QString keepMask = Mask();
        SetFolder(path);
        SetMask(keepMask);
    }
    return true;
}

bool TOpenDlg::checkOpenFile()
{
    const QString path = typedPath(edFileName->text());
    if (edFileName->text().trimmed().isEmpty() || !QFileInfo(path).isFile()) {
        ThePrompter().Inform(path + "\r\n" + "This file does not exists, Select another one please.");
        return false;
    }
    SelectedPath = path;
    return true;
}

bool TOpenDlg::checkCopyFrom()
{
    if (SelectedPath.isEmpty() || edFileName->text().isEmpty()) {
        ThePrompter().Inform("You should select a file to copy from.");
        return false;
    }
    const QString source = SelectedPath;
    if (SameFolder(QFileInfo(source).absolutePath(), CurrentFolder)) {
        ThePrompter().Inform("You should select the file in other folder to copy from.");
        return false;
    }
    const QString target = JoinPath(CurrentFolder, QFileInfo(source).fileName());
    if (!DoIt) return true;
    if (target.isEmpty() || !AskOverwrite(target, Confirm)) return false;
    if (!CopyFileShown(source, target, ExistingTarget::Replace)) return false;
    SelectedPath = target;
    return true;
}

bool TOpenDlg::checkCopyOrMoveTo()
{
    const QFileInfo source(SourceFile);
    const QString name = QFileInfo(edFileName->text().trimmed()).fileName();
    if (!source.isFile() || name.isEmpty()) return false;
    QString target = JoinPath(folder_, name);
    if (target.isEmpty()) return false;
    if (QDir::cleanPath(target).compare(QDir::cleanPath(SourceFile), Qt::CaseInsensitive) == 0) {
        if (!Confirm(target + kLfCr + "A file with the same name already exists. Duplicate the file name?"))
            return false;
        target = UniqueFileName(target);
        edFileName->setText(QFileInfo(target).fileName());
    }
    if (!AskOverwrite(target, Confirm)) return false;
    if (DoIt) {
        const bool done = Mode == MoveTo ? MoveFileShown(SourceFile, target, ExistingTarget::Replace)
                                         : CopyFileShown(SourceFile, target, ExistingTarget::Replace);
        if (!done) return false;
    }
    SelectedPath = target;
    return true;
}

bool TOpenDlg::checkRename()
{
    const QString oldPath = SourceFile;
    const QString oldExt = FileExtension(oldPath);
    const QString folder = QFileInfo(oldPath).absolutePath();
    QString name = QFileInfo(edFileName->text().trimmed()).fileName();
    const auto refuse = [this] {
        edFileName->setFocus();
        return false;
    };
    if (name.isEmpty() || !QFileInfo(oldPath).exists()) return refuse();

    // The extension runs from the last dot; a missing or bare one is replaced by the old file's.
    const int dot = name.lastIndexOf('.');
    QString newExt = dot < 0 ? QString() : name.mid(dot);
    if (newExt.size() < 2) {
        name = name.left(name.size() - newExt.size()) + oldExt;
        newExt = oldExt;
    }
    const QString newPath = QDir(folder).filePath(name);
    const bool extensionChanged = newExt.compare(oldExt, Qt::CaseInsensitive) != 0;
    // Long extensions (".jpeg", ".tiff", ".webp") are refused only as a change: a file that already
    // has one keeps it through a rename.
    if (extensionChanged && newExt.size() >= 5) {
        ThePrompter().Warn("File name extension too long!");
        return refuse();
    }
    if (newPath.compare(oldPath, Qt::CaseInsensitive) == 0) {
        ThePrompter().Warn("You entered the same name!");
        return refuse();
    }
    if (extensionChanged &&
        !Confirm("If you change a file name extension, the file may become unusable.\r\n\r\n"
                 "Are you sure you want to change it?")) {
        if (Confirm("Do you want to auto correct the file name extension?"))
            edFileName->setText(name.left(name.size() - newExt.size()) + oldExt);
        return refuse();
    }
    if (QFileInfo::exists(newPath) || QFileInfo(newPath).isSymLink()) {
        ThePrompter().Warn("This file name occupied already! Please enter a new name.\r\n" + newPath);
        return refuse();
    }
    if (DoIt && !RenameFileSafe(oldPath, newPath)) {
        ThePrompter().Fail(oldPath + "\r\n" + "Rename to " + "\r\n" + newPath);
        return refuse();
    }
    SelectedPath = newPath;
    return true;
}

bool TOpenDlg::checkDeleteFile()
{
    const QString name = QFileInfo(edFileName->text().trimmed()).fileName();
    if (name.isEmpty()) return false;
    SelectedPath = JoinPath(folder_, name);
    if (!DoIt) return true;
    return DeleteImageFileShown(SelectedPath);
}

bool TOpenDlg::checkDeleteFolder()
{
    const QString folder = folder_;
    const QString parent = ParentOf(folder);
    if (parent.isEmpty()) return false;   // the root is never deleted
    const QString warning = folder + "\r\n\r\nWARNING!\r\n\r\nDo you really want to delete this Folder\r\n"
                            "including all the files and sub-folders in it\r\nPERMANENTLY from the DISK?";
    if (!Confirm(warning)) return false;
    SetFolder(parent);   // the list leaves the folder before it goes
    if (DoIt && !DeleteFolderTreeShown(folder)) {
        // Whatever could not be deleted (a mount, a file without permission) is left and said.
        ThePrompter().Fail(folder + "\r\n" + "could not be deleted completely.");
    }
    refreshLists();
    return true;
}

} // namespace pagero
