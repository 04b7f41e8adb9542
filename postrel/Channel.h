// The TCP connection of one session: a non-blocking socket in the process's epoll set, a FIFO of
// packets waiting to be sent, and reads of up to 32,766 bytes at a time. Every packet is acknowledged
// to the owner exactly once, later, from the event loop, with the data tag it was queued with.
#pragma once

#include "Errors.h"
#include "Tls.h"
#include "Trace.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <string_view>
#include <vector>

namespace postrel {

enum class ChannelState : std::int32_t { Closed = 1, Connecting = 2, Connected = 4, Closing = 16 };

struct Endpoints {
    std::string remoteAddress;
    std::uint16_t remotePort = 0;
    std::string localAddress;
    std::uint16_t localPort = 0;
};

class ChannelOwner {
public:
    virtual ~ChannelOwner() = default;
    virtual void ChannelConnected(const Endpoints &endpoints) = 0;
    virtual void ChannelData(std::string_view bytes) = 0;
    virtual void ChannelEnded() = 0; // the server closed the connection
    virtual void PacketSent(int tag, std::size_t size) = 0;
    virtual void ChannelFailed(const LibraryError &error, ChannelState stateBefore) = 0;
    virtual void ChannelSecured() = 0; // the TLS handshake has finished and the certificate verified
};

// A strong reference to the channel's owner while it lives, null once it has gone. Work that runs
// later holds one, so the owner cannot vanish under it.
using KeepAlive = std::function<std::shared_ptr<void>()>;

class Channel {
public:
    Channel(ChannelOwner &owner, KeepAlive keepAlive, int debugFlags);
    ~Channel();
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;

    ChannelState State() const { return state_; }
    Trace &Tracer() { return trace_; }

    // Resolves the host if needed and starts a non-blocking connect. Failures arrive via ChannelFailed.
    void Connect(const std::string &host, std::uint16_t port, const std::string &localAddress,
                 std::uint16_t localPort);
    // Queues bytes; sends at once what the socket takes. A send while not connected fails the channel.
    // A secret packet (credentials) is never written to the trace.
    void Send(std::string bytes, int tag, bool secret = false);
    // Starts TLS on the connection, verifying the certificate for `host`; ChannelSecured or
    // ChannelFailed follows from the event loop. Nothing is sent until the handshake is done.
    void StartTls(const std::string &host, const std::string &caFile);
    bool Secured() const { return tls_ && !handshaking_; }
    // Ends the connection at once with a reset; queued packets are dropped.
    void Abort();
    // Closes the socket normally (after the server ended the connection or on a fatal error).
    void Close();

    std::size_t Queued() const { return queue_.size(); }

private:
    struct Packet {
        std::string bytes;
        std::size_t sent = 0;
        int tag = 0;
        bool secret = false;
    };

    void StartConnect(in_addr address, bool broadcast);
    void OnEvents(std::uint32_t events);
    void FinishConnect();
    void ReadOnce();
    void ReadTls();
    void ContinueHandshake();
    void WriteQueued();
    int SendSome(Packet &packet);
    void TraceSent(const Packet &packet, std::size_t n); // sends what the socket takes; the errno of a fatal failure, else 0
    void UpdateInterest();
    void Fail(int err);
    void Fail(const LibraryError &error);
    void FailLater(const LibraryError &error);
    void PostWrite();
    void Defer(std::function<void()> work);
    // Runs channel work; an exception resets the connection and fails the channel instead of escaping.
    void Guard(const std::function<void()> &work);
    void FailAfterException(int code, const char *text) noexcept;

    ChannelOwner &owner_;
    KeepAlive keepAlive_;
    int debugFlags_;
    Trace trace_;
    ChannelState state_ = ChannelState::Closed;
    int fd_ = -1;
    std::uint64_t token_ = 0;
    std::uint32_t interest_ = 0; // the epoll events asked for now
    bool writePosted_ = false;
    bool queuedDuringAck_ = false;
    std::uint16_t remotePort_ = 0;
    in_addr localAddress_{};
    std::uint16_t localPort_ = 0;
    std::deque<Packet> queue_;
    std::unique_ptr<TlsLayer> tls_;
    bool handshaking_ = false;
    bool handshakeWantsWrite_ = false;
    bool readWantsWrite_ = false; // TLS must write before it can read on
    std::vector<char> receive_;
};

} // namespace postrel
