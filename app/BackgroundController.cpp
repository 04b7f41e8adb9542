#include "app/BackgroundController.h"
#include "app/BookContext.h"
#include "app/BookPainter.h"
#include "app/BookView.h"
#include "app/MainMenus.h"
#include "app/SaveReporter.h"
#include "common/OrvMyLib.h"
#include "core/book/Settings.h"
#include "core/common/AtomicFile.h"
#include <QBuffer>
#include <QDir>
#include <QFileInfo>

namespace pagero {

namespace {

uint32_t RedLow(const QColor &c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }
QColor FromRedLow(uint32_t v) { return QColor(int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF)); }

// Asks for a colour (kind 1) or a bitmap (kind 2) and, on a choice, sets it and the fill kind. False
// when the user chose nothing.
bool ChooseFill(int kind, const QString &title, const QString &patternFolder, uint32_t &colour,
                int32_t &fillKind, QImage &bitmap)
{
    if (kind == 1) {
        QColor c = FromRedLow(colour);
        if (!ChooseColor(c)) return false;
        colour = RedLow(c);
        fillKind = 1;
        return true;
    }
    QString file;
    if (!ChooseBitmap(title, patternFolder, file)) return false;
    const QImage image(file);
    if (image.isNull()) return false;
    bitmap = image;
    fillKind = 2;
    return true;
}

} // namespace

BackgroundController::BackgroundController(BookContext &book, const MainMenus &menus, BookScene &scene,
                                           QImage &previewBack, SaveReporter &saves, QObject *parent)
    : QObject(parent), book_(book), scene_(scene), previewBack_(previewBack), saves_(saves)
{
    const MainActions &a = menus.actions;
    ConnectCommand(book_, a.Default1, this, [this] { Choose(1, 0); });
    ConnectCommand(book_, a.Color1, this, [this] { Choose(1, 1); });
    ConnectCommand(book_, a.btnBitmap1, this, [this] { Choose(1, 2); });
    ConnectCommand(book_, a.Default2, this, [this] { Choose(2, 0); });
    ConnectCommand(book_, a.Color2, this, [this] { Choose(2, 1); });
    ConnectCommand(book_, a.btnBitmap2, this, [this] { Choose(2, 2); });
}

void BackgroundController::LoadDefault()
{
    Settings &s = book_.Options();
    const QImage defaultBack(QDir(book_.DataFolder()).filePath(kDefaultBackBitmap));
    if (!defaultBack.isNull()) {
        s.ScreenBackKind = 2;
        scene_.screenBackBitmap = defaultBack;
    } else {
        s.ScreenBackKind = 1;
        s.ScreenBackColor = kNoBookGrey;
    }
}

void BackgroundController::Load()
{
    Settings &s = book_.Options();
    const QDir exe(book_.ProgramFolder());
    if (s.ScreenBackKind == 2) {
        const QString saved = exe.filePath(kScreenBackBitmap);
        if (QFileInfo::exists(saved)) scene_.screenBackBitmap = QImage(saved);
        if (scene_.screenBackBitmap.isNull()) s.ScreenBackKind = 1;
    }
    if (s.PreviewBackKind == 2) {
        previewBack_ = QImage(exe.filePath(kPreviewBackBitmap));
        if (previewBack_.isNull()) s.PreviewBackKind = 1;
    }
    if (s.CoverKind == 2) {
        scene_.coverBitmap = QImage(exe.filePath(kCoverBackBitmap));
        if (scene_.coverBitmap.isNull()) s.CoverKind = 0;
    }
}

void BackgroundController::Save()
{
    const QDir exe(book_.ProgramFolder());
    const auto save = [&](const QImage &image, const char *name) {
        if (image.isNull()) return;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QString path = exe.filePath(name);
        saves_.Check(image.save(&buffer, "BMP") && WriteFileAtomically(path, bytes), path);
    };
    const Settings &s = book_.Options();
    if (s.ScreenBackKind == 2) save(scene_.screenBackBitmap, kScreenBackBitmap);
    if (s.PreviewBackKind == 2) save(previewBack_, kPreviewBackBitmap);
    if (s.CoverKind == 2) save(scene_.coverBitmap, kCoverBackBitmap);
}

void BackgroundController::Choose(int which, int kind)
{
    Settings &s = book_.Options();
    const QString patterns = QDir(book_.ProgramFolder()).filePath("BitPattern");
    if (which == 1) {
        if (kind == 0) {
            scene_.screenBackBitmap = QImage(QDir(book_.ProgramFolder()).filePath(kDefaultBackBitmap));
            s.ScreenBackKind = scene_.screenBackBitmap.isNull() ? 1 : 2;
            if (s.ScreenBackKind == 1) s.ScreenBackColor = 0x808080;
        } else if (!ChooseFill(kind, "Select Book Background Fill Bitmap", patterns, s.ScreenBackColor,
                               s.ScreenBackKind, scene_.screenBackBitmap)) {
            return;
        }
        book_.DrawBook();
        return;
    }
    if (kind == 0) {
        s.CoverColor = 0xFFFFFF;
        s.CoverKind = 0;
    } else if (!ChooseFill(kind, "Select Cover Background Fill Bitmap", patterns, s.CoverColor, s.CoverKind,
                           scene_.coverBitmap)) {
        return;
    }
    book_.DrawBook();
    book_.FlipTo(0);
}

} // namespace pagero
