#pragma once
// The page comments of an album: one list of lines, a record per file. A record is "#~#" + the file
// name, the x and y position in ten-thousandths of the page size (so a resize keeps the block in
// place), the transparent and border flags, the background colour, the font description, then the
// text lines. A record ends at the next line that begins with "#~#". Files are found by name,
// compared upper-cased. The whole list is the album folder's "~mqxTxt.~pa".
#include "core/annotations/CommentFont.h"

#include "core/annotations/FoldedKey.h"

#include <QStringList>
#include <cstdint>
#include <unordered_map>

namespace pagero {

inline constexpr const char *kCommentRecordMark = "#~#";

struct PageComment {
    int x = 0, y = 0;                // block's top-left corner, page pixels
    bool transparent = true;          // letters only, no background
    bool border = false;              // black frame round the block
    uint32_t background = 0xFFFFFF;   // red in the low byte
    CommentFont font;
    QStringList lines;
};

class CommentStore {
public:
    const QStringList &Lines() const { return lines_; }
    void SetLines(const QStringList &lines);
    void Clear() { SetLines({}); }

    enum class LoadResult { Missing, Loaded, Unreadable };
    // Replaces the store with the file's lines. A missing file gives an empty store; a file that
    // exists but cannot be read whole (no permission, absurdly large) gives an empty store too and
    // Unreadable, and the caller must then not write over it.
    LoadResult LoadFile(const QString &path);
    // The store's bytes: every line followed by CR LF.
    QByteArray Bytes() const;

    struct Range { bool found = false; int first = 0; int end = 0; };
    // The record of the file named like the name part of `path`: its first line and one past its last.
    Range FindComment(const QString &path) const;
    // False when the file has no record. Position lines, flags, colour or font lines that are not
    // numbers (or out of range) take the defaults of PageComment, so such a record is still drawn;
    // a record cut short has no text.
    bool ReadComment(const QString &path, int pageW, int pageH, PageComment &out) const;
    // Replaces the file's record; a comment without text lines only removes it. Text lines holding
    // line breaks are split; a text line starting with the record mark gets a leading space, so it
    // cannot cut the record short. False (store unchanged) for a name holding a line break.
    bool WriteComment(const QString &path, int pageW, int pageH, const PageComment &comment);
    // The record's lines exactly as stored (empty when there is none), and putting them back in place
    // of whatever the file's record is then: an editor's Cancel restores the comment byte for byte.
    QStringList RecordOf(const QString &path) const;
    void PutRecord(const QString &path, const QStringList &record);
    // The record's first line takes the new file name. False when there is no record.
    bool RenameComment(const QString &oldPath, const QString &newPath);
    bool DropComment(const QString &path);

private:
    void EnsureIndex() const;
    QStringList lines_;
    // File name (compared upper-cased) -> first line of its first record; rebuilt after a change. The
    // keys are views into lines_, which does not change while the index is valid.
    mutable std::unordered_map<QStringView, int, FoldedHash<FoldUpper>, FoldedEqual<FoldUpper>> index_;
    mutable bool indexed_ = false;
};

} // namespace pagero
