#include "common/OrvMyLib.h"

#include "common/OrvComAnimate.h"
#include "core/common/FileTransfer.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QUrl>


namespace pagero {

std::function<bool(QColor &)> ChooserHooks::ColorDialogHook;
std::function<QString(const QString &, const QString &)> ChooserHooks::BitmapDialogHook;
std::function<bool(const QString &, QString &)> ChooserHooks::FolderDialogHook;

bool ChooseColor(QColor &colour)
{
    if (ChooserHooks::ColorDialogHook) return ChooserHooks::ColorDialogHook(colour);
    QColorDialog dialog(colour, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid()) return false;
    colour = dialog.selectedColor();
    return true;
}

bool ChooseBitmap(const QString &title, const QString &folder, QString &path)
{
    const QString chosen = ChooserHooks::BitmapDialogHook
        ? ChooserHooks::BitmapDialogHook(title, folder)
        : QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder,
                                       QStringLiteral("Bitmap File (*.bmp)"));
    if (chosen.isEmpty()) return false;
    if (FileExtension(chosen).compare(QLatin1String(".bmp"), Qt::CaseInsensitive) != 0) {
        ThePrompter().Inform(QStringLiteral("Only BMP files available."));
        return false;
    }
    path = chosen;
    return true;
}

bool CreateFolderShown(const QString &path)
{
    // The attempts follow each other without waiting: the window's thread never sleeps.
    const CreateFolderResult result = CreateFolder(path, 6, 0);
    if (result == CreateFolderResult::AlreadyExists) {
        QApplication::beep();
        ThePrompter().Inform(FolderExistsMessage(path));
    }
    return result == CreateFolderResult::Created;
}

bool DeleteFolderTreeShown(const QString &path)
{
    BusyAnimation busy(AnimDelete);
    return DeleteFolderTree(path);
}

namespace {

// The shown operations replace a writable target (the overwrite questions come first) and count
// a file copied or moved onto itself as done: nothing changed and nothing was lost.
bool Transferred(const TransferResult &result)
{
    return result.Ok() || result.status == TransferStatus::SameFile;
}

bool TransferShown(const QString &target, const std::function<TransferResult()> &transfer)
{
    bool done;
    {
        BusyAnimation busy(AnimCopyFiles);
        done = Transferred(transfer());
    }
    if (!done) ThePrompter().Fail(QStringLiteral("Cannot create file %1").arg(target));
    return done;
}

} // namespace

bool CopyFileShown(const QString &source, const QString &target, ExistingTarget existing)
{
    return TransferShown(target, [&] { return CopyFileTo(source, target, {existing}); });
}

bool MoveFileShown(const QString &source, const QString &target, ExistingTarget existing)
{
    return TransferShown(target, [&] { return MoveFileTo(source, target, {existing}); });
}

bool DeleteImageFileShown(const QString &path)
{
    const ConfirmFn confirm = [](const QString &question) { return ThePrompter().Confirm(question); };
    if (!ConfirmImageDeletion(path, confirm)) return false;
    BusyAnimation busy(AnimDelete);
    return DeleteFileSafe(path);
}

void DrawBox(QPainter &canvas, int x, int y, int w, int h)
{
    const QPoint corners[] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}};
    canvas.drawPolyline(corners, 5);
}

void FillRectColor(QPainter &canvas, const QRect &rect, const QColor &colour)
{
    const QBrush saved = canvas.brush();
    canvas.fillRect(rect, colour);
    canvas.setBrush(saved);
}

void TileBitmap(QPainter &canvas, const QRect &rect, const QImage &bitmap)
{
    if (bitmap.isNull() || rect.isEmpty()) return;
    const int bw = bitmap.width(), bh = bitmap.height();
    for (int y = rect.top(); y <= rect.bottom(); y += bh) {
        const int h = std::min(bh, rect.bottom() + 1 - y);
        for (int x = rect.left(); x <= rect.right(); x += bw) {
            const int w = std::min(bw, rect.right() + 1 - x);
            canvas.drawImage(QPoint(x, y), bitmap, QRect(0, 0, w, h));
        }
    }
}

void NewImageBitmap(QImage &image, QImage::Format format, int w, int h)
{
    image = QImage(std::max(w, 0), std::max(h, 0), format);
    if (!image.isNull()) image.fill(Qt::white);
}

void FillImage(QImage &image, const QColor &colour)
{
    QImage filled(image.size(), image.isNull() ? QImage::Format_RGB32 : image.format());
    filled.fill(colour);
    image = filled;
}

bool OpenWithShell(const QString &file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

} // namespace pagero
