#include "app/ViewController.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/FlipState.h"
#include "core/common/MyLib.h"
#include "pages/OrvImgInfoBox.h"
#include "pages/OrvPreviewPic.h"
#include <QAction>
#include <QMenu>

namespace pagero {

ViewController::ViewController(BookContext &book, const MainMenus &menus, std::function<QString()> popupFile,
                               std::function<void()> removeHighlight, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), removeHighlight_(std::move(removeHighlight))
{
    infoBox_ = new TInfoBox(book_.ParentWidget());
    preview_ = new TPreviewPic_Fm(book_.ParentWidget());
    preview_->SetInfoBox(infoBox_);
    // The preview's file commands (edit, save as, copy, move, rename, delete, print) are not
    // offered yet.
    for (QAction *later : {preview_->Edit1, preview_->SaveAs1, preview_->CopyTo1, preview_->MoveTo1,
                           preview_->Rename1, preview_->Delete1, preview_->Print1})
        later->setEnabled(false);

    const MainActions &a = menus.actions;
    const auto leftFile = [this] { return book_.FileOfPage(book_.Spread().LeftPageNo); };
    const auto rightFile = [this] { return book_.FileOfPage(book_.Spread().RightPageNo); };
    // Enabled when their menu opens.
    ConnectCommand(book_, a.LeftImage1, this, [=, this] { PreviewOrPlay(leftFile()); }, false);
    ConnectCommand(book_, a.RightImage1, this, [=, this] { PreviewOrPlay(rightFile()); }, false);
    ConnectCommand(book_, a.LeftImage2, this, [=, this] { ShowInformation(leftFile()); }, false);
    ConnectCommand(book_, a.RightImage2, this, [=, this] { ShowInformation(rightFile()); }, false);
    ConnectCommand(book_, a.btnView1, this, [this, popupFile] {
        if (const QString file = popupFile(); !file.isEmpty()) PreviewOrPlay(file);
    }, false);
    ConnectCommand(book_, a.btnInfo1, this, [this, popupFile] {
        if (const QString file = popupFile(); !file.isEmpty()) ShowInformation(file);
    }, false);
}

void ViewController::PreviewOrPlay(const QString &path)
{
    const int kind = MediaKind(path);
    if (kind == KindWave || kind == KindMidi || kind == KindVideo) {
        if (playMedia) playMedia(path);
        return;
    }
    if (kind != KindPicture && kind != KindImaging) return;
    if (removeHighlight_) removeHighlight_();
    preview_->ShowPreview(path);
}

void ViewController::ShowInformation(const QString &path)
{
    if (path.isEmpty()) return;
    pagero::btnInfo1Click(*infoBox_, path, showMediaInfo);
}

} // namespace pagero
