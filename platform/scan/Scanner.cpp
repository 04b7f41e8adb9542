#include "platform/scan/Scanner.h"

#include <sane/sane.h>

#include <QByteArray>
#include <cstring>
#include <mutex>

namespace pagero::scan {

namespace {

std::mutex &SaneLock()
{
    static std::mutex lock;
    return lock;
}

QString StatusText(SANE_Status status)
{
    return QString::fromLocal8Bit(sane_strstatus(status));
}

// One use of the library: started on construction, ended on destruction.
class SaneSession {
public:
    SaneSession() : guard_(SaneLock()) { status_ = sane_init(nullptr, nullptr); }
    ~SaneSession()
    {
        if (handle_) {
            sane_cancel(handle_);
            sane_close(handle_);
        }
        if (status_ == SANE_STATUS_GOOD) sane_exit();
    }
    bool Started() const { return status_ == SANE_STATUS_GOOD; }
    SANE_Status Status() const { return status_; }
    SANE_Handle &Handle() { return handle_; }

    QList<Source> Devices(QString *error)
    {
        QList<Source> list;
        const SANE_Device **devices = nullptr;
        const SANE_Status status = sane_get_devices(&devices, SANE_FALSE);
        if (status != SANE_STATUS_GOOD) {
            *error = StatusText(status);
            return list;
        }
        for (int i = 0; devices && devices[i]; ++i) {
            const SANE_Device *d = devices[i];
            QString label = QString::fromLocal8Bit(d->vendor) + QLatin1Char(' ') + QString::fromLocal8Bit(d->model);
            if (d->type && *d->type) label += QStringLiteral(" (") + QString::fromLocal8Bit(d->type) + QLatin1Char(')');
            list.append({QString::fromLocal8Bit(d->name), label});
        }
        return list;
    }

private:
    std::lock_guard<std::mutex> guard_;
    SANE_Status status_;
    SANE_Handle handle_ = nullptr;
};

int Channels(SANE_Frame format)
{
    switch (format) {
    case SANE_FRAME_GRAY: case SANE_FRAME_RED: case SANE_FRAME_GREEN: case SANE_FRAME_BLUE: return 1;
    case SANE_FRAME_RGB: return 3;
    default: return 0;
    }
}

struct Frame {
    SANE_Parameters params;
    QByteArray data;
};

// The 8-bit value of sample `c` of pixel `x` in a row of a frame.
int Sample(const uchar *row, int x, int c, int channels, int depth, bool gray)
{
    const int index = x * channels + c;
    if (depth == 8) return row[index];
    if (depth == 16) {
        quint16 v;
        std::memcpy(&v, row + 2 * index, 2);   // host byte order
        return v >> 8;
    }
    const bool set = row[index / 8] & (0x80 >> (index % 8));
    // In a bilevel grey frame a set bit is black.
    return gray ? (set ? 0 : 255) : (set ? 255 : 0);
}

// Puts the frames (one RGB or grey frame, or a red, a green and a blue one) into one picture.
QImage Compose(const QList<Frame> &frames, QString *error)
{
    const SANE_Parameters &first = frames.first().params;
    const int width = first.pixels_per_line;
    int height = 0;
    for (const Frame &f : frames) {
        if (f.params.pixels_per_line != width) {
            *error = QStringLiteral("The scanner sent frames of different sizes.");
            return {};
        }
        const int rows = int(f.data.size() / f.params.bytes_per_line);
        height = height == 0 ? rows : std::min(height, rows);
    }
    if (width <= 0 || height <= 0) {
        *error = QStringLiteral("The scanner sent no picture data.");
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        *error = QStringLiteral("There is not enough memory for the scanned picture.");
        return {};
    }
    image.fill(Qt::black);
    for (const Frame &f : frames) {
        const SANE_Parameters &p = f.params;
        const auto *bytes = reinterpret_cast<const uchar *>(f.data.constData());
        for (int y = 0; y < height; ++y) {
            const uchar *row = bytes + qint64(y) * p.bytes_per_line;
            auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const QRgb was = out[x];
                switch (p.format) {
                case SANE_FRAME_RGB:
                    out[x] = qRgb(Sample(row, x, 0, 3, p.depth, false), Sample(row, x, 1, 3, p.depth, false),
                                  Sample(row, x, 2, 3, p.depth, false));
                    break;
                case SANE_FRAME_GRAY: {
                    const int v = Sample(row, x, 0, 1, p.depth, true);
                    out[x] = qRgb(v, v, v);
                    break;
                }
                case SANE_FRAME_RED: out[x] = qRgb(Sample(row, x, 0, 1, p.depth, false), qGreen(was), qBlue(was)); break;
                case SANE_FRAME_GREEN: out[x] = qRgb(qRed(was), Sample(row, x, 0, 1, p.depth, false), qBlue(was)); break;
                case SANE_FRAME_BLUE: out[x] = qRgb(qRed(was), qGreen(was), Sample(row, x, 0, 1, p.depth, false)); break;
                default: break;
                }
            }
        }
    }
    return image;
}

// The frame's layout is one this reader understands and fits in memory.
QString CheckParameters(const SANE_Parameters &p)
{
    const int channels = Channels(p.format);
    if (channels == 0 || (p.depth != 1 && p.depth != 8 && p.depth != 16))
        return QStringLiteral("The scanner sent a picture format this program cannot read.");
    if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0
        || qint64(p.bytes_per_line) * 8 < qint64(p.pixels_per_line) * channels * p.depth)
        return QStringLiteral("The scanner sent a picture of no size.");
    if (p.lines > 0 && qint64(p.bytes_per_line) * p.lines > kMaxScanBytes)
        return QStringLiteral("The scanned picture would be too large.");
    return {};
}

} // namespace

