#pragma once
// "Image &Edit": the left or right page's picture (or the one under the pop-up menu) opens in the
// image editor; when the editor closes, the book is rebuilt so that changed and new files show.
#include <QObject>
#include <QString>
#include <functional>

namespace pagero {

class BookContext;
struct MainMenus;
namespace editor { class TLead_Fm; }

class EditorCommands : public QObject {
public:
    // `dataFolder` holds the editor's parameters file; `popupFile` names the file under the pop-up.
    EditorCommands(BookContext &book, const MainMenus &menus, const QString &dataFolder,
                   std::function<QString()> popupFile, QObject *parent = nullptr);
    ~EditorCommands() override;
    // Opens the editor on `path`; false when it could not be loaded (the book is rebuilt anyway).
    bool Edit(const QString &path);
    editor::TLead_Fm *Editor() const { return editor_; }
    // The editor window, made at its first use.
    editor::TLead_Fm &EnsureEditor();
    // How the editor's "&Print..." prints a picture file (set before the editor is made).
    std::function<bool(const QString &path)> PrintFile;

private:
    BookContext &book_;
    QString dataFolder_;
    editor::TLead_Fm *editor_ = nullptr;
};

} // namespace pagero
