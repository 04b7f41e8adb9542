#pragma once
// The bookmark register "~bmAllFiles.~bm" in the program's bookmark folder maps album folders to the
// names of their bookmark files: pairs of CR LF lines, the folder exactly as it was opened, then the
// file name (no folder). Folders compare ignoring case, as do file names.
#include <QString>
#include <QStringList>

namespace pagero {

inline constexpr const char *kBookmarkRegisterName = "~bmAllFiles.~bm";

class BookmarkRegister {
public:
    explicit BookmarkRegister(const QString &bookmarkDir) : dir_(bookmarkDir) {}

    QString Dir() const { return dir_; }
    QString RegisterPath() const;

    // "~bm" + the folder's last component without its extension + ".~bm" ("/a/Trip.1998" gives
    // "~bmTrip.~bm"); `n` > 0 is put before ".~bm" to make the name unique.
    static QString CandidateName(const QString &albumFolder, int n = 0);

    // The full path of the album's bookmark file, registering the album (and creating the folder and
    // the register) when it is new. An album already registered is answered without a write. Empty
    // when the folder or the register cannot be written: a file that is not registered could later
    // be handed to another album.
    QString BookmarkFileFor(const QString &albumFolder) const;

    // Start-up clean-up: every pair whose album folder no longer exists is removed and its bookmark
    // file deleted; the register is written back only when it changed. False when that write failed.
    bool Purge() const;

    // Deletes every file in the bookmark folder, the register included. False when some file stayed.
    bool EmptyFolder() const;

    // The register's lines; an unpaired last line is dropped. Empty when there is no register;
    // `usable` turns false for a register too large to be one this program wrote.
    QStringList ReadLines(bool *usable = nullptr) const;

private:
    QString dir_;
};

} // namespace pagero
