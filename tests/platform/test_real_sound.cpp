// Real sound through a private PulseAudio server of the test's own (a null sink in a temporary
// runtime folder, stopped at the end), recorded from the sink's monitor with parec: a wave page, a
// MIDI tune and the flip sound are heard while they play, and nothing after they stop.
#include "platform/media/MediaPlayer.h"
#include "platform/media/Sound.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>
#include <memory>

using namespace pagero::media;

namespace {

bool RunTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

class RealSoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Opt-in: Qt 6.4's GStreamer player now and then deadlocks while it links a new decoder pad
        // (QGstreamerMediaPlayer::decoderPadAdded), which would hang an unattended run.
        if (qEnvironmentVariableIsEmpty("PAGERO_REAL_SOUND_TESTS")) return;
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty() || QStandardPaths::findExecutable("parec").isEmpty())
            return;
        dir = std::make_unique<QTemporaryDir>();
        const QString socket = dir->filePath("native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", dir->path());
        env.insert("HOME", dir->path());
        env.remove("PULSE_SERVER");
        server = std::make_unique<QProcess>();
        server->setProcessEnvironment(env);
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server->setStandardOutputFile(QProcess::nullDevice());
        server->start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                     "--disable-shm=yes", "-F", "/dev/null", "--log-level=error",
                                     "--load=module-null-sink sink_name=rec",
                                     "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        for (int i = 0; i < 100 && !QFileInfo::exists(socket); ++i) QTest::qWait(50);
        // Everything of this process that makes sound talks to this server only.
        if (!QFileInfo::exists(socket)) return;
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        // One recording of the sink's monitor for the whole suite; small latency and process time
        // make parec hand its samples on promptly.
        recorder = std::make_unique<QProcess>();
        recorder->setStandardOutputFile(dir->filePath("monitor.raw"));
        recorder->start("parec", {"-d", "rec.monitor", "--latency-msec=20", "--process-time-msec=20", "--raw",
                                  "--format=s16le", "--channels=1", "--rate=8000"});
        recorder->waitForStarted(5000);
        // The first samples come only after a while; the tests start once they flow.
        for (int i = 0; i < 100 && QFileInfo(dir->filePath("monitor.raw")).size() == 0; ++i) QTest::qWait(50);
    }
    static void TearDownTestSuite()
    {
        for (auto *p : {recorder.get(), server.get()}) {
            if (!p) continue;
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished(2000);
        }
        recorder.reset();
        server.reset();
        dir.reset();
    }
    void SetUp() override
    {
        if (!recorder || qEnvironmentVariableIsEmpty("PULSE_SERVER")) GTEST_SKIP() << "set PAGERO_REAL_SOUND_TESTS=1 (and have pulseaudio and parec) to hear real sound";
        ASSERT_TRUE(AudioOutputAvailable()) << "the private sound server is not seen as an output";
    }

    // The loudest sample of `ms` milliseconds of the sink's monitor (16-bit mono).
    // The loudest sample (16-bit mono) that the monitor recording gained over the next `ms`
    // milliseconds. parec delivers with some delay, so what it gains lags the sound a little.
    static int Loudness(int ms)
    {
        QTest::qWait(ms);
        QFile file(dir->filePath("monitor.raw"));
        if (!file.open(QIODevice::ReadOnly) || file.size() < readPos) return -1;
        file.seek(readPos);
        const QByteArray pcm = file.readAll();
        readPos += pcm.size() & ~qsizetype(1);
        int peak = 0;
        for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(pcm.constData() + i))));
        return pcm.isEmpty() ? -1 : peak;
    }
    // Forgets what was recorded so far, once the recorder's delay has passed.
    static void Settle() { Loudness(700); }
    // The loudest sample heard within `ms` milliseconds, ending as soon as it exceeds `enough`: the
    // first sound of a run may start late while the media pipeline and the server connect.
    static int LoudnessWithin(int ms, int enough)
    {
        int peak = -1;
        for (int waited = 0; waited < ms && peak <= enough; waited += 300) peak = std::max(peak, Loudness(300));
        return peak;
    }

    static inline std::unique_ptr<QTemporaryDir> dir;
    static inline std::unique_ptr<QProcess> server;
    static inline std::unique_ptr<QProcess> recorder;
    static inline qint64 readPos = 0;
    QTemporaryDir files;
};

TEST_F(RealSoundTest, AWavePageIsHeardWhilePlayingAndSilentAfterStop)
{
    const QString wav = files.filePath("tone.wav");
    ASSERT_TRUE(RunTool("sox", {"-n", "-r", "22050", "-c", "1", "-b", "16", wav, "synth", "4", "sine", "440"}));
    MediaPlayer player;
    ASSERT_TRUE(player.Open(wav));
    Settle();
    player.Play();
    EXPECT_TRUE(player.Audible());
    EXPECT_GT(LoudnessWithin(3000, 1000), 1000);
    player.Stop();
    Settle();
    EXPECT_LT(Loudness(600), 50);
}

TEST_F(RealSoundTest, AMidiTuneIsHeardThroughTheSynthesizer)
{
    if (MediaPlayer::SoundFont().isEmpty()) GTEST_SKIP() << "no General MIDI soundfont";
    const QString tune = files.filePath("tune.mid");
    ASSERT_TRUE(RunTool("/usr/bin/python3", {PAGERO_SOURCE_DIR "/scripts/make_media_files.py", "midi", tune, "120"}));
    MediaPlayer player;
    ASSERT_TRUE(player.Open(tune));
    Settle();
    player.Play();
    EXPECT_TRUE(player.Audible());
    EXPECT_GT(LoudnessWithin(3000, 300), 300);
    player.Close();
    Settle();
    EXPECT_LT(Loudness(600), 50);
}

TEST_F(RealSoundTest, TheFlipSoundIsHeard)
{
    const QString flip = PAGERO_TEST_PROGRAM_DIR "/SysSound/flipSnd.wav";
    ASSERT_TRUE(QFileInfo::exists(flip));
    Settle();
    PlaySoundAsync(flip);
    EXPECT_GT(LoudnessWithin(2400, 300), 300);
    StopSound();
}

} // namespace

// Commands and closes that come while the player is still loading its file (the moment its decoder
// links its pads) neither block this thread nor lose the play asked for.
TEST_F(RealSoundTest, CommandsAndClosesWhileLoadingNeitherFreezeNorGetLost)
{
    const QString wav = files.filePath("short.wav");
    ASSERT_TRUE(RunTool("sox", {"-n", "-r", "22050", "-c", "1", "-b", "16", wav, "synth", "2", "sine", "330"}));
    for (int i = 0; i < 20; ++i) {
        MediaPlayer player;
        ASSERT_TRUE(player.Open(wav));
        player.Play();
        player.Rewind();
        QTest::qWait(i % 4 * 5);
        player.Close();
    }
    MediaPlayer player;
    ASSERT_TRUE(player.Open(wav));
    Settle();
    player.Play();
    player.Rewind();   // asked for before the file has loaded: done once it has
    EXPECT_GT(LoudnessWithin(3000, 1000), 1000);
    player.Close();
    QTest::qWait(300);
}
