#include "mail/MailController.h"

#include "mail/OrvSendMail.h"
#include "platform/Prompter.h"
#include "platform/system/ProgramFolder.h"

namespace pagero {

MailController::MailController(const QString &folder, QObject *parent)
    : QObject(parent), folder_(folder.isEmpty() ? sys::ProgramFolder() : folder)
{
}

MailController::~MailController() { delete window_.data(); }

TSendMail_Fm *MailController::Window(QWidget *parent)
{
    if (!window_) {
        window_ = new TSendMail_Fm(folder_, parent);
        connect(window_, &TSendMail_Fm::sendingChanged, this, &MailController::sendingChanged);
        connect(window_, &TSendMail_Fm::sendingFinished, this, &MailController::sendingFinished);
    }
    return window_;
}

void MailController::SendFiles(const QStringList &paths, QWidget *parent)
{
    TSendMail_Fm *w = Window(parent);
    if (w->Sending()) return;
    w->StartWith(paths);
}

void MailController::ShowOptions(QWidget *parent) { Window(parent)->OpenOptions(); }

bool MailController::Sending() const { return window_ && window_->Sending(); }

bool MailController::MayClose()
{
    if (!Sending()) return true;
    return ThePrompter().Confirm(QStringLiteral(
        "Pagero is currently sending your E-Mail...\n\rExiting Pagero now will terminate the E-Mail sending! \n\r"
        "Do you really want to exit?"));
}

} // namespace pagero
