#include "common/OrvMyLib.h"

#include "common/OrvComAnimate.h"
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
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>

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
    const CreateFolderResult result = CreateFolder(path);
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

bool SameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Copies source over target. The copy goes to a temporary file beside the target and is renamed
// over it, so a failed copy never leaves the old target destroyed or a half-written one behind.
// A read-only target is not replaced (the overwrite questions delete it first when the user agrees).
bool CopyOver(const QString &source, const QString &target)
{
    if (SameFile(source, target)) return true;   // nothing to do, and nothing may be lost
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && (targetInfo.isDir() || IsReadOnly(target))) return false;
    QTemporaryFile out(targetInfo.absolutePath() + QStringLiteral("/.copy-XXXXXX"));
    if (!out.open()) return false;
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) return false;
        if (n == 0) break;
        if (out.write(buffer, n) != n) return false;
    }
    if (!out.flush()) return false;
    out.setPermissions(in.permissions());
    // std::rename replaces an existing target in one step (QFile::rename refuses to).
    if (std::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    out.setAutoRemove(false);
    return true;
}

} // namespace

bool CopyFileShown(const QString &source, const QString &target)
{
    bool copied;
    {
        BusyAnimation busy(AnimCopyFiles);
        copied = CopyOver(source, target);
    }
    if (!copied) ThePrompter().Fail(QStringLiteral("Cannot create file %1").arg(target));
    return copied;
}

bool MoveFileShown(const QString &source, const QString &target)
{
    if (!CopyFileShown(source, target)) return false;
    if (SameFile(source, target)) return true;   // moving a file onto itself must not delete it
    return DeleteFileSafe(source);
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
