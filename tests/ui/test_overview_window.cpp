// The overview window: thumbnails made for a real album and read back with independent readers,
// identical results with one or two decode threads, the progress window's close question, and the
// pixels and hit rectangles of drawn overview pages.
#include "core/common/MyLib.h"
#include "pages/OrvOverView_Ut.h"
#include "pages/OrvProgress.h"
#include "pages/ThumbnailSizes.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

#include "common/Fonts.h"
#include "common/OrvComAnimate.h"

using namespace pagero;

namespace {

QString RunTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool Convert(const QStringList &args)
{
    return QProcess::execute("/usr/bin/convert", args) == 0;
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Bits per pixel from the bitmap's own header (biBitCount at offset 28).
int BmpBitCount(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray h = f.read(30);
    if (h.size() < 30 || !h.startsWith("BM")) return -1;
    return uchar(h[28]) | (uchar(h[29]) << 8);
}

AlbumFiles FilesOf(const QString &folder)
{
    PageEntries entries;
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &n : names)
        entries.push_back({n, MediaKind(n), QFileInfo(folder + "/" + n).size(), FileAge(folder + "/" + n)});
    return AlbumFiles{folder, std::make_shared<const PageEntries>(std::move(entries))};
}

// Notes whether a window was shown, however briefly.
struct ShowSpy : QObject {
    bool shown = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        shown = shown || e->type() == QEvent::Show;
        return false;
    }
};

class OverviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        album = tmp.path() + "/Album";
        QDir().mkpath(album);
        cacheRoot = tmp.path() + "/Overview";
    }

    // A small album of every kind the generator meets.
    void MakeMixedAlbum()
    {
        ASSERT_TRUE(Convert({"-size", "1200x800", "gradient:red-blue", album + "/big.jpg"}));
        ASSERT_TRUE(Convert({"-size", "3000x20", "xc:green", album + "/wide.jpg"}));
        QImage tiny(10, 10, QImage::Format_RGB32);
        tiny.fill(QColor(255, 0, 0));
        ASSERT_TRUE(tiny.save(album + "/tiny.png"));
        WriteBytes(album + "/corrupt.jpg", QByteArray("\xFF\xD8\xFF\xE0 this is no picture", 24));
        WriteBytes(album + "/song.wav", QByteArray("RIFF\0\0\0\0WAVE", 12));
        WriteBytes(album + "/tune.mid", QByteArray("MThd", 4));
    }

    // Runs a build to its end; true when it was Built.
    bool Build(TOverView_Fm &ov, const QString &root)
    {
        ov.SetCacheRoot(root);
        ov.SetAlbum(FilesOf(album));
        std::optional<ThumbBuildResult> result;
        ov.BuildThumbnails([&](ThumbBuildResult r) { result = r; });
        QElapsedTimer clock;
        clock.start();
        while (!result && clock.elapsed() < 60000) QTest::qWait(2);
        return result == ThumbBuildResult::Built;
    }

    QTemporaryDir tmp;
    QString album, cacheRoot;
    test::ScriptedPrompter prompter;
};

const QColor kSilver(192, 192, 192);

int NonSilverPixels(const QImage &img, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixelColor(x, y) != kSilver;
    return n;
}

} // namespace

TEST(OverviewWindowLayout, LabelHeightComesFromTheBookFont)
{
    // 8 points at 96 dpi are 11 pixels of DejaVu Sans: ascent 10 + descent 3 = 13, plus 2.
    EXPECT_EQ(QFontMetrics(BookFont(8)).height(), 13);
    EXPECT_EQ(TOverView_Fm::CaptionLabelHeight(), 15);

    // The three sizes of the menu, each on a 300 x 400 page.
    TOverView_Fm ov;
    const struct { int w, h, cellW, cellH, perPage; } sizes[] = {
        {72, 70, 78, 93, 12}, {56, 55, 62, 78, 20}, {38, 36, 44, 59, 36}};
    for (int item = 0; item < 3; ++item) {
        const auto &s = sizes[item];
        EXPECT_EQ(kThumbnailSizeItems[item].width, s.w);
        EXPECT_EQ(kThumbnailSizeItems[item].height, s.h);
        EXPECT_EQ(CheckedThumbnailSizeItem(s.w), item);
        ov.SetThumbSize(s.w, s.h);
        ov.SetArea(QRect(0, 0, 300, 400));
        EXPECT_EQ(ov.Grid().CellWidth, s.cellW);
        EXPECT_EQ(ov.Grid().CellHeight, s.cellH);
        EXPECT_EQ(ov.Grid().PerPage, s.perPage);
        EXPECT_FALSE(ThumbnailSizeNeedsReopen(ov.ThumbWidth(), item));
        EXPECT_TRUE(ThumbnailSizeNeedsReopen(ov.ThumbWidth(), (item + 1) % 3));
    }
    EXPECT_STREQ(kThumbnailSizeItems[2].text, "&Small (38x 36)");
    EXPECT_EQ(CheckedThumbnailSizeItem(40), -1);
}

