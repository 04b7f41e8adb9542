#include "core/annotations/CommentFitting.h"

#include <algorithm>

namespace pagero {

namespace {

// The longest prefix of `line` (at least one character) no wider than `room`; widths grow with length.
qsizetype FittingPrefix(const QString &line, int room, const std::function<int(const QString &)> &width)
{
    qsizetype lo = 1, hi = line.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (width(line.left(mid)) <= room) lo = mid;
        else hi = mid - 1;
    }
    return lo;
}

} // namespace

CommentBlock FitCommentToPage(const QStringList &lines, int x, int y, const CommentPage &page)
{
    const auto width = [&](const QString &s) { return page.textWidth ? page.textWidth(s) : 0; };
    CommentBlock b;
    const int room = page.W - page.mx;
    for (QString line : lines) {
        while (line.size() > 1 && width(line) > room) {
            const qsizetype keep = FittingPrefix(line, room, width);
            b.lines.append(line.left(keep));
            line = line.mid(keep);
        }
        b.lines.append(line);
    }
    const int lineHeight = std::max(0, page.lineHeight);
    while (!b.lines.isEmpty() && qint64(b.lines.size()) * lineHeight > page.H - page.my) b.lines.removeLast();
    for (const QString &line : b.lines) b.w = std::max(b.w, width(line));
    b.h = int(b.lines.size()) * lineHeight;
    b.x = x;
    b.y = y;
    if (b.x + b.w + page.mx > page.W - page.mx) b.x = page.W - page.mx - b.w;
    if (b.y + b.h + page.my > page.H - page.my) b.y = page.H - page.my - b.h;
    return b;
}

QStringList CommentPresetNames()
{
    return {QStringLiteral("Manual"), QStringLiteral("LeftTop"), QStringLiteral("RightTop"),
            QStringLiteral("LeftDown"), QStringLiteral("RightDown"), QStringLiteral("Center"),
            QStringLiteral("Horizontal Center"), QStringLiteral("Vertical Center"),
            QStringLiteral("Top Center"), QStringLiteral("Bottom Center")};
}

void PlaceComment(CommentPreset preset, CommentBlock &b, const CommentPage &p)
{
    const int left = p.mx, right = p.W - b.w - p.mx, hCentre = (p.W - b.w) / 2;
    const int top = p.my, bottom = p.H - b.h - p.my, vCentre = (p.H - b.h) / 2;
    switch (preset) {
    case CommentPreset::Manual: break;
    case CommentPreset::LeftTop: b.x = left; b.y = top; break;
    case CommentPreset::RightTop: b.x = right; b.y = top; break;
    case CommentPreset::LeftDown: b.x = left; b.y = bottom; break;
    case CommentPreset::RightDown: b.x = right; b.y = bottom; break;
    case CommentPreset::Center: b.x = hCentre; b.y = vCentre; break;
    case CommentPreset::HorizontalCenter: b.x = hCentre; break;
    case CommentPreset::VerticalCenter: b.y = vCentre; break;
    case CommentPreset::TopCenter: b.x = hCentre; b.y = top; break;
    case CommentPreset::BottomCenter: b.x = hCentre; b.y = bottom; break;
    }
}

} // namespace pagero
