// Printing to PDF for real: the print setup window places the picture where its texts say, overview
// sheets carry one or four pages in their corners with captions as text, and every failure is told.
#include "print/OrvPrintOverview_Dlg.h"
#include "print/OrvPrintSet.h"
#include "print/OverviewPrintJob.h"
#include "print/OverviewPrinter.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/ui/main_window_fixture.h"
#include "tests/ui/print/PdfProbe.h"
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::test;

namespace {

// Within a printer pixel of `expected`.
void ExpectNear(const QRect &actual, const QRect &expected)
{
    EXPECT_LE(std::abs(actual.left() - expected.left()), 1) << actual.left();
    EXPECT_LE(std::abs(actual.top() - expected.top()), 1) << actual.top();
    EXPECT_LE(std::abs(actual.right() - expected.right()), 1) << actual.right();
    EXPECT_LE(std::abs(actual.bottom() - expected.bottom()), 1) << actual.bottom();
}

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        pdf = dir.filePath("out.pdf");
        UsePdfPrinter(printer, pdf);
    }
    QTemporaryDir dir;
    QString pdf;
    QPrinter printer{QPrinter::HighResolution};
    ScriptedPrompter prompter;
};

} // namespace

TEST_F(PrintTest, FittedAndCentredPictureLandsWhereTheWindowSays)
{
    const QString picture = dir.filePath("blue.png");
    MakePicture(picture, 600, 400, Qt::blue);
    TPrintSet_Fm window(printer, prompter);
    ASSERT_TRUE(window.LoadPicture(picture));
    window.Prepare();
    EXPECT_EQ(window.PrintName->text(), "PDF file  (600 DPI)");
    EXPECT_TRUE(window.PaperWidth->text().startsWith("8.50 inch ( ")) << window.PaperWidth->text().toStdString();
    EXPECT_TRUE(window.PaperHeight->text().startsWith("11.00 inch ( "));
    EXPECT_EQ(window.Position(), QPoint(150, 150));   // 65, 45 raised to the printable area's offset

    window.SetMode(print::SizeMode::Fit);
    EXPECT_EQ(window.PictureSize(), QSize(4800, 3200));
    EXPECT_EQ(window.StaticText11->text(), "8");
    window.SetMode(print::SizeMode::Center);
    EXPECT_EQ(window.Position(), QPoint(0, 1550));
    EXPECT_EQ(window.Offset->text(), "( 0 , 2.58 )");
    // The preview sheet shows the picture in the same place, scaled.
    const QImage preview = window.PreviewImage();
    QRect blue;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x)
            if (preview.pixelColor(x, y).blue() > 200 && preview.pixelColor(x, y).red() < 60) blue |= QRect(x, y, 1, 1);
    const double s = double(preview.width()) / 5100;
    ExpectNear(blue, QRect(qRound(150 * s), qRound(1700 * s), qRound(4800 * s), qRound(3200 * s)));

    window.BitBtn3->click();
    EXPECT_EQ(window.Result, 1);
    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join('|').toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 1);
    // The printable area starts 150 pixels into the sheet.
    ExpectNear(DarkBounds(RenderPdfPage(pdf, 1, 600)), QRect(150, 1700, 4800, 3200));

    // "Printer Setup": everything follows the printer as chosen.
    window.PrinterSetup = [&] {
        printer.setResolution(300);
        return true;
    };
    window.BitBtn1->click();
    EXPECT_EQ(window.PrintName->text(), "PDF file  (300 DPI)");
    EXPECT_EQ(window.Metrics().PageWidth, 2400);
    EXPECT_TRUE(window.PaperWidth->text().startsWith("8.50 inch ( "));
}

