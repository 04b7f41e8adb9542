#pragma once
// The batch selection and the batch commands of the book: select and deselect page files, select
// all, clear; rotate, resize, copy, move and delete the selection; rotate and resize single files.
// The work runs on worker threads (BatchRunner) behind a progress window with Cancel, the book
// stays usable meanwhile; afterwards changed thumbnails are dropped and the book is rebuilt.
#include "commands/BatchProgress.h"
#include "commands/BatchWork.h"
#include "core/batch/BatchRunner.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QDialog;

namespace pagero {

class BookContext;
class TBatchProgress_Fm;
class TBatchRotate_Fm;
class TBatchSizing_Fm;
struct MainMenus;

class BatchCommands : public QObject {
    Q_OBJECT
public:
    // Chooses the target folder of a copy (mode 4) or move (mode 5) without performing it; false
    // for Cancel.
    using FolderChooser = std::function<bool(int mode, const QString &sourceFile, QString &folder)>;

    BatchCommands(BookContext &book, const MainMenus &menus, std::function<QString()> popupFile,
                  FolderChooser chooseFolder, QObject *parent = nullptr);
    ~BatchCommands() override;

    // Selection.
    void SelectAll();
    void DeselectAll();
    void SelectFile(const QString &path, bool select);
    void SelectPage(bool right, bool select);

    // Batch commands on the selection, and the single-file commands.
    void BatchRotate();
    void BatchResize();
    void BatchCopy();
    void BatchMove();
    void BatchDelete();
    void RotateQuarter(const QString &file, int angle);
    void RotateWithDialog(const QString &file);
    void ResizeWithDialog(const QString &file);

    // Enables the Batch menu's items for the selection and the open spread.
    void UpdateBatchMenu();

    bool Busy() const { return runner_.Running() || finishing_; }
    BatchRunner &Runner() { return runner_; }
    TBatchProgress_Fm *Progress() const { return progress_; }
    int Workers = 0;   // 0: one per core
    FolderChooser ChooseFolder;
    // Shows a dialog modally; true for OK. Tests set the dialog up and answer it instead.
    std::function<bool(QDialog &dialog)> ExecDialog;

signals:
    // A batch has ended and the book has been rebuilt after it (or did not need to be).
    void BatchDone();

private:
    using After = std::function<void(const BatchJob &job, const std::vector<BatchOutcome> &outcomes)>;
    void Run(BatchJob job, After after);
    void Finished();
    void ReportFailures(const BatchJob &job, const std::vector<BatchOutcome> &outcomes);
    QStringList PicturesToChange(const QStringList &files);
    void AfterPictureChange(const BatchJob &job, const std::vector<BatchOutcome> &outcomes, bool clearSelection);
    void Transfer(BatchKind kind);
    void RebuildThenDone(std::function<void(bool built)> then = {});
    QString FileOfPage(bool right) const;

    BookContext &book_;
    const MainMenus &menus_;
    std::function<QString()> popupFile_;
    BatchRunner runner_;
    std::shared_ptr<const BatchJob> job_;
    After after_;
    QPointer<TBatchProgress_Fm> progress_;
    bool finishing_ = false;
};

} // namespace pagero
