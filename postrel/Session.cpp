#include "Session.h"

#include "EventLoop.h"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace postrel {
namespace {

constexpr std::size_t kBlockSize = 8192;

constexpr const char *kCommandWords[] = {"DATA", "EXPN", "HELO", "HELP", "MAIL", "NOOP", "QUIT",
                                         "RCPT", "RSET", "SAML", "SEND", "SOML", "TURN", "VRFY"};

const char *StateName(int command)
{
    switch (command) {
    case kStart: return "START";
    case kMessageSent: return "MESSAGE-SENT";
    case kAttachmentContent: return "ATTACHMENT";
    case kTextBeforeAttachments: return "TEXT-THEN-ATTACHMENTS";
    case kRaw: return "RAW";
    case kEhlo: return "EHLO";
    case kStartTls: return "STARTTLS";
    case kAuth: return "AUTH";
    case kAuthUser: return "AUTH-USER";
    case kAuthPassword: return "AUTH-PASSWORD";
    default: return CommandName(command);
    }
}

const std::string &LocalHostName()
{
    static const std::string name = [] {
        char text[256] = "";
        if (gethostname(text, sizeof text - 1) != 0 || !*text)
            return std::string("Unknown");
        return std::string(text);
    }();
    return name;
}

std::optional<std::int64_t> RegularFileSize(const std::string &path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

} // namespace

const char *CommandName(int command)
{
    return command >= 0 && command <= 13 ? kCommandWords[command] : "DATA";
}

Session::Session(SmtpHandle handle, intptr_t user, int debugFlags, const Callbacks &callbacks)
    : handle_(handle), user_(user), debugFlags_(debugFlags), callbacks_(callbacks)
{
}

Session::~Session() { ForgetPassword(); }

void Session::Start(const std::string &host, std::uint16_t port, const std::string &localAddress,
                    std::uint16_t localPort)
{
    host_ = host;
    std::weak_ptr<Session> weak = weak_from_this();
    channel_ = std::make_unique<Channel>(*this, [weak] { return std::shared_ptr<void>(weak.lock()); }, debugFlags_);
    channel_->Tracer().Line("  Local Host Name: %s", LocalHostName().c_str());
    channel_->Connect(host, port, localAddress, localPort);
}

void Session::SetCommand(SmtpCommand command)
{
    if (command != command_)
        channel_->Tracer().Line("command %s -> %s", StateName(command_), StateName(command));
    command_ = command;
}

void Session::Send(std::string bytes, int tag) { channel_->Send(std::move(bytes), tag); }

void Session::SendCommand(const std::string &line, SmtpCommand command)
{
    if (command == kRset && !stream_ && command_ != kTextBeforeAttachments)
        mailBusy_ = false; // the caller abandons the envelope
    SetCommand(command);
    Send(line + "\r\n", command);
}

void Session::SendRaw(std::string bytes, int tag)
{
    SetCommand(kRaw);
    Send(std::move(bytes), tag);
}

void Session::Quit() { SendCommand("QUIT", kQuit); }

void Session::Abort()
{
    if (!live_)
        return;
    channel_->Abort();
    End(true);
}

void Session::End(bool reportClosed)
{
    if (!live_)
        return;
    live_ = false;
    stream_.reset();
    auto self = shared_from_this();
    if (reportClosed)
        EventLoop::Instance().Post([self] {
            if (self->callbacks_.onSmtp)
                self->callbacks_.onSmtp(self->handle_, self->user_, kClosed, self->command_, 0, "", 1);
        });
    SessionRegistry::Instance().Remove(handle_);
}

void Session::ReportLater(int code, std::string text)
{
    auto self = shared_from_this();
    EventLoop::Instance().Post([self, code, text = std::move(text)] { self->NotifyException(code, text); });
}

void Session::FailStart(int code, std::string text)
{
    End(false); // first, so that the session goes even when the report cannot be posted
    ReportLater(code, std::move(text));
}

// ---- callbacks ----

bool Session::NotifySmtp(int status, int command, int code, const std::string &text, bool complete)
{
    if (callbacks_.onSmtp)
        callbacks_.onSmtp(handle_, user_, status, command, code, text.c_str(), complete ? 1 : 0);
    return live_;
}

bool Session::NotifyAttach(const std::string &path, int percent)
{
    if (callbacks_.onAttach)
        callbacks_.onAttach(handle_, user_, path.c_str(), percent);
    return live_;
}

void Session::NotifyException(int code, const std::string &text)
{
    if (callbacks_.onException)
        callbacks_.onException(handle_, user_, code, text.c_str());
}

// ---- channel events ----

void Session::ChannelConnected(const Endpoints &endpoints)
{
    localAddress_ = endpoints.localAddress;
    awaitingGreeting_ = true;
    if (callbacks_.onConnect)
        callbacks_.onConnect(handle_, user_, endpoints.remoteAddress.c_str(), endpoints.remotePort,
                             endpoints.localAddress.c_str(), endpoints.localPort, LocalHostName().c_str());
    if (live_ && security_.mode == 2)
        channel_->StartTls(host_, security_.caFile); // the greeting comes over TLS
}

void Session::ChannelData(std::string_view bytes)
{
    reader_.Feed(
        bytes, [this] { return awaitingGreeting_; },
        [this](const ReplyLine &line) {
            if (live_ && !discardInput_)
                OnReplyLine(line);
        });
    if (discardInput_) {
        reader_.Clear();
        discardInput_ = false;
    }
}

void Session::ChannelEnded()
{
    reader_.Clear();
    NotifyException(errors::kClosed, "Remote Host Closed");
    if (!live_)
        return;
    channel_->Close();
    End(true);
}

void Session::ChannelFailed(const LibraryError &error, ChannelState stateBefore)
{
    if (!live_)
        return;
    NotifyException(error.code, error.text);
    // A connect that failed ends the session quietly; a connection that broke reports status 0.
    End(stateBefore == ChannelState::Connected);
}

void Session::PacketSent(int tag, std::size_t size)
{
    if (!live_)
        return;
    if (tag == kTextBeforeAttachments && command_ == kTextBeforeAttachments)
        return StartAttachments();
    if (tag == kAttachmentContent && command_ == kAttachmentContent)
        return AttachmentPacketSent(size);
    if (tag == kHelo)
        return; // HELO, and the EHLO, STARTTLS and AUTH steps, are never logged
    if (callbacks_.onLog)
        callbacks_.onLog(handle_, user_, CommandName(tag));
}

// ---- replies ----

void Session::OnReplyLine(const ReplyLine &line)
{
    // The mail is over when the server answers its final dot, or refuses a step of its envelope (the
    // library takes no further step then). Cleared first, so a callback may start the next mail.
    if (mailBusy_ && line.IsFinal()) {
        const bool envelopeRefused = (command_ == kMail || command_ == kRcpt || command_ == kData) &&
                                     line.code != 250 && !(line.code == 354 && command_ == kData);
        if (finalDotSent_ || envelopeRefused)
            mailBusy_ = finalDotSent_ = false;
    }
    if (line.code == 220 && awaitingGreeting_)
        GreetingReply(line);
    else if (IsSecurityStep(command_))
        SecurityReply(line);
    else if (line.code == 250)
        PositiveReply(line);
    else if (line.code == 354 && command_ == kData && mail_)
        DataReply(line);
    else
        OtherReply(line);
}

void Session::GreetingReply(const ReplyLine &line)
{
    if (line.separator != ' ')
        return; // a continuation line of the greeting
    awaitingGreeting_ = false;
    if (!NotifySmtp(kInProgress, command_, 220, line.text, true))
        return;
    if (UsesEhlo())
        PerformEhlo();
    else
        PerformHelo();
}

void Session::PositiveReply(const ReplyLine &line)
{
    const bool complete = line.IsFinal();
    if (command_ == kMessageSent || command_ == kAttachmentContent) {
        NotifySmtp(kDone, kData, 250, line.text, complete);
        return;
    }
    static constexpr SmtpCommand kFinishing[] = {kExpn, kHelp, kNoop, kQuit, kTurn, kVrfy};
    const bool finishing = std::find(std::begin(kFinishing), std::end(kFinishing), command_) != std::end(kFinishing);
    if (!NotifySmtp(finishing ? kDone : kInProgress, command_, 250, line.text, complete) || !complete)
        return; // the dialogue moves on at the last line of a reply only
    if (command_ == kMail && mail_ && nextRecipient_ < mail_->recipients.size())
        PerformRcpt();
    else if (command_ == kRcpt && mail_)
        PerformData();
}

void Session::DataReply(const ReplyLine &line)
{
    if (!NotifySmtp(kInProgress, kData, 354, line.text, true))
        return;
    stuffer_.Reset();
    std::string text;
    stuffer_.Stuff(mail_->messageText, text);
    std::string().swap(mail_->messageText);
    if (!mail_->attachments.empty()) {
        SetCommand(kTextBeforeAttachments);
    } else {
        text += "\r\n.\r\n";
        finalDotSent_ = true;
        SetCommand(kMessageSent);
    }
    Send(std::move(text), command_);
}

void Session::OtherReply(const ReplyLine &line)
{
    const int n = line.code;
    if (n < 0 || n >= 500)
        NotifySmtp(kPermanent, command_, n < 0 ? 0 : n, line.text, true); // no reply code: not a success
    else if (n < 400)
        NotifySmtp(kDone, command_, 0, line.text, true);
    else
        NotifySmtp(kTransient, command_, n, line.text, true);
}

// ---- commands the session sends by itself ----

void Session::PerformHelo()
{
    // An address literal: strict servers refuse a bare dotted address after HELO.
    SendCommand("HELO [" + localAddress_ + "]", kHelo);
}

void Session::PerformRcpt()
{
    const std::string &address = mail_->recipients[nextRecipient_++];
    const std::string path = address.find('<') != std::string::npos ? address : "<" + address + ">";
    SendCommand("rcpt to: " + path, nextRecipient_ == mail_->recipients.size() ? kRcpt : kMail);
}

void Session::PerformData() { SendCommand("data", kData); }

int Session::Mail(const MailRequest &request)
{
    if (UsesEhlo() && !secureReady_) {
        // Before TLS and the login are done the envelope would go out weaker than asked.
        ReportLater(errors::kResource, "The connection is not secured yet...mail not sent.");
        return 0;
    }
    if (mailBusy_ || stream_ || command_ == kTextBeforeAttachments) {
        // A second envelope now would mix with the message in progress and be lost.
        ReportLater(errors::kResource, "A mail is already being sent...mail not sent.");
        return 0;
    }
    MailBuild build = BuildMail(request, DateText(std::time(nullptr)), RegularFileSize);
    if (build.refusal) {
        ReportLater(errors::kResource, build.refusal->text);
        if (build.refusal->abortsChannel)
            Abort();
        return 0;
    }
    if (!build.plan)
        return 0;
    mail_ = std::move(build.plan);
    nextRecipient_ = 0;
    nextAttachment_ = 0;
    sentSoFar_ = 0;
    mailBusy_ = true;
    finalDotSent_ = false;
    SetCommand(kMail);
    Send(mail_->envelopeCommand, kMail);
    return 1;
}

// ---- attachments ----

int Session::Percent() const
{
    const std::int64_t total = mail_ ? mail_->totalEstimate : 0;
    if (total <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(99, sentSoFar_ * 100 / total));
}

void Session::StartAttachments()
{
    nextAttachment_ = 0;
    if (NotifyAttach(" ", 0))
        PrepareNextAttachment();
}

void Session::PrepareNextAttachment()
{
    stream_.reset();
    if (!mail_ || nextAttachment_ >= mail_->attachments.size())
        return; // all sent; the server's 250 follows the final dot
    const Attachment &attachment = mail_->attachments[nextAttachment_++];
    const int fd = ::open(attachment.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return AttachmentFailed(errors::kResource, "Could not read attachment " + attachment.path);
    stream_ = std::make_unique<AttachmentStream>(fd, attachment.letter);
    SetCommand(kAttachmentContent);
    phase_ = PartPhase::Header;
    std::string header;
    stuffer_.Stuff(PartHeader(attachment), header);
    Send(std::move(header), kAttachmentContent);
}

void Session::AttachmentPacketSent(std::size_t size)
{
    if (phase_ == PartPhase::Finished)
        return PrepareNextAttachment();
    sentSoFar_ += static_cast<std::int64_t>(size);
    phase_ = PartPhase::Content;
    if (NotifyAttach(mail_->attachments[nextAttachment_ - 1].path, Percent()))
        SendNextBlock();
}

void Session::SendNextBlock()
{
    const Attachment &attachment = mail_->attachments[nextAttachment_ - 1];
    std::string block;
    if (!stream_ || !stream_->Read(kBlockSize, block))
        return AttachmentFailed(errors::kResource, "Could not read attachment " + attachment.path);
    // A file that shrinks or grows while it is sent would arrive cut or mixed with other data.
    const bool atEnd = block.size() < kBlockSize;
    if (stream_->SourceBytes() > attachment.size || (atEnd && stream_->SourceBytes() != attachment.size))
        return AttachmentFailed(errors::kResource, "Attachment changed while being sent " + attachment.path);
    std::string out;
    if (!atEnd) {
        stuffer_.Stuff(block, out);
        Send(std::move(out), kAttachmentContent);
        return;
    }
    // The end of this file: the closing boundary, and after the last file the final dot.
    const bool last = nextAttachment_ >= mail_->attachments.size();
    block += std::string("\r\n--") + kMessageBoundary + (last ? "--\r\n" : "\r\n");
    stuffer_.Stuff(block, out);
    if (last) {
        out += "\r\n.\r\n";
        finalDotSent_ = true;
    }
    stream_.reset();
    phase_ = PartPhase::Finished;
    if (last && !NotifyAttach(attachment.path, 100))
        return;
    Send(std::move(out), kAttachmentContent);
}

void Session::AttachmentFailed(int code, const std::string &text)
{
    // Never let a partial message reach the final dot: reset the connection instead.
    NotifyException(code, text);
    Abort();
}

// ---- registry ----

SessionRegistry &SessionRegistry::Instance()
{
    static SessionRegistry registry;
    return registry;
}

std::shared_ptr<Session> SessionRegistry::Create(intptr_t user, int debugFlags, const Callbacks &callbacks)
{
    auto session = std::make_shared<Session>(++last_, user, debugFlags, callbacks);
    sessions_[session->Handle()] = session;
    return session;
}

Session *SessionRegistry::FindLive(SmtpHandle handle) const
{
    const auto found = sessions_.find(handle);
    return found != sessions_.end() && found->second->Live() ? found->second.get() : nullptr;
}

void SessionRegistry::Remove(SmtpHandle handle) { sessions_.erase(handle); }

} // namespace postrel
