#pragma once
// The book's scanner commands: File > "&Get Image" > "&Select Source..." chooses the scanner and
// "&Acquire..." scans a picture into the album, proposed as "Z_Img.jpg" in the save dialog. The
// image editor scans and saves; this side asks again before a scan is thrown away and turns the
// book to the new page.
#include <QObject>
#include <QString>
#include <functional>

namespace pagero {

class BookContext;
class EditorCommands;
struct MainMenus;

class ScanCommands : public QObject {
public:
    ScanCommands(BookContext &book, const MainMenus &menus, EditorCommands &editor, QObject *parent = nullptr);

    void SelectSource();
    // Scans and saves; `done` gets whether a picture was saved (the rebuild and the flip have been
    // asked for by then).
    void AcquirePicture(std::function<void(bool saved)> done = {});

private:
    void SaveScan(std::function<void(bool saved)> done);
    void Saved(const QString &path, std::function<void()> end);

    BookContext &book_;
    const MainMenus &menus_;
    EditorCommands &editor_;
    bool running_ = false;
};

} // namespace pagero
