#pragma once
// The e-mail commands of the book: "&E-Mail (Send)..." from the Tools and batch menus and the tool
// bar sends the batch selection through the mail window; "E-&Mail Options..." sets the mail options.
// While mail is being sent the send commands rest and the selection is emptied.
#include "mail/MailController.h"
#include <QObject>

namespace pagero {

class BookContext;
struct MainMenus;

class MailCommands : public QObject {
public:
    // `dataFolder` holds the mail options and the address book.
    MailCommands(BookContext &book, const MainMenus &menus, const QString &dataFolder, QObject *parent = nullptr);
    // The main window's close question while mail is being sent.
    bool MayClose() { return mail_.MayClose(); }
    MailController &Mail() { return mail_; }

private:
    void Send();
    void SendingChanged(bool sending);

    BookContext &book_;
    const MainMenus &menus_;
    MailController mail_;
};

} // namespace pagero
