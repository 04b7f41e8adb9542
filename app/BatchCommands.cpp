#include "app/BatchCommands.h"

#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "app/SelectionList.h"
#include "commands/BatchProgress.h"
#include "commands/OrvBatchRotate_Dlg.h"
#include "commands/OrvBatchSizing_Dlg.h"
#include "core/batch/BatchTargets.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace pagero {
namespace {

bool SameFolder(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath(), cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

bool IsPicture(const QString &path)
{
    const int kind = MediaKind(path);
    return kind == KindPicture || kind == KindImaging;
}

constexpr int kFailuresListed = 10;

} // namespace

BatchCommands::BatchCommands(BookContext &book, const MainMenus &menus, std::function<QString()> popupFile,
                             FolderChooser chooseFolder, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), popupFile_(std::move(popupFile))
{
    ChooseFolder = std::move(chooseFolder);
    ExecDialog = [](QDialog &dialog) { return dialog.exec() == QDialog::Accepted; };
    const MainActions &a = menus.actions;
    ConnectCommand(book_, a.All3, this, [this] { SelectAll(); });
    ConnectCommand(book_, a.All2, this, [this] { DeselectAll(); });
    for (QAction *act : {a.LeftPageFile3, a.BatchSelLImg}) ConnectCommand(book_, act, this, [this] { SelectPage(false, true); });
    for (QAction *act : {a.RightPageFile3, a.BatchSelRImg}) ConnectCommand(book_, act, this, [this] { SelectPage(true, true); });
    for (QAction *act : {a.LeftPageFile2, a.BatchDeselectLImg}) ConnectCommand(book_, act, this, [this] { SelectPage(false, false); });
    for (QAction *act : {a.RightPageFile2, a.BatchDeselectRImg}) ConnectCommand(book_, act, this, [this] { SelectPage(true, false); });
    ConnectCommand(book_, a.btnBatchSelect1, this, [this] { SelectFile(popupFile_(), true); });
    ConnectCommand(book_, a.btnBatchUnselect1, this, [this] { SelectFile(popupFile_(), false); });

    ConnectCommand(book_, a.Rotate2, this, [this] { BatchRotate(); });
    ConnectCommand(book_, a.SizeChange2, this, [this] { BatchResize(); });
    ConnectCommand(book_, a.CopyTo1, this, [this] { BatchCopy(); });
    ConnectCommand(book_, a.MoveTo1, this, [this] { BatchMove(); });
    ConnectCommand(book_, a.Delete1, this, [this] { BatchDelete(); });

    ConnectCommand(book_, a.LeftPageImage901, this, [this] { RotateQuarter(FileOfPage(false), -90); });
    ConnectCommand(book_, a.LeftPageImage902, this, [this] { RotateQuarter(FileOfPage(false), 90); });
    ConnectCommand(book_, a.RightPageImage901, this, [this] { RotateQuarter(FileOfPage(true), -90); });
    ConnectCommand(book_, a.RightPageImage902, this, [this] { RotateQuarter(FileOfPage(true), 90); });
    ConnectCommand(book_, a.LeftRotate901, this, [this] { RotateQuarter(popupFile_(), -90); });
    ConnectCommand(book_, a.RightRotate901, this, [this] { RotateQuarter(popupFile_(), 90); });
    ConnectCommand(book_, a.LeftPageImage5, this, [this] { RotateWithDialog(FileOfPage(false)); });
    ConnectCommand(book_, a.RightPageImage5, this, [this] { RotateWithDialog(FileOfPage(true)); });
    ConnectCommand(book_, a.AnyAngle1, this, [this] { RotateWithDialog(popupFile_()); });
    ConnectCommand(book_, a.LeftPageImage6, this, [this] { ResizeWithDialog(FileOfPage(false)); });
    ConnectCommand(book_, a.RightPageImage6, this, [this] { ResizeWithDialog(FileOfPage(true)); });
    ConnectCommand(book_, a.btnSizeChange1, this, [this] { ResizeWithDialog(popupFile_()); });

    if (QMenu *batch = menus.menus.Batch1) connect(batch, &QMenu::aboutToShow, this, &BatchCommands::UpdateBatchMenu);
    connect(&runner_, &BatchRunner::ItemFinished, this, [this](int index, int done, int total) {
        if (progress_ && job_) progress_->ShowProgress(job_->files.value(index), done, total);
    });
    connect(&runner_, &BatchRunner::BatchFinished, this, &BatchCommands::Finished);
}

BatchCommands::~BatchCommands() = default;

QString BatchCommands::FileOfPage(bool right) const
{
    return book_.FileOfPage(right ? book_.Spread().RightPageNo : book_.Spread().LeftPageNo);
}

// ---------------------------------------------------------------- selection

void BatchCommands::SelectAll()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SelectionList &s = book_.Selection();
    s.Clear();
    for (int i = 0; i < book_.Pages().Count(); ++i) s.Add(book_.Pages().PagePath(i));
    QApplication::restoreOverrideCursor();
    book_.DrawBook();
}

