#include "commands/OrvPlayMedia_aviUt.h"

#include "app/PageRenderer.h"
#include "commands/OrvMMFileInfo_Ut.h"
#include "common/Fonts.h"
#include "core/common/MyLib.h"
#include "core/motion/MediaTexts.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMediaPlayer>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QVideoFrame>
#include <QVideoSink>

namespace pagero {

TPlayMedia_aviFm::TPlayMedia_aviFm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PlayMedia_aviFm"));
    setWindowModality(Qt::ApplicationModal);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    Timer1.setInterval(500);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(&OpenTimer, &QTimer::timeout, this, [this] { PollOpen(); });

    PopupMenu1 = new QMenu(this);
    Information1 = PopupMenu1->addAction(QStringLiteral("&Information"));
    Play1 = PopupMenu1->addAction(QStringLiteral("&Play"));
    Pause1 = PopupMenu1->addAction(QStringLiteral("&Pause"));
    Replay1 = PopupMenu1->addAction(QStringLiteral("&Replay"));
    ViewNormal1 = PopupMenu1->addAction(QStringLiteral("View (&Normal)"));
    ViewFit1 = PopupMenu1->addAction(QStringLiteral("View (&Fit to Screen)"));
    for (QAction *a : {Play1, Pause1, ViewNormal1, ViewFit1}) a->setCheckable(true);
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { UpdateMenu(); });
    connect(Information1, &QAction::triggered, this, [this] { ShowMediaInfo(); });
    connect(Play1, &QAction::triggered, this, [this] {
        MediaPlayer1.Play();
        Timer1.start();
    });
    connect(Pause1, &QAction::triggered, this, [this] { MediaPlayer1.Pause(); });
    connect(Replay1, &QAction::triggered, this, [this] { Replay(); });
    connect(ViewNormal1, &QAction::triggered, this, [this] { NormalSize(); });
    connect(ViewFit1, &QAction::triggered, this, [this] { FitToScreen(); });
}

TPlayMedia_aviFm::~TPlayMedia_aviFm() { MediaPlayer1.Close(); }

