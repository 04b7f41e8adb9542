// The common library's window side: the choosers and their hooks, copy/move/delete with their
// messages, the canvas helpers, the file-operation animation, and the background commands that use
// the bitmap chooser.
#include "common/OrvComAnimate.h"
#include "common/OrvMyLib.h"
#include "core/common/MyLib.h"
#include "core/book/Settings.h"
#include "main_window_fixture.h"
#include "pages/OrvPreviewPic.h"
#include "tests/support/ScriptedChoosers.h"
#include "tests/support/ScriptedPrompter.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::test;

namespace {

void WriteText(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray ReadText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool AnimationClosed()
{
    return WaitFor([] { return !ComAnimate().isVisible(); }, 2000);
}

const QString kLfCr = QStringLiteral("\n\r");

QString DeleteWarning(const QString &path)
{
    return path + kLfCr + kLfCr + "WARNING!" + kLfCr + kLfCr + "Do you really want to delete this Image File" +
           kLfCr + "PERMANENTLY from the DISK?";
}

QString ReadOnlyWarning(const QString &path)
{
    return path + kLfCr + kLfCr + "WARNING!" + kLfCr + kLfCr + "This is a ReadOnly File. Delete it anyway?";
}

} // namespace

TEST(CommonChoosers, ChooseBitmapTakesOnlyBitmapsWhateverTheCaseOfTheExtension)
{
    ScriptedPrompter prompter;
    QString askedTitle, askedFolder, answer = "/pictures/tile.png";
    ScriptedChoosers hooks([&](const QString &title, const QString &folder) {
        askedTitle = title;
        askedFolder = folder;
        return answer;
    });

    QString path = "unchanged";
    EXPECT_FALSE(ChooseBitmap("/pictures", path));
    EXPECT_EQ(askedTitle, "Open Picture Dialog");
    EXPECT_EQ(askedFolder, "/pictures");
    EXPECT_EQ(path, "unchanged");
    ASSERT_EQ(prompter.texts, QStringList({"Only BMP files available."}));
    EXPECT_EQ(prompter.kinds.first(), PromptKind::Information);

    answer = "/pictures/tile.BMP";
    EXPECT_TRUE(ChooseBitmap("Pick one", "/pictures", path));
    EXPECT_EQ(askedTitle, "Pick one");
    EXPECT_EQ(path, "/pictures/tile.BMP");

    answer = "/pictures/bmp";   // no extension at all: refused as well
    EXPECT_FALSE(ChooseBitmap("/pictures", path));
    answer.clear();             // Cancel: no message
    EXPECT_FALSE(ChooseBitmap("/pictures", path));
    EXPECT_EQ(prompter.texts.size(), 2);
}

TEST(CommonFileOperations, CopyOverwritesButNeverAReadOnlyTargetOrIntoAMissingFolder)
{
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    const QString source = dir.filePath("a.jpg"), target = dir.filePath("b.jpg");
    WriteText(source, "new");
    WriteText(target, "old");

    EXPECT_TRUE(CopyFileShown(source, target));
    EXPECT_EQ(ReadText(target), "new");
    EXPECT_TRUE(prompter.texts.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);   // no temporary left

    WriteText(source, "newer");
    ASSERT_TRUE(SetReadOnly(target, true));
    EXPECT_FALSE(CopyFileShown(source, target));
    EXPECT_EQ(ReadText(target), "new");
    ASSERT_EQ(prompter.texts, QStringList({"Cannot create file " + target}));
    EXPECT_EQ(prompter.kinds.last(), PromptKind::Error);

    const QString nowhere = dir.filePath("missing/c.jpg");
    EXPECT_FALSE(CopyFileShown(source, nowhere));
    EXPECT_EQ(prompter.texts.last(), "Cannot create file " + nowhere);
    EXPECT_TRUE(AnimationClosed());
    EXPECT_EQ(ComAnimate().windowTitle(), "Copy Files...");
}

TEST(CommonFileOperations, MoveRemovesTheSourceOnlyAfterAGoodCopy)
{
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    const QString source = dir.filePath("a.jpg"), target = dir.filePath("b.jpg");
    WriteText(source, "picture");
    WriteText(target, "locked");
    ASSERT_TRUE(SetReadOnly(target, true));

    EXPECT_FALSE(MoveFileShown(source, target));
    EXPECT_EQ(ReadText(source), "picture");
    EXPECT_EQ(ReadText(target), "locked");

    ASSERT_TRUE(SetReadOnly(target, false));
    EXPECT_TRUE(MoveFileShown(source, target));
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_EQ(ReadText(target), "picture");

    // Moving a file onto itself keeps it.
    EXPECT_TRUE(MoveFileShown(target, dir.filePath("./b.jpg")));
    EXPECT_EQ(ReadText(target), "picture");
    EXPECT_EQ(prompter.texts, QStringList({"Cannot create file " + target}));
}

TEST(CommonFileOperations, DeleteImageFileAsksTheWarningsAndDeletesOnlyOnYes)
{
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    const QString path = dir.filePath("pic.jpg");
    WriteText(path, "x");

    prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(DeleteImageFileShown(path));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(prompter.texts, QStringList({DeleteWarning(path)}));

    ASSERT_TRUE(SetReadOnly(path, true));
    prompter.texts.clear();
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
    EXPECT_FALSE(DeleteImageFileShown(path));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(prompter.texts, QStringList({DeleteWarning(path), ReadOnlyWarning(path)}));

    prompter.texts.clear();
    EXPECT_TRUE(DeleteImageFileShown(path));   // Yes to both
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(prompter.texts.size(), 2);
    EXPECT_TRUE(AnimationClosed());
    EXPECT_EQ(ComAnimate().windowTitle(), "Delete...");
}

TEST(CommonFileOperations, FolderCreationAndTreeDeletion)
{
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    const QString folder = dir.filePath("new/deep");
    EXPECT_TRUE(CreateFolderShown(folder));
    EXPECT_TRUE(prompter.texts.isEmpty());

    EXPECT_FALSE(CreateFolderShown(folder));
    ASSERT_EQ(prompter.texts, QStringList({folder + " already exists.\r\nPlease select a new folder name"}));
    EXPECT_EQ(prompter.kinds.first(), PromptKind::Information);

    WriteText(folder + "/locked.jpg", "x");
    ASSERT_TRUE(SetReadOnly(folder + "/locked.jpg", true));
    EXPECT_TRUE(DeleteFolderTreeShown(dir.filePath("new")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("new")));
    EXPECT_TRUE(AnimationClosed());
}

TEST(CommonCanvas, TileBitmapRepeatsThePictureAndClipsTheLastRowAndColumn)
{
    QImage tile(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) tile.setPixel(x, y, qRgb(40 * x + 10, 100 * y + 20, 200));
    QImage canvas(12, 9, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const QRect area(1, 2, 7, 5);   // 2 1/3 tiles wide, 2 1/2 tiles high
    {
        QPainter p(&canvas);
        TileBitmap(p, area, tile);
    }
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb expected = area.contains(x, y) ? tile.pixel((x - area.left()) % 3, (y - area.top()) % 2)
                                                      : qRgb(255, 255, 255);
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
        }
}

TEST(CommonAnimation, CaptionsPerKindAndTheWindowClosesAfterStop)
{
    TComAnimate_Fm &window = ComAnimate();
    const QStringList captions = {"Find Folder...", "Find File...", "Find Computer...", "Copy Files...",
                                  "Copy File...", "Delete...", "Empty...", "Delete..."};
    for (int kind = 1; kind <= 8; ++kind) {
        window.StartAnimation(kind);
        EXPECT_EQ(window.windowTitle(), captions[kind - 1]) << kind;
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.Animating());
        EXPECT_FALSE(window.grab().isNull());   // every kind's drawing paints without trouble
    }

