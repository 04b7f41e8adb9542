// The exported C functions: each checks its handle against the live sessions and hands the work to
// the session; nothing here calls back into the caller.
#include "EventLoop.h"
#include "Session.h"
#include "postrel.h"

#include <cstring>
#include <string>

using namespace postrel;

namespace {

bool HasLineBreak(const char *text) { return std::strpbrk(text, "\r\n") != nullptr; }

int32_t SimpleCommand(SmtpHandle h, const char *line, SmtpCommand command)
{
    Session *session = SessionRegistry::Instance().FindLive(h);
    if (!session)
        return 0;
    session->SendCommand(line, command);
    return 1;
}

int32_t NamedCommand(SmtpHandle h, const char *word, const char *name, SmtpCommand command)
{
    Session *session = SessionRegistry::Instance().FindLive(h);
    // A name with a line break would smuggle a command of its own onto the connection.
    if (!session || !name || !*name || HasLineBreak(name))
        return 0;
    session->SendCommand(std::string(word) + " " + name, command);
    return 1;
}

} // namespace

extern "C" {

SmtpHandle ConnectSmtp1(intptr_t user, int32_t debugFlags, const char *remoteHost, uint16_t remotePort,
                        const char *localAddr, uint16_t localPort, SmtpConnectProc onConnect,
                        SmtpReplyProc onSmtp, SmtpLogProc onLog, SmtpAttachProc onAttach,
                        SmtpErrorProc onException)
{
    if (!onException || EventLoop::Instance().Fd() < 0)
        return 0;
    auto session = SessionRegistry::Instance().Create(user, debugFlags,
                                                      Callbacks{onConnect, onSmtp, onLog, onAttach, onException});
    if (!remoteHost || !*remoteHost || remotePort == 0) {
        session->FailStart(3, "No RemoteHost or RemotePort given.");
        return 0;
    }
    session->Start(remoteHost, remotePort, localAddr ? localAddr : "", localPort);
    return session->Live() ? session->Handle() : 0;
}

SmtpHandle ConnectSmtp(intptr_t user, int32_t debugFlags, const char *remoteHost, uint16_t remotePort,
                       const char *localAddr, uint16_t localPort, SmtpConnectProc onConnect, SmtpReplyProc onSmtp,
                       SmtpLogProc onLog, SmtpAttachProc onAttach, SmtpErrorProc onException)
{
    return ConnectSmtp1(user, debugFlags, remoteHost, remotePort, localAddr, localPort, onConnect, onSmtp, onLog,
                        onAttach, onException);
}

int32_t CloseSmtp(SmtpHandle h, int32_t abort)
{
    Session *session = SessionRegistry::Instance().FindLive(h);
    if (!session)
        return 0;
    if (abort)
        session->Abort();
    else
        session->Quit();
    return 1;
}

int32_t MailSmtp(SmtpHandle h, int32_t mode, const char *sender, const char *recipients, int32_t addDate,
                 int32_t addFrom, const char *subject, int32_t addToCc, const char *body, int32_t bodyLength,
                 const char *attachments, const char *encodings)
{
    Session *session = SessionRegistry::Instance().FindLive(h);
    if (!session)
        return 0;
    MailRequest request{mode,       sender, recipients, addDate != 0, addFrom != 0, subject,
                        addToCc != 0, body,   bodyLength, attachments, encodings};
    return session->Mail(request);
}

int32_t SendSmtp(SmtpHandle h, const char *bytes, int32_t length, int32_t dataTag)
{
    Session *session = SessionRegistry::Instance().FindLive(h);
    if (!session || (!bytes && length > 0) || length < 0)
        return 0;
    session->SendRaw(std::string(bytes ? bytes : "", static_cast<std::size_t>(length)), dataTag);
    return 1;
}

int32_t ResetSmtp(SmtpHandle h) { return SimpleCommand(h, "RSET", kRset); }
int32_t NoopSmtp(SmtpHandle h) { return SimpleCommand(h, "NOOP", kNoop); }
int32_t TurnSmtp(SmtpHandle h) { return SimpleCommand(h, "TURN", kTurn); }

int32_t HelpSmtp(SmtpHandle h, int32_t topic)
{
    const char *word = topic >= 0 && topic <= 13 ? CommandName(topic) : "HELP";
    return SimpleCommand(h, (std::string("HELP ") + word).c_str(), kHelp);
}

int32_t ExpandSmtp(SmtpHandle h, const char *name) { return NamedCommand(h, "EXPN", name, kExpn); }
int32_t VerifySmtp(SmtpHandle h, const char *name) { return NamedCommand(h, "VRFY", name, kVrfy); }

int32_t StateSmtp(SmtpHandle h)
{
    Session *session = SessionRegistry::Instance().FindLive(h);
    return static_cast<int32_t>(session ? session->State() : ChannelState::Closed);
}

int32_t SmtpEventFd(void) { return EventLoop::Instance().Fd(); }

int32_t PumpSmtp(int32_t timeoutMs) { return EventLoop::Instance().Pump(timeoutMs); }

} // extern "C"
