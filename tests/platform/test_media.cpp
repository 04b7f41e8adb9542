// System sounds, the playing time of wave, MIDI and video files, and the media player's modes.
#include "platform/media/MediaLength.h"
#include "platform/media/MediaPlayer.h"
#include "platform/media/Sound.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace pagero::media;

namespace {

bool RunTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

QByteArray Midi(quint16 division, const QByteArray &events)
{
    QByteArray b("MThd\0\0\0\6\0\0\0\1", 12);
    b.append(char(division >> 8)).append(char(division & 0xFF));
    QByteArray len(4, '\0');
    qToBigEndian<quint32>(quint32(events.size()), len.data());
    return b + "MTrk" + len + events;
}

TEST(SoundTest, PlaysWithoutBlockingAndCountsOnlyExistingFiles)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("flip.wav");
    ASSERT_TRUE(RunTool("sox", {"-n", "-r", "22050", "-c", "1", "-b", "16", wav, "synth", "0.3", "sine", "440"}));
    const int before = SoundsStarted();

    PlaySoundAsync(dir.filePath("missing.wav"));
    EXPECT_EQ(SoundsStarted(), before);
    EXPECT_EQ(LastSoundPath(), dir.filePath("missing.wav"));

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i) PlaySoundAsync(wav);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(SoundsStarted(), before + 5);
    EXPECT_EQ(LastSoundPath(), wav);
    StopSound();
}

TEST(MediaLengthTest, WaveLengthComesFromTheHeader)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("tone.wav");
    ASSERT_TRUE(RunTool("sox", {"-n", "-r", "22050", "-c", "2", "-b", "16", wav, "synth", "1.5", "sine", "440"}));
    EXPECT_EQ(MediaLengthMs(wav), 1500);

    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(WaveLengthMs(bytes.left(bytes.size() / 2)), 749);           // a cut file plays what it holds
    EXPECT_EQ(WaveLengthMs(bytes.left(bytes.indexOf("data") + 8)), 0);    // header only
    EXPECT_EQ(WaveLengthMs(bytes.left(20)), -1);
    EXPECT_EQ(WaveLengthMs("RIFF\xff\xff\xff\xffWAVEdata\x10\0\0\0"), -1);  // no format chunk
    QByteArray zeroRate = bytes;
    qToLittleEndian<quint32>(0, zeroRate.data() + 28);
    EXPECT_EQ(WaveLengthMs(zeroRate), -1);
    QByteArray hugeChunk = bytes;
    qToLittleEndian<quint32>(0xFFFFFFF0u, hugeChunk.data() + 16);            // a format chunk running past the end
    EXPECT_EQ(WaveLengthMs(hugeChunk), -1);
}

TEST(MediaLengthTest, MidiLengthFollowsTheTempoMap)
{
    // 96 ticks per quarter: 192 ticks at 120 bpm (1 s), a tempo change to 60 bpm, 96 ticks (1 s).
    const QByteArray events = QByteArray("\x00\x90\x3C\x60", 4) +
                              QByteArray("\x81\x40\x80\x3C\x40", 5) +                // delta 192
                              QByteArray("\x00\xFF\x51\x03\x0F\x42\x40", 7) +        // 1,000,000 us per quarter
                              QByteArray("\x00\x90\x3E\x60\x60\x3E\x00", 7) +        // running status, delta 96
                              QByteArray("\x00\xFF\x2F\x00", 4);
    EXPECT_EQ(MidiLengthMs(Midi(96, events)), 2000);
    // SMPTE time: 25 frames per second, 40 ticks per frame -> 1000 ticks per second.
    const QByteArray smpte = QByteArray("\x87\x68\x90\x3C\x60", 5) + QByteArray("\x00\xFF\x2F\x00", 4);   // delta 1000
    EXPECT_EQ(MidiLengthMs(Midi(quint16((quint8(-25) << 8) | 40), smpte)), 1000);
    // Damaged files: never a crash, never a wild number.
    const QByteArray good = Midi(96, events);
    for (int cut = 0; cut < good.size(); ++cut) EXPECT_LE(MidiLengthMs(good.left(cut)), 2000);
    EXPECT_EQ(MidiLengthMs(Midi(0, events)), -1);
    EXPECT_EQ(MidiLengthMs("not a midi file"), -1);

    QTemporaryDir dir;
    const QString tune = dir.filePath("tune.mid");
    ASSERT_TRUE(RunTool("/usr/bin/python3", {PAGERO_SOURCE_DIR "/scripts/make_media_files.py", "midi", tune, "120"}));
    EXPECT_EQ(MediaLengthMs(tune), 16000);   // 32 beats at 120 bpm
}

