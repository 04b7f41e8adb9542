#include "platform/media/MediaPlayer.h"

#include "platform/imaging/Imaging.h"
#include "platform/media/MediaLength.h"
#include "platform/media/Sound.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
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
//
// Qt 6.4's GStreamer player links the decoder's new pads on a streaming thread while it loads a
// file (decoderPadAdded), holding that stream's lock. A seek, a stop or an output change asked for
// from the GUI thread meanwhile holds the pipeline's locks and waits for that stream: both threads
// wait for ever and the window freezes. So the Qt player gets its outputs before its source, is told
// nothing until it has loaded (what is asked meanwhile is done then), and one closed while loading
// is destroyed only once its loading has ended.
struct MediaPlayer::Backend {
    std::unique_ptr<QMediaPlayer> qt;
    std::unique_ptr<QAudioOutput> output;
    bool sourceSet = false;
    bool loaded = false;   // the Qt player has loaded: its pads are linked, commands are safe
    qint64 pendingSeek = 0;
    bool pendingPlay = false;
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *midi = nullptr;
    fluid_audio_driver_t *driver = nullptr;

    ~Backend()
    {
        if (qt && sourceSet && !loaded) {
            // Still loading: it goes when its loading ends (or after a while, should it never end).
            QMediaPlayer *player = qt.release();
            QObject::disconnect(player, &QMediaPlayer::mediaStatusChanged, nullptr, nullptr);
            if (output) output.release()->setParent(player);
            QObject::connect(player, &QMediaPlayer::mediaStatusChanged, player, [player](QMediaPlayer::MediaStatus s) {
                if (s != QMediaPlayer::LoadingMedia) player->deleteLater();
            });
            QTimer::singleShot(10000, player, [player] { player->deleteLater(); });
        }
        if (qt) qt->stop();
        if (midi) fluid_player_stop(midi);
        if (driver) delete_fluid_audio_driver(driver);   // no more audio callbacks after this
        if (midi) delete_fluid_player(midi);
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
        qt.reset();   // the player before its output
        output.reset();
    }

    // Gives the Qt player its source once its outputs are set; commands wait for the loading.
    void Load(const QString &path)
    {
        if (!qt || sourceSet) return;
        if (AudioOutputAvailable() && !output) {
            output = std::make_unique<QAudioOutput>();
            qt->setAudioOutput(output.get());
        }
        QObject::connect(qt.get(), &QMediaPlayer::mediaStatusChanged, qt.get(), [this](QMediaPlayer::MediaStatus s) {
            if (loaded || s == QMediaPlayer::LoadingMedia || s == QMediaPlayer::NoMedia) return;
            loaded = true;
            if (pendingSeek > 0) qt->setPosition(pendingSeek);
            if (pendingPlay) qt->play();
        });
        sourceSet = true;
        qt->setSource(QUrl::fromLocalFile(path));
    }
    void Play()
    {
        if (loaded) qt->play();
        else pendingPlay = true;
    }
    void Pause()
    {
        if (loaded) qt->pause();
        else pendingPlay = false;
    }
    void Seek(qint64 ms)
    {
        if (loaded) qt->setPosition(ms);
        else pendingSeek = ms;
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
        // The source follows at the first Play, once the caller has attached its video output.
        backend_->qt = std::make_unique<QMediaPlayer>();
        backend_->Seek(position_);
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
    }
    SeekBackend(position_);
}

void MediaPlayer::StartBackend()
{
    EnsureBackend();
    if (backend_->qt) {
        backend_->Load(path_);
        backend_->Play();
    }
    if (backend_->driver) fluid_player_play(backend_->midi);
}

void MediaPlayer::PauseBackend()
{
    if (!backend_) return;
    if (backend_->qt) backend_->Pause();
    if (backend_->driver) fluid_player_stop(backend_->midi);
}

void MediaPlayer::SeekBackend(qint64 ms)
{
    if (!backend_) return;
    if (backend_->qt) backend_->Seek(ms);
    // FluidSynth seeks in ticks; only the start is needed (rewind, replay).
    if (backend_->midi && ms == 0) fluid_player_seek(backend_->midi, 0);
}

void MediaPlayer::ReleaseBackend() { backend_.reset(); }

} // namespace pagero::media
