#include "app/MusicController.h"

#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "commands/OrvSetBkSound_Dlg.h"
#include "core/book/Settings.h"
#include "core/motion/MediaTexts.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace pagero {

MusicController::MusicController(BookContext &book, const MainMenus &menus, const QString &sysSoundDir,
                                 QObject *parent)
    : QObject(parent), SysSoundDir(sysSoundDir), book_(book), menus_(menus)
{
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &MusicController::Timer1Timer);
    const MainActions &a = menus.actions;
    ConnectCommand(book_, a.BackgroundMusic1, this, [this] { ToggleMusic(); });
    ConnectCommand(book_, a.BkMusicImg, this, [this] {
        // The button has no check mark of its own: it turns the menu item's.
        menus_.actions.BackgroundMusic1->setChecked(!menus_.actions.BackgroundMusic1->isChecked());
        ToggleMusic();
    });
    ConnectCommand(book_, a.SetBackgroundMusic1, this, [this] { SetBackgroundMusic(); });
}

MusicController::~MusicController() { MediaPlayer1.Close(); }

void MusicController::ShowChecked()
{
    menus_.actions.BackgroundMusic1->setChecked(book_.Options().BackgroundMusic);
}

void MusicController::ToggleMusic()
{
    book_.Options().BackgroundMusic = menus_.actions.BackgroundMusic1->isChecked();
    StartMusic();
}

void MusicController::StartMusic()
{
    StopMusic();
    const Settings &s = book_.Options();
    if (!s.BackgroundMusic) return;
    const QString path = QDir(SysSoundDir).filePath(MusicFileName(s.MusicChoice, s.MusicFile));
    if (!QFileInfo(path).isFile()) {
        book_.Prompt().Inform("Music file not found.");
        return;
    }
    if (!MediaPlayer1.Open(path)) return;   // an unreadable tune stays silent, like a missing one
    MediaPlayer1.Play();
    Timer1.start();
}

void MusicController::StopMusic()
{
    Timer1.stop();
    const media::PlayerMode mode = MediaPlayer1.Mode();
    if (mode == media::PlayerMode::Playing || mode == media::PlayerMode::Paused) MediaPlayer1.Close();
}

void MusicController::PauseMusic()
{
    Timer1.stop();
    if (MediaPlayer1.Mode() == media::PlayerMode::Playing) MediaPlayer1.Pause();
}

void MusicController::ResumeMusic()
{
    if (MediaPlayer1.Mode() != media::PlayerMode::Paused) return;
    MediaPlayer1.Play();
    Timer1.start();
}

void MusicController::Timer1Timer()
{
    if (MediaPlayer1.Mode() == media::PlayerMode::Playing) return;
    if (book_.Options().MusicEndAction == 1) {
        MediaPlayer1.Rewind();
        MediaPlayer1.Play();
        return;
    }
    // The tune has ended and the option turns itself off.
    Timer1.stop();
    book_.Options().BackgroundMusic = false;
    ShowChecked();
}

TSetBkMusicDlg *MusicController::Dialog()
{
    if (!dialog_) {
        dialog_ = new TSetBkMusicDlg(book_.Options(), SysSoundDir, book_.ParentWidget());
        dialog_->startMusic = [this] { StartMusic(); };
        dialog_->stopMusic = [this] { StopMusic(); };
    }
    return dialog_;
}

void MusicController::SetBackgroundMusic()
{
    Dialog()->Execute();
    ShowChecked();
}

} // namespace pagero
