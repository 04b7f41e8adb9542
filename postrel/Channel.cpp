#include "Channel.h"

#include "EventLoop.h"

#include <arpa/inet.h>
#include <ares.h>
#include <cerrno>
#include <new>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace postrel {
namespace {

constexpr std::size_t kReadSize = 32766;

std::string Dotted(in_addr address)
{
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

} // namespace

Channel::Channel(ChannelOwner &owner, KeepAlive keepAlive, int debugFlags)
    : owner_(owner), keepAlive_(std::move(keepAlive)), debugFlags_(debugFlags), trace_(debugFlags)
{
}

void Channel::Defer(std::function<void()> work)
{
    EventLoop::Instance().Post([keep = keepAlive_, this, work = std::move(work)] {
        if (auto hold = keep())
            Guard(work);
    });
}

void Channel::Guard(const std::function<void()> &work)
{
    // Out of memory (or worse) in the middle of the dialogue: the connection is reset so that no
    // half-sent message can be accepted, and the owner is told.
    try {
        work();
    } catch (const std::bad_alloc &) {
        FailAfterException(errors::kResource, "Insufficient Memory");
    } catch (...) {
        FailAfterException(errors::kUndefined, "Error not defined");
    }
}

void Channel::FailAfterException(int code, const char *text) noexcept
{
    const ChannelState before = state_;
    Abort();
    try {
        owner_.ChannelFailed({code, text}, before);
    } catch (...) {
        // Nothing more can be said; the connection is gone either way.
    }
}

Channel::~Channel() { Close(); }

void Channel::Connect(const std::string &host, std::uint16_t port, const std::string &localAddress,
                      std::uint16_t localPort)
{
    remotePort_ = port;
    localPort_ = localPort;
    if (localAddress.empty() || inet_aton(localAddress.c_str(), &localAddress_) == 0)
        localAddress_.s_addr = htonl(INADDR_ANY);
    state_ = ChannelState::Connecting;
    trace_.Line("Trying to connect to %s on port %d...", host.c_str(), port);

    in_addr address{};
    if (inet_aton(host.c_str(), &address) != 0) {
        StartConnect(address, host == "255.255.255.255");
        return;
    }
    // The lookup may finish inside this export, or after the session has gone: its result is posted,
    // and used only while the session still exists.
    EventLoop::Instance().LookupHost(host, [keep = keepAlive_, this](int status, in_addr found) {
        EventLoop::Instance().Post([keep, this, status, found] {
            auto hold = keep();
            if (!hold)
                return;
            if (state_ != ChannelState::Connecting)
                return;
            if (status == ARES_SUCCESS)
                StartConnect(found, false);
            else
                Fail(ErrorForLookupStatus(status));
        });
    });
}

void Channel::StartConnect(in_addr address, bool broadcast)
{
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return FailLater(ErrorForErrno(errno));
    const int on = 1;
    if (broadcast)
        setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    if (debugFlags_ & 2)
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (debugFlags_ & 4)
        setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    if ((debugFlags_ & 16) && setsockopt(fd_, SOL_SOCKET, SO_DEBUG, &on, sizeof on) != 0)
        trace_.Line("  Socket debugging not permitted");
    trace_.OpenFile();

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr = localAddress_;
    local.sin_port = htons(localPort_);
    if (::bind(fd_, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0)
        return FailLater(ErrorForErrno(errno));

    token_ = EventLoop::Instance().NewToken();
    interest_ = EPOLLOUT;
    if (!EventLoop::Instance().Watch(fd_, interest_, token_, [keep = keepAlive_, this](std::uint32_t events) {
            if (auto hold = keep())
                Guard([this, events] { OnEvents(events); });
        }))
        return FailLater(ErrorForErrno(errno));

    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr = address;
    remote.sin_port = htons(remotePort_);
    if (::connect(fd_, reinterpret_cast<sockaddr *>(&remote), sizeof remote) != 0 && errno != EINPROGRESS)
        return FailLater(ErrorForErrno(errno));
    // Completion (or failure) arrives as a write event.
}

void Channel::OnEvents(std::uint32_t events)
{
    if (state_ == ChannelState::Connecting) {
        FinishConnect();
        if (state_ != ChannelState::Connected)
            return;
    }
    if (state_ == ChannelState::Connected && handshaking_)
        return ContinueHandshake();
    const bool readable = (events & (EPOLLIN | EPOLLHUP | EPOLLERR | EPOLLRDHUP)) ||
                          (readWantsWrite_ && (events & EPOLLOUT));
    if (state_ == ChannelState::Connected && readable)
        ReadOnce();
    // TLS may need to read before it can write on, so a queued packet is retried on any event.
    if (state_ == ChannelState::Connected && !handshaking_ && ((events & EPOLLOUT) || (tls_ && !queue_.empty())))
        WriteQueued();
}

void Channel::StartTls(const std::string &host, const std::string &caFile)
{
    if (state_ != ChannelState::Connected || tls_)
        return FailLater({errors::kTlsHandshake, "TLS handshake failed: not connected"});
    LibraryError error;
    tls_ = TlsLayer::Create(fd_, host, caFile, error);
    if (!tls_)
        return FailLater(error);
    trace_.Line("Starting TLS with %s", host.c_str());
    handshaking_ = true;
    handshakeWantsWrite_ = true; // the client speaks first
    UpdateInterest();
}

void Channel::ContinueHandshake()
{
    const TlsLayer::Io step = tls_->Handshake();
    if (step == TlsLayer::Io::Done) {
        handshaking_ = false;
        trace_.Line("TLS established: %s", tls_->Description().c_str());
        UpdateInterest();
        owner_.ChannelSecured();
        if (state_ == ChannelState::Connected && !queue_.empty())
            WriteQueued();
        // The handshake may have taken in application data already; it would wake no epoll event.
        if (state_ == ChannelState::Connected && tls_ && tls_->Pending())
            ReadOnce();
        return;
    }
    if (step != TlsLayer::Io::WantRead && step != TlsLayer::Io::WantWrite)
        return Fail(tls_->HandshakeError());
    handshakeWantsWrite_ = step == TlsLayer::Io::WantWrite;
    UpdateInterest();
}

void Channel::FinishConnect()
{
    int err = 0;
    socklen_t length = sizeof err;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &length) != 0)
        err = errno;
    if (err != 0)
        return Fail(err);
    sockaddr_in peer{}, local{};
    socklen_t peerLength = sizeof peer, localLength = sizeof local;
    if (getpeername(fd_, reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr *>(&local), &localLength) != 0)
        return Fail(errno);
    state_ = ChannelState::Connected;
    UpdateInterest();
    Endpoints endpoints{Dotted(peer.sin_addr), ntohs(peer.sin_port), Dotted(local.sin_addr), ntohs(local.sin_port)};
    trace_.Line("Connected to %s on port %d", endpoints.remoteAddress.c_str(), endpoints.remotePort);
    owner_.ChannelConnected(endpoints);
}

