#pragma once
// Short system sounds played asynchronously (the flipping sound, the sent-mail sound). A missing file
// or no audio device plays nothing and never blocks. A new sound replaces the one still playing.
// May be called from any thread; the sound itself is handled on the GUI thread.
#include <QString>

namespace pagero::media {
void PlaySoundAsync(const QString &wavPath);
// Stops the sound that is playing, if any.
void StopSound();
// For tests: the number of sounds started since the program began (calls whose file exists; they
// count even when no audio device is there to hear them), and the last path asked for.
int SoundsStarted();
QString LastSoundPath();
// Whether the system has an audio output at all (false on headless machines).
bool AudioOutputAvailable();
}
