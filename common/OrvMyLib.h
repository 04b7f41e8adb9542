#pragma once
// The common library's window side: colour and picture choosers, folder and file operations with
// their messages, hourglass and animation, the canvas helpers, and handing files to the desktop.
// The window-free parts live in core/common/MyLib.h.
#include "core/common/FileTransfer.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>

class QPainter;

namespace pagero {

// Test and flow hooks replacing the real dialogs. ColorDialogHook: true and the colour for OK.
// BitmapDialogHook(title, folder): the chosen file, "" for Cancel.
struct ChooserHooks {
    static std::function<bool(QColor &colour)> ColorDialogHook;
    static std::function<QString(const QString &title, const QString &folder)> BitmapDialogHook;
    // The open-folder dialog: true with `folder` set, false for Cancel.
    static std::function<bool(const QString &preset, QString &folder)> FolderDialogHook;
};

// The colour dialog opened at `colour`; true and the new colour on OK.
bool ChooseColor(QColor &colour);
// The picture-open dialog for bitmaps starting in `folder`; a chosen file that is not ".bmp" (any
// case) gives "Only BMP files available." and false. True and the file in `path` otherwise.
bool ChooseBitmap(const QString &title, const QString &folder, QString &path);
inline bool ChooseBitmap(const QString &folder, QString &path)
{
    return ChooseBitmap(QStringLiteral("Open Picture Dialog"), folder, path);
}

// CreateFolder with the beep and the "already exists" message; true when the folder was created.
bool CreateFolderShown(const QString &path);
// DeleteFolderTree under the hourglass and the "Delete..." animation.
bool DeleteFolderTreeShown(const QString &path);
// Copy overwriting, under the hourglass and the "Copy Files..." animation; a failure shows
// "Cannot create file <target>" and gives false. Move deletes the source after a good copy. A
// read-only target is replaced only with ExistingTarget::Replace (after the overwrite questions).
bool CopyFileShown(const QString &source, const QString &target,
                   ExistingTarget existing = ExistingTarget::ReplaceWritable);
bool MoveFileShown(const QString &source, const QString &target,
                   ExistingTarget existing = ExistingTarget::ReplaceWritable);
// Asks the deletion warnings through the prompter; on all Yes deletes the file under the hourglass
// and the "Delete..." animation. True when the file was deleted.
bool DeleteImageFileShown(const QString &path);

// Canvas helpers.
void DrawBox(QPainter &canvas, int x, int y, int w, int h);   // outline through the four corners
void FillRectColor(QPainter &canvas, const QRect &rect, const QColor &colour);   // brush kept
void TileBitmap(QPainter &canvas, const QRect &rect, const QImage &bitmap);     // clipped at the edges
void NewImageBitmap(QImage &image, QImage::Format format, int w, int h);       // a new blank image
void FillImage(QImage &image, const QColor &colour);                           // same size, one colour

// Hands the file (or folder) to the desktop's "open" action; false when nothing took it.
bool OpenWithShell(const QString &file);

} // namespace pagero
