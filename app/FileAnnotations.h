#pragma once
// What the file commands tell the album's annotations: a page file was renamed or deleted, so its
// bookmark and its comment follow it (or go with it). The commands rebuild the book afterwards as
// usual, which places the bookmark tabs anew.
#include <QString>

namespace pagero {

class FileAnnotations {
public:
    virtual ~FileAnnotations() = default;
    // Full paths (or bare names) of the file before and after the rename.
    virtual void FileRenamed(const QString &oldPath, const QString &newPath) = 0;
    // The file was deleted or moved out of the album.
    virtual void FileDropped(const QString &path) = 0;
};

} // namespace pagero
