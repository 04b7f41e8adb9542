#pragma once
// The decoded pictures of file pages, kept beside the page cache: decoding a camera photo costs far
// more than drawing its page, so the pictures of the spreads next to the open one are decoded ahead
// on a worker thread once a flip has landed, and a page rendered later finds its picture ready. A
// picture is kept with the file's size and modification time and used only while they still match.
#include <QDateTime>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QThreadPool>
#include <deque>
#include <memory>
#include <vector>

namespace pagero {

struct BookScene;

class PagePictures : public QObject {
    Q_OBJECT
public:
    explicit PagePictures(QObject *parent = nullptr);
    ~PagePictures() override;

    // The picture of `path` fitted into `content` (as LoadFittedPicture makes it): a ready one, or
    // decoded now and kept.
    QImage Fitted(const QString &path, int kind, const QRect &content);
    // Starts decoding the pictures of the pages next to the open spread: the next spread's first
    // (a forward turn is the common one), then the previous one's. Pictures ready or on their way
    // are not asked for again.
    void PrefetchAround(const BookScene &scene);
    // True while no decode started by PrefetchAround runs.
    bool Idle() const { return running_.empty(); }
    bool Has(const QString &path, int kind, const QRect &content) const;
    void Clear();
    // Off: PrefetchAround does nothing (for comparisons).
    bool enabled = true;
    // Device pixels per book pixel the pictures are decoded for (the book painter's ratio).
    qreal ratio = 1.0;

signals:
    // A picture decoded ahead is ready.
    void Prefetched();

private:
    struct Key {
        QString path;
        int kind = 0;
        QSize box;
        qreal ratio = 1.0;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Key &) const = default;
    };
    struct Entry { Key key; QImage image; };
    struct Job { Key key; std::unique_ptr<QFutureWatcher<QImage>> watcher; };

    bool KeyOf(const QString &path, int kind, const QRect &content, Key &key) const;
    const Entry *find(const Key &key) const;
    void keep(Key key, QImage image);
    void request(const QString &path, int kind, const QRect &content);
    void finished(Job *job);

    std::deque<Entry> entries_;   // most recently used first
    std::vector<std::unique_ptr<Job>> running_;
    QThreadPool pool_;
};

} // namespace pagero
