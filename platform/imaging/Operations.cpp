#include "platform/imaging/Operations.h"

#include <Magick++.h>
#include <turbojpeg.h>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace pagero::imaging {

namespace {

thread_local const std::atomic<bool> *cancelFlag = nullptr;

bool Cancelled() { return cancelFlag && cancelFlag->load(std::memory_order_relaxed); }

MagickCore::MagickBooleanType Monitor(const char *, const MagickCore::MagickOffsetType,
                                      const MagickCore::MagickSizeType, void *)
{
    return Cancelled() ? MagickCore::MagickFalse : MagickCore::MagickTrue;
}

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
const char *const kMap = "BGRA";
const char *const kMapIn = "BGRP";
#else
const char *const kMap = "ARGB";
const char *const kMapIn = "PRGB";
#endif

Magick::Image ToMagick(const QImage &image)
{
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    Magick::Image m(size_t(rgb.width()), size_t(rgb.height()), kMapIn, Magick::CharPixel, rgb.constBits());
    m.quiet(true);
    return m;
}

QImage FromMagick(Magick::Image &m)
{
    if (m.colorSpace() != MagickCore::sRGBColorspace && m.colorSpace() != MagickCore::RGBColorspace)
        m.colorSpace(MagickCore::sRGBColorspace);
    QImage out(int(m.columns()), int(m.rows()), QImage::Format_RGB32);
    if (out.isNull()) return out;
    m.matte(false);
    m.write(0, 0, m.columns(), m.rows(), kMap, Magick::CharPixel, out.bits());
    return out;
}

bool FitsLimit(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width * height <= kMaxPixels;
}

// Runs one Magick++ step on a copy; the picture changes only when the step finished unabandoned.
bool WithMagick(QImage &image, const std::function<void(Magick::Image &)> &step)
{
    if (image.isNull() || Cancelled()) return false;
    EnsureMagick();
    try {
        Magick::Image m = ToMagick(image);
        MagickCore::SetImageProgressMonitor(m.image(), Monitor, nullptr);
        step(m);
        if (Cancelled() || !FitsLimit(qint64(m.columns()), qint64(m.rows()))) return false;
        QImage out = FromMagick(m);
        if (out.isNull() || Cancelled()) return false;
        image = std::move(out);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

void Statistic(Magick::Image &m, MagickCore::StatisticType type, int size)
{
    MagickCore::ExceptionInfo *ex = MagickCore::AcquireExceptionInfo();
    MagickCore::Image *made = MagickCore::StatisticImage(m.constImage(), type, size_t(size), size_t(size), ex);
    MagickCore::DestroyExceptionInfo(ex);
    if (!made) throw std::runtime_error("operation failed");
    m.replaceImage(made);
}

Magick::Color ToMagickColor(QColor c)
{
    return Magick::ColorRGB(c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0);
}

// Runs `rows(first, last)` over the picture's rows on every core; false when abandoned.
bool ForRows(int height, const std::function<void(int, int)> &rows)
{
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 8);
    const int chunk = (height + threads - 1) / threads;
    std::vector<std::thread> pool;
    for (int t = 1; t < threads && t * chunk < height; ++t)
        pool.emplace_back([&, t] { rows(t * chunk, std::min(height, (t + 1) * chunk)); });
    rows(0, std::min(height, chunk));
    for (std::thread &th : pool) th.join();
    return !Cancelled();
}

// Point operations are the same formula for every channel value: one table of 256 entries, applied
// in place (the same arithmetic ImageMagick uses, without the round trip through its pixel cache).
bool MapChannels(QImage &image, const std::function<double(double)> &f)
{
    if (image.isNull() || Cancelled()) return false;
    uchar table[256];
    for (int v = 0; v < 256; ++v) table[v] = uchar(std::clamp(std::lround(f(v / 255.0) * 255.0), 0L, 255L));
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    out.detach();
    if (out.isNull()) return false;
    const bool done = ForRows(out.height(), [&](int first, int last) {
        for (int y = first; y < last && !Cancelled(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) {
                const QRgb p = row[x];
                row[x] = qRgb(table[qRed(p)], table[qGreen(p)], table[qBlue(p)]);
            }
        }
    });
    if (done) image = std::move(out);
    return done;
}

// ImageMagick's modulate in its default HSL space, per pixel.
void ModulatePixel(double &r, double &g, double &b, double hueShift, double saturationFactor)
{
    const double mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b)), c = mx - mn;
    double h = 0, s = 0;
    const double l = (mx + mn) / 2.0;
    if (c > 0.0) {
        if (std::fabs(mx - r) < 1e-12) {
            h = (g - b) / c;
            if (g < b) h += 6.0;
        } else if (std::fabs(mx - g) < 1e-12) {
            h = 2.0 + (b - r) / c;
        } else {
            h = 4.0 + (r - g) / c;
        }
        h *= 60.0 / 360.0;
        s = l <= 0.5 ? c / (2.0 * l) : c / (2.0 - 2.0 * l);
    }
    h += hueShift;
    s *= saturationFactor;
    double hh = h * 360.0;
    const double cc = l <= 0.5 ? 2.0 * l * s : (2.0 - 2.0 * l) * s;
    const double m = l - 0.5 * cc;
    hh -= 360.0 * std::floor(hh / 360.0);
    hh /= 60.0;
    const double x = cc * (1.0 - std::fabs(hh - 2.0 * std::floor(hh / 2.0) - 1.0));
    switch (int(std::floor(hh))) {
    case 0: r = m + cc; g = m + x; b = m; break;
    case 1: r = m + x; g = m + cc; b = m; break;
    case 2: r = m; g = m + cc; b = m + x; break;
    case 3: r = m; g = m + x; b = m + cc; break;
    case 4: r = m + x; g = m; b = m + cc; break;
    case 5: r = m + cc; g = m; b = m + x; break;
    default: r = g = b = 0.0;
    }
}

