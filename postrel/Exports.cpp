// The exported C functions: each checks its handle against the live sessions and hands the work to
// the session; nothing here calls back into the caller. No exception ever leaves an export: a failure
// (an allocation that failed, above all) makes it return 0 and is reported from the next pump.
#include "EventLoop.h"
#include "Session.h"
#include "postrel.h"

#include <cstring>
#include <new>
#include <string>

using namespace postrel;

namespace {

LibraryError ErrorForException(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc &) {
        return {errors::kResource, "Insufficient Memory"};
    } catch (...) {
        return {errors::kUndefined, "Error not defined"};
    }
}

// Runs the work of an export on session `h`; an exception becomes the result 0 and an OnException.
template <typename Work>
int32_t Guarded(SmtpHandle h, Work &&work) noexcept
{
    try {
        return work();
    } catch (...) {
        try {
            const LibraryError error = ErrorForException(std::current_exception());
            if (Session *session = SessionRegistry::Instance().FindLive(h))
                session->ReportLater(error.code, error.text);
        } catch (...) {
            // Not even the report could be made; the result 0 still tells the caller.
        }
        return 0;
    }
}

bool HasLineBreak(const char *text) { return std::strpbrk(text, "\r\n") != nullptr; }

int32_t SimpleCommand(SmtpHandle h, const char *line, SmtpCommand command)
{
    return Guarded(h, [&] {
        Session *session = SessionRegistry::Instance().FindLive(h);
        if (!session)
            return 0;
        session->SendCommand(line, command);
        return 1;
    });
}

int32_t NamedCommand(SmtpHandle h, const char *word, const char *name, SmtpCommand command)
{
    return Guarded(h, [&] {
        Session *session = SessionRegistry::Instance().FindLive(h);
        // A name with a line break would smuggle a command of its own onto the connection.
        if (!session || !name || !*name || HasLineBreak(name))
            return 0;
        session->SendCommand(std::string(word) + " " + name, command);
        return 1;
    });
}

struct SecureRequest {
    int32_t security;
    const char *caFile;
    const char *authUser;
    const char *authPassword;
};

SmtpHandle OpenSession(intptr_t user, int32_t debugFlags, const char *remoteHost, uint16_t remotePort,
                       const char *localAddr, uint16_t localPort, const Callbacks &callbacks,
                       const SecureRequest *secure)
{
    if (!callbacks.onException || EventLoop::Instance().Fd() < 0)
        return 0;
    std::shared_ptr<Session> session;
    try {
        session = SessionRegistry::Instance().Create(user, debugFlags, callbacks);
        if (!remoteHost || !*remoteHost || remotePort == 0) {
            session->FailStart(3, "No RemoteHost or RemotePort given.");
            return 0;
        }
        if (secure) {
            if (secure->security < 0 || secure->security > 2) {
                session->FailStart(errors::kUndefined, "Security must be 0, 1 or 2.");
                return 0;
            }
            SecurityOptions options;
            options.mode = secure->security;
            options.caFile = secure->caFile ? secure->caFile : "";
            options.user = secure->authUser ? secure->authUser : "";
            options.password = secure->authPassword ? secure->authPassword : "";
            // The login goes on the command line: a line break would smuggle in a command.
            if (HasLineBreak(options.user.c_str()) || HasLineBreak(options.password.c_str())) {
                session->FailStart(errors::kAuthRefused, "Authentication refused: the user name or password contains a line break");
                return 0;
            }
            session->SetSecurity(std::move(options));
        }
        session->Start(remoteHost, remotePort, localAddr ? localAddr : "", localPort);
        return session->Live() ? session->Handle() : 0;
    } catch (...) {
        // The caller never sees this handle: the session ends, and says why when it can.
        if (session) {
            try {
                const LibraryError error = ErrorForException(std::current_exception());
                session->FailStart(error.code, error.text);
            } catch (...) {
            }
        }
        return 0;
    }
}

} // namespace

