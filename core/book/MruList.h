#pragma once
// The list of recently used album folders, most recent first. It is never trimmed (it is stored
// whole in the settings file); only its first twelve entries become the File menu items MRU1..MRU12.
#include <QString>
#include <QStringList>

namespace pagero {

inline constexpr int kMruMenuItems = 12;

// Puts folder at the front (a closed album returns to the top).
void AddToMRU(QStringList &mru, const QString &folder);
// Deletes the first entry equal to folder ignoring letter case (the open album is never listed).
void RemoveFromMRU(QStringList &mru, const QString &folder);
// The list without the folders that no longer exist.
QStringList RefreshedMRU(const QStringList &mru);
// Captions of the shown items: "&" + (i + 1) + ". " + folder for the first twelve entries. An "&" in
// a folder name is doubled so that it shows as itself rather than as an accelerator.
QStringList MenuCaptions(const QStringList &mru);
// The folder of a caption: everything up to and including the character after the first "." is
// removed, and doubled "&" become one again. A caption without "." is returned as it stands.
QString FolderFromCaption(const QString &caption);

} // namespace pagero