// A hue turn alone keeps each pixel's largest and smallest channel: only the middle one and the
// channels' order change. The same result as ModulatePixel with the saturation factor 1, in single
// precision and without the round trip through lightness and saturation.
void TurnHuePixel(QRgb &p, float sextants)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    const int mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b)), c = mx - mn;
    if (c == 0) return;
    float h;
    if (mx == r) h = float(g - b) / float(c) + (g < b ? 6.0f : 0.0f);
    else if (mx == g) h = 2.0f + float(b - r) / float(c);
    else h = 4.0f + float(r - g) / float(c);
    h += sextants;   // both in [0, 6)
    if (h >= 6.0f) h -= 6.0f;
    const int sector = std::min(5, int(h));
    const float x = float(c) * (1.0f - std::fabs(h - float(sector & ~1) - 1.0f));
    const int mid = std::min(255, int(float(mn) + x + 0.5f));
    switch (sector) {
    case 0: p = qRgb(mx, mid, mn); break;
    case 1: p = qRgb(mid, mx, mn); break;
    case 2: p = qRgb(mn, mx, mid); break;
    case 3: p = qRgb(mn, mid, mx); break;
    case 4: p = qRgb(mid, mn, mx); break;
    default: p = qRgb(mx, mn, mid); break;
    }
}

bool TurnHue(QImage &image, double hueShift)
{
    if (image.isNull() || Cancelled()) return false;
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    out.detach();
    if (out.isNull()) return false;
    const float sextants = float((hueShift - std::floor(hueShift)) * 6.0);
    const bool done = ForRows(out.height(), [&](int first, int last) {
        for (int y = first; y < last && !Cancelled(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) TurnHuePixel(row[x], sextants);
        }
    });
    if (done) image = std::move(out);
    return done;
}

bool Modulate(QImage &image, double hueShift, double saturationFactor)
{
    if (image.isNull() || Cancelled()) return false;
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    out.detach();
    if (out.isNull()) return false;
    const auto channel = [](double v) { return std::clamp(int(std::lround(v * 255.0)), 0, 255); };
    const bool done = ForRows(out.height(), [&](int first, int last) {
        for (int y = first; y < last && !Cancelled(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) {
                double r = qRed(row[x]) / 255.0, g = qGreen(row[x]) / 255.0, b = qBlue(row[x]) / 255.0;
                ModulatePixel(r, g, b, hueShift, saturationFactor);
                row[x] = qRgb(channel(r), channel(g), channel(b));
            }
        }
    });
    if (done) image = std::move(out);
    return done;
}

// ImageMagick's one-dimensional Gaussian for a radius of 0: as wide as the curve stays above one
// 16-bit level, normalised.
std::vector<float> GaussianKernel(double sigma)
{
    const double alpha = 1.0 / (2.0 * sigma * sigma), beta = 1.0 / (std::sqrt(2.0 * M_PI) * sigma);
    int width = 5;
    for (;; width += 2) {
        const int j = (width - 1) / 2;
        double normalize = 0;
        for (int i = -j; i <= j; ++i) normalize += std::exp(-double(i * i) * alpha) * beta;
        const double value = std::exp(-double(j * j) * alpha) * beta / normalize;
        if (value < 1.0 / 65535.0 || width > 201) break;
    }
    width -= 2;
    std::vector<float> kernel(static_cast<size_t>(width));
    const int j = (width - 1) / 2;
    double sum = 0;
    for (int i = -j; i <= j; ++i) sum += std::exp(-double(i * i) * alpha);
    for (int i = -j; i <= j; ++i) kernel[size_t(i + j)] = float(std::exp(-double(i * i) * alpha) / sum);
    return kernel;
}

// The blur's inner loops, vectorised (GCC leaves float loops scalar at -O2).
#if defined(__GNUC__) && !defined(__clang__)
#define PAGERO_VECTORISE __attribute__((optimize("O3")))
#else
#define PAGERO_VECTORISE
#endif

