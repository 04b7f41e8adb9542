#pragma once
// The help pages in a window of the program's own: "index.html" of the program's "Help" folder in
// a text browser, with links between the pages followed inside it and links to the web handed to
// the desktop. One window per parent, shown again (and raised) on every call; it does not block
// the book.
#include <QString>

class QTextBrowser;
class QWidget;

namespace pagero {

// Shows the help window for `helpDir` (the folder holding index.html); returns it, already shown.
QWidget *ShowHelp(QWidget *parent, const QString &helpDir);

// The browser inside a help window made by ShowHelp (nullptr for any other widget).
QTextBrowser *HelpBrowserOf(QWidget *helpWindow);

} // namespace pagero
