#pragma once
// The common library's window-free routines: paths, unique names, sizes, kinds, fitting, numerals,
// format tables. Paths use "/" as separator; comparisons that users expect to ignore case do so.
#include <QString>
#include <cstdint>
#include <functional>

class QDateTime;
class QFileInfo;

namespace pagero {

// Media kinds by extension (lower-cased): 1 picture drawn directly, 2 picture for the imaging layer,
// 3 wave sound, 4 MIDI, 5 video.
enum FileKind : int { KindPicture = 1, KindImaging = 2, KindWave = 3, KindMidi = 4, KindVideo = 5 };

// folder + "/" + the file-name part of name; "" when the folder does not exist. No doubled "/".
QString JoinPath(const QString &folder, const QString &name);
// Creates the folder with its parents, retrying; false (with no prompt) when it cannot. The GUI layer
// shows the "already exists" message; this returns AlreadyExists for that case.
enum class CreateFolderResult { Created, AlreadyExists, Failed };
CreateFolderResult CreateFolder(const QString &path, int attempts = 6, int waitMsAfterThird = 1000);
// The information text the window layer shows for AlreadyExists.
QString FolderExistsMessage(const QString &path);
bool DeleteFolderTree(const QString &path);
bool DeleteFileSafe(const QString &path);             // clears read-only first; true when gone afterwards
QString UniqueFolderName(const QString &base);          // base, else base_1, base_2, ...
QString UniqueFileName(const QString &path);            // stem_1.ext, stem_2.ext, ... (first free)
bool RenameFileSafe(const QString &oldPath, const QString &newPath);

int MediaKind(const QString &path);
// The extension of the file-name part of path, with its dot and exactly as written (".JPG"); "" when
// the name has no dot. A leading dot alone (a hidden name such as ".profile") is not an extension.
QString FileExtension(const QString &path);
// Fits w x h into the box keeping its proportions, never enlarging: scale := min(boxW / w, boxH / h, 1);
// boxW, boxH := round-half-even(w*scale, h*scale), each in 1 .. its box value.
void FitInBox(int w, int h, int &boxW, int &boxH);
QString RomanOf(int n);                                 // " " below 1, "i".."ccxlix", "ccl" from 250
QString FileSizeText(qint64 bytes, bool grouped);
QString FileSizeTextOf(const QString &path);           // the file's size, grouped
qint64 FileSizeOf(const QString &path);                 // 0 when missing

// The packed DOS date-time of a file's last write in local time (date in the high 16 bits, time in
// the low 16 bits), as the stored caches and page lists keep it; -1 for a missing file.
int32_t FileAge(const QString &path);
int32_t PackDosDateTime(const QDateTime &localTime);
QDateTime FileDateTimeOf(const QString &path);           // last write, local time; invalid when missing
bool SetFileTime(const QString &path, const QDateTime &lastWrite);   // true on success
// The same from metadata already read (no further file-system access when `info` is cached).
int32_t FileAgeOf(const QFileInfo &info);
// The same for a time in seconds since the epoch (a stat result), converted to local time.
int32_t PackDosDateTimeOfEpoch(qint64 secondsSinceEpoch);

// Save-format table: index of the save dialog's format -> extension and imaging format number.
QString SaveFormatExtension(int index);                  // ".bmp" for unknown indexes
int SaveFormatNumber(int index);                          // 6 for unknown indexes
// Imaging format number -> its display name; returns `fallback` unchanged for unknown numbers.
QString FormatName(int formatNumber, const QString &fallback);

// Read-only = the owner has no write permission; hidden = the name starts with ".".
bool IsReadOnly(const QString &path);
bool SetReadOnly(const QString &path, bool readOnly);

// Questions before overwriting or deleting a file. `confirm` asks a Yes/No question and returns true
// for Yes (the window layer passes the prompter's confirmation).
using ConfirmFn = std::function<bool(const QString &question)>;
// When the target exists: asks to overwrite it (and again when it is read-only); with all answers Yes
// the target is deleted and the result is true. No gives false; a missing target gives true.
bool ConfirmOverwrite(const QString &target, const ConfirmFn &confirm);
// The same questions without deleting anything: the copy that follows replaces the target in one
// step, so a copy that fails keeps the old file.
bool AskOverwrite(const QString &target, const ConfirmFn &confirm);
// The deletion warning for an image file (and the read-only warning); true when all answers are Yes.
bool ConfirmImageDeletion(const QString &path, const ConfirmFn &confirm);
// ConfirmImageDeletion followed by DeleteFileSafe; true when the file was deleted. The window layer
// wraps the deletion in its hourglass and "Delete..." animation.
bool DeleteImageFile(const QString &path, const ConfirmFn &confirm);

// Rounding to the nearest integer with ties to even, as the program's arithmetic does everywhere.
int RoundHalfEven(double v);

} // namespace pagero