void BatchCommands::DeselectAll()
{
    book_.Selection().Clear();
    book_.DrawBook();
}

void BatchCommands::SelectFile(const QString &path, bool select)
{
    if (path.isEmpty()) return;
    if (select) book_.Selection().Add(path);
    else book_.Selection().Remove(path);
    book_.DrawBook();
}

void BatchCommands::SelectPage(bool right, bool select)
{
    SelectFile(FileOfPage(right), select);
}

void BatchCommands::UpdateBatchMenu()
{
    const MainActions &a = menus_.actions;
    const int n = book_.Selection().Count();
    const int f = book_.Sections().FirstIndexPage - book_.Sections().FirstFilePage;
    const bool idle = !Busy() && book_.AlbumOpen();
    a.All3->setEnabled(idle && n < f);
    a.All2->setEnabled(idle && n > 0);
    const QString left = FileOfPage(false), right = FileOfPage(true);
    const SelectionList &s = book_.Selection();
    a.LeftPageFile3->setEnabled(idle && !left.isEmpty() && !s.Contains(left));
    a.LeftPageFile2->setEnabled(idle && !left.isEmpty() && s.Contains(left));
    a.RightPageFile3->setEnabled(idle && !right.isEmpty() && !s.Contains(right));
    a.RightPageFile2->setEnabled(idle && !right.isEmpty() && s.Contains(right));
    for (QAction *act : {a.Rotate2, a.SizeChange2, a.CopyTo1, a.MoveTo1, a.Delete1}) act->setEnabled(idle && n > 0);
}

// ---------------------------------------------------------------- running a batch

void BatchCommands::Run(BatchJob job, After after)
{
    if (Busy() || job.files.isEmpty()) return;
    job_ = std::make_shared<const BatchJob>(std::move(job));
    after_ = std::move(after);
    progress_ = new TBatchProgress_Fm(runner_, BatchCaption(job_->kind), book_.ParentWidget());
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    progress_->show();
        runner_.Start(int(job_->files.size()), [job = job_](int index) { return RunBatchStep(*job, index); }, Workers);
}

void BatchCommands::Finished()
{
    if (progress_) progress_->close();
    // No new batch starts while the failures are shown and the follow-up is under way.
    finishing_ = true;
    const std::shared_ptr<const BatchJob> job = job_;
    ReportFailures(*job, runner_.Outcomes());
    if (After after = std::exchange(after_, nullptr)) after(*job, runner_.Outcomes());
    else RebuildThenDone();
    finishing_ = false;
}

void BatchCommands::ReportFailures(const BatchJob &job, const std::vector<BatchOutcome> &outcomes)
{
    QStringList lines;
    int failed = 0;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].kind != BatchOutcome::Failed) continue;
        if (++failed <= kFailuresListed) lines << job.files.value(int(i)) + ": " + outcomes[i].message;
    }
    if (failed == 0) return;
    if (failed > kFailuresListed) lines << QStringLiteral("... and %1 more").arg(failed - kFailuresListed);
    book_.Prompt().Fail(QStringLiteral("These files were left as they were:\n\n") + lines.join('\n'));
}

