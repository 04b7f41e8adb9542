#pragma once
// Playing time of the media files an album shows, without playing them: wave files from their
// header, MIDI files from their tempo map and ticks, videos from the container (ffprobe).
// The player itself (open, play, pause, stop, rewind, modes) builds on these.
#include <QByteArray>
#include <QString>

namespace pagero::media {

// Length in milliseconds, or -1 when the file cannot be read or is not of its kind.
qint64 MediaLengthMs(const QString &path);   // by extension: .wav, .mid/.midi, others as video

// `riffBytes` may be the start of a longer file of `fileSize` bytes.
qint64 WaveLengthMs(const QByteArray &riffBytes, qint64 fileSize = -1);
qint64 MidiLengthMs(const QByteArray &smfBytes);
qint64 VideoLengthMs(const QString &path);

} // namespace pagero::media
