#include "commands/PreviewLoader.h"
#include "platform/imaging/Imaging.h"
#include <QtConcurrent/QtConcurrentRun>

namespace pagero {

PreviewLoader::PreviewLoader(QObject *parent) : QObject(parent)
{
    connect(&watcher_, &QFutureWatcher<QImage>::finished, this, [this] {
        if (loaded) loaded(watcher_.result());
    });
}

PreviewLoader::~PreviewLoader()
{
    watcher_.waitForFinished();
}

bool PreviewLoader::Load(const QString &path, QSize box)
{
    if (Running()) return false;
    watcher_.setFuture(QtConcurrent::run([path, box] { return imaging::Load(path, box).image; }));
    return true;
}

} // namespace pagero
