// Printing through a real CUPS queue: the test starts a private cupsd with a queue on the cups-pdf
// backend, prints a page picture and an overview sheet through QPrinter and reads back the PDF files
// that CUPS wrote. Skipped (never passed) where cupsd cannot run its backend.
#include "print/OrvPrintSet.h"
#include "print/OverviewPrinter.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/ui/main_window_fixture.h"
#include "tests/ui/print/PdfProbe.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pagero;
using namespace pagero::test;

namespace {

const QString kCupsd = "/usr/sbin/cupsd";
const QString kBackend = "/usr/lib/cups/backend/cups-pdf";
const QString kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
const QString kQueue = "PageroPDF";

// Where cups-pdf writes the files of the current user ("Out" of its configuration).
QString CupsPdfFolder()
{
    QString out = "${HOME}/PDF";
    QFile conf("/etc/cups/cups-pdf.conf");
    if (conf.open(QIODevice::ReadOnly))
        for (const QByteArray &line : conf.readAll().split('\n'))
            if (line.startsWith("Out ")) out = QString::fromUtf8(line.mid(4)).trimmed();
    const passwd *user = getpwuid(getuid());
    return out.replace("${HOME}", user ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath());
}

// A cupsd of the test's own: its configuration, spool and socket in a temporary folder.
class PrivateCups {
public:
    bool Start(QString *why)
    {
        const QString d = dir.path();
        for (const char *sub : {"spool", "cache", "state", "log", "tmp"}) QDir(d).mkpath(sub);
        // The filters run as cupsd's unprivileged user: they must reach the folder and write temp files.
        ::chmod(d.toLocal8Bit().constData(), 0755);
        ::chmod((d + "/tmp").toLocal8Bit().constData(), 01777);
        socket = d + "/cups.sock";
        Write(d + "/cupsd.conf", QString("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                                         "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                         "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                         "</Policy>\n").arg(socket));
        Write(d + "/cups-files.conf",
              QString("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                      "TempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                      "PageLog %1/log/page_log\nSystemGroup root\nSandboxing relaxed\n").arg(d));
        cupsd.start(kCupsd, {"-f", "-c", d + "/cupsd.conf", "-s", d + "/cups-files.conf"});
        if (!cupsd.waitForStarted(5000) || !WaitFor([this] { return QFileInfo::exists(socket); }, 10000)) {
            *why = "cupsd did not start: " + QString::fromLocal8Bit(cupsd.readAllStandardError());
            return false;
        }
        QProcess lpadmin;
        lpadmin.setProcessEnvironment(Environment());
        lpadmin.start("lpadmin", {"-p", kQueue, "-E", "-v", "cups-pdf:/", "-P", kPpd});
        if (!lpadmin.waitForFinished(20000) || lpadmin.exitCode() != 0) {
            *why = "lpadmin failed: " + QString::fromLocal8Bit(lpadmin.readAllStandardError());
            return false;
        }
        return true;
    }
    ~PrivateCups()
    {
        cupsd.terminate();
        cupsd.waitForFinished(5000);
    }
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CUPS_SERVER", socket);
        return env;
    }

    QTemporaryDir dir;
    QString socket;
    QProcess cupsd;

private:
    static void Write(const QString &path, const QString &text)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(text.toUtf8());
    }
};

// The PDF file that appears in `folder` beside `before`, once it is complete.
QString AwaitNewPdf(const QString &folder, const QStringList &before)
{
    QString found;
    WaitFor([&] {
        for (const QString &name : QDir(folder).entryList({"*.pdf"}, QDir::Files))
            if (!before.contains(name) && PdfPageCount(folder + "/" + name) > 0) found = folder + "/" + name;
        return !found.isEmpty();
    }, 90000);
    return found;
}

} // namespace

