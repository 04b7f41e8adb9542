// The image editor's text, print and scanner commands, driven headless: the Add Text dialog's
// placement and its floating result, printing a changed picture through a temporary file, and
// scanning through SANE's "test" backend (found, cancelled, missing).
#include "editor/AddTextDialog.h"
#include "editor/OrvLead_Fm.h"
#include "editor/ScanRun.h"
#include "tests/support/SaneTestBackend.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/ui/main_window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::editor;
using pagero::test::SaneTestBackend;
using pagero::test::WaitFor;

namespace {

class EditorIntake : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        photo = dir.filePath("photo.png");
        picture = QImage(120, 80, QImage::Format_RGB32);
        picture.fill(qRgb(10, 200, 30));
        ASSERT_TRUE(picture.save(photo));
        editor = std::make_unique<TLead_Fm>(dir.path());
        editor->resize(800, 600);
        editor->show();
        ASSERT_TRUE(editor->LoadFile(photo));
    }
    void TearDown() override
    {
        prompter.answers = {PromptAnswer::No};
        editor.reset();
    }
    bool Scanned()
    {
        std::optional<bool> acquired;
        editor->Acquire([&acquired](bool a) { acquired = a; });
        return WaitFor([&] { return acquired.has_value(); }, 30000) && *acquired;
    }

    QTemporaryDir dir;
    QString photo;
    QImage picture;
    test::ScriptedPrompter prompter;
    std::unique_ptr<TLead_Fm> editor;
};

TEST_F(EditorIntake, AddTextFloatsTheTextAtItsPlaceWithAnUndoPoint)
{
    QRect placed;
    bool previewed = false;
    editor->RunDialog = [&](QDialog &d) {
        auto &dialog = dynamic_cast<TEIAddTextDlg_Fm &>(d);
        EXPECT_EQ(dialog.windowTitle(), "Add Text to Image");
        EXPECT_EQ(dialog.Text->toPlainText(), "Text...");
        dialog.Text->setPlainText("Hi");
        dialog.ChooseColour = [](QColor &c, const QString &) { c = Qt::red; return true; };
        dialog.BkgndColor->click();   // choosing a colour turns the background on
        EXPECT_TRUE(dialog.UseBkgnd->isChecked());
        dialog.Position->setCurrentText("Bottom Right");
        placed = dialog.TextRect();
        QSignalSpy shown(editor.get(), &TLead_Fm::previewShown);
        dialog.ApplyBtn->click();
        previewed = WaitFor([&] { return shown.count() > 0; }) && editor->PreviewImage().pixel(placed.topLeft()) == qRgb(255, 0, 0);
        return true;
    };
    editor->AddText1->trigger();
    EXPECT_TRUE(previewed);
    // Bottom right keeps a 2-pixel margin to the picture's edges.
    EXPECT_EQ(placed.right(), 120 - 2 - 1);
    EXPECT_EQ(placed.bottom(), 80 - 2 - 1);
    const EditorDocument &doc = editor->Document();
    ASSERT_TRUE(doc.Floating());
    EXPECT_EQ(doc.FloatingRect(), placed);
    EXPECT_EQ(doc.FloatingImage().pixel(0, 0), qRgb(255, 0, 0));   // the background
    QImage background(placed.size(), QImage::Format_RGB32);
    background.fill(Qt::red);
    EXPECT_NE(doc.FloatingImage(), background);   // and the text on it
    EXPECT_EQ(doc.Main(), picture);   // nothing is on the picture until it is pasted down
    EXPECT_EQ(doc.State(), Modified);
    editor->Undo1->trigger();
    EXPECT_FALSE(doc.Floating());
    EXPECT_EQ(doc.State(), Clean);

    // Cancel leaves nothing behind, not even an undo point.
    editor->RunDialog = [](QDialog &) { return false; };
    editor->AddText1->trigger();
    EXPECT_FALSE(doc.Floating());
    EXPECT_FALSE(doc.HasUndo());
}

