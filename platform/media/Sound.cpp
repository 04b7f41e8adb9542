// One QSoundEffect on the GUI thread plays the short system sounds; it loads and plays without
// blocking the caller. Without an audio output nothing is created at all.
#include "platform/media/Sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMutex>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <atomic>

namespace pagero::media {
namespace {

std::atomic<int> started{0};
QMutex lastMutex;
QString lastPath;

// Lives on the GUI thread; created on first use.
QSoundEffect *Effect()
{
    static QSoundEffect *effect = nullptr;
    if (!effect) {
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setLoopCount(1);
    }
    return effect;
}

void PlayOnGuiThread(const QString &path)
{
    if (!AudioOutputAvailable()) return;
    QSoundEffect *effect = Effect();
    const QUrl url = QUrl::fromLocalFile(path);
    effect->stop();
    if (effect->source() != url) effect->setSource(url);   // loads in the background, plays when ready
    effect->play();
}

template <typename F>
void OnGuiThread(F &&work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) return;   // no application: nowhere to play
    if (QThread::currentThread() == app->thread()) work();
    else QMetaObject::invokeMethod(app, std::forward<F>(work), Qt::QueuedConnection);
}

} // namespace

bool AudioOutputAvailable()
{
    static const bool available = [] {
        if (!QCoreApplication::instance()) return false;
        return !QMediaDevices::defaultAudioOutput().isNull();
    }();
    return available;
}

void PlaySoundAsync(const QString &wavPath)
{
    {
        QMutexLocker lock(&lastMutex);
        lastPath = wavPath;
    }
    if (wavPath.isEmpty() || !QFileInfo(wavPath).isFile()) return;   // a missing file plays nothing
    ++started;
    OnGuiThread([wavPath] { PlayOnGuiThread(wavPath); });
}

void StopSound()
{
    OnGuiThread([] {
        if (AudioOutputAvailable()) Effect()->stop();
    });
}

int SoundsStarted() { return started.load(); }

QString LastSoundPath()
{
    QMutexLocker lock(&lastMutex);
    return lastPath;
}

} // namespace pagero::media
