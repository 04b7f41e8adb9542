#include "app/BookContext.h"
#include <QAction>

namespace pagero {

void ConnectCommand(BookContext &book, QAction *action, QObject *receiver, std::function<void()> handler,
                    bool enable)
{
    if (enable) action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, receiver,
                     [&book, handler = std::move(handler)] { book.AfterFlip(handler); });
}

} // namespace pagero
