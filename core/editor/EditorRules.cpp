#include "core/editor/EditorRules.h"
#include "core/common/AtomicFile.h"

#include <QFileInfo>
#include <QtEndian>

namespace pagero::editor {

QString EditorCaption(bool loaded, int state, const QString &filePath)
{
    QString caption = QStringLiteral("Pagero Image Editor - ");
    if (!loaded) return caption;
    switch (state) {
    case Clean: return caption + QFileInfo(filePath).fileName();
    case Modified: case ModifiedOther: return caption + QFileInfo(filePath).fileName() + QStringLiteral(" *");
    case NewImage: return caption + QStringLiteral("New Image Data *");
    case ScreenCapture: return caption + QStringLiteral("Screen Captured Data *");
    case Acquired: return caption + QStringLiteral("Acquired Image Data *");
    default: return caption + QStringLiteral("Unknown Error Image Data *");
    }
}

QString SaveQuestion(int state, const QString &filePath)
{
    switch (state) {
    case Clean: return {};
    case Modified: return QStringLiteral("Save changes to ") + filePath + QStringLiteral("?");
    case NewImage: return QStringLiteral("Save new image?");
    case ScreenCapture: return QStringLiteral("Save captured screen image?");
    case Acquired: return QStringLiteral("Save acquired image?");
    case ModifiedOther: return QStringLiteral("Save modified image?");
    default: return QStringLiteral("Save Unknown image data?");
    }
}

Zoom ZoomedIn(Zoom z)
{
    if (z.out == 1 && z.in < 10) ++z.in;
    else if (z.out > 1) --z.out;
    return z;
}

Zoom ZoomedOut(Zoom z)
{
    if (z.in == 1 && z.out < 10) ++z.out;
    else if (z.in > 1) --z.in;
    return z;
}

const QList<SaveFormat> &SaveFormats()
{
    static const QList<SaveFormat> formats{
        {QStringLiteral("BMP   (Windows Bitmap)"), QStringLiteral(".bmp"), 6, {1, 4, 8, 16, 24, 32}, 24},
        {QStringLiteral("JPEG  (Interchange Format)"), QStringLiteral(".jpg"), 10, {8, 24}, 24},
        {QStringLiteral("PCX   (ZSoft PCX)"), QStringLiteral(".pcx"), 1, {1, 4, 8, 24}, 24},
        {QStringLiteral("WMF   (Windows Meta File)"), QStringLiteral(".wmf"), 15, {8, 24}, 24},
        {QStringLiteral("ICO   (Windows Icon)"), QStringLiteral(".ico"), 91, {1, 4, 8}, 4},
        {QStringLiteral("GIF   (CompuServe GIF)"), QStringLiteral(".gif"), 2, {1, 4, 8}, 8},
        {QStringLiteral("TIFF  (CCITT)"), QStringLiteral(".tif"), 3, {1, 4, 8, 16, 24, 32}, 24},
        {QStringLiteral("PNG (Portable Network Graphics)"), QStringLiteral(".png"), 75, {4, 8, 24}, 24},
        {QStringLiteral("PSD   (Photoshop PSD)"), QStringLiteral(".psd"), 76, {8, 24}, 24},
    };
    return formats;
}

int SaveFormatOfPath(const QString &path)
{
    const QString suffix = QStringLiteral(".") + QFileInfo(path).suffix();
    const QList<SaveFormat> &f = SaveFormats();
    for (int i = 0; i < f.size(); ++i)
        if (suffix.compare(f[i].extension, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int SaveFormatOfCode(int code)
{
    const QList<SaveFormat> &f = SaveFormats();
    for (int i = 0; i < f.size(); ++i)
        if (f[i].code == code) return i;
    return -1;
}

int SameFileQualityFactor(const QString &path)
{
    return path.endsWith(QStringLiteral(".jpg"), Qt::CaseSensitive) ? 22 : 2;
}

QString WithExtension(const QString &name, const QString &extension)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    return (dot > slash ? name.left(dot) : name) + extension;
}

QString IconRefusal(const QString &currentPath, const QString &chosenPath)
{
    const auto isIcon = [](const QString &p) { return QFileInfo(p).suffix().compare(QStringLiteral("ico"), Qt::CaseInsensitive) == 0; };
    if (!isIcon(chosenPath) || isIcon(currentPath)) return {};
    return currentPath + QStringLiteral("\r\nCannot be saved as ") + chosenPath + QStringLiteral(".");
}

EditorParams ReadEditorParams(const QString &path)
{
    EditorParams p;
    QByteArray bytes;
    if (!ReadFileLimited(path, bytes, 64) || bytes.size() != 5) return p;
    const qint32 dock = qFromLittleEndian<qint32>(bytes.constData() + 1);
    if (dock != 1 && dock != 2) return p;
    p.toolbarVisible = bytes[0] != 0;
    p.toolbarDock = dock;
    return p;
}

bool WriteEditorParams(const QString &path, const EditorParams &params)
{
    QByteArray bytes(5, '\0');
    bytes[0] = params.toolbarVisible ? 1 : 0;
    qToLittleEndian<qint32>(params.toolbarDock, bytes.data() + 1);
    return WriteFileAtomically(path, bytes);
}

int SpatialFilterNumber(int family, int direction)
{
    static const int base[7] = {0, 8, 16, 22, 24, 29, 26};
    static const int directions[7] = {8, 8, 6, 2, 2, 4, 3};
    if (family < 0 || family >= 7 || direction < 1 || direction > directions[family]) return -1;
    return base[family] + direction - 1;
}

void PlaceText(int position, int W, int H, int w, int h, int &x, int &y)
{
    const int right = W - w - 2, bottom = H - h - 2, cx = (W - w) / 2, cy = (H - h) / 2;
    switch (position) {
    case 1: x = 2; y = 2; break;
    case 2: x = right; y = 2; break;
    case 3: x = 2; y = bottom; break;
    case 4: x = right; y = bottom; break;
    case 5: x = cx; y = cy; break;
    case 6: x = cx; break;
    case 7: y = cy; break;
    case 8: x = cx; y = 2; break;
    case 9: x = cx; y = bottom; break;
    default: break;
    }
}

} // namespace pagero::editor
