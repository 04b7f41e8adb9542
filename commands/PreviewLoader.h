#pragma once
// Loads the "before" picture of a batch dialog's preview on a worker thread, decoded at the size of
// the preview box. One load at a time: a request while one runs is refused and the dialog asks again
// later. `loaded` gets the picture (null when the file cannot be read) on the GUI thread. A dialog
// that goes waits for a running load first.
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QSize>
#include <functional>

namespace pagero {

class PreviewLoader : public QObject {
public:
    explicit PreviewLoader(QObject *parent = nullptr);
    ~PreviewLoader() override;

    // Starts loading `path` fitted into `box`; false (nothing started) while a load runs.
    bool Load(const QString &path, QSize box);
    bool Running() const { return watcher_.isRunning(); }

    std::function<void(const QImage &picture)> loaded;

private:
    QFutureWatcher<QImage> watcher_;
};

} // namespace pagero
