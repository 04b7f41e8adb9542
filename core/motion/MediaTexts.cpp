#include "core/motion/MediaTexts.h"

namespace pagero {

QString MusicFileName(int choice, const QString &userMusicName)
{
    switch (choice) {
    case MusicJingleBells: return QStringLiteral("bksnd1.mid");
    case MusicBride: return QStringLiteral("bksnd2.mid");
    case MusicLuther: return QStringLiteral("bksnd3.mid");
    default:
        return userMusicName.toLower().endsWith(QLatin1String(".mid")) ? QStringLiteral("bksnd.mid")
                                                                      : QStringLiteral("bksnd.wav");
    }
}

QString PlayTimeText(qint64 ms)
{
    if (ms < 0) ms = 0;
    const auto two = [](qint64 v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); };
    return two(ms / 3600000 % 24) + QLatin1Char(':') + two(ms / 60000 % 60) + QLatin1Char(':')
           + two(ms / 1000 % 60) + QLatin1Char('.') + two(ms / 10 % 100) + QStringLiteral(" (hour:min:sec)");
}

int NextColourIndex(int index)
{
    switch (index) {
    case 4: return 0;
    case 0: return 15;
    case 15: return 5;
    case 5: return 6;
    case 6: return 10;
    case 10: return 12;
    case 12: return 14;
    case 14: return 15;
    default: return 4;
    }
}

} // namespace pagero
