#pragma once
// Background music: the option and tool-bar button that turn it on and off, the dialog that picks
// the tune, and the watch timer that replays the tune at its end or turns the option off. Other
// features pause it around their own sounds (the media window, mail).
#include "platform/media/MediaPlayer.h"

#include <QObject>
#include <QTimer>

namespace pagero {

class BookContext;
class TSetBkMusicDlg;
struct MainMenus;

class MusicController : public QObject {
public:
    // `sysSoundDir` holds the tunes ("bksnd1.mid" .. "bksnd3.mid" and the user's "bksnd.*").
    MusicController(BookContext &book, const MainMenus &menus, const QString &sysSoundDir, QObject *parent = nullptr);
    ~MusicController() override;

    void StartMusic();
    void StopMusic();
    void PauseMusic();
    void ResumeMusic();
    // Turns the option on or off (menu item and tool-bar button) and starts or stops the tune.
    void ToggleMusic();
    void SetBackgroundMusic();   // shows the tune dialog modally
    TSetBkMusicDlg *Dialog();    // made on first use

    QString SysSoundDir;
    media::MediaPlayer MediaPlayer1;
    QTimer Timer1;               // the watch, every 1000 ms while a tune plays

private:
    void Timer1Timer();
    void ShowChecked();

    BookContext &book_;
    const MainMenus &menus_;
    TSetBkMusicDlg *dialog_ = nullptr;
};

} // namespace pagero