TEST(MediaLengthTest, VideoLengthComesFromTheContainer)
{
    QTemporaryDir dir;
    const QString avi = dir.filePath("clip.avi");
    ASSERT_TRUE(RunTool("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                               "testsrc=size=64x48:rate=10:duration=2", "-c:v", "mjpeg", avi}));
    EXPECT_NEAR(double(MediaLengthMs(avi)), 2000.0, 150.0);
    QFile junk(dir.filePath("junk.avi"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("RIFF\0\0\0\0AVI nothing here");
    junk.close();
    EXPECT_EQ(MediaLengthMs(junk.fileName()), -1);
    EXPECT_EQ(MediaLengthMs(dir.filePath("missing.avi")), -1);
}

} // namespace


namespace {

TEST(MediaPlayerTest, RunsThroughItsModesWithItsOwnClock)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("short.wav");
    ASSERT_TRUE(RunTool("sox", {"-n", "-r", "8000", "-c", "1", "-b", "16", wav, "synth", "0.4", "sine", "440"}));
    MediaPlayer player;
    EXPECT_EQ(player.Mode(), PlayerMode::NotReady);
    player.Play();   // nothing open: nothing happens
    EXPECT_EQ(player.Mode(), PlayerMode::NotReady);

    ASSERT_TRUE(player.Open(wav));
    EXPECT_EQ(player.Kind(), MediaKind::Wave);
    EXPECT_EQ(player.LengthMs(), 400);
    EXPECT_EQ(player.Mode(), PlayerMode::Stopped);
    EXPECT_FALSE(player.NaturalSize().isValid());

    player.Play();
    EXPECT_EQ(player.Mode(), PlayerMode::Playing);
    QTest::qWait(120);
    player.Pause();
    EXPECT_EQ(player.Mode(), PlayerMode::Paused);
    const qint64 paused = player.PositionMs();
    EXPECT_GE(paused, 100);
    EXPECT_LT(paused, 400);
    QTest::qWait(80);
    EXPECT_EQ(player.PositionMs(), paused);   // the clock stands while paused

    player.Rewind();
    EXPECT_EQ(player.PositionMs(), 0);
    EXPECT_EQ(player.Mode(), PlayerMode::Paused);
    player.Play();
    QTest::qWait(550);
    EXPECT_EQ(player.Mode(), PlayerMode::Stopped);   // played to the end
    EXPECT_EQ(player.PositionMs(), 400);
    player.Play();                                   // a finished file starts over
    EXPECT_EQ(player.Mode(), PlayerMode::Playing);
    EXPECT_LT(player.PositionMs(), 100);
    player.Stop();
    EXPECT_EQ(player.Mode(), PlayerMode::Stopped);
    player.Close();
    EXPECT_EQ(player.Mode(), PlayerMode::NotReady);
    EXPECT_EQ(player.LengthMs(), -1);
}

TEST(MediaPlayerTest, OpensMidiAndVideoAndRefusesWhatItCannotRead)
{
    QTemporaryDir dir;
    const QString tune = dir.filePath("tune.mid");
    ASSERT_TRUE(RunTool("/usr/bin/python3", {PAGERO_SOURCE_DIR "/scripts/make_media_files.py", "midi", tune, "240"}));
    const QString avi = dir.filePath("clip.avi");
    ASSERT_TRUE(RunTool("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                   "testsrc=size=80x60:rate=10:duration=1", "-c:v", "mjpeg", avi}));
    MediaPlayer player;
    ASSERT_TRUE(player.Open(tune));
    EXPECT_EQ(player.Kind(), MediaKind::Midi);
    EXPECT_EQ(player.LengthMs(), 8000);
    player.Play();
    EXPECT_EQ(player.Mode(), PlayerMode::Playing);

    ASSERT_TRUE(player.Open(avi));   // opening closes the previous file
    EXPECT_EQ(player.Kind(), MediaKind::Video);
    EXPECT_EQ(player.Mode(), PlayerMode::Stopped);
    EXPECT_EQ(player.NaturalSize(), QSize(80, 60));
    EXPECT_NEAR(double(player.LengthMs()), 1000.0, 150.0);

    QFile junk(dir.filePath("junk.mid"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("MThd garbage");
    junk.close();
    EXPECT_FALSE(player.Open(junk.fileName()));
    EXPECT_EQ(player.Mode(), PlayerMode::NotReady);
    EXPECT_FALSE(player.Open(dir.filePath("missing.wav")));
}

} // namespace
