#include "core/batch/SizeFactors.h"

#include "core/common/MyLib.h"

#include <algorithm>
#include <cmath>

namespace pagero {

int BarPercent(int position, int maximum)
{
    const int half = maximum / 2;
    if (half <= 0) return 100;
    return position >= half ? RoundHalfEven((position - half) * 900.0 / half + 100)
                            : RoundHalfEven(position * 99.0 / half + 1);
}

double BarFactor(int position, int maximum)
{
    const int half = maximum / 2;
    if (half <= 0) return 1.0;
    return position >= half ? (position - half) * 9.0 / half + 1 : position * 0.99 / half + 0.01;
}

int BarPositionForFactor(double factor, int maximum)
{
    const int half = maximum / 2;
    const double p = factor >= 1 ? half + (factor - 1) * half / 9.0 : (factor - 0.01) * half / 0.99;
    return std::clamp(int(std::lround(p)), 0, maximum);
}

int ScaledSide(int position, int startSide)
{
    return std::max(1, RoundHalfEven(BarFactor(position, kSizeBarMax) * startSide));
}

int SizeBarPositionFor(int wanted, int startSide)
{
    if (startSide <= 0) return kSizeBarMax / 2;
    const int guess = BarPositionForFactor(double(wanted) / startSide, kSizeBarMax);
    // The nearest position may round to a neighbouring pixel count: look beside it for the exact one.
    int best = guess;
    for (int p = std::max(0, guess - 3); p <= std::min(kSizeBarMax, guess + 3); ++p)
        if (std::abs(ScaledSide(p, startSide) - wanted) < std::abs(ScaledSide(best, startSide) - wanted)) best = p;
    return best;
}

} // namespace pagero