PAGERO_VECTORISE void AddWeightedRow(float *acc, const uchar *row, float weight, int n)
{
    for (int i = 0; i < n; ++i) acc[i] += weight * float(row[i]);
}

// out[i] = sum of kernel[k] * acc[i + (k - j) * 4] for the 2j+1 taps.
PAGERO_VECTORISE void ConvolveRow(const float *acc, const float *kernel, int j, float *out, int n)
{
    for (int i = 0; i < n; ++i) out[i] = 0.0f;
    for (int k = -j; k <= j; ++k) {
        const float weight = kernel[k + j];
        const float *from = acc + k * 4;
        for (int i = 0; i < n; ++i) out[i] += weight * from[i];
    }
}

// A Gaussian blur (edges repeat the border pixels), then `finish(original, blurred)` per channel value
// gives the result. Separable: each output row is the kernel down the columns, then along the row.
template <class Finish>
bool GaussianPass(QImage &image, double sigma, Finish finish)
{
    if (image.isNull() || Cancelled() || sigma <= 0) return false;
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    if (source.isNull() || out.isNull()) return false;
    const std::vector<float> kernel = GaussianKernel(sigma);
    const int j = int(kernel.size() / 2), w = source.width(), h = source.height();
    const bool done = ForRows(h, [&](int first, int last) {
        std::vector<float> column(size_t(w + 2 * j) * 4), blurred(size_t(w) * 4);
        for (int y = first; y < last && !Cancelled(); ++y) {
            float *acc = column.data() + size_t(j) * 4;
            std::fill(column.begin(), column.end(), 0.0f);
            for (int k = -j; k <= j; ++k)
                AddWeightedRow(acc, source.constScanLine(std::clamp(y + k, 0, h - 1)), kernel[size_t(k + j)], w * 4);
            for (int e = 1; e <= j; ++e)
                for (int c = 0; c < 4; ++c) {
                    acc[-e * 4 + c] = acc[c];
                    acc[(w - 1 + e) * 4 + c] = acc[(w - 1) * 4 + c];
                }
            ConvolveRow(acc, kernel.data(), j, blurred.data(), w * 4);
            const uchar *original = source.constScanLine(y);
            uchar *target = out.scanLine(y);
            for (int i = 0; i < w * 4; ++i)
                target[i] = uchar(std::clamp(finish(float(original[i]), blurred[size_t(i)]), 0.0f, 255.0f) + 0.5f);
            for (int x = 0; x < w; ++x) target[x * 4 + 3] = 0xFF;
        }
    });
    if (done) image = std::move(out);
    return done;
}

// A comparator network that leaves the value of rank n/2 of n values at index n/2: Batcher's merge
// exchange (which sorts any n), pruned to the comparators that middle output depends on.
std::vector<std::pair<int, int>> MedianNetwork(int n)
{
    std::vector<std::pair<int, int>> sort;
    int t = 0;
    while ((1 << t) < n) ++t;
    for (int p = t > 0 ? 1 << (t - 1) : 0; p > 0; p >>= 1) {
        int q = 1 << (t - 1), r = 0, d = p;
        for (;;) {
            for (int i = 0; i < n - d; ++i)
                if ((i & p) == r) sort.emplace_back(i, i + d);
            if (q == p) break;
            d = q - p;
            q >>= 1;
            r = p;
        }
    }
    // Backwards from the middle output: a comparator touching no wire that still matters goes.
    std::vector<bool> needed(size_t(n), false);
    needed[size_t(n / 2)] = true;
    std::vector<std::pair<int, int>> kept;
    for (auto it = sort.rbegin(); it != sort.rend(); ++it) {
        if (!needed[size_t(it->first)] && !needed[size_t(it->second)]) continue;
        needed[size_t(it->first)] = needed[size_t(it->second)] = true;
        kept.push_back(*it);
    }
    return {kept.rbegin(), kept.rend()};
}

// One comparator over many channel values at once: the smaller of each pair to `a`, the larger to `b`.
PAGERO_VECTORISE void OrderBytes(uchar *a, uchar *b, int n)
{
    for (int i = 0; i < n; ++i) {
        const uchar x = a[i], y = b[i];
        a[i] = x < y ? x : y;
        b[i] = x < y ? y : x;
    }
}

