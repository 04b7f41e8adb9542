// Batch selection and batch work: the worker pool against one worker, Cancel, real failures, and
// the commands of the book with the files on disk and the page list checked afterwards.
#include "app/AnnotationController.h"
#include "app/BatchCommands.h"
#include "app/SelectionList.h"
#include "commands/BatchWork.h"
#include "commands/OrvBatchRotate_Dlg.h"
#include "commands/OrvBatchSizing_Dlg.h"
#include "core/FullDisk.h"
#include "core/annotations/CommentStore.h"
#include "core/common/AtomicFile.h"
#include "core/batch/BatchTargets.h"
#include "core/batch/SizeFactors.h"
#include "core/common/MyLib.h"
#include "main_window_fixture.h"
#include "platform/imaging/Imaging.h"
#include "tests/platform/ImagingTestTools.h"

#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>

using namespace pagero;
using namespace pagero::test;

namespace {

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void MakeJpegs(const QString &folder, int count, QSize size)
{
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        RunTool(kConvert, {"-size", QString("%1x%2").arg(size.width()).arg(size.height()), "-seed", QString::number(i),
                           "plasma:", QString("%1/p%2.jpg").arg(folder).arg(i)}, &ok);
        ASSERT_TRUE(ok);
    }
}

// Runs the job to its end on `workers` threads; `afterStep` runs on the worker after each file.
std::vector<BatchOutcome> RunJob(const BatchJob &job, int workers, std::function<void(BatchRunner &)> afterStep = {})
{
    BatchRunner runner;
    bool finished = false;
    QObject::connect(&runner, &BatchRunner::BatchFinished, [&finished] { finished = true; });
    runner.Start(int(job.files.size()), [&](int i) {
        BatchOutcome outcome = RunBatchStep(job, i);
        if (afterStep) afterStep(runner);
        return outcome;
    }, workers);
    EXPECT_TRUE(WaitFor([&finished] { return finished; }, 60000));
    return runner.Outcomes();
}

TEST(BatchWork, TwoWorkersWriteTheSameBytesAsOneAndCancelStopsAfterTheCurrentFile)
{
    QTemporaryDir dir;
    for (const char *sub : {"one", "two"}) ASSERT_TRUE(QDir(dir.path()).mkdir(sub));
    MakeJpegs(dir.filePath("one"), 6, QSize(163, 97));
    QStringList one, two;
    for (int i = 0; i < 6; ++i) {
        one << dir.filePath(QString("one/p%1.jpg").arg(i));
        two << dir.filePath(QString("two/p%1.jpg").arg(i));
        ASSERT_TRUE(QFile::copy(one.last(), two.last()));
    }
    for (BatchKind kind : {BatchKind::Rotate, BatchKind::Resize}) {
        BatchJob job;
        job.kind = kind;
        job.angle = 33;
        job.widthBar = SizeBarPositionFor(80, 163);
        job.heightBar = job.widthBar;
        job.files = one;
        RunJob(job, 1);
        job.files = two;
        RunJob(job, 2);
    }
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Bytes(one[i]), Bytes(two[i])) << i;

    // Cancel during the first file: the rest is never started and keeps its bytes.
    const QByteArray last = Bytes(one.last());
    BatchJob job;
    job.kind = BatchKind::Rotate;
    job.angle = 90;
    job.files = one;
    const auto outcomes = RunJob(job, 1, [](BatchRunner &r) { r.Cancel(); });
    EXPECT_EQ(outcomes.front().kind, BatchOutcome::Done);
    EXPECT_EQ(outcomes.back().kind, BatchOutcome::NotStarted);
    EXPECT_EQ(Bytes(one.last()), last);
}

TEST(BatchWork, CopyToAFullDiskLeavesSourcesAndNoPartialFiles)
{
    QTemporaryDir dir;
    MakeJpegs(dir.path(), 3, QSize(400, 300));
    FullDisk disk;
    disk.Fill();
    BatchJob job;
    job.kind = BatchKind::Move;
    for (int i = 0; i < 3; ++i) job.files << dir.filePath(QString("p%1.jpg").arg(i));
    const QList<QByteArray> before = {Bytes(job.files[0]), Bytes(job.files[1]), Bytes(job.files[2])};
    job.targets = PlanBatchTargets(job.files, disk.Path());
    for (const BatchOutcome &o : RunJob(job, 2)) EXPECT_EQ(o.kind, BatchOutcome::Failed);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Bytes(job.files[i]), before[i]);
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden).filter(".jpg").size(), 0);
}

class BatchCommandsTest : public MainWindowTest {
protected:
    BatchCommands &Open()
    {
        Start({album});
        EXPECT_TRUE(WaitOpen());
        return window->Batch();
    }
    bool WaitDone(BatchCommands &b)
    {
        QSignalSpy done(&b, &BatchCommands::BatchDone);
        return done.count() > 0 || done.wait(60000);
    }
    QString Pic(int i) const { return QString("%1/pic%2.png").arg(album).arg(i); }
};

