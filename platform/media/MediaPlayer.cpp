#include "platform/media/MediaPlayer.h"

#include "platform/imaging/Imaging.h"
#include "platform/media/MediaLength.h"
#include "platform/media/Sound.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPromise>
#include <QThreadPool>
#include <QUrl>
#include <fluidsynth.h>

namespace pagero::media {

namespace {

MediaKind KindOf(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("wav")) return MediaKind::Wave;
    if (ext == QLatin1String("mid") || ext == QLatin1String("midi")) return MediaKind::Midi;
    return MediaKind::Video;
}

void SilenceFluidSynth()
{
    static const bool once = [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)once;
}

} // namespace

// What makes the sound: a Qt player for wave and video, a FluidSynth player for MIDI. Only built
// when there is an audio output; the clock of MediaPlayer stays the measure of time either way.
struct MediaPlayer::Backend {
    std::unique_ptr<QMediaPlayer> qt;
    std::unique_ptr<QAudioOutput> output;
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *midi = nullptr;
    fluid_audio_driver_t *driver = nullptr;

    ~Backend()
    {
        if (qt) qt->stop();
        if (midi) fluid_player_stop(midi);
        if (driver) delete_fluid_audio_driver(driver);   // no more audio callbacks after this
        if (midi) delete_fluid_player(midi);
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
};

MediaPlayer::MediaPlayer() = default;
MediaPlayer::~MediaPlayer() { Close(); }

QString MediaPlayer::SoundFont()
{
    const QString env = qEnvironmentVariable("PAGERO_SOUNDFONT");
    if (!env.isEmpty()) return env;
    for (const char *candidate : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                                  "/usr/share/sounds/sf2/FluidR3_GM.sf2"}) {
        if (QFileInfo::exists(QString::fromLatin1(candidate))) return QString::fromLatin1(candidate);
    }
    return {};
}

bool MediaPlayer::Open(const QString &path)
{
    Close();
    path_ = path;
    kind_ = KindOf(path);
    length_ = QFileInfo(path).isFile() ? MediaLengthMs(path) : -1;
    if (length_ < 0) {
        kind_ = MediaKind::None;
        return false;
    }
    if (kind_ == MediaKind::Video) naturalSize_ = imaging::PictureSize(path);
    position_ = 0;
    mode_ = PlayerMode::Stopped;
    return true;
}

void MediaPlayer::BeginOpen(const QString &path)
{
    Close();
    path_ = path;
    kind_ = KindOf(path);
    auto promise = std::make_shared<QPromise<Probe>>();
    opening_ = promise->future();
    const MediaKind kind = kind_;
    // The probe reads only the file; a player closed meanwhile simply drops its result.
    QThreadPool::globalInstance()->start([promise, path, kind] {
        promise->start();
        Probe probe;
        probe.length = QFileInfo(path).isFile() ? MediaLengthMs(path) : -1;
        if (probe.length >= 0 && kind == MediaKind::Video) probe.naturalSize = imaging::PictureSize(path);
        promise->addResult(probe);
        promise->finish();
    });
}

void MediaPlayer::CheckOpened()
{
    if (!opening_.isValid() || !opening_.isFinished()) return;
    const Probe probe = opening_.resultCount() > 0 ? opening_.result() : Probe{};
    opening_ = QFuture<Probe>();
    length_ = probe.length;
    if (length_ < 0) {
        kind_ = MediaKind::None;
        return;
    }
    naturalSize_ = probe.naturalSize;
    position_ = 0;
    mode_ = PlayerMode::Stopped;
}

void MediaPlayer::Close()
{
    opening_ = QFuture<Probe>();
    ReleaseBackend();
    mode_ = PlayerMode::NotReady;
    kind_ = MediaKind::None;
    length_ = -1;
    naturalSize_ = QSize();
    position_ = 0;
    path_.clear();
}

PlayerMode MediaPlayer::Mode()
{
    CheckOpened();
    CheckEnd();
    return mode_;
}

qint64 MediaPlayer::PositionMs()
{
    CheckEnd();
    if (mode_ == PlayerMode::Playing) return std::min(length_, position_ + clock_.elapsed());
    return position_;
}

void MediaPlayer::CheckEnd()
{
    if (mode_ == PlayerMode::Playing && position_ + clock_.elapsed() >= length_) {
        position_ = length_;
        mode_ = PlayerMode::Stopped;
        PauseBackend();
    }
}