// The median for small windows: every channel byte of a strip of pixels runs through the network
// together (byte minimum and maximum, vectorised), the window's values laid out as size x size planes.
bool MedianByNetwork(QImage &image, int size)
{
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    if (source.isNull() || out.isNull()) return false;
    const int w = source.width(), h = source.height(), n = size * size;
    const int before = size / 2, after = size - 1 - before;
    const std::vector<std::pair<int, int>> network = MedianNetwork(n);
    constexpr int kStrip = 256;   // pixels per pass: n planes of it stay in the first-level cache
    const bool done = ForRows(h, [&](int first, int last) {
        std::vector<QRgb> padded(size_t(size) * size_t(w + size));
        std::vector<uchar> planes(size_t(n) * kStrip * 4);
        for (int y = first; y < last && !Cancelled(); ++y) {
            // The window's rows with their edges repeated, so every plane is a plain offset.
            for (int k = 0; k < size; ++k) {
                const QRgb *row = reinterpret_cast<const QRgb *>(source.constScanLine(std::clamp(y - before + k, 0, h - 1)));
                QRgb *pad = padded.data() + size_t(k) * size_t(w + size);
                for (int x = -before; x < w + after; ++x) pad[x + before] = row[std::clamp(x, 0, w - 1)];
            }
            QRgb *target = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x0 = 0; x0 < w; x0 += kStrip) {
                const int count = std::min(kStrip, w - x0), bytes = count * 4;
                for (int k = 0; k < size; ++k)
                    for (int dx = 0; dx < size; ++dx)
                        std::memcpy(planes.data() + size_t(k * size + dx) * kStrip * 4,
                                    padded.data() + size_t(k) * size_t(w + size) + x0 + dx, size_t(bytes));
                for (const auto &[a, b] : network)
                    OrderBytes(planes.data() + size_t(a) * kStrip * 4, planes.data() + size_t(b) * kStrip * 4, bytes);
                const QRgb *median = reinterpret_cast<const QRgb *>(planes.data() + size_t(n / 2) * kStrip * 4);
                for (int i = 0; i < count; ++i) target[x0 + i] = median[i] | 0xFF000000u;
            }
        }
    });
    if (done) image = std::move(out);
    return done;
}

// The median of each channel over a size x size window (edges repeat the border pixels): the value
// at index n/2 of the window's n values in order, as ImageMagick's statistic takes it. Small windows
// go through a comparator network; larger ones slide one histogram per channel along each row, its
// median followed step by step (Huang's method).
bool Median(QImage &image, int size)
{
    if (image.isNull() || Cancelled()) return false;
    if (size >= 2 && size <= 7) return MedianByNetwork(image, size);
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    if (source.isNull() || out.isNull()) return false;
    const int w = source.width(), h = source.height();
    const int before = size / 2, after = size - 1 - before;
    const int rank = size * size / 2;
    const bool done = ForRows(h, [&](int first, int last) {
        std::vector<const QRgb *> rows(static_cast<size_t>(size));
        for (int y = first; y < last && !Cancelled(); ++y) {
            for (int k = 0; k < size; ++k)
                rows[size_t(k)] = reinterpret_cast<const QRgb *>(source.constScanLine(std::clamp(y - before + k, 0, h - 1)));
            int hist[3][256] = {};
            const auto column = [&](int x, int delta) {
                x = std::clamp(x, 0, w - 1);
                for (const QRgb *row : rows) {
                    const QRgb p = row[x];
                    hist[0][qRed(p)] += delta;
                    hist[1][qGreen(p)] += delta;
                    hist[2][qBlue(p)] += delta;
                }
            };
            for (int x = -before; x <= after; ++x) column(x, 1);
            int median[3] = {0, 0, 0}, below[3] = {0, 0, 0};   // below: values under the median
            QRgb *target = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                if (x > 0) {
                    // Slide: the column that left and the one that came in move the counts under
                    // each median, then the median steps to its rank again.
                    const int gone = std::clamp(x - before - 1, 0, w - 1), come = std::clamp(x + after, 0, w - 1);
                    // Without branches: which side of the median a value falls on is unpredictable.
                    for (const QRgb *row : rows) {
                        const QRgb left = row[gone], entered = row[come];
                        const int out3[3] = {qRed(left), qGreen(left), qBlue(left)};
                        const int in3[3] = {qRed(entered), qGreen(entered), qBlue(entered)};
                        for (int c = 0; c < 3; ++c) {
                            --hist[c][out3[c]];
                            ++hist[c][in3[c]];
                            below[c] += int(in3[c] < median[c]) - int(out3[c] < median[c]);
                        }
                    }
                }
                int v[3];
                for (int c = 0; c < 3; ++c) {
                    int m = median[c], b = below[c];
                    while (b > rank) b -= hist[c][--m];
                    while (b + hist[c][m] <= rank) b += hist[c][m++];
                    median[c] = m;
                    below[c] = b;
                    v[c] = m;
                }
                target[x] = qRgb(v[0], v[1], v[2]);
            }
        }
    });
    if (done) image = std::move(out);
    return done;
}

} // namespace

CancelScope::CancelScope(const std::atomic<bool> *flag) : previous_(cancelFlag) { cancelFlag = flag; }
CancelScope::~CancelScope() { cancelFlag = previous_; }

namespace {
// ImageMagick's brightness-contrast: a straight line through the channel values.
bool BrightnessContrast(QImage &image, double brightness, double contrast)
{
    const double slope = std::max(0.0, std::tan(M_PI * (contrast / 100.0 + 1.0) / 4.0));
    const double intercept = brightness / 100.0 + ((100.0 - brightness) / 200.0) * (1.0 - slope);
    return MapChannels(image, [slope, intercept](double v) { return slope * v + intercept; });
}
}

