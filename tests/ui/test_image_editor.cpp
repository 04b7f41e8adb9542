// The image editor window driven headless: commands, undo, selections, live previews, saving and
// closing, with a scripted prompter and scripted dialogs.
#include "app/EditorCommands.h"
#include "editor/EditorCanvas.h"
#include "editor/OrvLead_Fm.h"
#include "editor/OrvSaveDlg.h"
#include "platform/imaging/Operations.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/ui/main_window_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::editor;
using pagero::test::WaitFor;

namespace {

class ImageEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        photo = dir.filePath("photo.png");
        picture = QImage(120, 80, QImage::Format_RGB32);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 120; ++x) picture.setPixel(x, y, qRgb(x * 2, y * 3, (x + y) % 256));
        ASSERT_TRUE(picture.save(photo));
        editor = std::make_unique<TLead_Fm>(dir.path());
        editor->resize(800, 600);
        editor->show();
    }
    void TearDown() override
    {
        prompter.answers = {PromptAnswer::No};
        editor.reset();
    }
    // Waits until a worker's result has been taken in.
    void Settle() { ASSERT_TRUE(WaitFor([this] { return !editor->Busy(); }, 30000)); }
    QImage Reread(const QString &path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

    QTemporaryDir dir;
    QString photo;
    QImage picture;
    test::ScriptedPrompter prompter;
    std::unique_ptr<TLead_Fm> editor;
};

TEST_F(ImageEditor, OneStepCommandUndoAndSaveToTheSameFile)
{
    ASSERT_TRUE(editor->LoadFile(photo));
    EXPECT_EQ(editor->windowTitle(), "Pagero Image Editor - photo.png");
    editor->Negative1->trigger();
    Settle();
    QImage inverted = picture;
    inverted.invertPixels();
    EXPECT_EQ(editor->Document().Main(), inverted);
    EXPECT_EQ(editor->Document().State(), Modified);
    EXPECT_EQ(editor->windowTitle(), "Pagero Image Editor - photo.png *");

    editor->Undo1->trigger();
    EXPECT_EQ(editor->Document().Main(), picture);
    EXPECT_EQ(editor->Document().State(), Clean);
    EXPECT_FALSE(editor->Undo1->isEnabled());   // one level only

    editor->VerticalFlip1->trigger();
    Settle();
    editor->Save1->trigger();
    Settle();
    EXPECT_EQ(Reread(photo), picture.mirrored(false, true));
    EXPECT_EQ(editor->Document().State(), Clean);
    EXPECT_FALSE(editor->Document().HasUndo());
}

TEST_F(ImageEditor, PreviewRulesOfTheSliderDialogs)
{
    ASSERT_TRUE(editor->LoadFile(photo));
    QImage shownAt20, shownAt0;
    bool callsAtNeutral = false;
    editor->RunDialog = [&](QDialog &d) {
        auto &dialog = dynamic_cast<TSliderDialog &>(d);
        QSignalSpy shown(editor.get(), &TLead_Fm::previewShown);
        dialog.Slider()->setValue(50);
        dialog.Slider()->setValue(20);
        EXPECT_TRUE(WaitFor([&] { return editor->PreviewShowing() && shown.count() >= 1; }));
        Settle();
        WaitFor([] { return false; }, 200);   // a later preview, if any, lands
        shownAt20 = editor->PreviewImage();
        shown.clear();
        dialog.Slider()->setValue(0);
        callsAtNeutral = shown.count() == 1;   // shown at once, no worker
        shownAt0 = editor->PreviewImage();
        dialog.Slider()->setValue(20);
        return true;
    };
    TBrightnessDlg brightness(*editor, editor.get());
    editor->RunAdjust(brightness);
    Settle();
    QImage once = picture;
    ASSERT_TRUE(imaging::ChangeIntensity(once, 200));
    EXPECT_EQ(shownAt20, once);   // two previews in a row give the picture of the last one
    EXPECT_TRUE(callsAtNeutral);
    EXPECT_EQ(shownAt0, picture);
    EXPECT_EQ(editor->Document().Main(), once);   // OK applies to the full picture
    EXPECT_FALSE(editor->PreviewShowing());
}

