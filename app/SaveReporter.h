#pragma once
// Stored files the window writes (settings, background pictures) report a failed save once per run
// and file: the user is told which file and why, the log gets the same line, and a later failure of
// the same file stays quiet so closing never turns into a string of messages.
#include <QSet>
#include <QString>

namespace pagero {

class SaveReporter {
public:
    // Returns `saved`; on false, tells the user about `path` unless it was told before.
    bool Check(bool saved, const QString &path);

    // The end of a thumbnail build: a cache that cannot be written at all (`unavailable`) is told
    // once per run, as the book then shows without thumbnails; thumbnails or an index that could
    // not be written (`writeFailed`) are told once for the build. `cacheRoot` is the cache's folder.
    void CheckThumbnailCache(bool unavailable, bool writeFailed, const QString &cacheRoot);

    // Why a file in an existing or missing folder could not be written, in words.
    static QString ReasonFor(const QString &path);

private:
    QSet<QString> told_;
};

} // namespace pagero
