#pragma once
// The album page list: the album folder's files that match the filter mask, in page order, as four
// parallel lists (name, size, date, kind) that are always permuted together.
#include <QString>
#include <QStringList>
#include <functional>

namespace pagero {

// The mask of a new install: the classic formats, then today's photo formats and camera RAW files.
inline const char *const kDefaultFilterMask =
    "*.bmp;*.jpg;*.pcx;*.wmf;*.ico;*.pcd;*.gif;*.tif;*.png;*.psd;*.wav;*.mid;*.avi;"
    "*.jpeg;*.jpe;*.jfif;*.tiff;*.heic;*.heif;*.avif;*.webp;"
    "*.cr2;*.cr3;*.nef;*.arw;*.dng;*.orf;*.rw2;*.raf";

// 0 default (listing order), 1 by name, 2 by type, 3 by size, 4 by date.
enum SortOrder : int { SortDefault = 0, SortByName = 1, SortByType = 2, SortBySize = 3, SortByDate = 4 };

class PageList {
public:
    using Progress = std::function<void(int percent)>;

    // Lists the ordinary, non-hidden files of `folder` that match `mask` (";"-separated wildcards,
    // matched ignoring case), in case-insensitive alphabetical order (names equal but for case by
    // character code); then sorts by `sortOrder` with a stable sort: 2 by extension as written, by
    // character code ("JPG" before "bmp"); 3 by size; 4 by date; 0, 1 and unknown orders keep the
    // listing order. Each file's size and age are read once; a file that vanished before it could be
    // measured gets size -1 and age -1. `progress` gets i * 100 / count, once per new percent value.
    // Returns false when the folder cannot be read (the list is then empty).
    bool Build(const QString &folder, const QString &mask, int sortOrder, const Progress &progress = {});
    void Clear();

    int Count() const { return names.size(); }
    QString PagePath(int i) const;          // folder + "/" + names[i]
    QString Folder() const { return folder_; }
    QString Mask() const { return mask_; }
    int Order() const { return sortOrder_; }

    qint64 SizeOf(int i) const;             // integer value of sizes[i]
    int32_t DateOf(int i) const;            // integer value of dates[i]
    int KindOf(int i) const;                // integer value of kinds[i]
    int IndexOfPath(const QString &path) const;   // -1 when absent; compares ignoring case

    // True when the folder's listing no longer matches the list by position (count, names, ages), so
    // under the type, size and date orders a list out of listing order always counts as changed.
    // True as well when the folder can no longer be read. False when nothing was built.
    bool HasFolderChanged() const;

    // The four parallel lists, stored as decimal text as the program keeps them.
    QStringList names, sizes, dates, kinds;

private:
    QStringList listing() const;
    QString folder_, mask_;
    int sortOrder_ = SortByName;
    bool built_ = false;
};

// Lists the matching file names of a folder in case-insensitive alphabetical order (the folder
// listing control of the filter dialog and of the page list).
QStringList ListMatchingFiles(const QString &folder, const QString &mask);

} // namespace pagero