TEST_F(OverviewWindowTest, ThumbnailsAre16BitBitmapsFittedIntoTheBox)
{
    MakeMixedAlbum();
    TOverView_Fm ov;
    QList<int> albumProgress;
    ov.AlbumProgress = [&](int v) { albumProgress << v; };
    ASSERT_TRUE(Build(ov, cacheRoot));
    EXPECT_FALSE(ov.Generating());
    EXPECT_FALSE(ov.CacheWriteFailed());
    EXPECT_EQ(ov.Progress()->Gauge(), 100);
    // The build ends by naming every new bitmap in the index on disk.
    QFile index(ov.Cache().AlbumCacheDir() + "/~ovFiles.~ov");
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(ThumbnailCache::SplitLines(index.readAll()).size(), 24);
    ASSERT_FALSE(albumProgress.isEmpty());
    EXPECT_EQ(albumProgress.first(), 40);
    EXPECT_EQ(albumProgress.last(), 50);

    // Album order (by name): big, corrupt, song, tiny, tune, wide.
    const struct { int index; QString name; QString size; } expected[] = {
        {0, "big-jpg.bmp", "72 48"},   // 1200 x 800: proportions kept
        {1, "corrupt-jpg.bmp", "72 70"},
        {2, "song-wav.bmp", ""},       // the built-in wave picture, never larger than the box
        {3, "tiny-png.bmp", "10 10"},  // never enlarged
        {4, "tune-mid.bmp", ""},
        {5, "wide-jpg.bmp", "72 1"},   // 3000 x 20: 72 x 0.48, each side at least 1
    };
    for (const auto &e : expected) {
        const QString path = ov.ThumbnailPath(e.index);
        EXPECT_EQ(QFileInfo(path).fileName(), e.name);
        ASSERT_TRUE(QFileInfo::exists(path)) << qPrintable(path);
        EXPECT_EQ(BmpBitCount(path), 16) << qPrintable(e.name);
        // libmagic reads the header independently ("... 72 x 48 x 16").
        const QString described = RunTool("/usr/bin/file", {path});
        EXPECT_TRUE(described.contains(" x 16,")) << qPrintable(described);
        const QString wh = RunTool("/usr/bin/identify", {"-format", "%m %w %h", path});
        if (!e.size.isEmpty()) {
            EXPECT_TRUE(wh.startsWith("BMP")) << qPrintable(wh);
            EXPECT_EQ(wh.section(' ', 1), e.size) << qPrintable(e.name);
        } else {
            const QStringList parts = wh.split(' ');
            ASSERT_EQ(parts.size(), 3);
            EXPECT_TRUE(parts[0].startsWith("BMP"));
            EXPECT_LE(parts[1].toInt(), 72);
            EXPECT_LE(parts[2].toInt(), 70);
        }
    }

    // The undecodable file: grey with black "Data Error!" text from row 20 on.
    QImage error(ov.ThumbnailPath(1));
    ASSERT_FALSE(error.isNull());
    EXPECT_EQ(error.pixelColor(1, 1), QColor(128, 128, 128));
    int dark = 0;
    for (int y = 20; y < 34; ++y)
        for (int x = 5; x < 70; ++x) dark += qGray(error.pixel(x, y)) < 40;
    EXPECT_GT(dark, 20);
    // Red survives the 5-6-5 bits (Qt reads the 5 bits of 31 back as 248).
    const QColor red = QImage(ov.ThumbnailPath(3)).pixelColor(5, 5);
    EXPECT_GE(red.red(), 248);
    EXPECT_EQ(red.green() + red.blue(), 0);
}

