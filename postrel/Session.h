// One SMTP session: the dialogue state machine on top of its channel.
//
// The session's current command is its state. SetCommand changes it (and traces the change by name);
// each command has a Perform... step that sends it and a ...Reply step that handles the server's
// answer, and ReplyReader is the shared layer that assembles reply lines.
#pragma once

#include "Channel.h"
#include "Encoders.h"
#include "Extensions.h"
#include "MessageBuilder.h"
#include "ReplyReader.h"
#include "postrel.h"

#include <memory>
#include <optional>
#include <unordered_map>

namespace postrel {

enum SmtpCommand : std::int32_t {
    kData = 0,
    kExpn = 1,
    kHelo = 2,
    kHelp = 3,
    kMail = 4,
    kNoop = 5,
    kQuit = 6,
    kRcpt = 7,
    kRset = 8,
    kSaml = 9,
    kSend = 10,
    kSoml = 11,
    kTurn = 12,
    kVrfy = 13,
    kStart = 14,
    kMessageSent = 16,
    kAttachmentContent = 18,
    kTextBeforeAttachments = 19,
    kRaw = 22,
    // The steps that make a connection secure and log in, before it is ready for the envelope.
    kEhlo = 30,
    kStartTls = 31,
    kAuth = 32,
    kAuthUser = 33,
    kAuthPassword = 34,
};

// How ConnectSmtpSecure asked the session to protect itself.
struct SecurityOptions {
    int mode = 0;         // 0 plain, 1 STARTTLS required, 2 TLS from the first byte
    std::string caFile;   // empty: the system's trust store
    std::string user;     // empty: no login
    std::string password; // wiped once it has been used
};

enum SessionStatus : std::int32_t { kClosed = 0, kDone = 1, kTransient = 2, kPermanent = 3, kInProgress = 4 };

// The command word of a command or data tag; tags without one are named "DATA".
const char *CommandName(int command);

struct Callbacks {
    SmtpConnectProc onConnect = nullptr;
    SmtpReplyProc onSmtp = nullptr;
    SmtpLogProc onLog = nullptr;
    SmtpAttachProc onAttach = nullptr;
    SmtpErrorProc onException = nullptr;
};

class Session final : public ChannelOwner, public std::enable_shared_from_this<Session> {
public:
    Session(SmtpHandle handle, intptr_t user, int debugFlags, const Callbacks &callbacks);
    ~Session() override;

    SmtpHandle Handle() const { return handle_; }
    bool Live() const { return live_; }
    ChannelState State() const { return live_ && channel_ ? channel_->State() : ChannelState::Closed; }

    void SetSecurity(SecurityOptions options) { security_ = std::move(options); }
    void Start(const std::string &host, std::uint16_t port, const std::string &localAddress, std::uint16_t localPort);
    // Export-side commands: they queue and return; results arrive from the pump.
    void SendCommand(const std::string &line, SmtpCommand command);
    void SendRaw(std::string bytes, int tag);
    int Mail(const MailRequest &request);
    void Quit();
    void Abort();
    // Reports an error from a later pump; the session goes on.
    void ReportLater(int code, std::string text);
    // Ends a session that never got going: the error is reported, then the session is gone.
    void FailStart(int code, std::string text);

    // ChannelOwner
    void ChannelConnected(const Endpoints &endpoints) override;
    void ChannelData(std::string_view bytes) override;
    void ChannelEnded() override;
    void PacketSent(int tag, std::size_t size) override;
    void ChannelFailed(const LibraryError &error, ChannelState stateBefore) override;
    void ChannelSecured() override;

private:
    enum class PartPhase { Header, Content, Finished };

    void SetCommand(SmtpCommand command);
    void Send(std::string bytes, int tag);
    // Marks the session dead (its handle stops working) and, unless told otherwise, reports
    // status 0 from a later pump; the object goes once nothing refers to it.
    void End(bool reportClosed);

    void OnReplyLine(const ReplyLine &line);
    void GreetingReply(const ReplyLine &line);
    void PositiveReply(const ReplyLine &line);
    void DataReply(const ReplyLine &line);
    void OtherReply(const ReplyLine &line);

    void PerformHelo();

    // EHLO, STARTTLS and AUTH (SessionSecurity.cpp).
    bool UsesEhlo() const { return security_.mode != 0 || !security_.user.empty(); }
    static bool IsSecurityStep(int command) { return command >= kEhlo && command <= kAuthPassword; }
    void PerformEhlo();
    void SecurityReply(const ReplyLine &line);
    void EhloReply(const ReplyLine &line);
    void StartTlsReply(const ReplyLine &line);
    void PerformAuth();
    void AuthReply(const ReplyLine &line);
    void SendStep(const std::string &line, SmtpCommand command, bool secret = false);
    void ReadyForEnvelope();
    void SecurityFailed(int code, const std::string &text);
    void ForgetPassword();
    void PerformRcpt();
    void PerformData();

    void StartAttachments();
    void PrepareNextAttachment();
    void AttachmentPacketSent(std::size_t size);
    void SendNextBlock();
    void AttachmentFailed(int code, const std::string &text);
    int Percent() const;

    // Callback wrappers: each returns whether the session is still live afterwards.
    bool NotifySmtp(int status, int command, int code, const std::string &text, bool complete);
    bool NotifyAttach(const std::string &path, int percent);
    void NotifyException(int code, const std::string &text);

    SmtpHandle handle_;
    intptr_t user_;
    int debugFlags_;
    Callbacks callbacks_;
    std::unique_ptr<Channel> channel_;
    bool live_ = true;
    SmtpCommand command_ = kStart;
    bool awaitingGreeting_ = false;
    std::string localAddress_;
    std::string host_; // as the caller named it: the name the certificate must carry
    ReplyReader reader_;
    SecurityOptions security_;
    EhloParser ehlo_;
    std::string ehloFinalLine_;
    bool secureReady_ = false;  // EHLO, TLS and the login are done
    bool discardInput_ = false; // plain bytes after the go-ahead for TLS: never trusted

    std::optional<MailPlan> mail_;
    std::size_t nextRecipient_ = 0;
    std::size_t nextAttachment_ = 0;
    std::unique_ptr<AttachmentStream> stream_;
    PartPhase phase_ = PartPhase::Finished;
    DotStuffer stuffer_;
    std::int64_t sentSoFar_ = 0;
    bool mailBusy_ = false;     // from MailSmtp until the mail is answered or abandoned
    bool finalDotSent_ = false; // the message's final dot has been queued
};

// The live sessions of the process, by handle. Handles are never reused.
class SessionRegistry {
public:
    static SessionRegistry &Instance();
    std::shared_ptr<Session> Create(intptr_t user, int debugFlags, const Callbacks &callbacks);
    Session *FindLive(SmtpHandle handle) const;
    void Remove(SmtpHandle handle);

private:
    std::unordered_map<SmtpHandle, std::shared_ptr<Session>> sessions_;
    SmtpHandle last_ = 0;
};

} // namespace postrel
