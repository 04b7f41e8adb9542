#pragma once
// "About Pagero": the program's name and version and the libraries it is built on, each with what
// it does here and the licence it is used under.
#include <QList>
#include <QString>

class QDialog;
class QWidget;

namespace pagero {

struct LibraryCredit {
    QString name;
    QString use;
    QString licence;
};

// The libraries the program links or loads, in the order the window lists them.
QList<LibraryCredit> LibraryCredits();

// The window itself (not shown); ShowAbout shows it modally and frees it.
QDialog *MakeAboutBox(QWidget *parent);
void ShowAbout(QWidget *parent);

} // namespace pagero
