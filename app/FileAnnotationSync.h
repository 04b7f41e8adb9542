#pragma once
// Keeps an album's bookmarks and comments in step with a page file that was renamed or deleted.
// The book does not hold the album's bookmarks and comments in memory yet, so this edits the stored
// files themselves (the bookmark file named by the register, the album folder's comment file); once
// the book holds them, the file commands' hook is pointed at the book's copies instead.
#include <QString>

namespace pagero {

// `newPath` empty: the file was deleted (its bookmark and comment go); otherwise they follow the new
// name. False when a stored file that had to change could not be written (the old one then stays).
bool SyncStoredAnnotations(const QString &bookmarkDir, const QString &albumFolder, const QString &oldPath,
                           const QString &newPath);

} // namespace pagero
