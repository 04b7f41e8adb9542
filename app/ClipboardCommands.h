#pragma once
// The book's clipboard commands: a page's picture goes to the clipboard ("&Copy To Clipboard", the
// pop-up's "C&opy to Clipboard" and the copy buttons), and a clipboard picture comes into the album
// as a new file ("&Paste From Clipboard" and the paste button), proposed as "Z_BMP.bmp" (then
// "Z_BMP_1.bmp", ...) and saved through the editor's save dialog. Both go through the image editor.
#include <QObject>
#include <QString>
#include <functional>

namespace pagero {

class BookContext;
class EditorCommands;
struct MainMenus;

class ClipboardCommands : public QObject {
public:
    ClipboardCommands(BookContext &book, const MainMenus &menus, EditorCommands &editor,
                      std::function<QString()> popupFile, QObject *parent = nullptr);

    // Puts the picture of the page file `path` on the clipboard; false when it is not a picture or
    // cannot be loaded (the editor's load message is shown).
    bool CopyPagePicture(const QString &path);
    // Saves the clipboard's picture into the album; `done` gets whether it was saved (tests wait
    // for it; the album's rebuild and flip have been asked for by then).
    void PastePicture(std::function<void(bool saved)> done = {});
    // The copy buttons follow the open spread, the paste button the clipboard.
    void RefreshToolBar();
    bool ClipboardHasPicture() const { return clipboardPicture_; }

private:
    void ClipboardChanged();

    BookContext &book_;
    const MainMenus &menus_;
    EditorCommands &editor_;
    bool clipboardPicture_ = false;
    bool pasting_ = false;
};

} // namespace pagero