TEST_F(PrintTest, FailuresAreToldAndNothingIsPrinted)
{
    const QString broken = dir.filePath("broken.jpg");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();
    TPrintSet_Fm window(printer, prompter);
    EXPECT_FALSE(window.PrintPicture(broken));
    EXPECT_FALSE(window.isVisible());

    const QString picture = dir.filePath("red.png");
    MakePicture(picture, 300, 200, Qt::red);
    window.PrinterBusy = [] { return true; };
    EXPECT_FALSE(window.PrintPicture(picture));
    window.PrinterBusy = [] { return false; };

    // The file stops decoding between setup and OK: told, the window stays, no job is started.
    ASSERT_TRUE(window.LoadPicture(picture));
    window.Prepare();
    QFile changed(picture);
    ASSERT_TRUE(changed.open(QIODevice::WriteOnly | QIODevice::Truncate));
    changed.write("gone");
    changed.close();
    window.BitBtn3->click();
    EXPECT_NE(window.Result, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(prompter.texts, QStringList({"The image can not be loaded, please try again.",
                                           "The printer is busy, please try to print later.",
                                           "The image can not be loaded, please try again."}));
}

TEST_F(PrintTest, FivePagesFourUpMakeTwoSheetsTheSecondWithSlotOneOnly)
{
    const QSize bookPage(460, 575);
    const QString error = print::PrintOverviewSheets(printer, {1, 2, 3, 5, 6}, print::SheetSize::Quarter, bookPage,
                                                     [&](QPainter &p, int page) {
        p.fillRect(QRect(QPoint(0, 0), bookPage), Qt::black);
        p.setPen(Qt::white);
        p.drawText(QPoint(40, 40), QString("Book page %1").arg(page));
    });
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const QString text = PdfText(pdf);
    for (int page : {1, 2, 3, 5, 6}) EXPECT_TRUE(text.contains(QString("Book page %1").arg(page)));

    const QSize box = print::OverviewTarget(print::SheetSize::Quarter, QSize(4800, 6300), QPoint(150, 150), bookPage);
    EXPECT_NEAR(double(box.width()) / box.height(), 460.0 / 575, 0.001);   // never distorted
    // Sheet 2: one page in slot 1 at the offset inside the printable area.
    ExpectNear(DarkBounds(RenderPdfPage(pdf, 2, 600)), QRect(QPoint(300, 300), box));
    // Sheet 1: four corners, the last one's corner where the quarters meet.
    const auto corners = print::QuarterSlots(QSize(4800, 6300), QPoint(150, 150));
    ExpectNear(DarkBounds(RenderPdfPage(pdf, 1, 600)),
               QRect(QPoint(300, 300), corners[3] + QPoint(150, 150) + QPoint(box.width() - 1, box.height() - 1)));
}

class PrintOverviewWindowTest : public MainWindowTest {};

TEST_F(PrintOverviewWindowTest, OverviewPagesPrintSharpWithTheirCaptionsAsText)
{
    MakePicture(album + "/large.png", 1200, 800, Qt::darkGreen);
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    emit w.Menus().menus.Print1->aboutToShow();
    EXPECT_TRUE(w.Menus().actions.OverviewPages1->isEnabled());
    PrintCommands &printing = w.Printing();
    const QString pdf = root.filePath("overview.pdf");
    UsePdfPrinter(printing.Printer(), pdf);
    TPrintOverview_Dlg &dialog = printing.OverviewDialog();

    // "Unticked All" then OK: told, and the dialog stays open.
    printing.RunOverviewDialog = [&](TPrintOverview_Dlg &d) {
        d.Prepare();
        EXPECT_EQ(d.CheckListBox1->count(), 1);
        EXPECT_EQ(d.CheckListBox1->item(0)->text(), "Page 1 (i)");
        d.RadioGroup1->button(1)->click();
        d.OKBtn->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        return false;
    };
    EXPECT_FALSE(printing.PrintOverviewPages());
    EXPECT_EQ(prompter.texts, QStringList({"No Overview Pages selected for printing."}));
    EXPECT_FALSE(QFile::exists(pdf));

    printing.RunOverviewDialog = [](TPrintOverview_Dlg &d) {
        d.Prepare();   // "All Pages"
        d.RadioGroup2->button(0)->setChecked(true);
        return true;
    };
    // The sheets are painted on the job's own thread: the window goes on, the print commands wait
    // for the job's end and a progress window (not modal) offers Cancel.
    ASSERT_TRUE(printing.PrintOverviewPages());
    ASSERT_TRUE(printing.JobRunning());
    EXPECT_TRUE(printing.Job()->Progress()->isVisible());
    EXPECT_FALSE(printing.Job()->Progress()->isModal());
    emit w.Menus().menus.Print1->aboutToShow();
    EXPECT_FALSE(w.Menus().actions.OverviewPages1->isEnabled());
    EXPECT_FALSE(printing.PrintOverviewPages());
    ASSERT_TRUE(WaitFor([&] { return !printing.JobRunning(); }, 60000));
    EXPECT_EQ(prompter.texts, QStringList({"No Overview Pages selected for printing.",
                                           "The printer is busy, please try to print later."}));
    EXPECT_EQ(dialog.Ticked(), QList<int>({1}));
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains("Overview"));
    EXPECT_TRUE(text.contains("1: large.png")) << text.toStdString();
    EXPECT_TRUE(QString(text).remove(QLatin1Char(' ')).contains("-i-")) << text.toStdString();
    // Thumbnails are decoded at the printed size, far above the 72-pixel cache bitmaps.
    const QList<int> widths = PdfImageWidths(pdf);
    ASSERT_FALSE(widths.isEmpty());
    EXPECT_GT(*std::max_element(widths.begin(), widths.end()), 200);
}

TEST_F(PrintOverviewWindowTest, PictureThatNoLongerDecodesIsPrintedSmallAndTold)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    PrintCommands &printing = w.Printing();
    const QString pdf = root.filePath("overview.pdf");
    UsePdfPrinter(printing.Printer(), pdf);
    printing.RunOverviewDialog = [](TPrintOverview_Dlg &d) {
        d.Prepare();
        return true;
    };
    // Broken after its thumbnail was made: the sheet is still printed, with the cached bitmap.
    QFile broken(album + "/pic2.png");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("no longer a picture");
    broken.close();
    ASSERT_TRUE(printing.PrintOverviewPages());
    ASSERT_TRUE(WaitFor([&] { return !printing.JobRunning(); }, 60000));
    EXPECT_EQ(PdfPageCount(pdf), 1);
    ASSERT_EQ(prompter.texts.size(), 1) << prompter.texts.join('|').toStdString();
    EXPECT_TRUE(prompter.texts[0].startsWith("These pictures could not be read")) << prompter.texts[0].toStdString();
    EXPECT_TRUE(prompter.texts[0].endsWith(":\npic2.png")) << prompter.texts[0].toStdString();
}

TEST_F(PrintTest, CancelledJobStopsAfterTheSheetAndLeavesNoPdf)
{
    const QSize bookPage(460, 575);
    QList<int> painted;
    const print::SheetsResult result = print::PrintSheets(
        printer, {1, 2, 3}, print::SheetSize::Paper, bookPage,
        [&](QPainter &p, int page) {
            painted.append(page);
            p.fillRect(QRect(QPoint(0, 0), bookPage), Qt::black);
        },
        {}, [](int done, int total) {
            EXPECT_EQ(total, 3);
            return done < 1;
        });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.printed, 1);
    EXPECT_EQ(painted, QList<int>({1}));
    EXPECT_EQ(result.problem, "The print job was cancelled; no PDF file was written.");
    EXPECT_FALSE(QFile::exists(pdf));
}
