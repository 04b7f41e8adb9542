// The media window, the media information box and background music: playing a page, a file the
// player cannot open, the video views and frames, the tune dialog's copies and Cancel, and the
// watch timer's end actions.
#include "app/MediaController.h"
#include "app/MusicController.h"
#include "commands/IntervalGroup.h"
#include "commands/OrvMMFileInfo_Ut.h"
#include "commands/OrvPlayMedia_aviUt.h"
#include "commands/OrvSetBkSound_Dlg.h"
#include "core/common/MyLib.h"
#include "main_window_fixture.h"
#include <QMenu>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>

using namespace pagero;
using namespace pagero::test;

namespace {

bool RunTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

bool Tone(const QString &path, const char *seconds)
{
    return RunTool("sox", {"-n", "-r", "8000", "-c", "1", "-b", "16", path, "synth", seconds, "sine", "440"});
}

bool Video(const QString &path)
{
    return RunTool("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                          "testsrc=size=160x120:rate=10:duration=3", "-c:v", "mjpeg", path});
}

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(MediaWindowTest, SoundPlaysFullScreenAndAnyKeyClosesIt)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("tone.wav");
    ASSERT_TRUE(Tone(wav, "5"));
    TPlayMedia_aviFm window;
    int done = 0;
    window.done = [&done] { ++done; };
    window.PlayMediaFile(wav);
    ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }));
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_EQ(window.MediaPlayer1.Mode(), media::PlayerMode::Playing);
    EXPECT_EQ(window.Kind, KindWave);
    EXPECT_EQ(window.ColourIndex, 4);
    EXPECT_TRUE(window.Timer1.isActive());
    emit window.PopupMenu1->aboutToShow();
    EXPECT_TRUE(window.Play1->isChecked());
    EXPECT_FALSE(window.ViewFit1->isVisible());   // video only
    QTest::keyClick(&window, Qt::Key_X);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.MediaPlayer1.Mode(), media::PlayerMode::NotReady);   // stopped and closed
    EXPECT_TRUE(WaitFor([&] { return done == 1; }));
}

TEST(MediaWindowTest, AFileThePlayerCannotOpenIsToldAndTheWindowStaysHidden)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.avi");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF\0\0\0\0AVI nothing here", 24);
    f.close();
    ScriptedPrompter prompter;
    TPlayMedia_aviFm window;
    window.PollIntervalMs = 20;
    bool done = false;
    window.done = [&done] { done = true; };
    window.PlayMediaFile(junk);
    ASSERT_TRUE(WaitFor([&] { return done; }, 20000));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(prompter.texts, QStringList{junk + "\r\nThis file can not be play!"});
}

TEST(MediaWindowTest, VideoFramesChangeAndTheViewsFitOrKeepTheNaturalSize)
{
    QTemporaryDir dir;
    const QString avi = dir.filePath("clip.avi");
    ASSERT_TRUE(Video(avi));
    ScriptedPrompter prompter;   // a failed open is told here instead of a blocking box
    TPlayMedia_aviFm window;
    window.PlayMediaFile(avi);
    ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }, 10000));
    EXPECT_EQ(window.NaturalSize, QSize(160, 120));
    EXPECT_EQ(window.VideoRect.size(), QSize(160, 120));
    EXPECT_EQ(window.ViewMode, 2);
    window.ViewFit1->trigger();
    EXPECT_EQ(window.ViewMode, 3);
    EXPECT_TRUE(window.VideoRect.width() == window.width() || window.VideoRect.height() == window.height());
    EXPECT_EQ(window.VideoRect.width() * 120, window.VideoRect.height() * 160);
    // Frames come through the video sink and change while it plays.
    ASSERT_TRUE(WaitFor([&] { return !window.LastFrame.isNull(); }, 10000));
    const QImage first = window.LastFrame;
    EXPECT_TRUE(WaitFor([&] { return window.LastFrame != first; }, 5000));
    window.close();
}

TEST(MediaWindowTest, InformationShowsTypeAndPlayTime)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("Tone.WAV");
    ASSERT_TRUE(Tone(wav, "1.5"));
    TMMFInfo_Fm box;
    box.Fill(wav);
    EXPECT_EQ(box.Edit1->text(), "Tone.WAV");
    EXPECT_EQ(box.TypeEdit->text(), "WAV File");
    ASSERT_TRUE(WaitFor([&] { return !box.TimeEdit->text().isEmpty(); }));
    EXPECT_EQ(box.TimeEdit->text(), "00:00:01.50 (hour:min:sec)");
    box.Fill(dir.filePath("missing.mid"));
    EXPECT_TRUE(WaitFor([&] { return box.TimeEdit->text() == "Unknow"; }));
}

class MusicTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        sounds = exeDir + "/SysSound";
        ASSERT_TRUE(RunTool("/usr/bin/python3", {PAGERO_SOURCE_DIR "/scripts/make_media_files.py", "midi",
                                             sounds + "/bksnd3.mid", "120"}));
    }
    QString sounds;
};

