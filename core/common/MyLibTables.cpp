// Lookup tables of the common library: media kind by extension, save formats and format names.
#include "core/common/MyLib.h"

namespace pagero {

namespace {

// The extension as a view into path (no copy): the page list asks this of every file.
QStringView ExtensionView(QStringView path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // The dot must lie in the name part and must not be the name's first character.
    if (dot <= slash + 1) return {};
    return path.mid(dot);
}

bool IsExt(QStringView ext, const char *candidate)
{
    return ext.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
}

} // namespace

QString FileExtension(const QString &path)
{
    return ExtensionView(path).toString();
}

int MediaKind(const QString &path)
{
    const QStringView ext = ExtensionView(path);
    if (IsExt(ext, ".bmp") || IsExt(ext, ".jpg") || IsExt(ext, ".ico") || IsExt(ext, ".emf") || IsExt(ext, ".wmf"))
        return KindPicture;
    if (IsExt(ext, ".wav")) return KindWave;
    if (IsExt(ext, ".mid")) return KindMidi;
    if (IsExt(ext, ".avi")) return KindVideo;
    return KindImaging;
}

namespace {
struct SaveFormat { const char *extension; int number; };
constexpr SaveFormat kSaveFormats[] = {
    {".bmp", 6}, {".jpg", 10}, {".pcx", 1}, {".wmf", 15}, {".ico", 91},
    {".gif", 2}, {".tif", 3},  {".png", 75}, {".psd", 76}};
constexpr int kSaveFormatCount = int(sizeof(kSaveFormats) / sizeof(kSaveFormats[0]));
} // namespace

QString SaveFormatExtension(int index)
{
    if (index < 0 || index >= kSaveFormatCount) return QStringLiteral(".bmp");
    return QLatin1String(kSaveFormats[index].extension);
}

int SaveFormatNumber(int index)
{
    if (index < 0 || index >= kSaveFormatCount) return 6;
    return kSaveFormats[index].number;
}

QString FormatName(int formatNumber, const QString &fallback)
{
    const char *name = nullptr;
    switch (formatNumber) {
    case 1: name = "PCX"; break;
    case 2: name = "CompuServe GIF"; break;
    case 3: name = "TIFF"; break;
    case 4: name = "TARGA."; break;
    case 5: name = "LEAD proprietary"; break;
    case 6: name = "Windows BMP."; break;
    case 10: case 21: case 22: case 23: case 24: name = "JPEG"; break;
    case 11: name = "JPEG TIF"; break;
    case 14: name = "OS/2 BMP v. 1.x."; break;
    case 15: name = "Windows MetaFile."; break;
    case 16: name = "EPS"; break;
    case 50: name = "CALS Raster"; break;
    case 51: name = "MacPaint"; break;
    case 52: name = "GEM Image"; break;
    case 53: name = "Microsoft Paint"; break;
    case 54: name = "WordPerfect"; break;
    case 55: name = "Sun Raster"; break;
    case 56: name = "Macintosh Pict"; break;
    case 57: name = "Kodak PhotoCD"; break;
    case 63: name = "EPS TIFF"; break;
    case 66: name = "Raw FAX G3 1D"; break;
    case 67: name = "Raw FAX G3 2D"; break;
    case 68: name = "Raw FAX G4"; break;
    case 69: case 70: name = "WinFax"; break;
    case 71: case 72: case 73: name = "IBM IOCA (Wrapped)"; break;
    case 74: name = "OS/2 BMP v. 2.x."; break;
    case 75: name = "CompuServe PNG"; break;
    case 76: name = "PSD"; break;
    case 77: case 78: case 79: name = "IBM IOCA (Raw)"; break;
    case 80: name = "Kodak FlashPix"; break;
    case 91: name = "Windows Icon"; break;
    default: return fallback;
    }
    return QLatin1String(name);
}

} // namespace pagero
