#include "core/motion/SlideStep.h"

#include <algorithm>

namespace pagero {

SlideStepResult Step(int kind, SlidePosition at, int fileCount, int perScreen, int endAction)
{
    if (kind == StepBackward) at.direction = SlideBackward;
    else if (kind == StepForward) at.direction = SlideForward;
    SlideStepResult r{at, false};
    // An empty album or a grid without cells has no screen to move to.
    if (fileCount <= 0 || perScreen <= 0) return r;
    const int n = fileCount, s = perScreen;
    if (at.direction == SlideForward) {
        if (at.firstSlide + s < n) {
            r.position.firstSlide = at.firstSlide + s;
            r.redraw = true;
        } else if (endAction == SlideEndRepeat) {
            r.position.firstSlide = 0;
            r.redraw = true;
        } else if (endAction == SlideEndReverse) {
            r.position.direction = SlideBackward;
            r.redraw = true;
        }
    } else {
        if (at.firstSlide - s >= 0) {
            r.position.firstSlide = at.firstSlide - s;
            r.redraw = true;
        } else if (endAction == SlideEndRepeat) {
            r.position.firstSlide = n % s != 0 ? s * (n / s) : n - s;
            r.redraw = true;
        } else if (endAction == SlideEndReverse) {
            r.position.direction = SlideForward;
            r.redraw = true;
        }
    }
    return r;
}

int LastSlideOfScreen(int firstSlide, int perScreen, int fileCount)
{
    return std::clamp(firstSlide + std::max(perScreen, 0), 0, std::max(fileCount, 0));
}

QString IntervalText(int ms)
{
    if (ms < 100) return QStringLiteral(" 0 Sec");
    const int tenths = ms / 100;
    const int secondTenths = tenths % 600;
    QString text;
    if (secondTenths > 0) {
        text = QString::number(secondTenths / 10);
        if (secondTenths % 10 != 0) text += QLatin1Char('.') + QString::number(secondTenths % 10);
        text += QStringLiteral(" Sec");
    }
    const int minutes = (tenths / 600) % 60;
    if (minutes > 0) text = QString::number(minutes) + QStringLiteral(" Min ") + text;
    const int hours = tenths / 36000;
    if (hours > 0) text = QString::number(hours) + QStringLiteral(" Hour ") + text;
    return text;
}

} // namespace pagero