void BatchCommands::RebuildThenDone(std::function<void(bool built)> then)
{
    book_.Rebuild([this, then = std::move(then)](bool built) {
        if (then) then(built);
        book_.DrawBook();
        book_.RefreshToolBar();
        emit BatchDone();
    });
}

// ---------------------------------------------------------------- rotate and resize

QStringList BatchCommands::PicturesToChange(const QStringList &files)
{
    QStringList out;
    for (const QString &f : files) {
        if (!IsPicture(f)) continue;
        if (IsReadOnly(f)) {
            book_.Prompt().Inform(f + "\n\r" + "is a ReadOnly file.");
            continue;
        }
        out << f;
    }
    return out;
}

void BatchCommands::AfterPictureChange(const BatchJob &job, const std::vector<BatchOutcome> &outcomes, bool clearSelection)
{
    for (size_t i = 0; i < outcomes.size(); ++i)
        if (outcomes[i].kind == BatchOutcome::Done) book_.DropThumbnail(job.files.value(int(i)));
    RebuildThenDone([this, clearSelection](bool built) {
        if (built && clearSelection) book_.Selection().Clear();
    });
}

void BatchCommands::BatchRotate()
{
    if (Busy()) return;
    book_.Selection().DropMissing();
    if (book_.Selection().IsEmpty()) return;
    TBatchRotate_Fm dialog(book_.ParentWidget());
    dialog.setWindowTitle(QStringLiteral("Batch Rotate Image File(s)"));
    dialog.SetFile(book_.Selection().paths.first(), true);
    if (!ExecDialog(dialog)) return;
    BatchJob job;
    job.kind = BatchKind::Rotate;
    job.angle = dialog.Angle();
    job.fill = dialog.FillColor();
    job.files = PicturesToChange(book_.Selection().paths);
    if (job.files.isEmpty()) return;
    Run(job, [this](const BatchJob &j, const std::vector<BatchOutcome> &o) { AfterPictureChange(j, o, true); });
}

void BatchCommands::BatchResize()
{
    if (Busy()) return;
    book_.Selection().DropMissing();
    if (book_.Selection().IsEmpty()) return;
    TBatchSizing_Fm dialog(book_.ParentWidget());
    dialog.setWindowTitle(QStringLiteral("Batch Image file Resze"));
    dialog.SetFile(book_.Selection().paths.first(), true, imaging::SizeMode::Resize);
    if (!ExecDialog(dialog)) return;
    BatchJob job;
    job.kind = BatchKind::Resize;
    job.widthBar = dialog.WidthBar();
    job.heightBar = dialog.HeightBar();
    job.sizeMode = imaging::SizeMode::Resize;
    job.files = PicturesToChange(book_.Selection().paths);
    if (job.files.isEmpty()) return;
    Run(job, [this](const BatchJob &j, const std::vector<BatchOutcome> &o) { AfterPictureChange(j, o, true); });
}

void BatchCommands::RotateQuarter(const QString &file, int angle)
{
    if (Busy() || file.isEmpty()) return;
    BatchJob job;
    job.kind = BatchKind::Rotate;
    job.angle = angle;
    job.files = PicturesToChange({file});
    if (job.files.isEmpty()) return;
    Run(job, [this](const BatchJob &j, const std::vector<BatchOutcome> &o) { AfterPictureChange(j, o, false); });
}

void BatchCommands::RotateWithDialog(const QString &file)
{
    if (Busy() || file.isEmpty()) return;
    TBatchRotate_Fm dialog(book_.ParentWidget());
    dialog.setWindowTitle(QStringLiteral("Rotate Image File"));
    dialog.SetFile(file, false);
    if (!ExecDialog(dialog)) return;
    BatchJob job;
    job.kind = BatchKind::Rotate;
    job.angle = dialog.Angle();
    job.fill = dialog.FillColor();
    job.files = PicturesToChange({file});
    if (job.files.isEmpty()) return;
    Run(job, [this](const BatchJob &j, const std::vector<BatchOutcome> &o) { AfterPictureChange(j, o, false); });
}

