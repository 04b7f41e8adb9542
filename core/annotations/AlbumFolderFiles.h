#pragma once
// The files the program keeps inside an album folder: the two-line album name "~mqxNm.~pa" shown on
// the front cover and the page comments "~mqxTxt.~pa"; "~mqxft.~t" is only ever created and deleted
// at once to learn whether the folder can be written.
#include "core/annotations/CommentStore.h"

#include <QStringList>

namespace pagero {

inline constexpr const char *kAlbumNameFileName = "~mqxNm.~pa";
inline constexpr const char *kCommentFileName = "~mqxTxt.~pa";
inline constexpr const char *kWriteTestFileName = "~mqxft.~t";

// "Folder Name" and the folder's last component in capitals.
QStringList DefaultAlbumName(const QString &albumFolder);
// The name file's two lines; the defaults when it is missing or does not hold exactly two lines.
QStringList ReadAlbumName(const QString &albumFolder);
// Creates and deletes the write-test file; false when it cannot be created.
bool CanWriteFolder(const QString &albumFolder);

class AlbumFolderFiles {
public:
    // Reads the name and the comments and runs the write test; a screen-saver run, which writes
    // nothing, does not even create the test file and counts the folder as not writable.
    void Load(const QString &albumFolder, bool screenSaverMode = false);

    // Writes the name and the comments whole and atomically. Nothing is written in screen-saver mode,
    // nor a file whose content is already on disk, nor a file that would only say what its absence
    // says (the default name, no comments). A comment file that could not be read at opening is never
    // written over (comments made since then make the result false). False when a file that had to be
    // written could not be: the previous files stay, and `failedPath` (when given) names the first
    // file that was not saved.
    bool Save(const QString &albumFolder, bool screenSaverMode, QString *failedPath = nullptr) const;

    QStringList AlbumNameLines;      // exactly two lines while an album is open
    CommentStore Comments;
    bool Writable = false;           // result of the write test
    bool CommentsUnreadable = false;
    // "&Annotate" is offered only when new comments can be kept.
    bool CanAnnotate() const { return Writable && !CommentsUnreadable; }
};

} // namespace pagero