TEST(PrintThroughCups, PictureAndOverviewSheetReachTheQueue)
{
    if (geteuid() != 0) GTEST_SKIP() << "cupsd must run as root to start the cups-pdf backend";
    for (const QString &needed : {kCupsd, kBackend, kPpd})
        if (!QFileInfo::exists(needed)) GTEST_SKIP() << needed.toStdString() << " is not installed";
    PrivateCups cups;
    QString why;
    if (!cups.Start(&why)) GTEST_SKIP() << why.toStdString();
    // libcups reads the server at its first use in this process, which is this test's.
    qputenv("CUPS_SERVER", cups.socket.toLocal8Bit());
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(kQueue));

    const QString out = CupsPdfFolder();
    QDir().mkpath(out);
    QTemporaryDir files;
    const QString picture = files.filePath("blue.png");
    MakePicture(picture, 600, 400, Qt::blue);
    ScriptedPrompter prompter;
    QPrinter printer(QPrinterInfo::printerInfo(kQueue), QPrinter::HighResolution);
    printer.setResolution(600);
    ASSERT_EQ(printer.outputFormat(), QPrinter::NativeFormat);

    QStringList before = QDir(out).entryList({"*.pdf"}, QDir::Files);
    TPrintSet_Fm window(printer, prompter);
    ASSERT_TRUE(window.LoadPicture(picture));
    window.Prepare();
    EXPECT_TRUE(window.PrintName->text().startsWith(kQueue + "  (600 DPI)"));
    window.SetMode(print::SizeMode::Fit);
    window.BitBtn3->click();
    EXPECT_EQ(window.Result, 1);
    EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join('|').toStdString();
    const QString picturePdf = AwaitNewPdf(out, before);
    ASSERT_FALSE(picturePdf.isEmpty()) << "no PDF from CUPS in " << out.toStdString();
    EXPECT_EQ(PdfPageCount(picturePdf), 1);
    // The fitted picture fills the printable width (CUPS's PDF may come back at another scale).
    const QImage sheet = RenderPdfPage(picturePdf, 1, 72);
    const QRect blue = DarkBounds(sheet);
    EXPECT_GT(blue.width(), sheet.width() * 0.8);
    EXPECT_NEAR(double(blue.width()) / blue.height(), 1.5, 0.03);

    before = QDir(out).entryList({"*.pdf"}, QDir::Files);
    const QString error = print::PrintOverviewSheets(printer, {1, 2}, print::SheetSize::Quarter, QSize(460, 575),
                                                     [](QPainter &p, int) { p.fillRect(0, 0, 460, 575, Qt::black); });
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    const QString overviewPdf = AwaitNewPdf(out, before);
    ASSERT_FALSE(overviewPdf.isEmpty());
    EXPECT_EQ(PdfPageCount(overviewPdf), 1);
    // Two pages side by side in the upper quarters, none below (text does not survive the queue's
    // PostScript round trip as text, so the pages are found by their ink).
    const QImage overviewSheet = RenderPdfPage(overviewPdf, 1, 72);
    const QRect ink = DarkBounds(overviewSheet);
    EXPECT_GT(ink.width(), overviewSheet.width() * 0.8);
    EXPECT_LT(ink.bottom(), overviewSheet.height() / 2);
    QFile::remove(picturePdf);
    QFile::remove(overviewPdf);

    // The queue is removed between setup and OK: told, and no job is started.
    TPrintSet_Fm gone(printer, prompter);
    ASSERT_TRUE(gone.LoadPicture(picture));
    gone.Prepare();
    QProcess lpadmin;
    lpadmin.setProcessEnvironment(cups.Environment());
    lpadmin.start("lpadmin", {"-x", kQueue});
    ASSERT_TRUE(lpadmin.waitForFinished(20000) && lpadmin.exitCode() == 0);
    before = QDir(out).entryList({"*.pdf"}, QDir::Files);
    gone.BitBtn3->click();
    EXPECT_NE(gone.Result, 1);
    EXPECT_EQ(prompter.texts, QStringList({"The printer \"PageroPDF\" is no longer available. Please choose another "
                                           "one with \"Printer Setup\"."}));
    EXPECT_EQ(QDir(out).entryList({"*.pdf"}, QDir::Files), before);
}