bool ChangeIntensity(QImage &image, int value)
{
    if (value < -1000 || value > 1000) return false;
    return BrightnessContrast(image, value / 10.0, 0.0);
}

bool ChangeContrast(QImage &image, int value)
{
    if (value < -1000 || value > 1000) return false;
    return BrightnessContrast(image, 0.0, value / 10.0);
}

bool ChangeSaturation(QImage &image, int value)
{
    if (value < -1000 || value > 1000) return false;
    return Modulate(image, 0.0, 1.0 + value / 1000.0);
}

bool ChangeHue(QImage &image, int angle)
{
    return TurnHue(image, std::fmod(angle, 360) / 360.0);
}

bool GammaCorrect(QImage &image, int gamma)
{
    if (gamma <= 0) return false;
    return MapChannels(image, [g = gamma / 100.0](double v) { return std::pow(v, 1.0 / g); });
}

bool Solarize(QImage &image, int threshold)
{
    return MapChannels(image, [t = threshold / 255.0](double v) { return v > t + 1e-9 ? 1.0 - v : v; });
}

bool Invert(QImage &image)
{
    if (image.isNull()) return false;
    image.invertPixels();
    return true;
}

bool GrayScale(QImage &image)
{
    return WithMagick(image, [](Magick::Image &m) { m.colorSpace(MagickCore::GRAYColorspace); });
}

bool HalfTone(QImage &image, int type)
{
    if (type != 1) return false;
    return WithMagick(image, [](Magick::Image &m) {
        m.colorSpace(MagickCore::GRAYColorspace);
        m.orderedDither("h6x6a");
    });
}

bool HistoEqualize(QImage &image)
{
    return WithMagick(image, [](Magick::Image &m) { m.equalize(); });
}

bool StretchIntensity(QImage &image)
{
    return WithMagick(image, [](Magick::Image &m) { m.autoLevel(); });
}

bool AddNoise(QImage &image, int amount, NoiseChannel channel)
{
    if (amount < 0 || amount > 1000) return false;
    return WithMagick(image, [amount, channel](Magick::Image &m) {
        m.attenuate(amount / 1000.0 * 5.0);
        MagickCore::ChannelType ch = MagickCore::DefaultChannels;
        switch (channel) {
        case NoiseChannel::Red: ch = MagickCore::RedChannel; break;
        case NoiseChannel::Green: ch = MagickCore::GreenChannel; break;
        case NoiseChannel::Blue: ch = MagickCore::BlueChannel; break;
        case NoiseChannel::All: break;
        }
        m.addNoiseChannel(ch, MagickCore::UniformNoise);
    });
}

bool AverageFilter(QImage &image, int size)
{
    if (size < 1 || size > 25) return false;
    return WithMagick(image, [size](Magick::Image &m) { Statistic(m, MagickCore::MeanStatistic, size); });
}

bool MedianFilter(QImage &image, int size)
{
    if (size < 1 || size > 25) return false;
    return Median(image, size);
}

bool Sharpen(QImage &image, int value)
{
    if (value < -1000 || value > 1000) return false;
    // Sharpening is an unsharp mask (sigma 1) of up to twice the detail; the negative side blurs with
    // a sigma of up to 4 pixels. Both are ImageMagick's, computed here with a separable Gaussian.
    if (value == 0) return !image.isNull() && !Cancelled();
    if (value > 0) {
        const float gain = float(value / 500.0);
        return GaussianPass(image, 1.0, [gain](float p, float blurred) { return p + gain * (p - blurred); });
    }
    return GaussianPass(image, -value / 250.0, [](float, float blurred) { return blurred; });
}

bool Posterize(QImage &image, int levels)
{
    if (levels < 2 || levels > 64) return false;
    return WithMagick(image, [levels](Magick::Image &m) { m.posterize(size_t(levels), false); });
}

bool Mosaic(QImage &image, int tile)
{
    if (tile < 1 || tile > 64) return false;
    return WithMagick(image, [tile](Magick::Image &m) {
        const size_t w = m.columns(), h = m.rows();
        Magick::Geometry small((w + tile - 1) / tile, (h + tile - 1) / tile);
        small.aspect(true);
        m.scale(small);
        Magick::Geometry full(w, h);
        full.aspect(true);
        m.sample(full);
    });
}

