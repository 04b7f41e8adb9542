#pragma once
// The resize dialog's scroll bars as numbers: a bar of maximum M has its middle (M div 2) at 100 %,
// its left end at 1 % and its right end at 1000 %, in two straight pieces. The ratio bars show a
// percentage; the width and height bars a factor of the picture's own size, so every picture of a
// batch is scaled by the same factors relative to its own size.
#include <QSize>

namespace pagero {

inline constexpr int kRatioBarMax = 2000;
inline constexpr int kSizeBarMax = 20000;

// Percentage of a bar position: the middle 100, the left end 1, the right end 1000.
int BarPercent(int position, int maximum);
// Factor of a bar position: the middle 1.0, the left end 0.01, the right end 10.0.
double BarFactor(int position, int maximum);
// The bar position whose factor is nearest `factor` (clamped to the bar).
int BarPositionForFactor(double factor, int maximum);
// round-half-even(factor(position) * startSide), at least 1.
int ScaledSide(int position, int startSide);
// The size-bar position that gives `wanted` pixels from `startSide` exactly where the bar can.
int SizeBarPositionFor(int wanted, int startSide);

} // namespace pagero
