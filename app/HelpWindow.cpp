#include "app/HelpWindow.h"
#include "core/common/ProductInfo.h"
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace pagero {

namespace {

const char *const kHelpWindowName = "HelpWindow";

QWidget *MakeHelpWindow(QWidget *parent)
{
    auto *window = new QWidget(parent, Qt::Window);
    window->setObjectName(QLatin1String(kHelpWindowName));
    window->setWindowTitle(QStringLiteral("%1 Help").arg(QLatin1String(kApplicationTitle)));
    window->setAttribute(Qt::WA_DeleteOnClose, false);   // kept for the next call
    auto *browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("HelpBrowser"));
    browser->setOpenExternalLinks(true);   // web links go to the desktop's browser
    auto *box = new QVBoxLayout(window);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(browser);
    window->resize(760, 620);
    return window;
}

} // namespace

QTextBrowser *HelpBrowserOf(QWidget *helpWindow)
{
    if (!helpWindow || helpWindow->objectName() != QLatin1String(kHelpWindowName)) return nullptr;
    return helpWindow->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
}

QWidget *ShowHelp(QWidget *parent, const QString &helpDir)
{
    QWidget *window = nullptr;
    if (parent) window = parent->findChild<QWidget *>(QLatin1String(kHelpWindowName), Qt::FindDirectChildrenOnly);
    if (!window) window = MakeHelpWindow(parent);
    QTextBrowser *browser = HelpBrowserOf(window);

    const QString index = QDir(helpDir).filePath(QStringLiteral("index.html"));
    if (QFileInfo(index).isFile()) {
        browser->setSearchPaths({helpDir});
        browser->setSource(QUrl::fromLocalFile(index));
    } else {
        browser->setSource(QUrl());
        browser->setPlainText(QStringLiteral("The help pages are missing: %1 was not found.")
                                  .arg(QDir::toNativeSeparators(index)));
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace pagero