TEST_F(BatchCommandsTest, SelectionCommandsAndTheBatchMenuState)
{
    BatchCommands &b = Open();
    const MainActions &a = window->Menus().actions;
    a.All3->trigger();
    EXPECT_EQ(window->Selection().Count(), 6);
    b.UpdateBatchMenu();
    EXPECT_FALSE(a.All3->isEnabled());
    EXPECT_TRUE(a.Rotate2->isEnabled());
    a.All2->trigger();
    EXPECT_TRUE(window->Selection().IsEmpty());
    b.SelectFile(Pic(2), true);
    b.SelectFile(Pic(2).toUpper(), true);   // the same file, in another spelling
    EXPECT_EQ(window->Selection().Count(), 1);
    b.UpdateBatchMenu();
    EXPECT_TRUE(a.All3->isEnabled());
    EXPECT_TRUE(a.Delete1->isEnabled());
}

TEST_F(BatchCommandsTest, BatchRotateTurnsThePicturesSkipsReadOnlyAndAVanishedFile)
{
    BatchCommands &b = Open();
    window->Menus().actions.All3->trigger();
    ASSERT_TRUE(SetReadOnly(Pic(1), true));
    const QByteArray readOnly = Bytes(Pic(1));
    b.ExecDialog = [this](QDialog &d) {
        auto &dialog = static_cast<TBatchRotate_Fm &>(d);
        EXPECT_EQ(dialog.windowTitle(), "Batch Rotate Image File(s)");
        dialog.QuickAngles[1]->click();   // 90 degrees
        QFile::remove(Pic(6));              // gone after the selection was checked
        return true;
    };
    window->Menus().actions.Rotate2->trigger();
    ASSERT_TRUE(WaitDone(b));
    EXPECT_EQ(prompter.texts.filter("is a ReadOnly file.").size(), 1);
    EXPECT_EQ(Bytes(Pic(1)), readOnly);
    for (int i : {2, 3, 4, 5}) EXPECT_EQ(imaging::PictureSize(Pic(i)), QSize(40, 60 + i - 1)) << i;
    EXPECT_EQ(window->Pages().Count(), 5);
    EXPECT_TRUE(window->Selection().IsEmpty());
    EXPECT_EQ(prompter.kinds.count(PromptKind::Error), 0) << "a vanished file is skipped, not a failure";
    SetReadOnly(Pic(1), false);
}

TEST_F(BatchCommandsTest, ResizeWithAPresetMakesTheFirstExactAndTheRestInProportion)
{
    BatchCommands &b = Open();
    b.SelectFile(Pic(1), true);   // 60 x 40
    b.SelectFile(Pic(6), true);   // 65 x 40
    b.ExecDialog = [](QDialog &d) {
        auto &dialog = static_cast<TBatchSizing_Fm &>(d);
        dialog.QuickSelect(QSize(300, 200));
        return true;
    };
    window->Menus().actions.SizeChange2->trigger();
    ASSERT_TRUE(WaitDone(b));
    EXPECT_EQ(imaging::PictureSize(Pic(1)), QSize(300, 200));
    EXPECT_EQ(imaging::PictureSize(Pic(6)), QSize(325, 200));
}

TEST_F(BatchCommandsTest, CopyIntoTheAlbumGetsUniqueNamesAndDeleteAsksPerReadOnlyFile)
{
    BatchCommands &b = Open();
    b.SelectFile(Pic(1), true);
    b.SelectFile(Pic(2), true);
    int askedMode = 0;
    b.ChooseFolder = [this, &askedMode](int mode, const QString &, QString &folder) {
        askedMode = mode;
        folder = album;
        return true;
    };
    window->Menus().actions.CopyTo1->trigger();
    ASSERT_TRUE(WaitDone(b));
    EXPECT_EQ(askedMode, 4);
    EXPECT_EQ(Bytes(album + "/pic1_1.png"), Bytes(Pic(1)));
    EXPECT_EQ(window->Pages().Count(), 8);
    EXPECT_TRUE(window->Selection().IsEmpty());
    ASSERT_TRUE(window->Idle() || Landed());
    EXPECT_EQ(window->Pages().NameOf(window->Flip_().LeftPageNo - window->Layout_().FirstFilePage) == "pic2_1.png" ||
                  window->Pages().NameOf(window->Flip_().RightPageNo - window->Layout_().FirstFilePage) == "pic2_1.png",
              true);

    // A deleted file's comment goes with it, from the open album and from its comment file.
    CommentStore comments;
    PageComment note;
    note.lines = QStringList{"hello"};
    ASSERT_TRUE(comments.WriteComment(Pic(3), 100, 100, note));
    ASSERT_TRUE(WriteFileAtomically(album + "/~mqxTxt.~pa", comments.Bytes()));
    ASSERT_TRUE(window->Annotations().Files().Comments.WriteComment(Pic(3), 100, 100, note));

    for (int i : {3, 4, 5}) b.SelectFile(Pic(i), true);
    ASSERT_TRUE(SetReadOnly(Pic(4), true));
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
    window->Menus().actions.Delete1->trigger();
    ASSERT_TRUE(WaitDone(b));
    EXPECT_EQ(prompter.texts.filter("is a ReadOnly file. Override the restriction and delete it?").size(), 1);
    EXPECT_FALSE(QFile::exists(Pic(3)));
    EXPECT_TRUE(QFile::exists(Pic(4)));
    EXPECT_FALSE(QFile::exists(Pic(5)));
    EXPECT_EQ(window->Pages().Count(), 6);
    EXPECT_FALSE(window->Annotations().Files().Comments.FindComment(Pic(3)).found);
    comments.LoadFile(album + "/~mqxTxt.~pa");
    EXPECT_FALSE(comments.FindComment(Pic(3)).found);
    SetReadOnly(Pic(4), false);
}

} // namespace
