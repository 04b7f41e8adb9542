#include "app/PagePrefetch.h"
#include "app/BookPainter.h"
#include "app/PageRenderer.h"
#include "core/common/MyLib.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace pagero {

namespace {

// The pictures of both open pages, of the two pages a turn either way reveals, and some slack.
constexpr size_t kKeptPictures = 8;

} // namespace

PagePictures::PagePictures(QObject *parent) : QObject(parent)
{
    pool_.setMaxThreadCount(2);
}

PagePictures::~PagePictures()
{
    // A decode in flight holds no reference to this object; its result is simply dropped.
    for (auto &job : running_)
        job->watcher->disconnect(this);
    pool_.waitForDone();
}

bool PagePictures::KeyOf(const QString &path, int kind, const QRect &content, Key &key) const
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;   // a name the file system does not give back as is: decoded each time
    key = Key{path, kind, content.size(), ratio, info.size(), info.lastModified()};
    return true;
}

const PagePictures::Entry *PagePictures::find(const Key &key) const
{
    for (const Entry &e : entries_)
        if (e.key == key)
            return &e;
    return nullptr;
}

void PagePictures::keep(Key key, QImage image)
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const Entry &e) { return e.key == key; }),
                   entries_.end());
    entries_.push_front(Entry{std::move(key), std::move(image)});
    while (entries_.size() > kKeptPictures)
        entries_.pop_back();
}

QImage PagePictures::Fitted(const QString &path, int kind, const QRect &content)
{
    Key key;
    if (!KeyOf(path, kind, content, key))
        return LoadFittedPicture(path, kind, content, ratio);
    if (const Entry *e = find(key)) {
        QImage image = e->image;
        keep(key, image);   // most recently used
        return image;
    }
    QImage image = LoadFittedPicture(path, kind, content, ratio);
    keep(key, image);
    return image;
}

bool PagePictures::Has(const QString &path, int kind, const QRect &content) const
{
    Key key;
    return KeyOf(path, kind, content, key) && find(key);
}

void PagePictures::Clear()
{
    entries_.clear();
}

void PagePictures::request(const QString &path, int kind, const QRect &content)
{
    Key key;
    if (!KeyOf(path, kind, content, key) || find(key))
        return;
    for (const auto &job : running_)
        if (job->key == key)
            return;
    auto job = std::make_unique<Job>();
    job->key = key;
    job->watcher = std::make_unique<QFutureWatcher<QImage>>();
    Job *raw = job.get();
    connect(job->watcher.get(), &QFutureWatcher<QImage>::finished, this, [this, raw] { finished(raw); });
    job->watcher->setFuture(QtConcurrent::run(&pool_, [path, kind, content, r = ratio] { return LoadFittedPicture(path, kind, content, r); }));
    running_.push_back(std::move(job));
}

void PagePictures::finished(Job *job)
{
    const auto it = std::find_if(running_.begin(), running_.end(), [&](const auto &j) { return j.get() == job; });
    if (it == running_.end())
        return;
    std::unique_ptr<Job> done = std::move(*it);
    running_.erase(it);
    // The file may have changed while it was decoded: the key was taken before, so a changed file
    // no longer matches it and is decoded again when its page is drawn.
    keep(done->key, done->watcher->result());
    done->watcher.release()->deleteLater();   // the watcher is inside its own signal
    emit Prefetched();
}

void PagePictures::PrefetchAround(const BookScene &scene)
{
    if (!enabled || !scene.layout || !scene.flip || !scene.pages || !scene.geo)
        return;
    const BookLayout &layout = *scene.layout;
    const FlipState &flip = *scene.flip;
    for (int page : {flip.RightPageNo + 1, flip.RightPageNo + 2, flip.LeftPageNo - 1, flip.LeftPageNo - 2}) {
        const int entry = page - layout.FirstFilePage;
        if (page < layout.FirstFilePage || page >= layout.FirstIndexPage || entry >= scene.pages->Count())
            continue;
        const int kind = scene.pages->KindOf(entry);
        if (kind == KindPicture || kind == KindImaging || kind == KindVideo)
            request(scene.pages->PagePath(entry), kind, scene.geo->contentLocal(page));
    }
}

} // namespace pagero
