#pragma once
// Texts and small rules of the sound side: the background tunes' files, the media information's
// playing time and the media window's colour cycle.
#include <QString>

namespace pagero {

// The tunes of the background-music dialog.
enum MusicChoice : int { MusicJingleBells = 0, MusicBride = 1, MusicLuther = 2, MusicUserDefined = 3 };

// File name (in the program's "SysSound" folder) of the tune chosen: "bksnd1.mid" .. "bksnd3.mid",
// or for the user's own tune "bksnd.mid" when its name ends in ".mid" (any case), else "bksnd.wav".
QString MusicFileName(int choice, const QString &userMusicName);

// The playing time as the information box shows it: "hh:mm:ss.cc (hour:min:sec)".
QString PlayTimeText(qint64 ms);

// The media window's colour index after `index`: 4, 0, 15, 5, 6, 10, 12, 14, then 15 again.
int NextColourIndex(int index);

} // namespace pagero