extern "C" {

SmtpHandle ConnectSmtp1(intptr_t user, int32_t debugFlags, const char *remoteHost, uint16_t remotePort,
                        const char *localAddr, uint16_t localPort, SmtpConnectProc onConnect,
                        SmtpReplyProc onSmtp, SmtpLogProc onLog, SmtpAttachProc onAttach,
                        SmtpErrorProc onException)
{
    return OpenSession(user, debugFlags, remoteHost, remotePort, localAddr, localPort,
                       Callbacks{onConnect, onSmtp, onLog, onAttach, onException}, nullptr);
}

SmtpHandle ConnectSmtpSecure(intptr_t user, int32_t debugFlags, const char *remoteHost, uint16_t remotePort,
                             int32_t security, const char *caFile, const char *authUser, const char *authPassword,
                             SmtpConnectProc onConnect, SmtpReplyProc onSmtp, SmtpLogProc onLog,
                             SmtpAttachProc onAttach, SmtpErrorProc onException)
{
    const SecureRequest request{security, caFile, authUser, authPassword};
    return OpenSession(user, debugFlags, remoteHost, remotePort, "", 0,
                       Callbacks{onConnect, onSmtp, onLog, onAttach, onException}, &request);
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
    return Guarded(h, [&] {
        Session *session = SessionRegistry::Instance().FindLive(h);
        if (!session)
            return 0;
        if (abort)
            session->Abort();
        else
            session->Quit();
        return 1;
    });
}

int32_t MailSmtp(SmtpHandle h, int32_t mode, const char *sender, const char *recipients, int32_t addDate,
                 int32_t addFrom, const char *subject, int32_t addToCc, const char *body, int32_t bodyLength,
                 const char *attachments, const char *encodings)
{
    return Guarded(h, [&] {
        Session *session = SessionRegistry::Instance().FindLive(h);
        if (!session)
            return 0;
        MailRequest request{mode,       sender, recipients, addDate != 0, addFrom != 0, subject,
                            addToCc != 0, body,   bodyLength, attachments, encodings};
        return session->Mail(request);
    });
}

int32_t SendSmtp(SmtpHandle h, const char *bytes, int32_t length, int32_t dataTag)
{
    return Guarded(h, [&] {
        Session *session = SessionRegistry::Instance().FindLive(h);
        if (!session || (!bytes && length > 0) || length < 0)
            return 0;
        session->SendRaw(std::string(bytes ? bytes : "", static_cast<std::size_t>(length)), dataTag);
        return 1;
    });
}

int32_t ResetSmtp(SmtpHandle h) { return SimpleCommand(h, "RSET", kRset); }
int32_t NoopSmtp(SmtpHandle h) { return SimpleCommand(h, "NOOP", kNoop); }
int32_t TurnSmtp(SmtpHandle h) { return SimpleCommand(h, "TURN", kTurn); }

int32_t HelpSmtp(SmtpHandle h, int32_t topic)
{
    return Guarded(h, [&] {
        const char *word = topic >= 0 && topic <= 13 ? CommandName(topic) : "HELP";
        return SimpleCommand(h, (std::string("HELP ") + word).c_str(), kHelp);
    });
}

int32_t ExpandSmtp(SmtpHandle h, const char *name) { return NamedCommand(h, "EXPN", name, kExpn); }
int32_t VerifySmtp(SmtpHandle h, const char *name) { return NamedCommand(h, "VRFY", name, kVrfy); }

int32_t StateSmtp(SmtpHandle h)
{
    Session *session = SessionRegistry::Instance().FindLive(h);
    return static_cast<int32_t>(session ? session->State() : ChannelState::Closed);
}

int32_t SmtpEventFd(void) { return EventLoop::Instance().Fd(); }

int32_t PumpSmtp(int32_t timeoutMs)
{
    try {
        return EventLoop::Instance().Pump(timeoutMs);
    } catch (...) {
        return -1;
    }
}

} // extern "C"
