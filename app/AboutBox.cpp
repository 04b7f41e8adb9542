#include "app/AboutBox.h"
#include "core/common/ProductInfo.h"
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtGlobal>

namespace pagero {

// Licences as the Debian packages' copyright files give them for the parts the program uses.
QList<LibraryCredit> LibraryCredits()
{
    return {
        {QStringLiteral("Qt %1").arg(QLatin1String(qVersion())),
         QStringLiteral("windows, drawing, printing, sound and video"),
         QStringLiteral("GNU LGPL version 3 (or GNU GPL version 2)")},
        {QStringLiteral("libjpeg-turbo"), QStringLiteral("JPEG decoding"),
         QStringLiteral("IJG licence and modified BSD licence (parts under the zlib licence)")},
        {QStringLiteral("ImageMagick (Magick++)"), QStringLiteral("reading, converting and processing pictures"),
         QStringLiteral("ImageMagick licence (Apache 2.0 style)")},
        {QStringLiteral("FluidSynth"), QStringLiteral("MIDI playback"),
         QStringLiteral("GNU LGPL version 2.1 or later")},
        {QStringLiteral("TimGM6mb soundfont"), QStringLiteral("MIDI instruments, when installed"),
         QStringLiteral("GNU GPL version 2")},
        {QStringLiteral("GStreamer"), QStringLiteral("sound and video decoding through Qt Multimedia"),
         QStringLiteral("GNU LGPL version 2 or later")},
        {QStringLiteral("c-ares"), QStringLiteral("host name look-ups of the mail library"),
         QStringLiteral("MIT licence")},
        {QStringLiteral("ICU"), QStringLiteral("sorting names as the language reads them"),
         QStringLiteral("Unicode / ICU licence (MIT style)")},
        {QStringLiteral("DejaVu fonts"), QStringLiteral("the book's lettering"),
         QStringLiteral("Bitstream Vera font licence (additions in the public domain)")},
    };
}

QDialog *MakeAboutBox(QWidget *parent)
{
    auto *box = new QDialog(parent);
    box->setWindowTitle(QStringLiteral("About %1").arg(QLatin1String(kProductTitle)));
    auto *title = new QLabel(QStringLiteral("<h2>%1</h2>Version %2")
                                 .arg(QLatin1String(kProductTitle), QLatin1String(kProductVersion)), box);
    title->setObjectName(QStringLiteral("AboutTitle"));
    title->setAlignment(Qt::AlignCenter);

    QString rows;
    for (const LibraryCredit &c : LibraryCredits())
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>%3</td></tr>")
                    .arg(c.name.toHtmlEscaped(), c.use.toHtmlEscaped(), c.licence.toHtmlEscaped());
    auto *credits = new QTextBrowser(box);
    credits->setObjectName(QStringLiteral("AboutLibraries"));
    credits->setHtml(QStringLiteral("<p>Built with these libraries:</p>"
                                    "<table cellspacing=\"0\" cellpadding=\"3\">"
                                    "<tr><th align=\"left\">Library</th><th align=\"left\">Used for</th>"
                                    "<th align=\"left\">Licence</th></tr>%1</table>")
                         .arg(rows));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(title);
    layout->addWidget(credits);
    layout->addWidget(buttons);
    box->resize(620, 420);
    return box;
}

void ShowAbout(QWidget *parent)
{
    QDialog *box = MakeAboutBox(parent);
    box->exec();
    delete box;
}

} // namespace pagero