QString SpatialFilterKernel(int filter, bool *biased)
{
    // Neighbours in compass order from North, clockwise, as offsets into a 3x3 kernel.
    static const int compass[8] = {1, 2, 5, 8, 7, 6, 3, 0};
    const auto kernel = [](const int (&k)[9]) {
        QStringList v;
        for (int x : k) v << QString::number(x);
        return QStringLiteral("3x3: ") + v.join(QLatin1Char(','));
    };
    if (biased) *biased = false;
    if (filter >= 0 && filter < 8) {
        // Emboss: the light comes from the direction; the flat parts become middle grey.
        int k[9] = {};
        k[compass[filter]] = 1;
        k[compass[(filter + 4) % 8]] = -1;
        if (biased) *biased = true;
        return kernel(k);
    }
    if (filter >= 8 && filter < 16) return QStringLiteral("Compass:%1").arg((filter - 8) * 45);
    switch (filter) {
    case 16: return QStringLiteral("Laplacian:0");
    case 17: return QStringLiteral("Laplacian:1");
    case 18: return QStringLiteral("Laplacian:2");
    case 19: return kernel({-1, 0, 0, 0, 2, 0, 0, 0, -1});
    case 20: return kernel({0, 0, 0, -1, 2, -1, 0, 0, 0});
    case 21: return kernel({0, -1, 0, 0, 2, 0, 0, -1, 0});
    case 22: return QStringLiteral("Sobel:0");
    case 23: return QStringLiteral("Sobel:90");
    case 24: return QStringLiteral("Prewitt:0");
    case 25: return QStringLiteral("Prewitt:90");
    case 26: case 27: case 28: {
        // Shift and difference: the picture minus itself shifted by one pixel.
        const int neighbour[3] = {0, 3, 1};
        int k[9] = {};
        k[4] = 1;
        k[neighbour[filter - 26]] = -1;
        if (biased) *biased = true;
        return kernel(k);
    }
    case 29: return kernel({-1, -1, -1, 2, 2, 2, -1, -1, -1});
    case 30: return kernel({-1, 2, -1, -1, 2, -1, -1, 2, -1});
    case 31: return kernel({2, -1, -1, -1, 2, -1, -1, -1, 2});
    case 32: return kernel({-1, -1, 2, -1, 2, -1, 2, -1, -1});
    default: return {};
    }
}

bool SpatialFilter(QImage &image, int filter)
{
    bool biased = false;
    const QString k = SpatialFilterKernel(filter, &biased);
    if (k.isEmpty()) return false;
    return WithMagick(image, [&](Magick::Image &m) {
        if (biased) m.artifact("convolve:bias", "50%");
        m.morphology(MagickCore::ConvolveMorphology, k.toStdString());
    });
}

bool ColorRes(QImage &image, int bitsPerPixel, int flags)
{
    namespace F = ColorResFlag;
    if (bitsPerPixel == 24 || bitsPerPixel == 32) return !image.isNull();
    if (bitsPerPixel == 16) {
        if (image.isNull()) return false;
        image = image.convertToFormat(QImage::Format_RGB16).convertToFormat(QImage::Format_RGB32);
        return true;
    }
    if (bitsPerPixel < 1 || bitsPerPixel > 8) return false;
    const int dither = flags & F::DitherMask;
    const bool fixedPalette = flags & (F::PaletteFixed | F::PaletteSystem | F::PaletteNetscape);
    return WithMagick(image, [&](Magick::Image &m) {
        if (dither == F::DitherOrdered) {
            // Ordered dithering onto an even grid of levels per channel.
            const int levels = std::max(2, int(std::lround(std::cbrt(double(1 << bitsPerPixel)))));
            m.orderedDither("o8x8," + std::to_string(levels));
            return;
        }
        if (fixedPalette && bitsPerPixel == 8) {
            // The fixed palettes are the 216-colour web palette.
            Magick::Image palette("netscape:");
            m.map(palette, dither != F::DitherNone);
            return;
        }
        m.quantizeColors(size_t(1) << bitsPerPixel);
        m.quantizeDither(dither != F::DitherNone);
        if (dither != F::DitherNone) m.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
        m.quantize();
    });
}

bool FlipHorizontal(QImage &image)
{
    if (image.isNull()) return false;
    image = image.mirrored(true, false);
    return !image.isNull();
}

bool FlipVertical(QImage &image)
{
    if (image.isNull()) return false;
    image = image.mirrored(false, true);
    return !image.isNull();
}

bool RotateFine(QImage &image, int angle, int flags, QColor fill)
{
    const QSize before = image.size();
    const bool ok = WithMagick(image, [&](Magick::Image &m) {
        m.backgroundColor(ToMagickColor(fill));
        m.rotate(angle / 100.0);
    });
    if (ok && !(flags & 1) && image.size() != before) {
        // Without resizing the picture keeps its size: the middle of the turned canvas.
        image = image.copy(QRect(QPoint((image.width() - before.width()) / 2, (image.height() - before.height()) / 2),
                                 before));
    }
    return ok;
}

bool Shear(QImage &image, int angle, bool horizontal, QColor fill)
{
    if (angle <= -9000 || angle >= 9000) return false;
    return WithMagick(image, [&](Magick::Image &m) {
        m.backgroundColor(ToMagickColor(fill));
        m.shear(horizontal ? angle / 100.0 : 0.0, horizontal ? 0.0 : angle / 100.0);
    });
}

bool SizeBitmap(QImage &image, int width, int height, int)
{
    if (!FitsLimit(width, height)) return false;
    return WithMagick(image, [&](Magick::Image &m) {
        Magick::Geometry g{size_t(width), size_t(height)};
        g.aspect(true);
        m.sample(g);
    });
}