SourceList ListSources()
{
    SourceList result;
    SaneSession sane;
    if (!sane.Started()) {
        result.error = StatusText(sane.Status());
        return result;
    }
    result.sources = sane.Devices(&result.error);
    return result;
}

ScanResult Scan(const QString &source, const std::atomic<bool> &cancel, std::atomic<int> *percent)
{
    ScanResult result;
    if (percent) percent->store(0);
    SaneSession sane;
    if (!sane.Started()) {
        result.error = QStringLiteral("The scanner library could not be started: ") + StatusText(sane.Status());
        return result;
    }
    QString name = source;
    if (name.isEmpty()) {
        QString error;
        const QList<Source> devices = sane.Devices(&error);
        if (devices.isEmpty()) {
            result.error = error.isEmpty() ? QStringLiteral("No scanner was found.") : error;
            return result;
        }
        name = devices.first().name;
    }
    SANE_Status status = sane_open(name.toLocal8Bit().constData(), &sane.Handle());
    if (status != SANE_STATUS_GOOD) {
        sane.Handle() = nullptr;
        result.error = QStringLiteral("The scanner \"%1\" could not be opened: %2").arg(name, StatusText(status));
        return result;
    }
    SANE_Handle h = sane.Handle();

    QList<Frame> frames;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        if (cancel.load()) {
            result.cancelled = true;
            return result;
        }
        status = sane_start(h);
        if (status == SANE_STATUS_CANCELLED) {
            result.cancelled = true;
            return result;
        }
        if (status != SANE_STATUS_GOOD) {
            result.error = QStringLiteral("The scanner reported: ") + StatusText(status);
            return result;
        }
        Frame frame;
        status = sane_get_parameters(h, &frame.params);
        const SANE_Parameters &p = frame.params;
        const QString bad = status == SANE_STATUS_GOOD ? CheckParameters(p) : StatusText(status);
        if (!bad.isEmpty()) {
            result.error = bad;
            return result;
        }
        // Three-pass colour sends three frames of this size; progress counts all of them.
        const int passes = p.format == SANE_FRAME_RGB || p.format == SANE_FRAME_GRAY ? 1 : 3;
        const qint64 expected = p.lines > 0 ? qint64(p.bytes_per_line) * p.lines : 0;
        if (expected > 0) frame.data.reserve(expected);
        for (;;) {
            if (cancel.load()) {
                result.cancelled = true;
                return result;   // the session cancels and closes the device
            }
            SANE_Int length = 0;
            status = sane_read(h, reinterpret_cast<SANE_Byte *>(buffer.data()), SANE_Int(buffer.size()), &length);
            if (status == SANE_STATUS_EOF) break;
            if (status == SANE_STATUS_CANCELLED) {
                result.cancelled = true;
                return result;
            }
            if (status != SANE_STATUS_GOOD) {
                result.error = QStringLiteral("The scanner reported: ") + StatusText(status);
                return result;
            }
            if (length < 0 || length > buffer.size()) {
                result.error = QStringLiteral("The scanner sent damaged data.");
                return result;
            }
            if (total + length > kMaxScanBytes) {
                result.error = QStringLiteral("The scanned picture would be too large.");
                return result;
            }
            frame.data.append(buffer.constData(), length);
            total += length;
            if (percent && expected > 0) {
                const qint64 done = qint64(frames.size()) * expected + frame.data.size();
                percent->store(int(std::min<qint64>(100, done * 100 / (expected * passes))));
            }
        }
        const bool last = p.last_frame;
        frames.append(std::move(frame));
        if (last || frames.size() >= 3) break;
    }
    result.image = Compose(frames, &result.error);
    if (percent && !result.image.isNull()) percent->store(100);
    return result;
}

} // namespace pagero::scan