TEST_F(MusicTest, ABrowsedTuneIsStoredOnceUnderItsLowerCaseNameAndCancelBringsBackTheOldOne)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    QFile previous(sounds + "/bksnd.mid");                  // the previous user tune
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly) && previous.write("MThd old tune") > 0);
    previous.close();
    ASSERT_TRUE(Tone(sounds + "/bksnd.WAV", "0.3"));        // a stray spelling of an earlier copy
    const QByteArray oldTune = Bytes(sounds + "/bksnd.mid");
    const QString chosen = root.filePath("My Song.WAV");
    ASSERT_TRUE(Tone(chosen, "0.4"));

    TSetBkMusicDlg *dialog = w.Music().Dialog();
    dialog->Prepare();
    dialog->RadioGroup1->Buttons[3]->click();               // "User Defined"
    dialog->chooseFile = [&chosen] { return chosen; };
    dialog->Browse();
    ASSERT_TRUE(WaitFor([&] { return dialog->isEnabled(); }));
    EXPECT_EQ(w.Options().MusicFile, "My Song.WAV");
    EXPECT_EQ(QDir(sounds).entryList({"bksnd.*"}, QDir::Files), QStringList{"bksnd.wav"});
    EXPECT_EQ(Bytes(sounds + "/bksnd.wav"), Bytes(chosen));

    dialog->CancelClick();
    EXPECT_EQ(w.Options().MusicChoice, 2);
    EXPECT_EQ(w.Options().MusicFile, "");
    EXPECT_EQ(Bytes(sounds + "/bksnd.mid"), oldTune);
    EXPECT_FALSE(QFileInfo::exists(sounds + "/bksnd.wav"));
}

TEST_F(MusicTest, ATuneThatCannotBeCopiedFallsBackToTheThirdTune)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    TSetBkMusicDlg *dialog = w.Music().Dialog();
    dialog->Prepare();
    dialog->RadioGroup1->Buttons[0]->click();
    bool copied = true;
    dialog->UseTuneFile(root.filePath("missing.mid"), [&copied](bool ok) { copied = ok; });
    ASSERT_TRUE(WaitFor([&] { return !copied && dialog->isEnabled(); }));
    EXPECT_EQ(prompter.texts, QStringList{"Loading sound file error! Try again please."});
    EXPECT_EQ(w.Options().MusicChoice, 2);
    EXPECT_TRUE(dialog->RadioGroup1->Buttons[2]->isChecked());
    dialog->reject();
}

TEST_F(MusicTest, MusicStopsTheFlipSoundAndTurnsItselfOffAtTheEndWithStop)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    ASSERT_TRUE(Tone(sounds + "/bksnd.wav", "0.3"));
    w.Options().MusicChoice = 3;
    w.Options().MusicFile = "tune.wav";
    w.Options().MusicEndAction = 0;
    w.Music().Timer1.setInterval(50);
    w.Menus().actions.BackgroundMusic1->trigger();
    ASSERT_TRUE(WaitFor([&] { return w.Music().Timer1.isActive(); }));
    EXPECT_EQ(w.Music().MediaPlayer1.Mode(), media::PlayerMode::Playing);
    emit w.Menus().menus.Options1->aboutToShow();
    EXPECT_FALSE(w.Menus().actions.FlippingSound1->isEnabled());

    // A media page pauses the music while it plays and the music goes on after it.
    const QString page = album + "/page.wav";
    ASSERT_TRUE(Tone(page, "3"));
    w.PreviewOrPlay(page);
    TPlayMedia_aviFm *player = w.Media().Player();
    ASSERT_TRUE(WaitFor([&] { return player->isVisible(); }));
    EXPECT_EQ(w.Music().MediaPlayer1.Mode(), media::PlayerMode::Paused);
    QTest::mouseClick(player, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return w.Music().MediaPlayer1.Mode() != media::PlayerMode::Paused; }));

    ASSERT_TRUE(WaitFor([&] { return !w.Options().BackgroundMusic; }, 5000));
    EXPECT_FALSE(w.Menus().actions.BackgroundMusic1->isChecked());

    QFile::remove(sounds + "/bksnd.wav");                    // a tune that is gone is told
    w.Menus().actions.BackgroundMusic1->trigger();
    EXPECT_EQ(prompter.texts.last(), "Music file not found.");
    EXPECT_TRUE(w.Menus().actions.BackgroundMusic1->isChecked());
}

TEST_F(MusicTest, AClickOnASoundPagesThumbnailPictureOpensTheMediaWindow)
{
    ASSERT_TRUE(Tone(album + "/tune.wav", "3"));           // the seventh page, after pic1..pic6
    WriteSettings([](Settings &s) { s.AutoFlipToOverview = true; });
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    ASSERT_EQ(w.Pages().NameOf(6), "tune.wav");
    QPoint picture(-1, -1);
    const BookGeometry &g = w.Geometry();
    for (int y = g.leftT; y < g.rightB && picture.x() < 0; y += 2)
        for (int x = g.leftL; x < g.rightR; x += 2) {
            const HotState hot = HitTester::HitTest(w.MakeHitScene(), x, y);
            if (hot.HotCode == HotThumbBase + 6 && hot.HotSubKind == 2) {
                picture = QPoint(x, y);
                break;
            }
        }
    ASSERT_NE(picture.x(), -1);
    QTest::mouseMove(w.View(), picture);
    QTest::mouseClick(w.View(), Qt::LeftButton, {}, picture);
    TPlayMedia_aviFm *player = w.Media().Player();
    ASSERT_TRUE(WaitFor([&] { return player->isVisible(); }));
    EXPECT_EQ(player->Kind, KindWave);
    player->close();
}
