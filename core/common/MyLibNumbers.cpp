// Number work of the common library: rounding, fitting pictures into boxes, roman page numerals and
// size texts.
#include "core/common/MyLib.h"

#include <QStringList>
#include <algorithm>
#include <climits>
#include <cmath>

namespace pagero {

int RoundHalfEven(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= double(INT_MAX)) return INT_MAX;
    if (v <= double(INT_MIN)) return INT_MIN;
    // nearbyint rounds by the current mode, which is to-nearest-even unless someone changed it;
    // do it explicitly so the result never depends on that.
    const double floorV = std::floor(v);
    const double diff = v - floorV;
    double r;
    if (diff > 0.5) r = floorV + 1;
    else if (diff < 0.5) r = floorV;
    else r = std::fmod(floorV, 2.0) == 0.0 ? floorV : floorV + 1;
    return static_cast<int>(r);
}

void FitInBox(int w, int h, int &boxW, int &boxH)
{
    const int maxW = std::max(1, boxW);
    const int maxH = std::max(1, boxH);
    // The smaller ratio keeps the proportions; a lower limit on the scale would squeeze every
    // large picture into the whole box.
    double scale = 1.0;
    if (w > 0 && h > 0) scale = std::min({double(maxW) / w, double(maxH) / h, 1.0});
    boxW = std::clamp(RoundHalfEven(w * scale), 1, maxW);
    boxH = std::clamp(RoundHalfEven(h * scale), 1, maxH);
}

namespace {

QString RomanNumeral(int n)
{
    static const struct { int value; const char *text; } steps[] = {
        {100, "c"}, {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
    QString out;
    for (const auto &step : steps) {
        while (n >= step.value) {
            out += QLatin1String(step.text);
            n -= step.value;
        }
    }
    return out;
}

const QStringList &RomanTable()
{
    static const QStringList table = [] {
        QStringList t;
        t.reserve(250);
        for (int n = 1; n <= 250; ++n) t.append(RomanNumeral(n));
        return t;
    }();
    return table;
}

// Whole units and one truncated tenth ("1.5KB"). A remainder of 1020..1023 would give a tenth of
// 10 ("1.10KB" for nearly 2 KB); it stays at 9 so the text never reads smaller than the value.
QString UnitsWithTenth(qint64 value, const char *unit)
{
    const qint64 tenth = std::min<qint64>((value % 1024) / 102, 9);
    return QString::number(value / 1024) + QLatin1Char('.') + QString::number(tenth) + QLatin1String(unit);
}

QString GroupThousands(qint64 value)
{
    QString digits = QString::number(value);
    const int firstDigit = digits.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (int pos = digits.size() - 3; pos > firstDigit; pos -= 3) digits.insert(pos, QLatin1Char(','));
    return digits;
}

} // namespace

QString RomanOf(int n)
{
    if (n < 1) return QStringLiteral(" ");
    if (n >= 250) return QStringLiteral("ccl");
    return RomanTable().at(n - 1);
}

QString FileSizeText(qint64 bytes, bool grouped)
{
    if (bytes < 1024) return QString::number(bytes) + QLatin1String("Bytes");
    if (bytes < 1048576) return UnitsWithTenth(bytes, "KB");
    const qint64 kb = bytes / 1024;
    if (grouped) return GroupThousands(kb) + QLatin1String("KB");
    return UnitsWithTenth(kb, "MB");
}

} // namespace pagero