TEST_F(OverviewWindowTest, TwoDecodeThreadsGiveTheSameCacheAsOne)
{
    MakeMixedAlbum();
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(Convert({"-size", QString("%1x%2").arg(400 + 97 * i).arg(300 + 41 * i), "plasma:fractal", "-seed",
                             QString::number(i), album + QString("/p%1.jpg").arg(i)}));
    TOverView_Fm one, two;
    one.SetDecodeThreads(1);
    two.SetDecodeThreads(2);
    ASSERT_TRUE(Build(one, tmp.path() + "/one"));
    ASSERT_TRUE(Build(two, tmp.path() + "/two"));
    const QStringList files = QDir(one.Cache().AlbumCacheDir()).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 15);
    EXPECT_EQ(files, QDir(two.Cache().AlbumCacheDir()).entryList(QDir::Files));
    for (const QString &f : files) {
        QFile a(one.Cache().AlbumCacheDir() + "/" + f), b(two.Cache().AlbumCacheDir() + "/" + f);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll()) << qPrintable(f);
    }
}

TEST_F(OverviewWindowTest, TouchingOneFileRemakesOnlyItsThumbnailAndDropMakesItAgain)
{
    MakeMixedAlbum();
    TOverView_Fm ov;
    ASSERT_TRUE(Build(ov, cacheRoot));
    // Mark every bitmap, so a remade one is told apart by its content.
    QStringList paths;
    for (int i = 0; i < 6; ++i) {
        paths << ov.ThumbnailPath(i);
        QFile f(paths.last());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("MARK");
    }
    auto marked = [&](int i) {
        QFile f(paths[i]);
        return f.open(QIODevice::ReadOnly) && f.readAll().endsWith("MARK");
    };

    QFile touched(album + "/tiny.png");
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime));
    touched.close();
    ASSERT_TRUE(Build(ov, cacheRoot));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(marked(i), i != 3) << i;

    ov.DropThumbnail(album + "/big.jpg");
    EXPECT_FALSE(QFileInfo::exists(paths[0]));
    ASSERT_TRUE(Build(ov, cacheRoot));
    EXPECT_TRUE(QFileInfo::exists(paths[0]));
    EXPECT_FALSE(marked(0));
    EXPECT_TRUE(marked(5));
}

TEST_F(OverviewWindowTest, EmptyOverviewCacheAsksFirst)
{
    MakeMixedAlbum();
    TOverView_Fm ov;
    ASSERT_TRUE(Build(ov, cacheRoot));
    prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
    bool emptied = false;
    EXPECT_FALSE(ov.EmptyOverviewCache([&] { emptied = true; }));
    EXPECT_TRUE(QFileInfo::exists(cacheRoot + "/~ovFolders.~ov"));
    EXPECT_TRUE(ov.EmptyOverviewCache([&] { emptied = true; }));
    EXPECT_TRUE(ComAnimate().isVisible());   // while the tree goes
    EXPECT_EQ(ComAnimate().windowTitle(), "Delete...");
    QElapsedTimer clock;
    clock.start();
    while (!emptied && clock.elapsed() < 10000) QTest::qWait(2);   // the tree goes on a worker thread
    EXPECT_TRUE(emptied);
    EXPECT_FALSE(QFileInfo::exists(cacheRoot));
    EXPECT_TRUE(ov.ShowThumbWindow);
    ASSERT_EQ(prompter.texts.size(), 2);
    EXPECT_EQ(prompter.texts[0], "This will clear the cache containing the\r\noverview thumbnails of all opened books!");
    EXPECT_EQ(prompter.kinds[0], PromptKind::Confirmation);

    // The album opens again with every thumbnail made anew, the progress window shown meanwhile.
    ShowSpy shown;
    ov.Progress()->installEventFilter(&shown);
    ASSERT_TRUE(Build(ov, cacheRoot));
    EXPECT_TRUE(shown.shown);
    EXPECT_FALSE(ov.ShowThumbWindow);
    EXPECT_FALSE(ov.Progress()->isVisible());
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(QFileInfo::exists(ov.ThumbnailPath(i)));
}