TEST_F(EditorIntake, APastedPictureThatFitsFloatsWithAnUndoPoint)
{
    QImage small(20, 10, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QApplication::clipboard()->setImage(small);
    editor->PasteFromClipboard1->trigger();
    ASSERT_TRUE(editor->Document().Floating());
    EXPECT_EQ(editor->Document().FloatingImage(), small);
    ASSERT_TRUE(editor->Undo1->isEnabled());
    editor->Undo1->trigger();
    EXPECT_FALSE(editor->Document().Floating());
    EXPECT_EQ(editor->Document().Main(), picture);
}

TEST_F(EditorIntake, PrintsTheFileOrAChangedPictureThroughATemporaryBitmap)
{
    EXPECT_FALSE(editor->Print1->isEnabled());   // nothing to print through yet
    QStringList printed;
    QSize printedSize;
    editor->PrintFile = [&](const QString &path) {
        printed << path;
        printedSize = QImage(path).size();
        return true;
    };
    ASSERT_TRUE(editor->LoadFile(photo));
    ASSERT_TRUE(editor->Print1->isEnabled());
    editor->Print1->trigger();
    ASSERT_EQ(printed, QStringList{photo});   // a clean picture prints its own file

    editor->Negative1->trigger();
    ASSERT_TRUE(WaitFor([this] { return !editor->Busy(); }));
    editor->Print1->trigger();
    ASSERT_TRUE(WaitFor([&] { return printed.size() == 2; }));
    EXPECT_TRUE(printed[1].endsWith("/~MQXtempFn.bmp"));
    EXPECT_FALSE(printed[1].startsWith(dir.path()));   // never beside the user's files
    EXPECT_EQ(printedSize, picture.size());
    EXPECT_FALSE(QFile::exists(printed[1]));
    EXPECT_EQ(editor->Document().State(), Modified);
}

TEST_F(EditorIntake, ScansFromTheChosenSourceAndUndoesTheScan)
{
    SaneTestBackend backend({{"mode", "Color"}, {"test-picture", "\"Color pattern\""}});
    editor->RunDialog = [](QDialog &d) {
        auto &dialog = dynamic_cast<TSelectSourceDlg &>(d);
        EXPECT_EQ(dialog.List->count(), 1);
        return true;
    };
    bool chosen = false;
    editor->SelectScanSource([&chosen] { chosen = true; });
    ASSERT_TRUE(WaitFor([&] { return chosen; }));
    EXPECT_EQ(editor->ScanSource, "test:0");

    ASSERT_TRUE(Scanned()) << prompter.texts.join("|").toStdString();
    EXPECT_EQ(editor->Document().State(), editor::Acquired);
    EXPECT_EQ(editor->Document().Main().size(), QSize(78, 59));   // 40 x 30 mm at 50 dpi
    EXPECT_EQ(editor->windowTitle(), "Pagero Image Editor - Acquired Image Data *");
    editor->Undo1->trigger();
    EXPECT_EQ(editor->Document().Main(), picture);
    EXPECT_EQ(editor->Document().State(), Clean);
    EXPECT_TRUE(prompter.texts.isEmpty());
}

TEST_F(EditorIntake, CancelledOrImpossibleScansLeaveThePictureAsItWas)
{
    {
        // About 20 seconds of transfer, stopped from the progress window.
        SaneTestBackend slow({{"mode", "Color"}, {"read-delay", "true"}, {"read-delay-duration", "200000"},
                              {"resolution", "200.0"}, {"br_x", "200.0"}, {"br_y", "200.0"}});
        std::optional<bool> acquired;
        editor->Acquire([&acquired](bool a) { acquired = a; });
        QProgressDialog *progress = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (progress = editor->findChild<QProgressDialog *>("ScanProgress")); }));
        EXPECT_FALSE(editor->TwainAcquire1->isEnabled());
        progress->findChild<QPushButton *>()->click();
        ASSERT_TRUE(WaitFor([&] { return acquired.has_value(); }, 10000));
        EXPECT_FALSE(*acquired);
        EXPECT_TRUE(prompter.texts.isEmpty());   // the user's own choice needs no message
    }
    SaneTestBackend none({}, false);
    EXPECT_FALSE(Scanned());
    bool listed = false;
    editor->SelectScanSource([&listed] { listed = true; });
    ASSERT_TRUE(WaitFor([&] { return listed; }));
    EXPECT_EQ(prompter.texts, QStringList({"Error in acquiring Twain image.\r\n\r\nNo scanner was found.",
                                           "Error in selecting Twain device.\r\n\r\nNo scanner was found."}));
    EXPECT_EQ(editor->Document().Main(), picture);
    EXPECT_EQ(editor->Document().State(), Clean);
    EXPECT_TRUE(editor->TwainAcquire1->isEnabled());
}

} // namespace
