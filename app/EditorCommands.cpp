#include "app/EditorCommands.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "core/book/FlipState.h"
#include "core/common/MyLib.h"
#include "editor/OrvLead_Fm.h"
#include <QAction>

namespace pagero {

EditorCommands::EditorCommands(BookContext &book, const MainMenus &menus, const QString &dataFolder,
                               std::function<QString()> popupFile, QObject *parent)
    : QObject(parent), book_(book), dataFolder_(dataFolder)
{
    const MainActions &a = menus.actions;
    const auto left = [this] { Edit(book_.FileOfPage(book_.Spread().LeftPageNo)); };
    const auto right = [this] { Edit(book_.FileOfPage(book_.Spread().RightPageNo)); };
    for (QAction *edit : {a.EditLImg, a.LeftPageImage3}) ConnectCommand(book_, edit, this, left);
    for (QAction *edit : {a.EditRImg, a.RightPageImage3}) ConnectCommand(book_, edit, this, right);
    ConnectCommand(book_, a.mnuEdit2, this, [this, popupFile] { Edit(popupFile()); });
}

EditorCommands::~EditorCommands() = default;

editor::TLead_Fm &EditorCommands::EnsureEditor()
{
    if (!editor_) {
        editor_ = new editor::TLead_Fm(dataFolder_, book_.ParentWidget());
        editor_->PrintFile = PrintFile;
        connect(editor_, &QDialog::finished, this, [this] { book_.Rebuild(); });
    }
    return *editor_;
}

bool EditorCommands::Edit(const QString &path)
{
    const int kind = MediaKind(path);
    if (path.isEmpty() || (kind != KindPicture && kind != KindImaging)) return false;
    if (EnsureEditor().EditFile(path)) return true;
    book_.Rebuild();
    return false;
}

} // namespace pagero
