#pragma once
// The editor's pixel operations and its saving, one function per operation of the imaging library
// the editor was written against. The numeric arguments are that library's (brightness in tenths of
// a percent, angles in hundredths of a degree, filter numbers 0..32, quality factor 2..255), so a
// reader can go from the editor's command to the call.
//
// Every operation works on a Format_RGB32 picture, returns true when it changed the picture as
// asked, and on failure (out of memory, a result above kMaxPixels, an abandoned run) leaves the
// picture untouched. Pixel work goes through Magick++ (flips and the negative through Qt, which does
// them exactly); JPEG is written with libjpeg-turbo. Thread-safe: the editor runs them on workers.
#include "platform/imaging/Imaging.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <atomic>

namespace pagero::imaging {

// While a scope lives, every operation on this thread polls `flag` and gives up (returning false,
// the picture untouched) once it is set: Escape abandons a running operation this way.
class CancelScope {
public:
    explicit CancelScope(const std::atomic<bool> *flag);
    ~CancelScope();
    CancelScope(const CancelScope &) = delete;
    CancelScope &operator=(const CancelScope &) = delete;
private:
    const std::atomic<bool> *previous_;
};

// Colour and tone; `value` is a percentage times 10 (-1000..1000).
bool ChangeIntensity(QImage &image, int value);
bool ChangeContrast(QImage &image, int value);
bool ChangeSaturation(QImage &image, int value);
bool ChangeHue(QImage &image, int angle);                 // degrees, 0..359
bool GammaCorrect(QImage &image, int gamma);              // gamma times 100 (10..500)
bool Solarize(QImage &image, int threshold);              // 0..255
bool Invert(QImage &image);
bool GrayScale(QImage &image);
bool HalfTone(QImage &image, int type);                   // type 1: a printed-screen look in black and white
bool HistoEqualize(QImage &image);
bool StretchIntensity(QImage &image);

// Neighbourhood operations.
enum class NoiseChannel { All = 0, Red = 1, Green = 2, Blue = 3 };
bool AddNoise(QImage &image, int amount, NoiseChannel channel);   // amount: percentage times 10
bool AverageFilter(QImage &image, int size);                       // square size 1..25
bool MedianFilter(QImage &image, int size);
bool Sharpen(QImage &image, int value);                            // -1000 (blur) .. 1000
bool Posterize(QImage &image, int levels);                         // levels per channel, 2..64
bool Mosaic(QImage &image, int tile);                              // tile size in pixels
// Filters 0..7 emboss, 8..15 gradient (North, North-East, ... North-West), 16..21 Laplacian
// (three masks, diagonal, horizontal, vertical), 22/23 Sobel and 24/25 Prewitt (horizontal,
// vertical), 26..28 shift and difference (diagonal, horizontal, vertical), 29..32 line segment
// (horizontal, vertical, left to right, right to left).
bool SpatialFilter(QImage &image, int filter);
inline constexpr int kSpatialFilterCount = 33;
// The convolution kernel of a spatial filter in ImageMagick's kernel syntax, and whether the
// result is centred on middle grey; empty for an unknown number.
QString SpatialFilterKernel(int filter, bool *biased = nullptr);

// Colour resolution: bits per pixel 1..8, 16, 24 or 32 with flags = palette | dithering | order.
// 16 keeps 5-6-5 bits of red, green and blue; 24 and 32 leave the picture as it is.
namespace ColorResFlag {
inline constexpr int PaletteFixed = 0x1, PaletteOptimized = 0x2, PaletteSystem = 0x8, PaletteNetscape = 0x40;
inline constexpr int OrderBgr = 0x4;
inline constexpr int DitherNone = 0, DitherFloydStein = 0x10000, DitherStucki = 0x20000, DitherBurkes = 0x30000,
                     DitherSierra = 0x40000, DitherStevenson = 0x50000, DitherJarvis = 0x60000,
                     DitherOrdered = 0x70000, DitherMask = 0xF0000;
}
bool ColorRes(QImage &image, int bitsPerPixel, int flags);

// Geometry. Angles in hundredths of a degree, positive clockwise; `fill` paints uncovered corners.
bool FlipHorizontal(QImage &image);   // mirror left-right
bool FlipVertical(QImage &image);     // upside down
bool RotateFine(QImage &image, int angle, int flags, QColor fill);   // flags 1: the canvas grows to hold it
bool Shear(QImage &image, int angle, bool horizontal, QColor fill);
bool SizeBitmap(QImage &image, int width, int height, int flags);   // nearest pixel (flags 0)
bool ResampleBitmap(QImage &image, int width, int height);          // filtered

// Saving with the format codes of the save dialog (6 BMP, 10 JPEG, 1 PCX, 15 WMF, 91 ICO, 2 GIF,
// 3 TIFF, 75 PNG, 76 PSD), bits per pixel and quality factor (2 best .. 255 smallest; JPEG only).
// Written atomically: on any failure the result is false, `error` says why and an existing file
// keeps its bytes.
bool SaveBitmap(const QImage &image, const QString &path, int format, int bitsPerPixel, int qualityFactor,
                QString *error = nullptr);
// The JPEG quality (1..100) of a quality factor.
int JpegQualityOf(int qualityFactor);

struct FileInformation {
    int format = 0;          // one of the save codes above, 0 for any other format
    int bitsPerPixel = 0;
};
// Format and bits per pixel of a picture file; false when it is not a picture this reads.
bool FileInfo(const QString &path, FileInformation &info);

} // namespace pagero::imaging