TEST_F(OverviewWindowTest, ClosingTheProgressWindowAsksAndYesEndsTheBuild)
{
    // Pictures large enough, decoded on one thread, that the closes arrive while the build runs.
    for (int i = 0; i < 12; ++i) {
        QImage img(1600, 1200, QImage::Format_RGB32);
        img.fill(QColor(20 * i, 100, 200));
        ASSERT_TRUE(img.save(album + QString("/%1.png").arg(i, 2, 10, QChar('0'))));
    }
    TOverView_Fm ov;
    ov.SetDecodeThreads(1);
    ov.ShowThumbWindow = true;
    QSignalSpy exitSpy(&ov, &TOverView_Fm::ExitRequested);
    TProgress_Fm *win = ov.Progress();
    auto userClose = [win] {
        QCloseEvent ev;
        QSpontaneKeyEvent::setSpontaneous(&ev);   // as the window system's close arrives
        qApp->notify(win, &ev);
    };
    prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
    int closesSent = 0;
    bool visibleAfterCodeClose = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (!win->isVisible()) return;
        // The user's closes come once a thumbnail was made and shown.
        if (closesSent >= 1 && win->PreviewRect().left() <= 10) return;
        ++closesSent;
        if (closesSent == 1) {
            win->close();                       // from code: refused, no question
            visibleAfterCodeClose = win->isVisible();
        } else if (closesSent <= 3) {
            userClose();                        // 2nd: No goes on, 3rd: Yes ends
        }
    });
    driver.start(0);
    EXPECT_FALSE(Build(ov, cacheRoot));
    driver.stop();

    EXPECT_TRUE(visibleAfterCodeClose);
    ASSERT_EQ(prompter.texts.size(), 2);
    EXPECT_EQ(prompter.texts[0], "The thumbnails generating is not completed.\n\rExit the Pagero now?");
    EXPECT_EQ(prompter.kinds[1], PromptKind::Confirmation);
    EXPECT_EQ(exitSpy.count(), 1);
    EXPECT_FALSE(win->isVisible());
    EXPECT_FALSE(ov.Generating());
    int made = 0;
    for (int i = 0; i < 12; ++i) made += QFileInfo::exists(ov.ThumbnailPath(i));
    EXPECT_GE(made, 1);
    EXPECT_LT(made, 12);

    // The preview slid along the window and is framed in blue; "Please wait..." is written.
    const QRect preview = win->PreviewRect();
    EXPECT_GT(preview.left(), 10);
    EXPECT_EQ(win->Surface().pixelColor(preview.left() - 1, preview.top() - 1), QColor(0, 0, 255));
    int dark = 0;
    for (int y = 74; y < 92; ++y)
        for (int x = 10; x < 90; ++x) dark += qGray(win->Surface().pixel(x, y)) < 60;
    EXPECT_GT(dark, 20);
    EXPECT_EQ(win->windowTitle(), "Creating Thumbnails for Overview...");
    EXPECT_EQ(win->size(), QSize(282, 112));
}