TEST_F(ImageEditor, FloatingSelectionChangesAloneAndCropsWithTheFillColour)
{
    ASSERT_TRUE(editor->LoadFile(photo));
    editor->SelectEllipse1->trigger();
    auto *canvas = editor->findChild<EditorCanvas *>();
    ASSERT_TRUE(canvas);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(canvas, QPoint(50, 40));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
    ASSERT_TRUE(editor->Document().Floating());
    const QImage floatingBefore = editor->Document().FloatingImage();

    // Cancel restores the floating image; OK changes it and nothing else.
    editor->RunDialog = [&](QDialog &d) { dynamic_cast<TSliderDialog &>(d).Slider()->setValue(60); Settle(); return false; };
    TContrastDlg cancelled(*editor, editor.get());
    editor->RunAdjust(cancelled);
    EXPECT_EQ(editor->Document().FloatingImage(), floatingBefore);
    editor->Negative1->trigger();
    Settle();
    EXPECT_EQ(editor->Document().Main(), picture);
    EXPECT_NE(editor->Document().FloatingImage(), floatingBefore);

    // Crop of an ellipse asks for the fill colour of the corners.
    editor->RunDialog = [](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), "Select Background Fill Color for Elliptical Region");
        dynamic_cast<TSelectColorDlg_Fm &>(d).Sliders()->SetColour(QColor(0, 0, 255));
        return true;
    };
    editor->Crop1->trigger();
    const QImage &cropped = editor->Document().Main();
    EXPECT_EQ(cropped.size(), floatingBefore.size());
    EXPECT_EQ(cropped.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(cropped.pixel(cropped.width() / 2, cropped.height() / 2),
              ~floatingBefore.pixel(cropped.width() / 2, cropped.height() / 2) | 0xFF000000u);
    editor->Undo1->trigger();
    EXPECT_EQ(editor->Document().Main(), picture);
}

TEST_F(ImageEditor, SaveAsOfANewImageAndTheIconRule)
{
    editor->RunDialog = [](QDialog &d) { return dynamic_cast<TNewImage_Fm *>(&d) != nullptr; };
    editor->New1->trigger();
    ASSERT_EQ(editor->Document().State(), NewImage);
    EXPECT_EQ(editor->Document().Main().size(), QSize(640, 480));

    editor->RunDialog = [&](QDialog &d) {
        auto &save = dynamic_cast<TSaveDlg &>(d);
        EXPECT_EQ(save.FileName->text(), ".jpg");
        save.FileType->setCurrentIndex(5);   // GIF
        EXPECT_EQ(save.BitsPerPixel(), 8);
        for (int disabled : {16, 24, 32}) EXPECT_FALSE(save.Bits->button(disabled)->isEnabled());
        save.Folder->setText(dir.path());
        save.FileName->setText("new.gif");
        return true;
    };
    editor->Save1->trigger();
    Settle();
    const QString gif = dir.filePath("new.gif");
    EXPECT_TRUE(QFile::exists(gif));
    EXPECT_EQ(editor->Document().State(), Clean);
    EXPECT_EQ(editor->Document().FileName(), gif);

    editor->RunDialog = [&](QDialog &d) {
        auto &save = dynamic_cast<TSaveDlg &>(d);
        save.FileType->setCurrentIndex(4);   // ICO
        return true;
    };
    editor->SaveAs1->trigger();
    EXPECT_EQ(prompter.texts.last(), gif + "\r\nCannot be saved as " + dir.filePath("new.ico") + ".");
    EXPECT_FALSE(QFile::exists(dir.filePath("new.ico")));
}

TEST_F(ImageEditor, FileChangedOnDiskIsNotOverwritten)
{
    ASSERT_TRUE(editor->LoadFile(photo));
    editor->Negative1->trigger();
    Settle();
    QImage other(10, 10, QImage::Format_RGB32);
    other.fill(Qt::red);
    ASSERT_TRUE(other.save(photo));
    editor->Save1->trigger();
    Settle();
    EXPECT_TRUE(prompter.texts.last().contains("changed on disk"));
    EXPECT_EQ(Reread(photo).size(), QSize(10, 10));
    EXPECT_EQ(editor->Document().State(), Modified);
}