void BatchCommands::ResizeWithDialog(const QString &file)
{
    if (Busy() || file.isEmpty()) return;
    TBatchSizing_Fm dialog(book_.ParentWidget());
    dialog.setWindowTitle(QStringLiteral("Image File Size Change"));
    dialog.SetFile(file, false, imaging::SizeMode::Resample);
    if (!ExecDialog(dialog)) return;
    BatchJob job;
    job.kind = BatchKind::Resize;
    job.widthBar = dialog.WidthBar();
    job.heightBar = dialog.HeightBar();
    job.sizeMode = imaging::SizeMode::Resample;
    job.files = PicturesToChange({file});
    if (job.files.isEmpty()) return;
    Run(job, [this](const BatchJob &j, const std::vector<BatchOutcome> &o) { AfterPictureChange(j, o, false); });
}

// ---------------------------------------------------------------- copy, move, delete

void BatchCommands::BatchCopy() { Transfer(BatchKind::Copy); }
void BatchCommands::BatchMove() { Transfer(BatchKind::Move); }

void BatchCommands::Transfer(BatchKind kind)
{
    if (Busy()) return;
    book_.Selection().DropMissing();
    if (book_.Selection().IsEmpty()) return;
    QString folder;
    const int mode = kind == BatchKind::Copy ? 4 : 5;
    if (!ChooseFolder || !ChooseFolder(mode, book_.Selection().paths.first(), folder) || folder.isEmpty()) return;
    BatchJob job;
    job.kind = kind;
    job.files = book_.Selection().paths;
    job.targets = PlanBatchTargets(job.files, QDir::cleanPath(folder));
    const QString album = book_.Pages().Folder();
    Run(job, [this, kind, folder, album](const BatchJob &j, const std::vector<BatchOutcome> &o) {
        QString lastCopy;
        for (size_t i = 0; i < o.size(); ++i) {
            if (o[i].kind != BatchOutcome::Done) continue;
            lastCopy = j.targets.value(int(i));
            if (kind == BatchKind::Move && SameFolder(QFileInfo(j.files.value(int(i))).path(), album))
                book_.FileLeftAlbum(j.files.value(int(i)));
        }
        if (kind == BatchKind::Copy) book_.Selection().Clear();
        if (kind == BatchKind::Copy && !SameFolder(folder, album)) {
            book_.DrawBook();
            emit BatchDone();
            return;
        }
        RebuildThenDone([this, kind, lastCopy](bool built) {
            if (!built || kind != BatchKind::Copy || lastCopy.isEmpty()) return;
            const int entry = book_.Pages().IndexOfPath(lastCopy);
            if (entry >= 0) book_.FlipTo(book_.Sections().FirstFilePage + entry);
        });
    });
}

void BatchCommands::BatchDelete()
{
    if (Busy()) return;
    book_.Selection().DropMissing();
    if (book_.Selection().IsEmpty()) return;
    Prompter &prompt = book_.Prompt();
    if (!prompt.Confirm(QStringLiteral("WARNING!\r\n\r\nDo you really want to delete all the selected image files\r\n"
                                       "including the ReadOnly files PERMANENTLY from the DISK?")))
        return;
    BatchJob job;
    job.kind = BatchKind::Delete;
    // Every question is asked before the work starts: the workers ask nothing.
    for (const QString &f : book_.Selection().paths) {
        if (IsReadOnly(f) &&
            !prompt.Confirm(f + "\n\r" + "is a ReadOnly file. Override the restriction and delete it?"))
            continue;
        job.files << f;
    }
    if (job.files.isEmpty()) return;
    // The thumbnails of deleted files go with their cache entries when the book is rebuilt.
    const QString album = book_.Pages().Folder();
    Run(job, [this, album](const BatchJob &j, const std::vector<BatchOutcome> &o) {
        for (size_t i = 0; i < o.size(); ++i)
            if (o[i].kind == BatchOutcome::Done && SameFolder(QFileInfo(j.files.value(int(i))).path(), album))
                book_.FileLeftAlbum(j.files.value(int(i)));
        RebuildThenDone();
    });
}

} // namespace pagero
