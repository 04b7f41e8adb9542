#pragma once
// The book background and the cover pattern (colour, bitmap or default) and the preview's
// background picture: chosen by the Options commands, loaded at start and saved with the settings.
#include <QImage>
#include <QObject>

namespace pagero {

class BookContext;
class SaveReporter;
struct BookScene;
struct MainMenus;

class BackgroundController : public QObject {
public:
    // `scene` holds the book's background and cover pictures; `previewBack` the preview's.
    BackgroundController(BookContext &book, const MainMenus &menus, BookScene &scene, QImage &previewBack,
                         SaveReporter &saves, QObject *parent = nullptr);

    // The pictures of the kinds that the settings say are bitmaps; a kind whose picture is missing
    // falls back to its colour.
    // The screen background before the settings are read: the data folder's default picture, or the
    // no-book grey when there is none.
    void LoadDefault();
    void Load();
    // Each bitmap kind's picture, written atomically; a failure is told once.
    void Save();
    // which: 1 the book background, 2 the cover pattern; kind: 0 default, 1 colour, 2 bitmap.
    void Choose(int which, int kind);

private:
    BookContext &book_;
    BookScene &scene_;
    QImage &previewBack_;
    SaveReporter &saves_;
};

} // namespace pagero
