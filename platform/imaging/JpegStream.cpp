// Reading only what a JPEG needs: the marker segments are walked by their lengths, the entropy-coded
// data is scanned for the next marker (0xFF followed by anything but a stuffed zero or a restart),
// so a file that carries junk after its end-of-image marker, or a sparse file of a gigabyte behind
// a valid header, costs no more than the picture itself.
#include "platform/imaging/Decoders.h"

#include <QFile>
#include <cstring>

namespace pagero::imaging::detail {
namespace {

bool IsFrameMarker(uchar m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

bool IsStandalone(uchar m)
{
    return m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7);
}

quint16 BigEndian16(const uchar *p) { return quint16((p[0] << 8) | p[1]); }

} // namespace

void JpegScanner::Feed(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype size = bytes.size();
    if (pos_ == 0) {
        if (size < 2) return;
        if (b[0] != 0xFF || b[1] != 0xD8) { state_ = State::Damaged; return; }
        pos_ = 2;
    }
    while (state_ == State::Markers || state_ == State::Entropy) {
        if (state_ == State::Entropy) {
            const void *ff = pos_ < size ? std::memchr(b + pos_, 0xFF, size_t(size - pos_)) : nullptr;
            if (!ff) { pos_ = size; return; }
            pos_ = static_cast<const uchar *>(ff) - b;
            if (pos_ + 1 >= size) return;
            const uchar next = b[pos_ + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) { pos_ += 2; continue; }
            if (next == 0xFF) { ++pos_; continue; }   // fill byte before a marker
            state_ = State::Markers;                  // DHT, SOS, EOI... of a progressive file
            continue;
        }
        if (pos_ + 2 > size) return;
        if (b[pos_] != 0xFF) {
            // Stray bytes between segments: libjpeg skips them once the scans have begun.
            if (sawScan_) { state_ = State::Entropy; continue; }
            state_ = State::Damaged;
            return;
        }
        const uchar m = b[pos_ + 1];
        if (m == 0xFF) { ++pos_; continue; }
        if (m == 0xD9) { end_ = pos_ + 2; state_ = State::Done; return; }
        if (IsStandalone(m)) { pos_ += 2; continue; }
        if (pos_ + 4 > size) return;
        const int length = BigEndian16(b + pos_ + 2);
        if (length < 2) { state_ = State::Damaged; return; }
        if (IsFrameMarker(m) || m == 0xE1) {
            if (pos_ + 2 + length > size) return;   // wait for the whole segment
            const uchar *payload = b + pos_ + 4;
            if (IsFrameMarker(m) && length >= 8 && !frame_.isValid()) {
                frame_ = QSize(BigEndian16(payload + 3), BigEndian16(payload + 1));
                frameBits_ = payload[0] * payload[5];
            }
            if (m == 0xE1 && exifOffset_ < 0 && length >= 8 && std::memcmp(payload, "Exif\0\0", 6) == 0) {
                exifOffset_ = pos_ + 4;
                exifLength_ = length - 2;
            }
        }
        pos_ += 2 + length;
        if (m == 0xDA) {
            sawScan_ = true;
            if (stopAtScan_) { state_ = State::Done; return; }
            state_ = State::Entropy;
        }
    }
}

QByteArray ReadJpegFile(const QString &path, QString &error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) { error = QStringLiteral("Cannot read the file"); return {}; }
    const qint64 size = f.size();
    if (size <= kJpegWholeReadBytes) return f.readAll();

    // Large file: read in chunks, walking the markers, and stop at the end-of-image marker, at a
    // frame header that declares too many pixels, or when more has been read than any picture of
    // the declared size can need.
    constexpr qint64 kChunk = qint64(1) << 20;
    constexpr qint64 kMaxBytesPerPixel = 12;   // far above what even quality 100 needs
    JpegScanner scan(false);
    QByteArray bytes;
    qint64 budget = kMaxReadBytes;
    bool frameSeen = false;
    while (true) {
        const qint64 want = std::min(kChunk, budget - bytes.size());
        if (want <= 0) break;
        const qsizetype had = bytes.size();
        bytes.resize(had + want);
        const qint64 got = f.read(bytes.data() + had, want);
        bytes.resize(had + std::max<qint64>(got, 0));
        if (got <= 0) break;
        scan.Feed(bytes);
        if (scan.damaged()) { error = QStringLiteral("Damaged JPEG header"); return {}; }
        if (scan.frame().isValid() && !frameSeen) {
            frameSeen = true;
            if (TooLarge(scan.frame())) { error = QStringLiteral("Picture too large"); return {}; }
            budget = std::min(kMaxReadBytes, qint64(1 << 20) + qint64(bytes.size()) +
                                                 qint64(scan.frame().width()) * scan.frame().height() * kMaxBytesPerPixel);
        }
        if (scan.end() > 0) {
            bytes.truncate(scan.end());
            return bytes;
        }
    }
    // No end marker within what the picture may need: the decoder reports the data as truncated.
    return bytes;
}

JpegScanner ScanJpegHeader(const QString &path, int *orientation)
{
    if (orientation) *orientation = 1;
    JpegScanner scan(true);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return scan;
    QByteArray bytes;
    // Segments before the frame header hold at most 64 KB each; a few megabytes cover any real file.
    constexpr qint64 kLimit = qint64(8) << 20, kChunk = 256 * 1024;
    while (bytes.size() < kLimit && !scan.finished() && !scan.damaged()) {
        const QByteArray more = f.read(kChunk);
        if (more.isEmpty()) break;
        bytes += more;
        scan.Feed(bytes);
    }
    if (orientation && scan.exifOffset() >= 0 && scan.exifOffset() + scan.exifLength() <= bytes.size())
        *orientation = ExifOrientation(bytes.constData() + scan.exifOffset(), scan.exifLength());
    return scan;
}

} // namespace pagero::imaging::detail