void MediaPlayer::Play()
{
    CheckEnd();
    if (mode_ == PlayerMode::NotReady || mode_ == PlayerMode::Playing) return;
    if (position_ >= length_) {   // playing a finished file starts it over
        position_ = 0;
        SeekBackend(0);
    }
    mode_ = PlayerMode::Playing;
    clock_.start();
    StartBackend();
}

void MediaPlayer::Pause()
{
    CheckEnd();
    if (mode_ != PlayerMode::Playing) return;
    position_ = std::min(length_, position_ + clock_.elapsed());
    mode_ = PlayerMode::Paused;
    PauseBackend();
}

void MediaPlayer::Stop()
{
    CheckEnd();
    if (mode_ == PlayerMode::Playing) position_ = std::min(length_, position_ + clock_.elapsed());
    if (mode_ != PlayerMode::NotReady) mode_ = PlayerMode::Stopped;
    PauseBackend();
}

void MediaPlayer::Rewind()
{
    CheckEnd();
    if (mode_ == PlayerMode::NotReady) return;
    position_ = 0;
    if (mode_ == PlayerMode::Playing) clock_.start();
    SeekBackend(0);
}

bool MediaPlayer::Audible() const
{
    return backend_ && (backend_->qt || backend_->driver);
}

QMediaPlayer *MediaPlayer::VideoPlayer()
{
    if (kind_ != MediaKind::Video) return nullptr;
    if (!backend_) backend_ = std::make_unique<Backend>();
    if (!backend_->qt) {
        backend_->qt = std::make_unique<QMediaPlayer>();
        backend_->qt->setSource(QUrl::fromLocalFile(path_));
        backend_->qt->setPosition(position_);
    }
    return backend_->qt.get();
}

void MediaPlayer::EnsureBackend()
{
    if (backend_) return;
    backend_ = std::make_unique<Backend>();
    if (kind_ == MediaKind::Midi) {
        const QString font = SoundFont();
        if (AudioOutputAvailable() && !font.isEmpty()) {
            SilenceFluidSynth();
            Backend &b = *backend_;
            b.settings = new_fluid_settings();
            b.synth = b.settings ? new_fluid_synth(b.settings) : nullptr;
            if (b.synth && fluid_synth_sfload(b.synth, font.toLocal8Bit().constData(), 1) != FLUID_FAILED) {
                b.midi = new_fluid_player(b.synth);
                if (b.midi && fluid_player_add(b.midi, path_.toLocal8Bit().constData()) == FLUID_OK) {
                    // The desktop's sound server first (PulseAudio or PipeWire's PulseAudio side):
                    // FluidSynth's own default, ALSA, bypasses it where ALSA is not routed to it.
                    fluid_settings_setstr(b.settings, "audio.driver", "pulseaudio");
                    b.driver = new_fluid_audio_driver(b.settings, b.synth);
                    if (!b.driver) {
                        fluid_settings_setstr(b.settings, "audio.driver", "alsa");
                        b.driver = new_fluid_audio_driver(b.settings, b.synth);
                    }
                }
            }
        }
    } else if (AudioOutputAvailable()) {
        backend_->qt = std::make_unique<QMediaPlayer>();
        backend_->qt->setSource(QUrl::fromLocalFile(path_));
    }
    SeekBackend(position_);
}

void MediaPlayer::StartBackend()
{
    EnsureBackend();
    if (backend_->qt && AudioOutputAvailable() && !backend_->output) {
        backend_->output = std::make_unique<QAudioOutput>();
        backend_->qt->setAudioOutput(backend_->output.get());
    }
    if (backend_->qt) backend_->qt->play();
    if (backend_->driver) fluid_player_play(backend_->midi);
}

void MediaPlayer::PauseBackend()
{
    if (!backend_) return;
    if (backend_->qt) backend_->qt->pause();
    if (backend_->driver) fluid_player_stop(backend_->midi);
}

void MediaPlayer::SeekBackend(qint64 ms)
{
    if (!backend_) return;
    if (backend_->qt) backend_->qt->setPosition(ms);
    // FluidSynth seeks in ticks; only the start is needed (rewind, replay).
    if (backend_->midi && ms == 0) fluid_player_seek(backend_->midi, 0);
}

void MediaPlayer::ReleaseBackend() { backend_.reset(); }

} // namespace pagero::media
