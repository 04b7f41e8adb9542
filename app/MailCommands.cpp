#include "app/MailCommands.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "app/SelectionList.h"
#include <QAction>

namespace pagero {

MailCommands::MailCommands(BookContext &book, const MainMenus &menus, const QString &dataFolder, QObject *parent)
    : QObject(parent), book_(book), menus_(menus), mail_(dataFolder)
{
    const MainActions &a = menus.actions;
    for (QAction *send : {a.EMail1, a.EMailSend1, a.EMailImg})
        ConnectCommand(book_, send, this, [this] { Send(); });
    ConnectCommand(book_, a.SetEMailOptions1, this, [this] { mail_.ShowOptions(book_.ParentWidget()); });
    connect(&mail_, &MailController::sendingChanged, this, [this](bool sending) { SendingChanged(sending); });
}

void MailCommands::Send()
{
    // Files deleted since they were selected are not offered.
    book_.Selection().DropMissing();
    mail_.SendFiles(book_.Selection().paths, book_.ParentWidget());
}

void MailCommands::SendingChanged(bool sending)
{
    if (sending && !book_.Selection().IsEmpty()) {
        // The selection went into the mail: the book no longer marks it.
        book_.Selection().Clear();
        book_.DrawBook();
    }
    book_.RefreshToolBar();   // the send commands rest while mail is being sent
}

} // namespace pagero