TEST_F(OverviewWindowTest, DrawnPagesShowCaptionsFramesAndTheSelection)
{
    // tiny.png (red 10 x 10) is file 1 and selected; missing.png has no bitmap; wide.png is file 3.
    QImage tiny(10, 10, QImage::Format_RGB32);
    tiny.fill(QColor(255, 0, 0));
    ASSERT_TRUE(tiny.save(album + "/a_tiny.png"));
    ASSERT_TRUE(tiny.save(album + "/b_missing.png"));
    QImage wide(720, 350, QImage::Format_RGB32);
    wide.fill(QColor(0, 128, 0));
    ASSERT_TRUE(wide.save(album + "/c_wide.png"));
    for (int i = 0; i < 12; ++i) ASSERT_TRUE(tiny.save(album + QString("/d%1.png").arg(i, 2, 10, QChar('0'))));

    TOverView_Fm ov;
    ASSERT_TRUE(Build(ov, cacheRoot));
    QFile::remove(ov.ThumbnailPath(1));
    const QStringList selection = {(album + "/A_TINY.PNG").toUpper()};
    ov.SetSelection(&selection);

    QImage page(400, 500, QImage::Format_RGB32);
    page.fill(QColor(250, 250, 240));
    const QRect content(40, 50, 300, 400);
    {
        QPainter p(&page);
        ov.DrawPage(p, content, 1);
    }
    EXPECT_EQ(ov.OverviewPageCount(), 2);
    const int lh = 15;
    // Heading strip above the content: white, with dark text.
    EXPECT_EQ(page.pixelColor(40 + 299, 50 - 1), QColor(255, 255, 255));
    EXPECT_EQ(page.pixelColor(40, 50 - lh), QColor(255, 255, 255));
    EXPECT_EQ(page.pixelColor(39, 50 - 1), QColor(250, 250, 240));

    // File 1 at (43, 54): selected, blue caption strip, black cell frame, 10 x 10 picture centred
    // (dx 31, dy 30) in a grey frame inside a red one.
    const int x = 43, y = 54;
    EXPECT_EQ(page.pixelColor(x + 1, y + lh - 1), QColor(0, 0, 255));
    EXPECT_EQ(page.pixelColor(x, y), QColor(0, 0, 0));
    EXPECT_EQ(page.pixelColor(x + 72, y + lh + 70 + 1), QColor(0, 0, 0));
    EXPECT_EQ(page.pixelColor(x + 73, y), QColor(250, 250, 240));
    EXPECT_EQ(page.pixelColor(x + 1, y + lh + 1), QColor(192, 192, 192));
    EXPECT_EQ(page.pixelColor(x + 31, y + lh + 30), QColor(128, 128, 128));
    EXPECT_EQ(page.pixelColor(x + 41, y + lh + 40), QColor(128, 128, 128));
    EXPECT_EQ(page.pixelColor(x + 32, y + lh + 31), QColor(255, 0, 0));
    EXPECT_GE(page.pixelColor(x + 35, y + lh + 35).red(), 248);   // the red picture itself
    EXPECT_EQ(page.pixelColor(x + 35, y + lh + 35).green(), 0);
    int white = 0;
    for (int cx = x + 1; cx < x + 72; ++cx)
        for (int cy = y + 1; cy < y + lh; ++cy) white += page.pixelColor(cx, cy) == QColor(255, 255, 255);
    EXPECT_GT(white, 10);   // the caption in white on blue

    // File 2 (no bitmap): the silver fill covers the caption; the grey frame spans the cell.
    const int x2 = x + 78;
    EXPECT_EQ(page.pixelColor(x2 + 1, y + 5), QColor(192, 192, 192));
    EXPECT_EQ(page.pixelColor(x2, y + lh + 20), QColor(0, 0, 0));
    EXPECT_EQ(page.pixelColor(x2 + 10, y + lh + 70), QColor(128, 128, 128));

    // File 3: unselected white caption strip; 720 x 350 cached at 72 x 35, centred (dy 17).
    const int x3 = x + 2 * 78;
    EXPECT_EQ(page.pixelColor(x3 + 1, y + lh - 1), QColor(255, 255, 255));
    EXPECT_EQ(page.pixelColor(x3 + 5, y + lh + 17), QColor(128, 128, 128));
    EXPECT_EQ(page.pixelColor(x3 + 5, y + lh + 16), QColor(192, 192, 192));
    const QColor green = page.pixelColor(x3 + 36, y + lh + 35);
    EXPECT_LT(green.red(), 20);
    EXPECT_GT(green.green(), 100);

    // Page 2 holds files 13 to 15 only; a small size shrinks the cached bitmaps by 38/72, 36/70.
    ov.SetThumbSize(38, 36);
    QImage small(400, 500, QImage::Format_RGB32);
    small.fill(QColor(250, 250, 240));
    {
        QPainter p(&small);
        ov.DrawPage(p, content, 1);
    }
    EXPECT_EQ(ov.OverviewPageCount(), 1);
    // File 1 at (43, 54): 10 x 10 -> 5 x 5 (Round(3.8..), dx 16, dy 15).
    EXPECT_EQ(small.pixelColor(x + 16, y + lh + 15), QColor(128, 128, 128));
    EXPECT_EQ(small.pixelColor(x + 21, y + lh + 20), QColor(128, 128, 128));
    EXPECT_EQ(small.pixelColor(x + 38, y + lh + 36 + 1), QColor(0, 0, 0));
}

