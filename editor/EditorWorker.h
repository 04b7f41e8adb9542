#pragma once
// Runs one piece of the editor's work on a pool thread and hands its result back on the GUI thread.
// The work holds copies only; when `owner` goes first, the result is dropped unread.
#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QThreadPool>
#include <functional>
#include <memory>

namespace pagero::editor {

template <class Result>
void RunOnWorker(QObject *owner, std::function<Result()> work, std::function<void(Result)> done)
{
    auto promise = std::make_shared<QPromise<Result>>();
    auto *watcher = new QFutureWatcher<Result>(owner);
    QObject::connect(watcher, &QFutureWatcherBase::finished, owner, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        if (watcher->future().resultCount() > 0) done(watcher->result());
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::move(work)] {
        promise->addResult(work());
        promise->finish();
    });
}

} // namespace pagero::editor