    QElapsedTimer clock;
    clock.start();
    window.StopAnimation();
    EXPECT_LT(clock.elapsed(), 50);   // the caller is not held up
    EXPECT_TRUE(window.isVisible());
    QEventLoop loop;   // the run-out on a plain event loop: 100 steps of 2 ms
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] { if (!window.isVisible()) loop.quit(); });
    poll.start(1);
    loop.exec();
    EXPECT_FALSE(window.isVisible());
    EXPECT_LT(clock.elapsed(), 600);
    std::printf("animation run-out took %lld ms\n", static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(window.Progress(), 100);
    EXPECT_FALSE(window.Animating());

    // A new operation right after a stop keeps the window open from the start.
    window.StartAnimation(AnimCopyFile);
    window.StopAnimation();
    window.StartAnimation(AnimEmpty);
    QTest::qWait(300);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Progress(), 0);
    window.StopAnimation();
    EXPECT_TRUE(AnimationClosed());
}

TEST_F(MainWindowTest, BackgroundCommandsUseTheChoosersAndTheBookShowsTheTiledPicture)
{
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(QColor(200, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x) tile.setPixel(x, y, qRgb(0, 0, 200));
    const QString bitmap = exeDir + "/BitPattern/stripes.bmp";
    ASSERT_TRUE(tile.save(bitmap, "BMP"));
    QStringList asked;
    QString answer = bitmap;
    ScriptedChoosers hooks(
        [&](const QString &title, const QString &folder) {
            asked << title << folder;
            return answer;
        },
        [](QColor &colour) {
            colour = QColor(1, 2, 3);
            return true;
        });

    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.Menus().actions.btnBitmap1->trigger();
    EXPECT_EQ(asked, QStringList({"Select Book Background Fill Bitmap", QDir(exeDir).filePath("BitPattern")}));
    EXPECT_EQ(w.Options().ScreenBackKind, 2);
    const QImage &frame = w.Painter().ViewImage1;
    const int y = frame.height() - 3;
    for (int x : {1, 5, 9, 13})
        EXPECT_EQ(QColor(frame.pixel(x, y)), QColor(tile.pixel(x % 8, y % 8))) << x;

    w.Menus().actions.Color1->trigger();
    EXPECT_EQ(w.Options().ScreenBackKind, 1);
    EXPECT_EQ(w.Options().ScreenBackColor, 0x030201u);

    // The cover refuses a picture that is not a bitmap and keeps what it had.
    asked.clear();
    answer = exeDir + "/Samples/sample1.png";
    const int coverKind = w.Options().CoverKind;
    w.Menus().actions.btnBitmap2->trigger();
    EXPECT_EQ(asked.value(0), "Select Cover Background Fill Bitmap");
    EXPECT_EQ(prompter.texts.value(prompter.texts.size() - 1), "Only BMP files available.");
    EXPECT_EQ(w.Options().CoverKind, coverKind);
    answer = bitmap;
    w.Menus().actions.btnBitmap2->trigger();
    EXPECT_EQ(w.Options().CoverKind, 2);
    EXPECT_EQ(w.Flip_().LeftPageNo, 0);
}

TEST(CommonChoosers, ThePreviewBackgroundUsesTheChoosersWithOneMessageForANonBitmap)
{
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    const QString png = dir.filePath("tile.png"), bmp = dir.filePath("tile.bmp");
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::yellow);
    ASSERT_TRUE(tile.save(png) && tile.save(bmp, "BMP"));
    QString answer = png;
    ScriptedChoosers hooks([&](const QString &, const QString &) { return answer; },
                           [](QColor &colour) {
                               EXPECT_EQ(colour, QColor(0x56, 0x34, 0x12));   // opened at the current colour
                               colour = QColor(1, 2, 3);
                               return true;
                           });
    TPreviewPic_Fm preview;
    Settings settings;
    settings.PreviewBackColor = 0x123456;
    settings.PreviewBackKind = 1;
    QImage back;
    preview.SetBackground(&settings, &back, dir.path());

    preview.BackBitmap1->trigger();
    EXPECT_EQ(prompter.texts, QStringList({"Only BMP files available."}));
    EXPECT_EQ(settings.PreviewBackKind, 1);
    answer = bmp;
    preview.BackBitmap1->trigger();
    EXPECT_EQ(settings.PreviewBackKind, 2);
    EXPECT_EQ(back.size(), QSize(4, 4));

    preview.BackColor1->trigger();
    EXPECT_EQ(settings.PreviewBackColor, 0x030201u);
    EXPECT_EQ(settings.PreviewBackKind, 1);
}