TEST_F(ImageEditor, EscapeAbandonsARunningOperation)
{
    QImage big(3000, 2000, QImage::Format_RGB32);
    big.fill(Qt::gray);
    const QString path = dir.filePath("big.png");
    ASSERT_TRUE(big.save(path));
    ASSERT_TRUE(editor->LoadFile(path));
    editor->ApplyToTarget([](QImage &i, double) { return imaging::MedianFilter(i, 25); });
    ASSERT_TRUE(editor->Busy());
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Document().State(), Clean);
    EXPECT_FALSE(editor->Document().HasUndo());
    EXPECT_EQ(editor->Document().Main().pixel(0, 0), big.pixel(0, 0));
}

TEST_F(ImageEditor, ClosingAsksToPasteThenToSave)
{
    ASSERT_TRUE(editor->LoadFile(photo));
    editor->SelectRect1->trigger();
    auto *canvas = editor->findChild<EditorCanvas *>();
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseMove(canvas, QPoint(20, 20));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    ASSERT_TRUE(editor->Document().Floating());
    editor->Document().MoveFloating({30, 30});
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::Cancel};
    editor->close();
    EXPECT_TRUE(editor->isVisible());   // Cancel keeps it open
    ASSERT_GE(prompter.texts.size(), 2);
    EXPECT_EQ(prompter.texts[0], "Do you want to paste the floating image onto the background image?");
    EXPECT_EQ(prompter.texts[1], "Save changes to " + photo + "?");
    EXPECT_EQ(editor->Document().Main().pixel(31, 31), picture.pixel(1, 1));   // pasted at its new place

    prompter.answers = {PromptAnswer::No};
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Reread(photo), picture);   // not saved
    EXPECT_TRUE(QFile::exists(dir.filePath("~evEPa.~ev")));
}

TEST_F(ImageEditor, ZoomKeysAndGreyBackground)
{
    ASSERT_TRUE(editor->LoadFile(photo));
    editor->SetZoom({1, 3});
    QTest::keyClick(editor.get(), Qt::Key_Plus);
    EXPECT_EQ(editor->CurrentZoom(), (Zoom{1, 2}));
    QTest::keyClick(editor.get(), Qt::Key_Plus);
    QTest::keyClick(editor.get(), Qt::Key_Plus);
    EXPECT_EQ(editor->CurrentZoom(), (Zoom{2, 1}));
    auto *canvas = editor->findChild<EditorCanvas *>();
    EXPECT_EQ(canvas->size(), QSize(240, 160));
    editor->SetZoom({1, 1});
    canvas->resize(200, 100);   // more than the picture: the rest is grey
    const QImage shot = canvas->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(150, 50)), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(shot.pixel(10, 10), picture.pixel(10, 10));
}

} // namespace

namespace {

using EditorFromTheBook = pagero::test::MainWindowTest;

TEST_F(EditorFromTheBook, EditsAPageFileAndClosesBackToTheBook)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString file = album + "/pic1.png";
    EXPECT_FALSE(w.Editing().Edit(album + "/missing.wav"));
    ASSERT_TRUE(w.Editing().Edit(file));
    TLead_Fm *editor = w.Editing().Editor();
    // The window shows at once, busy, while the picture decodes on a worker.
    ASSERT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->Busy());
    EXPECT_FALSE(editor->Document().Loaded());
    ASSERT_TRUE(WaitFor([editor] { return !editor->Busy(); }));
    EXPECT_EQ(editor->windowTitle(), "Pagero Image Editor - pic1.png");
    editor->Negative1->trigger();
    ASSERT_TRUE(WaitFor([editor] { return !editor->Busy(); }));
    editor->close();   // the scripted answer saves
    ASSERT_TRUE(WaitFor([editor] { return !editor->isVisible(); }));
    EXPECT_EQ(QImage(file).pixel(0, 0), qRgb(0, 255, 255));
    EXPECT_TRUE(WaitOpen());
}

TEST_F(EditorFromTheBook, FileThatCannotBeLoadedIsToldAndTheEditorCloses)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const QString file = album + "/pic2.png";
    QFile broken(file);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    ASSERT_TRUE(w.Editing().Edit(file));
    TLead_Fm *editor = w.Editing().Editor();
    ASSERT_TRUE(WaitFor([editor] { return !editor->isVisible(); }));
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith("Error in loading file: " + file)) << prompter.texts[0].toStdString();
    EXPECT_TRUE(WaitOpen());
}

} // namespace