bool ResampleBitmap(QImage &image, int width, int height)
{
    if (!FitsLimit(width, height)) return false;
    return WithMagick(image, [&](Magick::Image &m) {
        Magick::Geometry g{size_t(width), size_t(height)};
        g.aspect(true);
        m.resize(g);
    });
}

// ---- saving ----

int JpegQualityOf(int qualityFactor)
{
    // The quality factor runs from 2 (best) to 255; the save dialog's slider 100..10 gives 2..229.
    return std::clamp(100 - (qualityFactor - 2) * 100 / 253, 1, 100);
}

namespace {

bool Fail(QString *error, const QString &why)
{
    if (error) *error = why;
    return false;
}

QByteArray EncodeJpeg(const QImage &image, int bitsPerPixel, int qualityFactor, QString *error)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    tjhandle tj = tjInitCompress();
    if (!tj) { Fail(error, QStringLiteral("JPEG encoder unavailable")); return {}; }
    unsigned char *out = nullptr;
    unsigned long size = 0;
    const int quality = JpegQualityOf(qualityFactor);
    const int sampling = bitsPerPixel == 8 ? TJSAMP_GRAY : quality >= 90 ? TJSAMP_444 : TJSAMP_420;
    const int rc = tjCompress2(tj, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_BGRX,
                               &out, &size, sampling, quality, TJFLAG_ACCURATEDCT);
    QByteArray bytes;
    if (rc == 0) bytes = QByteArray(reinterpret_cast<const char *>(out), qsizetype(size));
    else Fail(error, QString::fromLatin1(tjGetErrorStr2(tj)));
    tjFree(out);
    tjDestroy(tj);
    return bytes;
}

void PutLe16(QByteArray &b, int v) { char c[2]; qToLittleEndian<quint16>(quint16(v), c); b.append(c, 2); }
void PutLe32(QByteArray &b, quint32 v) { char c[4]; qToLittleEndian<quint32>(v, c); b.append(c, 4); }

// A placeable Windows metafile holding the picture as one device-independent bitmap (ImageMagick
// reads metafiles but does not write them).
QByteArray EncodeWmf(const QImage &image, int bitsPerPixel, QString *error)
{
    if (image.width() > 32767 || image.height() > 32767) {
        Fail(error, QStringLiteral("Too large for a metafile"));
        return {};
    }
    const int w = image.width(), h = image.height();
    QByteArray dib;
    PutLe32(dib, 40); PutLe32(dib, quint32(w)); PutLe32(dib, quint32(h)); PutLe16(dib, 1);
    PutLe16(dib, bitsPerPixel); PutLe32(dib, 0); PutLe32(dib, 0); PutLe32(dib, 0); PutLe32(dib, 0);
    QImage px;
    if (bitsPerPixel == 8) {
        px = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        PutLe32(dib, quint32(px.colorCount())); PutLe32(dib, 0);
        for (QRgb c : px.colorTable()) PutLe32(dib, c & 0xFFFFFF);
    } else {
        px = image.convertToFormat(QImage::Format_RGB888);
        PutLe32(dib, 0); PutLe32(dib, 0);
    }
    const int rowBytes = (w * bitsPerPixel / 8 + 3) & ~3;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        const uchar *src = px.constScanLine(y);
        if (bitsPerPixel == 8) {
            memcpy(row.data(), src, size_t(w));
        } else {
            for (int x = 0; x < w; ++x) {   // the bitmap stores blue, green, red
                row[3 * x] = char(src[3 * x + 2]);
                row[3 * x + 1] = char(src[3 * x + 1]);
                row[3 * x + 2] = char(src[3 * x]);
            }
        }
        dib.append(row);
    }
    if (dib.size() % 2) dib.append('\0');

    QByteArray records;
    const auto record = [&records](int function, std::initializer_list<int> params) {
        PutLe32(records, quint32(3 + params.size()));
        PutLe16(records, function);
        for (int p : params) PutLe16(records, p);
    };
    record(0x020B, {0, 0});   // SETWINDOWORG
    record(0x020C, {h, w});   // SETWINDOWEXT
    const quint32 stretchWords = quint32(3 + 2 + 9 + dib.size() / 2);
    PutLe32(records, stretchWords);
    PutLe16(records, 0x0F43);   // STRETCHDIB: raster operation SRCCOPY, colours as RGB
    PutLe32(records, 0x00CC0020);
    PutLe16(records, 0);
    for (int p : {h, w, 0, 0, h, w, 0, 0}) PutLe16(records, p);
    records.append(dib);
    record(0x0000, {});   // end of file

    QByteArray out;
    PutLe32(out, 0x9AC6CDD7u);
    PutLe16(out, 0);
    for (int v : {0, 0, w, h}) PutLe16(out, v);
    PutLe16(out, 72);   // units per inch: one unit per pixel at the usual 72 dpi
    PutLe32(out, 0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2) checksum ^= qFromLittleEndian<quint16>(out.constData() + i);
    PutLe16(out, checksum);
    const quint32 words = quint32(9 + records.size() / 2);
    PutLe16(out, 1); PutLe16(out, 9); PutLe16(out, 0x0300); PutLe32(out, words); PutLe16(out, 0);
    PutLe32(out, stretchWords); PutLe16(out, 0);
    out.append(records);
    return out;
}

