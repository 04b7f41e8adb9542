// TIFF through libtiff. For a small target the file's own reduced-resolution picture is read when it
// has one that still covers the target (pyramids, or the reduced pages scanners and cameras write);
// otherwise the picture is decoded in bands of rows, each band box-averaged by a whole factor as it
// arrives, so neither the time nor the memory of a full-size intermediate picture is spent.
#include "platform/imaging/Decoders.h"

#include <QFile>
#include <tiffio.h>
#include <cstdarg>
#include <memory>
#include <vector>

namespace pagero::imaging::detail {
namespace {

void Silent(const char *, const char *, va_list) {}

struct TiffCloser {
    void operator()(TIFF *t) const { TIFFClose(t); }
};
using TiffFile = std::unique_ptr<TIFF, TiffCloser>;

TiffFile Open(const QString &path)
{
    TIFFSetErrorHandler(Silent);
    TIFFSetWarningHandler(Silent);
    return TiffFile(TIFFOpen(QFile::encodeName(path).constData(), "rm"));
}

QSize DirectorySize(TIFF *tif)
{
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    if (w == 0 || h == 0 || w > 1'000'000 || h > 1'000'000) return {};
    return QSize(int(w), int(h));
}

bool SameShape(QSize a, QSize b)
{
    return std::abs(double(a.width()) / a.height() - double(b.width()) / b.height()) < 0.02 * a.width() / a.height();
}

// Where a picture of the file lives: a top-level directory, or a sub-directory of the first one.
struct Place {
    int directory = 0;
    toff_t subOffset = 0;
    QSize size;
};

bool Select(TIFF *tif, const Place &p)
{
    if (!TIFFSetDirectory(tif, tdir_t(p.directory))) return false;
    return p.subOffset == 0 || TIFFSetSubDirectory(tif, p.subOffset);
}

bool IsReduced(TIFF *tif)
{
    uint32_t type = 0;
    return TIFFGetField(tif, TIFFTAG_SUBFILETYPE, &type) && (type & FILETYPE_REDUCEDIMAGE);
}

// The smallest reduced-resolution picture of the main one's shape that still covers `target`.
Place ChooseResolution(TIFF *tif, const Place &main, QSize target)
{
    Place best = main;
    const auto consider = [&](const Place &p) {
        if (p.size.isValid() && p.size.width() >= target.width() && p.size.height() >= target.height() &&
            p.size.width() < best.size.width() && SameShape(p.size, main.size))
            best = p;
    };
    // Sub-directories of the first picture.
    uint16_t count = 0;
    toff_t *offsets = nullptr;
    if (TIFFGetField(tif, TIFFTAG_SUBIFD, &count, &offsets) && offsets) {
        const std::vector<toff_t> subs(offsets, offsets + std::min<uint16_t>(count, 32));
        for (toff_t off : subs) {
            Place p{0, off, {}};
            if (Select(tif, p) && IsReduced(tif)) {
                p.size = DirectorySize(tif);
                consider(p);
            }
        }
    }
    // Following top-level directories marked as reduced images of it.
    for (int d = 1; d < 32 && TIFFSetDirectory(tif, tdir_t(d)); ++d) {
        if (!IsReduced(tif)) continue;
        consider(Place{d, 0, DirectorySize(tif)});
    }
    return best;
}

// Averages whole blocks of factor x factor pixels as rows arrive (edge blocks are partial).
class BoxReducer {
public:
    BoxReducer(int width, int height, int factor)
        : width_(width), factor_(factor), out_((width + factor - 1) / factor, (height + factor - 1) / factor,
                                             QImage::Format_RGBA8888),
          sums_(size_t(out_.width()) * 4, 0)
    {
    }
    bool ok() const { return !out_.isNull(); }
    void AddRow(const uint32_t *row, int y)
    {
        for (int x = 0; x < width_; ++x) {
            uint64_t *s = &sums_[size_t(x / factor_) * 4];
            const uint32_t p = row[x];
            s[0] += TIFFGetR(p); s[1] += TIFFGetG(p); s[2] += TIFFGetB(p); s[3] += TIFFGetA(p);
        }
        ++rowsInBlock_;
        if ((y + 1) % factor_ == 0 || y + 1 == out_.height() * factor_) Flush(y / factor_);
    }
    QImage Finish(int lastRow)
    {
        if (rowsInBlock_ > 0) Flush(lastRow / factor_);
        return out_;
    }
private:
    void Flush(int oy)
    {
        uchar *dst = out_.scanLine(oy);
        for (int ox = 0; ox < out_.width(); ++ox) {
            const int cols = std::min(factor_, width_ - ox * factor_);
            const uint64_t n = uint64_t(cols) * rowsInBlock_;
            for (int c = 0; c < 4; ++c) {
                dst[ox * 4 + c] = uchar((sums_[size_t(ox) * 4 + c] + n / 2) / n);
                sums_[size_t(ox) * 4 + c] = 0;
            }
        }
        rowsInBlock_ = 0;
    }
    int width_, factor_;
    QImage out_;
    std::vector<uint64_t> sums_;
    int rowsInBlock_ = 0;
};

uint16_t Orientation(TIFF *tif)
{
    uint16_t o = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &o);
    return (o >= 1 && o <= 8) ? o : ORIENTATION_TOPLEFT;
}

} // namespace

