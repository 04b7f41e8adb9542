// The file information box (exact texts for a JPEG and a PNG, the two failure messages) and the
// full-screen preview (closing by click and keys, error text, fit mode, background, menu commands).
#include "core/book/Settings.h"
#include "pages/OrvImgInfoBox.h"
#include "pages/OrvPreviewPic.h"
#include "support/ScriptedPrompter.h"
#include <QAbstractScrollArea>
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWheelEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

QString MakePicture(const QTemporaryDir &dir, const QString &name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

QWidget *Viewport(TPreviewPic_Fm &preview)
{
    return preview.findChild<QAbstractScrollArea *>()->viewport();
}

} // namespace

TEST(InfoBox, SizeTexts)
{
    EXPECT_EQ(InfoSizeText(0), "0");
    EXPECT_EQ(InfoSizeText(1024), "1024");
    EXPECT_EQ(InfoSizeText(1025), "1.0 KB");
    EXPECT_EQ(InfoSizeText(1536), "1.5 KB");
    EXPECT_EQ(InfoSizeText(5 * 1048576), "5120.0 KB");
}

TEST(InfoBox, ShowsTheHeaderOfAJpegAndAPng)
{
    QTemporaryDir dir;
    const QString jpeg = MakePicture(dir, "beach.jpg", QSize(64, 48), Qt::red);
    const QString png = MakePicture(dir, "shell.png", QSize(30, 20), Qt::blue);

    TInfoBox box;
    EXPECT_EQ(box.windowTitle(), "    Image File Information");
    QStringList captions;
    for (const QLabel *l : box.findChildren<QLabel *>())
        if (l->objectName().isEmpty()) captions << l->text();
    for (const char *c : {"File Name:", "Image Format:", "Width:", "Height:", "Bits Per Pixel:", "Size on Disk:",
                          "Size in Mem:", "Compression:", "File Date:"})
        EXPECT_TRUE(captions.contains(c)) << c;
    EXPECT_EQ(box.OKBtn->text(), "&OK");

    test::ScriptedPrompter prompter;
    bool checked = false;
    QTimer::singleShot(0, &box, [&] {
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(box.FName->text(), "beach.jpg");
        EXPECT_EQ(box.FFormat->text(), "JPEG");
        EXPECT_EQ(box.FWidth->text(), "64");
        EXPECT_EQ(box.FHeight->text(), "48");
        EXPECT_EQ(box.FBits->text(), "24");
        EXPECT_EQ(box.FDisk->text(), InfoSizeText(QFileInfo(jpeg).size()));
        EXPECT_EQ(box.FMem->text(), "9.0 KB");   // 192 bytes a row, 48 rows
        EXPECT_EQ(box.FComp->text(), "JPEG");
        EXPECT_EQ(box.FAge->text(),
                  QLocale::system().toString(QFileInfo(jpeg).lastModified(), QLocale::ShortFormat));
        checked = true;
        QTest::mouseClick(box.OKBtn, Qt::LeftButton);
    });
    EXPECT_TRUE(ShowFileInfo(box, jpeg));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(box.isVisible());

    checked = false;
    QTimer::singleShot(0, &box, [&] {
        EXPECT_EQ(box.FName->text(), "shell.png");
        EXPECT_EQ(box.FFormat->text(), "CompuServe PNG");
        EXPECT_EQ(box.FWidth->text(), "30");
        EXPECT_EQ(box.FHeight->text(), "20");
        EXPECT_EQ(box.FBits->text(), "24");
        EXPECT_EQ(box.FMem->text(), "1.8 KB");   // 92 bytes a row, 20 rows: 1840
        EXPECT_EQ(box.FComp->text(), "Zip");
        checked = true;
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    EXPECT_TRUE(ShowFileInfo(box, png));
    EXPECT_TRUE(checked);
    EXPECT_TRUE(prompter.texts.isEmpty());
}

TEST(InfoBox, FailuresBeepAndSayWhy)
{
    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    TInfoBox box;
    int beeps = 0;
    const auto beep = [&] { ++beeps; };

    EXPECT_FALSE(ShowFileInfo(box, dir.filePath("missing.jpg"), beep));
    QFile bad(dir.filePath("notes.xyz"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("these are words, not a picture of any kind\n");
    bad.close();
    EXPECT_FALSE(ShowFileInfo(box, bad.fileName(), beep));
    QFile broken(dir.filePath("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(20, '\0'));
    broken.close();
    EXPECT_FALSE(ShowFileInfo(box, broken.fileName(), beep));

    EXPECT_EQ(beeps, 3);
    ASSERT_EQ(prompter.texts.size(), 3);
    EXPECT_EQ(prompter.texts[0], "Error in getting image file info.");
    EXPECT_EQ(prompter.texts[1], "Unknown image file format.");
    EXPECT_EQ(prompter.texts[2], "Error in getting image file info.");
    for (PromptKind k : prompter.kinds) EXPECT_EQ(k, PromptKind::Error);
}

TEST(Preview, ClosesOnClickEscapeAndSpace)
{
    QTemporaryDir dir;
    const QString path = MakePicture(dir, "a.jpg", QSize(40, 30), Qt::green);
    TPreviewPic_Fm preview;
    Settings settings;
    QImage back;
    preview.SetBackground(&settings, &back, dir.path());

    preview.Prepare(path);
    EXPECT_TRUE(preview.Loaded());
    EXPECT_EQ(preview.Mode(), TPreviewPic_Fm::ModeNormal);
    EXPECT_EQ(preview.Path(), path);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    QTest::mouseClick(Viewport(preview), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FALSE(preview.isVisible());

    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Escape}) {
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
        QTest::keyClick(&preview, Qt::Key_A);   // other keys leave it open
        EXPECT_TRUE(preview.isVisible());
        QTest::keyClick(&preview, key);
        EXPECT_FALSE(preview.isVisible());
    }

    // ShowPreview runs modally until the click.
    QTimer::singleShot(0, &preview, [&] { QTest::mouseClick(Viewport(preview), Qt::LeftButton, {}, QPoint(5, 5)); });
    preview.ShowPreview(path);
    EXPECT_FALSE(preview.isVisible());
}

TEST(Preview, PaintsBackgroundPictureAndErrorText)
{
    QTemporaryDir dir;
    TPreviewPic_Fm preview;
    Settings settings;
    QImage back;
    preview.SetBackground(&settings, &back, dir.path());
    QImage frame(400, 300, QImage::Format_RGB32);

    preview.Prepare(dir.filePath("missing.jpg"));
    EXPECT_FALSE(preview.Loaded());
    {
        QPainter p(&frame);
        preview.PaintPreview(p, frame.size(), QPoint());
    }
    EXPECT_EQ(frame.pixel(2, 2), qRgb(128, 128, 128));
    int ink = 0;
    for (int x = 100; x < 300; ++x) ink += qGray(frame.pixel(x, 150)) < 60 ? 1 : 0;
    for (int x = 100; x < 300; ++x) ink += qGray(frame.pixel(x, 146)) < 60 ? 1 : 0;
    EXPECT_GT(ink, 5);   // "Error Loading Image!" across the middle
    EXPECT_EQ(frame.pixel(5, 150), qRgb(128, 128, 128));

    // A smaller picture at its own size, centred (scrolling does not move it); fitted into the
    // client less 2 and 3 pixels.
    const QString wide = MakePicture(dir, "wide.png", QSize(100, 50), Qt::red);
    preview.Prepare(wide);
    {
        QPainter p(&frame);
        preview.PaintPreview(p, frame.size(), QPoint(10, 0));
    }
    EXPECT_EQ(frame.pixel(150, 125), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(249, 174), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(149, 125), qRgb(128, 128, 128));
    EXPECT_EQ(frame.pixel(250, 174), qRgb(128, 128, 128));
    preview.SetMode(TPreviewPic_Fm::ModeFit);
    {
        QPainter p(&frame);
        preview.PaintPreview(p, frame.size(), QPoint());
    }
    EXPECT_EQ(frame.pixel(2, 150), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(397, 150), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(1, 150), qRgb(128, 128, 128));
    EXPECT_EQ(frame.pixel(200, 20), qRgb(128, 128, 128));   // above the fitted 396 x 198

    // A tiled bitmap background.
    back = QImage(8, 8, QImage::Format_RGB32);
    back.fill(qRgb(0, 0, 200));
    settings.PreviewBackKind = 2;
    {
        QPainter p(&frame);
        preview.PaintPreview(p, frame.size(), QPoint());
    }
    EXPECT_EQ(frame.pixel(200, 20), qRgb(0, 0, 200));
}

TEST(Preview, OpensLargePicturesFittedAndZoomsAndPans)
{
    QTemporaryDir dir;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QImage big(screen.width() * 2, screen.height() * 2, QImage::Format_RGB32);
    big.fill(Qt::blue);
    QPainter(&big).fillRect(0, 0, 20, 20, Qt::red);   // a mark at the top-left corner
    const QString path = dir.filePath("big.png");
    ASSERT_TRUE(big.save(path));
    TPreviewPic_Fm preview;
    Settings settings;
    QImage back;
    preview.SetBackground(&settings, &back, dir.path());
    preview.Prepare(path);
    EXPECT_EQ(preview.Mode(), TPreviewPic_Fm::ModeFit);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    QWidget *view = Viewport(preview);
    const QSize client = view->size();
    const double fitted = preview.Scale(client);
    EXPECT_LT(fitted, 0.6);

    // "+" zooms about the centre, "-" back, never below the fitted size.
    QTest::keyClick(&preview, Qt::Key_Plus);
    EXPECT_EQ(preview.Mode(), TPreviewPic_Fm::ModeZoom);
    EXPECT_NEAR(preview.Scale(client), fitted * 1.25, 1e-9);
    QTest::keyClick(&preview, Qt::Key_Minus);
    QTest::keyClick(&preview, Qt::Key_Minus);
    EXPECT_NEAR(preview.Scale(client), fitted, 1e-9);

    // Two wheel notches at the top-left corner zoom in keeping that corner in place.
    const QPoint corner(3, 3);
    QWheelEvent wheel(corner, view->mapToGlobal(corner), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    EXPECT_NEAR(preview.Scale(client), fitted * 1.25 * 1.25, 1e-9);
    QImage shot = view->grab().toImage();
    EXPECT_EQ(shot.pixel(3, 3), qRgb(255, 0, 0));

    // Dragging pans without closing; a click still closes.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(view, QPoint(150, 150));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_TRUE(preview.isVisible());
    shot = view->grab().toImage();
    EXPECT_NE(shot.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(3 + 60, 3 + 60), qRgb(0, 0, 255));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FALSE(preview.isVisible());
}

TEST(Preview, MenuCommands)
{
    QTemporaryDir dir;
    const QString path = MakePicture(dir, "m.jpg", QSize(20, 20), Qt::white);
    test::ScriptedPrompter prompter;
    TPreviewPic_Fm preview;
    Settings settings;
    settings.PreviewBackColor = 0x123456;
    QImage back;
    preview.SetBackground(&settings, &back, dir.path());

    QStringList texts;
    for (const QAction *a : {preview.PreviewNormal1, preview.PreviewFit1, preview.Information1, preview.Edit1,
                             preview.SaveAs1, preview.CopyTo1, preview.MoveTo1, preview.Rename1, preview.Delete1,
                             preview.Print1, preview.BackDefault1, preview.BackColor1, preview.BackBitmap1})
        texts << a->text();
    EXPECT_EQ(texts, QStringList({"Pre&view (Normal)", "Preview ( &Fit to Screen )", "&Information", "&Edit...",
                                  "&Save as...", "&Copy to...", "&Move to...", "&Rename...", "&Delete...",
                                  "&Print...", "&Default", "&Color...", "&Bitmap..."}));

    // A file command closes the preview first, then runs for the file.
    QString edited;
    bool openWhenRun = true;
    preview.EditFile = [&](const QString &p) { edited = p; openWhenRun = preview.isVisible(); };
    QTimer::singleShot(0, &preview, [&] { preview.Edit1->trigger(); });
    preview.ShowPreview(path);
    EXPECT_EQ(edited, path);
    EXPECT_FALSE(openWhenRun);

    preview.Prepare(path);
    preview.PreviewFit1->trigger();
    EXPECT_EQ(preview.Mode(), TPreviewPic_Fm::ModeFit);
    preview.PreviewNormal1->trigger();
    EXPECT_EQ(preview.Mode(), TPreviewPic_Fm::ModeNormal);

    preview.BackDefault1->trigger();
    EXPECT_EQ(settings.PreviewBackColor, 0x808080u);
    EXPECT_EQ(settings.PreviewBackKind, 1);

    preview.PickColor = [](QColor &c) { c = QColor(1, 2, 3); return true; };
    preview.BackColor1->trigger();
    EXPECT_EQ(settings.PreviewBackColor, 0x030201u);   // red in the low byte

    QString askedTitle, askedFolder;
    QString answer = MakePicture(dir, "tile.png", QSize(4, 4), Qt::yellow);
    preview.PickBitmapFile = [&](const QString &title, const QString &folder) {
        askedTitle = title;
        askedFolder = folder;
        return answer;
    };
    preview.BackBitmap1->trigger();
    EXPECT_EQ(askedTitle, "Select Preview Background Fill Bitmap");
    EXPECT_EQ(askedFolder, dir.filePath("BitPattern"));
    ASSERT_EQ(prompter.texts, QStringList({"Only BMP files available."}));
    EXPECT_EQ(settings.PreviewBackKind, 1);

    answer = MakePicture(dir, "tile.BMP", QSize(4, 4), Qt::yellow);
    preview.BackBitmap1->trigger();
    EXPECT_EQ(settings.PreviewBackKind, 2);
    EXPECT_EQ(back.size(), QSize(4, 4));
}

TEST(InfoBox, MenuCommandSendsMediaFilesElsewhere)
{
    QTemporaryDir dir;
    test::ScriptedPrompter prompter;
    TInfoBox box;
    QStringList media;
    const auto showMedia = [&](const QString &p) { media << p; };
    for (const char *name : {"a.wav", "b.MID", "c.avi"}) btnInfo1Click(box, dir.filePath(name), showMedia);
    EXPECT_EQ(media.size(), 3);
    EXPECT_TRUE(prompter.texts.isEmpty());
    btnInfo1Click(box, dir.filePath("gone.pcx"), showMedia);
    EXPECT_EQ(media.size(), 3);
    EXPECT_EQ(prompter.texts, QStringList({"Error in getting image file info."}));
}
