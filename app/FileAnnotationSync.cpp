#include "app/FileAnnotationSync.h"

#include "core/annotations/AlbumFiles.h"
#include "core/annotations/BookmarkEdits.h"
#include "core/annotations/BookmarkFile.h"
#include "core/annotations/BookmarkRegister.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

namespace pagero {

bool SyncStoredAnnotations(const QString &bookmarkDir, const QString &albumFolder, const QString &oldPath,
                           const QString &newPath)
{
    bool ok = true;
    const QString bookmarkFile = BookmarkRegister(bookmarkDir).FindBookmarkFile(albumFolder);
    BookmarkTable table;
    if (!bookmarkFile.isEmpty() && ReadBookmarkFile(bookmarkFile, table)) {
        const bool changed = newPath.isEmpty() ? DropBookmarkOfFile(table, oldPath)
                                               : RenameBookmarkFile(table, oldPath, newPath);
        if (changed) ok = WriteBookmarkFile(bookmarkFile, table) && ok;
    }

    const QString commentFile = JoinPath(albumFolder, kCommentFileName);
    CommentStore comments;
    // A comment file that cannot be read whole is never written over.
    if (!commentFile.isEmpty() && comments.LoadFile(commentFile) == CommentStore::LoadResult::Loaded) {
        const bool changed = newPath.isEmpty() ? comments.DropComment(oldPath) : comments.RenameComment(oldPath, newPath);
        if (changed) ok = WriteFileAtomically(commentFile, comments.Bytes()) && ok;
    }
    return ok;
}

} // namespace pagero
