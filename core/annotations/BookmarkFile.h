#pragma once
// An album's bookmark file: little-endian 32-bit count, then count records of two 32-bit values
// (section, file index), then count lines of file names, each ended by CR LF. An album without
// bookmarks has no file at all.
#include "core/annotations/BookMarkRec.h"

#include <QByteArray>
#include <QString>

namespace pagero {

// The bytes of a bookmark file for the stored fields of `table`.
QByteArray EncodeBookmarkFile(const BookmarkTable &table);
// Parses a bookmark file. A count that is negative, above kMaxBookmarks or that does not match the
// length (too few bytes for the records, or not exactly count name lines) makes the whole file
// invalid: false and an empty table, as for a missing file.
bool DecodeBookmarkFile(const QByteArray &bytes, BookmarkTable &table);

// False (and an empty table) when the file is missing or invalid.
bool ReadBookmarkFile(const QString &path, BookmarkTable &table);
// Writes the table atomically; with no bookmarks the file is deleted instead. False when the file
// could not be written or deleted; the previous file is then left as it was.
bool WriteBookmarkFile(const QString &path, const BookmarkTable &table);

} // namespace pagero
