#include "app/FolderController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "app/OrvSetFileTypeFilter.h"
#include "commands/OrvOpenDlg.h"
#include "common/OrvMyLib.h"
#include "core/book/MruList.h"
#include "core/book/PageList.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"
#include <QAction>
#include <QDir>

namespace pagero {

FolderController::FolderController(BookContext &book, const MainMenus &menus, AlbumSession &session,
                                   QWidget *dialogParent, std::function<void(const QString &)> switchAlbum,
                                   const FolderChooserFn *windowChooser)
    : book_(book), menus_(menus), session_(session), switchAlbum_(std::move(switchAlbum)),
      windowChooser_(windowChooser), openDlg_(new TOpenDlg(dialogParent)),
      filterDlg_(new TSetFileTypeFilter_Fm(dialogParent))
{
    const MainActions &act = menus.actions;
    ConnectCommand(book_, act.Open2, this, [this] { Open(); });
    ConnectCommand(book_, act.OpenImg, this, [this] { Open(); });
    for (QAction *item : menus.mru)
        ConnectCommand(book_, item, this, [this, item] { OpenRecent(item); }, false);
    ConnectCommand(book_, act.FilterPages1, this, [this] { if (session_.AlbumOpen) FilterPages(); });
}

bool FolderController::Pick(const QString &current, const QString &preset, QString &folder)
{
    if (windowChooser_ && *windowChooser_) return (*windowChooser_)(preset, folder);
    if (ChooserHooks::FolderDialogHook) return ChooserHooks::FolderDialogHook(preset, folder);
    openDlg_->CurrentFolder = current;
    openDlg_->SetFolder(preset);
    if (!openDlg_->ExecuteMode(TOpenDlg::OpenFolder, true)) return false;
    folder = openDlg_->ChosenFolder();
    return true;
}

AlbumHost::Choice FolderController::ChooseFolder(const QString &preset, QString &folder, bool terminating)
{
    const bool scripted = (windowChooser_ && *windowChooser_) || ChooserHooks::FolderDialogHook;
    if (!scripted && openDlg_->isVisible()) return AlbumHost::Choice::AlreadyShowing;
    if (!scripted && terminating) return AlbumHost::Choice::Cancelled;
    const QString current = session_.AlbumOpen ? session_.AlbumFolder : QString();
    return Pick(current, preset, folder) ? AlbumHost::Choice::Picked : AlbumHost::Choice::Cancelled;
}

bool FolderController::AskExitInsteadOfOpening()
{
    return ThePrompter().Confirm("In order not to exit the program, \n\ryou must open a folder now."
                                 "\n\r\n\rDo you really want to exit the program?");
}

void FolderController::TellFolderMissing(const QString &folder)
{
    ThePrompter().Inform(folder + "\r\n" + "does not exist, please open another folder.");
}

void FolderController::TellPathMissing(const QString &path)
{
    ThePrompter().Inform(path + "\r\n" + "does not exist.");
}

void FolderController::TellSameFolderAndMask()
{
    ThePrompter().Inform("You have selected the current folder and the same filter mask.");
}

void FolderController::Open()
{
    QString folder;
    if (Pick(session_.AlbumFolder, session_.AlbumFolder, folder)) switchAlbum_(folder);
}

void FolderController::OpenRecent(QAction *item)
{
    const QString folder = FolderFromCaption(item->text());
    // A recent item naming the open album (a duplicate, or another spelling of the same folder)
    // does nothing: folders compare as the recent list compares them, ignoring case.
    if (session_.AlbumOpen
        && QDir::cleanPath(folder).compare(QDir::cleanPath(session_.AlbumFolder), Qt::CaseInsensitive) == 0)
        return;
    openDlg_->SetMask(kDefaultFilterMask);
    switchAlbum_(folder);
}

void FolderController::ShowRecentFolders(const QStringList &mru)
{
    const QStringList captions = MenuCaptions(mru);
    for (int i = 0; i < menus_.mru.size(); ++i) {
        QAction *item = menus_.mru[i];
        if (i < captions.size()) {
            item->setText(captions[i]);
            item->setVisible(true);
            item->setEnabled(true);
        } else {
            item->setVisible(false);
        }
    }
    menus_.mruSeparator->setVisible(!captions.isEmpty());
}

void FolderController::RememberFolder(const QString &folder)
{
    openDlg_->SetFolder(folder);
}

QString FolderController::DialogMask() const
{
    return openDlg_->Mask();
}

void FolderController::FilterPages()
{
    filterDlg_->Preset(session_.AlbumFolder, session_.FilterMask);
    if (filterDlg_->exec() == QDialog::Accepted && filterDlg_->Mask() != session_.FilterMask) {
        book_.FlipTo(2, [this, mask = filterDlg_->Mask()] {
            session_.FilterMask = mask;
            book_.Rebuild([this](bool built) {
                if (built) book_.DrawBook();
                book_.RefreshToolBar();
            });
        });
    }
    filterDlg_->SetFolder(QDir::currentPath());
    book_.RefreshToolBar();
}

} // namespace pagero
