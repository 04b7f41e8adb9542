#pragma once
// What pasting and scanning a picture into the album share: the main commands rest while the
// picture is being saved, and a picture saved inside the album folder becomes a page of the book.
#include <QString>
#include <functional>

namespace pagero {

class BookContext;
struct MainMenus;

// Disables (or enables again) the main menus, the tool bar and the pop-up's "A&uto Flipping", as
// while auto flipping; enabling also refreshes the tool bar.
void RestMainCommands(BookContext &book, const MainMenus &menus, bool resting);
// Whether `path` lies directly in `folder` (the album's files are those of its folder).
bool InAlbumFolder(const QString &path, const QString &folder);
// The page of the album file `path`, or -1 when the book has no page for it.
int FilePageOf(const BookContext &book, const QString &path);

} // namespace pagero
