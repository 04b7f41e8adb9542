#pragma once
// Runs one piece of work per file of a batch on worker threads (as many as cores unless told) and
// reports each finished file on the thread that started the batch. A cancel lets the files being
// worked on finish and starts no further one. Each file's work must touch only that file's own
// paths, so the result does not depend on the number of workers.
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace pagero {

struct BatchOutcome {
    enum Kind { NotStarted, Done, Unchanged, Skipped, Failed };
    Kind kind = NotStarted;
    QString message;   // why it was skipped or failed
};

class BatchRunner : public QObject {
    Q_OBJECT
public:
    using Work = std::function<BatchOutcome(int index)>;

    explicit BatchRunner(QObject *parent = nullptr);
    // Cancels and waits for the files being worked on.
    ~BatchRunner() override;

    // Runs work(0) .. work(count - 1); returns at once. workers <= 0: one per core.
    void Start(int count, Work work, int workers = 0);
    void Cancel() { cancelled_.store(true); }
    bool Running() const { return running_; }
    bool Cancelled() const { return cancelled_.load(); }
    int Total() const { return int(outcomes_.size()); }
    int Finished() const { return finished_; }
    // One per file; NotStarted for files a cancel kept from starting. Complete once BatchFinished came.
    const std::vector<BatchOutcome> &Outcomes() const { return outcomes_; }
    // Blocks until the batch has ended (tests and the window's destruction only).
    void WaitForFinished();

signals:
    void ItemFinished(int index, int finished, int total);
    void BatchFinished(bool cancelled);

private:
    QThreadPool pool_;
    QFutureWatcher<void> watcher_;
    std::vector<int> indices_;
    std::vector<BatchOutcome> outcomes_;
    std::atomic<bool> cancelled_{false};
    bool running_ = false;
    int finished_ = 0;
};

} // namespace pagero
