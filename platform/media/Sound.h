#pragma once
// Short system sounds played asynchronously (the flipping sound, the sent-mail sound). A missing file
// or no audio device plays nothing and never blocks.
#include <QString>

namespace pagero::media {
void PlaySoundAsync(const QString &wavPath);
// For tests: the number of sounds started since the program began, and the last path asked for.
int SoundsStarted();
QString LastSoundPath();
}