QSize TiffPictureSize(const QString &path)
{
    TiffFile tif = Open(path);
    if (!tif) return {};
    const QSize stored = DirectorySize(tif.get());
    return stored.isValid() ? UprightSize(stored, Orientation(tif.get())) : QSize();
}

LoadResult DecodeTiff(const QString &path, QSize fitInto, bool &unsupported)
{
    unsupported = false;
    TiffFile tif = Open(path);
    if (!tif) { unsupported = true; return Failure(QStringLiteral("Damaged TIFF header")); }
    Place main{0, 0, DirectorySize(tif.get())};
    if (!main.size.isValid()) { unsupported = true; return Failure(QStringLiteral("Damaged TIFF header")); }
    const int orientation = Orientation(tif.get());
    const QSize upright = UprightSize(main.size, orientation);
    if (TooLarge(main.size)) return Failure(QStringLiteral("Picture too large"), upright);

    // The target in the stored pixel order.
    const bool fitting = fitInto.isValid() && !fitInto.isEmpty();
    const QSize target = fitting ? StoredSize(FitSize(upright, fitInto), orientation) : QSize();
    const Place place = fitting ? ChooseResolution(tif.get(), main, target) : main;
    if (!Select(tif.get(), place)) return Failure(QStringLiteral("Damaged TIFF data"), upright);

    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif.get(), message)) { unsupported = true; return Failure(QStringLiteral("Unsupported TIFF"), upright); }
    TIFFRGBAImage img{};
    if (!TIFFRGBAImageBegin(&img, tif.get(), 0, message)) { unsupported = true; return Failure(QStringLiteral("Unsupported TIFF"), upright); }
    img.req_orientation = img.orientation;   // rows as stored; the orientation is applied afterwards
    const int w = int(img.width), h = int(img.height);
    const int factor = fitting ? std::max(1, std::min(w / std::max(1, target.width()), h / std::max(1, target.height()))) : 1;
    BoxReducer reducer(w, h, factor);
    // Bands of whole strips or tiles, about a few megabytes each.
    uint32_t unit = 0;
    if (!TIFFGetField(tif.get(), TIFFTAG_ROWSPERSTRIP, &unit) && !TIFFGetField(tif.get(), TIFFTAG_TILELENGTH, &unit)) unit = 1;
    unit = std::clamp<uint32_t>(unit, 1, uint32_t(h));
    const int bandRows = int(std::max<uint32_t>(unit, uint32_t((4 << 20) / (4 * qint64(w)) / unit * unit)));
    std::vector<uint32_t> band;
    bool good = reducer.ok();
    for (int y = 0; good && y < h; y += bandRows) {
        const int rows = std::min(bandRows, h - y);
        band.assign(size_t(w) * rows, 0);
        img.row_offset = y;
        img.col_offset = 0;
        good = TIFFRGBAImageGet(&img, band.data(), uint32_t(w), uint32_t(rows)) != 0;
        for (int r = 0; good && r < rows; ++r) reducer.AddRow(band.data() + size_t(r) * w, y + r);
    }
    const int alphaKind = img.alpha;
    const bool alpha = alphaKind != 0;
    TIFFRGBAImageEnd(&img);
    if (!good) return Failure(QStringLiteral("Damaged TIFF data"), upright);

    QImage decoded = reducer.Finish(h - 1);
    if (alphaKind == EXTRASAMPLE_ASSOCALPHA) decoded.reinterpretAsFormat(QImage::Format_RGBA8888_Premultiplied);
    decoded = decoded.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    decoded = Oriented(decoded, orientation);
    LoadResult r;
    r.originalSize = upright;
    r.image = fitting ? ScaleTo(decoded, FitSize(upright, fitInto)) : decoded;
    return r;
}

} // namespace pagero::imaging::detail
