#pragma once
// The multimedia player behind media pages and background music: open, play, pause, stop,
// rewind, close, a mode query, the length (always in milliseconds) and a video's natural size.
// Sound comes from Qt Multimedia (wave, video) and FluidSynth with a General MIDI soundfont (MIDI).
// The player keeps its own clock, so with no audio device (a headless machine) it still opens
// files, reports lengths and sizes and runs through its modes exactly as it would with sound.
// GUI thread only.
#include <QElapsedTimer>
#include <QFuture>
#include <QSize>
#include <QString>
#include <memory>

class QMediaPlayer;
class QAudioOutput;
class QObject;

namespace pagero::media {

enum class PlayerMode { NotReady, Stopped, Playing, Paused };
enum class MediaKind { None, Wave, Midi, Video };

class MediaPlayer {
public:
    MediaPlayer();
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer &) = delete;
    MediaPlayer &operator=(const MediaPlayer &) = delete;

    // Opens the file; true and mode Stopped when its length could be read, else NotReady.
    bool Open(const QString &path);
    // Opens the file in the background (a video's length and size come from helper processes that
    // may take long): the mode stays NotReady until the file is ready, then turns Stopped; a file
    // that cannot be read stays NotReady. Callers poll Mode() on a timer.
    void BeginOpen(const QString &path);
    void Play();     // from the current position; at the end the mode turns to Stopped
    void Pause();
    void Stop();     // keeps the position
    void Rewind();   // back to the start, keeps playing when it was playing
    void Close();

    PlayerMode Mode();
    qint64 LengthMs() const { return length_; }
    qint64 PositionMs();
    QSize NaturalSize() const { return naturalSize_; }   // videos only; invalid otherwise
    MediaKind Kind() const { return kind_; }
    QString FileName() const { return path_; }
    // Whether sound is really coming out (false on machines without audio or soundfont).
    bool Audible() const;
    // The Qt player that shows a video's frames (attach a video output to it before Play);
    // null for other kinds.
    QMediaPlayer *VideoPlayer();

    // The soundfont for MIDI: $PAGERO_SOUNDFONT, else the first General MIDI font installed.
    static QString SoundFont();

private:
    void EnsureBackend();
    void StartBackend();
    void PauseBackend();
    void SeekBackend(qint64 ms);
    void ReleaseBackend();
    void CheckEnd();
    void CheckOpened();

    QString path_;
    MediaKind kind_ = MediaKind::None;
    PlayerMode mode_ = PlayerMode::NotReady;
    qint64 length_ = -1;
    QSize naturalSize_;
    qint64 position_ = 0;        // position when the clock last stopped
    QElapsedTimer clock_;        // runs while playing
    struct Backend;
    std::unique_ptr<Backend> backend_;
    struct Probe {
        qint64 length = -1;
        QSize naturalSize;
    };
    QFuture<Probe> opening_;   // a background open in progress
};

} // namespace pagero::media