QColor TPlayMedia_aviFm::Colour(int index)
{
    static const QRgb table[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                                   0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return QColor::fromRgb(table[index & 15]);
}

QRect TPlayMedia_aviFm::ScreenRect() const
{
    const QScreen *s = parentWidget() && parentWidget()->screen() ? parentWidget()->screen()
                                                                  : QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

void TPlayMedia_aviFm::PlayMediaFile(const QString &path)
{
    path_ = path;
    Timer1.stop();
    LastFrame = QImage();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    MediaPlayer1.BeginOpen(path);
    polls_ = 0;
    // The first look comes at once: a sound or MIDI file is usually ready.
    OpenTimer.setSingleShot(true);
    OpenTimer.start(0);
}

void TPlayMedia_aviFm::PollOpen()
{
    if (MediaPlayer1.Mode() == media::PlayerMode::Stopped) {
        QGuiApplication::restoreOverrideCursor();
        Opened();
        return;
    }
    if (polls_++ < kMaxPolls) {
        OpenTimer.start(PollIntervalMs);
        return;
    }
    QGuiApplication::restoreOverrideCursor();
    Timer1.stop();
    MediaPlayer1.Close();
    ThePrompter().Inform(path_ + QStringLiteral("\r\nThis file can not be play!"));
    if (done) done();
}

void TPlayMedia_aviFm::Opened()
{
    const QRect screen = ScreenRect();
    setGeometry(screen);
    NaturalSize = MediaPlayer1.NaturalSize();
    Kind = MediaKind(path_);
    Ticks = 0;
    ColourIndex = 4;
    if (MediaPlayer1.Kind() == media::MediaKind::Video) {
        if (!sink_) {
            sink_ = new QVideoSink(this);
            connect(sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame &frame) {
                LastFrame = frame.toImage();
                update();
            });
        }
        if (QMediaPlayer *video = MediaPlayer1.VideoPlayer()) video->setVideoOutput(sink_);
    }
    NormalSize();
    RandomPosition();
    showFullScreen();
    raise();
    activateWindow();
    setFocus();
    MediaPlayer1.Play();
    Timer1.start();
}

void TPlayMedia_aviFm::NormalSize()
{
    const QSize natural = NaturalSize.isValid() ? NaturalSize : QSize(320, 240);
    const QRect screen(QPoint(0, 0), ScreenRect().size());
    VideoRect = QRect(QPoint((screen.width() - natural.width()) / 2, (screen.height() - natural.height()) / 2), natural);
    ViewMode = 2;
    if (MediaPlayer1.Mode() != media::PlayerMode::Playing && isVisible()) Replay();
    update();
}

void TPlayMedia_aviFm::FitToScreen()
{
    const QSize natural = NaturalSize.isValid() ? NaturalSize : QSize(320, 240);
    const QSize screen = ScreenRect().size();
    const QSize fitted = natural.scaled(screen, Qt::KeepAspectRatio);
    VideoRect = QRect(QPoint((screen.width() - fitted.width()) / 2, (screen.height() - fitted.height()) / 2), fitted);
    ViewMode = 3;
    if (MediaPlayer1.Mode() != media::PlayerMode::Playing && isVisible()) Replay();
    update();
}

void TPlayMedia_aviFm::Replay()
{
    MediaPlayer1.Rewind();
    MediaPlayer1.Play();
    Timer1.start();
}

void TPlayMedia_aviFm::RandomPosition()
{
    const QImage &picture = Kind == KindMidi ? BookPictures::MidIcon() : BookPictures::WavIcon();
    const QSize screen = ScreenRect().size();
    PicturePos = QPoint(int(random_.bounded(std::max(1, screen.width() - picture.width()))),
                        int(random_.bounded(std::max(1, screen.height() - picture.height() - 40))));
}

void TPlayMedia_aviFm::Timer1Timer()
{
    const media::PlayerMode mode = MediaPlayer1.Mode();
    if (mode == media::PlayerMode::Stopped || mode == media::PlayerMode::Paused || mode == media::PlayerMode::NotReady) {
        Timer1.stop();
        return;
    }
    Ticks = (Ticks + 1) % 6;
    if (Kind == KindWave || Kind == KindMidi) {
        if (Ticks == 0) {
            RandomPosition();
            ColourIndex = NextColourIndex(ColourIndex);
        } else if (Kind == KindMidi) {
            RandomPosition();
        }
        update();
    }
}

void TPlayMedia_aviFm::UpdateMenu()
{
    const media::PlayerMode mode = MediaPlayer1.Mode();
    Play1->setChecked(mode == media::PlayerMode::Playing);
    Pause1->setChecked(mode == media::PlayerMode::Paused);
    const bool video = Kind == KindVideo;
    ViewNormal1->setVisible(video);
    ViewFit1->setVisible(video);
    ViewNormal1->setChecked(ViewMode == 2);
    ViewFit1->setChecked(ViewMode == 3);
}

void TPlayMedia_aviFm::ShowMediaInfo()
{
    if (!info_) info_ = new TMMFInfo_Fm(this);
    info_->Fill(path_, MediaPlayer1.LengthMs());
    info_->exec();
    if (MediaPlayer1.Mode() != media::PlayerMode::Playing) Replay();
}

void TPlayMedia_aviFm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (Kind == KindVideo) {
        p.fillRect(rect(), Qt::black);
        if (!LastFrame.isNull()) p.drawImage(VideoRect, LastFrame);
        return;
    }
    p.fillRect(rect(), Qt::white);
    const QImage &picture = Kind == KindMidi ? BookPictures::MidIcon() : BookPictures::WavIcon();
    // The colour of the moment rings the picture.
    p.fillRect(QRect(PicturePos, picture.size()).adjusted(-8, -8, 8, 8), Colour(ColourIndex));
    p.drawImage(PicturePos, picture);
    p.setFont(BookFont(14, true));
    p.setPen(Qt::black);
    p.drawText(QRect(0, 20, width(), 40), Qt::AlignHCenter | Qt::AlignTop, QFileInfo(path_).fileName());
}

void TPlayMedia_aviFm::keyPressEvent(QKeyEvent *)
{
    close();
}

void TPlayMedia_aviFm::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) close();
    else if (e->button() == Qt::RightButton) PopupMenu1->popup(e->globalPosition().toPoint());
}

void TPlayMedia_aviFm::closeEvent(QCloseEvent *e)
{
    Timer1.stop();
    // The player stops at once (its mode is known without waiting), then lets go of the file.
    MediaPlayer1.Stop();
    MediaPlayer1.Close();
    LastFrame = QImage();
    QWidget::closeEvent(e);
    if (done) QTimer::singleShot(0, this, [this] { if (done) done(); });
}

} // namespace pagero
