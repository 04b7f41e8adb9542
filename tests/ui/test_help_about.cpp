// The help window and the About window.
#include "app/AboutBox.h"
#include "app/HelpWindow.h"
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWidget>
#include <gtest/gtest.h>

using namespace pagero;

TEST(HelpWindow, ShowsTheProgramsHelpPageAndComesBackOnTheNextCall)
{
    QWidget parent;
    QWidget *help = ShowHelp(&parent, QStringLiteral(PAGERO_TEST_PROGRAM_DIR "/Help"));
    ASSERT_NE(HelpBrowserOf(help), nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(HelpBrowserOf(help)->toPlainText().contains("Pagero"));
    help->close();
    EXPECT_EQ(ShowHelp(&parent, QStringLiteral(PAGERO_TEST_PROGRAM_DIR "/Help")), help);
    EXPECT_TRUE(help->isVisible());

    // A program folder without its help pages says so instead of showing an empty window.
    QTemporaryDir empty;
    EXPECT_TRUE(HelpBrowserOf(ShowHelp(&parent, empty.path()))->toPlainText().contains("missing"));
}

TEST(AboutBox, NamesTheProgramItsVersionAndEachLibrarysLicence)
{
    QDialog *box = MakeAboutBox(nullptr);
    EXPECT_EQ(box->windowTitle(), "About Pagero");
    const QString title = box->findChild<QLabel *>("AboutTitle")->text();
    EXPECT_TRUE(title.contains("Pagero") && title.contains("Version 3.0"));
    const QString libraries = box->findChild<QTextBrowser *>("AboutLibraries")->toPlainText();
    for (const LibraryCredit &c : LibraryCredits()) {
        EXPECT_FALSE(c.licence.isEmpty()) << c.name.toStdString();
        EXPECT_TRUE(libraries.contains(c.name) && libraries.contains(c.licence)) << c.name.toStdString();
    }
    delete box;
}