void Channel::ReadOnce()
{
    if (receive_.empty())
        receive_.resize(kReadSize);
    if (tls_)
        return ReadTls();
    ssize_t n;
    do {
        n = ::recv(fd_, receive_.data(), receive_.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            Fail(errno);
        return;
    }
    if (n == 0) {
        owner_.ChannelEnded();
        return;
    }
    const std::string_view bytes(receive_.data(), static_cast<std::size_t>(n));
    trace_.Received(bytes);
    owner_.ChannelData(bytes);
}

void Channel::ReadTls()
{
    readWantsWrite_ = false;
    const TlsLayer *layer = tls_.get();
    do {
        std::size_t got = 0;
        switch (tls_->Read(receive_.data(), receive_.size(), got)) {
        case TlsLayer::Io::Done:
            break;
        case TlsLayer::Io::WantRead:
            return;
        case TlsLayer::Io::WantWrite:
            readWantsWrite_ = true;
            UpdateInterest();
            return;
        case TlsLayer::Io::Closed:
            owner_.ChannelEnded();
            return;
        case TlsLayer::Io::Failed:
            if (tls_->LastErrno() != 0)
                return Fail(tls_->LastErrno());
            return Fail({errors::kClosed, "Connection Aborted"});
        }
        const std::string_view bytes(receive_.data(), got);
        trace_.Received(bytes);
        owner_.ChannelData(bytes);
        // Records already decrypted wake no epoll event: take them now.
    } while (state_ == ChannelState::Connected && tls_.get() == layer && tls_->Pending());
}

int Channel::SendSome(Packet &packet)
{
    if (tls_) {
        while (packet.sent < packet.bytes.size()) {
            std::size_t put = 0;
            const auto io = tls_->Write(packet.bytes.data() + packet.sent, packet.bytes.size() - packet.sent, put);
            if (io == TlsLayer::Io::WantRead || io == TlsLayer::Io::WantWrite)
                return 0;
            if (io != TlsLayer::Io::Done)
                return tls_->LastErrno() != 0 ? tls_->LastErrno() : ECONNABORTED;
            TraceSent(packet, put);
            packet.sent += put;
        }
        return 0;
    }

    while (packet.sent < packet.bytes.size()) {
        const ssize_t n = ::send(fd_, packet.bytes.data() + packet.sent, packet.bytes.size() - packet.sent,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return 0;
            return errno;
        }
        TraceSent(packet, static_cast<std::size_t>(n));
        packet.sent += static_cast<std::size_t>(n);
    }
    return 0;
}

void Channel::TraceSent(const Packet &packet, std::size_t n)
{
    if (!packet.secret)
        trace_.Sent(std::string_view(packet.bytes.data() + packet.sent, n));
    else if (packet.sent == 0)
        trace_.Sent("<credentials not traced>\r\n");
}

void Channel::Send(std::string bytes, int tag, bool secret)
{
    if (state_ != ChannelState::Connected) {
        FailLater({errors::kNotConnected, "Send attempted with closed connection"});
        return;
    }
    queuedDuringAck_ = true;
    Packet packet{std::move(bytes), 0, tag, secret};
    if (queue_.empty() && !handshaking_) {
        // This may run inside an export: a failure is reported from the pump.
        if (const int err = SendSome(packet))
            return FailLater(ErrorForErrno(err));
    }
    queue_.push_back(std::move(packet));
    PostWrite();
}

void Channel::PostWrite()
{
    if (writePosted_)
        return;
    writePosted_ = true;
    Defer([this] {
        writePosted_ = false;
        if (state_ == ChannelState::Connected && !handshaking_)
            WriteQueued();
    });
}

void Channel::WriteQueued()
{
    queuedDuringAck_ = false;
    while (!queue_.empty()) {
        Packet &packet = queue_.front();
        if (const int err = SendSome(packet))
            return Fail(err);
        if (packet.sent < packet.bytes.size())
            break; // the socket is full; wait for a write event
        const int tag = packet.tag;
        const std::size_t size = packet.bytes.size();
        queue_.pop_front();
        trace_.Line("  Data tag %d sent", tag);
        owner_.PacketSent(tag, size);
        if (state_ != ChannelState::Connected)
            return;
        if (queuedDuringAck_)
            break; // the posted write notification continues
    }
    UpdateInterest();
}

void Channel::UpdateInterest()
{
    if (fd_ < 0)
        return;
    const bool wantWrite = handshaking_ ? handshakeWantsWrite_
                                        : readWantsWrite_ || (!queue_.empty() && queue_.front().sent < queue_.front().bytes.size());
    const std::uint32_t interest = EPOLLIN | EPOLLRDHUP | (wantWrite ? EPOLLOUT : 0u);
    if (interest == interest_)
        return;
    interest_ = interest;
    EventLoop::Instance().Rewatch(fd_, interest, token_);
}

void Channel::Fail(int err) { Fail(ErrorForErrno(err)); }

void Channel::Fail(const LibraryError &error)
{
    const ChannelState before = state_;
    trace_.Line("%s", error.text.c_str());
    Close();
    owner_.ChannelFailed(error, before);
}

void Channel::FailLater(const LibraryError &error)
{
    const ChannelState before = state_;
    Close(); // a channel that failed holds nothing worth keeping
    Defer([this, error, before] {
        trace_.Line("%s", error.text.c_str());
        owner_.ChannelFailed(error, before);
    });
}

void Channel::Abort()
{
    if (fd_ >= 0) {
        const linger reset{1, 0};
        setsockopt(fd_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
    queue_.clear();
    Close();
}

void Channel::Close()
{
    tls_.reset();
    handshaking_ = readWantsWrite_ = false;
    if (fd_ >= 0) {
        EventLoop::Instance().Unwatch(fd_, token_);
        ::close(fd_);
        fd_ = -1;
        trace_.Line("Primary Socket Closed");
    }
    state_ = ChannelState::Closed;
    queue_.clear();
}

} // namespace postrel
