#include "commands/OrvSetBkSound_Dlg.h"

#include "commands/IntervalGroup.h"
#include "common/Fonts.h"
#include "core/book/Settings.h"
#include "core/motion/MediaTexts.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>

namespace pagero {

namespace {

const QString kUserMid = QStringLiteral("bksnd.mid");
const QString kUserWav = QStringLiteral("bksnd.wav");

// Copies whole through a temporary file in the target's folder: the target is replaced only by a
// complete copy, never left truncated.
bool CopyOver(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly)) return false;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) return false;
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

// Other spellings of the user tune's names ("bksnd.WAV", "BKSND.Mid") that an earlier copy may have
// left: on a case-sensitive file system they would be second, unplayed tunes.
void RemoveOtherSpellings(const QDir &dir)
{
    for (const QString &name : dir.entryList({QStringLiteral("bksnd.*")}, QDir::Files | QDir::Hidden)) {
        const QString lower = name.toLower();
        if ((lower == kUserMid || lower == kUserWav) && name != lower) QFile::remove(dir.filePath(name));
    }
}

} // namespace

TSetBkMusicDlg::TSetBkMusicDlg(Settings &settings, const QString &sysSoundDir, QWidget *parent)
    : QDialog(parent), settings_(settings), dir_(sysSoundDir)
{
    setObjectName(QStringLiteral("SetBkMusicDlg"));
    setWindowTitle(QStringLiteral("Set Background Music"));
    setFont(BookFont(8));
    RadioGroup1 = new RadioGroup(QString(), {QStringLiteral("Jingle Bells"), QStringLiteral("Here Comes the Bride"),
                                             QStringLiteral("Luther's Theme"), QStringLiteral("User Defined")}, this);
    Edit1 = new QLineEdit(this);
    Edit1->setReadOnly(true);
    BrowseBtn = new QPushButton(QStringLiteral("Browse..."), this);
    BrowseBtn->setAutoDefault(false);
    RadioGroup2 = new RadioGroup(QStringLiteral("Action at the end of play background music"),
                                 {QStringLiteral("Stop"), QStringLiteral("Replay")}, this, 2);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    auto *userRow = new QHBoxLayout;
    userRow->addWidget(Edit1, 1);
    userRow->addWidget(BrowseBtn);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto *column = new QVBoxLayout(this);
    column->addWidget(RadioGroup1);
    column->addLayout(userRow);
    column->addWidget(RadioGroup2);
    column->addLayout(buttons);

    chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("Music File (*.mid *.wav)"));
    };
    RadioGroup1->changed = [this](int choice) {
        settings_.MusicChoice = choice;
        if (startMusic) startMusic();
    };
    RadioGroup2->changed = [this](int action) {
        settings_.MusicEndAction = action;
        if (startMusic) startMusic();
    };
    connect(BrowseBtn, &QPushButton::clicked, this, &TSetBkMusicDlg::Browse);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetBkMusicDlg::CancelClick);
}

int TSetBkMusicDlg::Execute()
{
    Prepare();
    return exec();
}

void TSetBkMusicDlg::Prepare()
{
    RadioGroup1->SetItemIndex(settings_.MusicChoice);
    Edit1->setText(settings_.MusicFile);
    RadioGroup2->SetItemIndex(settings_.MusicEndAction);
    savedChoice_ = settings_.MusicChoice;
    savedName_ = settings_.MusicFile;
    savedEndAction_ = settings_.MusicEndAction;
    const QDir dir(dir_);
    const auto backUp = [&dir](const QString &name, Backup &b) {
        const QString backup = QFileInfo(name).completeBaseName() + QStringLiteral("_0.") + QFileInfo(name).suffix();
        QFile::remove(dir.filePath(backup));
        b.existed = QFileInfo(dir.filePath(name)).isFile();
        b.saved = b.existed && CopyOver(dir.filePath(name), dir.filePath(backup));
    };
    backUp(kUserMid, mid_);
    backUp(kUserWav, wav_);
}

void TSetBkMusicDlg::CancelClick()
{
    settings_.MusicChoice = savedChoice_;
    settings_.MusicFile = savedName_;
    settings_.MusicEndAction = savedEndAction_;
    const QDir dir(dir_);
    const auto restore = [&dir](const QString &name, const Backup &b) {
        const QString backup = QFileInfo(name).completeBaseName() + QStringLiteral("_0.") + QFileInfo(name).suffix();
        if (b.saved) CopyOver(dir.filePath(backup), dir.filePath(name));
        else if (!b.existed) QFile::remove(dir.filePath(name));
    };
    restore(kUserMid, mid_);
    restore(kUserWav, wav_);
    if (startMusic) startMusic();
    reject();
}

void TSetBkMusicDlg::Browse()
{
    const QString file = chooseFile ? chooseFile() : QString();
    if (file.isEmpty()) {
        OkBtn->setFocus();
        return;
    }
    UseTuneFile(file);
}

void TSetBkMusicDlg::UseTuneFile(const QString &file, std::function<void(bool)> done)
{
    Edit1->setText(QFileInfo(file).fileName());
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);   // until the copy has succeeded or failed
    if (RadioGroup1->ItemIndex() == MusicUserDefined && stopMusic) stopMusic();
    TryCopy(file, 3, std::move(done));
}

void TSetBkMusicDlg::TryCopy(const QString &file, int retriesLeft, std::function<void(bool)> done)
{
    const QString target = QDir(dir_).filePath(MusicFileName(MusicUserDefined, file));
    if (CopyOver(file, target)) {
        CopyDone(file, true, std::move(done));
    } else if (retriesLeft > 0) {
        QTimer::singleShot(100, this, [this, file, retriesLeft, done = std::move(done)]() mutable {
            TryCopy(file, retriesLeft - 1, std::move(done));
        });
    } else {
        CopyDone(file, false, std::move(done));
    }
}

void TSetBkMusicDlg::CopyDone(const QString &file, bool ok, std::function<void(bool)> done)
{
    setEnabled(true);
    QGuiApplication::restoreOverrideCursor();
    if (ok) {
        const QString name = QFileInfo(file).fileName();
        Edit1->setText(name);
        settings_.MusicFile = name.left(100);
        if (RadioGroup1->ItemIndex() == MusicUserDefined && startMusic) startMusic();
        const QDir dir(dir_);
        QFile::remove(dir.filePath(MusicFileName(MusicUserDefined, file) == kUserWav ? kUserMid : kUserWav));
        RemoveOtherSpellings(dir);
    } else {
        ThePrompter().Inform("Loading sound file error! Try again please.");
        Edit1->setText(settings_.MusicFile);
        RadioGroup1->SetItemIndex(MusicLuther);
        settings_.MusicChoice = MusicLuther;
        if (startMusic) startMusic();
    }
    if (done) done(ok);
}

} // namespace pagero