bool ValidBits(int format, int bits)
{
    switch (format) {
    case 6: case 3: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case 10: case 15: case 76: return bits == 8 || bits == 24;
    case 1: return bits == 1 || bits == 4 || bits == 8 || bits == 24;
    case 91: case 2: return bits == 1 || bits == 4 || bits == 8;
    case 75: return bits == 4 || bits == 8 || bits == 24;
    default: return false;
    }
}

QByteArray EncodeMagick(const QImage &image, int format, int bits, QString *error)
{
    EnsureMagick();
    try {
        Magick::Image m = ToMagick(image);
        const char *coder = format == 6 ? "BMP" : format == 1 ? "PCX" : format == 91 ? "ICO" : format == 2 ? "GIF"
                          : format == 3 ? "TIFF" : format == 75 ? "PNG" : "PSD";
        m.magick(coder);
        m.depth(8);
        // The pixels are plain sRGB: no gamma or chromaticity chunks that readers would apply.
        if (format == 75) m.defineValue("png", "exclude-chunks", "date,time,gAMA,cHRM,bKGD");
        if (bits <= 8) {
            if (bits == 1) {
                m.type(MagickCore::BilevelType);
            } else {
                m.quantizeColors(size_t(1) << bits);
                m.quantizeDither(false);
                m.quantize();
                m.type(MagickCore::PaletteType);
            }
            if (format == 75) {
                m.defineValue("png", "bit-depth", std::to_string(bits == 1 ? 1 : bits));
                m.defineValue("png", "color-type", "3");
            }
        } else if (bits == 16) {
            if (format == 6) {
                m.defineValue("bmp", "subtype", "RGB565");
                m.type(MagickCore::TrueColorType);
            } else {   // TIFF: 16-bit samples of grey
                m.colorSpace(MagickCore::GRAYColorspace);
                m.depth(16);
            }
        } else if (bits == 32) {
            m.matte(true);
            m.type(MagickCore::TrueColorMatteType);
        } else {
            m.type(MagickCore::TrueColorType);
            if (format == 75) m.magick("PNG24");
        }
        Magick::Blob blob;
        m.write(&blob);
        return QByteArray(static_cast<const char *>(blob.data()), qsizetype(blob.length()));
    } catch (const std::exception &e) {
        Fail(error, QString::fromLocal8Bit(e.what()));
        return {};
    }
}

} // namespace

bool SaveBitmap(const QImage &image, const QString &path, int format, int bitsPerPixel, int qualityFactor,
                QString *error)
{
    if (image.isNull()) return Fail(error, QStringLiteral("No picture"));
    if (!ValidBits(format, bitsPerPixel)) return Fail(error, QStringLiteral("Unsupported format or bits per pixel"));
    QByteArray bytes;
    if (format == 10) bytes = EncodeJpeg(image, bitsPerPixel, qualityFactor, error);
    else if (format == 15) bytes = EncodeWmf(image, bitsPerPixel, error);
    else bytes = EncodeMagick(image, format, bitsPerPixel, error);
    if (bytes.isEmpty()) return error && !error->isEmpty() ? false : Fail(error, QStringLiteral("Encoding failed"));
    if (!WriteFileAtomically(path, bytes)) return Fail(error, QStringLiteral("Cannot write the file"));
    return true;
}

bool FileInfo(const QString &path, FileInformation &info)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(8);
    if (head.size() < 4) return false;
    const auto starts = [&head](const char *magic, int n) { return head.startsWith(QByteArray(magic, n)); };
    if (starts("BM", 2)) info.format = 6;
    else if (starts("\xFF\xD8", 2)) info.format = 10;
    else if (starts("\x89PNG", 4)) info.format = 75;
    else if (starts("GIF8", 4)) info.format = 2;
    else if (starts("II*\0", 4) || starts("MM\0*", 4)) info.format = 3;
    else if (starts("8BPS", 4)) info.format = 76;
    else if (starts("\0\0\1\0", 4)) info.format = 91;
    else if (starts("\xD7\xCD\xC6\x9A", 4) || starts("\1\0\x09\0", 4)) info.format = 15;
    else if (head[0] == '\x0A' && quint8(head[1]) <= 5 && head[2] == '\1') info.format = 1;
    else info.format = 0;
    info.bitsPerPixel = FileBitsPerPixel(path);
    if (info.bitsPerPixel <= 0) info.bitsPerPixel = 24;
    return info.format != 0 || PictureSize(path).isValid();
}

} // namespace pagero::imaging
