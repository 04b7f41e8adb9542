#pragma once
// The background-music dialog: one of three built-in tunes or the user's own, and what happens at
// the tune's end. A choice takes effect at once (the tune starts). The user's tune is copied into
// the sounds folder as "bksnd.mid" or "bksnd.wav" (always these lower-case names, so that exactly one
// user tune exists and it is the one the player looks for); Cancel brings back the settings and the
// tune file that were there when the dialog opened.
#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace pagero {

class RadioGroup;
struct Settings;

class TSetBkMusicDlg : public QDialog {
public:
    TSetBkMusicDlg(Settings &settings, const QString &sysSoundDir, QWidget *parent = nullptr);

    // Shows the dialog modally; the settings are changed in place (Cancel restores them).
    int Execute();
    // The steps of Execute, for tests: presetting and backups, then the end by OK or Cancel.
    void Prepare();
    void CancelClick();
    void Browse();
    // Copies `file` in as the user's tune (the end of "Browse..." once a file is chosen). The copy
    // is tried again up to three times, 100 ms apart; `done` gets whether it succeeded.
    void UseTuneFile(const QString &file, std::function<void(bool)> done = {});

    std::function<void()> startMusic;
    std::function<void()> stopMusic;
    // Asks for the tune file; empty when cancelled. Tests replace it.
    std::function<QString()> chooseFile;

    RadioGroup *RadioGroup1 = nullptr;    // the four tunes
    QLineEdit *Edit1 = nullptr;           // the user tune's name
    QPushButton *BrowseBtn = nullptr;
    RadioGroup *RadioGroup2 = nullptr;    // "Stop", "Replay"
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private:
    void TryCopy(const QString &file, int retriesLeft, std::function<void(bool)> done);
    void CopyDone(const QString &file, bool ok, std::function<void(bool)> done);

    Settings &settings_;
    QString dir_;
    int savedChoice_ = 0, savedEndAction_ = 0;
    QString savedName_;
    // Per user-tune name ("bksnd.mid", "bksnd.wav"): whether it existed at opening, and whether its
    // backup was made (without one, Cancel leaves the file as it is rather than lose it).
    struct Backup {
        bool existed = false;
        bool saved = false;
    } mid_, wav_;
};

} // namespace pagero