TEST_F(OverviewWindowTest, HitTestReportsEntriesPartsAndRectangles)
{
    QImage tiny(10, 10, QImage::Format_RGB32);
    tiny.fill(Qt::red);
    for (int i = 0; i < 14; ++i) ASSERT_TRUE(tiny.save(album + QString("/%1.png").arg(i, 2, 10, QChar('0'))));
    TOverView_Fm ov;
    ov.SetAlbum(FilesOf(album));
    const QRect content(40, 50, 300, 400);
    QRect hot;
    int sub = 0;
    EXPECT_EQ(ov.HitTest(content, 1, QPoint(50, 60), &hot, &sub), 1);
    EXPECT_EQ(sub, 1);
    EXPECT_EQ(hot, QRect(QPoint(44, 54), QPoint(116, 69)));
    EXPECT_EQ(ov.HitTest(content, 1, QPoint(50 + 78, 54 + 93 + 40), &hot, &sub), 5);
    EXPECT_EQ(sub, 2);
    EXPECT_EQ(hot, QRect(QPoint(44 + 78, 54 + 93 + 16), QPoint(44 + 78 + 72, 54 + 93 + 16 + 71)));
    EXPECT_EQ(ov.HitTest(content, 2, QPoint(50 + 78, 60), &hot, &sub), 14);
    EXPECT_EQ(ov.HitTest(content, 2, QPoint(50 + 2 * 78, 60), &hot, &sub), 0);   // only 14 files
    EXPECT_EQ(ov.HitTest(content, 1, QPoint(43 + 73, 60), &hot, &sub), 0);       // gap
    // Medium size: 4 columns of 62.
    ov.SetThumbSize(56, 55);
    EXPECT_EQ(ov.HitTest(content, 1, QPoint(43 + 3 * 62 + 2, 60), &hot, &sub), 4);
    EXPECT_EQ(hot.width(), 57);
}

// A second build (emptying the cache, a thumbnail size change) used to start over the last preview
// of the first one, which then stood at the far end of the window while the new previews slid in.
TEST(ThumbnailProgressWindow, EachBuildStartsOnAPlainWindow)
{
    TProgress_Fm win;
    QImage thumb(60, 50, QImage::Format_RGB32);
    thumb.fill(QColor(200, 30, 30));

    win.BeginPreviews(72, 70);
    win.ShowPreview(thumb, 9, 10);   // the last item: the preview sits at the right end
    const QRect lastOfFirstBuild = win.PreviewRect().adjusted(-1, -1, 1, 1);
    ASSERT_GT(NonSilverPixels(win.Surface(), lastOfFirstBuild), 0);

    win.BeginPreviews(72, 70);
    EXPECT_EQ(NonSilverPixels(win.Surface(), QRect(0, 0, TProgress_Fm::kClientWidth, 80)), 0);
    win.ShowPreview(thumb, 0, 10);
    EXPECT_EQ(NonSilverPixels(win.Surface(), lastOfFirstBuild), 0);
    EXPECT_GT(NonSilverPixels(win.Surface(), win.PreviewRect()), 0);
}

TEST_F(OverviewWindowTest, TheEventLoopKeepsItsPaceWhileThumbnailsAreMade)
{
    for (int i = 0; i < 300; ++i) {
        QImage img(160, 120, QImage::Format_RGB32);
        img.fill(QColor(i % 256, 80, 160));
        ASSERT_TRUE(img.save(album + QString("/%1.png").arg(i, 3, 10, QChar('0'))));
    }
    TOverView_Fm ov;
    ov.ShowThumbWindow = true;
    // A 60 fps timer beside the build: no gap between its ticks may exceed 50 ms.
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    int ticks = 0;
    QTimer frame;
    frame.setTimerType(Qt::PreciseTimer);
    frame.setInterval(16);
    QObject::connect(&frame, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = qMax(worst, now - last);
        last = now;
        ++ticks;
    });
    // Timed from the first decode on: the cache check before it writes the two index files.
    std::optional<ThumbBuildResult> result;
    ov.SetCacheRoot(cacheRoot);
    ov.SetAlbum(FilesOf(album));
    ov.BuildThumbnails([&](ThumbBuildResult r) { result = r; });
    clock.start();
    frame.start();
    while (!result && clock.elapsed() < 60000) QTest::qWait(2);
    frame.stop();
    ASSERT_EQ(result, ThumbBuildResult::Built);
    worst = qMax(worst, clock.elapsed() - last);
    EXPECT_GE(ticks, 3);
    EXPECT_LE(worst, 50) << ticks << " ticks";
    for (int i = 0; i < 300; i += 37) EXPECT_TRUE(QFileInfo::exists(ov.ThumbnailPath(i)));
}
