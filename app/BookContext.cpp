#include "app/BookContext.h"
#include <QAction>

namespace pagero {

namespace {
constexpr const char *kBuiltMark = "pageroCommandBuilt";
}

void ConnectCommand(BookContext &book, QAction *action, QObject *receiver, std::function<void()> handler,
                    bool enable)
{
    action->setProperty(kBuiltMark, true);
    if (enable) action->setEnabled(true);
    // The tool bar follows every command: what it changed may make buttons available or not.
    QObject::connect(action, &QAction::triggered, receiver, [&book, handler = std::move(handler)] {
        book.AfterFlip([&book, handler] {
            handler();
            book.RefreshToolBar();
        });
    });
}

bool CommandBuilt(const QAction *action)
{
    return action && action->property(kBuiltMark).toBool();
}

} // namespace pagero
