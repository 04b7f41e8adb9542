// With no sound server at all the media side still works: files open, lengths and modes are right,
// the media window plays and closes, and background music starts and stops without a sound.
#include "commands/OrvPlayMedia_aviUt.h"
#include "platform/media/MediaPlayer.h"
#include "platform/media/Sound.h"
#include "tests/support/ScriptedPrompter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

// Set before anything asks for audio devices: a server address where none listens.
const bool kNoServer = [] {
    qputenv("PULSE_SERVER", "unix:/nonexistent/pagero-no-sound/native");
    return qputenv("PULSE_CLIENTCONFIG", "/dev/null");
}();

TEST(NoSoundServerTest, MediaFilesOpenPlayAndEndOnTheirOwnClock)
{
    ASSERT_TRUE(kNoServer);
    QTemporaryDir dir;
    const QString wav = dir.filePath("tone.wav");
    QProcess sox;
    sox.start("sox", {"-n", "-r", "8000", "-c", "1", "-b", "16", wav, "synth", "0.3", "sine", "440"});
    ASSERT_TRUE(sox.waitForFinished(30000) && sox.exitCode() == 0);
    media::PlaySoundAsync(wav);   // neither blocks nor fails

    TPlayMedia_aviFm window;
    test::ScriptedPrompter prompter;
    window.PlayMediaFile(wav);
    for (int i = 0; i < 100 && !window.isVisible(); ++i) QTest::qWait(20);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.MediaPlayer1.LengthMs(), 300);
    EXPECT_EQ(window.MediaPlayer1.Mode(), media::PlayerMode::Playing);
    QTest::qWait(450);
    EXPECT_EQ(window.MediaPlayer1.Mode(), media::PlayerMode::Stopped);   // the end came by the clock
    window.close();
    EXPECT_TRUE(prompter.texts.isEmpty());
}

} // namespace
